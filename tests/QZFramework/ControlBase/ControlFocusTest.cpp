#include <gtest/gtest.h>

#include "InputTestSupport.h"
#include "Support/FakeControlApplication.h"
#include "Support/FakeRootWindow.h"

namespace QZ {
namespace {

using QZTest::FakeControlApplication;
using QZTest::FakeRootWindow;
using QZTest::InputControl;
using QZTest::NotificationRecorder;

using Log = std::vector<std::string>;

// A window whose top control holds controls the test makes; every one focusable unless
// the test says otherwise.
struct Tree {
  FakeControlApplication application;
  RCPtr<FakeRootWindow> window{new FakeRootWindow};
  Log log;
  RCPtr<InputControl> top = InputControl::Make(nullptr, u"top", log);
  std::vector<RCPtr<NotificationRecorder>> recorders;

  Tree() {
    top->Focusable(0, 0, 400, 300);
    window->InstallRootControl(top);
  }
  ~Tree() { window->InstallRootControl(nullptr); }

  RCPtr<InputControl> Add(const RCPtr<LControl>& parent, const WString& name, int32_t tabStop = 0) {
    RCPtr<InputControl> control = InputControl::Make(parent, name, log);
    control->Focusable(0, 0, 20, 20, tabStop);
    return control;
  }
  // Logs the focus notifications of control as "<name>:<notification>".
  void Listen(const RCPtr<InputControl>& control) {
    RCPtr<NotificationRecorder> recorder = NotificationRecorder::Listen(
        control, {u"NID_HAS_FOCUS_CONDITION_CHANGE", u"NID_CONTAINS_FOCUS_CONDITION_CHANGE"});
    recorder->log = &log;
    recorder->tag = QZTest::Utf8(control->GetName()) + ":";
    recorders.push_back(recorder);
  }
};

TEST(ControlFocusTest, APanelPassesTheFocusToItsFirstOrLastFocusableChildInTabOrder) {
  for (bool forward : {true, false}) {
    SCOPED_TRACE(forward);
    Tree tree;
    RCPtr<InputControl> panel = tree.Add(tree.top, u"panel");
    RCPtr<InputControl> second = tree.Add(panel, u"second", 2);
    RCPtr<InputControl> first = tree.Add(panel, u"first", 1);
    RCPtr<InputControl> third = tree.Add(panel, u"third", 3);
    RCPtr<InputControl> label = tree.Add(panel, u"label", 4);
    label->SetFocusable(true);
    EXPECT_TRUE(panel->CanTakeFocus());
    EXPECT_FALSE(panel->IsFocusable());

    EXPECT_EQ(panel->SetFocus(forward), 1); // the focused child's SetContainsFocus answered true
    const RCPtr<InputControl> expected = forward ? first : third;
    EXPECT_TRUE(expected->HasFocus());
    EXPECT_EQ(tree.window->focusedControl, expected);
    EXPECT_FALSE(panel->HasFocus());
    EXPECT_TRUE(panel->ContainsFocus());
    EXPECT_TRUE(tree.top->ContainsFocus());
    EXPECT_EQ(panel->GetFocusedChild(), expected);
  }
}

TEST(ControlFocusTest, FocusingAGrandchildTellsTheAncestorsFromTheTopDown) {
  Tree tree;
  RCPtr<InputControl> panel = tree.Add(tree.top, u"panel");
  RCPtr<InputControl> child = tree.Add(panel, u"child");
  RCPtr<InputControl> grandchild = tree.Add(child, u"grandchild");
  for (const RCPtr<InputControl>& control : {tree.top, panel, child, grandchild}) {
    tree.Listen(control);
  }
  EXPECT_EQ(grandchild->SetFocus(true), 1);
  EXPECT_EQ(tree.log, (Log{"top:NID_CONTAINS_FOCUS_CONDITION_CHANGE", "panel:NID_CONTAINS_FOCUS_CONDITION_CHANGE",
                           "child:NID_CONTAINS_FOCUS_CONDITION_CHANGE", "grandchild:NID_HAS_FOCUS_CONDITION_CHANGE"}));
  EXPECT_TRUE(child->ContainsFocus());
  EXPECT_TRUE(panel->ContainsFocus());

  // Asking again changes nothing and says nothing.
  tree.log.clear();
  EXPECT_EQ(grandchild->SetFocus(true), QZ_OK);
  EXPECT_EQ(panel->SetFocus(true), QZ_OK); // leads down to where the focus is
  EXPECT_TRUE(tree.log.empty());
}

TEST(ControlFocusTest, MovingTheFocusToAnotherBranchTakesItFromTheOldOne) {
  Tree tree;
  RCPtr<InputControl> left = tree.Add(tree.top, u"left");
  RCPtr<InputControl> leftLeaf = tree.Add(left, u"leftLeaf");
  RCPtr<InputControl> right = tree.Add(tree.top, u"right");
  RCPtr<InputControl> rightLeaf = tree.Add(right, u"rightLeaf");
  ASSERT_EQ(leftLeaf->SetFocus(true), 1);
  tree.Listen(left);
  tree.Listen(leftLeaf);
  tree.Listen(right);
  tree.Listen(rightLeaf);

  EXPECT_EQ(rightLeaf->SetFocus(true), 1);
  EXPECT_EQ(tree.log, (Log{"leftLeaf:NID_HAS_FOCUS_CONDITION_CHANGE", "left:NID_CONTAINS_FOCUS_CONDITION_CHANGE",
                           "right:NID_CONTAINS_FOCUS_CONDITION_CHANGE", "rightLeaf:NID_HAS_FOCUS_CONDITION_CHANGE"}));
  EXPECT_FALSE(left->ContainsFocus());
  EXPECT_FALSE(leftLeaf->HasFocus());
  EXPECT_EQ(tree.window->previousFocusedControl, leftLeaf);
  EXPECT_EQ(tree.window->focusedControl, rightLeaf);

  // The window lost the keyboard: every flag goes.
  EXPECT_TRUE(tree.top->KillFocus());
  EXPECT_FALSE(tree.top->ContainsFocus());
  EXPECT_FALSE(right->ContainsFocus());
  EXPECT_FALSE(rightLeaf->HasFocus());
  EXPECT_EQ(tree.window->focusedControl, nullptr);
}

TEST(ControlFocusTest, AContainerThatLosesItsFocusableChildrenHoldsTheFocusItself) {
  Tree tree;
  RCPtr<InputControl> panel = tree.Add(tree.top, u"panel");
  RCPtr<InputControl> leaf = tree.Add(panel, u"leaf");
  ASSERT_EQ(leaf->SetFocus(true), 1);
  leaf->Layout().isVisible = false;
  EXPECT_TRUE(panel->IsFocusable());
  EXPECT_EQ(panel->SetFocus(true), 1); // the hidden child let go
  EXPECT_TRUE(panel->HasFocus());
  EXPECT_FALSE(panel->ContainsFocus());
  EXPECT_EQ(tree.window->focusedControl, panel);
}

TEST(ControlFocusTest, ANotFocusableControlInATreeWithoutFocusGivesOne) {
  Tree tree;
  RCPtr<InputControl> label = tree.Add(tree.top, u"label");
  label->SetFocusable(true);
  tree.Listen(label);
  EXPECT_EQ(label->SetFocus(true), QZ_FALSE);
  EXPECT_FALSE(label->HasFocus());
  EXPECT_FALSE(tree.top->ContainsFocus());
  EXPECT_TRUE(tree.log.empty());
  EXPECT_EQ(tree.window->focusedControl, nullptr);

  // With the focus somewhere in the tree, the request goes back down to where it is.
  RCPtr<InputControl> field = tree.Add(tree.top, u"field");
  ASSERT_EQ(field->SetFocus(true), 1);
  EXPECT_EQ(label->SetFocus(true), QZ_OK);
  EXPECT_TRUE(field->HasFocus());
}

TEST(ControlFocusTest, ARootThatCanNeitherHoldNorPassOnItsFocusEndsTheRequest) {
  Tree tree;
  RCPtr<InputControl> menu = tree.Add(tree.top, u"menu");
  RCPtr<InputControl> label = tree.Add(tree.top, u"label");
  label->SetFocusable(true);
  tree.top->SetFocusable(true);
  menu->SetFocusBoundary(true); // but a focus scope below it is
  ASSERT_TRUE(menu->IsFocusable());
  ASSERT_EQ(menu->SetFocus(true), 1);
  ASSERT_TRUE(tree.top->ContainsFocus());

  EXPECT_EQ(label->SetFocus(true), QZ_FALSE);
  EXPECT_TRUE(menu->HasFocus());
}

TEST(ControlFocusTest, InsideANotFocusablePanelOnlyAFocusScopeMakesAFocusTarget) {
  // top > panel (not focusable) > box > leaf
  struct Case {
    const char* scope;
    bool leafFocusable;
  };
  for (const Case& test : {Case{"", false}, Case{"leaf", true}, Case{"box", true}, Case{"panel", false}}) {
    SCOPED_TRACE(test.scope);
    Tree tree;
    RCPtr<InputControl> panel = tree.Add(tree.top, u"panel");
    RCPtr<InputControl> box = tree.Add(panel, u"box");
    RCPtr<InputControl> leaf = tree.Add(box, u"leaf");
    panel->SetFocusable(true);
    for (const RCPtr<InputControl>& control : {panel, box, leaf}) {
      control->SetFocusBoundary(QZTest::Utf8(control->GetName()) == test.scope);
    }
    EXPECT_EQ(leaf->IsFocusable(), test.leafFocusable);
    EXPECT_EQ(leaf->SetFocus(true), test.leafFocusable ? 1 : QZ_FALSE);
    EXPECT_EQ(leaf->HasFocus(), test.leafFocusable);
  }
}

TEST(ControlFocusTest, AFocusedControlThatWillNotLetGoKeepsTheFocus) {
  Tree tree;
  RCPtr<InputControl> editor = tree.Add(tree.top, u"editor");
  RCPtr<InputControl> other = tree.Add(tree.top, u"other");
  ASSERT_EQ(editor->SetFocus(true), 1);
  editor->canReleaseFocus = false;
  tree.Listen(editor);
  tree.Listen(other);
  EXPECT_EQ(other->SetFocus(true), QZ_E_FAIL);
  EXPECT_TRUE(editor->HasFocus());
  EXPECT_FALSE(other->HasFocus());
  EXPECT_TRUE(tree.log.empty());
  EXPECT_EQ(editor->SetFocus(true), QZ_OK); // the holder itself is not refused
}

TEST(ControlFocusTest, SetFocusableKeepsTheTabStopsSignInStep) {
  Tree tree;
  RCPtr<InputControl> control = tree.Add(tree.top, u"control");
  const uint32_t version = tree.top->GetChildren().GetVersion();
  EXPECT_EQ(control->SetFocusable(true), QZ_OK);
  EXPECT_EQ(control->Layout().tabStop, -1);
  EXPECT_TRUE(control->NotFocusable());
  EXPECT_GT(tree.top->GetChildren().GetVersion(), version);
  EXPECT_EQ(control->SetFocusable(true), QZ_FALSE);
  EXPECT_EQ(control->SetFocusable(false), QZ_OK);
  EXPECT_EQ(control->Layout().tabStop, 1);
  control->Layout().tabStop = 5;
  EXPECT_EQ(control->SetFocusable(false), QZ_FALSE);
  control->Layout().tabStop = INT32_MIN; // a flag that disagrees with its TabStop is mended
  EXPECT_EQ(control->SetFocusable(false), QZ_OK);
  EXPECT_EQ(control->Layout().tabStop, INT32_MAX);
}

TEST(ControlFocusTest, SetFocusableMovesTheFocusBetweenParentAndChild) {
  Tree tree;
  RCPtr<InputControl> panel = tree.Add(tree.top, u"panel");
  RCPtr<InputControl> child = tree.Add(panel, u"child");
  child->SetFocusable(true);
  ASSERT_EQ(panel->SetFocus(true), 1);
  ASSERT_TRUE(panel->HasFocus());

  EXPECT_EQ(child->SetFocusable(false), QZ_OK); // the child now takes the focus from its parent
  EXPECT_TRUE(child->HasFocus());
  EXPECT_TRUE(panel->ContainsFocus());
  EXPECT_EQ(child->SetFocusable(true), QZ_OK); // and gives it back
  EXPECT_FALSE(child->HasFocus());
  EXPECT_TRUE(panel->HasFocus());
  EXPECT_EQ(tree.window->focusedControl, panel);
}

TEST(ControlFocusTest, APressOnANotFocusableLabelFocusesTheWidgetAroundIt) {
  Tree tree;
  tree.window->mouseButtons = kMouseButtonLeft;
  RCPtr<InputControl> widget = tree.Add(tree.top, u"widget");
  RCPtr<InputControl> label = tree.Add(widget, u"label");
  label->SetFocusable(true);
  EXPECT_TRUE(widget->IsFocusable());
  ASSERT_EQ(label->OnMouseDown(QZTest::Press(kMouseButtonLeft, 1, 1)), QZ_OK);
  EXPECT_TRUE(widget->HasFocus());
  EXPECT_FALSE(label->HasFocus());
  EXPECT_TRUE(label->HasCapture());

  // A widget that becomes not focusable hands the focus back to its parent.
  widget->SetFocusable(true);
  EXPECT_TRUE(tree.top->HasFocus());
}

TEST(ControlFocusTest, APressInsideAFocusScopeOfANotFocusableWidgetStopsAtTheScope) {
  for (const bool scope : {true, false}) {
    Tree tree;
    tree.window->mouseButtons = kMouseButtonLeft;
    RCPtr<InputControl> widget = tree.Add(tree.top, u"widget");
    RCPtr<InputControl> panel = tree.Add(widget, u"panel");
    RCPtr<InputControl> label = tree.Add(panel, u"label");
    widget->SetFocusable(true);
    label->SetFocusable(true);
    panel->SetFocusBoundary(scope);
    // Without the scope the widget's refusal reaches the panel, and the press goes on up.
    const RCPtr<LControl> focused = scope ? RCPtr<LControl>(panel) : RCPtr<LControl>(tree.top);
    ASSERT_EQ(label->OnMouseDown(QZTest::Press(kMouseButtonLeft, 1, 1)), QZ_OK);
    EXPECT_EQ(tree.window->focusedControl, focused) << "a press on the label, scope " << scope;
    label->OnMouseUp(QZTest::Release(kMouseButtonLeft, 1, 1));
    tree.top->KillFocus();
    ASSERT_EQ(panel->OnMouseDown(QZTest::Press(kMouseButtonLeft, 1, 1)), QZ_OK);
    EXPECT_EQ(tree.window->focusedControl, focused) << "a press on the panel, scope " << scope;
    EXPECT_FALSE(widget->HasFocus());
  }
}

TEST(ControlFocusTest, TheChildWalkIsEligibleChildrenInTabOrderWrappingAround) {
  Tree tree;
  RCPtr<InputControl> panel = tree.Add(tree.top, u"panel");
  RCPtr<InputControl> c = tree.Add(panel, u"c", 3);
  RCPtr<InputControl> a = tree.Add(panel, u"a", 1);
  RCPtr<InputControl> hidden = tree.Add(panel, u"hidden", 2);
  RCPtr<InputControl> d = tree.Add(panel, u"d", 4);
  hidden->Layout().isVisible = false;
  d->SetFocusable(true);
  EXPECT_EQ(panel->FocusNextChild(a, false), c);
  EXPECT_EQ(panel->FocusNextChild(c, false), d);
  EXPECT_EQ(panel->FocusNextChild(d, false), a);
  EXPECT_EQ(panel->FocusNextChild(a, true), d);
  EXPECT_EQ(panel->FocusNextChild(hidden, false), c);
  EXPECT_EQ(panel->FocusNextChild(nullptr, false), nullptr);
  EXPECT_EQ(tree.top->FocusNextChild(a, false), nullptr); // not its child
  EXPECT_EQ(panel->GetFirstFocusableChild(), a);
  EXPECT_EQ(panel->GetLastFocusableChild(), c);

  // A single child is its own next when eligible.
  RCPtr<InputControl> single = tree.Add(tree.top, u"single");
  RCPtr<InputControl> only = tree.Add(single, u"only");
  EXPECT_EQ(single->FocusNextChild(only, false), only);
  only->Layout().isEnabled = false;
  EXPECT_EQ(single->FocusNextChild(only, false), nullptr);
  EXPECT_EQ(single->GetFirstFocusableChild(), nullptr);
}

TEST(ControlFocusTest, TheFirstFocusableChildSearchEndsWhenItsStartIsOutOfReach) {
  Tree tree;
  RCPtr<InputControl> panel = tree.Add(tree.top, u"panel");
  RCPtr<InputControl> hidden = tree.Add(panel, u"hidden", 0);
  RCPtr<InputControl> label1 = tree.Add(panel, u"label1", 1);
  RCPtr<InputControl> label2 = tree.Add(panel, u"label2", 2);
  label1->SetFocusable(true);
  label2->SetFocusable(true);
  // The hidden control starts the tab order, where the walk from it never comes back.
  hidden->Layout().isVisible = false;
  hidden->Layout().tabStop = -10;
  panel->GetChildren().BumpVersion();
  EXPECT_EQ(panel->GetFirstFocusableChild(), nullptr);
  EXPECT_EQ(panel->GetLastFocusableChild(), nullptr);
  EXPECT_FALSE(panel->CanTakeFocus());
}

TEST(ControlFocusTest, FocusDelegationStopsAtABoundary) {
  Tree tree;
  RCPtr<InputControl> outer = tree.Add(tree.top, u"outer");
  RCPtr<InputControl> inner = tree.Add(outer, u"inner");
  outer->SetFocusable(true);
  EXPECT_FALSE(inner->IsFocusDelegated(false));
  EXPECT_TRUE(inner->IsFocusDelegated(true));
  inner->SetFocusBoundary(true);
  EXPECT_FALSE(inner->IsFocusDelegated(true));
  EXPECT_TRUE(outer->IsFocusDelegated(false));
}

} // namespace
} // namespace QZ
