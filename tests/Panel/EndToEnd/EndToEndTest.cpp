// The program as a user meets it, with the keyboard as a JACK program of its own: the test
// build's editor (sanitizers on) finds "sim:MIDIIN3 (QUORIN 49 ZTR)" by itself, and xdotool
// moves, clicks and types on the Xvfb fixture's screen under a window manager, as on a
// desktop, at places taken from the program's own skin laid out headless by the editor's
// application object (the dialogs in windows of their own size, as the program opens them).
// The keyboard writes its memory to a file after each change, so the test sees what the
// editor stored there.
//
// First editor: knob 3's CC becomes 74 and the preset is sent to stored preset 2. Second
// editor, fresh settings: it shows the default CC, retrieves preset 2 (the knob shows 74, on
// the screen and in its page) and sends it on to preset 3, which then holds the same bytes:
// the value went through the editor's engine and panels, not around them. Both end through
// File > Exit with 0 and without a sanitizer report. The user clicks the main window as soon
// as a dialog is gone, without waiting for the window manager. Screenshots stay in the build
// folder.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <memory>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "Panel/Main/ProgramProcess.h"
#include "Panel/Main/ShippedEditorWindow.h"
#include "QZFramework/Controls/ComboBox.h"
#include "QZFramework/Controls/ListBox.h"
#include "QZFramework/Controls/MainMenu.h"
#include "QZFramework/Controls/PopupMenu.h"
#include "Support/FontconfigInit.h"
#include "Support/ImageCompare.h"
#include "Support/WaitUntil.h"

// Last: X11's macros (None, Bool, Status...) would break the headers above.
#include "Support/XvfbPictures.h"

#include "Support/OpenboxSession.h"

namespace QZTest {
namespace {

using Image = QZ::Platform::Graphics::Image;

constexpr char kKnob3[] = "viewDevice/tabControl/pageHolder/userPresetEditor/controlNavigation/knobGroup/knob3";
constexpr char kKnobPageCc[] =
    "viewDevice/tabControl/pageHolder/userPresetEditor/editPanel/knob/cc/parameterControl/numericUpDown/textBox";
constexpr char kMainTitle[] = "Quorin ZTR Preset Editor";
// Knob 3's CC is byte 33 of a stored preset.
constexpr size_t kKnob3CcByte = 33;
// How long a step of the user may take the sanitized program (a transfer tries three times).
constexpr auto kStepBound = std::chrono::seconds(30);
// Colour channels may differ this much between the screen and the headless rendering.
constexpr int kTolerance = 24;

using Rect = QZ::RectT<int32_t>;

// A dialog's places, in its window's client coordinates.
struct DialogPlaces {
  Rect comboBox;
  std::map<int, Rect> rows; // by item: 2 is "Preset 2"
  Rect action;
};

// Where the user clicks and what the screen must show, from the program's skin laid out
// headless; the pictures are the headless window's pixels there.
struct Places {
  Rect knob3Button;
  Rect knob3CcLabel;
  Rect knobPageCc;
  Rect fileMenu;
  Rect exitItem;
  DialogPlaces send;
  DialogPlaces retrieve;
  std::unique_ptr<Image> cc38; // knob 3's CC label showing "CC: 38"
  std::unique_ptr<Image> cc74;
  std::unique_ptr<Image> page38; // the knob page's CC box showing 38
  std::unique_ptr<Image> page74;
};

// The bytes of the line "preset <slot> <hex>" of a memory file; empty without it.
std::vector<uint8_t> StoredPreset(const std::string& memory, int slot) {
  std::istringstream in(memory);
  const std::string prefix = "preset " + std::to_string(slot) + " ";
  for (std::string line; std::getline(in, line);) {
    if (line.rfind(prefix, 0) == 0) {
      std::vector<uint8_t> bytes;
      for (size_t at = prefix.size(); at + 1 < line.size(); at += 2) {
        bytes.push_back(uint8_t(std::stoul(line.substr(at, 2), nullptr, 16)));
      }
      return bytes;
    }
  }
  return {};
}

// The bytes where two presets differ, as " byte <index>: <hex> <hex>" each.
std::string Differences(const std::vector<uint8_t>& a, const std::vector<uint8_t>& b) {
  std::ostringstream text;
  text << std::hex;
  for (size_t i = 0; i < std::max(a.size(), b.size()); ++i) {
    if (i >= a.size() || i >= b.size() || a[i] != b[i]) {
      text << " byte " << std::dec << i << std::hex << ": " << (i < a.size() ? int(a[i]) : -1) << " "
           << (i < b.size() ? int(b[i]) : -1);
    }
  }
  return text.str();
}

class EndToEndTest : public ShippedEditorFixture {
protected:
  void SetUp() override {
    ShippedEditorFixture::SetUp();
    ASSERT_TRUE(UseXvfbDisplay()) << "runs under the Xvfb and JACK fixtures";
    ASSERT_NE(std::getenv("JACK_DEFAULT_SERVER"), nullptr) << "runs under the Xvfb and JACK fixtures";
    display = XOpenDisplay(nullptr);
    ASSERT_NE(display, nullptr);
    // Windows come and go while they are looked at: a window gone is no failure.
    previousErrorHandler = XSetErrorHandler([](Display*, XErrorEvent*) { return 0; });
    windowManager = std::make_unique<OpenboxSession>(display);
    ASSERT_TRUE(windowManager->Running());
    std::filesystem::create_directories(QZ_EDITOR_APP_TEST_OUTPUT);
  }
  void TearDown() override {
    windowManager.reset();
    if (display) {
      XCloseDisplay(display);
      XSetErrorHandler(previousErrorHandler);
    }
    ShippedEditorFixture::TearDown();
  }

