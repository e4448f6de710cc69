#include "Platform/Shell/CommonDialogs.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <memory>

#include "Platform/Host/MessageLoop.h"
#include "Platform/Window/Input.h"
#include "Platform/Window/TextConversion.h"
#include "Support/ScriptedVideoBackend.h"
#include "Support/StandInPrograms.h"

namespace {

namespace Shell = QZ::Platform::Shell;
namespace Win = QZ::Platform::Window;
namespace Host = QZ::Platform::Host;
using namespace std::string_literals;
using Arguments = std::vector<std::string>;

Shell::OPENFILENAMEW Record(uint32_t flags, std::u16string folder = u"/home/me/presets") {
  Shell::OPENFILENAMEW record;
  record.lpstrFilter = u"Presets (*.qzp)\0*.qzp\0Pictures\0*.png;*.jpg\0\0"s;
  record.lpstrTitle = u"Load";
  record.lpstrInitialDir = std::move(folder);
  record.lpstrDefExt = u"qzp";
  record.Flags = flags;
  return record;
}

TEST(CommonDialogsTest, ZenityArgumentsOfEachDialog) {
  const std::string presets = "--file-filter=Presets (*.qzp) | *.qzp";
  const std::string pictures = "--file-filter=Pictures | *.png *.jpg";
  struct Case {
    const char* what;
    bool save;
    Shell::OPENFILENAMEW record;
    Arguments expected;
  } cases[] = {
      {"open",
       false,
       Record(0x881005),
       {"--file-selection", "--title=Load", "--filename=/home/me/presets/", presets, pictures}},
      {"multiple",
       false,
       Record(0x881205),
       {"--file-selection", "--title=Load", "--filename=/home/me/presets/", "--multiple", "--separator=\n", presets,
        pictures}},
      {"save",
       true,
       Record(Shell::OFN_OVERWRITEPROMPT),
       {"--file-selection", "--title=Load", "--filename=/home/me/presets/", "--save", "--confirm-overwrite", presets,
        pictures}},
      {"open, no folder", false, Record(0x881005, u""), {"--file-selection", "--title=Load", presets, pictures}},
      {"open, root folder",
       false,
       Record(0x881005, u"/"),
       {"--file-selection", "--title=Load", "--filename=/", presets, pictures}},
  };
  for (Case& c : cases) {
    EXPECT_EQ(Shell::ZenityFileSelectionArguments(c.save, c.record), c.expected) << c.what;
  }
  Shell::OPENFILENAMEW save = Record(Shell::OFN_OVERWRITEPROMPT);
  save.lpstrFile = u"Untitled";
  save.lpstrTitle.clear();
  save.lpstrFilter.clear();
  EXPECT_EQ(Shell::ZenityFileSelectionArguments(true, save),
            (Arguments{"--file-selection", "--filename=/home/me/presets/Untitled", "--save", "--confirm-overwrite"}));
  save.lpstrInitialDir.clear();
  EXPECT_EQ(Shell::ZenityFileSelectionArguments(true, save),
            (Arguments{"--file-selection", "--filename=Untitled", "--save", "--confirm-overwrite"}));
}

TEST(CommonDialogsTest, FilterListsUpToTheirEmptyEntry) {
  using Pairs = std::vector<std::pair<std::u16string, std::u16string>>;
  EXPECT_EQ(Shell::ParseFilterList(u"A\0*.a\0B\0*.b\0\0"s), (Pairs{{u"A", u"*.a"}, {u"B", u"*.b"}}));
  EXPECT_EQ(Shell::ParseFilterList(u"A\0*.a\0\0C\0*.c\0\0"s), (Pairs{{u"A", u"*.a"}}));
  EXPECT_EQ(Shell::ParseFilterList(u"A\0*.a\0B\0\0"s), (Pairs{{u"A", u"*.a"}})) << "a description alone";
  EXPECT_EQ(Shell::ParseFilterList(u"A\0*.a"s), (Pairs{{u"A", u"*.a"}})) << "no end";
  EXPECT_EQ(Shell::ParseFilterList(u""), Pairs{});
}

class ZenityTest : public ::testing::Test {
protected:
  void SetUp() override {
    programs.AddRecorder("zenity");
    programs.AddRecorder("xdg-open");
  }
  // Runs the open (or save) dialog of record: its answer.
  bool Show(bool save, Shell::OPENFILENAMEW& record) {
    return save ? Shell::GetSaveFileNameW(record) : Shell::GetOpenFileNameW(record);
  }

