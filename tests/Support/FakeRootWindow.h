#pragma once
// A root window for tests of controls: it records what the controls ask of it (capture,
// cursors, invalidated rectangles, focus, captions, layout updates, commands, the keys handed to the next
// window) and answers from fields the test sets (held buttons, pointer position, modifiers,
// client and frame rectangles). It hit-tests and moves the hover through the installed top
// control like the real window, raises "NID_IDLE" when the test asks, and keeps the
// internal reference of an installed top control's link as the real window does, so a
// window released by the test takes its tree down with it.
//
//   QZ::RCPtr<QZTest::FakeRootWindow> window(new QZTest::FakeRootWindow);
//   window->InstallRootControl(top);               // top->GetRootWindowRef() == window
//   window->mouseButtons = QZ::kMouseButtonLeft;
//   child->SetCapture(QZ::kMouseButtonLeft, 2, 3); // window->captureControl == child
//   window->RaiseIdle();                           // "NID_IDLE" to the subscribed controls

#include <cstdint>
#include <vector>

#include "QZFramework/ControlBase/Control.h"
#include "QZFramework/ControlBase/GlobalHotKeyManager.h"
#include "QZFramework/ControlBase/KeyParam.h"
#include "QZFramework/ControlBase/RootWindowInterface.h"
#include "QZFramework/Notification/Notification.h"
#include "QZFramework/Notification/NotificationDistributor.h"

namespace QZTest {

class FakeRootWindow : public QZ::IRootWindow, public QZ::LNotificationDistributor {
public:
  // --- Answers the test sets ---
  uint32_t mouseButtons = 0;
  QZ::PointT<int32_t> mousePosition;
  uint32_t modifiers = 0;
  QZ::RectT<int32_t> clientRect{0, 0, 1024, 768};
  QZ::RectT<int32_t> frameRect{0, 0, 1024, 768};
  QZ::RCPtr<QZ::LRenderer> renderer;
  QZ::RCPtr<QZ::LGlobalHotKeyManager> hotKeys;
  QZ::QZResult commandResult = QZ::QZ_FALSE;
  QZ::QZResult endModalAnswer = QZ::QZ_OK;

  // --- What the controls did ---
  QZ::RCPtr<QZ::LControl> captureControl;
  std::vector<QZ::RCPtr<QZ::LControl>> captureRequests;
  int32_t captureReleases = 0;
  QZ::RCPtr<QZ::LControl> focusedControl;
  QZ::RCPtr<QZ::LControl> previousFocusedControl;
  QZ::RCPtr<QZ::LControl> mouseOverControl;
  int32_t hitTests = 0;
  QZ::CursorHandle cursor = 0;
  std::vector<QZ::CursorHandle> cursorRequests;
  std::vector<QZ::RectT<int32_t>> invalidated;
  std::vector<QZ::RectT<int32_t>> clientRectRequests;
  std::vector<QZ::RectT<int32_t>> frameRectRequests;
  std::vector<QZ::WString> captions;
  int32_t layoutUpdates = 0;
  std::vector<QZ::RCPtr<QZ::LKeyParam>> keysToNextWindow;
  std::vector<QZ::RCPtr<QZ::LNotification>> commands;
  QZ::RCPtr<QZ::LControl> rootControl;
  std::vector<int32_t> endModalResults;

  FakeRootWindow() = default;
  ~FakeRootWindow() override = default;

  // Raises "NID_IDLE" through the window's distributor. The caller holds the window.
  QZ::QZResult RaiseIdle() { return SendNotification(QZ::LNotification::Create(u"NID_IDLE")); }

  QZ::QZResult SetCaptureControl(const QZ::RCPtr<QZ::LControl>& control) override {
    if (!control) {
      return QZ::QZ_E_INVALIDARG;
    }
    if (captureControl) {
      const QZ::RCPtr<QZ::LControl> previous = captureControl;
      previous->ReleaseCapture();
    }
    captureRequests.push_back(control);
    captureControl = control;
    return QZ::QZ_OK;
  }
  QZ::QZResult ReleaseCaptureControl() override {
    ++captureReleases;
    captureControl = nullptr;
    return QZ::QZ_OK;
  }
  uint32_t GetMouseButtons() override { return mouseButtons; }
  QZ::PointT<int32_t> GetMousePosition() override { return mousePosition; }
  uint32_t GetModifierState() override { return modifiers; }