  // --- The skin laid out headless ---------------------------------------------------------

  // The program's application object on its compiled-in skins over the scripted window
  // backend, at the resolution the program runs with (QZ_DPI 96: "Skin1").
  void LayOut(Places& places) {
    Start("96");
    const std::string knob3 = kKnob3;
    const QZ::RCPtr<QZ::LControl> button = Find(knob3 + "/button");
    const QZ::RCPtr<QZ::LControl> ccLabel = Find(knob3 + "/ccLabel");
    ASSERT_TRUE(button && ccLabel);
    places.knob3Button = ControlWindowRect(*button);
    places.knob3CcLabel = ControlWindowRect(*ccLabel);
    ccLabel->SetText(QZ::WString(u"CC: 38"));
    places.cc38 = Pixels(places.knob3CcLabel);
    ccLabel->SetText(QZ::WString(u"CC: 74"));
    places.cc74 = Pixels(places.knob3CcLabel);
    Click(button);
    const QZ::RCPtr<QZ::LControl> pageCc = Find(kKnobPageCc);
    ASSERT_TRUE(pageCc && pageCc->IsShown(true)) << "a click on knob 3 shows its page";
    places.knobPageCc = ControlWindowRect(*pageCc);
    pageCc->SetText(QZ::WString(u"38"));
    places.page38 = Pixels(places.knobPageCc);
    pageCc->SetText(QZ::WString(u"74"));
    places.page74 = Pixels(places.knobPageCc);

    const QZ::RCPtr<QZ::LMainMenu> bar = QZ::DynamicCast<QZ::LMainMenu>(Find("mainMenu"));
    ASSERT_TRUE(bar && bar->GetAddedMenu(0)) << "the main menu's File title";
    const QZ::RCPtr<QZ::LComboMenu> file = bar->GetAddedMenu(0);
    ASSERT_EQ(file->GetText().ToUTF8().GetBuffer(), std::string("File"));
    places.fileMenu = ControlWindowRect(*file);
    Click(file);
    const QZ::RCPtr<QZ::LPopupMenu> popup = file->GetPopupMenu();
    ASSERT_TRUE(file->IsDroppedDown() && popup);
    int32_t exit = 0;
    while (popup->GetMenuItem(exit) && popup->GetMenuItem(exit)->GetNotificationName() != u"NID_MENU_FILE_EXIT_REQ") {
      ++exit;
    }
    const QZ::RCPtr<QZ::LListBoxItem> exitRow = popup->GetRowControl(popup->GetRowOfItem(exit));
    ASSERT_TRUE(exitRow && exitRow->IsShown(true)) << "the File menu's Exit row";
    places.exitItem = ControlWindowRect(*exitRow);
    Click(file); // closed again

    LayOutDialog(u"dialogSendPreset", u"send", places.send);
    LayOutDialog(u"dialogRetrievePresetFromHardware", u"getButton", places.retrieve);
    DropApplication();
  }

