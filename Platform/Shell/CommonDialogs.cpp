#include "Platform/Shell/CommonDialogs.h"

#include <string.h>
#include <sys/stat.h>

#include <algorithm>
#include <system_error>

#include "Platform/Process/Process.h"
#include "Platform/Shell/ModalProgram.h"
#include "Platform/Shell/ShellDiagnostics.h"
#include "Platform/Window/TextConversion.h"
#include "Platform/Window/Window.h"

namespace QZ::Platform::Shell {

namespace {

using Process::ProcessResult;
using Window::ToUtf16;
using Window::ToUtf8;

// The zenity exit codes of a choice ("OK", "Yes") and of a cancel ("Cancel", "No", the
// window closed).
constexpr int kZenityAccepted = 0;
constexpr int kZenityRejected = 1;
// Its answer to an option it does not take, among other failures.
constexpr int kZenityRefused = 255;

uint32_t gLastDialogError = 0;
std::string gLastFailureReason;
ShellTimes gTimes;
// The installed zenity refused the owner options: the dialogs go without them.
bool gOwnerOptionsRefused = false;

bool FileExists(const std::string& path) {
  struct stat info {};
  return stat(path.c_str(), &info) == 0;
}

// The part after the last '/'.
std::string_view NamePart(std::string_view path) {
  const size_t slash = path.rfind('/');
  return slash == std::string_view::npos ? path : path.substr(slash + 1);
}

// Why a program run did not succeed, for the trace: empty when it exited with 0.
std::string Failure(const ProcessResult& run) {
  if (!run.started) {
    return "did not start (" + std::generic_category().message(run.error) + ")";
  }
  if (run.signal != 0) {
    return "ended by signal " + std::to_string(run.signal);
  }
  return run.exitCode != 0 ? "exit status " + std::to_string(run.exitCode) : std::string();
}

// Why a dialog program failed, for the dialog's owner to read.
std::string FailureReason(const std::string& program, const ProcessResult& run) {
  if (!run.started) {
    return program + " could not be started (" + std::generic_category().message(run.error) + ")";
  }
  if (run.signal != 0) {
    const char* name = sigdescr_np(run.signal);
    return program + " was ended by signal " + std::to_string(run.signal) +
           (name ? " (" + std::string(name) + ")" : "");
  }
  return program + " ended with exit status " + std::to_string(run.exitCode);
}

// Why the answer of a zenity that exited with 0 cannot be had, after "zenity " (the
// owner's reason) or "zenity: " (the trace); empty when it can.
std::string UnreadAnswer(const ProcessResult& run) {
  if (run.outputOverLimit) {
    return "wrote more than " + SizeText(Process::kDefaultOutputLimit) + " as its answer";
  }
  if (run.error != 0) {
    return "answered, but its answer could not be read (" + std::generic_category().message(run.error) + ")";
  }
  return {};
}

// What xdg-open's exit statuses mean, as it documents them; empty for any other.
std::string_view OpenerStatusMeaning(int exitCode) {
  switch (exitCode) {
  case 1:
    return "a bad command line";
  case 2:
    return "a file that does not exist";
  case 3:
    return "a required tool missing";
  case 4:
    return "the action failed";
  default:
    return {};
  }
}

// The arguments that tie a zenity window to its owner on the X display.
std::vector<std::string> OwnerArguments(unsigned long ownerWindow) {
  if (ownerWindow == 0) {
    return {};
  }
  return {"--modal", "--attach=" + std::to_string(ownerWindow)};
}

class ZenityDialogs final : public CommonDialogBackend {
public:
  Outcome ShowFileDialog(bool save, OPENFILENAMEW& record, std::string& reason) override {
    ModalProgram dialog(record.hwndOwner, ModalProgram::Kind::Dialog, gTimes);
    const unsigned long ownerWindow = Window::GetXWindowId(record.hwndOwner);
    OPENFILENAMEW shown = record;
    for (;;) {
      std::vector<std::string> argv{"zenity"};
      const std::vector<std::string> arguments = ZenityFileSelectionArguments(save, shown);
      argv.insert(argv.end(), arguments.begin(), arguments.end());
      const ModalProgram::Run run = RunZenity(dialog, argv, ownerWindow);
      const Outcome outcome = OutcomeOf(run, reason);
      if (outcome != Outcome::Chosen) {
        return outcome;
      }
      const std::string unread = UnreadAnswer(run.result);
      if (!unread.empty()) {
        Report("zenity: " + unread);
        reason = "zenity " + unread;
        gLastDialogError = CDERR_DIALOGFAILURE;
        return Outcome::Failed;
      }
      std::string chosen = run.result.output;
      if (!chosen.empty() && chosen.back() == '\n') {
        chosen.pop_back();
      }
      if (chosen.empty()) {
        reason = "zenity answered without a file name";
        gLastDialogError = CDERR_DIALOGFAILURE;
        return Outcome::Failed;
      }
      if (!save) {
        record.lpstrFile = (shown.Flags & OFN_ALLOWMULTISELECT) ? MultipleSelection(chosen) : ToUtf16(chosen);
        return Outcome::Chosen;
      }
      if (!record.lpstrDefExt.empty() && NamePart(chosen).find('.') == std::string_view::npos) {
        chosen += '.';
        chosen += ToUtf8(record.lpstrDefExt);
        if ((shown.Flags & OFN_OVERWRITEPROMPT) && FileExists(chosen)) {
          const Outcome answer = ConfirmReplace(shown, chosen, ownerWindow, dialog, reason);
          if (answer == Outcome::Cancelled) {
            // No: the dialog again, at the name given.
            shown.lpstrInitialDir.clear();
            shown.lpstrFile = ToUtf16(chosen);
            continue;
          }
          if (answer == Outcome::Failed) {
            return answer;
          }
        }
      }
      record.lpstrFile = ToUtf16(chosen);
      return Outcome::Chosen;
    }
  }

