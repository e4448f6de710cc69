#include "UI/EditorUIHost.h"

#include <atomic>
#include <cstdio>

#include "QZFramework/ControlBase/StringTable.h"

namespace QZ {
namespace {

std::atomic<IEditorUIHost*> gHost{nullptr};

} // namespace

IEditorUIHost* GetEditorUIHost() { return gHost.load(std::memory_order_acquire); }

void InstallEditorUIHost(IEditorUIHost* host) { gHost.store(host, std::memory_order_release); }

void UninstallEditorUIHost(IEditorUIHost* host) {
  gHost.compare_exchange_strong(host, nullptr, std::memory_order_acq_rel);
}

int32_t ShowEditorMessageBox(WString text, WString caption, uint32_t style) {
  if (IEditorUIHost* host = GetEditorUIHost()) {
    return host->ShowMessageBox(text, caption, style);
  }
  std::fprintf(stderr, "%s: %s\n", caption.ToUTF8().GetBuffer(), text.ToUTF8().GetBuffer());
  return kMessageBoxAnswerOk;
}

} // namespace QZ

QZ::WString GetAppString(const QZ::WString& id) {
  const QZ::IEditorUIHost* host = QZ::GetEditorUIHost();
  QZ::WString text;
  QZ::LookupString(host ? host->GetAppStringTable() : nullptr, id, text); // a miss leaves it empty
  return text;
}
