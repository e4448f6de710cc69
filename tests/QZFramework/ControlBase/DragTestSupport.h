#pragma once
// A control for the tests of dragging and of the idle tick: placed through a layout
// descriptor whose blocks give its rectangle, it writes the drag, drop and tick hooks into a
// log shared by a whole tree ("item:OnDrag", "target:OnDragOver" ...), answers the drop
// questions as the test says, opens its drag, scroll and animation state to the test, and
// hit-tests its subtree (children over the control, floating ones too, excluded controls
// skipped) the way the window's drop search expects.
//
//   DragScene scene;                                  // top > panel > item, in a window
//   scene.item->dragModeOnPress = QZ::LControl::kDragMove;
//   scene.Press(scene.item, 5, 5);                    // left button at (5, 5) of the item
//   scene.MoveInParent(scene.item, 80, 20);           // the pointer in the panel's content
//   scene.Release(scene.item);
//   scene.Tick(50);                                   // 50 ms later, "NID_IDLE"

#include <optional>
#include <string>
#include <vector>

#include "ControlTestSupport.h"
#include "Support/FakeControlApplication.h"
#include "Support/FakeRootWindow.h"

namespace QZTest {

class DragControl : public TestControl {
public:
  DragControl(const QZ::RCPtr<QZ::LControl>& parent, const QZ::WString& name, std::vector<std::string>& sharedLog)
      : TestControl(parent, name, nullptr), log(sharedLog), mTag(Utf8(name) + ":") {}

  static QZ::RCPtr<DragControl> Make(const QZ::RCPtr<QZ::LControl>& parent, const QZ::WString& name,
                                     std::vector<std::string>& sharedLog) {
    return QZ::RCPtr<DragControl>(new DragControl(parent, name, sharedLog));
  }

  // The rectangle, and a layout descriptor that places the control there: position Abs
  // from the parent's client area, a "Self" size.
  DragControl& At(double x, double y, double width, double height) {
    Place(x, y, width, height);
    Layout().position[0].abs = x;
    Layout().position[1].abs = y;
    Layout().size[0] = {QZ::kSizeToSelf, {}, 0.0f, width};
    Layout().size[1] = {QZ::kSizeToSelf, {}, 0.0f, height};
    return *this;
  }

  std::vector<std::string>& log;
  // Set as drag mode and axes when the left button goes down.
  uint32_t dragAxesOnPress = kDragAxisX | kDragAxisY;
  // Answers of the drop questions.
  bool acceptsDrop = false;
  uint32_t autoScrollEdges = 0;
  std::optional<QZ::RectT<double>> dragBounds;
  std::optional<QZ::RectT<double>> sizeLimits;
  // When not empty, HitTest answers these controls in turn wherever the point lies (a tree
  // built to loop).
  std::vector<QZ::RCPtr<QZ::LControl>> hitCycle;
  size_t hitCycleNext = 0;
  // Presses the control received.
  std::vector<QZ::RCPtr<QZ::LMouseButtonParam>> presses;

  // --- State of the base, opened ----------------------------------------------------------
  const QZ::PointT<double>& Displacement() const { return mDisplacement; }
  const QZ::RCPtr<QZ::LControl>& DropTarget() const { return mDropTarget; }
  const QZ::PointT<double>& Velocity() const { return mFlingVelocity; }
  bool AutoScrolling(int axis) const { return mAutoScroll[axis].active; }
  double AutoScrollSpeed(int axis) const { return mAutoScroll[axis].speed; }
  const QZ::RCPtr<QZ::LControl>& AutoScrollMoved(int axis) const { return mAutoScroll[axis].moved; }
  bool Flinging(int axis) const { return mFlingActive[axis]; }
  bool Growing(int axis) const { return mGrowing[axis]; }
  bool Shrinking(int axis) const { return mShrinking[axis]; }
  bool MoveAnimating() const { return mMoveAnimating; }
  uint32_t PendingRemovals() const { return mPendingRemoval.GetCount(); }
  bool& TickSuspended() { return mTickSuspended; }
  bool& IdleOnPress() { return mIdleOnPress; }
  QZ::QZResult Grow(int32_t axis, bool grow) { return StartSizeAnimation(axis, grow); }
  QZ::QZResult MoveTowards(double x, double y) { return StartMoveAnimation({x, y}); }
  void HandPressOver(const QZ::RCPtr<QZ::LControl>& target, int32_t x, int32_t y) {
    mHandOverEnabled = true;
    mHandOverTarget = target;
    mHandOverPoint = {x, y};
  }