  bool OpenWithShell(std::u16string_view file) override {
    const std::string path = ToUtf8(file);
    Process::RunOptions options;
    options.bound = gTimes.openAnswer;
    ModalProgram opener(Window::GetActiveWindow(), ModalProgram::Kind::Opener, gTimes);
    const ModalProgram::Run run = opener.Start({"xdg-open", path}, options);
    if (run.result.running) {
      if (!run.interrupted) {
        Report("xdg-open " + path + ": still running after " + std::to_string(gTimes.openAnswer.count()) +
               " ms: taken as opened");
      }
      return true;
    }
    const std::string failure = Failure(run.result);
    if (failure.empty()) {
      return true;
    }
    const std::string_view meaning = OpenerStatusMeaning(run.result.exitCode); // -1 after a signal or no start
    Report("xdg-open " + path + ": " + failure + (meaning.empty() ? "" : " (" + std::string(meaning) + ")"));
    return false;
  }

private:
  static Process::RunOptions Options() {
    Process::RunOptions options;
    options.killAfter = gTimes.endGrace;
    return options;
  }

  // Runs argv with the options that tie zenity's window to ownerWindow (when there is one).
  // A zenity that refuses them shows the dialog once more without them; the dialogs after it
  // go without them too, unless it refused the second run as well (then it was not them).
  static ModalProgram::Run RunZenity(ModalProgram& dialog, const std::vector<std::string>& argv,
                                     unsigned long ownerWindow) {
    const std::vector<std::string> owner =
        gOwnerOptionsRefused ? std::vector<std::string>() : OwnerArguments(ownerWindow);
    std::vector<std::string> owned = argv;
    owned.insert(owned.end(), owner.begin(), owner.end());
    ModalProgram::Run run = dialog.Start(owned, Options());
    if (owner.empty() || run.interrupted || run.result.exitCode != kZenityRefused) {
      return run;
    }
    Report("zenity: exit status 255 with its owner options: shown again without them");
    run = dialog.Start(argv, Options());
    gOwnerOptionsRefused = !run.interrupted && run.result.started && run.result.exitCode != kZenityRefused;
    return run;
  }

  // The outcome of a zenity run, the error of a failure noted and its reason set.
  static Outcome OutcomeOf(const ModalProgram::Run& run, std::string& reason) {
    if (run.interrupted) {
      return Outcome::Cancelled;
    }
    if (run.result.exitCode == kZenityRejected) {
      return Outcome::Cancelled;
    }
    if (run.result.exitCode != kZenityAccepted) {
      Report("zenity: " + Failure(run.result));
      reason = FailureReason("zenity", run.result);
      gLastDialogError = run.result.started ? CDERR_DIALOGFAILURE : CDERR_INITIALIZATION;
      return Outcome::Failed;
    }
    return Outcome::Chosen;
  }

  // Yes: Chosen; No: Cancelled.
  static Outcome ConfirmReplace(const OPENFILENAMEW& record, const std::string& path, unsigned long ownerWindow,
                                ModalProgram& dialog, std::string& reason) {
    std::vector<std::string> argv{"zenity", "--question", "--no-markup"};
    if (!record.lpstrTitle.empty()) {
      argv.push_back("--title=" + ToUtf8(record.lpstrTitle));
    }
    argv.push_back("--text=" + std::string(NamePart(path)) + " already exists.\nDo you want to replace it?");
    const ModalProgram::Run run = RunZenity(dialog, argv, ownerWindow);
    ReportOutput("zenity", run.result.output);
    return OutcomeOf(run, reason);
  }