  // The dialog in a window of its own, made as the program makes it for its modal loop, and
  // its slot list opened.
  void LayOutDialog(const char16_t* name, const char16_t* action, DialogPlaces& places) {
    const QZ::RCPtr<QZ::LControl> dialog = app->CreateControl(QZ::WString(name));
    ASSERT_TRUE(dialog);
    const int32_t index = app->CreateRootWindowAt(dialog, true, false, false);
    ASSERT_GE(index, 0);
    const QZ::RCPtr<QZ::LRootWindow> root = QZ::DynamicCast<QZ::LRootWindow>(app->GetRootWindowAt(uint32_t(index)));
    ASSERT_TRUE(root && root->GetOSServices());
    const Win::HWND window = static_cast<Win::HWND>(root->GetOSServices()->GetHandle());
    Win::ShowWindow(window, Win::SW_SHOWNORMAL); // it was hidden
    backend->Push(WindowEvent(backend->SdlIdOf(window), SDL_WINDOWEVENT_FOCUS_GAINED));
    Settle();
    const QZ::RCPtr<QZ::LControl> slot = dialog->FindChildByName(u"presetSlot");
    const QZ::RCPtr<QZ::LComboBox> combo =
        slot ? QZ::DynamicCast<QZ::LComboBox>(slot->FindChildByName(u"comboBox")) : nullptr;
    const QZ::RCPtr<QZ::LControl> button = dialog->FindChildByName(QZ::WString(action));
    ASSERT_TRUE(combo && combo->GetListBox() && button);
    places.comboBox = ControlWindowRect(*combo);
    places.action = ControlWindowRect(*button);
    ClickIn(window, places.comboBox);
    ASSERT_TRUE(combo->IsDroppedDown());
    for (const int item : {2, 3}) {
      const QZ::RCPtr<QZ::LListBoxItem> row =
          combo->GetListBox()->GetRowControl(combo->GetListBox()->GetRowOfItem(item));
      ASSERT_TRUE(row && row->IsShown(true)) << "item " << item << " shows in the open list";
      ASSERT_EQ(row->GetText().ToUTF8().GetBuffer(), "Preset " + std::to_string(item));
      places.rows[item] = ControlWindowRect(*row);
    }
    root->GetOSServices()->EndModal(0); // not modal: the window closes
    Settle();
  }

  void ClickIn(Win::HWND window, const Rect& rect) {
    const uint32_t id = backend->SdlIdOf(window);
    const int x = rect.x + rect.width / 2;
    const int y = rect.y + rect.height / 2;
    backend->Push(MotionEvent(id, x, y));
    backend->Push(ButtonEvent(SDL_MOUSEBUTTONDOWN, id, SDL_BUTTON_LEFT, x, y));
    backend->Push(ButtonEvent(SDL_MOUSEBUTTONUP, id, SDL_BUTTON_LEFT, x, y));
    Settle();
  }

  // --- The X server ---------------------------------------------------------------------