  // --- Hooks: the base's behaviour, logged --------------------------------------------------
  QZ::QZResult OnDrag() override {
    Log("OnDrag");
    return LControl::OnDrag();
  }
  QZ::QZResult OnDragEnd() override {
    Log("OnDragEnd");
    return LControl::OnDragEnd();
  }
  QZ::QZResult OnDragMove(const QZ::RCPtr<QZ::LPointWithModifiersParam>& param) override {
    Log("OnDragMove");
    return LControl::OnDragMove(param);
  }
  bool AcceptsDrop(const QZ::RCPtr<QZ::LControl>&) override { return acceptsDrop; }
  uint32_t GetDragAutoScrollEdges(const QZ::RCPtr<QZ::LControl>&) override { return autoScrollEdges; }
  QZ::RectT<double> GetSizeLimits(const QZ::RCPtr<QZ::LControl>& control) override {
    return sizeLimits ? *sizeLimits : LControl::GetSizeLimits(control);
  }
  QZ::QZResult GetDragBounds(QZ::RectT<double>& bounds) override {
    if (dragBounds) {
      bounds = *dragBounds;
    }
    return QZ::QZ_OK;
  }
  QZ::QZResult OnDragEnter(const QZ::RCPtr<QZ::LControl>& dragged) override {
    Log("OnDragEnter:" + Utf8(dragged->GetName()));
    return QZ::QZ_OK;
  }
  QZ::QZResult OnDragOver(const QZ::RCPtr<QZ::LControl>& dragged, const QZ::PointT<double>& point) override {
    Log("OnDragOver:" + Utf8(dragged->GetName()) + "@" + std::to_string(int(point.x)) + "," +
        std::to_string(int(point.y)));
    return QZ::QZ_OK;
  }
  QZ::QZResult OnDragLeave(const QZ::RCPtr<QZ::LControl>& dragged) override {
    Log("OnDragLeave:" + Utf8(dragged->GetName()));
    return QZ::QZ_OK;
  }
  QZ::QZResult OnDrop(const QZ::RCPtr<QZ::LControl>& dragged) override {
    Log("OnDrop:" + Utf8(dragged->GetName()));
    return QZ::QZ_OK;
  }
  QZ::QZResult OnTick() override {
    Log("OnTick");
    return QZ::QZ_OK;
  }
  QZ::QZResult OnMouseDown(const QZ::RCPtr<QZ::LMouseButtonParam>& param) override {
    presses.push_back(param);
    return TestControl::OnMouseDown(param);
  }
  QZ::QZResult OnConditionsChanged(const QZ::RCPtr<QZ::LConditionsParam>& param) override {
    const QZ::QZResult result = TestControl::OnConditionsChanged(param);
    if ((param->GetChanged() & QZ::kConditionLeftDown) && (param->GetCurrent() & QZ::kConditionLeftDown)) {
      SetLayoutState(dragModeOnPress, dragAxesOnPress);
    }
    return result;
  }

  // The children from the last to the first (also outside the control's rectangle), then
  // the control itself.
  QZ::RCPtr<QZ::LControl> HitTest(const QZ::PointT<int32_t>& point, bool bounded, QZ::PointT<int32_t>& outPoint,
                                  int32_t& depth) override {
    if (!hitCycle.empty()) {
      outPoint = point;
      return hitCycle[hitCycleNext++ % hitCycle.size()];
    }
    if (!IsShown(false)) {
      return nullptr;
    }
    const QZ::PointT<int32_t> scroll = GetScrollOffset().Round();
    for (uint32_t i = GetChildren().GetCount(); i-- > 0;) {
      const QZ::RCPtr<QZ::LControl> child = GetChildren().GetAt(i, ChildControlList::kInsertionOrder);
      const QZ::PointT<int32_t> origin = QZ::PointT<double>{child->GetRect().x, child->GetRect().y}.Round();
      const QZ::PointT<int32_t> inChild{QZ::SaturatingAdd(point.x, scroll.x - origin.x),
                                        QZ::SaturatingAdd(point.y, scroll.y - origin.y)};
      if (QZ::RCPtr<QZ::LControl> hit = child->HitTest(inChild, bounded, outPoint, depth)) {
        return hit;
      }
    }
    if (!IsExcludedFromHitTest() && point.x >= 0 && point.y >= 0 && point.x < GetRect().width &&
        point.y < GetRect().height) {
      outPoint = point;
      return QZ::RCPtr<QZ::LControl>(this);
    }
    return nullptr;
  }

private:
  void Log(const std::string& entry) { log.push_back(mTag + entry); }

