#include <gtest/gtest.h>

#include <functional>

#include "ControlTestSupport.h"
#include "Support/FakeControlApplication.h"
#include "Support/FakeRootWindow.h"

namespace QZ {
namespace {

using QZTest::FakeControlApplication;
using QZTest::FakeRootWindow;
using QZTest::NotificationRecorder;
using QZTest::TestControl;

using Names = std::vector<std::string>;

// Every notification a control sends about its conditions.
const std::initializer_list<NotificationName> kConditionNames = {u"NID_CONDITION_CHANGE",
                                                                 u"NID_HAS_FOCUS_CONDITION_CHANGE",
                                                                 u"NID_CONTAINS_FOCUS_CONDITION_CHANGE",
                                                                 u"NID_HOVER_CONDITION_CHANGE",
                                                                 u"NID_CAPTURE_CONDITION_CHANGE",
                                                                 u"NID_LEFT_DRAG_CONDITION_CHANGE",
                                                                 u"NID_MIDDLE_DRAG_CONDITION_CHANGE",
                                                                 u"NID_RIGHT_DRAG_CONDITION_CHANGE",
                                                                 u"NID_ENABLED_CONDITION_CHANGE",
                                                                 u"NID_VISIBLITY_CONDITION_CHANGE"};

// A top control in a window with one child, both shown and enabled, each with a recorder that
// writes into its control's call list.
struct Scene {
  FakeControlApplication application;
  RCPtr<FakeRootWindow> window{new FakeRootWindow};
  RCPtr<TestControl> top = TestControl::Make(nullptr, u"top");
  RCPtr<TestControl> child = TestControl::Make(top, u"child");
  RCPtr<NotificationRecorder> topHeard = NotificationRecorder::Listen(top, kConditionNames);
  RCPtr<NotificationRecorder> childHeard = NotificationRecorder::Listen(child, kConditionNames);

