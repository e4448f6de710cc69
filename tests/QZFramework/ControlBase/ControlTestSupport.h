#pragma once
// Controls for the control base's tests: a control that opens its fields to the test, counts
// its destruction and records the hooks it is called with, and a listener that records the
// notifications it hears.
//
//   QZTest::InstanceCounter counter;
//   auto panel = QZTest::TestControl::Make(nullptr, u"panel", &counter);
//   panel->Place(0, 0, 100, 50);                         // a layout descriptor and a rectangle
//   auto listener = QZTest::NotificationRecorder::Listen(panel, {u"NID_CONDITION_CHANGE"});
//   panel->RaiseConditionChange(true);                    // listener->names: the one above

#include <initializer_list>
#include <string>
#include <vector>

#include "QZFramework/ControlBase/Control.h"
#include "QZFramework/ControlBase/ControlDescriptor.h"
#include "QZFramework/ControlBase/LayoutDescriptor.h"
#include "QZFramework/Notification/Notification.h"
#include "QZFramework/Utilities/Graphics/Font.h"
#include "Support/CountedObject.h"

namespace QZTest {

inline std::string Utf8(const QZ::WString& text) { return text.ToUTF8().GetBuffer(); }

class TestControl : public QZ::LControl {
public:
  TestControl(const QZ::RCPtr<QZ::LControl>& parent, const QZ::WString& name, InstanceCounter* counter)
      : LControl(parent, name), mCounter(counter) {
    if (mCounter) {
      ++mCounter->live;
    }
  }
  ~TestControl() override {
    if (mCounter) {
      --mCounter->live;
      ++mCounter->destroyed;
    }
  }

  static QZ::RCPtr<TestControl> Make(const QZ::RCPtr<QZ::LControl>& parent, const QZ::WString& name,
                                     InstanceCounter* counter = nullptr) {
    return QZ::RCPtr<TestControl>(new TestControl(parent, name, counter));
  }

  // Gives the control a layout descriptor (first time) and a rectangle: shown and enabled.
  TestControl& Place(double x, double y, double width, double height) {
    if (!mLayout) {
      mLayout = QZ::LLayoutDescriptor::Create();
    }
    mRect = {x, y, width, height};
    return *this;
  }
  QZ::LLayoutDescriptor& Layout() {
    if (!mLayout) {
      mLayout = QZ::LLayoutDescriptor::Create();
    }
    return *mLayout;
  }

  // The flags behind the condition word, as the input operations set them.
  bool& HasFocusFlag() { return mHasFocus; }
  bool& ContainsFocusFlag() { return mContainsFocus; }
  bool& MouseOverFlag() { return mMouseOver; }
  bool& CaptureFlag() { return mCapture; }
  bool& PressedFlag(int button) { return mPressed[button]; }
  bool& DraggingFlag(int button) { return mDragging[button]; }
  QZ::CursorHandle& CursorField() { return mCursor; }
  QZ::CursorHandle SavedCursor() const { return mSavedCursor; }
  const QZ::PointT<double>& PressPoint() const { return mPressPoint; }
  uint32_t PressTime() const { return mPressTime; }
  bool NotFocusable() const { return mNotFocusable; }
  QZ::HotKeyMap& HotKeys() { return mHotKeys; }
  QZ::PointT<double>& ScrollOffsetField() { return mScrollOffset; }
  void SetLookWeights(std::initializer_list<float> weights) {
    mLookWeights.SetCount(0);
    for (float weight : weights) {
      mLookWeights.AddItem(weight);
    }
  }

  // Records descriptor as the skin entry the control was made from (what ApplyDescriptor
  // does first) and takes a clone of its layout.
  void UseDescriptor(const QZ::RCPtr<QZ::LControlDescriptor>& descriptor) {
    mDescriptor = descriptor;
    if (descriptor && descriptor->GetLayout()) {
      mLayout = descriptor->GetLayout()->Clone();
    }
  }
  // Gives the control a font and a label as the text setters do (without telling the looks).
  void UseFontAndLabel(const QZ::RCPtr<QZ::LFont>& font, const QZ::WString& label) {
    mFont = font;
    mLabel = label;
  }
  // Makes table the control's handler table (what Initialize does).
  void UseHandlerTable(const QZ::RCPtr<QZ::LNotificationHandler<QZ::LControl>>& table) { mNotificationHandler = table; }
  // A handler method: counts what it sees.
  QZ::QZResult OnSeen(const QZ::RCPtr<QZ::LNotificationDistributor>&, const QZ::RCPtr<QZ::LNotification>&) {
    ++seen;
    return QZ::QZ_FALSE;
  }
  int seen = 0;
  // Sends a notification of name through the control's distributor.
  QZ::QZResult Send(QZ::NotificationName name) { return Notify(name); }

