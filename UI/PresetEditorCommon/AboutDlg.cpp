#include "UI/PresetEditorCommon/AboutDlg.h"

#include "QZFramework/ControlBase/ControlApplication.h"
#include "QZFramework/Controls/Button.h"
#include "QZFramework/Services/Trace/DebugTrace.h"
#include "QZFramework/System/FileDialog.h"
#include "UI/EditorUIHost.h"

using QZ::QZResult;
using QZ::RCPtr;
using QZ::WString;

namespace {

constexpr char kInitialize[] = "LAboutDlg::Initialize";
constexpr char kSource[] = R"(UI\PresetEditorCommon\AboutDlg)";
constexpr char16_t kSupportButton[] = u"buttonSupport";

} // namespace

QZResult LAboutDlg::Initialize() {
  const QZResult base = LDialog::Initialize();
  if (QZ::Failed(base)) {
    return base;
  }
  const RCPtr<QZ::LControl> product = FindChildByName(WString(u"labelProduct"));
  const RCPtr<QZ::LControl> copyright = FindChildByName(WString(u"labelCopyright"));
  const QZ::Version version;
  const WString productVersion = version.GetProductVersion();
  // A skin without either label still gets its support button.
  if (product) {
    product->SetText(productVersion);
  }
  if (copyright && !productVersion.IsEmpty()) {
    copyright->SetText(GetCopyright(version));
  }
  if (Succeeded(CreateHandlerTable())) {
    const RCPtr<QZ::LButton> support = QZ::DynamicCast<QZ::LButton>(FindChildByName(WString(kSupportButton)));
    if (!support) {
      QZ::Throw<std::runtime_error>({kInitialize, kSource, 138},
                                    "Null Pointer : LSupportPanel couldn't find buttonSupport");
    }
    Subscribe(&LAboutDlg::OnSupportClick, support, u"NID_LEFT_CLICK", {kInitialize, kSource, 139});
    if (QZ::IControlApplication* application = QZ::GetControlApplication()) {
      support->SetCursor(application->GetApplicationCursor(WString(u"UI_CURSOR_HAND")));
    }
  }
  return base;
}

QZResult LAboutDlg::OnSupportClick(const RCPtr<QZ::LNotificationDistributor>& source, const RCPtr<QZ::LNotification>&) {
  const RCPtr<QZ::LControl> from = QZ::DynamicCast<QZ::LControl>(source);
  if (from && from->GetName() == WString(kSupportButton)) {
    // The page is a courtesy: a desktop that cannot open it leaves the About box as it is.
    const WString address = GetAppString(WString(u"URL_SUPPORT"));
    if (QZ::Failed(QZ::LFileDialog::OpenWithShell(address))) {
      QZ::DebugTrace::Get().Narrow() << "LAboutDlg: the support page " << address.ToUTF8().GetBuffer()
                                     << " could not be opened\n";
    }
  }
  return QZ::QZ_FALSE;
}

WString LAboutDlg::GetCopyright(const QZ::Version& version) { return version.GetStringFileInfo("LegalCopyright"); }
