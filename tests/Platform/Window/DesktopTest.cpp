// The desktop (work area, resolution), message boxes, cursors and text conversion.

#include <cstdlib>
#include <functional>
#include <optional>
#include <string>
#include <tuple>

#include "Platform/Window/Display.h"
#include "Platform/Window/Input.h"
#include "Platform/Window/MessageBox.h"
#include "Platform/Window/TextConversion.h"
#include "WindowTestSupport.h"

namespace {

using namespace QZ::Platform::Window;

class DesktopTest : public QZTest::WindowLayerTest {};

// Sets an environment variable for the scope, restoring it after.
class ScopedVariable {
public:
  ScopedVariable(const char* name, const char* value) : mName(name) {
    if (const char* old = std::getenv(name)) {
      mOld = old;
    }
    if (value) {
      setenv(name, value, 1);
    } else {
      unsetenv(name);
    }
  }
  ~ScopedVariable() {
    if (mOld) {
      setenv(mName, mOld->c_str(), 1);
    } else {
      unsetenv(mName);
    }
  }

private:
  const char* mName;
  std::optional<std::string> mOld;
};

TEST(XftDpiTest, TheResourceIsFoundAmongOthersAndRounded) {
  const std::pair<const char*, std::optional<int32_t>> cases[] = {
      {"Xft.dpi:\t144\n", 144},
      {"Xcursor.size:\t24\nXft.antialias:\t1\nXft.dpi:\t96.6\nXft.hinting:\t1\n", 97},
      {"  Xft.dpi :  192  ", 192},
      {"Xft.dpi:\t0\n", std::nullopt},
      {"Xft.dpi:\tlarge\n", std::nullopt},
      {"Xft.dpix:\t120\n", std::nullopt},
      {"", std::nullopt},
  };
  for (const auto& [resources, dpi] : cases) {
    SCOPED_TRACE(resources);
    EXPECT_EQ(ParseXftDpi(resources), dpi);
  }
}

TEST(ScreenDpiTest, AnIntegerInQzDpiWinsAndNoDisplayMeans96) {
  ScopedVariable noDisplay("DISPLAY", nullptr);
  {
    ScopedVariable dpi("QZ_DPI", "168");
    EXPECT_EQ(GetScreenDpi(), 168);
  }
  for (const char* bad : {"0", "-5", "12x", ""}) {
    ScopedVariable dpi("QZ_DPI", bad);
    EXPECT_EQ(GetScreenDpi(), 96) << bad;
  }
}

TEST_F(DesktopTest, TheWorkAreaIsTheFirstDisplaysUsableArea) {
  script->usableBounds = {0, 27, 1280, 997};
  RECT area;
  ASSERT_TRUE(GetWorkArea(&area));
  EXPECT_EQ(area.top, 27);
  EXPECT_EQ(area.right, 1280);
  EXPECT_EQ(area.bottom, 1024);
}

TEST_F(DesktopTest, MessageBoxesGoToTheRecorderOrWithoutADisplayToStandardError) {
  std::vector<std::tuple<std::u16string, std::u16string, uint32_t>> boxes;
  SetMessageBoxRecorder([&](std::u16string_view text, std::u16string_view caption, uint32_t style) {
    boxes.emplace_back(text, caption, style);
    return 7;
  });
  EXPECT_EQ(ShowMessageBox(u"Startup failed.", u"Error", MB_ICONERROR), 7);
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0], std::make_tuple(std::u16string(u"Startup failed."), std::u16string(u"Error"), MB_ICONERROR));
  SetMessageBoxRecorder(nullptr);

  EXPECT_FALSE(IsMessageBoxRecorderInstalled());

  testing::internal::CaptureStderr();
  EXPECT_EQ(ShowMessageBox(u"Caf\u00E9 closed.", u"Note", MB_ICONINFORMATION), IDOK);
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "Note: Caf\xC3\xA9 closed.\n");
  // Nobody can answer a box written out: it answers as if cancelled.
  testing::internal::CaptureStderr();
  EXPECT_EQ(ShowMessageBox(u"Save?", u"Q", MB_YESNOCANCEL | MB_DEFBUTTON1), IDCANCEL);
  EXPECT_EQ(ShowMessageBox(u"Save?", u"Q", MB_YESNO), IDNO);
  EXPECT_EQ(ShowMessageBox(u"Failed.", u"Q", MB_ABORTRETRYIGNORE), IDABORT);
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "Q: Save?\nQ: Save?\nQ: Failed.\n");
}