  // The items of a window's property, as bytes (format 8) or as 32-bit items.
  std::vector<unsigned long> Property(::Window window, const char* name) const {
    Atom type = 0;
    int format = 0;
    unsigned long count = 0;
    unsigned long after = 0;
    unsigned char* data = nullptr;
    std::vector<unsigned long> items;
    if (XGetWindowProperty(display, window, XInternAtom(display, name, False), 0, 1024, False, AnyPropertyType, &type,
                           &format, &count, &after, &data) == Success &&
        data) {
      for (unsigned long i = 0; i < count; ++i) {
        items.push_back(format == 8 ? data[i] : reinterpret_cast<const unsigned long*>(data)[i]);
      }
    }
    if (data) {
      XFree(data);
    }
    return items;
  }
  std::string Title(::Window window) const {
    const std::vector<unsigned long> bytes = Property(window, "_NET_WM_NAME");
    return std::string(bytes.begin(), bytes.end());
  }
  pid_t PidOf(::Window window) const {
    const std::vector<unsigned long> pid = Property(window, "_NET_WM_PID");
    return pid.size() == 1 ? pid_t(pid[0]) : 0;
  }
  // The window the window manager made active.
  ::Window ActiveWindow() const {
    const std::vector<unsigned long> active = Property(DefaultRootWindow(display), "_NET_ACTIVE_WINDOW");
    return active.size() == 1 ? ::Window(active[0]) : 0;
  }
  // The shown windows of the window manager's clients, oldest first.
  std::vector<::Window> ShownWindows() const {
    std::vector<::Window> shown;
    for (const unsigned long client : Property(DefaultRootWindow(display), "_NET_CLIENT_LIST")) {
      XWindowAttributes attributes{};
      if (XGetWindowAttributes(display, ::Window(client), &attributes) && attributes.map_state == IsViewable) {
        shown.push_back(::Window(client));
      }
    }
    return shown;
  }
  // A shown window that matches, once one shows within the bound; 0 otherwise.
  template <class Matches>
  ::Window WaitForWindow(Matches matches) const {
    ::Window found = 0;
    WaitUntil(
        [&] {
          for (const ::Window window : ShownWindows()) {
            found = matches(window) ? window : found;
          }
          return found != 0;
        },
        kStepBound);
    return found;
  }
  bool WaitUntilGone(::Window window) const {
    return WaitUntil(
        [&] {
          const std::vector<::Window> shown = ShownWindows();
          return std::find(shown.begin(), shown.end(), window) == shown.end();
        },
        kStepBound);
  }
  // The window's pixels in rect as the server shows them.
  std::unique_ptr<Image> Screenshot(::Window window, const Rect& rect) const {
    XSync(display, False);
    return XWindowImage(display, window, rect.width, rect.height, rect.x, rect.y);
  }
  // Whether rect of the window comes to look like expected within the bound; the last
  // screenshot and the expected picture are kept in the build folder as name.
  bool ScreenShows(::Window window, const Rect& rect, Image& expected, const std::string& name) const {
    std::unique_ptr<Image> shot;
    const bool shows = XWindowComesToShow(display, window, rect, expected, kTolerance, kStepBound, shot);
    const std::string path = std::string(QZ_EDITOR_APP_TEST_OUTPUT) + "/" + name;
    EXPECT_TRUE(shot && WritePng(*shot, path + ".png"));
    WritePng(expected, path + "Expected.png"); // for a look
    return shows;
  }
  // The whole window as the server shows it, kept in the build folder as name.
  void Keep(::Window window, const std::string& name) const {
    const std::unique_ptr<Image> shot = XWholeWindowImage(display, window);
    EXPECT_TRUE(shot && WritePng(*shot, std::string(QZ_EDITOR_APP_TEST_OUTPUT) + "/" + name + ".png")) << name;
  }
  // Whether rect of the window comes to differ from before within the bound.
  bool ScreenChanges(::Window window, const Rect& rect, Image& before) const {
    return WaitUntil(
        [&] {
          const std::unique_ptr<Image> now = Screenshot(window, rect);
          return now && !ImagesAlike(*now, before, 0);
        },
        kStepBound);
  }

  // --- The user ----------------------------------------------------------------------------

