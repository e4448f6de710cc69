#pragma once
// The common open and save dialogs and the shell's open action, with the Win32 shape, over
// zenity and xdg-open started as programs (Platform/Process/Process.h). Tests install a
// backend of their own.
//
//   OPENFILENAMEW record;
//   record.hwndOwner = mainWindow;
//   record.lpstrFilter = u"Presets\0*.qzp\0All Files\0*.*\0\0"s;      // std::literals
//   record.lpstrTitle = u"Load Preset";
//   record.lpstrInitialDir = u"/home/me/presets";
//   record.Flags = OFN_EXPLORER | OFN_ENABLESIZING | OFN_READONLY | OFN_HIDEREADONLY | OFN_FILEMUSTEXIST;
//   if (GetOpenFileNameW(record)) {
//     ... record.lpstrFile: the chosen path ...
//   } else if (CommDlgExtendedError() != 0) {
//     ... the dialog failed (cancelled otherwise) ...
//   }
//   if (ShellExecuteW(u"open", u"https://example.org/guide") <= 32) { ... not opened ... }
//
// zenity ("--file-selection"): the title, the folder (with the default name when saving),
// one "--file-filter=<description> | <patterns>" per pair of the filter list (';' between
// patterns becomes ' '), "--multiple" with a newline separator, "--save" with
// "--confirm-overwrite", and with an owner on an X display "--modal" and
// "--attach=<its X window>" (a zenity that refuses those, with status 255 as some versions
// do, shows the dialog once more without them, and the dialogs after it go without them;
// the window layer still makes its windows the owner's). A saved name without an extension
// gets the default extension, and when that name exists "zenity --question" asks before it
// is taken (No shows the dialog again). Exit 0 is a choice, 1 a cancel (whatever it
// wrote), anything else (a signal, an empty answer, an answer past
// Process::kDefaultOutputLimit or one that cannot be read, and a zenity that does not
// start) a failure, whose reason CommDlgFailureReason gives. While zenity runs, the owner
// window is disabled (its input dropped), the UI thread's queue keeps pumping, so our
// windows repaint, and zenity's windows are made the owner's once they show (zenity does
// not attach its file chooser itself), so that a window manager keeps them in front of it
// and hands them the focus when the owner is activated. A WM_QUIT taken meanwhile, or a
// termination signal (Host/TerminationSignals.h), closes the dialog (a cancel: zenity is
// ended, and killed after ShellTimes::endGrace) and a WM_QUIT is posted again for the
// loops outside; once a termination signal came, no dialog starts.
//
// ShellExecuteW runs xdg-open the same way (the active window disabled meanwhile, not
// activated again afterwards) and waits for its answer: exit 0 opened; a non-zero exit, a
// signal or no start did not. xdg-open may run as long as the browser it started, so one
// still running after ShellTimes::openAnswer, or when a quit or a termination signal cuts
// the wait short, counts as opened and is left to itself. It runs in a session of its own,
// so that the browser it starts outlives a Ctrl+C in our terminal, with its standard
// input, output and error on /dev/null, so that nothing of ours takes what it and the
// browser print, and none of their writes fails for our sake. Why an open failed goes to
// the diagnostic sink (an exit status with xdg-open's meaning of it).
//
// What zenity writes (standard error, its first Process::kDefaultErrorsLimit bytes, and
// standard output where it is no answer) goes to the diagnostic sink, not to our standard
// error; however much that is, it fails no dialog.
//
// Paths are UTF-16 here and UTF-8 outside; they are kept whole, whatever their length.
//
// UI thread (the dialogs); ShellExecuteW and SetDiagnosticSink from any thread (off the UI
// thread ShellExecuteW neither pumps nor disables a window).

#include <chrono>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "Platform/Window/WindowTypes.h"

