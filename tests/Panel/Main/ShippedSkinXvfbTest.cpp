// The editor's main window in both shipped skins on the X server of the Xvfb fixture,
// driven by the pointer and the keyboard as a user drives it: "Skin1" at 96 dots per inch
// on the fixture's first screen (1280 x 1024), "HighDPI" at 192 on its second (2560 x
// 1800). Pictures of the start, knob 3 selected, the chord tab, the global tab, a tool
// tip, the open File menu, the Send dialog, About and the 25-key model are kept in the
// build folder; each is what the X server shows and equals the window's own pixels; the
// selected knob shows the accent; the window is titled "Quorin ZTR Preset Editor". The open
// Help menu is kept too: its User Guide hands the browser (a stand-in xdg-open) the guide
// the build put beside its programs, as a local address.

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "Platform/Window/VideoBackend.h"
#include "QZFramework/Controls/Dialog.h"
#include "QZFramework/Controls/ListBoxItem.h"
#include "QZFramework/Controls/PopupMenu.h"
#include "ShippedEditorWindow.h"
#include "Support/ImageCompare.h"
#include "Support/StandInPrograms.h"

// Last: X11's macros (None, Bool, Status...) would break the headers above.
#include <SDL2/SDL_syswm.h>

#include "Support/XvfbSupport.h"
#include "Support/XvfbWindowProperty.h"

#include "Support/OpenboxSession.h"

namespace QZTest {
namespace {

namespace Gfx = QZ::Platform::Graphics;
using namespace std::chrono_literals;

struct Screen {
  const char* skin;
  const char* dpi;
  int number; // of the fixture's screens
};

class ShippedSkinXvfbTest : public ShippedEditorFixture, public ::testing::WithParamInterface<Screen> {
protected:
  ShippedSkinXvfbTest() { realWindows = true; }

  void SetUp() override {
    ASSERT_TRUE(UseXvfbDisplay()) << "runs under the Xvfb fixture";
    display = std::getenv("DISPLAY");
    environment.Set("DISPLAY", display + "." + std::to_string(GetParam().number));
    // The pointer starts off the window: nothing is hovered.
    ASSERT_EQ(Xdotool({"mousemove", "--screen", std::to_string(GetParam().number), "0", "0"}), 0);
    ShippedEditorFixture::SetUp();
    std::filesystem::create_directories(QZ_EDITOR_APP_TEST_OUTPUT);
  }
  void TearDown() override { ShippedEditorFixture::TearDown(); }

  // xdotool on the test's screen.
  int Xdotool(std::vector<std::string> arguments) const {
    arguments.insert(arguments.begin(), "xdotool");
    return RunProgram(arguments);
  }

  // The X display and window of an OS window.
  static std::pair<Display*, ::Window> XWindowOf(Win::HWND window) {
    Display* x = nullptr;
    ::Window X = 0;
    return FindXWindow(window, x, X) ? std::pair{x, X} : std::pair<Display*, ::Window>{nullptr, 0};
  }

  // The window's title as window managers read it (UTF-8); empty without one.
  static std::string WindowTitle(Display* x, ::Window window) {
    return XTextProperty(x, window, XInternAtom(x, "_NET_WM_NAME", False));
  }

  // The point of the control's middle on the X screen.
  static std::pair<int, int> ScreenPointOf(const QZ::LControl& control, Win::HWND window) {
    const auto [x, X] = XWindowOf(window);
    int rootX = 0;
    int rootY = 0;
    ::Window child = 0;
    XTranslateCoordinates(x, X, DefaultRootWindow(x), 0, 0, &rootX, &rootY, &child);
    const QZ::PointT<double> at = control.GetWindowPosition();
    return {rootX + int(at.x + control.GetRect().width / 2), rootY + int(at.y + control.GetRect().height / 2)};
  }

  // Takes, translates and dispatches messages, running the idle passes, until done holds;
  // false after 20 s.
  bool PumpUntil(const std::function<bool()>& done) {
    return QZTest::PumpUntil(
        done, [this] { app->DoIdleWork(true); }, 20000); // whether more waits
  }

  void Settle() override {
    EXPECT_TRUE(PumpUntil([this] { return !Win::GetUpdateRect(hwnd, nullptr, false); })) << "the window never painted";
    ShippedEditorFixture::Settle();
  }

