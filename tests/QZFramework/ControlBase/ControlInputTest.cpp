#include <gtest/gtest.h>

#include <cmath>

#include "InputTestSupport.h"
#include "PaintTestSupport.h"
#include "Support/FakeControlApplication.h"
#include "Support/FakeRootWindow.h"

namespace QZ {
namespace {

using QZTest::FakeControlApplication;
using QZTest::FakeRootWindow;
using QZTest::InputControl;
using QZTest::NotificationRecorder;
using QZTest::Press;
using QZTest::Release;

using Log = std::vector<std::string>;

// A window with a top control and a focusable button at (10, 20, 50, 30) under the pointer.
struct Scene {
  FakeControlApplication application;
  RCPtr<FakeRootWindow> window{new FakeRootWindow};
  Log log;
  RCPtr<InputControl> top = InputControl::Make(nullptr, u"top", log);
  RCPtr<InputControl> button = InputControl::Make(top, u"button", log);
  RCPtr<NotificationRecorder> heard;

  Scene() {
    top->Focusable(0, 0, 200, 100);
    button->Focusable(10, 20, 50, 30);
    window->InstallRootControl(top);
    heard = NotificationRecorder::Listen(button, {u"NID_MOUSE_DOWN", u"NID_MOUSE_UP", u"NID_LEFT_CLICK",
                                                  u"NID_RIGHT_CLICK", u"NID_HAS_FOCUS_CONDITION_CHANGE",
                                                  u"NID_CAPTURE_CONDITION_CHANGE", u"NID_LEFT_DRAG_CONDITION_CHANGE"});
    heard->log = &log;
    button->OnMouseEnter();
    log.clear();
  }
  ~Scene() { window->InstallRootControl(nullptr); }

