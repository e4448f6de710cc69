#include "QZFramework/System/FileDialog.h"

#include <mutex>

#include "Platform/Shell/CommonDialogs.h"
#include "QZFramework/ControlBase/ControlApplication.h"
#include "QZFramework/ControlBase/RootWindow.h"
#include "QZFramework/Services/Trace/DebugTrace.h"

namespace QZ {

namespace Shell = Platform::Shell;

namespace {

constexpr const char16_t* kUntitled = u"Untitled";

// The filter with every '|' a zero and two zeros after it: the list the dialog reads.
std::u16string FilterList(const WString& filter) {
  std::u16string list(filter.View());
  for (char16_t& unit : list) {
    if (unit == u'|') {
      unit = u'\0';
    }
  }
  list.append(2, u'\0');
  return list;
}

// The OS window of the active root window; null when no window is active.
Shell::HWND ActiveOwner() {
  IControlApplication* application = GetControlApplication();
  const RCPtr<LRootWindow> window =
      application ? DynamicCast<LRootWindow>(application->GetActiveRootWindow()) : nullptr;
  IWindowOSServices* os = window ? window->GetOSServices() : nullptr;
  return os ? static_cast<Shell::HWND>(os->GetHandle()) : nullptr;
}

// A dialog record made afresh for each dialog, so that no flag of an earlier one stays.
Shell::OPENFILENAMEW MakeRecord(const WString& filter, const WString& defaultExtension, const WString& title,
                                const WString& folder, uint32_t flags) {
  Shell::OPENFILENAMEW record;
  record.hwndOwner = ActiveOwner();
  record.lpstrFilter = FilterList(filter);
  record.lpstrDefExt = std::u16string(defaultExtension.View());
  record.lpstrTitle = std::u16string(title.View());
  record.lpstrInitialDir = std::u16string(folder.View());
  record.Flags = flags;
  return record;
}

WString ToWString(std::u16string_view text) { return WString(text.data(), uint32_t(text.size())); }

// What the dialog and shell programs say goes to the debug trace.
void TraceShellPrograms() {
  static std::once_flag installed;
  std::call_once(installed, [] {
    Shell::SetDiagnosticSink([](const std::string& line) { DebugTrace::Get().Narrow() << line << "\n"; });
  });
}

} // namespace

LFileDialog::LFileDialog(const WString& initialFolder) : mFolder(initialFolder) {}

LFileDialog::~LFileDialog() = default;

QZResult LFileDialog::ShowOpenDialog(const WString& filter, const WString& defaultExtension, const WString& title,
                                     bool multipleSelection) {
  uint32_t flags = Shell::OFN_EXPLORER | Shell::OFN_ENABLESIZING | Shell::OFN_READONLY | Shell::OFN_HIDEREADONLY |
                   Shell::OFN_FILEMUSTEXIST;
  if (multipleSelection) {
    flags |= Shell::OFN_ALLOWMULTISELECT;
  }
  Shell::OPENFILENAMEW record = MakeRecord(filter, defaultExtension, title, mFolder, flags);
  TraceShellPrograms();
  if (!Shell::GetOpenFileNameW(record)) {
    ReportFailure("open");
    return QZ_E_FAIL;
  }
  const std::u16string_view chosen(record.lpstrFile);
  if (!multipleSelection) {
    mFileName = ToWString(chosen);
    mFolder = FolderOf(mFileName);
    return QZ_OK;
  }
  mFileNames.RemoveAll();
  const size_t end = chosen.find(u'\0');
  if (end == std::u16string_view::npos) {
    // One file: its full path.
    const WString path = ToWString(chosen);
    mFileNames.AddItem(path);
    mFolder = FolderOf(path);
    return QZ_OK;
  }
  const WString folder = ToWString(chosen.substr(0, end));
  for (size_t start = end + 1; start < chosen.size();) {
    const size_t next = std::min(chosen.find(u'\0', start), chosen.size());
    if (next == start) {
      break; // the final zero
    }
    WString path = folder;
    path += u'/';
    path += ToWString(chosen.substr(start, next - start));
    mFileNames.AddItem(path);
    start = next + 1;
  }
  return QZ_OK;
}

QZResult LFileDialog::ShowSaveDialog(const WString& filter, const WString& defaultExtension, const WString& title,
                                     int32_t maxFileNameLength) {
  if (maxFileNameLength == 0) {
    return QZ_E_INVALIDARG;
  }
  mFileName = WString(kUntitled);
  Shell::OPENFILENAMEW record = MakeRecord(filter, defaultExtension, title, mFolder, Shell::OFN_OVERWRITEPROMPT);
  record.lpstrFile = kUntitled;
  TraceShellPrograms();
  if (!Shell::GetSaveFileNameW(record)) {
    ReportFailure("save");
    return QZ_E_FAIL;
  }
  const WString path = ToWString(record.lpstrFile);
  if (maxFileNameLength > 0) {
    const uint32_t nameLength = path.GetLength() - uint32_t(path.ReverseFind(u'/') + 1);
    if (nameLength > uint32_t(maxFileNameLength)) {
      ReportTooLong(maxFileNameLength);
      return QZ_E_FAIL;
    }
  }
  mFileName = path;
  mFolder = FolderOf(path);
  return QZ_OK;
}

QZResult LFileDialog::OpenWithShell(const WString& path) {
  TraceShellPrograms();
  return Shell::ShellExecuteW(u"open", path.View()) > 32 ? QZ_OK : QZ_E_FAIL;
}

WString LFileDialog::FolderOf(const WString& path) {
  const int32_t slash = path.ReverseFind(u'/');
  return slash < 0 ? path : path.Left(uint32_t(slash));
}

void LFileDialog::ReportFailure(const char* which) {
  const uint32_t error = Shell::CommDlgExtendedError();
  if (error == 0) {
    return; // a cancel
  }
  const std::string reason = Shell::CommDlgFailureReason();
  DebugTrace::Get().Narrow() << "LFileDialog: the " << which << " dialog failed (error 0x" << std::hex << error
                             << std::dec << "): " << reason << "\n";
  if (IControlApplication* application = GetControlApplication()) {
    WString why;
    why.AssignUTF8(reason.c_str());
    application->ShowMessageBox(WString::Format(kDialogFailedText, why), WString(kDialogFailedCaption), 0);
  }
}

void LFileDialog::ReportTooLong(int32_t maximum) {
  if (IControlApplication* application = GetControlApplication()) {
    application->ShowMessageBox(WString::Format(kTooLongText, maximum), WString(kTooLongCaption), 0);
  }
}

} // namespace QZ