  static void ClickAt(::Window window, const Rect& rect) {
    EXPECT_EQ(
        RunProgram({"xdotool", "mousemove", "--sync", "--window", std::to_string(window),
                    std::to_string(rect.x + rect.width / 2), std::to_string(rect.y + rect.height / 2), "click", "1"}),
        0);
  }
  static void Keys(::Window window, const std::vector<std::string>& keys) {
    std::vector<std::string> command = {"xdotool", "windowfocus", "--sync", std::to_string(window), "key"};
    command.insert(command.end(), keys.begin(), keys.end());
    EXPECT_EQ(RunProgram(command), 0);
  }
  // Clicks the place that shows only after the click on opener (a list, a menu) once it
  // shows.
  void ClickThrough(::Window window, const Rect& opener, const Rect& shown) const {
    EXPECT_TRUE(XWindowDrawn(display, window, kStepBound)) << "the window never drew itself";
    const std::unique_ptr<Image> before = Screenshot(window, shown);
    ClickAt(window, opener);
    EXPECT_TRUE(before && ScreenChanges(window, shown, *before))
        << "the click at " << opener.x << ", " << opener.y << " showed nothing at " << shown.x << ", " << shown.y;
    ClickAt(window, shown);
  }
  // Answers the box titled caption with Return; done when the box and the dialog below it
  // are gone.
  void ConfirmBox(const std::string& caption, ::Window dialog) const {
    const ::Window box = WaitForWindow([&](::Window window) { return Title(window) == caption; });
    ASSERT_NE(box, 0u) << "no box \"" << caption << "\"";
    Keys(box, {"Return"});
    EXPECT_TRUE(WaitUntilGone(box)) << "\"" << caption << "\" stays";
    EXPECT_TRUE(WaitUntilGone(dialog)) << "the dialog below \"" << caption << "\" stays";
  }
  // Opens the dialog with keys on the main window, picks the slot, clicks the dialog's
  // button; the dialog's window.
  ::Window Transfer(pid_t editor, ::Window main, const std::string& keys, const DialogPlaces& places, int slot) {
    Keys(main, {keys});
    const ::Window dialog = WaitForWindow([&](::Window window) { return window != main && PidOf(window) == editor; });
    EXPECT_NE(dialog, 0u) << keys << " opens no dialog";
    // Active once the window manager has given it the focus: the clicks come after that.
    EXPECT_TRUE(WaitUntil([&] { return ActiveWindow() == dialog; }, kStepBound)) << "the dialog never became active";
    ClickThrough(dialog, places.comboBox, places.rows.at(slot));
    ClickAt(dialog, places.action);
    return dialog;
  }

  // The editor started as a user starts it, in a home of its own; its main window, shown
  // and active.
  ::Window StartEditor(std::unique_ptr<ProgramProcess>& editor, const TempFolder& home) const {
    // The fonts of the headless rendering its pictures are compared with.
    const std::string fonts = home / "fonts.conf";
    EXPECT_TRUE(WritePinnedFontsFile(fonts)) << fonts;
    editor = std::make_unique<ProgramProcess>(ProgramProcess::Changes{{"HOME", home.Path()},
                                                                      {"FONTCONFIG_FILE", fonts},
                                                                      {"XDG_CONFIG_HOME", home / "config"},
                                                                      {"XDG_DATA_HOME", home / "data"},
                                                                      {"QZ_REGISTRY_FILE", home / "registry.reg"},
                                                                      {"QZ_DPI", "96"},
                                                                      {"QZ_VIRTUAL_KEYBOARD", std::nullopt},
                                                                      {"SDL_VIDEODRIVER", std::nullopt}},
                                              home);
    EXPECT_TRUE(editor->Started());
    const pid_t pid = editor->Pid();
    // Past the splash screen, which has a title of its own.
    const ::Window main =
        WaitForWindow([&](::Window window) { return PidOf(window) == pid && Title(window) == kMainTitle; });
    EXPECT_TRUE(main && WaitUntil([&] { return ActiveWindow() == main; }, kStepBound)) << "never active";
    return main;
  }
  // File > Exit; the editor must end with 0 and without a sanitizer report.
  void ExitThroughTheMenu(ProgramProcess& editor, ::Window main, const Places& places) const {
    ClickThrough(main, places.fileMenu, places.exitItem);
    const std::optional<ProgramProcess::Ended> ended = editor.WaitFor(std::chrono::milliseconds(kStepBound));
    ASSERT_TRUE(ended) << "File > Exit did not end the editor";
    EXPECT_TRUE(ended->exited && ended->status == 0) << ended->status << ": " << ended->errors;
    for (const char* report : {"AddressSanitizer", "LeakSanitizer", "runtime error:"}) {
      EXPECT_EQ(ended->errors.find(report), std::string::npos) << ended->errors;
    }
  }