  Scene() {
    top->Place(0, 0, 200, 100);
    child->Place(10, 20, 50, 30);
    window->InstallRootControl(top);
    window->mouseButtons = kMouseButtonLeft;
    top->NotifyConditionChange();
    child->NotifyConditionChange();
    topHeard->log = &top->calls;
    childHeard->log = &child->calls;
    top->calls.clear();
    child->calls.clear();
    topHeard->heard.clear();
    childHeard->heard.clear();
  }
  ~Scene() { window->InstallRootControl(nullptr); }
};

TEST(ControlConditionsTest, TheWordFollowsTheFlagsAndTheChain) {
  Scene scene;
  TestControl& child = *scene.child;
  const uint32_t base = kConditionEnabled | kConditionVisible;
  EXPECT_EQ(child.GetConditions(), base);

  child.MouseOverFlag() = true;
  EXPECT_EQ(child.GetConditions(), base | kConditionMouseOver | kConditionHover);
  child.MouseOverFlag() = false;
  child.RaiseConditionChange(true);
  EXPECT_EQ(child.GetConditions(), base | kConditionHover);
  child.RaiseConditionChange(false);
  child.HasFocusFlag() = child.ContainsFocusFlag() = child.CaptureFlag() = true;
  child.PressedFlag(1) = child.DraggingFlag(2) = true;
  EXPECT_EQ(child.GetConditions(), base | kConditionHasFocus | kConditionContainsFocus | kConditionCapture |
                                       kConditionMiddleDown | kConditionRightDrag);
  child.HasFocusFlag() = child.ContainsFocusFlag() = child.CaptureFlag() = false;
  child.PressedFlag(1) = child.DraggingFlag(2) = false;

  // A disabled parent takes 0x400 away though the child's own flag is set.
  scene.top->Layout().isEnabled = false;
  EXPECT_EQ(child.GetConditions(), kConditionVisible);
  scene.top->Layout().isEnabled = true;
  // No width, or a hidden ancestor: not visible.
  child.Place(10, 20, 0, 30);
  EXPECT_EQ(child.GetConditions(), kConditionEnabled);
  child.Place(10, 20, 50, 30);
  scene.top->Layout().isVisible = false;
  EXPECT_EQ(child.GetConditions(), kConditionEnabled);
}

TEST(ControlConditionsTest, AnEvaluationWithoutAChangeSendsAndCallsNothing) {
  Scene scene;
  scene.child->NotifyConditionChange();
  scene.child->UpdateConditions();
  EXPECT_TRUE(scene.child->calls.empty());

  scene.child->MouseOverFlag() = true;
  scene.child->NotifyConditionChange();
  EXPECT_EQ(scene.child->calls, (Names{"OnConditionsChanged", "NID_CONDITION_CHANGE", "NID_HOVER_CONDITION_CHANGE"}));
  scene.child->NotifyConditionChange();
  EXPECT_EQ(scene.child->calls.size(), 3u);
  // Forced hover while the pointer is already over changes nothing.
  scene.child->RaiseConditionChange(true);
  EXPECT_EQ(scene.child->calls.size(), 3u);
  EXPECT_EQ(scene.child->GetConditionsParam()->GetPrevious(), kConditionEnabled | kConditionVisible);
  EXPECT_EQ(scene.child->GetConditionsParam()->ToString(), u"(0, 0)");
}

TEST(ControlConditionsTest, APressTurnedIntoADragAnnouncesTheDragThenBeginsIt) {
  Scene scene;
  TestControl& child = *scene.child;
  child.dragModeOnPress = LControl::kDragMove;
  EXPECT_EQ(child.SetDragThreshold(0), QZ_OK);
  scene.application.milliseconds = 4321;

  EXPECT_EQ(child.SetCapture(kMouseButtonLeft, 2, 3), QZ_OK);
  EXPECT_EQ(child.calls, (Names{// the press
                                "OnConditionsChanged", "NID_CONDITION_CHANGE", "NID_CAPTURE_CONDITION_CHANGE",
                                "NID_LEFT_DRAG_CONDITION_CHANGE",
                                // the drag at once, threshold 0
                                "OnConditionsChanged", "NID_CONDITION_CHANGE", "NID_LEFT_DRAG_CONDITION_CHANGE",
                                "OnDrag", "OnDragMove:2,3"}));
  EXPECT_EQ(child.GetDragMode(), LControl::kDragMove);
  EXPECT_EQ(child.GetConditionsParam()->GetPrevious() & (kConditionLeftDown | kConditionLeftDrag), kConditionLeftDown);
  EXPECT_EQ(child.GetConditionsParam()->GetCurrent() & (kConditionLeftDown | kConditionLeftDrag), kConditionLeftDrag);
  EXPECT_EQ(child.PressPoint(), (PointT<double>{12, 23}));
  EXPECT_EQ(child.GetConditionsParam()->GetPoint(), (PointT<double>{12, 23}));
  EXPECT_EQ(child.PressTime(), 4321u);
  EXPECT_EQ(scene.window->captureControl, scene.child);

  // The drag ends before anything else hears of it.
  child.calls.clear();
  child.DraggingFlag(0) = false;
  child.NotifyConditionChange();
  EXPECT_EQ(child.calls,
            (Names{"OnDragEnd", "OnConditionsChanged", "NID_CONDITION_CHANGE", "NID_LEFT_DRAG_CONDITION_CHANGE"}));
}

TEST(ControlConditionsTest, WithoutADragModeThePressAndDragAreOnlyAnnounced) {
  Scene scene;
  TestControl& child = *scene.child;
  EXPECT_EQ(child.SetCapture(kMouseButtonLeft, 0, 0), QZ_OK);
  EXPECT_EQ(child.calls, (Names{"OnConditionsChanged", "NID_CONDITION_CHANGE", "NID_CAPTURE_CONDITION_CHANGE",
                                "NID_LEFT_DRAG_CONDITION_CHANGE"}));
  child.calls.clear();
  child.PressedFlag(0) = false;
  child.DraggingFlag(0) = true;
  child.NotifyConditionChange();
  child.DraggingFlag(0) = false;
  child.NotifyConditionChange();
  EXPECT_EQ(child.calls, (Names{"OnConditionsChanged", "NID_CONDITION_CHANGE", "NID_LEFT_DRAG_CONDITION_CHANGE",
                                "OnConditionsChanged", "NID_CONDITION_CHANGE", "NID_LEFT_DRAG_CONDITION_CHANGE"}));
}

TEST(ControlConditionsTest, FocusMovingIntoAChildChangesBothFocusBitsInOneEvaluation) {
  Scene scene;
  scene.top->HasFocusFlag() = true;
  scene.top->NotifyConditionChange();
  scene.top->calls.clear();
  scene.top->HasFocusFlag() = false;
  scene.top->ContainsFocusFlag() = true;
  scene.top->NotifyConditionChange();
  EXPECT_EQ(scene.top->calls, (Names{"OnConditionsChanged", "NID_CONDITION_CHANGE", "NID_HAS_FOCUS_CONDITION_CHANGE",
                                     "NID_CONTAINS_FOCUS_CONDITION_CHANGE"}));
}

TEST(ControlConditionsTest, DisablingOrHidingAPanelReevaluatesItsSubtreeLastChildFirst) {
  Scene scene;
  const RCPtr<TestControl> second = TestControl::Make(scene.top, u"second");
  second->Place(0, 0, 5, 5);
  const RCPtr<TestControl> grandchild = TestControl::Make(scene.child, u"grandchild");
  grandchild->Place(0, 0, 5, 5);
  second->NotifyConditionChange();
  grandchild->NotifyConditionChange();
  // One log for the whole tree.
  std::vector<std::string> log;
  const RCPtr<TestControl> controls[] = {scene.top, scene.child, second, grandchild};
  std::vector<RCPtr<NotificationRecorder>> recorders;
  for (const RCPtr<TestControl>& control : controls) {
    recorders.push_back(
        NotificationRecorder::Listen(control, {u"NID_ENABLED_CONDITION_CHANGE", u"NID_VISIBLITY_CONDITION_CHANGE"}));
    recorders.back()->log = &log;
    recorders.back()->tag = QZTest::Utf8(control->GetName()) + ":";
  }

  scene.top->Layout().isEnabled = false;
  scene.top->NotifyConditionChange();
  EXPECT_EQ(log, (Names{"top:NID_ENABLED_CONDITION_CHANGE", "second:NID_ENABLED_CONDITION_CHANGE",
                        "child:NID_ENABLED_CONDITION_CHANGE", "grandchild:NID_ENABLED_CONDITION_CHANGE"}));
  // A child whose own flag is cleared already does not change with its parent.
  log.clear();
  scene.top->Layout().isEnabled = true;
  second->Layout().isEnabled = false;
  scene.top->NotifyConditionChange();
  EXPECT_EQ(log, (Names{"top:NID_ENABLED_CONDITION_CHANGE", "child:NID_ENABLED_CONDITION_CHANGE",
                        "grandchild:NID_ENABLED_CONDITION_CHANGE"}));

  log.clear();
  scene.child->Layout().isVisible = false;
  scene.child->NotifyConditionChange();
  EXPECT_EQ(log, (Names{"child:NID_VISIBLITY_CONDITION_CHANGE", "grandchild:NID_VISIBLITY_CONDITION_CHANGE"}));
}

TEST(ControlConditionsTest, ACapturingControlKeepsItsCursorAndGivesBackTheSavedOneOnlyOutside) {
  Scene scene;
  TestControl& child = *scene.child;
  child.CursorField() = 7;
  scene.window->cursor = 3;

  // Entering shows the control's cursor and keeps the one it replaced.
  child.MouseOverFlag() = true;
  child.NotifyConditionChange();
  EXPECT_EQ(scene.window->cursorRequests, (std::vector<CursorHandle>{7}));
  EXPECT_EQ(child.SavedCursor(), 3u);

  // Leaving while capturing keeps it; the capture ending outside brings the saved one back
  // and lets the window find what the pointer is over.
  child.CaptureFlag() = true;
  child.NotifyConditionChange();
  child.MouseOverFlag() = false;
  child.NotifyConditionChange();
  EXPECT_EQ(scene.window->cursorRequests.size(), 1u);
  // Entering again while capturing does not apply it again.
  child.MouseOverFlag() = true;
  child.NotifyConditionChange();
  child.MouseOverFlag() = false;
  child.NotifyConditionChange();
  EXPECT_EQ(scene.window->cursorRequests.size(), 1u);
  const int32_t hitTests = scene.window->hitTests;
  child.CaptureFlag() = false;
  child.NotifyConditionChange();
  EXPECT_EQ(scene.window->cursorRequests, (std::vector<CursorHandle>{7, 3}));
  EXPECT_EQ(scene.window->hitTests, hitTests + 1);

  // Leaving without capture gives it back at once.
  child.MouseOverFlag() = true;
  child.NotifyConditionChange();
  child.MouseOverFlag() = false;
  child.NotifyConditionChange();
  EXPECT_EQ(scene.window->cursorRequests, (std::vector<CursorHandle>{7, 3, 7, 3}));
  // A control without a cursor of its own leaves the cursor alone.
  scene.top->MouseOverFlag() = true;
  scene.top->NotifyConditionChange();
  EXPECT_EQ(scene.window->cursorRequests.size(), 4u);
}

TEST(ControlConditionsTest, AControlUnderThePointerThatVanishesLetsTheWindowFindTheNextOne) {
  Scene scene;
  scene.child->MouseOverFlag() = true;
  scene.child->NotifyConditionChange();
  const int32_t hitTests = scene.window->hitTests;
  scene.child->Layout().isVisible = false;
  scene.child->NotifyConditionChange();
  EXPECT_EQ(scene.window->hitTests, hitTests + 1);
}

TEST(ControlConditionsTest, SetCaptureRefusesWhatCannotTakeThePointerAndChangesNothing) {
  Scene scene;
  TestControl& child = *scene.child;
  struct Case {
    const char* name;
    std::function<void()> arrange;
    uint32_t button;
  } cases[] = {
      {"hidden", [&] { child.Layout().isVisible = false; }, kMouseButtonLeft},
      {"width 0", [&] { child.Place(10, 20, 0, 30); }, kMouseButtonLeft},
      {"disabled", [&] { child.Layout().isEnabled = false; }, kMouseButtonLeft},
      {"disabled parent", [&] { scene.top->Layout().isEnabled = false; }, kMouseButtonLeft},
      {"capturing", [&] { child.CaptureFlag() = true; }, kMouseButtonLeft},
      {"middle not held", [] {}, kMouseButtonMiddle},
      {"unknown button", [] {}, 3},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    c.arrange();
    const uint32_t before = child.GetConditionsParam()->GetCurrent();
    EXPECT_EQ(child.SetCapture(c.button, 1, 1), QZ_FALSE);
    EXPECT_TRUE(scene.window->captureRequests.empty());
    EXPECT_FALSE(child.PressedFlag(0) || child.PressedFlag(1));
    EXPECT_EQ(child.GetConditionsParam()->GetCurrent(), before);
    EXPECT_EQ(child.PressPoint(), (PointT<double>{}));
    child.Place(10, 20, 50, 30);
    child.Layout().isVisible = child.Layout().isEnabled = scene.top->Layout().isEnabled = true;
    child.CaptureFlag() = false;
  }
  // Held buttons make the difference.
  scene.window->mouseButtons = kMouseButtonLeft | kMouseButtonMiddle;
  EXPECT_EQ(child.SetCapture(kMouseButtonMiddle, 1, 1), QZ_OK);
  EXPECT_TRUE(child.PressedFlag(1));
}

TEST(ControlConditionsTest, TheDragThresholdRefusesNegativeValues) {
  const RCPtr<TestControl> control = TestControl::Make(nullptr, u"c");
  EXPECT_EQ(control->SetDragThreshold(5), QZ_OK);
  EXPECT_EQ(control->SetDragThreshold(-1), QZ_E_INVALIDARG);
  EXPECT_EQ(control->GetDragThreshold(), 5);
}

} // namespace
} // namespace QZ
