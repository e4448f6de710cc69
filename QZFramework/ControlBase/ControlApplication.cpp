#include "QZFramework/ControlBase/ControlApplication.h"

#include <atomic>

namespace QZ {
namespace {

std::atomic<IControlApplication*> gApplication{nullptr};

} // namespace

IControlApplication* GetControlApplication() { return gApplication.load(std::memory_order_acquire); }

void InstallControlApplication(IControlApplication* application) {
  gApplication.store(application, std::memory_order_release);
}

void UninstallControlApplication(IControlApplication* application) {
  gApplication.compare_exchange_strong(application, nullptr, std::memory_order_acq_rel);
}

} // namespace QZ