  // The pointer moves to the control's middle and clicks; done when the control heard it.
  void Click(const QZ::RCPtr<QZ::LControl>& control) override {
    ASSERT_TRUE(control) << "a click on no control";
    bool heard = false;
    const QZ::RCPtr<CallbackListener> listener(new CallbackListener([&heard] { heard = true; }));
    listener->RegisterNotification(QZ::RCPtr<QZ::LNotificationDistributor>(control.Get()), u"NID_LEFT_CLICK");
    const auto [x, y] = ScreenPointOf(*control, hwnd);
    ASSERT_EQ(Xdotool({"mousemove", "--screen", std::to_string(GetParam().number), std::to_string(x), std::to_string(y),
                       "click", "1"}),
              0);
    EXPECT_TRUE(PumpUntil([&heard] { return heard; })) << control->GetName().ToUTF8().GetBuffer() << " heard no click";
    listener->ReleaseInternalReferences();
    Settle();
  }

  // The window as the X server shows it, kept as <skin>-<name>.png; the test fails unless
  // it equals the window's own pixels.
  std::unique_ptr<Gfx::Image> Shoot(const std::string& name, Win::HWND window) {
    EXPECT_TRUE(PumpUntil([window] { return !Win::GetUpdateRect(window, nullptr, false); })) << name;
    const auto [x, X] = XWindowOf(window);
    Win::WindowPixels pixels;
    if (!x || !Win::GetWindowPixels(window, pixels)) {
      ADD_FAILURE() << name << ": the window has no pixels";
      return nullptr;
    }
    XSync(x, False);
    std::unique_ptr<Gfx::Image> shot = XWindowImage(x, X, pixels.width, pixels.height);
    if (!shot) {
      ADD_FAILURE() << name << ": no picture";
      return nullptr;
    }
    EXPECT_TRUE(WritePng(*shot, std::string(QZ_EDITOR_APP_TEST_OUTPUT) + "/" + GetParam().skin + "-" + name + ".png"));
    int differing = 0;
    for (int row = 0; row < pixels.height; ++row) {
      const auto* words =
          reinterpret_cast<const uint32_t*>(static_cast<const uint8_t*>(pixels.pixels) + ptrdiff_t(row) * pixels.pitch);
      for (int column = 0; column < pixels.width; ++column) {
        Gfx::Color seen;
        (void)shot->GetPixel(column, row, seen); // inside the image
        const Gfx::Color own{0xFF000000u | words[column]};
        differing +=
            std::abs(seen.R() - own.R()) > 2 || std::abs(seen.G() - own.G()) > 2 || std::abs(seen.B() - own.B()) > 2;
      }
    }
    EXPECT_EQ(differing, 0) << name << ": the screen differs from the window's pixels";
    return shot;
  }

  // Pixels of the accent's hue (a saturated blue, the accent itself or blended with the
  // grey below it) in the control's rectangle of the picture of its window.
  static int AccentPixels(Gfx::Image& shot, const QZ::LControl& control) {
    const QZ::PointT<double> at = control.GetWindowPosition();
    int found = 0;
    for (int y = std::max(int(at.y), 0); y < std::min(int(at.y + control.GetRect().height), shot.Height()); ++y) {
      for (int x = std::max(int(at.x), 0); x < std::min(int(at.x + control.GetRect().width), shot.Width()); ++x) {
        Gfx::Color seen;
        (void)shot.GetPixel(x, y, seen); // inside the image
        found += seen.B() >= 180 && seen.B() - seen.R() >= 90 && seen.G() >= 120;
      }
    }
    return found;
  }

  // The shown pop-up menu of the main menu; null when none is open.
  QZ::RCPtr<QZ::LControl> OpenMenu() const {
    QZ::RCPtrArray<QZ::LControl, 1, 0> all;
    Find("mainMenu")->CollectDescendants(all);
    for (uint32_t i = 0; i < all.GetCount(); ++i) {
      if (QZ::DynamicCast<QZ::LPopupMenu>(all.GetAt(i)) && all.GetAt(i)->IsShown(true)) {
        return all.GetAt(i);
      }
    }
    return nullptr;
  }