namespace QZ::Platform::Shell {

using Window::HWND;

// OPENFILENAMEW's Flags.
inline constexpr uint32_t OFN_READONLY = 0x00000001;
inline constexpr uint32_t OFN_OVERWRITEPROMPT = 0x00000002;
inline constexpr uint32_t OFN_HIDEREADONLY = 0x00000004;
inline constexpr uint32_t OFN_ALLOWMULTISELECT = 0x00000200;
inline constexpr uint32_t OFN_FILEMUSTEXIST = 0x00001000;
inline constexpr uint32_t OFN_EXPLORER = 0x00080000;
inline constexpr uint32_t OFN_ENABLESIZING = 0x00800000;

// CommDlgExtendedError's answers besides 0.
inline constexpr uint32_t CDERR_INITIALIZATION = 0x0002; // the dialog program did not start
inline constexpr uint32_t CDERR_DIALOGFAILURE = 0xFFFF;  // it ended without a choice or a cancel

// ShellExecuteW's answers of 32 and below.
inline constexpr intptr_t SE_ERR_FNF = 2;      // the opening program did not start, or it failed
inline constexpr intptr_t SE_ERR_NOASSOC = 31; // an operation other than "open"

struct OPENFILENAMEW {
  HWND hwndOwner = nullptr;
  // Pairs of description and patterns, each followed by a zero, then one more zero.
  std::u16string lpstrFilter;
  // In: the default name (saving). Out: the chosen path; for a multiple selection of
  // several files, the folder, a zero, each name followed by a zero, and a final zero.
  std::u16string lpstrFile;
  std::u16string lpstrInitialDir;
  // Empty: zenity's own title.
  std::u16string lpstrTitle;
  uint32_t Flags = 0;
  // Without a dot; empty: none.
  std::u16string lpstrDefExt;
};

// Shows the dialog of record: true with lpstrFile set when the user chose; false when the
// user cancelled or the dialog failed (CommDlgExtendedError tells which).
[[nodiscard]] bool GetOpenFileNameW(OPENFILENAMEW& record);
[[nodiscard]] bool GetSaveFileNameW(OPENFILENAMEW& record);
// 0 when the last dialog ended with a choice or a cancel, else CDERR_INITIALIZATION or
// CDERR_DIALOGFAILURE.
uint32_t CommDlgExtendedError();
// Why the last dialog failed, for its owner to read: the program and what went wrong
// ("zenity could not be started (No such file or directory)"; UTF-8). Empty when it ended
// with a choice or a cancel.
std::string CommDlgFailureReason();

// Opens file (a path or an address) with the desktop's program for it, waiting for its
// answer (see above): 33 when it opened, SE_ERR_FNF when not, SE_ERR_NOASSOC for an
// operation other than "open".
[[nodiscard]] intptr_t ShellExecuteW(std::u16string_view operation, std::u16string_view file);

// Receives each line the layer reports (see above), "<program>: <line>", and why an open
// failed; on the thread that runs the dialog or the open. Empty: the lines are dropped.
using DiagnosticSink = std::function<void(const std::string& line)>;
void SetDiagnosticSink(DiagnosticSink sink);

// The layer's waits.
struct ShellTimes {
  // How long ShellExecuteW waits for the opening program's answer.
  std::chrono::milliseconds openAnswer{5000};
  // How long a dialog program told to end (SIGTERM) has before it is killed, and once
  // killed, before it is left to a thread of ours (stuck in the kernel).
  std::chrono::milliseconds endGrace{300};
  // How long a dialog program's windows are looked for at every pump: each look walks the
  // X server's window tree. After that, at intervals that double up to ownerSearchSlowest,
  // until they are found.
  std::chrono::milliseconds ownerSearchFast{2000};
  std::chrono::milliseconds ownerSearchSlowest{1000};
};
// Makes times the layer's; answers those before. UI thread, while no dialog or open runs.
ShellTimes SetShellTimes(const ShellTimes& times);
// Makes the layer forget that zenity refused the owner options, so that the next dialog
// offers them again. For tests only, each of which puts a zenity of its own on PATH: no code
// of the program calls it. UI thread, while no dialog runs.
void ForgetRefusedOwnerOptionsForTesting();

// What stands behind the functions above.
class CommonDialogBackend {
public:
  enum class Outcome { Chosen, Cancelled, Failed };

  virtual ~CommonDialogBackend() = default;
  // Shows the open (save false) or save dialog of record; Chosen with record.lpstrFile set
  // as GetOpenFileNameW describes. Failed with reason set (may be left empty: the layer
  // then gives a reason of its own).
  virtual Outcome ShowFileDialog(bool save, OPENFILENAMEW& record, std::string& reason) = 0;
  // Opens file with the desktop's program for it: whether it opened.
  virtual bool OpenWithShell(std::u16string_view file) = 0;
};

// Makes backend (null: zenity and xdg-open) the one the functions use; answers the one
// installed before (null for the built-in one). The caller keeps backend alive while it is
// installed. UI thread.
CommonDialogBackend* SetCommonDialogBackend(CommonDialogBackend* backend);

// The arguments (after the program name "zenity") that show the dialog of record, attached
// to the X window ownerWindow (0: none). The built-in backend asks for them with 0 and adds
// the owner options itself, so that it can show the dialog again without them.
std::vector<std::string> ZenityFileSelectionArguments(bool save, const OPENFILENAMEW& record,
                                                      unsigned long ownerWindow = 0);
// The pairs of a filter list (description, patterns), up to its empty entry; a description
// without patterns is left out.
std::vector<std::pair<std::u16string, std::u16string>> ParseFilterList(std::u16string_view filter);

} // namespace QZ::Platform::Shell
