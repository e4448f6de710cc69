#pragma once
// An application for tests of controls, installed for its lifetime: hand-driven clocks, the
// control factory, default font, measurement renderer, root windows, global hot keys and
// clipboard a test gives it, cursors numbered by name, pointer and key state set by the
// test, and a record of status texts and message boxes.
//
//   QZTest::FakeControlApplication application;        // installed
//   application.factory = QZTest::LoadSkinText(skin);   // controls find their factory here
//   application.AdvanceMilliseconds(250);                // 250 ms and 0.25 s later
//   application.Cursor(u"UI_CURSOR_NO_DROP");            // the handle that name answers

#include <cstdint>
#include <map>
#include <set>
#include <vector>

#include "QZFramework/ControlBase/ControlApplication.h"
#include "QZFramework/ControlBase/ControlFactory.h"
#include "QZFramework/Renderer/MeasurementRenderer.h"
#include "QZFramework/System/Clipboard.h"
#include "QZFramework/System/GlobalHotKeyManager.h"

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

  // --- What the controls did ---
  std::vector<QZ::WString> statusTexts;
  int32_t statusRestores = 0;
  std::vector<QZ::WString> messageBoxes;

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
  QZ::CursorHandle GetApplicationCursor(const QZ::WString& name) override { return Cursor(name); }
  QZ::PointT<int32_t> GetMouseScreenPosition() override { return mouseScreenPosition; }
  uint32_t GetMouseButtons() override { return mouseButtons; }
  bool IsKeyDown(int32_t virtualKey) override { return keysDown.count(virtualKey) != 0; }
  QZ::RCPtr<QZ::IRootWindow> GetActiveRootWindow() override { return activeRootWindow; }
  uint32_t GetRootWindowCount() override { return uint32_t(rootWindows.size()); }
  QZ::RCPtr<QZ::IRootWindow> GetRootWindowAt(uint32_t index) override {
    return index < rootWindows.size() ? rootWindows[index] : nullptr;
  }
  QZ::RectT<int32_t> GetScreenRect() override { return screenRect; }
  QZ::RCPtr<QZ::LGlobalHotKeyManager> GetGlobalHotKeyManager() override { return globalHotKeys; }
  QZ::RCPtr<QZ::LClipboard> GetClipboard() override { return clipboard; }
  QZ::QZResult SetStatusText(const QZ::WString& text) override {
    statusTexts.push_back(text);
    return QZ::QZ_OK;
  }
  QZ::QZResult RestoreStatusText() override {
    ++statusRestores;
    return QZ::QZ_OK;
  }
  int32_t ShowMessageBox(const QZ::WString& text, const QZ::WString&, uint32_t) override {
    messageBoxes.push_back(text);
    return messageBoxAnswer;
  }

private:
  std::map<QZ::WString, QZ::CursorHandle> mCursors;
};

} // namespace QZTest