// A display's message box as the layer meets it: the owner's loss of the focus to the box
// is read only once the box has closed; a focus request is granted, as the window system
// grants it, through the queue.
class BoxingBackend : public QZTest::ScriptedVideoBackend {
public:
  const char* GetCurrentVideoDriver() override { return "x11"; }
  int32_t ShowMessageBox(uint32_t style, const char* title, const char*, uint32_t owner,
                         const std::function<bool()>& whileShown) override {
    shown.push_back({title, owner});
    styles.push_back(style);
    Push(QZTest::WindowEvent(owner, SDL_WINDOWEVENT_FOCUS_LOST));
    // A box the caller takes down answers nothing.
    return whileShown && !whileShown() ? 0 : answer;
  }
  bool SetWindowInputFocus(uint32_t window) override {
    Push(QZTest::WindowEvent(window, SDL_WINDOWEVENT_FOCUS_GAINED));
    return ScriptedVideoBackend::SetWindowInputFocus(window);
  }
  // Reads what the window system said.
  void Read() {
    InputQueue queue;
    for (SDL_Event event; PollEvent(event);) {
      TranslateEvent(event, queue);
    }
  }
  std::vector<std::pair<std::string, uint32_t>> shown;
  std::vector<uint32_t> styles;
  int32_t answer = IDOK;
};

// Without a window manager nobody gives the focus back to the owner.
TEST(MessageBoxOnADisplayTest, TheOwnerTakesInputAgainOnceTheBoxCloses) {
  auto owned = std::make_unique<BoxingBackend>();
  BoxingBackend& backend = *owned;
  ASSERT_TRUE(Startup(std::move(owned)));
  QZTest::RecordingProcedure procedure;
  const HWND owner = CreateWindowEx(0, u"owner", WS_CAPTION | WS_VISIBLE, 0, 0, 100, 100, nullptr, &procedure);
  const uint32_t id = backend.SdlIdOf(owner);
  backend.Push(QZTest::WindowEvent(id, SDL_WINDOWEVENT_FOCUS_GAINED));
  backend.Read();
  ASSERT_EQ(GetActiveWindow(), owner);

  EXPECT_EQ(ShowMessageBox(u"Done.", u"Send Success", MB_ICONINFORMATION, owner), IDOK);
  ASSERT_EQ(backend.shown.size(), 1u);
  EXPECT_EQ(backend.shown[0], std::make_pair(std::string("Send Success"), id));
  EXPECT_EQ(GetActiveWindow(), owner);
  backend.Read();
  EXPECT_EQ(GetActiveWindow(), owner) << "the window system was asked to give the focus back";

  backend.focusRequests.clear();
  EXPECT_EQ(ShowMessageBox(u"No owner.", u"Note", MB_OK), IDOK);
  EXPECT_TRUE(backend.focusRequests.empty()) << "a box without an owner activates nothing";
  DestroyWindow(owner);
  Shutdown();
}

TEST(MessageBoxOnADisplayTest, TheStyleReachesTheDisplayAndABoxTakenDownAnswersAsCancelledWithoutAWord) {
  auto owned = std::make_unique<BoxingBackend>();
  BoxingBackend& backend = *owned;
  ASSERT_TRUE(Startup(std::move(owned)));
  backend.answer = IDNO;
  EXPECT_EQ(ShowMessageBox(u"Replace?", u"Load", MB_YESNOCANCEL | MB_DEFBUTTON2 | MB_ICONQUESTION), IDNO);
  ASSERT_EQ(backend.styles.size(), 1u);
  EXPECT_EQ(backend.styles[0], MB_YESNOCANCEL | MB_DEFBUTTON2 | MB_ICONQUESTION);

  int asked = 0;
  testing::internal::CaptureStderr();
  EXPECT_EQ(ShowMessageBox(u"Replace?", u"Load", MB_YESNO, nullptr,
                           [&asked] {
                             ++asked;
                             return false;
                           }),
            IDNO);
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
  EXPECT_GE(asked, 1);
  Shutdown();
}