  QZResult Down(uint32_t button_, int32_t x, int32_t y) {
    window->mouseButtons |= button_;
    return button->OnMouseDown(Press(button_, x, y, window->mouseButtons));
  }
  QZResult Up(uint32_t button_, int32_t x, int32_t y) {
    window->mouseButtons &= ~button_;
    return button->OnMouseUp(Release(button_, x, y, window->mouseButtons));
  }
};

TEST(ControlInputTest, APressAndReleaseInPlaceIsOneClickWithTheReleasesParameter) {
  Scene scene;
  ASSERT_EQ(scene.Down(kMouseButtonLeft, 5, 5), QZ_OK);
  EXPECT_TRUE(scene.button->HasCapture());
  EXPECT_EQ(scene.window->captureControl, scene.button);
  EXPECT_TRUE(scene.button->LastLeftDown());
  scene.log.clear();

  const RCPtr<LMouseButtonParam> release = Release(kMouseButtonLeft, 5, 5);
  scene.window->mouseButtons = 0;
  ASSERT_EQ(scene.button->OnMouseUp(release), QZ_OK);
  ASSERT_EQ(scene.button->clicks.size(), 1u);
  EXPECT_EQ(scene.button->clicks[0], release);
  EXPECT_EQ(scene.log, (Log{"button:HandleLeftButtonUp", "NID_MOUSE_UP", "NID_CAPTURE_CONDITION_CHANGE",
                            "NID_LEFT_DRAG_CONDITION_CHANGE", "button:HandleLeftClick", "NID_LEFT_CLICK"}));
  EXPECT_FALSE(scene.button->HasCapture());
  EXPECT_FALSE(scene.button->LastLeftDown());
  EXPECT_EQ(scene.window->captureReleases, 1);
}

TEST(ControlInputTest, APressFocusesThenAnnouncesThenCaptures) {
  Scene scene;
  ASSERT_EQ(scene.Down(kMouseButtonLeft, 5, 5), QZ_OK);
  EXPECT_EQ(scene.log, (Log{"NID_HAS_FOCUS_CONDITION_CHANGE", "button:HandleLeftButtonDown", "NID_MOUSE_DOWN",
                            "NID_CAPTURE_CONDITION_CHANGE", "NID_LEFT_DRAG_CONDITION_CHANGE"}));
  EXPECT_TRUE(scene.button->HasFocus());
  EXPECT_EQ(scene.window->focusedControl, scene.button);
  EXPECT_EQ(scene.button->PressPoint(), (PointT<double>{15, 25}));
}

TEST(ControlInputTest, AOnePixelMoveTurnsThePressIntoADragThatStartsAtThePressPoint) {
  struct Case {
    int32_t dragMode;
    size_t clicks;
  };
  for (const Case& test : {Case{LControl::kDragMove, 0}, Case{LControl::kDragNone, 1}}) {
    SCOPED_TRACE(test.dragMode);
    Scene scene;
    scene.button->dragModeOnPress = test.dragMode;
    ASSERT_EQ(scene.Down(kMouseButtonLeft, 5, 5), QZ_OK);
    EXPECT_EQ(scene.button->GetDragMode(), test.dragMode);
    scene.log.clear();
    ASSERT_EQ(scene.button->OnMouseMove(QZTest::Move(6, 5)), QZ_OK);
    EXPECT_EQ(scene.log,
              (Log{"button:HandleMouseMove:5,5", "NID_LEFT_DRAG_CONDITION_CHANGE", "button:HandleMouseMove:6,5"}));
    EXPECT_TRUE(scene.button->DraggingFlag(0));
    EXPECT_FALSE(scene.button->PressedFlag(0));
    ASSERT_EQ(scene.Up(kMouseButtonLeft, 6, 5), QZ_OK);
    EXPECT_EQ(scene.button->clicks.size(), test.clicks);
  }
}

TEST(ControlInputTest, AMoveBelowTheThresholdKeepsThePress) {
  Scene scene;
  ASSERT_EQ(scene.button->SetDragThreshold(3), QZ_OK);
  ASSERT_EQ(scene.Down(kMouseButtonLeft, 5, 5), QZ_OK);
  ASSERT_EQ(scene.button->OnMouseMove(QZTest::Move(7, 3)), QZ_OK);
  EXPECT_TRUE(scene.button->PressedFlag(0));
  ASSERT_EQ(scene.button->OnMouseMove(QZTest::Move(5, 8)), QZ_OK);
  EXPECT_TRUE(scene.button->DraggingFlag(0));
}

TEST(ControlInputTest, ThresholdZeroAfterThePressStartsTheDragWithoutRecursion) {
  Scene scene;
  ASSERT_EQ(scene.Down(kMouseButtonLeft, 5, 5), QZ_OK);
  ASSERT_EQ(scene.button->SetDragThreshold(0), QZ_OK);
  scene.log.clear();
  ASSERT_EQ(scene.button->OnMouseMove(QZTest::Move(5, 5)), QZ_OK);
  EXPECT_EQ(scene.log, (Log{"NID_LEFT_DRAG_CONDITION_CHANGE", "button:HandleMouseMove:5,5"}));
  scene.log.clear();
  ASSERT_EQ(scene.Up(kMouseButtonLeft, 9, 9), QZ_OK);
  EXPECT_EQ(scene.button->clicks.size(), 1u); // a drag without drag mode still clicks
}

TEST(ControlInputTest, AReleaseAfterLeavingGivesNoClick) {
  Scene scene;
  ASSERT_EQ(scene.Down(kMouseButtonLeft, 5, 5), QZ_OK);
  ASSERT_EQ(scene.button->OnMouseLeave(), QZ_OK);
  ASSERT_EQ(scene.Up(kMouseButtonLeft, 5, 5), QZ_OK);
  EXPECT_TRUE(scene.button->clicks.empty());
  EXPECT_FALSE(scene.button->HasCapture());
}

TEST(ControlInputTest, AReleaseThatLeavesAnotherButtonHeldKeepsTheCapture) {
  Scene scene;
  ASSERT_EQ(scene.Down(kMouseButtonLeft, 5, 5), QZ_OK);
  ASSERT_EQ(scene.Down(kMouseButtonRight, 5, 5), QZ_OK); // the capture is held: no second one
  EXPECT_EQ(scene.window->captureRequests.size(), 1u);
  ASSERT_EQ(scene.Up(kMouseButtonRight, 5, 5), QZ_OK);
  EXPECT_TRUE(scene.button->HasCapture());
  EXPECT_TRUE(scene.button->clicks.empty()); // the right button was never pressed on its own
  ASSERT_EQ(scene.Up(kMouseButtonLeft, 5, 5), QZ_OK);
  EXPECT_FALSE(scene.button->HasCapture());
  ASSERT_EQ(scene.button->clicks.size(), 1u);
  EXPECT_EQ(scene.button->clicks[0]->GetButton(), kMouseButtonLeft);
}

TEST(ControlInputTest, BadParametersAreRefused) {
  Scene scene;
  EXPECT_EQ(scene.button->OnMouseDown(nullptr), QZ_E_INVALIDARG);
  EXPECT_EQ(scene.button->OnMouseDown(Press(3, 5, 5)), QZ_E_INVALIDARG);
  EXPECT_EQ(scene.button->OnMouseUp(nullptr), QZ_E_INVALIDARG);
  EXPECT_EQ(scene.button->OnMouseUp(Release(8, 5, 5)), QZ_E_INVALIDARG);
  EXPECT_EQ(scene.button->OnClick(nullptr), QZ_E_INVALIDARG);
  EXPECT_EQ(scene.button->OnClick(Release(3, 5, 5)), QZ_E_INVALIDARG);
  EXPECT_EQ(scene.button->OnLeftClick(nullptr), QZ_E_INVALIDARG);
  EXPECT_EQ(scene.button->OnMiddleClick(nullptr), QZ_E_INVALIDARG);
  EXPECT_EQ(scene.button->OnRightClick(nullptr), QZ_E_INVALIDARG);
  EXPECT_TRUE(scene.log.empty());
  EXPECT_FALSE(scene.button->HasCapture());
}

TEST(ControlInputTest, APressOnAHiddenControlOrInsideADisabledAncestorIsIgnored) {
  const std::vector<std::function<void(Scene&)>> spoilers = {
      [](Scene& scene) { scene.button->Layout().isVisible = false; },
      [](Scene& scene) { scene.button->Place(10, 20, 0, 30); },
      [](Scene& scene) { scene.button->Layout().isEnabled = false; },
      [](Scene& scene) { scene.top->Layout().isEnabled = false; },
  };
  for (size_t i = 0; i < spoilers.size(); ++i) {
    SCOPED_TRACE(i);
    Scene scene;
    spoilers[i](scene);
    EXPECT_EQ(scene.Down(kMouseButtonLeft, 5, 5), QZ_FALSE);
    EXPECT_FALSE(scene.button->HasCapture());
    EXPECT_FALSE(scene.button->HasFocus());
    EXPECT_FALSE(scene.button->LastLeftDown());
    EXPECT_TRUE(scene.log.empty());
    EXPECT_EQ(scene.Up(kMouseButtonLeft, 5, 5), QZ_FALSE);
  }
}

TEST(ControlInputTest, AReleaseWithTheCaptureIsHandledEvenWhenTheControlWasDisabledMeanwhile) {
  Scene scene;
  ASSERT_EQ(scene.Down(kMouseButtonLeft, 5, 5), QZ_OK);
  scene.top->Layout().isEnabled = false;
  ASSERT_EQ(scene.Up(kMouseButtonLeft, 5, 5), QZ_OK);
  EXPECT_FALSE(scene.button->HasCapture());
  EXPECT_TRUE(scene.button->clicks.empty()); // but no click inside a disabled parent
}

TEST(ControlInputTest, ARightClickAnnouncesItselfBeforeTheContextMenuIsLookedUp) {
  Scene scene;
  scene.button->UseContextMenu(LMenuDescriptor::Create());
  ASSERT_EQ(scene.Down(kMouseButtonRight, 5, 5), QZ_OK);
  scene.log.clear();
  ASSERT_EQ(scene.Up(kMouseButtonRight, 5, 5), QZ_OK);
  EXPECT_EQ(scene.log, (Log{"NID_MOUSE_UP", "NID_CAPTURE_CONDITION_CHANGE", "button:HandleRightClick",
                            "NID_RIGHT_CLICK", "button:GetContextMenuDescriptor"}));
}

// --- The wheel -----------------------------------------------------------------------------

// top (0, 0, 300, 300) holds a panel (10, 10, 100, 20) whose drop-down list (0, 20, 100, 80)
// floats out of it, over a list (10, 50, 100, 100) beneath.
struct WheelScene {
  FakeControlApplication application;
  RCPtr<FakeRootWindow> window{new FakeRootWindow};
  Log log;
  RCPtr<InputControl> top = InputControl::Make(nullptr, u"top", log);
  RCPtr<InputControl> panel = InputControl::Make(top, u"panel", log);
  RCPtr<InputControl> dropDown = InputControl::Make(panel, u"dropDown", log);
  RCPtr<InputControl> beneath = InputControl::Make(top, u"beneath", log);

