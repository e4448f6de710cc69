#include "QZFramework/System/FileDialog.h"

#include <gtest/gtest.h>

#include "Platform/Shell/CommonDialogs.h"
#include "QZFramework/ControlBase/RootWindowTestSupport.h"
#include "Support/FakeControlApplication.h"
#include "Support/ScriptedCommonDialogs.h"
#include "Support/StandInPrograms.h"

namespace {

using namespace std::string_literals;
using QZ::LFileDialog;
using QZ::WString;
namespace Shell = QZ::Platform::Shell;

constexpr uint32_t kOpenFlags = 0x881005;

std::string Utf8(const WString& text) { return text.ToUTF8().GetBuffer(); }

class FileDialogTest : public ::testing::Test {
protected:
  QZTest::FakeControlApplication application;
  QZTest::ScriptedCommonDialogs dialogs;
  QZ::RCPtr<LFileDialog> dialog{new LFileDialog(WString(u"/home/me/presets"))};
};

TEST_F(FileDialogTest, TheFilterBecomesTheDoubleZeroListAndZenityFilters) {
  dialogs.Choose(u"/home/me/presets/a.a");
  ASSERT_EQ(dialog->ShowOpenDialog(WString(u"A|*.a|B|*.b"), WString(u"a"), WString(u"Load"), false), QZ::QZ_OK);
  ASSERT_EQ(dialogs.requests.size(), 1u);
  const Shell::OPENFILENAMEW& record = dialogs.requests[0].record;
  EXPECT_EQ(record.lpstrFilter, u"A\0*.a\0B\0*.b\0\0"s);
  EXPECT_EQ(record.lpstrDefExt, u"a");
  EXPECT_EQ(record.lpstrTitle, u"Load");
  EXPECT_EQ(record.lpstrInitialDir, u"/home/me/presets");
  EXPECT_EQ(record.hwndOwner, nullptr) << "no active window";
  const std::vector<std::string> arguments = Shell::ZenityFileSelectionArguments(false, record);
  EXPECT_EQ(std::vector<std::string>(arguments.end() - 2, arguments.end()),
            (std::vector<std::string>{"--file-filter=A | *.a", "--file-filter=B | *.b"}));
  EXPECT_EQ(Utf8(dialog->GetFileName()), "/home/me/presets/a.a");
  EXPECT_EQ(Utf8(dialog->GetFolder()), "/home/me/presets");
}

TEST_F(FileDialogTest, EachDialogHasItsOwnFlags) {
  dialogs.Choose(u"/x/one");
  dialogs.Choose(u"/y/two.qzp");
  dialogs.Choose(u"/z/three");
  dialogs.Choose(u"/z/four");
  const WString filter(u"P|*.qzp");
  ASSERT_EQ(dialog->ShowOpenDialog(filter, WString(u"qzp"), WString(u"Open"), true), QZ::QZ_OK);
  ASSERT_EQ(dialog->ShowSaveDialog(filter, WString(u"qzp"), WString(u"Save"), -1), QZ::QZ_OK);
  ASSERT_EQ(dialog->ShowOpenDialog(filter, WString(u"qzp"), WString(u"Open"), false), QZ::QZ_OK);
  ASSERT_EQ(dialog->ShowOpenDialog(filter, WString(u"qzp"), WString(u"Open"), false), QZ::QZ_OK);
  ASSERT_EQ(dialogs.requests.size(), 4u);
  EXPECT_EQ(dialogs.requests[0].record.Flags, kOpenFlags | Shell::OFN_ALLOWMULTISELECT);
  EXPECT_EQ(dialogs.requests[1].record.Flags, Shell::OFN_OVERWRITEPROMPT);
  EXPECT_TRUE(dialogs.requests[1].save);
  EXPECT_EQ(dialogs.requests[1].record.lpstrFile, u"Untitled");
  EXPECT_EQ(dialogs.requests[2].record.Flags, kOpenFlags) << "after a multiple open and a save";
  EXPECT_EQ(dialogs.requests[3].record.Flags, kOpenFlags);
  // Each dialog starts in the folder of the choice before.
  EXPECT_EQ(dialogs.requests[1].record.lpstrInitialDir, u"/x");
  EXPECT_EQ(dialogs.requests[2].record.lpstrInitialDir, u"/y");
  EXPECT_EQ(dialogs.requests[3].record.lpstrInitialDir, u"/z");
}

TEST_F(FileDialogTest, MultipleSelections) {
  const WString filter(u"P|*.qzp");
  dialogs.Choose(u"/home/me/one.qzp");
  ASSERT_EQ(dialog->ShowOpenDialog(filter, WString(), WString(), true), QZ::QZ_OK);
  ASSERT_EQ(dialog->GetFileNames().GetCount(), 1u);
  EXPECT_EQ(Utf8(dialog->GetFileNames().GetAt(0)), "/home/me/one.qzp");
  EXPECT_EQ(Utf8(dialog->GetFolder()), "/home/me");

  dialogs.Choose(u"/home/you\0a.qzp\0sub/b.qzp\0\0"s);
  ASSERT_EQ(dialog->ShowOpenDialog(filter, WString(), WString(), true), QZ::QZ_OK);
  ASSERT_EQ(dialog->GetFileNames().GetCount(), 2u);
  EXPECT_EQ(Utf8(dialog->GetFileNames().GetAt(0)), "/home/you/a.qzp");
  EXPECT_EQ(Utf8(dialog->GetFileNames().GetAt(1)), "/home/you/sub/b.qzp");

  dialogs.Choose(u"\0a.qzp\0b.qzp\0\0"s);
  ASSERT_EQ(dialog->ShowOpenDialog(filter, WString(), WString(), true), QZ::QZ_OK);
  ASSERT_EQ(dialog->GetFileNames().GetCount(), 2u);
  EXPECT_EQ(Utf8(dialog->GetFileNames().GetAt(0)), "/a.qzp") << "files at the root";
}

TEST_F(FileDialogTest, ACancelOrAFailureKeepsTheEarlierChoiceAndOnlyAFailureSaysWhy) {
  const WString filter(u"P|*.qzp");
  dialogs.Choose(u"/home/me/kept.qzp");
  dialogs.Cancel();
  dialogs.Fail("zenity was ended by signal 9 (Killed)");
  dialogs.Fail();
  ASSERT_EQ(dialog->ShowOpenDialog(filter, WString(), WString(), false), QZ::QZ_OK);
  EXPECT_EQ(dialog->ShowOpenDialog(filter, WString(), WString(), false), QZ::QZ_E_FAIL);
  EXPECT_EQ(Utf8(dialog->GetFileName()), "/home/me/kept.qzp");
  EXPECT_TRUE(application.messageBoxes.empty()) << "a cancel";
  EXPECT_EQ(dialog->ShowOpenDialog(filter, WString(), WString(), false), QZ::QZ_E_FAIL);
  EXPECT_EQ(Utf8(dialog->GetFileName()), "/home/me/kept.qzp");
  EXPECT_EQ(Utf8(dialog->GetFolder()), "/home/me");
  EXPECT_EQ(dialog->ShowSaveDialog(filter, WString(), WString(), 8), QZ::QZ_E_FAIL);
  ASSERT_EQ(application.messageBoxes.size(), 2u);
  EXPECT_EQ(Utf8(application.messageBoxCaptions[0]), "File Dialog Error");
  EXPECT_EQ(Utf8(application.messageBoxes[0]),
            "The file dialog could not be shown: zenity was ended by signal 9 (Killed).");
  EXPECT_EQ(Utf8(application.messageBoxes[1]), "The file dialog could not be shown: the dialog program failed.");
  application.messageBoxes.clear();
  // A save that is not completed leaves "Untitled".
  dialogs.Cancel();
  EXPECT_EQ(dialog->ShowSaveDialog(filter, WString(), WString(), 8), QZ::QZ_E_FAIL);
  EXPECT_EQ(Utf8(dialog->GetFileName()), "Untitled");
  EXPECT_EQ(Utf8(dialog->GetFolder()), "/home/me");
}

TEST_F(FileDialogTest, TheSavedNameIsMeasuredAfterTheLastSlash) {
  struct Case {
    int32_t maximum;
    std::u16string chosen;
    QZ::QZResult result;
    size_t boxes;
    std::string fileName;
  } cases[] = {
      {0, u"/a/b.qzp", QZ::QZ_E_INVALIDARG, 0, ""}, // nothing chosen yet
      {8, u"/a.b/thirteen1.qzp", QZ::QZ_E_FAIL, 1, "Untitled"},
      {13, u"/a.b/thirteen1.qzp", QZ::QZ_OK, 0, "/a.b/thirteen1.qzp"},
      {-1, u"/a/" + std::u16string(3000, u'n') + u".qzp", QZ::QZ_OK, 0, "/a/" + std::string(3000, 'n') + ".qzp"},
      {4, u"/a/\U0001D11E\U0001D11E.q", QZ::QZ_E_FAIL, 1, "Untitled"}, // 6 UTF-16 units
      {6, u"/a/\U0001D11E\U0001D11E.q", QZ::QZ_OK, 0, "/a/\U0001D11E\U0001D11E.q"},
  };
  for (const Case& c : cases) {
    dialogs.requests.clear();
    application.messageBoxes.clear();
    application.messageBoxCaptions.clear();
    if (c.maximum != 0) {
      dialogs.Choose(c.chosen);
    }
    EXPECT_EQ(dialog->ShowSaveDialog(WString(u"P|*.qzp"), WString(u"qzp"), WString(u"Save"), c.maximum), c.result)
        << c.maximum;
    EXPECT_EQ(dialogs.requests.size(), c.maximum == 0 ? 0u : 1u) << c.maximum;
    ASSERT_EQ(application.messageBoxes.size(), c.boxes) << c.maximum;
    if (c.boxes) {
      EXPECT_EQ(Utf8(application.messageBoxes[0]),
                "The file length is larger than the maximum limit of " + std::to_string(c.maximum) + " characters");
      EXPECT_EQ(Utf8(application.messageBoxCaptions[0]), "File Save Error");
    }
    EXPECT_EQ(Utf8(dialog->GetFileName()), c.fileName) << c.maximum;
  }
}

TEST(FileDialogShellTest, OpenWithShellAsksTheBackend) {
  QZTest::ScriptedCommonDialogs dialogs;
  EXPECT_EQ(LFileDialog::OpenWithShell(WString(u"https://example.org/guide?a=1&b=2")), QZ::QZ_OK);
  dialogs.shellStarts = false;
  EXPECT_EQ(LFileDialog::OpenWithShell(WString(u"/home/me/guide.pdf")), QZ::QZ_E_FAIL);
  EXPECT_EQ(dialogs.opened, (std::vector<std::u16string>{u"https://example.org/guide?a=1&b=2", u"/home/me/guide.pdf"}));
}

// The real programs, as stand-in scripts on PATH.
class FileDialogProgramTest : public ::testing::Test {
protected:
  void SetUp() override {
    programs.AddRecorder("zenity");
    programs.AddRecorder("xdg-open");
  }

