#pragma once
// An application for tests of controls, installed for its lifetime: hand-driven clocks, the
// control factory, default font, measurement renderer, root windows, global hot keys and
// clipboard a test gives it, cursors numbered by name, pointer and key state set by the
// test, an idle pass like the real one (the application centre of the installed context,
// then every root window's queue), a modal-window maker the test may give, and a record of
// status texts, message boxes, idle passes, command lines, profile entries and modal
// windows.
//
//   QZTest::FakeControlApplication application;        // installed
//   application.factory = QZTest::LoadSkinText(skin);   // controls find their factory here
//   application.AdvanceMilliseconds(250);                // 250 ms and 0.25 s later
//   application.Cursor(u"UI_CURSOR_NO_DROP");            // the handle that name answers
//   application.DoIdleWork(true);                        // "NID_IDLE" to every window

#include <algorithm>
#include <cstdint>
#include <functional>
#include <map>
#include <set>
#include <span>
#include <vector>

#include "QZFramework/ControlBase/Control.h"
#include "QZFramework/ControlBase/ControlApplication.h"
#include "QZFramework/ControlBase/ControlFactory.h"
#include "QZFramework/ControlBase/GlobalHotKeyManager.h"
#include "QZFramework/ControlBase/RootWindow.h"
#include "QZFramework/Notification/NotificationCenter.h"
#include "QZFramework/Renderer/MeasurementRenderer.h"
#include "QZFramework/Renderer/Renderer.h"
#include "QZFramework/Services/ApplicationContext.h"
#include "QZFramework/System/Clipboard.h"

namespace QZTest {

class FakeControlApplication final : public QZ::IControlApplication {
public:
  // --- Answers the test sets ---
  uint32_t milliseconds = 0;
  double seconds = 0.0;
  QZ::RCPtr<QZ::LControlFactory> factory;
  QZ::WString fontFace = u"Liberation Sans";
  float fontSize = 9.0f;
  int32_t fontStyle = 0;
  QZ::RCPtr<QZ::LMeasurementRenderer> measurer;
  QZ::PointT<int32_t> mouseScreenPosition;
  uint32_t mouseButtons = 0;
  std::set<int32_t> keysDown;
  std::vector<QZ::RCPtr<QZ::IRootWindow>> rootWindows;
  QZ::RCPtr<QZ::IRootWindow> activeRootWindow;
  QZ::RectT<int32_t> screenRect{0, 0, 1920, 1080};
  QZ::RCPtr<QZ::LGlobalHotKeyManager> globalHotKeys;
  QZ::RCPtr<QZ::LClipboard> clipboard;
  int32_t messageBoxAnswer = 1;
  // Receives the root windows' hot keys (null: they raise nothing).
  QZ::RCPtr<QZ::LNotificationReceiver> hotKeyReceiver;
  int32_t rendererType = QZ::kRendererGDI;
  bool profileWritable = true;
  // What CreateRootWindowForControl runs (a modal window of the window layer, made by the
  // test); without it the answer is 0x80004005.
  std::function<int32_t(const QZ::RCPtr<QZ::LControl>& control, bool systemMenu)> rootWindowForControl;

  // --- What the controls did ---
  // The name object of the last cursor asked for (the shared names are told apart by it).
  const QZ::WString* lastCursorName = nullptr;
  std::vector<QZ::WString> statusTexts;
  int32_t statusRestores = 0;
  std::vector<QZ::WString> messageBoxes;
  std::vector<bool> idlePasses; // sendIdle of each DoIdleWork
  std::vector<QZ::WString> commandLines;
  // "<section>|<entry>" to the bytes last written.
  std::map<QZ::WString, std::vector<uint8_t>> profile;
  std::vector<QZ::WString> messageBoxCaptions;
  // The names of the controls CreateRootWindowForControl was asked to show.
  std::vector<QZ::WString> modalControls;

  FakeControlApplication() { QZ::InstallControlApplication(this); }
  ~FakeControlApplication() { QZ::UninstallControlApplication(this); }
  FakeControlApplication(const FakeControlApplication&) = delete;
  FakeControlApplication& operator=(const FakeControlApplication&) = delete;

  // Moves both clocks on.
  void AdvanceMilliseconds(uint32_t step) {
    milliseconds += step;
    seconds += step / 1000.0;
  }
  // The handle GetApplicationCursor gives name: a number of its own per name, from 1.
  QZ::CursorHandle Cursor(const QZ::WString& name) {
    auto found = mCursors.find(name);
    if (found == mCursors.end()) {
      found = mCursors.emplace(name, QZ::CursorHandle(mCursors.size() + 1)).first;
    }
    return found->second;
  }