  QZTest::StandInPrograms programs;
};

TEST_F(ZenityTest, TheExitCodeTellsAChoiceACancelAndAFailure) {
  struct Case {
    std::string output;
    int exitCode;
    bool chosen;
    uint32_t error;
  } cases[] = {{"/home/me/a.qzp\n", 0, true, 0},
               {"", 1, false, 0},
               {"", 5, false, Shell::CDERR_DIALOGFAILURE},
               {"", 255, false, Shell::CDERR_DIALOGFAILURE},
               {"\n", 0, false, Shell::CDERR_DIALOGFAILURE}};
  for (const Case& c : cases) {
    programs.Answer("zenity", "--file-selection", c.output, c.exitCode);
    Shell::OPENFILENAMEW record = Record(0x881005);
    EXPECT_EQ(Shell::GetOpenFileNameW(record), c.chosen) << c.exitCode;
    EXPECT_EQ(Shell::CommDlgExtendedError(), c.error) << c.exitCode;
    if (c.chosen) {
      EXPECT_EQ(record.lpstrFile, u"/home/me/a.qzp");
    }
  }
}

TEST_F(ZenityTest, WithoutZenityTheDialogFailsToStart) {
  QZTest::StandInPrograms nothing(QZTest::StandInPrograms::kAlone);
  Shell::OPENFILENAMEW record = Record(0x881005);
  EXPECT_FALSE(Shell::GetOpenFileNameW(record));
  EXPECT_EQ(Shell::CommDlgExtendedError(), Shell::CDERR_INITIALIZATION);
  EXPECT_EQ(Shell::ShellExecuteW(u"open", u"/home/me/guide.pdf"), Shell::SE_ERR_FNF);
}

TEST_F(ZenityTest, MultipleSelectionsAsTheSystemDialogAnswersThem) {
  struct Case {
    std::string output;
    std::u16string file;
  } cases[] = {
      {"/home/me/a.qzp\n", u"/home/me/a.qzp"},
      {"/home/me/a.qzp\n/home/me/b c.qzp\n", u"/home/me\0a.qzp\0b c.qzp\0\0"s},
      {"/home/me/x/a.qzp\n/home/me/y/b.qzp\n", u"/home/me\0x/a.qzp\0y/b.qzp\0\0"s},
      {"/a.qzp\n/b.qzp\n", u"\0a.qzp\0b.qzp\0\0"s},
      {"/home/me/ab/a\n/home/me/a/b\n", u"/home/me\0ab/a\0a/b\0\0"s},
  };
  for (const Case& c : cases) {
    programs.Answer("zenity", "--file-selection", c.output, 0);
    Shell::OPENFILENAMEW record = Record(0x881205);
    ASSERT_TRUE(Shell::GetOpenFileNameW(record)) << c.output;
    EXPECT_EQ(record.lpstrFile, c.file) << c.output;
  }
}

TEST_F(ZenityTest, ASavedNameWithoutExtensionGetsTheDefaultOneAndAnExistingOneIsConfirmed) {
  const std::string taken = programs.folder.Write("taken.qzp", "preset");
  const std::string takenStem = programs.folder / "taken";
  struct Case {
    std::string typed;
    int answer; // of the question; -1: none asked
    std::string saved;
  } cases[] = {
      {programs.folder / "fresh", -1, programs.folder / "fresh.qzp"},
      {programs.folder / "named.txt", -1, programs.folder / "named.txt"},
      {takenStem, 0, taken},
  };
  for (const Case& c : cases) {
    programs.Answer("zenity", "--file-selection", c.typed + "\n", 0);
    programs.Answer("zenity", "--question", "", c.answer);
    const size_t runsBefore = programs.Runs("zenity").size();
    Shell::OPENFILENAMEW record = Record(Shell::OFN_OVERWRITEPROMPT);
    record.lpstrFile = u"Untitled";
    ASSERT_TRUE(Shell::GetSaveFileNameW(record)) << c.typed;
    EXPECT_EQ(record.lpstrFile, Win::ToUtf16(c.saved));
    const auto runs = programs.Runs("zenity");
    ASSERT_EQ(runs.size(), runsBefore + (c.answer < 0 ? 1 : 2)) << c.typed;
    if (c.answer >= 0) {
      EXPECT_EQ(runs.back(), (Arguments{"--question", "--no-markup", "--title=Load",
                                        "--text=taken.qzp already exists.\nDo you want to replace it?"}));
    }
  }
}

TEST_F(ZenityTest, NotReplacingShowsTheDialogAgainAtTheNameGiven) {
  const std::string taken = programs.folder.Write("taken.qzp", "preset");
  Shell::OPENFILENAMEW record = Record(Shell::OFN_OVERWRITEPROMPT);
  record.lpstrFile = u"Untitled";
  // The same name twice, each time not replaced; then the dialog is cancelled.
  programs.Add("zenity", "#!/bin/sh\n"
                         "{ for a in \"$@\"; do printf '%s\\036' \"$a\"; done; printf '\\035'; } >> '" +
                             (programs.folder / "zenity.runs") +
                             "'\n"
                             "case \"$1\" in --question) exit 1;; esac\n"
                             "runs=$(tr -cd '\\035' < '" +
                             (programs.folder / "zenity.runs") +
                             "' | wc -c)\n"
                             "[ \"$runs\" -ge 4 ] && exit 1\n"
                             "echo '" +
                             (programs.folder / "taken") + "'\n");
  EXPECT_FALSE(Shell::GetSaveFileNameW(record));
  EXPECT_EQ(Shell::CommDlgExtendedError(), 0u) << "a cancel";
  const auto runs = programs.Runs("zenity");
  ASSERT_EQ(runs.size(), 5u);
  EXPECT_EQ(runs[0][2], "--filename=/home/me/presets/Untitled");
  EXPECT_EQ(runs[1][0], "--question");
  EXPECT_EQ(runs[2][2], "--filename=" + taken) << "again, at the name given";
  EXPECT_EQ(runs[4][0], "--file-selection");
}

TEST_F(ZenityTest, ShellOpenStartsXdgOpenOnceWithThePath) {
  EXPECT_EQ(Shell::ShellExecuteW(u"open", u"/home/me/a guide's \"$(x)\".pdf"), 33);
  ASSERT_TRUE(programs.WaitForRuns("xdg-open", 1));
  EXPECT_EQ(programs.Runs("xdg-open"), (std::vector<Arguments>{{"/home/me/a guide's \"$(x)\".pdf"}}));
  EXPECT_EQ(Shell::ShellExecuteW(u"edit", u"/home/me/a.txt"), Shell::SE_ERR_NOASSOC);
}

// While zenity runs, the owner repaints, its input is dropped, and a quit closes the dialog.
class ZenityOwnerTest : public ZenityTest, public Win::WindowProcedure {
protected:
  void SetUp() override {
    ZenityTest::SetUp();
    auto backend = std::make_unique<QZTest::ScriptedVideoBackend>();
    script = backend.get();
    ASSERT_TRUE(Host::Startup(std::move(backend)));
    owner = Win::CreateWindowEx(0, u"owner", Win::WS_CAPTION | Win::WS_VISIBLE, 100, 50, 200, 100, nullptr, this);
    ASSERT_NE(owner, nullptr);
    Win::ValidateRect(owner, nullptr);
  }
  void TearDown() override { Host::Shutdown(); }