  std::string mTag;
};

// A window with a top control (0, 0, 400, 300), a panel (50, 40, 200, 100) in it and an item
// (20, 10, 50, 30) in the panel, with the input of a pointer that the test moves.
struct DragScene {
  FakeControlApplication application;
  QZ::RCPtr<FakeRootWindow> window{new FakeRootWindow};
  std::vector<std::string> log;
  QZ::RCPtr<DragControl> top = DragControl::Make(nullptr, u"top", log);
  QZ::RCPtr<DragControl> panel = DragControl::Make(top, u"panel", log);
  QZ::RCPtr<DragControl> item = DragControl::Make(panel, u"item", log);

  DragScene() {
    top->At(0, 0, 400, 300);
    panel->At(50, 40, 200, 100);
    item->At(20, 10, 50, 30);
    window->InstallRootControl(top);
  }
  ~DragScene() { window->InstallRootControl(nullptr); }

  // The left button goes down at (x, y) of control, with modifiers.
  QZ::QZResult Press(const QZ::RCPtr<DragControl>& control, int32_t x, int32_t y, uint32_t modifiers = 0) {
    window->mouseButtons = QZ::kMouseButtonLeft;
    window->mousePosition = QZ::PointT<int32_t>{x, y} + control->GetWindowPosition();
    return control->OnMouseDown(
        QZ::LMouseButtonParam::Create(QZ::kMouseButtonLeft, {x, y}, modifiers, false, QZ::kMouseButtonLeft, 0));
  }
  // The pointer moves to (x, y) of the content of control's parent; control holds the
  // capture.
  QZ::QZResult MoveInParent(const QZ::RCPtr<DragControl>& control, double x, double y) {
    const QZ::RectT<double>& rect = control->GetRect();
    return MoveLocal(control, QZ::PointT<double>{x - rect.x, y - rect.y}.Round());
  }
  // The pointer moves to (x, y) of the window.
  QZ::QZResult MoveInWindow(const QZ::RCPtr<DragControl>& control, int32_t x, int32_t y) {
    const QZ::PointT<int32_t> origin = control->GetWindowPosition().Round();
    return MoveLocal(control, {x - origin.x, y - origin.y});
  }
  QZ::QZResult MoveLocal(const QZ::RCPtr<DragControl>& control, const QZ::PointT<int32_t>& local) {
    window->mousePosition = local + control->GetWindowPosition();
    return control->OnMouseMove(QZ::LPointWithModifiersParam::Create(local, 0));
  }
  // The left button comes up where the pointer is.
  QZ::QZResult Release(const QZ::RCPtr<DragControl>& control) {
    window->mouseButtons = 0;
    const QZ::PointT<double> origin = control->GetWindowPosition();
    const QZ::PointT<int32_t> local = window->mousePosition + -origin;
    return control->OnMouseUp(QZ::LMouseButtonParam::Create(QZ::kMouseButtonLeft, local, 0, false, 0, 0));
  }
  // ms later, the window raises "NID_IDLE".
  void Tick(uint32_t ms) {
    application.AdvanceMilliseconds(ms);
    window->RaiseIdle();
  }
  // Whether control is subscribed to the window's "NID_IDLE".
  bool Subscribed(const QZ::RCPtr<DragControl>& control) const {
    uint32_t flags = 0;
    return window->GetClientFlags(control.Get(), u"NID_IDLE", flags) == QZ::QZ_OK;
  }
  // The entries of the log that begin with prefix, and the log emptied.
  std::vector<std::string> Take(const std::string& prefix = "") {
    std::vector<std::string> taken;
    for (const std::string& entry : log) {
      if (entry.rfind(prefix, 0) == 0) {
        taken.push_back(entry);
      }
    }
    log.clear();
    return taken;
  }
};

} // namespace QZTest
