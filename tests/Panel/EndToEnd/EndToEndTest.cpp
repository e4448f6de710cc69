// The program as a user meets it, with the keyboard as a JACK program of its own: the test
// build's editor (sanitizers on) finds "sim:MIDIIN3 (QUORIN 49 ZTR)" by itself, and xdotool
// moves, clicks and types on the Xvfb fixture's screen at places taken from the program's own
// skin laid out headless by the editor's application object, under a window manager as on a
// desktop. The keyboard writes its memory
// to a file after each change, so the test sees what the editor stored there.
//
// First editor: knob 3's CC becomes 74 and the preset is sent to stored preset 2. Second
// editor, fresh settings: it shows the default CC, retrieves preset 2 (the knob shows 74, on
// the screen and in its page) and sends it on to preset 3, which then holds the same bytes:
// the value went through the editor's engine and panels, not around them. Both end through
// File > Exit with 0 and without a sanitizer report. Screenshots stay in the build folder.

#include <gtest/gtest.h>

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "Panel/Main/EditorAppTestSupport.h"
#include "Panel/Main/ProgramProcess.h"
#include "QZFramework/ControlBase/RootWindow.h"
#include "QZFramework/Controls/ComboBox.h"
#include "QZFramework/Controls/ComboMenu.h"
#include "QZFramework/Controls/ListBox.h"
#include "QZFramework/Controls/MainMenu.h"
#include "QZFramework/Controls/PopupMenu.h"
#include "QZFramework/Renderer/AutoClip.h"
#include "QZFramework/Renderer/Gdi/GDIRenderer.h"
#include "Support/ImageCompare.h"
#include "Support/WaitUntil.h"

// Last: X11's macros (None, Bool, Status...) would break the headers above.
#include "Support/XvfbSupport.h"

#include "Support/OpenboxSession.h"
#include <X11/Xatom.h>