  // zenity's lines as the system dialog answers: one path as it is; several as the folder
  // they share, then the rest of each path.
  static std::u16string MultipleSelection(const std::string& output) {
    std::vector<std::string> paths;
    size_t start = 0;
    while (start <= output.size()) {
      const size_t end = std::min(output.find('\n', start), output.size());
      if (end > start) {
        paths.push_back(output.substr(start, end - start));
      }
      start = end + 1;
    }
    if (paths.size() == 1) {
      return ToUtf16(paths[0]);
    }
    // The longest folder (ending before a '/') that every path begins with.
    size_t shared = paths[0].rfind('/');
    shared = shared == std::string::npos ? 0 : shared;
    for (const std::string& path : paths) {
      while (shared > 0 &&
             (path.size() <= shared || path.compare(0, shared, paths[0], 0, shared) != 0 || path[shared] != '/')) {
        shared = paths[0].rfind('/', shared - 1);
        shared = shared == std::string::npos ? 0 : shared;
      }
    }
    std::u16string list = ToUtf16(paths[0].substr(0, shared));
    list += u'\0';
    for (const std::string& path : paths) {
      list += ToUtf16(path.substr(shared + 1));
      list += u'\0';
    }
    list += u'\0';
    return list;
  }
};

ZenityDialogs gZenity;
CommonDialogBackend* gBackend = nullptr;

CommonDialogBackend& Backend() { return gBackend ? *gBackend : gZenity; }

bool ShowDialog(bool save, OPENFILENAMEW& record) {
  gLastDialogError = 0;
  gLastFailureReason.clear();
  std::string reason;
  switch (Backend().ShowFileDialog(save, record, reason)) {
  case CommonDialogBackend::Outcome::Chosen:
    return true;
  case CommonDialogBackend::Outcome::Cancelled:
    gLastDialogError = 0;
    return false;
  case CommonDialogBackend::Outcome::Failed:
    if (gLastDialogError == 0) {
      gLastDialogError = CDERR_DIALOGFAILURE;
    }
    gLastFailureReason = reason.empty() ? "the dialog program failed" : std::move(reason);
    return false;
  }
  return false;
}

} // namespace

bool GetOpenFileNameW(OPENFILENAMEW& record) { return ShowDialog(false, record); }

bool GetSaveFileNameW(OPENFILENAMEW& record) { return ShowDialog(true, record); }

uint32_t CommDlgExtendedError() { return gLastDialogError; }

std::string CommDlgFailureReason() { return gLastFailureReason; }

ShellTimes SetShellTimes(const ShellTimes& times) {
  const ShellTimes before = gTimes;
  gTimes = times;
  return before;
}

void ForgetRefusedOwnerOptionsForTesting() { gOwnerOptionsRefused = false; }

intptr_t ShellExecuteW(std::u16string_view operation, std::u16string_view file) {
  if (operation != u"open") {
    return SE_ERR_NOASSOC;
  }
  return Backend().OpenWithShell(file) ? 33 : SE_ERR_FNF;
}

CommonDialogBackend* SetCommonDialogBackend(CommonDialogBackend* backend) {
  CommonDialogBackend* before = gBackend;
  gBackend = backend;
  return before;
}

std::vector<std::pair<std::u16string, std::u16string>> ParseFilterList(std::u16string_view filter) {
  std::vector<std::u16string_view> fields;
  size_t start = 0;
  while (start < filter.size()) {
    const size_t end = std::min(filter.find(u'\0', start), filter.size());
    if (end == start) {
      break; // the empty entry that ends the list
    }
    fields.push_back(filter.substr(start, end - start));
    start = end + 1;
  }
  std::vector<std::pair<std::u16string, std::u16string>> pairs;
  for (size_t i = 0; i + 1 < fields.size(); i += 2) {
    pairs.emplace_back(std::u16string(fields[i]), std::u16string(fields[i + 1]));
  }
  return pairs;
}

std::vector<std::string> ZenityFileSelectionArguments(bool save, const OPENFILENAMEW& record,
                                                      unsigned long ownerWindow) {
  std::vector<std::string> arguments{"--file-selection"};
  if (!record.lpstrTitle.empty()) {
    arguments.push_back("--title=" + ToUtf8(record.lpstrTitle));
  }
  const std::string name = save ? ToUtf8(record.lpstrFile) : std::string();
  if (!record.lpstrInitialDir.empty()) {
    std::string folder = ToUtf8(record.lpstrInitialDir);
    if (folder.back() != '/') {
      folder += '/';
    }
    arguments.push_back("--filename=" + folder + name);
  } else if (!name.empty()) {
    arguments.push_back("--filename=" + name);
  }
  if (!save && (record.Flags & OFN_ALLOWMULTISELECT)) {
    arguments.emplace_back("--multiple");
    arguments.emplace_back("--separator=\n");
  }
  if (save) {
    arguments.emplace_back("--save");
    if (record.Flags & OFN_OVERWRITEPROMPT) {
      arguments.emplace_back("--confirm-overwrite");
    }
  }
  for (auto& [description, patterns] : ParseFilterList(record.lpstrFilter)) {
    std::replace(patterns.begin(), patterns.end(), u';', u' ');
    arguments.push_back("--file-filter=" + ToUtf8(description) + " | " + ToUtf8(patterns));
  }
  const std::vector<std::string> owner = OwnerArguments(ownerWindow);
  arguments.insert(arguments.end(), owner.begin(), owner.end());
  return arguments;
}

} // namespace QZ::Platform::Shell