  QZ::RCPtr<QZ::LControl> SetMouseOverAt(const QZ::PointT<int32_t>& point, QZ::PointT<int32_t>& localPoint,
                                         bool updateHover) override {
    ++hitTests;
    localPoint = {};
    QZ::RCPtr<QZ::LControl> hit;
    if (rootControl) {
      const QZ::PointT<int32_t> origin = QZ::PointT<double>{rootControl->GetRect().x, rootControl->GetRect().y}.Round();
      int32_t depth = QZ::LControl::kNoHitDepth;
      hit = rootControl->HitTest({point.x - origin.x, point.y - origin.y}, true, localPoint, depth);
    }
    if (updateHover) {
      SetMouseOverControl(hit);
    }
    return hit;
  }
  // Leave, then enter, as the real window does (without its tool tips).
  void SetMouseOverControl(const QZ::RCPtr<QZ::LControl>& control) override {
    // While a control holds the capture the pointer is over it or over nothing.
    if (captureControl && control && control != captureControl) {
      return SetMouseOverControl(nullptr);
    }
    if (control == mouseOverControl) {
      return;
    }
    const QZ::RCPtr<QZ::LControl> previous = mouseOverControl;
    mouseOverControl = control;
    if (previous) {
      previous->OnMouseLeave();
    }
    if (control) {
      control->OnMouseEnter();
    }
  }
  QZ::RCPtr<QZ::LControl> GetFocusedControl() override { return focusedControl; }
  void SetFocusedControl(const QZ::RCPtr<QZ::LControl>& control) override { focusedControl = control; }
  void ClearFocusedControl() override {
    previousFocusedControl = focusedControl;
    focusedControl = nullptr;
  }
  QZ::RCPtr<QZ::LControl> GetPreviousFocusedControl() const override { return previousFocusedControl; }
  QZ::QZResult MoveFocusToNextWindow(const QZ::RCPtr<QZ::LKeyParam>& key) override {
    keysToNextWindow.push_back(key);
    return QZ::QZ_OK;
  }
  QZ::CursorHandle SetCursor(QZ::CursorHandle newCursor) override {
    cursorRequests.push_back(newCursor);
    const QZ::CursorHandle previous = cursor;
    cursor = newCursor;
    return previous;
  }

  void InvalidateRect(const QZ::RectT<int32_t>& rect) override { invalidated.push_back(rect); }
  QZ::RCPtr<QZ::LRenderer> GetRenderer() override { return renderer; }

  QZ::RectT<int32_t> GetClientRect() override { return clientRect; }
  QZ::QZResult SetClientRect(const QZ::RectT<int32_t>& rect) override {
    clientRectRequests.push_back(rect);
    if (rect == clientRect) {
      return QZ::QZ_FALSE;
    }
    clientRect = rect;
    return QZ::QZ_OK;
  }
  QZ::RectT<int32_t> GetFrameRect() override { return frameRect; }
  QZ::QZResult SetFrameRect(const QZ::RectT<int32_t>& rect) override {
    frameRectRequests.push_back(rect);
    if (rect == frameRect) {
      return QZ::QZ_FALSE;
    }
    frameRect = rect;
    return QZ::QZ_OK;
  }
  void SetCaption(const QZ::WString& text) override { captions.push_back(text); }
  void UpdateLayout() override { ++layoutUpdates; }

  // The old top control is detached; the new one, when it knows no window yet, is told
  // this one. While one is installed its link counts as an internal reference of the window.
  QZ::QZResult InstallRootControl(const QZ::RCPtr<QZ::LControl>& control) override {
    if (control == rootControl) {
      return QZ::QZ_OK;
    }
    focusedControl = nullptr;
    previousFocusedControl = nullptr;
    mouseOverControl = nullptr;
    captureControl = nullptr;
    if (rootControl) {
      AddInternalReferences(-1);
      const QZ::RCPtr<QZ::LControl> old = std::move(rootControl);
      old->Detach();
    }
    rootControl = control;
    if (!control) {
      return QZ::QZ_OK;
    }
    if (!control->GetRootWindowRef()) {
      control->SetRootWindow(QZ::RCPtr<QZ::IRootWindow>(this)); // a top control
    }
    AddInternalReferences(1);
    return QZ::QZ_OK;
  }

  QZ::QZResult EndModal(int32_t result) override {
    endModalResults.push_back(result);
    return endModalAnswer;
  }

  QZ::RCPtr<QZ::LGlobalHotKeyManager> GetHotKeyManager() override { return hotKeys; }
  QZ::QZResult HandleCommand(const QZ::RCPtr<QZ::LNotification>& command) override {
    commands.push_back(command);
    return commandResult;
  }
  QZ::RCPtr<QZ::LNotificationDistributor> GetIdleDistributor() override {
    return QZ::RCPtr<QZ::LNotificationDistributor>(this);
  }

  // The last outside reference goes: the top control leaves, the subscribers are let go.
  QZ::QZResult ReleaseInternalReferences() override {
    InstallRootControl(nullptr);
    UnregisterAllClients();
    return QZ::LRefCountedObject::ReleaseInternalReferences();
  }
};

} // namespace QZTest