  // The shown tool tip of the main window; null when none is.
  QZ::RCPtr<QZ::LControl> ShownToolTip() const {
    QZ::RCPtrArray<QZ::LControl, 1, 0> all;
    Top()->CollectDescendants(all);
    for (uint32_t i = 0; i < all.GetCount(); ++i) {
      if (QZ::DynamicCast<QZ::LToolTip>(all.GetAt(i)) && all.GetAt(i)->IsShown(true)) {
        return all.GetAt(i);
      }
    }
    return nullptr;
  }

  // The pointer to the middle of control, on the test's screen.
  void PointAt(const QZ::LControl& control) {
    const auto [x, y] = ScreenPointOf(control, hwnd);
    ASSERT_EQ(
        Xdotool({"mousemove", "--screen", std::to_string(GetParam().number), std::to_string(x), std::to_string(y)}), 0);
  }

  // The title of the main menu showing text.
  QZ::RCPtr<QZ::LControl> MenuTitle(const char16_t* text) const {
    const QZ::LControl::ChildControlList& titles = Find("mainMenu")->GetChildren();
    for (uint32_t i = 0; i < titles.GetCount(); ++i) {
      if (titles.GetAt(i, QZ::LControl::ChildControlList::kInsertionOrder)->GetText() == QZ::WString(text)) {
        return titles.GetAt(i, QZ::LControl::ChildControlList::kInsertionOrder);
      }
    }
    return nullptr;
  }

  // The pointer moves to the middle of control and clicks, without waiting for anything.
  void PointAndClick(const QZ::LControl& control) {
    const auto [x, y] = ScreenPointOf(control, hwnd);
    ASSERT_EQ(Xdotool({"mousemove", "--screen", std::to_string(GetParam().number), std::to_string(x), std::to_string(y),
                       "click", "1"}),
              0);
  }

  // Opens the Help menu with the pointer: its row whose text starts with row; null when the
  // menu did not open or has no such row.
  QZ::RCPtr<QZ::LControl> OpenHelpMenu(std::u16string_view row) {
    // Without a window manager too, the main window takes clicks as soon as a dialog before
    // has gone.
    const QZ::RCPtr<QZ::LControl> help = MenuTitle(u"Help");
    EXPECT_TRUE(help);
    if (help) {
      PointAndClick(*help);
    }
    EXPECT_TRUE(PumpUntil([this] { return OpenMenu() != nullptr; })) << "the Help menu did not open";
    const QZ::RCPtr<QZ::LControl> menu = OpenMenu();
    QZ::RCPtrArray<QZ::LControl, 1, 0> rows;
    if (menu) {
      menu->CollectDescendants(rows);
    }
    for (uint32_t i = 0; i < rows.GetCount(); ++i) {
      if (QZ::DynamicCast<QZ::LMenuListBoxItem>(rows.GetAt(i)) && rows.GetAt(i)->GetText().View().starts_with(row)) {
        return rows.GetAt(i);
      }
    }
    ADD_FAILURE() << "no such row in the Help menu";
    return nullptr;
  }

  // Runs shoot inside the modal loop of the next dialog named name once it is painted, then
  // ends the dialog; done when the dialog has gone.
  void WhileDialogShows(const char16_t* name, const std::function<void()>& open,
                        const std::function<void(Win::HWND)>& shoot) {
    bool shot = false;
    const QZ::RCPtr<CallbackListener> idle(new CallbackListener([&] {
      for (const QZ::RCPtr<QZ::LRootWindow>& window : app->GetRootWindows()) {
        const QZ::RCPtr<QZ::LControl> top = window->GetRootControl();
        const QZ::RCPtr<QZ::LDialog> dialog = QZ::DynamicCast<QZ::LDialog>(top);
        if (shot || !dialog || top->GetName() != QZ::WString(name) || !window->GetOSServices()) {
          continue;
        }
        const auto dialogWindow = static_cast<Win::HWND>(window->GetOSServices()->GetHandle());
        if (Win::IsWindowVisible(dialogWindow) && !Win::GetUpdateRect(dialogWindow, nullptr, false)) {
          shot = true;
          shoot(dialogWindow);
          dialog->EndDialog(QZ::LDialog::kResultOK);
        }
      }
    }));
    idle->RegisterNotification(QZ::RCPtr<QZ::LNotificationDistributor>(centre()), u"NID_IDLE");
    open();
    EXPECT_TRUE(PumpUntil([&shot] { return shot; })) << "no dialog showed";
    idle->ReleaseInternalReferences();
    Settle();
  }