  uint32_t GetTickCountMs() override { return milliseconds; }
  double GetElapsedSeconds() override { return seconds; }
  QZ::RCPtr<QZ::LControlFactory> GetControlFactory() override { return factory; }
  QZ::QZResult GetDefaultFont(QZ::WString& face, float& size, int32_t& style) override {
    face = fontFace;
    size = fontSize;
    style = fontStyle;
    return QZ::QZ_OK;
  }
  QZ::RCPtr<QZ::LMeasurementRenderer> GetMeasurementRenderer() override { return measurer; }
  QZ::CursorHandle GetApplicationCursor(const QZ::WString& name) override {
    lastCursorName = &name;
    return Cursor(name);
  }
  QZ::PointT<int32_t> GetMouseScreenPosition() override { return mouseScreenPosition; }
  uint32_t GetMouseButtons() override { return mouseButtons; }
  bool IsKeyDown(int32_t virtualKey) override { return keysDown.count(virtualKey) != 0; }
  QZ::RCPtr<QZ::IRootWindow> GetActiveRootWindow() override { return activeRootWindow; }
  uint32_t GetRootWindowCount() override { return uint32_t(rootWindows.size()); }
  QZ::RCPtr<QZ::IRootWindow> GetRootWindowAt(uint32_t index) override {
    return index < rootWindows.size() ? rootWindows[index] : nullptr;
  }
  QZ::RectT<int32_t> GetScreenRect() override { return screenRect; }
  int32_t CreateRootWindowForControl(const QZ::RCPtr<QZ::LControl>& control, bool systemMenu) override {
    modalControls.push_back(control ? control->GetName() : QZ::WString());
    return rootWindowForControl ? rootWindowForControl(control, systemMenu) : QZ::QZ_E_FAIL;
  }
  QZ::RCPtr<QZ::LGlobalHotKeyManager> GetGlobalHotKeyManager() override { return globalHotKeys; }
  QZ::RCPtr<QZ::LClipboard> GetClipboard() override { return clipboard; }
  void OnClipboardUpdate() override {
    if (const QZ::RCPtr<QZ::LClipboard> held = clipboard) {
      held->OnClipboardUpdate();
    }
  }
  QZ::QZResult SetStatusText(const QZ::WString& text) override {
    statusTexts.push_back(text);
    return QZ::QZ_OK;
  }
  QZ::QZResult RestoreStatusText() override {
    ++statusRestores;
    return QZ::QZ_OK;
  }
  int32_t ShowMessageBox(const QZ::WString& text, const QZ::WString& caption, uint32_t) override {
    messageBoxes.push_back(text);
    messageBoxCaptions.push_back(caption);
    return messageBoxAnswer;
  }
  int32_t AddRootWindow(const QZ::RCPtr<QZ::LRootWindow>& window) override {
    const QZ::RCPtr<QZ::IRootWindow> added(window);
    auto found = std::find(rootWindows.begin(), rootWindows.end(), added);
    if (found == rootWindows.end()) {
      found = rootWindows.insert(rootWindows.end(), added);
    }
    return int32_t(found - rootWindows.begin());
  }
  int32_t RemoveRootWindow(const QZ::RCPtr<QZ::LRootWindow>& window) override {
    auto found = std::find(rootWindows.begin(), rootWindows.end(), QZ::RCPtr<QZ::IRootWindow>(window));
    if (found == rootWindows.end()) {
      return -1;
    }
    const int32_t index = int32_t(found - rootWindows.begin());
    rootWindows.erase(found);
    return index;
  }
  int32_t GetRendererType() override { return rendererType; }
  // The application centre of the installed context, then each root window, last to first,
  // over a copy of the list (a window may close meanwhile).
  bool DoIdleWork(bool sendIdle) override {
    idlePasses.push_back(sendIdle);
    bool more = false;
    if (QZ::LNotificationCenter* centre = QZ::GetApplicationNotificationCenter()) {
      more = centre->ProcessNotifications(sendIdle);
    }
    const std::vector<QZ::RCPtr<QZ::IRootWindow>> windows = rootWindows;
    for (auto window = windows.rbegin(); window != windows.rend(); ++window) {
      if (const QZ::RCPtr<QZ::LRootWindow> root = QZ::DynamicCast<QZ::LRootWindow>(*window)) {
        more = root->ProcessKeyQueue(sendIdle) || more;
      }
    }
    return more;
  }
  QZ::RCPtr<QZ::LGlobalHotKeyManager> CreateGlobalHotKeyManager() override {
    return QZ::RCPtr<QZ::LGlobalHotKeyManager>(new QZ::LGlobalHotKeyManager(hotKeyReceiver));
  }
  void OnCommandLineFromAnotherInstance(const QZ::WString& commandLine) override {
    commandLines.push_back(commandLine);
  }
  bool WriteProfileBinary(const QZ::WString& section, const QZ::WString& entry,
                          std::span<const uint8_t> bytes) override {
    if (!profileWritable) {
      return false;
    }
    QZ::WString key = section;
    key += QZ::WString(u"|");
    key += entry;
    profile[key] = std::vector<uint8_t>(bytes.begin(), bytes.end());
    return true;
  }

private:
  std::map<QZ::WString, QZ::CursorHandle> mCursors;
};

} // namespace QZTest
