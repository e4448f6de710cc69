#pragma once
// A control for the tests of pointer input, focus and keys: it writes what happens to it
// into a log shared by a whole tree ("<name>:HandleLeftClick", "<name>:OnKeyDown" ...),
// answers the wheel and keys as the test says, opens the pointer, value and focus state
// to the test, and can make hit testing answer one control wherever the point lies.
//
//   std::vector<std::string> log;
//   auto top = QZTest::InputControl::Make(nullptr, u"top", log);
//   auto button = QZTest::InputControl::Make(top, u"button", log);
//   button->Place(10, 20, 50, 30);
//   button->OnMouseDown(QZTest::Press(QZ::kMouseButtonLeft, 5, 5));   // log: "button:HandleLeftButtonDown"

#include <string>
#include <vector>

#include "ControlTestSupport.h"
#include "QZFramework/ControlBase/KeyParam.h"
#include "QZFramework/ControlBase/Look.h"
#include "QZFramework/ControlBase/StringTable.h"

namespace QZTest {

// A press of button at (x, y) with that button held.
inline QZ::RCPtr<QZ::LMouseButtonParam> Press(uint32_t button, int32_t x, int32_t y, uint32_t held = 0) {
  return QZ::LMouseButtonParam::Create(button, {x, y}, 0, false, held ? held : button, 0);
}
// A release of button at (x, y) leaving held down.
inline QZ::RCPtr<QZ::LMouseButtonParam> Release(uint32_t button, int32_t x, int32_t y, uint32_t held = 0) {
  return QZ::LMouseButtonParam::Create(button, {x, y}, 0, false, held, 0);
}
inline QZ::RCPtr<QZ::LPointWithModifiersParam> Move(int32_t x, int32_t y) {
  return QZ::LPointWithModifiersParam::Create({x, y}, 0);
}
// A pressed virtual key with the modifier mask (kModifierCtrl ...), as the OS window makes it.
inline QZ::RCPtr<QZ::LKeyParam> Key(uint8_t virtualKey, uint32_t modifiers = 0) {
  return QZ::LKeyParam::Create(QZ::KeyCode(virtualKey, true, 0, modifiers), false);
}

class InputControl : public TestControl {
public:
  InputControl(const QZ::RCPtr<QZ::LControl>& parent, const QZ::WString& name, std::vector<std::string>& sharedLog)
      : TestControl(parent, name, nullptr), log(sharedLog), mTag(Utf8(name) + ":") {}

  static QZ::RCPtr<InputControl> Make(const QZ::RCPtr<QZ::LControl>& parent, const QZ::WString& name,
                                      std::vector<std::string>& sharedLog) {
    return QZ::RCPtr<InputControl>(new InputControl(parent, name, sharedLog));
  }

  // Placed, shown, enabled and focusable (TabStop tabStop).
  InputControl& Focusable(double x, double y, double width, double height, int32_t tabStop = 0) {
    Place(x, y, width, height);
    Layout().tabStop = tabStop;
    SetFocusable(false);
    return *this;
  }

  std::vector<std::string>& log;
  // Answers of the hooks.
  QZ::QZResult wheelResult = QZ::QZ_FALSE;
  QZ::QZResult keyDownResult = QZ::QZ_FALSE;
  bool canReleaseFocus = true;
  // When set, the control uses every sibling key offered to it.
  bool consumeSiblingKeys = false;
  // When set, HitTest answers this control wherever the point lies (a tree built to loop).
  QZ::RCPtr<QZ::LControl> hitAlways;
  // The drag axes set with dragModeOnPress.
  uint32_t dragAxesOnPress = kDragAxisX | kDragAxisY;
  // The colour of each look at any point (GetColorAtPoint).
  std::vector<uint32_t> lookColors;
  // What the hooks saw.
  std::vector<QZ::RCPtr<QZ::LMouseButtonParam>> clicks;
  // The sibling-key offers received (directly or carried by a command), as they were then;
  // copies, so that no offer holds its source (perhaps this control) alive.
  struct Offer {
    QZ::KeyCode key;
    const QZ::LControl* source;
    int32_t handled;
  };
  std::vector<Offer> offers;
  std::vector<double> valuesSet;

  bool& FlingActive(int axis) { return mFlingActive[axis]; }
  void SetVelocity(double x, double y) { mFlingVelocity = {x, y}; }
  void UseStringTable(const QZ::RCPtr<QZ::LStringTable>& table) { mStringTable = table; }
  void UseContextMenu(const QZ::RCPtr<QZ::LMenuDescriptor>& menu) { mContextMenu = menu; }
  // Makes look the only one, with weight 1.
  void UseLook(const QZ::RCPtr<QZ::LLook>& look) {
    QZ::RCPtrArray<QZ::LLook, 1, 0> list;
    list.AddItem(look);
    SetLooks(list);
    UseLookWeights({1.0f});
  }
  void UseLookWeights(const std::vector<float>& weights) {
    mLookWeights.SetCount(0);
    for (float weight : weights) {
      mLookWeights.AddItem(weight);
    }
  }
  bool WantsTab() const { return mWantsTab; }
  const QZ::WString& ToolTip() const { return mToolTipText; }
  int32_t& IdleRequests() { return mIdleRequests; }
  const QZ::RCPtr<QZ::LMouseButtonParam>& LastLeftDown() const { return mLastLeftDown; }