  Display* display = nullptr;
  // A desktop's window manager: it gives the focus to a dialog that opens.
  std::unique_ptr<OpenboxSession> windowManager;
  XErrorHandler previousErrorHandler = nullptr;
};

TEST_F(EndToEndTest, AKnobsCcEditedSentRetrievedAndSentOnArrivesWhole) {
  Places places;
  LayOut(places);
  ASSERT_FALSE(HasFatalFailure());

  // The keyboard as the JACK client "sim", model 49 keys; it ends when its input closes.
  TempFolder keyboardFolder;
  ProgramProcess::Options keyboardCommand;
  keyboardCommand.command = {QZ_JACK_KEYBOARD, "sim", "1", "--memory-file", keyboardFolder / "memory.txt"};
  keyboardCommand.inputPipe = true;
  ProgramProcess keyboard({}, keyboardFolder, keyboardCommand);
  ASSERT_TRUE(WaitUntil([&] { return keyboardFolder.Read("program-stdout.txt") == "ready\n"; }))
      << keyboardFolder.Read("program-stderr.txt");
  const auto stored = [&](int slot) { return StoredPreset(keyboardFolder.Read("memory.txt"), slot); };
  const std::vector<uint8_t> factory2 = stored(2);
  ASSERT_EQ(factory2.size(), 141u);
  ASSERT_EQ(factory2[kKnob3CcByte], 38) << "knob 3's factory CC";

  {
    TempFolder home;
    std::unique_ptr<ProgramProcess> editor;
    const ::Window main = StartEditor(editor, home);
    ASSERT_NE(main, 0u) << "the editor shows no window: " << home.Read("program-stderr.txt");
    ASSERT_TRUE(ScreenShows(main, places.knob3CcLabel, *places.cc38, "EndToEndFirstKnob3Cc38"));
    ClickAt(main, places.knob3Button);
    ASSERT_TRUE(ScreenShows(main, places.knobPageCc, *places.page38, "EndToEndFirstKnobPageCc38"));
    ClickAt(main, places.knobPageCc);
    Keys(main, {"ctrl+a", "7", "4", "Return"});
    EXPECT_TRUE(ScreenShows(main, places.knob3CcLabel, *places.cc74, "EndToEndFirstKnob3Cc74"))
        << "the picture shows the CC typed on the page";
    Keep(main, "EndToEndFirstEdited");
    ConfirmBox("Send Success", Transfer(editor->Pid(), main, "ctrl+shift+s", places.send, 2));
    std::vector<uint8_t> expected = factory2;
    expected[kKnob3CcByte] = 0x4A;
    EXPECT_TRUE(WaitUntil([&] { return stored(2) == expected; }, kStepBound))
        << "stored preset 2 holds the editor's values with knob 3's CC 74:" << Differences(expected, stored(2));
    ExitThroughTheMenu(*editor, main, places);
  }

  TempFolder home;
  std::unique_ptr<ProgramProcess> editor;
  const ::Window main = StartEditor(editor, home);
  ASSERT_NE(main, 0u) << "the editor shows no window: " << home.Read("program-stderr.txt");
  EXPECT_TRUE(ScreenShows(main, places.knob3CcLabel, *places.cc38, "EndToEndSecondKnob3Cc38"))
      << "a fresh editor shows the default CC";
  ConfirmBox("Retrieve Successful", Transfer(editor->Pid(), main, "ctrl+shift+r", places.retrieve, 2));
  EXPECT_TRUE(ScreenShows(main, places.knob3CcLabel, *places.cc74, "EndToEndRetrievedKnob3Cc74"));
  ClickAt(main, places.knob3Button);
  EXPECT_TRUE(ScreenShows(main, places.knobPageCc, *places.page74, "EndToEndRetrievedKnobPageCc74"));
  Keep(main, "EndToEndRetrieved");
  ConfirmBox("Send Success", Transfer(editor->Pid(), main, "ctrl+shift+s", places.send, 3));
  EXPECT_TRUE(WaitUntil([&] { return !stored(3).empty() && stored(3) == stored(2); }, kStepBound))
      << "preset 3 is preset 2, sent back by the editor that retrieved it:" << Differences(stored(2), stored(3));
  ExitThroughTheMenu(*editor, main, places);
  keyboard.CloseInput();
  const std::optional<ProgramProcess::Ended> keyboardEnded = keyboard.WaitFor(std::chrono::milliseconds(kStepBound));
  EXPECT_TRUE(keyboardEnded && keyboardEnded->exited && keyboardEnded->status == 0)
      << keyboardFolder.Read("program-stderr.txt");
}

} // namespace
} // namespace QZTest