  // What the hooks were called with, in order ("OnDrag", "OnDragEnd", "OnConditionsChanged",
  // "OnDragMove", "OnChildRemoved:<name>@<index>", "OnChildAdded:<name>").
  std::vector<std::string> calls;
  // Set as the drag mode when the left button goes down (a widget that wants dragging).
  int32_t dragModeOnPress = kDragNone;

  QZ::QZResult OnDrag() override {
    calls.push_back("OnDrag");
    return QZ::QZ_OK;
  }
  QZ::QZResult OnDragEnd() override {
    calls.push_back("OnDragEnd");
    return QZ::QZ_OK;
  }
  QZ::QZResult OnDragMove(const QZ::RCPtr<QZ::LPointWithModifiersParam>& param) override {
    calls.push_back("OnDragMove:" + std::to_string(param->GetPoint().x) + "," + std::to_string(param->GetPoint().y));
    return QZ::QZ_OK;
  }
  QZ::QZResult OnConditionsChanged(const QZ::RCPtr<QZ::LConditionsParam>& param) override {
    calls.push_back("OnConditionsChanged");
    if ((param->GetChanged() & QZ::kConditionLeftDown) && (param->GetCurrent() & QZ::kConditionLeftDown)) {
      SetLayoutState(dragModeOnPress, kDragAxisX | kDragAxisY);
    }
    return QZ::QZ_OK;
  }
  QZ::QZResult OnChildRemoved(const QZ::RCPtr<QZ::LControl>& child, uint32_t index) override {
    calls.push_back("OnChildRemoved:" + Utf8(child->GetName()) + "@" + std::to_string(index));
    return QZ::QZ_OK;
  }
  QZ::QZResult OnChildAdded(const QZ::RCPtr<QZ::LControl>& child) override {
    calls.push_back("OnChildAdded:" + Utf8(child->GetName()));
    return QZ::QZ_OK;
  }

private:
  InstanceCounter* mCounter;
};

// The create function of the class "Test.Control": a TestControl with the descriptor's
// layout and children, counted by the counter set here.
inline InstanceCounter* gCreatedCounter = nullptr;
inline QZ::RCPtr<QZ::LControl> CreateTestControl(const QZ::RCPtr<QZ::LControl>& parent,
                                                 const QZ::RCPtr<QZ::LControlDescriptor>& descriptor) {
  QZ::RCPtr<TestControl> control = TestControl::Make(parent, descriptor->GetName(), gCreatedCounter);
  control->UseDescriptor(descriptor);
  control->CreateChildren(descriptor);
  return control;
}

// Records every notification it hears, with the condition words when it carries them.
class NotificationRecorder : public QZ::LNotificationClient {
public:
  struct Heard {
    std::string name;
    uint32_t previous = 0;
    uint32_t current = 0;
  };

  // A recorder registered at source for each name.
  static QZ::RCPtr<NotificationRecorder> Listen(const QZ::RCPtr<QZ::LNotificationDistributor>& source,
                                                std::initializer_list<QZ::NotificationName> names) {
    QZ::RCPtr<NotificationRecorder> recorder(new NotificationRecorder);
    for (QZ::NotificationName name : names) {
      recorder->RegisterNotification(source, name);
    }
    return recorder;
  }

  QZ::QZResult ReceiveNotification(const QZ::RCPtr<QZ::LNotificationDistributor>&,
                                   const QZ::RCPtr<QZ::LNotification>& notification) override {
    Heard entry{Utf8(QZ::WString(notification->GetID()))};
    if (log) {
      log->push_back(tag + entry.name);
    }
    if (auto conditions = notification->GetParameterAs<QZ::LConditionsParam>()) {
      entry.previous = conditions->GetPrevious();
      entry.current = conditions->GetCurrent();
    }
    heard.push_back(entry);
    return QZ::QZ_OK;
  }

  std::vector<std::string> Names() const {
    std::vector<std::string> names;
    for (const Heard& entry : heard) {
      names.push_back(entry.name);
    }
    return names;
  }

  std::vector<Heard> heard;
  // When set, every name heard is appended to it too, after tag.
  std::vector<std::string>* log = nullptr;
  std::string tag;
};

} // namespace QZTest
