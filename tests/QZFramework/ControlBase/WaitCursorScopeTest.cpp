// The wait cursor and status text of a long operation, in the active root window or else
// the application's first.

#include <gtest/gtest.h>

#include "QZFramework/ControlBase/RootWindow.h"
#include "Support/FakeControlApplication.h"
#include "Support/FakeRootWindow.h"

namespace QZ {
namespace {

using namespace QZTest;

TEST(WaitCursorScopeTest, TheWindowShowsTheWaitCursorAndTheStatusTextWhileTheScopeLasts) {
  struct Case {
    const char* what;
    bool active; // the window is the active one, else only the first
  };
  for (const Case c : {Case{"active", true}, Case{"first", false}}) {
    SCOPED_TRACE(c.what);
    FakeControlApplication application;
    const RCPtr<FakeRootWindow> window(new FakeRootWindow);
    const RCPtr<FakeRootWindow> other(new FakeRootWindow);
    application.rootWindows = {RCPtr<IRootWindow>(window), RCPtr<IRootWindow>(other)};
    application.activeRootWindow = c.active ? RCPtr<IRootWindow>(window) : nullptr;
    window->cursor = application.Cursor(u"UI_CURSOR_IBEAM");
    {
      LWaitCursorScope wait(u"Loading skin...");
      EXPECT_EQ(window->cursor, application.Cursor(u"UI_CURSOR_WAIT"));
      ASSERT_EQ(application.statusTexts.size(), 1u);
      EXPECT_EQ(application.statusTexts[0], WString(u"Loading skin..."));
      EXPECT_EQ(application.idlePasses, std::vector<bool>{true}) << "the window repaints before the work";
      EXPECT_EQ(application.statusRestores, 0);
    }
    EXPECT_EQ(window->cursor, application.Cursor(u"UI_CURSOR_IBEAM"));
    EXPECT_EQ(application.statusRestores, 1);
    EXPECT_TRUE(other->cursorRequests.empty());
  }
}

TEST(WaitCursorScopeTest, WithoutAWindowOnlyTheStatusText) {
  FakeControlApplication application;
  {
    LWaitCursorScope wait(u"Working");
    EXPECT_EQ(application.statusTexts.size(), 1u);
  }
  EXPECT_EQ(application.statusRestores, 1);
}

} // namespace
} // namespace QZ
