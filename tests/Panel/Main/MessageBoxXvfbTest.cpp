// The editor's message boxes in both shipped skins on the X server of the Xvfb fixture
// ("Skin1" at 96 dots per inch on its first screen, "HighDPI" at 192 on its second): every
// icon style and button row, a long text and a text of many lines, each as the screen shows
// it (kept in the build folder as <skin>-messageBox-<name>.png), inside the screen, centred
// on the main window unless the screen holds it elsewhere, its icon drawn in its colour,
// every button's text whole; Return answers the default button.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>

#include "Platform/Window/MessageBoxStyle.h"
#include "QZFramework/Controls/Button.h"
#include "QZFramework/Controls/MessageBoxDialog.h"
#include "Resources/SkinArt/Palette.h"
#include "ShippedEditorWindow.h"
#include "Support/ImageCompare.h"

// Last: X11's macros (None, Bool, Status...) would break the headers above.
#include "Support/XvfbSupport.h"

namespace QZTest {
namespace {

namespace Gfx = QZ::Platform::Graphics;
namespace Palette = QZ::SkinArt::Palette;

struct Screen {
  const char* skin;
  const char* dpi;
  int number; // of the fixture's screens
};

struct Case {
  const char* name;
  uint32_t style;
  std::u16string text;
  uint32_t iconColour; // 0: no icon
};

std::u16string LongText() {
  std::u16string text;
  while (text.size() < 2000) {
    text += u"The preset file could not be read: its data ends before its last parameter. ";
  }
  return text;
}

std::u16string ManyLines() {
  std::u16string text;
  for (int line = 1; line <= 40; ++line) {
    text += u"Parameter " + std::u16string(1, char16_t(u'A' + line % 26)) + u": value out of range\n";
  }
  return text;
}

class MessageBoxXvfbTest : public ShippedEditorFixture, public ::testing::WithParamInterface<Screen> {
protected:
  MessageBoxXvfbTest() { realWindows = true; }

  void SetUp() override {
    ASSERT_TRUE(UseXvfbDisplay()) << "runs under the Xvfb fixture";
    environment.Set("DISPLAY", std::string(std::getenv("DISPLAY")) + "." + std::to_string(GetParam().number));
    ASSERT_EQ(Xdotool({"mousemove", "--screen", std::to_string(GetParam().number), "0", "0"}), 0); // nothing hovered
    ShippedEditorFixture::SetUp();
    std::filesystem::create_directories(QZ_EDITOR_APP_TEST_OUTPUT);
  }

  // xdotool on the test's screen (DISPLAY names it).
  static int Xdotool(std::vector<std::string> arguments) {
    arguments.insert(arguments.begin(), "xdotool");
    return RunProgram(arguments);
  }

  bool PumpUntil(const std::function<bool()>& done) {
    return QZTest::PumpUntil(
        done, [this] { app->DoIdleWork(true); }, 20000); // whether more waits
  }
  void Settle() override {
    EXPECT_TRUE(PumpUntil([this] { return !Win::GetUpdateRect(hwnd, nullptr, false); })) << "the window never painted";
    ShippedEditorFixture::Settle();
  }

  // Where a window's client area lies on its X screen.
  static QZ::RectT<int> ScreenRect(Win::HWND window) {
    Display* x = nullptr;
    ::Window X = 0;
    int left = 0;
    int top = 0;
    ::Window child = 0;
    XWindowAttributes attributes{};
    if (!FindXWindow(window, x, X) || !XGetWindowAttributes(x, X, &attributes) ||
        !XTranslateCoordinates(x, X, attributes.root, 0, 0, &left, &top, &child)) {
      return {};
    }
    return {left, top, attributes.width, attributes.height};
  }

  // Shows the box of c, checks and keeps its picture once it is painted, then answers it
  // with Return: the box's answer.
  int32_t ShowAndCheck(const Case& c) {
    bool shot = false;
    bool answered = false;
    const QZ::RCPtr<CallbackListener> idle(new CallbackListener([&] {
      for (const QZ::RCPtr<QZ::LRootWindow>& window : app->GetRootWindows()) {
        const QZ::RCPtr<QZ::LMessageBoxDialog> box = QZ::DynamicCast<QZ::LMessageBoxDialog>(window->GetRootControl());
        if (shot || !box || !window->GetOSServices()) {
          continue;
        }
        const auto boxWindow = static_cast<Win::HWND>(window->GetOSServices()->GetHandle());
        if (Win::IsWindowVisible(boxWindow) && !Win::GetUpdateRect(boxWindow, nullptr, false) &&
            Win::GetFocus() == boxWindow) {
          shot = true;
          Check(c, *box, boxWindow);
          answered = Xdotool({"key", "Return"}) == 0;
        }
      }
    }));
    idle->RegisterNotification(QZ::RCPtr<QZ::LNotificationDistributor>(centre()), u"NID_IDLE");
    const int32_t answer = app->ShowMessageBox(QZ::WString(c.text.c_str()), QZ::WString(u"Preset File Load"), c.style);
    idle->ReleaseInternalReferences();
    EXPECT_TRUE(shot && answered) << c.name << ": the box never showed";
    Settle();
    return answer;
  }