TEST(MessageBoxWithoutLayerTest, NoDisplayMeansStandardError) {
  ScopedVariable noDisplay("DISPLAY", nullptr);
  ScopedVariable noWayland("WAYLAND_DISPLAY", nullptr);
  testing::internal::CaptureStderr();
  EXPECT_EQ(ShowMessageBox(u"text", u"caption", MB_OK), IDOK);
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "caption: text\n");
}

TEST_F(DesktopTest, CursorsAreSharedOrOwned) {
  const HCURSOR arrow = LoadCursor(IDC_ARROW);
  ASSERT_NE(arrow, nullptr);
  EXPECT_EQ(LoadCursor(IDC_ARROW), arrow);
  EXPECT_NE(LoadCursor(IDC_IBEAM), arrow);
  EXPECT_EQ(LoadCursor(12345), nullptr);
  EXPECT_FALSE(DestroyCursor(arrow)) << "shared";

  uint32_t pixels[4 * 4];
  std::fill(std::begin(pixels), std::end(pixels), 0xFF00FF00u);
  const HCURSOR own = CreateColorCursor(pixels, 4, 4, 16, 1, 1);
  ASSERT_NE(own, nullptr);
  EXPECT_EQ(CreateColorCursor(pixels, 4, 4, 8, 1, 1), nullptr) << "rows shorter than the width";
  EXPECT_EQ(SetCursor(own), nullptr);
  EXPECT_EQ(GetCursor(), own);
  EXPECT_FALSE(DestroyCursor(own)) << "current";
  EXPECT_EQ(SetCursor(arrow), own);
  EXPECT_TRUE(DestroyCursor(own));
  EXPECT_FALSE(DestroyCursor(own));

  // The display count hides the cursor below 0; removing the cursor hides it too.
  script->cursorShows = 0;
  EXPECT_EQ(ShowCursor(false), -1);
  EXPECT_EQ(ShowCursor(true), 0);
  EXPECT_EQ(script->cursorShows, 0) << "hidden, then shown";
  SetCursor(nullptr);
  EXPECT_EQ(ShowCursor(true), 1);
  EXPECT_EQ(script->cursorShows, -2) << "no cursor to show";

  script->mouseX = 12;
  script->mouseY = 34;
  POINT point;
  ASSERT_TRUE(GetCursorPos(&point));
  EXPECT_EQ(point.x, 12);
  EXPECT_TRUE(SetCursorPos(5, 6));
  EXPECT_EQ(script->mouseY, 6);
}

TEST(TextConversionTest, RoundTripsAndReplacesWhatIsMalformed) {
  const std::u16string text = u"Pr\u00E9set \u65E5\u672C \xD83D\xDE00";
  EXPECT_EQ(ToUtf8(text), "Pr\xC3\xA9set \xE6\x97\xA5\xE6\x9C\xAC \xF0\x9F\x98\x80");
  EXPECT_EQ(ToUtf16(ToUtf8(text)), text);
  EXPECT_EQ(ToUtf8(u"a\xD800z"), "a\xEF\xBF\xBDz");
  EXPECT_EQ(ToUtf16("a\xC0\xAFz"), u"a\uFFFD\uFFFDz") << "an overlong form";
  EXPECT_EQ(ToUtf16("\xED\xA0\x80"), u"\uFFFD\uFFFD\uFFFD") << "an encoded surrogate";
  EXPECT_EQ(ToUtf16("\xF4\x90\x80\x80"), u"\uFFFD\uFFFD\uFFFD\uFFFD") << "beyond U+10FFFF";
}

} // namespace
