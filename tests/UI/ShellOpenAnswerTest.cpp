// The user guide and the support page through the real shell layer, with a stand-in
// xdg-open on PATH: an opener that reports failure (exit 3: no browser) shows the device
// view's "Open User Guide Error" box; the About box's support page says nothing to the
// user and leaves lines in the debug trace (why xdg-open failed, and the page's).
#include <gtest/gtest.h>
#include <stdlib.h>

#include <algorithm>
#include <string>
#include <vector>

#include "DeviceViewKit.h"
#include "Platform/Shell/CommonDialogs.h"
#include "Support/StandInPrograms.h"

namespace DeviceViews {
namespace {

using Box = QZTest::RecordingEditorUIHost::Box;

// The shell layer's own programs in place of the kit's recorder, for the object's
// lifetime (made after the kit, gone before it).
class RealShell {
public:
  RealShell() : mKits(QZ::Platform::Shell::SetCommonDialogBackend(nullptr)) {}
  ~RealShell() { QZ::Platform::Shell::SetCommonDialogBackend(mKits); }
  RealShell(const RealShell&) = delete;
  RealShell& operator=(const RealShell&) = delete;

private:
  QZ::Platform::Shell::CommonDialogBackend* mKits;
};

class ShellOpenAnswerTest : public ::testing::Test {
protected:
  // An xdg-open that notes each run, then ends with exitCode.
  void Opener(int exitCode) const {
    programs.Add("xdg-open", "#!/bin/sh\necho \"$1\" >> '" + (programs.folder / "opened") +
                                 "'\necho 'no method' >&2\n" + "exit " + std::to_string(exitCode) + "\n");
  }
  size_t Opened() const {
    const std::string opened = programs.folder.Read("opened");
    return size_t(std::count(opened.begin(), opened.end(), '\n'));
  }

  QZTest::StandInPrograms programs;
  DeviceKit kit;
  RealShell shell;
};

TEST_F(ShellOpenAnswerTest, AUserGuideThatCannotOpenSaysSo) {
  PutUserGuide(kit);
  Opener(0);
  kit.Command(u"NID_MENU_HELP_OPEN_USER_GUIDE_REQ");
  EXPECT_EQ(Opened(), 1u);
  EXPECT_TRUE(kit.MessageBoxes().empty()) << "opened";

  Opener(3);
  kit.Command(u"NID_MENU_HELP_OPEN_USER_GUIDE_REQ");
  EXPECT_EQ(Opened(), 2u);
  EXPECT_EQ(kit.MessageBoxes(),
            (std::vector<Box>{{u"The user guide could not be opened.", u"Open User Guide Error", 0}}));
}

TEST_F(ShellOpenAnswerTest, ASupportPageThatCannotOpenIsToldToTheTraceAlone) {
  Opener(3);
  std::string traced;
  kit.WhenModalOpens(u"dialogAbout", {[&](QZ::LControl& shown) {
                       // The trace's debugger output is standard error while QZ_DEBUG_TRACE is set.
                       setenv("QZ_DEBUG_TRACE", "1", 1);
                       testing::internal::CaptureStderr();
                       kit.Click(shown, "buttonSupport");
                       traced = testing::internal::GetCapturedStderr();
                       unsetenv("QZ_DEBUG_TRACE");
                       kit.Click(shown, "buttonOK");
                     }});
  kit.Command(u"NID_MENU_HELP_ABOUT_REQ");
  EXPECT_EQ(Opened(), 1u);
  EXPECT_TRUE(kit.MessageBoxes().empty()) << "a failure the user is not told of";
  const size_t line = traced.find("LAboutDlg: the support page ");
  EXPECT_NE(line, std::string::npos) << traced;
  EXPECT_NE(traced.find(" could not be opened\n", line), std::string::npos) << traced;
  EXPECT_NE(traced.find(": exit status 3 (a required tool missing)\n"), std::string::npos) << traced;
}

} // namespace
} // namespace DeviceViews
