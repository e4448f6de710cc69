#include "QZFramework/Services/ApplicationContext.h"

#include <atomic>

#include "QZFramework/Services/Settings/IniFileManager.h"

namespace QZ {
namespace {

std::atomic<IApplicationContext*> gContext{nullptr};

} // namespace

int32_t IApplicationContext::GetDeviceModel() {
  IIniFileManager* settings = GetIniFileManager();
  const uint32_t userSettings = settings ? OpenSettingsFile(kUserSettingsFile) : 0;
  int32_t model = kDefaultDeviceModel;
  if (userSettings != 0) {
    settings->GetInt(userSettings, u"DeviceModel", kDefaultDeviceModel, model);
  }
  return model;
}

IApplicationContext* GetApplicationContext() { return gContext.load(std::memory_order_acquire); }

void InstallApplicationContext(IApplicationContext* context) { gContext.store(context, std::memory_order_release); }

void UninstallApplicationContext(IApplicationContext* context) {
  gContext.compare_exchange_strong(context, nullptr, std::memory_order_acq_rel);
}

int32_t GetDeviceModel() {
  IApplicationContext* context = GetApplicationContext();
  return context ? context->GetDeviceModel() : kDefaultDeviceModel;
}

LNotificationCenter* GetApplicationNotificationCenter() {
  IApplicationContext* context = GetApplicationContext();
  return context ? context->GetApplicationNotificationCenter() : nullptr;
}

} // namespace QZ