namespace QZTest {
namespace {

using Image = QZ::Platform::Graphics::Image;

constexpr char kKnob3[] = "viewDevice/tabControl/pageHolder/userPresetEditor/controlNavigation/knobGroup/knob3";
constexpr char kKnobPageCc[] =
    "viewDevice/tabControl/pageHolder/userPresetEditor/editPanel/knob/cc/parameterControl/numericUpDown/textBox";
// Knob 3's CC is byte 33 of a stored preset.
constexpr size_t kKnob3CcByte = 33;
// How long a step of the user may take the sanitized program (a transfer tries three times).
constexpr auto kStepBound = std::chrono::seconds(30);
// Colour channels may differ this much between the screen and the headless rendering.
constexpr int kTolerance = 24;

struct Point {
  int x = 0;
  int y = 0;
};

struct Rect {
  int x = 0;
  int y = 0;
  int width = 0;
  int height = 0;
  Point Middle() const { return {x + width / 2, y + height / 2}; }
};

// A dialog's places, in its window's coordinates.
struct DialogPlaces {
  Rect comboBox;
  std::map<int, Rect> rows; // by item: 2 is "Preset 2"
  Rect action;
};

// Where the user clicks and what the screen must show, from the program's skin laid out headless.
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
  std::unique_ptr<Image> page74; // the knob page's CC box showing 74
};

Rect WindowRect(const QZ::LControl& control) {
  const QZ::PointT<double> at = control.GetWindowPosition();
  return {QZ::RoundToInt32(at.x), QZ::RoundToInt32(at.y), QZ::RoundToInt32(control.GetRect().width),
          QZ::RoundToInt32(control.GetRect().height)};
}

std::string Utf8(const QZ::WString& text) { return text.ToUTF8().GetBuffer(); }

// The control at path ('/' between names) below from; null when absent.
QZ::RCPtr<QZ::LControl> FindPath(QZ::RCPtr<QZ::LControl> from, const std::string& path) {
  std::istringstream names(path);
  for (std::string name; from && std::getline(names, name, '/');) {
    from = from->FindChildByName(QZ::WString(name.c_str()));
  }
  return from;
}

// rect of image, as an image of its own.
std::unique_ptr<Image> Crop(Image& image, const Rect& rect) {
  auto part = Image::Create(rect.width, rect.height);
  for (int y = 0; part && y < rect.height; ++y) {
    for (int x = 0; x < rect.width; ++x) {
      QZ::Platform::Graphics::Color pixel;
      (void)image.GetPixel(rect.x + x, rect.y + y, pixel);                 // black outside the image
      (void)part->SetPixel(x, y, {0xFF000000u | (pixel.argb & 0xFFFFFF)}); // inside the part
    }
  }
  return part;
}

// Whether both images have one size and no channel differs by more than the tolerance.
bool Alike(Image& a, Image& b) {
  if (a.Width() != b.Width() || a.Height() != b.Height()) {
    return false;
  }
  for (int y = 0; y < a.Height(); ++y) {
    for (int x = 0; x < a.Width(); ++x) {
      QZ::Platform::Graphics::Color p;
      QZ::Platform::Graphics::Color q;
      (void)a.GetPixel(x, y, p); // inside both
      (void)b.GetPixel(x, y, q);
      for (int shift = 0; shift < 24; shift += 8) {
        if (std::abs(int((p.argb >> shift) & 0xFF) - int((q.argb >> shift) & 0xFF)) > kTolerance) {
          return false;
        }
      }
    }
  }
  return true;
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

// Whether both images have one size and the same pixels.
bool Same(Image& a, Image& b) {
  if (a.Width() != b.Width() || a.Height() != b.Height()) {
    return false;
  }
  for (int y = 0; y < a.Height(); ++y) {
    for (int x = 0; x < a.Width(); ++x) {
      QZ::Platform::Graphics::Color p;
      QZ::Platform::Graphics::Color q;
      (void)a.GetPixel(x, y, p); // inside both
      (void)b.GetPixel(x, y, q);
      if (p != q) {
        return false;
      }
    }
  }
  return true;
}

// The keyboard as the JACK client "sim", model 49 keys, writing its memory to a file; it
// ends when its standard input closes.
class JackKeyboard {
public:
  JackKeyboard(const TempFolder& folder) : mFolder(folder), mMemory(folder / "memory.txt") {
    int input[2];
    if (::pipe(input) != 0) {
      return;
    }
    const std::string output = folder / "keyboard-stdout.txt";
    const std::string errors = folder / "keyboard-stderr.txt";
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, input[0], STDIN_FILENO);
    posix_spawn_file_actions_addclose(&actions, input[1]);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, output.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, errors.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    std::vector<std::string> arguments = {QZ_JACK_KEYBOARD, "sim", "1", "--memory-file", mMemory};
    std::vector<char*> argv;
    for (std::string& argument : arguments) {
      argv.push_back(argument.data());
    }
    argv.push_back(nullptr);
    if (posix_spawn(&mPid, argv[0], &actions, nullptr, argv.data(), environ) != 0) {
      mPid = 0;
    }
    posix_spawn_file_actions_destroy(&actions);
    ::close(input[0]);
    mInput = input[1];
  }
  ~JackKeyboard() {
    ::close(mInput);
    int status = 0;
    if (mPid != 0 && !WaitUntil([&] { return ::waitpid(mPid, &status, WNOHANG) == mPid; })) {
      ADD_FAILURE() << "the keyboard did not end: killed";
      ::kill(mPid, SIGKILL);
      ::waitpid(mPid, &status, 0);
    }
  }
  JackKeyboard(const JackKeyboard&) = delete;
  JackKeyboard& operator=(const JackKeyboard&) = delete;

  bool Ready() const {
    return mPid != 0 && WaitUntil([&] { return mFolder.Read("keyboard-stdout.txt") == "ready\n"; });
  }
  // The bytes of the line "preset <slot> <hex>" of the memory file; empty without it.
  std::vector<uint8_t> Preset(int slot) const {
    std::ifstream in(mMemory);
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

private:
  const TempFolder& mFolder;
  const std::string mMemory;
  pid_t mPid = 0;
  int mInput = -1;
};

class EndToEndTest : public EditorAppFixture {
protected:
  void SetUp() override {
    EditorAppFixture::SetUp();
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
    EditorAppFixture::TearDown();
  }

  // --- The skin laid out headless ---------------------------------------------------------

  // The program's resources in the editor's application object over the scripted window
  // backend, at the resolution the program runs with (QZ_DPI 96: "Skin1").
  void LayOut(Places& places) {
    const QZ::RCPtr<QZ::LControlFactory> factory(new QZ::LControlFactory());
    ASSERT_EQ(factory->LoadResources(QZ::WString(u"::"), 0x0409), QZ::QZ_OK);
    app = QZ::RCPtr<LApplication>(new LApplication(factory, nullptr, QZ::WString(u"editor")));
    ASSERT_EQ(app->RunApplicationStartup(), QZ::QZ_OK);
    ASSERT_EQ(app->CreateMainWindow(QZ::kRendererGDI), QZ::QZ_OK);
    ASSERT_EQ(app->SetMainRootControl(app->GetMainControlName()), QZ::QZ_OK);
    const Win::HWND hwnd = host->GetMainWindow();
    (void)Win::ShowWindow(hwnd, Win::SW_SHOW); // it was hidden
    backend->keyboardFocus = backend->SdlIdOf(hwnd);
    backend->Push(WindowEvent(backend->SdlIdOf(hwnd), SDL_WINDOWEVENT_FOCUS_GAINED));
    Pump();
    const QZ::RCPtr<QZ::LRootWindow> root = app->GetMainRootWindow();
    const QZ::RCPtr<QZ::LControl> top = root->GetRootControl();

    const QZ::RCPtr<QZ::LControl> knob3 = FindPath(top, kKnob3);
    ASSERT_TRUE(knob3 && knob3->FindChildByName(u"button") && knob3->FindChildByName(u"ccLabel"));
    places.knob3Button = WindowRect(*knob3->FindChildByName(u"button"));
    const QZ::RCPtr<QZ::LControl> ccLabel = knob3->FindChildByName(u"ccLabel");
    places.knob3CcLabel = WindowRect(*ccLabel);
    Click(places.knob3Button.Middle());
    const QZ::RCPtr<QZ::LControl> pageCc = FindPath(top, kKnobPageCc);
    ASSERT_TRUE(pageCc && pageCc->IsShown(true)) << "a click on knob 3 shows its page";
    places.knobPageCc = WindowRect(*pageCc);
    // What the screen must show, drawn by the window's renderer with the texts set here.
    (void)ccLabel->SetText(QZ::WString(u"CC: 38")); // 0, or 1 when it had the text
    places.cc38 = Paint(top, places.knob3CcLabel);
    (void)ccLabel->SetText(QZ::WString(u"CC: 74"));
    places.cc74 = Paint(top, places.knob3CcLabel);
    (void)pageCc->SetText(QZ::WString(u"74"));
    places.page74 = Paint(top, places.knobPageCc);

    const QZ::RCPtr<QZ::LMainMenu> bar = QZ::DynamicCast<QZ::LMainMenu>(top->FindChildByName(u"mainMenu"));
    ASSERT_TRUE(bar && bar->GetAddedMenu(0)) << "the main menu's File title";
    const QZ::RCPtr<QZ::LComboMenu> file = bar->GetAddedMenu(0);
    ASSERT_EQ(Utf8(file->GetText()), "File");
    places.fileMenu = WindowRect(*file);
    Click(places.fileMenu.Middle());
    const QZ::RCPtr<QZ::LPopupMenu> popup = file->GetPopupMenu();
    ASSERT_TRUE(file->IsDroppedDown() && popup);
    int32_t exit = 0;
    while (popup->GetMenuItem(exit) && popup->GetMenuItem(exit)->GetNotificationName() != u"NID_MENU_FILE_EXIT_REQ") {
      ++exit;
    }
    const QZ::RCPtr<QZ::LListBoxItem> exitRow = popup->GetRowControl(popup->GetRowOfItem(exit));
    ASSERT_TRUE(exitRow && exitRow->IsShown(true)) << "the File menu's Exit row";
    places.exitItem = WindowRect(*exitRow);

    LayOutDialog(u"dialogSendPreset", u"send", places.send);
    LayOutDialog(u"dialogRetrievePresetFromHardware", u"getButton", places.retrieve);
    DropApplication();
  }

  // The dialog as the main window's top control: its places relative to its own origin.
  void LayOutDialog(const char16_t* name, const char16_t* action, DialogPlaces& places) {
    const QZ::RCPtr<QZ::LRootWindow> root = app->GetMainRootWindow();
    ASSERT_EQ(root->SetRootControl(QZ::WString(name)), QZ::QZ_OK);
    Pump();
    const QZ::RCPtr<QZ::LControl> dialog = root->GetRootControl();
    const Rect origin = WindowRect(*dialog);
    const auto relative = [&](const QZ::LControl& control) {
      const Rect rect = WindowRect(control);
      return Rect{rect.x - origin.x, rect.y - origin.y, rect.width, rect.height};
    };
    const QZ::RCPtr<QZ::LComboBox> combo = QZ::DynamicCast<QZ::LComboBox>(FindPath(dialog, "presetSlot/comboBox"));
    const QZ::RCPtr<QZ::LControl> button = dialog->FindChildByName(QZ::WString(action));
    ASSERT_TRUE(combo && combo->GetListBox() && button);
    places.comboBox = relative(*combo);
    places.action = relative(*button);
    Click(WindowRect(*combo).Middle());
    ASSERT_TRUE(combo->IsDroppedDown());
    for (const int item : {2, 3}) {
      const QZ::RCPtr<QZ::LListBoxItem> row =
          combo->GetListBox()->GetRowControl(combo->GetListBox()->GetRowOfItem(item));
      ASSERT_TRUE(row && row->IsShown(true)) << "item " << item << " shows in the open list";
      ASSERT_EQ(Utf8(row->GetText()), "Preset " + std::to_string(item));
      places.rows[item] = relative(*row);
    }
  }

  void Pump() {
    for (int pass = 0; pass < 3; ++pass) {
      Win::MSG msg;
      while (Host::PeekMessage(&msg, Win::PM_REMOVE) && msg.message != Win::WM_QUIT) {
        (void)Host::TranslateMessage(&msg); // true for keys
        (void)Host::DispatchMessage(&msg);  // the procedure's answer
      }
      (void)app->DoIdleWork(pass == 0); // whether more waits
    }
  }

  void Click(Point at) {
    const uint32_t id = backend->SdlIdOf(host->GetMainWindow());
    backend->Push(MotionEvent(id, at.x, at.y));
    backend->Push(ButtonEvent(SDL_MOUSEBUTTONDOWN, id, SDL_BUTTON_LEFT, at.x, at.y));
    backend->Push(ButtonEvent(SDL_MOUSEBUTTONUP, id, SDL_BUTTON_LEFT, at.x, at.y));
    Pump();
  }

  // The pixels of rect (window coordinates) as the window's renderer paints the window there.
  std::unique_ptr<Image> Paint(const QZ::RCPtr<QZ::LControl>& top, const Rect& rect) {
    const QZ::RCPtr<QZ::LRenderer> renderer = app->GetMainRootWindow()->GetRenderer();
    const QZ::RectT<int32_t> area{0, 0, QZ::RoundToInt32(top->GetRect().width),
                                  QZ::RoundToInt32(top->GetRect().height)};
    QZ::RCPtr<QZ::LRenderContextInfo> context;
    EXPECT_EQ(renderer->InitRenderContextInfo(area, nullptr, true, context), QZ::QZ_OK);
    context->GetUpdateRegion().AddRect({0, 0, area.width, area.height});
    (void)renderer->RenderStart(context); // 0 or throws
    QZ::RCPtrArray<QZ::LControl, 1, 0> deferred;
    {
      const QZ::RectT<double> frame{0, 0, double(area.width), double(area.height)};
      QZ::CAutoClip window(renderer, frame, frame, nullptr);
      EXPECT_EQ(top->Paint(renderer, context->GetUpdateRegion(), deferred, false), QZ::QZ_OK);
    }
    (void)renderer->RenderFinish(context); // 0 or throws
    return Crop(*dynamic_cast<QZ::LGDIRenderContextInfo&>(*context).GetCurrentSurface()->GetImage(), rect);
  }

  // --- The X server ---------------------------------------------------------------------

  std::string TextProperty(::Window window, const char* name) const {
    Atom type = 0;
    int format = 0;
    unsigned long count = 0;
    unsigned long after = 0;
    unsigned char* data = nullptr;
    std::string text;
    if (XGetWindowProperty(display, window, XInternAtom(display, name, False), 0, 1024, False, AnyPropertyType, &type,
                           &format, &count, &after, &data) == Success &&
        data) {
      text.assign(reinterpret_cast<const char*>(data), count);
    }
    if (data) {
      XFree(data);
    }
    return text;
  }
  pid_t PidOf(::Window window) const {
    Atom type = 0;
    int format = 0;
    unsigned long count = 0;
    unsigned long after = 0;
    unsigned char* data = nullptr;
    pid_t pid = 0;
    if (XGetWindowProperty(display, window, XInternAtom(display, "_NET_WM_PID", False), 0, 1, False, XA_CARDINAL, &type,
                           &format, &count, &after, &data) == Success &&
        data && count == 1) {
      pid = pid_t(*reinterpret_cast<unsigned long*>(data));
    }
    if (data) {
      XFree(data);
    }
    return pid;
  }
  // The shown windows of the window manager's clients, oldest first.
  std::vector<::Window> ShownWindows() const {
    Atom type = 0;
    int format = 0;
    unsigned long count = 0;
    unsigned long after = 0;
    unsigned char* data = nullptr;
    std::vector<::Window> shown;
    if (XGetWindowProperty(display, DefaultRootWindow(display), XInternAtom(display, "_NET_CLIENT_LIST", False), 0,
                           1024, False, XA_WINDOW, &type, &format, &count, &after, &data) == Success &&
        data) {
      const auto* clients = reinterpret_cast<const unsigned long*>(data);
      for (unsigned long i = 0; i < count; ++i) {
        XWindowAttributes attributes{};
        if (XGetWindowAttributes(display, ::Window(clients[i]), &attributes) && attributes.map_state == IsViewable) {
          shown.push_back(::Window(clients[i]));
        }
      }
    }
    if (data) {
      XFree(data);
    }
    return shown;
  }
  // A shown window that matches, once one shows within the bound; 0 otherwise.
  template <class Matches>
  ::Window WaitForWindow(Matches matches) const {
    ::Window found = 0;
    (void)WaitUntil(
        [&] {
          for (const ::Window window : ShownWindows()) {
            if (matches(window)) {
              found = window;
            }
          }
          return found != 0;
        },
        kStepBound); // 0: none showed
    return found;
  }
  ::Window WaitForTitle(const std::string& title) const {
    return WaitForWindow([&](::Window window) { return TextProperty(window, "_NET_WM_NAME") == title; });
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
    XImage* shot =
        XGetImage(display, window, rect.x, rect.y, unsigned(rect.width), unsigned(rect.height), AllPlanes, ZPixmap);
    auto image = Image::Create(rect.width, rect.height);
    for (int y = 0; shot && image && y < rect.height; ++y) {
      for (int x = 0; x < rect.width; ++x) {
        (void)image->SetPixel(x, y, {0xFF000000u | (uint32_t(XGetPixel(shot, x, y)) & 0xFFFFFF)}); // inside
      }
    }
    if (shot) {
      XDestroyImage(shot);
    }
    return image;
  }
  // Whether rect of the window comes to look like expected within the bound; the last
  // screenshot is kept in the build folder as name.
  bool ScreenShows(::Window window, const Rect& rect, Image& expected, const std::string& name) const {
    std::unique_ptr<Image> shot;
    const bool shows = WaitUntil(
        [&] {
          shot = Screenshot(window, rect);
          return shot && Alike(*shot, expected);
        },
        kStepBound);
    if (shot) {
      EXPECT_TRUE(WritePng(*shot, std::string(QZ_EDITOR_APP_TEST_OUTPUT) + "/" + name + ".png"));
    }
    (void)WritePng(expected, std::string(QZ_EDITOR_APP_TEST_OUTPUT) + "/" + name + "Expected.png");
    return shows;
  }

  // --- The user ----------------------------------------------------------------------------

  // Points at the control at rect until it shows its hover look: the window takes input only
  // once the window system made it active. The pointer moves by a pixel each time, so that
  // the window sees a move once it is active.
  void PointAt(::Window window, const Rect& rect) const {
    const Point middle = rect.Middle();
    const std::unique_ptr<Image> plain = Screenshot(window, rect);
    int step = 0;
    const bool hovered = WaitUntil(
        [&] {
          (void)RunProgram({"xdotool", "mousemove", "--sync", "--window", std::to_string(window),
                            std::to_string(middle.x + step++ % 2), std::to_string(middle.y)});
          const std::unique_ptr<Image> now = Screenshot(window, rect);
          return plain && now && !Same(*plain, *now);
        },
        kStepBound);
    EXPECT_TRUE(hovered) << "the control at " << rect.x << ", " << rect.y << " never showed the pointer over it";
  }
  // A button that shows no hover look is clicked at once: its window takes input already.
  void ClickAt(::Window window, const Rect& rect, bool hoverLook = true) const {
    if (hoverLook) {
      PointAt(window, rect);
    } else {
      EXPECT_EQ(RunProgram({"xdotool", "mousemove", "--sync", "--window", std::to_string(window),
                            std::to_string(rect.Middle().x), std::to_string(rect.Middle().y)}),
                0);
    }
    EXPECT_EQ(RunProgram({"xdotool", "click", "1"}), 0);
  }
  static void Keys(::Window window, const std::vector<std::string>& keys) {
    std::vector<std::string> command = {"xdotool", "windowfocus", "--sync", std::to_string(window), "key"};
    command.insert(command.end(), keys.begin(), keys.end());
    EXPECT_EQ(RunProgram(command), 0);
  }
  // Answers the box titled caption with Return.
  void ConfirmBox(const std::string& caption) const {
    const ::Window box = WaitForTitle(caption);
    ASSERT_NE(box, 0u) << "no box \"" << caption << "\"";
    Keys(box, {"Return"});
    EXPECT_TRUE(WaitUntilGone(box)) << "\"" << caption << "\" stays";
  }
  // Opens the dialog with keys on the main window (once it takes input: the File menu's title
  // shows the pointer), picks the slot and clicks the dialog's button.
  void Transfer(pid_t editor, ::Window main, const Places& all, const std::string& keys, const DialogPlaces& places,
                int slot) {
    PointAt(main, all.fileMenu);
    Keys(main, {keys});
    const ::Window dialog = WaitForWindow([&](::Window window) { return window != main && PidOf(window) == editor; });
    ASSERT_NE(dialog, 0u) << keys << " opens no dialog";
    ClickAt(dialog, places.comboBox);
    ClickAt(dialog, places.rows.at(slot));
    ClickAt(dialog, places.action, false);
  }

  // The editor started as a user starts it, in a home of its own; its main window.
  ::Window StartEditor(std::unique_ptr<ProgramProcess>& editor, const TempFolder& home) {
    editor = std::make_unique<ProgramProcess>(ProgramProcess::Changes{{"HOME", home.Path()},
                                                                      {"XDG_CONFIG_HOME", home / "config"},
                                                                      {"XDG_DATA_HOME", home / "data"},
                                                                      {"QZ_REGISTRY_FILE", home / "registry.reg"},
                                                                      {"QZ_DPI", "96"},
                                                                      {"QZ_VIRTUAL_KEYBOARD", std::nullopt},
                                                                      {"SDL_VIDEODRIVER", std::nullopt}},
                                              home);
    EXPECT_TRUE(editor->Started());
    const pid_t pid = editor->Pid();
    return WaitForWindow([&](::Window window) { return PidOf(window) == pid; });
  }
  // File > Exit; the editor must end with 0 and without a sanitizer report.
  void ExitThroughTheMenu(ProgramProcess& editor, ::Window main, const Places& places) {
    ClickAt(main, places.fileMenu);
    ClickAt(main, places.exitItem);
    const std::optional<ProgramProcess::Ended> ended = editor.WaitFor(std::chrono::milliseconds(kStepBound));
    ASSERT_TRUE(ended) << "File > Exit did not end the editor";
    EXPECT_TRUE(ended->exited && ended->status == 0) << ended->status << ": " << ended->errors;
    for (const char* report : {"AddressSanitizer", "LeakSanitizer", "runtime error:"}) {
      EXPECT_EQ(ended->errors.find(report), std::string::npos) << ended->errors;
    }
  }

  Display* display = nullptr;
  // A desktop's window manager: it gives the focus back to the main window when a dialog or
  // a box closes.
  std::unique_ptr<OpenboxSession> windowManager;
  XErrorHandler previousErrorHandler = nullptr;
};

TEST_F(EndToEndTest, AKnobsCcEditedSentRetrievedAndSentOnArrivesWhole) {
  Places places;
  LayOut(places);
  ASSERT_FALSE(HasFatalFailure());

  TempFolder keyboardFolder;
  JackKeyboard keyboard(keyboardFolder);
  ASSERT_TRUE(keyboard.Ready()) << keyboardFolder.Read("keyboard-stderr.txt");
  const std::vector<uint8_t> factory2 = keyboard.Preset(2);
  ASSERT_EQ(factory2.size(), 141u);
  ASSERT_EQ(factory2[kKnob3CcByte], 38) << "knob 3's factory CC";

  {
    TempFolder home;
    std::unique_ptr<ProgramProcess> editor;
    const ::Window main = StartEditor(editor, home);
    ASSERT_NE(main, 0u) << "the editor shows no window: " << home.Read("program-stderr.txt");
    ASSERT_TRUE(ScreenShows(main, places.knob3CcLabel, *places.cc38, "EndToEndFirstKnob3Cc38"));
    ClickAt(main, places.knob3Button);
    ClickAt(main, places.knobPageCc);
    Keys(main, {"ctrl+a", "7", "4", "Return"});
    EXPECT_TRUE(ScreenShows(main, places.knob3CcLabel, *places.cc74, "EndToEndFirstKnob3Cc74"))
        << "the picture shows the CC typed on the page";
    Transfer(editor->Pid(), main, places, "ctrl+shift+s", places.send, 2);
    ConfirmBox("Send Success");
    std::vector<uint8_t> expected = factory2;
    expected[kKnob3CcByte] = 0x4A;
    EXPECT_TRUE(WaitUntil([&] { return keyboard.Preset(2) == expected; }, kStepBound))
        << "stored preset 2 holds the editor's values with knob 3's CC 74:"
        << Differences(expected, keyboard.Preset(2));
    ExitThroughTheMenu(*editor, main, places);
  }

  TempFolder home;
  std::unique_ptr<ProgramProcess> editor;
  const ::Window main = StartEditor(editor, home);
  ASSERT_NE(main, 0u) << "the editor shows no window: " << home.Read("program-stderr.txt");
  EXPECT_TRUE(ScreenShows(main, places.knob3CcLabel, *places.cc38, "EndToEndSecondKnob3Cc38"))
      << "a fresh editor shows the default CC";
  Transfer(editor->Pid(), main, places, "ctrl+shift+r", places.retrieve, 2);
  ConfirmBox("Retrieve Successful");
  EXPECT_TRUE(ScreenShows(main, places.knob3CcLabel, *places.cc74, "EndToEndRetrievedKnob3Cc74"));
  ClickAt(main, places.knob3Button);
  EXPECT_TRUE(ScreenShows(main, places.knobPageCc, *places.page74, "EndToEndRetrievedKnobPageCc74"));
  Transfer(editor->Pid(), main, places, "ctrl+shift+s", places.send, 3);
  ConfirmBox("Send Success");
  EXPECT_TRUE(WaitUntil([&] { return keyboard.Preset(3) == keyboard.Preset(2); }, kStepBound))
      << "preset 3 is preset 2, sent back by the editor that retrieved it:"
      << Differences(keyboard.Preset(2), keyboard.Preset(3));
  ExitThroughTheMenu(*editor, main, places);
}

} // namespace
} // namespace QZTest
