#pragma once
// The common dialogs and the shell's open action scripted by a test, installed for the
// object's lifetime: each dialog is recorded (open or save, and the record as the caller
// made it) and answered with the next scripted answer (a cancel when none is left); each
// shell open is recorded and started or not as the test says.
//
//   QZTest::ScriptedCommonDialogs dialogs;
//   dialogs.Choose(u"/home/me/a.qzp");                  // the next dialog's choice
//   dialogs.Cancel();                                    // the one after is cancelled
//   dialogs.Fail("zenity was ended by signal 9");        // and the one after that fails
//   ... code under test ...
//   dialogs.requests[0].record.Flags;                    // 0x881005

#include <deque>
#include <string>
#include <string_view>
#include <vector>

#include "Platform/Shell/CommonDialogs.h"

namespace QZTest {

class ScriptedCommonDialogs : public QZ::Platform::Shell::CommonDialogBackend {
public:
  using Record = QZ::Platform::Shell::OPENFILENAMEW;

  struct Request {
    bool save = false;
    Record record; // as the caller filled it, before the answer
  };

  ScriptedCommonDialogs() : mBefore(QZ::Platform::Shell::SetCommonDialogBackend(this)) {}
  ~ScriptedCommonDialogs() override { QZ::Platform::Shell::SetCommonDialogBackend(mBefore); }
  ScriptedCommonDialogs(const ScriptedCommonDialogs&) = delete;
  ScriptedCommonDialogs& operator=(const ScriptedCommonDialogs&) = delete;

  // The next dialog answers file (the buffer as the system dialog fills it).
  void Choose(std::u16string file) { mAnswers.push_back({Outcome::Chosen, std::move(file), {}}); }
  void Cancel() { mAnswers.push_back({Outcome::Cancelled, {}, {}}); }
  // The next dialog fails for reason (empty: the layer's own).
  void Fail(std::string reason = {}) { mAnswers.push_back({Outcome::Failed, {}, std::move(reason)}); }

  Outcome ShowFileDialog(bool save, Record& record, std::string& reason) override {
    requests.push_back({save, record});
    if (mAnswers.empty()) {
      return Outcome::Cancelled;
    }
    const Answer answer = mAnswers.front();
    mAnswers.pop_front();
    if (answer.outcome == Outcome::Chosen) {
      record.lpstrFile = answer.file;
    }
    reason = answer.reason;
    return answer.outcome;
  }

  bool OpenWithShell(std::u16string_view file) override {
    opened.emplace_back(file);
    return shellStarts;
  }

  std::vector<Request> requests;
  std::vector<std::u16string> opened;
  bool shellStarts = true;

private:
  struct Answer {
    Outcome outcome;
    std::u16string file;
    std::string reason;
  };

  std::deque<Answer> mAnswers;
  CommonDialogBackend* mBefore;
};

} // namespace QZTest