  QZTest::FakeControlApplication application;
  QZTest::StandInPrograms programs;
};

TEST_F(FileDialogProgramTest, ATitleReachesZenityLiterally) {
  programs.Answer("zenity", "--file-selection", "/home/me/a.qzp\n", 0);
  QZ::RCPtr<LFileDialog> dialog(new LFileDialog(WString(u"/home/me/it's here")));
  const WString title(u"Load \"Preset\" $(rm -rf ~) `x` 'y' \\z");
  ASSERT_EQ(dialog->ShowOpenDialog(WString(u"Presets|*.qzp;*.QZP"), WString(u"qzp"), title, false), QZ::QZ_OK);
  EXPECT_EQ(Utf8(dialog->GetFileName()), "/home/me/a.qzp");
  const auto runs = programs.Runs("zenity");
  ASSERT_EQ(runs.size(), 1u);
  EXPECT_EQ(runs[0],
            (std::vector<std::string>{"--file-selection", "--title=" + Utf8(title), "--filename=/home/me/it's here/",
                                      "--file-filter=Presets | *.qzp *.QZP"}));
}

TEST_F(FileDialogProgramTest, ADialogThatCannotBeShownSaysSoOnceAndWhy) {
  QZ::RCPtr<LFileDialog> dialog(new LFileDialog(WString(u"/home/me")));
  const auto expectOneBox = [this](const std::string& reason) {
    ASSERT_EQ(application.messageBoxes.size(), 1u) << reason;
    EXPECT_EQ(Utf8(application.messageBoxCaptions[0]), "File Dialog Error");
    EXPECT_EQ(Utf8(application.messageBoxes[0]), "The file dialog could not be shown: " + reason + ".");
    application.messageBoxes.clear();
    application.messageBoxCaptions.clear();
  };
  programs.Add("zenity", "#!/bin/sh\nkill -KILL $$\n");
  EXPECT_EQ(dialog->ShowOpenDialog(WString(u"P|*.qzp"), WString(), WString(), false), QZ::QZ_E_FAIL);
  expectOneBox("zenity was ended by signal 9 (Killed)");
  {
    QZTest::StandInPrograms nothing(QZTest::StandInPrograms::kAlone);
    EXPECT_EQ(dialog->ShowOpenDialog(WString(u"P|*.qzp"), WString(), WString(), false), QZ::QZ_E_FAIL);
    expectOneBox("zenity could not be started (No such file or directory)");
    EXPECT_EQ(dialog->ShowSaveDialog(WString(u"P|*.qzp"), WString(), WString(), 10), QZ::QZ_E_FAIL);
    expectOneBox("zenity could not be started (No such file or directory)");
    EXPECT_EQ(Utf8(dialog->GetFileName()), "Untitled");
    EXPECT_EQ(LFileDialog::OpenWithShell(WString(u"/home/me/guide.pdf")), QZ::QZ_E_FAIL);
    EXPECT_TRUE(application.messageBoxes.empty()) << "the caller says why an open failed";
  }
  programs.Add("zenity", "#!/bin/sh\nexit 1\n");
  EXPECT_EQ(dialog->ShowOpenDialog(WString(u"P|*.qzp"), WString(), WString(), false), QZ::QZ_E_FAIL);
  EXPECT_TRUE(application.messageBoxes.empty()) << "a cancel";
}

TEST_F(FileDialogProgramTest, AnAnswerPastItsBoundIsADialogThatCannotBeShownAndAHugeStandardErrorIsNoFailure) {
  // Output files made huge without being written (truncated, or a byte written at 1 TiB).
  QZ::RCPtr<LFileDialog> dialog(new LFileDialog(WString(u"/home/me")));
  for (const char* huge : {"truncate -s 64G /dev/stdout", "perl -e 'sysseek STDOUT, 1 << 40, 0; syswrite STDOUT, 1'"}) {
    SCOPED_TRACE(huge);
    programs.Add("zenity", "#!/bin/sh\necho /home/me/a.qzp\n" + std::string(huge) + "\n");
    EXPECT_EQ(dialog->ShowOpenDialog(WString(u"P|*.qzp"), WString(), WString(), false), QZ::QZ_E_FAIL);
    EXPECT_EQ(dialog->ShowSaveDialog(WString(u"P|*.qzp"), WString(u"qzp"), WString(), 10), QZ::QZ_E_FAIL);
    ASSERT_EQ(application.messageBoxes.size(), 2u);
    for (size_t box = 0; box < 2; ++box) {
      EXPECT_EQ(Utf8(application.messageBoxCaptions[box]), "File Dialog Error");
      EXPECT_EQ(Utf8(application.messageBoxes[box]),
                "The file dialog could not be shown: zenity wrote more than 16 MiB as its answer.");
    }
    application.messageBoxes.clear();
    application.messageBoxCaptions.clear();
  }
  programs.Add("zenity", "#!/bin/sh\necho /home/me/a.qzp\ntruncate -s 64G /dev/stdout\nexit 1\n");
  EXPECT_EQ(dialog->ShowOpenDialog(WString(u"P|*.qzp"), WString(), WString(), false), QZ::QZ_E_FAIL);
  EXPECT_TRUE(application.messageBoxes.empty()) << "a cancel";
  programs.Add("zenity", "#!/bin/sh\ntruncate -s 6E /dev/stderr\necho /home/me/chosen.qzp\n");
  EXPECT_EQ(dialog->ShowOpenDialog(WString(u"P|*.qzp"), WString(), WString(), false), QZ::QZ_OK);
  EXPECT_EQ(Utf8(dialog->GetFileName()), "/home/me/chosen.qzp");
  EXPECT_TRUE(application.messageBoxes.empty());
}

TEST_F(FileDialogProgramTest, OpenWithShellStartsXdgOpenOnceWithThePath) {
  EXPECT_EQ(LFileDialog::OpenWithShell(WString(u"/home/me/user guide.pdf")), QZ::QZ_OK);
  ASSERT_TRUE(programs.WaitForRuns("xdg-open", 1));
  EXPECT_EQ(programs.Runs("xdg-open"), (std::vector<std::vector<std::string>>{{"/home/me/user guide.pdf"}}));
  EXPECT_TRUE(programs.Runs("zenity").empty());
}

TEST_F(FileDialogProgramTest, WhatTheDialogProgramSaysAndWhyAnOpenFailedGoToTheDebugTraceNotToStandardError) {
  programs.Add("xdg-open", "#!/bin/sh\necho 'no method available for opening it' >&2\nexit 3\n");
  programs.Add("zenity", "#!/bin/sh\necho 'Gtk-WARNING: cannot open display' >&2\nexit 1\n");
  const auto run = [] {
    QZ::RCPtr<LFileDialog> dialog(new LFileDialog(WString(u"/home/me")));
    EXPECT_EQ(LFileDialog::OpenWithShell(WString(u"/home/me/guide.pdf")), QZ::QZ_E_FAIL);
    EXPECT_EQ(dialog->ShowOpenDialog(WString(u"P|*.qzp"), WString(), WString(), false), QZ::QZ_E_FAIL); // a cancel
  };
  testing::internal::CaptureStderr();
  run();
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
  // The trace's debugger output is standard error while QZ_DEBUG_TRACE is set.
  setenv("QZ_DEBUG_TRACE", "1", 1);
  testing::internal::CaptureStderr();
  run();
  const std::string traced = testing::internal::GetCapturedStderr();
  unsetenv("QZ_DEBUG_TRACE");
  for (const char* line : {"xdg-open /home/me/guide.pdf: exit status 3 (a required tool missing)\n",
                           "zenity: Gtk-WARNING: cannot open display\n"}) {
    EXPECT_NE(traced.find(line), std::string::npos) << line << " not in: " << traced;
  }
  EXPECT_EQ(traced.find("no method available"), std::string::npos) << "the opener writes nowhere of ours";
}

} // namespace

namespace QZTest {
namespace {

// The active root window's OS window owns the dialog.
class FileDialogOwnerTest : public RootWindowFixture {};

TEST_F(FileDialogOwnerTest, TheActiveRootWindowOwnsTheDialog) {
  ScriptedCommonDialogs dialogs;
  application.activeRootWindow = root;
  QZ::RCPtr<LFileDialog> dialog(new LFileDialog(WString(u"/home/me")));
  EXPECT_EQ(dialog->ShowOpenDialog(WString(u"P|*.qzp"), WString(), WString(), false), QZ::QZ_E_FAIL); // cancelled
  ASSERT_EQ(dialogs.requests.size(), 1u);
  EXPECT_EQ(dialogs.requests[0].record.hwndOwner, hwnd);
}

} // namespace
} // namespace QZTest