  // The editor hosts the virtual keyboard of its model (QZ_VIRTUAL_KEYBOARD is set): the
  // send command waits for its ports.
  std::string display;
};

TEST_P(ShippedSkinXvfbTest, TheWindowsStatesAsTheScreenShowsThemInTheSkinOfTheResolution) {
  Start(GetParam().dpi);
  ASSERT_EQ(app->GetCurrentSkinIndex(), std::string(GetParam().skin) == "HighDPI" ? 0 : 1);
  const auto [x, X] = XWindowOf(hwnd);
  ASSERT_TRUE(x);
  EXPECT_EQ(WindowTitle(x, X), "Quorin ZTR Preset Editor");
  Shoot("start", hwnd);

  SelectElement(2);
  const QZ::RCPtr<QZ::LControl> knob = Find(std::string(kPicturePath) + "/knobGroup/knob3/button");
  if (const std::unique_ptr<Gfx::Image> shot = Shoot("knob3", hwnd)) {
    EXPECT_GT(AccentPixels(*shot, *knob), 40) << "the selected knob shows the accent";
    EXPECT_EQ(AccentPixels(*shot, *Find(std::string(kPicturePath) + "/knobGroup/knob4/button")), 0);
  }

  SelectElement(1);
  Click(Find(std::string(kEditPanelPath) + "/keyboard/tabControl/buttonHolder/chord"));
  Shoot("chord", hwnd);

  SelectMainTab("globalPresetEditor");
  Shoot("global", hwnd);
  SelectMainTab("userPresetEditor");

  // The pointer rests on knob 4: its tip shows what the knob sends.
  PointAt(*Find(std::string(kPicturePath) + "/knobGroup/knob4/button"));
  ASSERT_TRUE(PumpUntil([this] { return ShownToolTip() != nullptr; })) << "no tool tip showed";
  Shoot("toolTip", hwnd);
  PointAt(*Find(std::string(kPicturePath) + "/productBodyImage"));
  ASSERT_TRUE(PumpUntil([this] { return ShownToolTip() == nullptr; })) << "the tool tip stayed";

  const QZ::RCPtr<QZ::LControl> file = MenuTitle(u"File");
  ASSERT_TRUE(file);
  const auto [fileX, fileY] = ScreenPointOf(*file, hwnd);
  ASSERT_EQ(Xdotool({"mousemove", "--screen", std::to_string(GetParam().number), std::to_string(fileX),
                     std::to_string(fileY), "click", "1"}),
            0);
  ASSERT_TRUE(PumpUntil([this] { return OpenMenu() != nullptr; })) << "the File menu did not open";
  Shoot("fileMenu", hwnd);
  // A second click on its title closes it.
  ASSERT_EQ(Xdotool({"click", "1"}), 0);
  ASSERT_TRUE(PumpUntil([this] { return OpenMenu() == nullptr; })) << "the File menu did not close";

  WhileDialogShows(
      u"dialogSendPreset",
      [this] {
        ASSERT_TRUE(PumpUntil([this] { return app->GetMidiManager() && app->GetMidiManager()->ArePortsOpen(); }))
            << "the keyboard's ports did not open";
        ASSERT_EQ(Xdotool({"key", "ctrl+shift+s"}), 0);
      },
      [this](Win::HWND dialog) { Shoot("sendDialog", dialog); });

  WhileDialogShows(
      u"dialogAbout",
      [this] {
        const QZ::RCPtr<QZ::LControl> about = OpenHelpMenu(u"About");
        ASSERT_TRUE(about);
        PointAndClick(*about);
      },
      [this](Win::HWND dialog) { Shoot("about", dialog); });

  // The 25-key model: its picture without faders and buttons 2 to 9.
  SelectModel(0);
  Shoot("model25", hwnd);
  DropApplication();
}

// Under a window manager: the slot list of the send and the retrieve dialog opens whole, RAM
// and Preset 1 to 10 at once inside the dialog; About takes Enter on OK.
TEST_P(ShippedSkinXvfbTest, UnderAWindowManagerTheSlotListsOpenWholeAndAboutClosesOnEnter) {
  Display* screen = XOpenDisplay((display + "." + std::to_string(GetParam().number)).c_str());
  ASSERT_NE(screen, nullptr);
  {
    OpenboxSession manager(screen);
    ASSERT_TRUE(manager.Running());
    StandInPrograms programs;
    programs.AddRecorder("xdg-open");
    Start(GetParam().dpi);
    ASSERT_EQ(app->GetCurrentSkinIndex(), std::string(GetParam().skin) == "HighDPI" ? 0 : 1);
    ASSERT_TRUE(PumpUntil([this] { return app->GetMidiManager() && app->GetMidiManager()->ArePortsOpen(); }))
        << "the keyboard's ports did not open";
    for (const auto& [name, keys, picture] :
         {std::tuple{u"dialogSendPreset", "ctrl+shift+s", "sendSlots"},
          std::tuple{u"dialogRetrievePresetFromHardware", "ctrl+shift+r", "retrieveSlots"}}) {
      SCOPED_TRACE(picture);
      WhileDialogShows(
          name,
          [keys = keys, this] {
            ASSERT_EQ(Xdotool({"key", keys}), 0);
          },
          [picture = picture, this](Win::HWND dialog) {
            QZ::RCPtr<QZ::LRootWindow> root;
            for (const QZ::RCPtr<QZ::LRootWindow>& window : app->GetRootWindows()) {
              if (window->GetOSServices() && window->GetOSServices()->GetHandle() == dialog) {
                root = window;
              }
            }
            ASSERT_TRUE(root);
            const QZ::RCPtr<QZ::LControl> slots =
                root->GetRootControl()->FindChildByName(u"presetSlot")->FindChildByName(u"comboBox");
            const QZ::RCPtr<QZ::LControl> list = slots->FindChildByName(u"listBox");
            ASSERT_TRUE(slots && list);
            const auto [x, y] = ScreenPointOf(*slots, dialog);
            ASSERT_EQ(Xdotool({"mousemove", "--screen", std::to_string(GetParam().number), std::to_string(x),
                               std::to_string(y), "click", "1"}),
                      0);
            ASSERT_TRUE(PumpUntil([&list] { return list->IsShown(true); })) << "the slot list did not open";
            Shoot(picture, dialog);
            Win::RECT client;
            ASSERT_TRUE(Win::GetClientRect(dialog, &client));
            std::vector<std::u16string> shown;
            QZ::RCPtrArray<QZ::LControl, 1, 0> rows;
            list->CollectDescendants(rows);
            for (uint32_t i = 0; i < rows.GetCount(); ++i) {
              const QZ::RCPtr<QZ::LControl> row = rows.GetAt(i);
              if (!QZ::DynamicCast<QZ::LListBoxItem>(row) || !row->IsShown(true) || row->GetText().IsEmpty()) {
                continue;
              }
              const QZ::PointT<double> at = row->GetWindowPosition();
              const QZ::PointT<double> listAt = list->GetWindowPosition();
              // Whole: inside the list and inside the dialog's window.
              if (at.y >= listAt.y - 0.5 && at.y + row->GetRect().height <= listAt.y + list->GetRect().height + 0.5 &&
                  at.y >= -0.5 && at.y + row->GetRect().height <= client.bottom + 0.5) {
                shown.push_back(std::u16string(row->GetText().View()));
              }
            }
            EXPECT_EQ(shown, (std::vector<std::u16string>{u"RAM", u"Preset 1", u"Preset 2", u"Preset 3", u"Preset 4",
                                                          u"Preset 5", u"Preset 6", u"Preset 7", u"Preset 8",
                                                          u"Preset 9", u"Preset 10"}));
            ASSERT_EQ(Xdotool({"key", "Escape"}), 0);
            EXPECT_TRUE(PumpUntil([&list] { return !list->IsShown(true); })) << "the slot list did not close";
          });
    }

    // About: OK has the first focus, so Enter closes the box and opens no page.
    int32_t result = -1;
    const QZ::RCPtr<CallbackListener> opened(new CallbackListener([&] {
      for (const QZ::RCPtr<QZ::LRootWindow>& window : app->GetRootWindows()) {
        const QZ::RCPtr<QZ::LDialog> about = QZ::DynamicCast<QZ::LDialog>(window->GetRootControl());
        // Once the window is shown and has given its first focus.
        if (result == -1 && about && about->GetName() == QZ::WString(u"dialogAbout") && window->GetOSServices() &&
            Win::IsWindowVisible(static_cast<Win::HWND>(window->GetOSServices()->GetHandle())) &&
            window->GetFocusedControl()) {
          result = 0;
          EXPECT_EQ(window->GetFocusedControl(), about->FindChildByName(u"buttonOK"));
          EXPECT_EQ(Xdotool({"key", "Return"}), 0);
        }
      }
    }));
    opened->RegisterNotification(QZ::RCPtr<QZ::LNotificationDistributor>(centre()), u"NID_IDLE");
    const QZ::RCPtr<QZ::LControl> aboutRow = OpenHelpMenu(u"About");
    ASSERT_TRUE(aboutRow);
    PointAndClick(*aboutRow);
    EXPECT_TRUE(PumpUntil([&] {
      if (result != 0) {
        return false;
      }
      for (const QZ::RCPtr<QZ::LRootWindow>& window : app->GetRootWindows()) {
        if (window->GetRootControl() && window->GetRootControl()->GetName() == QZ::WString(u"dialogAbout")) {
          return false;
        }
      }
      return true;
    })) << "About did not close on Enter";
    opened->ReleaseInternalReferences();
    EXPECT_TRUE(programs.Runs("xdg-open").empty()) << "Enter opened the support page";
    DropApplication();
  }
  XCloseDisplay(screen);
}

// The bytes that a local address's percent signs stand for.
std::string PercentDecoded(const std::string& address) {
  std::string decoded;
  for (size_t i = 0; i < address.size(); ++i) {
    if (address[i] == '%' && i + 2 < address.size()) {
      decoded += char(std::stoi(address.substr(i + 1, 2), nullptr, 16));
      i += 2;
    } else {
      decoded += address[i];
    }
  }
  return decoded;
}

TEST_P(ShippedSkinXvfbTest, HelpsUserGuideHandsTheBrowserTheLocalAddressOfTheGuideTheBuildShips) {
  StandInPrograms programs;
  programs.AddRecorder("xdg-open");
  Start(GetParam().dpi);
  const QZ::RCPtr<QZ::LControl> userGuide = OpenHelpMenu(u"User Guide");
  ASSERT_TRUE(userGuide);
  Shoot("helpMenu", hwnd);
  PointAndClick(*userGuide);
  ASSERT_TRUE(PumpUntil([&] { return !programs.Runs("xdg-open").empty() || !boxes.empty(); }))
      << "the menu row did nothing";
  EXPECT_TRUE(boxes.empty()) << "a box in place of the guide";
  const std::vector<std::vector<std::string>> runs = programs.Runs("xdg-open");
  ASSERT_EQ(runs.size(), 1u);
  ASSERT_EQ(runs[0].size(), 1u);
  ASSERT_TRUE(runs[0][0].starts_with("file:///")) << runs[0][0];
  // The test program lives in the build folder's "tests", as an installed one in "bin".
  const std::filesystem::path guide = PercentDecoded(runs[0][0].substr(7));
  EXPECT_EQ(guide, std::filesystem::path(QZ_TEST_BUILD_FOLDER) / "share/doc/quorin-ztr-preset-editor/UserGuide.html");
  std::ifstream in(guide);
  const std::string html((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  ASSERT_FALSE(html.empty()) << guide << " cannot be read";
  for (const char* covered : {"The picture of the keyboard",
                              "Wheels",
                              "Sustain",
                              "Faders and knobs",
                              "Buttons",
                              "Pads",
                              "Tempo and clock",
                              "Arpeggiator",
                              "Chord",
                              "Scale",
                              "Global settings",
                              "Sending and retrieving presets",
                              "Preset 10",
                              ".QuorinZTRPreset",
                              "Loading leaves your global settings alone",
                              "The keyboard model box",
                              "Keyboard shortcuts",
                              "Ctrl+Shift+R",
                              "The virtual keyboard",
                              "QZ_VIRTUAL_KEYBOARD",
                              "Where your settings live",
                              "UserSettings.ini",
                              "Screen resolution and skins",
                              "HighDPI",
                              "What it does not do on Linux"}) {
    EXPECT_NE(html.find(covered), std::string::npos) << covered;
  }
  DropApplication();
}

INSTANTIATE_TEST_SUITE_P(Skins, ShippedSkinXvfbTest,
                         ::testing::Values(Screen{"Skin1", "96", 0}, Screen{"HighDPI", "192", 1}),
                         [](const ::testing::TestParamInfo<Screen>& tested) { return std::string(tested.param.skin); });

} // namespace
} // namespace QZTest
