#pragma once
// QZ::LFileDialog: the system's open and save dialogs for the rest of the program, which
// remember the folder of the last choice, and the shell's open action for documents and
// web addresses.
//
//   QZ::RCPtr<QZ::LFileDialog> dialog(new QZ::LFileDialog(lastFolder));
//   if (dialog->ShowOpenDialog(u"Presets (*.qzp)|*.qzp|All Files (*.*)|*.*", u"qzp", u"Load", false) == QZ::QZ_OK) {
//     Load(dialog->GetFileName());
//     StoreLastFolder(dialog->GetFolder());
//   }
//   if (dialog->ShowSaveDialog(filter, u"qzp", u"Save", 64) == QZ::QZ_OK) { ... }
//   if (QZ::LFileDialog::OpenWithShell(u"https://example.org/guide") != QZ::QZ_OK) { ... }
//
// Filters separate descriptions and patterns with '|' ("Text|*.txt|All|*.*"), several
// patterns of one entry with ';'. Each dialog is owned by the OS window of the active root
// window (none when no window is active): it stays in front of that window, and runs until
// the user closes it, the program is asked to quit, or a termination signal comes; our
// windows keep painting meanwhile (Platform/Shell/CommonDialogs.h). A dialog that cannot
// be shown (its program missing, refused, or ended by a signal or an unexpected status;
// not a cancel, nor a dialog the program's own end closed) shows the application's message
// box saying so and why, and leaves a line in the debug trace, as what the dialog program
// writes and why an open failed do (they never reach standard error).
//
// UI thread (OpenWithShell: any thread).

#include <cstdint>

#include "QZFramework/ObjectBase/RefCountedObject.h"
#include "QZFramework/Utilities/Storage/StringArray.h"
#include "QZFramework/Utilities/Storage/StringT.h"

namespace QZ {

class LFileDialog : public virtual LRefCountedObject {
public:
  // The dialogs' texts of a name too long to save.
  static constexpr const char16_t* kTooLongCaption = u"File Save Error";
  static constexpr const char16_t* kTooLongText = u"The file length is larger than the maximum limit of %d characters";
  // The texts of a dialog that could not be shown (%s: the program and why).
  static constexpr const char16_t* kDialogFailedCaption = u"File Dialog Error";
  static constexpr const char16_t* kDialogFailedText = u"The file dialog could not be shown: %s.";

  // Starts in initialFolder ('/' between folders; empty: the dialog's own choice).
  explicit LFileDialog(const WString& initialFolder);
  ~LFileDialog() override;
  LFileDialog(const LFileDialog&) = delete;
  LFileDialog& operator=(const LFileDialog&) = delete;

  // The open dialog for one file (or several with multipleSelection): 0 when the user
  // chose; QZ_E_FAIL when cancelled or the dialog failed (the choices of before are kept;
  // a failure shows its box).
  // One file: GetFileName is its path and the folder becomes the path up to its last '/'.
  // Several: GetFileNames lists their paths (a single file of a multiple selection is its
  // path alone, and its folder is remembered).
  [[nodiscard]] QZResult ShowOpenDialog(const WString& filter, const WString& defaultExtension, const WString& title,
                                        bool multipleSelection);
  // The save dialog, proposing "Untitled" in the remembered folder; a name without an
  // extension gets defaultExtension. 0 when the user chose a name whose part after the
  // last '/' has at most maxFileNameLength UTF-16 units (a negative maximum: any length):
  // GetFileName is its path and the folder is remembered. QZ_E_FAIL when cancelled, when
  // the dialog failed, or when the name is too long (the application's message box says
  // either; the caller's save is abandoned); GetFileName is "Untitled" then. QZ_E_INVALIDARG for a
  // maximum of 0, without a dialog.
  [[nodiscard]] QZResult ShowSaveDialog(const WString& filter, const WString& defaultExtension, const WString& title,
                                        int32_t maxFileNameLength);

  // The path of the last choice of one file (empty before any; "Untitled" after a save
  // that was not completed).
  WString GetFileName() const { return mFileName; }
  // The paths of the last multiple selection, in the dialog's order.
  const WStringArray& GetFileNames() const { return mFileNames; }
  // The remembered folder.
  const WString& GetFolder() const { return mFolder; }

  // Opens path (a file or a web address) with the desktop's program for it, waiting a few
  // seconds at most for its answer while our windows keep painting and take no input: 0
  // when it opened (or still runs then), QZ_E_FAIL when it failed or did not start (the
  // debug trace says why).
  [[nodiscard]] static QZResult OpenWithShell(const WString& path);

private:
  // The folder of path: up to its last '/', the whole path without one.
  static WString FolderOf(const WString& path);
  // Shows the message box of a name longer than maximum.
  static void ReportTooLong(int32_t maximum);
  // After a dialog that did not answer a choice: a failure (not a cancel) is traced and
  // shown in the application's message box.
  static void ReportFailure(const char* which);

  WString mFileName;
  WString mFolder;
  WStringArray mFileNames;
};

} // namespace QZ