  void Check(const Case& c, QZ::LMessageBoxDialog& box, Win::HWND boxWindow) {
    SCOPED_TRACE(c.name);
    const std::string name = std::string(GetParam().skin) + "-messageBox-" + c.name;
    Display* x = nullptr;
    ::Window X = 0;
    ASSERT_TRUE(FindXWindow(boxWindow, x, X));
    const QZ::RectT<int> rect = ScreenRect(boxWindow);
    const QZ::RectT<int> owner = ScreenRect(hwnd);
    XSync(x, False);
    const std::unique_ptr<Gfx::Image> shot = XWindowImage(x, X, rect.width, rect.height);
    ASSERT_TRUE(shot);
    EXPECT_TRUE(WritePng(*shot, std::string(QZ_EDITOR_APP_TEST_OUTPUT) + "/" + name + ".png"));
    // On the screen.
    XWindowAttributes attributes{};
    ASSERT_TRUE(XGetWindowAttributes(x, X, &attributes));
    const int screenWidth = WidthOfScreen(attributes.screen);
    const int screenHeight = HeightOfScreen(attributes.screen);
    EXPECT_GE(rect.x, 0);
    EXPECT_GE(rect.y, 0);
    EXPECT_LE(rect.x + rect.width, screenWidth);
    EXPECT_LE(rect.y + rect.height, screenHeight);
    // Centred on the main window, then moved into the work area the window system tells (on
    // the fixture's second screen, its first screen's).
    const QZ::RectT<int32_t> area = app->GetDesktopWorkArea();
    const auto held = [](int at, int length, int from, int extent) {
      return std::max(from, std::min(at, from + extent - length));
    };
    EXPECT_NEAR(rect.x, held(owner.x + (owner.width - rect.width) / 2, rect.width, area.x, area.width), 2);
    EXPECT_NEAR(rect.y, held(owner.y + (owner.height - rect.height) / 2, rect.height, area.y, area.height), 2);
    EXPECT_LE(rect.width, area.width);
    EXPECT_LE(rect.height, area.height);
    // The icon in its colour, or none; every button's text whole.
    const QZ::RCPtr<QZ::LControl> icon = box.FindChildByName(u"labelIcon");
    EXPECT_EQ(icon->IsShown(true), c.iconColour != 0);
    if (c.iconColour != 0) {
      EXPECT_GT(ColourPixels(*shot, *icon, c.iconColour), icon->GetRect().width * icon->GetRect().height / 4);
    }
    int buttons = 0;
    for (const char16_t* button :
         {u"buttonOK", u"buttonCancel", u"buttonAbort", u"buttonRetry", u"buttonIgnore", u"buttonYes", u"buttonNo"}) {
      const QZ::RCPtr<QZ::LControl> shown = box.FindChildByName(QZ::WString(button));
      if (shown && shown->IsShown(true)) {
        ++buttons;
        EXPECT_FALSE(shown->IsTextTruncated()) << Utf8(shown->GetText());
        EXPECT_LE(shown->GetRect().x + shown->GetRect().width, rect.width);
      }
    }
    EXPECT_EQ(buttons, Win::ButtonsOfStyle(c.style).count);
  }

  // Pixels near colour (each channel within 40) in the control's rectangle of its window's
  // picture.
  static int ColourPixels(Gfx::Image& shot, const QZ::LControl& control, uint32_t colour) {
    const QZ::PointT<double> at = control.GetWindowPosition();
    int found = 0;
    for (int y = int(at.y); y < int(at.y + control.GetRect().height) && y < shot.Height(); ++y) {
      for (int x = int(at.x); x < int(at.x + control.GetRect().width) && x < shot.Width(); ++x) {
        Gfx::Color seen;
        (void)shot.GetPixel(x, y, seen); // inside the image
        found += std::abs(seen.R() - int((colour >> 16) & 0xFF)) <= 40 &&
                 std::abs(seen.G() - int((colour >> 8) & 0xFF)) <= 40 && std::abs(seen.B() - int(colour & 0xFF)) <= 40;
      }
    }
    return found;
  }

  static std::string Utf8(const QZ::WString& text) { return text.ToUTF8().GetBuffer(); }
};

TEST_P(MessageBoxXvfbTest, EveryStyleShowsInTheSkinsLookOnTheScreenAndReturnAnswersTheDefaultButton) {
  Start(GetParam().dpi);
  Win::SetMessageBoxRecorder({}); // the boxes show
  const std::u16string failed = u"Preset file is not compatible with this version of the editor";
  const Case cases[] = {
      {"plain", 0, u"The user guide could not be opened.", 0},
      {"error", Win::MB_ICONERROR, failed, Palette::kError},
      {"question", Win::MB_YESNO | Win::MB_ICONQUESTION, u"Replace the preset you are editing?", Palette::kAccent},
      {"warning", Win::MB_OKCANCEL | Win::MB_ICONWARNING, u"The keyboard did not answer. Send again?",
       Palette::kWarning},
      {"information", Win::MB_ICONINFORMATION, u"The preset was sent to the keyboard.", Palette::kAccent},
      {"abortRetryIgnore", Win::MB_ABORTRETRYIGNORE | Win::MB_ICONERROR | Win::MB_DEFBUTTON2, failed, Palette::kError},
      {"yesNoCancel", Win::MB_YESNOCANCEL | Win::MB_ICONQUESTION | Win::MB_DEFBUTTON3,
       u"Save the changes to the preset before it is replaced?", Palette::kAccent},
      {"retryCancel", Win::MB_RETRYCANCEL | Win::MB_ICONWARNING, u"The keyboard is not connected.", Palette::kWarning},
      {"longText", Win::MB_ICONERROR, LongText(), Palette::kError},
      {"manyLines", Win::MB_ICONWARNING, ManyLines(), Palette::kWarning},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ShowAndCheck(c), Win::DefaultAnswer(c.style)) << c.name;
  }
  DropApplication();
}

INSTANTIATE_TEST_SUITE_P(Skins, MessageBoxXvfbTest,
                         ::testing::Values(Screen{"Skin1", "96", 0}, Screen{"HighDPI", "192", 1}),
                         [](const ::testing::TestParamInfo<Screen>& tested) { return std::string(tested.param.skin); });

} // namespace
} // namespace QZTest