  WheelScene() {
    Show(top, {0, 0, 300, 300});
    Show(panel, {10, 10, 100, 20});
    Show(dropDown, {0, 20, 100, 80});
    dropDown->SetClipToParent(false);
    Show(beneath, {10, 50, 100, 100});
    window->InstallRootControl(top);
  }
  // Placed, with an opaque look that hit testing sees.
  static void Show(const RCPtr<InputControl>& control, const RectT<int32_t>& rect) {
    control->Place(rect.x, rect.y, rect.width, rect.height);
    control->UseLook(QZTest::ColourLook(0xFF808080, {rect.width, rect.height}));
  }
  ~WheelScene() { window->InstallRootControl(nullptr); }
};

TEST(ControlInputTest, AWheelNobodyTakesClimbsToTheRootAndGivesOne) {
  WheelScene scene;
  scene.dropDown->SetClipToParent(true);
  EXPECT_EQ(scene.dropDown->OnMouseWheel(LMouseWheelParam::Create({30, 40}, 0, kWheelUp)), QZ_FALSE);
  EXPECT_EQ(scene.log, (Log{"dropDown:OnMouseWheelV", "panel:OnMouseWheelV", "top:OnMouseWheelV"}));
  scene.log.clear();
  scene.panel->wheelResult = QZ_OK;
  EXPECT_EQ(scene.dropDown->OnMouseHWheel(LMouseWheelParam::Create({30, 40}, 0, kWheelRight)), QZ_OK);
  EXPECT_EQ(scene.log, (Log{"dropDown:OnMouseWheelH", "panel:OnMouseWheelH"}));
  EXPECT_EQ(scene.dropDown->OnMouseWheel(nullptr), -1);
}

TEST(ControlInputTest, AWheelOverAFloatingListThatDoesNotTakeItReachesTheControlBeneath) {
  WheelScene scene;
  scene.beneath->wheelResult = QZ_OK;
  EXPECT_EQ(scene.dropDown->OnMouseWheel(LMouseWheelParam::Create({30, 60}, 0, kWheelDown)), QZ_OK);
  EXPECT_EQ(scene.log, (Log{"dropDown:OnMouseWheelV", "beneath:OnMouseWheelV"}));
  EXPECT_EQ(scene.window->hitTests, 1);
  EXPECT_FALSE(scene.dropDown->IsExcludedFromHitTest());

  // Only the top control beneath the point: it does not take the wheel either.
  scene.log.clear();
  EXPECT_EQ(scene.dropDown->OnMouseWheel(LMouseWheelParam::Create({250, 250}, 0, kWheelDown)), QZ_FALSE);
  EXPECT_EQ(scene.log, (Log{"dropDown:OnMouseWheelV", "top:OnMouseWheelV"}));
}

TEST(ControlInputTest, TheWheelWalkEndsOnATreeBuiltToLoop) {
  WheelScene scene;
  scene.top->hitAlways = scene.dropDown; // the window's hit test ignores the exclusion marks
  EXPECT_EQ(scene.dropDown->OnMouseWheel(LMouseWheelParam::Create({30, 60}, 0, kWheelDown)), QZ_FALSE);
  EXPECT_EQ(scene.log.size(), 4u); // one step per control of the tree
  EXPECT_FALSE(scene.dropDown->IsExcludedFromHitTest());
  scene.top->hitAlways = nullptr;
}

// --- Geometry ------------------------------------------------------------------------------

TEST(ControlInputTest, ContainsPointCountsTheLeftAndTopEdgesOnly) {
  FakeControlApplication application;
  Log log;
  RCPtr<InputControl> control = InputControl::Make(nullptr, u"control", log);
  control->Place(10, 20, 30, 40);
  struct Case {
    PointT<int32_t> point;
    bool inside;
  };
  for (const Case& test : {Case{{0, 0}, true}, Case{{29, 39}, true}, Case{{30, 0}, false}, Case{{0, 40}, false},
                           Case{{-1, 0}, false}, Case{{0, -1}, false}, Case{{INT32_MAX, 0}, false}}) {
    SCOPED_TRACE(testing::Message() << test.point.x << "," << test.point.y);
    EXPECT_EQ(control->ContainsPoint(test.point), test.inside);
  }
  // The position is rounded half away from zero before the point is added.
  control->Place(10.5, 20, 30, 40);
  EXPECT_TRUE(control->ContainsPoint({29, 0})); // 11 + 29 = 40 < 40.5
  EXPECT_FALSE(control->ContainsPoint({30, 0}));
}

TEST(ControlInputTest, AControlIsTransparentWhereEveryWeightedLookIs) {
  FakeControlApplication application;
  Log log;
  RCPtr<InputControl> control = InputControl::Make(nullptr, u"control", log);
  control->Place(0, 0, 10, 10);
  struct Case {
    std::vector<float> weights;
    std::vector<uint32_t> colors;
    bool transparent;
  };
  const Case cases[] = {
      {{}, {}, true},                                  // no look at all
      {{0.0f}, {0xFF000000}, true},                    // no weighted look
      {{1.0f}, {0x00FFFFFF}, true},                    // alpha 0
      {{1.0f}, {0x01000000}, false},                   // alpha 1
      {{0.5f, 0.5f}, {0x00000000, 0x80000000}, false}, // one of two opaque
      {{0.0f, 1.0f}, {0xFF000000, 0x00000000}, true},  // the opaque one has no weight
  };
  for (size_t i = 0; i < std::size(cases); ++i) {
    SCOPED_TRACE(i);
    control->UseLookWeights(cases[i].weights);
    control->lookColors = cases[i].colors;
    EXPECT_EQ(control->IsTransparentAtPoint({3, 3}), cases[i].transparent);
  }
}

TEST(ControlInputTest, NotClippedToParentAloneOrWithAncestors) {
  FakeControlApplication application;
  Log log;
  RCPtr<InputControl> top = InputControl::Make(nullptr, u"top", log);
  RCPtr<InputControl> child = InputControl::Make(top, u"child", log);
  top->Place(0, 0, 10, 10);
  child->Place(0, 0, 10, 10);
  EXPECT_FALSE(child->IsNotClippedToParent(false));
  EXPECT_FALSE(child->IsNotClippedToParent(true));
  top->Layout().clipToParent = false;
  EXPECT_FALSE(child->IsNotClippedToParent(false));
  EXPECT_TRUE(child->IsNotClippedToParent(true));
  child->Layout().clipToParent = false;
  EXPECT_TRUE(child->IsNotClippedToParent(false));
}

// --- Kinetic release -----------------------------------------------------------------------

TEST(ControlInputTest, AFastKineticReleaseRightAfterTheLastMoveFlingsTheNamedAxes) {
  struct Case {
    uint32_t axes;
    PointT<double> velocity;
    uint32_t releaseAfterMs;
    bool flingX;
    bool flingY;
  };
  const Case cases[] = {
      {3, {1000, 0}, 99, true, false},      {3, {1000, -1200}, 99, true, true}, {1, {1000, 1000}, 99, true, false},
      {2, {1000, -1000}, 99, false, true},  {3, {-1000, 0}, 99, true, false},   {3, {999, 0}, 99, false, false},
      {3, {1000, 1000}, 100, false, false}, {7, {5000, 5000}, 0, false, false},
  };
  for (const Case& test : cases) {
    SCOPED_TRACE(testing::Message() << test.axes << " " << test.velocity.x << "," << test.velocity.y << " after "
                                    << test.releaseAfterMs);
    Scene scene;
    scene.button->dragModeOnPress = LControl::kDragKinetic;
    scene.button->dragAxesOnPress = test.axes;
    ASSERT_EQ(scene.Down(kMouseButtonLeft, 5, 5), QZ_OK);
    scene.application.AdvanceMilliseconds(20);
    ASSERT_EQ(scene.button->OnMouseMove(QZTest::Move(25, 5)), QZ_OK);
    scene.button->SetVelocity(test.velocity.x, test.velocity.y); // what the drag step measured
    scene.application.AdvanceMilliseconds(test.releaseAfterMs);
    ASSERT_EQ(scene.Up(kMouseButtonLeft, 25, 5), QZ_OK);
    EXPECT_EQ(scene.button->FlingActive(0), test.flingX);
    EXPECT_EQ(scene.button->FlingActive(1), test.flingY);
  }
}

TEST(ControlInputTest, OnlyAKineticLeftDragFlings) {
  for (int32_t mode : {LControl::kDragNone, LControl::kDragMove}) {
    SCOPED_TRACE(mode);
    Scene scene;
    scene.button->dragModeOnPress = mode;
    ASSERT_EQ(scene.Down(kMouseButtonLeft, 5, 5), QZ_OK);
    ASSERT_EQ(scene.button->OnMouseMove(QZTest::Move(25, 5)), QZ_OK);
    scene.button->SetVelocity(5000, 5000);
    ASSERT_EQ(scene.Up(kMouseButtonLeft, 25, 5), QZ_OK);
    EXPECT_FALSE(scene.button->FlingActive(0));
    EXPECT_FALSE(scene.button->FlingActive(1));
  }
  // A kinetic press released without a drag does not fling either.
  Scene scene;
  scene.button->dragModeOnPress = LControl::kDragKinetic;
  ASSERT_EQ(scene.Down(kMouseButtonLeft, 5, 5), QZ_OK);
  scene.button->SetVelocity(5000, 5000);
  ASSERT_EQ(scene.Up(kMouseButtonLeft, 5, 5), QZ_OK);
  EXPECT_FALSE(scene.button->FlingActive(0));
}

// --- Values --------------------------------------------------------------------------------

TEST(ControlInputTest, ValuesMapOntoTheirRangeAndBack) {
  FakeControlApplication application;
  Log log;
  RCPtr<InputControl> control = InputControl::Make(nullptr, u"control", log);
  struct Case {
    double minimum;
    double maximum;
    int32_t scale;
    double value;
    double normalized;
  };
  const Case cases[] = {
      {1, 100, 1, 10, 0.5},  {1, 100, 1, 1, 0.0}, {1, 100, 1, 100, 1.0},    {0, 10, 0, 2.5, 0.25},
      {100, 1, 0, 100, 0.0}, {100, 1, 0, 1, 1.0}, {100, 1, 0, 75.25, 0.25}, {-10, 10, 0, 0, 0.5},
  };
  for (const Case& test : cases) {
    SCOPED_TRACE(testing::Message() << test.minimum << ".." << test.maximum << " scale " << test.scale << " value "
                                    << test.value);
    ASSERT_EQ(control->SetValueRange(test.minimum, test.maximum, test.scale), QZ_OK);
    EXPECT_NEAR(control->ValueToNormalized(test.value), test.normalized, 1e-12);
    EXPECT_NEAR(control->NormalizedToValue(test.normalized), test.value, 1e-12);
  }
}

TEST(ControlInputTest, ValuesOutsideTheRangeMapToItsEnds) {
  FakeControlApplication application;
  Log log;
  RCPtr<InputControl> control = InputControl::Make(nullptr, u"control", log);
  ASSERT_EQ(control->SetValueRange(0, 10, 0), QZ_OK);
  EXPECT_EQ(control->ValueToNormalized(-5), 0.0);
  EXPECT_EQ(control->ValueToNormalized(15), 1.0);
  ASSERT_EQ(control->SetValueRange(1, 100, 1), QZ_OK);
  EXPECT_EQ(control->ValueToNormalized(0.5), 0.0);
  EXPECT_EQ(control->ValueToNormalized(1000), 1.0);
  ASSERT_EQ(control->SetValueRange(10, 0, 0), QZ_OK);
  EXPECT_EQ(control->ValueToNormalized(-5), 1.0);
  EXPECT_EQ(control->ValueToNormalized(15), 0.0);
  // An empty range maps everything to 0; the mapping itself never clamps t.
  ASSERT_EQ(control->SetValueRange(5, 5, 0), QZ_OK);
  EXPECT_EQ(control->ValueToNormalized(5), 0.0);
  EXPECT_EQ(control->ValueToNormalized(7), 0.0);
  ASSERT_EQ(control->SetValueRange(0, 10, 0), QZ_OK);
  EXPECT_EQ(control->NormalizedToValue(1.5), 15.0);
}

TEST(ControlInputTest, TheRangeSetterRefusesScalesItCannotMap) {
  FakeControlApplication application;
  Log log;
  RCPtr<InputControl> control = InputControl::Make(nullptr, u"control", log);
  ASSERT_EQ(control->SetValueRange(2, 8, 0), QZ_OK);
  struct Case {
    double minimum;
    double maximum;
    int32_t scale;
  };
  for (const Case& test : {Case{0, 100, 1}, Case{1, -100, 1}, Case{-1, -100, 1}, Case{1, 100, 2}, Case{1, 100, -1}}) {
    SCOPED_TRACE(testing::Message() << test.minimum << ".." << test.maximum << " scale " << test.scale);
    EXPECT_EQ(control->SetValueRange(test.minimum, test.maximum, test.scale), QZ_E_INVALIDARG);
    EXPECT_EQ(control->GetRangeMinimum(), 2.0);
    EXPECT_EQ(control->GetRangeMaximum(), 8.0);
    EXPECT_EQ(control->GetScaleType(), 0);
  }
  EXPECT_EQ(control->SetValueRange(0.5, 4, 1), QZ_OK);
  EXPECT_EQ(control->GetScaleType(), 1);
}

} // namespace
} // namespace QZ