  Win::LRESULT WindowProc(Win::HWND hwnd, uint32_t message, Win::WPARAM wParam, Win::LPARAM lParam) override {
    messages.push_back(message);
    if (message == Win::WM_PAINT) {
      programs.folder.Write("painted", "");
      Win::ValidateRect(hwnd, nullptr);
      return 0;
    }
    return Win::DefWindowProc(hwnd, message, wParam, lParam);
  }
  size_t Count(uint32_t message) const { return size_t(std::count(messages.begin(), messages.end(), message)); }

  QZTest::ScriptedVideoBackend* script = nullptr;
  Win::HWND owner = nullptr;
  std::vector<uint32_t> messages;
};

TEST_F(ZenityOwnerTest, TheOwnerPaintsButTakesNoInputWhileTheDialogRuns) {
  // zenity answers once our window has painted (at most 10 s).
  programs.Add("zenity", "#!/bin/sh\n"
                         "for i in $(seq 1000); do [ -f '" +
                             (programs.folder / "painted") +
                             "' ] && { echo /home/me/a.qzp; exit 0; }; sleep 0.01; done\n"
                             "exit 5\n");
  Win::InvalidateRect(owner, nullptr, false);
  script->Push(QZTest::ButtonEvent(SDL_MOUSEBUTTONDOWN, script->SdlIdOf(owner), SDL_BUTTON_LEFT, 20, 20));
  script->Push(QZTest::ButtonEvent(SDL_MOUSEBUTTONUP, script->SdlIdOf(owner), SDL_BUTTON_LEFT, 20, 20));
  Shell::OPENFILENAMEW record = Record(0x881005);
  record.hwndOwner = owner;
  ASSERT_TRUE(Shell::GetOpenFileNameW(record));
  EXPECT_EQ(Count(Win::WM_PAINT), 1u);
  EXPECT_EQ(Count(Win::WM_LBUTTONDOWN) + Count(Win::WM_LBUTTONUP), 0u) << "input of the disabled owner";
  EXPECT_TRUE(Win::IsWindowEnabled(owner));
}

TEST_F(ZenityOwnerTest, AQuitClosesTheDialogAndIsLeftForTheLoopsOutside) {
  programs.Add("zenity", "#!/bin/sh\nexec sleep 30\n");
  Host::PostQuitMessage(4);
  Shell::OPENFILENAMEW record = Record(0x881005);
  record.hwndOwner = owner;
  const auto started = std::chrono::steady_clock::now();
  EXPECT_FALSE(Shell::GetOpenFileNameW(record));
  EXPECT_EQ(Shell::CommDlgExtendedError(), 0u);
  EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(10));
  Win::MSG msg;
  ASSERT_TRUE(Host::PeekMessage(&msg, Win::PM_REMOVE));
  EXPECT_EQ(msg.message, uint32_t(Win::WM_QUIT));
  EXPECT_EQ(msg.wParam, 4u);
  EXPECT_TRUE(Win::IsWindowEnabled(owner));
}

} // namespace