  QZ::QZResult HandleLeftButtonDown(const QZ::RCPtr<QZ::LMouseButtonParam>&) override {
    return Log("HandleLeftButtonDown");
  }
  QZ::QZResult HandleLeftButtonUp(const QZ::RCPtr<QZ::LMouseButtonParam>&) override {
    return Log("HandleLeftButtonUp");
  }
  QZ::QZResult HandleRightButtonDown(const QZ::RCPtr<QZ::LMouseButtonParam>&) override {
    return Log("HandleRightButtonDown");
  }
  QZ::QZResult HandleMouseMove(const QZ::RCPtr<QZ::LPointWithModifiersParam>& param) override {
    return Log("HandleMouseMove:" + std::to_string(param->GetPoint().x) + "," + std::to_string(param->GetPoint().y));
  }
  QZ::QZResult OnClick(const QZ::RCPtr<QZ::LMouseButtonParam>& param) override {
    clicks.push_back(param);
    return TestControl::OnClick(param);
  }
  QZ::QZResult HandleLeftClick(const QZ::RCPtr<QZ::LMouseButtonParam>&) override { return Log("HandleLeftClick"); }
  QZ::QZResult HandleMiddleClick(const QZ::RCPtr<QZ::LMouseButtonParam>&) override { return Log("HandleMiddleClick"); }
  QZ::QZResult HandleRightClick(const QZ::RCPtr<QZ::LMouseButtonParam>&) override { return Log("HandleRightClick"); }
  QZ::RCPtr<QZ::LMenuDescriptor> GetContextMenuDescriptor() override {
    Log("GetContextMenuDescriptor");
    return TestControl::GetContextMenuDescriptor();
  }
  QZ::QZResult OnMouseWheelV(const QZ::RCPtr<QZ::LMouseWheelParam>&) override {
    Log("OnMouseWheelV");
    return wheelResult;
  }
  QZ::QZResult OnMouseWheelH(const QZ::RCPtr<QZ::LMouseWheelParam>&) override {
    Log("OnMouseWheelH");
    return wheelResult;
  }
  QZ::QZResult OnKeyDown(const QZ::RCPtr<QZ::LKeyParam>&) override {
    Log("OnKeyDown");
    return keyDownResult;
  }
  QZ::QZResult HandleKey(const QZ::RCPtr<QZ::LKeyParam>& param) override {
    Log("HandleKey");
    return TestControl::HandleKey(param);
  }
  bool CanReleaseFocus() override { return canReleaseFocus; }
  double SetValue(double value) override {
    valuesSet.push_back(value);
    return value;
  }
  uint32_t GetColorAtPoint(const QZ::PointT<int32_t>& point, int32_t lookIndex) override {
    return size_t(lookIndex) < lookColors.size() ? lookColors[size_t(lookIndex)]
                                                 : TestControl::GetColorAtPoint(point, lookIndex);
  }
  QZ::QZResult ReceiveNotification(const QZ::RCPtr<QZ::LNotificationDistributor>& distributor,
                                   const QZ::RCPtr<QZ::LNotification>& notification) override {
    Log("received " + Utf8(QZ::WString(notification->GetID())));
    if (auto offer = notification->GetParameterAs<QZ::LSiblingKeyParam>()) {
      if (consumeSiblingKeys) {
        offer->SetHandled(QZ::LSiblingKeyParam::kHandled);
      }
      offers.push_back({offer->GetKey(), offer->GetSource().Get(), offer->GetHandled()});
    }
    return TestControl::ReceiveNotification(distributor, notification);
  }

  // The control hit testing finds, or hitAlways when set.
  QZ::RCPtr<QZ::LControl> HitTest(const QZ::PointT<int32_t>& point, bool bounded, QZ::PointT<int32_t>& outPoint,
                                  int32_t& depth) override {
    if (hitAlways) {
      outPoint = point;
      return hitAlways;
    }
    return TestControl::HitTest(point, bounded, outPoint, depth);
  }

  QZ::QZResult OnConditionsChanged(const QZ::RCPtr<QZ::LConditionsParam>& param) override {
    const QZ::QZResult result = TestControl::OnConditionsChanged(param);
    if ((param->GetChanged() & QZ::kConditionLeftDown) && (param->GetCurrent() & QZ::kConditionLeftDown)) {
      SetLayoutState(dragModeOnPress, dragAxesOnPress);
    }
    return result;
  }

private:
  QZ::QZResult Log(const std::string& entry) {
    log.push_back(mTag + entry);
    return QZ::QZ_OK;
  }

  std::string mTag;
};

} // namespace QZTest
