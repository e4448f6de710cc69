// The skinned message box of the shipped skin ("Skin1") in modal windows of the window layer
// (the scripted backend): the buttons and icon of each style, Return on the default button
// and where the focus left the buttons, Escape and the close box where the box can be
// cancelled, the answers; the box grows with its text, wider before taller, stays in the
// work area and scrolls a text too tall for it; a quit or the application's exit ends it as
// cancelled.
#include <gtest/gtest.h>

#include <algorithm>
#include <condition_variable>
#include <deque>
#include <filesystem>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "Platform/Host/MessageLoop.h"
#include "Platform/Host/MessagePump.h"
#include "Platform/Window/MessageBoxStyle.h"
#include "QZFramework/ControlBase/FontText.h"
#include "QZFramework/ControlBase/Look.h"
#include "QZFramework/ControlBase/OSWindow.h"
#include "QZFramework/Controls/MessageBoxDialog.h"
#include "QZFramework/Controls/WidgetSkinTestSupport.h"
#include "QZFramework/Notification/NotificationCenter.h"
#include "QZFramework/Renderer/Gdi/GDIRenderer.h"
#include "Support/FakeApplicationContext.h"
#include "Support/ScriptedVideoBackend.h"
#include "Support/TempFolder.h"

namespace {

namespace Win = QZ::Platform::Window;
namespace Host = QZ::Platform::Host;
using QZ::LMessageBoxDialog;
using QZ::RCPtr;
using QZ::WString;

constexpr int32_t kSkin1 = 1;

// Moves the application's clock on at every idle pass of a window, so that a button's
// flash ends, then tells onIdle.
class Ticker final : public QZ::LNotificationClient {
public:
  Ticker(QZTest::FakeControlApplication& application, std::function<void()> onIdle)
      : mApplication(application), mOnIdle(std::move(onIdle)) {}
  QZ::QZResult ReceiveNotification(const RCPtr<QZ::LNotificationDistributor>&,
                                   const RCPtr<QZ::LNotification>&) override {
    mApplication.AdvanceMilliseconds(50);
    mOnIdle();
    return QZ::QZ_OK;
  }

private:
  QZTest::FakeControlApplication& mApplication;
  std::function<void()> mOnIdle;
};

// Posts a quit after 10 s unless stopped: a loop that nothing ends becomes a failure.
class Watchdog {
public:
  Watchdog()
      : mThread([this] {
          std::unique_lock hold(mMutex);
          if (!mDone.wait_for(hold, std::chrono::seconds(10), [this] { return mStopped; })) {
            Host::PostQuitMessage(99);
          }
        }) {}
  ~Watchdog() {
    {
      std::lock_guard hold(mMutex);
      mStopped = true;
    }
    mDone.notify_all();
    mThread.join();
  }
  Watchdog(const Watchdog&) = delete;
  Watchdog& operator=(const Watchdog&) = delete;

private:
  std::mutex mMutex;
  std::condition_variable mDone;
  bool mStopped = false;
  std::thread mThread;
};

class MessageBoxDialogTest : public ::testing::Test {
protected:
  using Step = std::function<void(uint32_t window, LMessageBoxDialog& box)>;

  void SetUp() override {
    auto backend = std::make_unique<QZTest::ScriptedVideoBackend>();
    script = backend.get();
    ASSERT_TRUE(Host::Startup(std::move(backend)));
    centre = QZ::LNotificationCenter::CreateNotificationCenter(u"application");
    context.SetApplicationNotificationCenter(centre.Get());
    QZ::LFont::SetMeasurementRendererSource([renderer = measurer] { return renderer; });
    application.measurer = measurer;
    // The shipped documents and the drawn images in one folder, as the program reads them.
    for (const auto& image : std::filesystem::directory_iterator(QZ_SKIN_ART_IMAGES)) {
      std::filesystem::copy_file(image.path(), folder / image.path().filename().string());
    }
    for (const char* name : {"Skins.xml", "StringTables.xml", "FrameworkStrings.xml"}) {
      std::filesystem::copy_file(std::string(QZ_RESOURCE_DOCUMENTS) + "/" + name, folder / name);
    }
    application.factory = RCPtr<QZ::LControlFactory>(new QZ::LControlFactory());
    ASSERT_EQ(application.factory->LoadResources(WString(folder.Path().c_str()), 0x0409), QZ::QZ_OK);
    application.factory->SetCurrentSkinIndex(kSkin1);
    QZTest::RegisterWidgets(*application.factory);
    owner->clientRect = {0, 0, 1200, 850};
    application.rootWindows.push_back(owner);
    application.screenRect = {0, 0, 1280, 1024};
    application.rootWindowForControl = [this](const RCPtr<QZ::LControl>& control, bool systemMenu) {
      return RunInModalWindow(control, systemMenu);
    };
  }
  void TearDown() override {
    Host::Shutdown();
    QZ::LFont::SetMeasurementRendererSource({});
    context.SetApplicationNotificationCenter(nullptr);
    centre->Shutdown();
  }

  // What the framework application does, at the box's place; steps run before the loop
  // (events they push are taken inside it).
  int32_t RunInModalWindow(const RCPtr<QZ::LControl>& control, bool systemMenu) {
    systemMenus.push_back(systemMenu);
    auto window = std::make_unique<QZ::OSWindow>();
    const QZ::RectT<double>& rect = control->GetRect();
    if (!window->CreateEx(Win::WS_EX_DLGMODALFRAME, u"QZFrameworkWindow", control->GetText(),
                          Win::WS_CAPTION | (systemMenu ? Win::WS_SYSMENU : 0u), int32_t(rect.x), int32_t(rect.y),
                          int32_t(rect.width), int32_t(rect.height), nullptr)) {
      return QZ::QZ_E_FAIL;
    }
    QZ::OSWindow& made = *window.release(); // its window's from now on
    if (made.CreateRenderer(QZ::kRendererGDI) != QZ::QZ_OK) {
      return QZ::QZ_E_FAIL;
    }
    made.GetRootWindow()->InstallRootControl(control);
    const uint32_t id = script->SdlIdOf(made.GetSafeHwnd());
    auto& box = dynamic_cast<LMessageBoxDialog&>(*control);
    const RCPtr<Ticker> ticker(new Ticker(application, [this, id, &box] {
      if (!idleSteps.empty()) {
        const Step step = std::move(idleSteps.front());
        idleSteps.pop_front();
        step(id, box);
      }
    }));
    ticker->RegisterNotification(made.GetRootWindow()->GetIdleDistributor(), u"NID_IDLE");
    script->Push(QZTest::WindowEvent(id, SDL_WINDOWEVENT_FOCUS_GAINED));
    for (const Step& step : steps) {
      step(id, box);
    }
    Watchdog watchdog;
    const int32_t result = made.GetOSServices().RunModalLoop();
    ticker->UnregisterAllNotifications();
    loopResults.push_back(result);
    return result;
  }

  // The box shown with the steps: its answer. Unless a quit is to end it, the box itself
  // must have ended its loop (not the watchdog's quit).
  std::optional<int32_t> Show(const WString& text, uint32_t style, std::vector<Step> run, bool quits = false) {
    steps = std::move(run);
    idleSteps.clear();
    const size_t loops = loopResults.size();
    const std::optional<int32_t> answer = QZ::ShowSkinnedMessageBox(application, text, WString(u"Caption"), style);
    if (!quits && loopResults.size() > loops) {
      EXPECT_NE(loopResults.back(), -1) << "a quit ended the box";
    }
    return answer;
  }
  // A box made and prepared, not shown.
  RCPtr<LMessageBoxDialog> Prepared(const WString& text, uint32_t style) {
    RCPtr<LMessageBoxDialog> box = LMessageBoxDialog::Create(*application.factory);
    EXPECT_TRUE(box);
    if (box) {
      EXPECT_EQ(box->Prepare(text, WString(u"Caption"), style, {1200, 850}, application.screenRect), QZ::QZ_OK);
    }
    return box;
  }

  Step Key(SDL_Keycode key, SDL_Scancode position) {
    return [this, key, position](uint32_t id, LMessageBoxDialog&) {
      script->Push(QZTest::KeyEvent(SDL_KEYDOWN, id, key, position));
      script->Push(QZTest::KeyEvent(SDL_KEYUP, id, key, position));
    };
  }
  // Each of later at an idle pass of its own: once the box has taken the events before it
  // and done what they asked for.
  Step AtIdlePasses(std::vector<Step> later) {
    return [this, later](uint32_t, LMessageBoxDialog&) { idleSteps.assign(later.begin(), later.end()); };
  }
  Step Close() {
    return [this](uint32_t id, LMessageBoxDialog&) { script->Push(QZTest::WindowEvent(id, SDL_WINDOWEVENT_CLOSE)); };
  }
  Step ClickOn(const char16_t* name) {
    return [this, name](uint32_t id, LMessageBoxDialog& box) {
      const RCPtr<QZ::LControl> button = box.FindChildByName(WString(name));
      ASSERT_TRUE(button && button->IsShown(true));
      const QZ::PointT<double> at = button->GetWindowPosition();
      const int x = int(at.x + button->GetRect().width / 2);
      const int y = int(at.y + button->GetRect().height / 2);
      script->Push(QZTest::MotionEvent(id, x, y));
      script->Push(QZTest::ButtonEvent(SDL_MOUSEBUTTONDOWN, id, SDL_BUTTON_LEFT, x, y));
      script->Push(QZTest::ButtonEvent(SDL_MOUSEBUTTONUP, id, SDL_BUTTON_LEFT, x, y));
    };
  }

  // A click at (fx, fy) of the size of the part that find gives.
  Step ClickAt(RCPtr<QZ::LControl> (*find)(const LMessageBoxDialog&), double fx, double fy) {
    return [this, find, fx, fy](uint32_t id, LMessageBoxDialog& box) {
      const RCPtr<QZ::LControl> part = find(box);
      ASSERT_TRUE(part && part->IsShown(true));
      const QZ::PointT<double> at = part->GetWindowPosition();
      const int x = int(at.x + part->GetRect().width * fx);
      const int y = int(at.y + part->GetRect().height * fy);
      script->Push(QZTest::MotionEvent(id, x, y));
      script->Push(QZTest::ButtonEvent(SDL_MOUSEBUTTONDOWN, id, SDL_BUTTON_LEFT, x, y));
      script->Push(QZTest::ButtonEvent(SDL_MOUSEBUTTONUP, id, SDL_BUTTON_LEFT, x, y));
    };
  }

  // The shown buttons, left to right.
  static std::vector<RCPtr<QZ::LControl>> ShownButtons(const LMessageBoxDialog& box) {
    std::vector<RCPtr<QZ::LControl>> buttons;
    for (const char16_t* name :
         {u"buttonOK", u"buttonCancel", u"buttonAbort", u"buttonRetry", u"buttonIgnore", u"buttonYes", u"buttonNo"}) {
      if (const RCPtr<QZ::LControl> button = box.FindChildByName(WString(name)); button && button->IsShown(true)) {
        buttons.push_back(button);
      }
    }
    std::sort(buttons.begin(), buttons.end(),
              [](const auto& a, const auto& b) { return a->GetRect().x < b->GetRect().x; });
    return buttons;
  }
  static RCPtr<QZ::LControl> Part(const LMessageBoxDialog& box, const char* path) {
    RCPtr<QZ::LControl> part = box.FindChildByName(u"panelText");
    return std::string(path) == "panelText" ? part : part->FindChildByName(WString(path));
  }

  QZTest::ScriptedVideoBackend* script = nullptr;
  QZTest::FakeApplicationContext context;
  RCPtr<QZ::LNotificationCenter> centre;
  RCPtr<QZ::LMeasurementRenderer> measurer{new QZ::LGDIRenderer};
  QZTest::FakeControlApplication application;
  RCPtr<QZTest::FakeRootWindow> owner{new QZTest::FakeRootWindow};
  QZTest::TempFolder folder;
  std::vector<Step> steps;
  std::deque<Step> idleSteps;
  std::vector<bool> systemMenus;
  std::vector<int32_t> loopResults;
};

TEST_F(MessageBoxDialogTest, EachStyleShowsItsButtonsInTheSystemsOrderAndItsIcon) {
  struct Case {
    uint32_t style;
    std::vector<std::string> buttons;
    int32_t icon; // the look shown, -1 hidden
  };
  const Case cases[] = {
      {0, {"OK"}, -1},
      {Win::MB_OKCANCEL | Win::MB_ICONERROR, {"OK", "CANCEL"}, 0},
      {Win::MB_ABORTRETRYIGNORE | Win::MB_ICONQUESTION, {"ABORT", "RETRY", "IGNORE"}, 1},
      {Win::MB_YESNOCANCEL | Win::MB_ICONWARNING, {"YES", "NO", "CANCEL"}, 2},
      {Win::MB_YESNO | Win::MB_ICONINFORMATION, {"YES", "NO"}, 3},
      {Win::MB_RETRYCANCEL, {"RETRY", "CANCEL"}, -1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.style);
    const RCPtr<LMessageBoxDialog> box = Prepared(WString(u"The preset file could not be loaded."), c.style);
    ASSERT_TRUE(box);
    const std::vector<RCPtr<QZ::LControl>> buttons = ShownButtons(*box);
    std::vector<std::string> texts;
    for (const RCPtr<QZ::LControl>& button : buttons) {
      texts.push_back(QZTest::Utf8(button->GetText()));
    }
    EXPECT_EQ(texts, c.buttons);
    const RCPtr<QZ::LControl> icon = box->FindChildByName(u"labelIcon");
    EXPECT_EQ(icon->IsShown(true), c.icon >= 0);
    if (c.icon >= 0) {
      EXPECT_EQ(icon->GetCurrentLookIndex(), c.icon);
    }
    // The row ends where the text does; without an icon the text begins where the icon would.
    const RCPtr<QZ::LControl> text = Part(*box, "panelText");
    EXPECT_EQ(buttons.back()->GetRect().x + buttons.back()->GetRect().width, text->GetRect().x + text->GetRect().width);
    EXPECT_EQ(text->GetRect().x, c.icon >= 0 ? icon->GetRect().x + icon->GetRect().width + 16 : icon->GetRect().x);
    EXPECT_EQ(box->GetText(), u"Caption");
    box->ReleaseInternalReferences();
  }
}

TEST_F(MessageBoxDialogTest, TheDefaultButtonHasTheFocusReturnChoosesItAndAClickItsButton) {
  EXPECT_EQ(Show(WString(u"Save?"), Win::MB_YESNOCANCEL | Win::MB_DEFBUTTON2, {Key(SDLK_RETURN, SDL_SCANCODE_RETURN)}),
            Win::IDNO);
  EXPECT_EQ(Show(WString(u"Save?"), Win::MB_YESNOCANCEL | Win::MB_DEFBUTTON3, {Key(SDLK_RETURN, SDL_SCANCODE_RETURN)}),
            Win::IDCANCEL);
  EXPECT_EQ(Show(WString(u"Save?"), Win::MB_YESNO | Win::MB_DEFBUTTON3, {Key(SDLK_KP_ENTER, SDL_SCANCODE_KP_ENTER)}),
            Win::IDYES);
  // Tab moves on to the next button, which Return then chooses.
  EXPECT_EQ(Show(WString(u"Save?"), Win::MB_OKCANCEL,
                 {Key(SDLK_TAB, SDL_SCANCODE_TAB), Key(SDLK_RETURN, SDL_SCANCODE_RETURN)}),
            Win::IDCANCEL);
  EXPECT_EQ(Show(WString(u"Failed."), Win::MB_RETRYCANCEL, {ClickOn(u"buttonRetry")}), Win::IDRETRY);
  EXPECT_EQ(Show(WString(u"Failed."), Win::MB_ABORTRETRYIGNORE, {ClickOn(u"buttonIgnore")}), Win::IDIGNORE);
}

TEST_F(MessageBoxDialogTest, EscapeAndTheCloseBoxCancelOnlyWhereTheBoxHasCancelOrOkAlone) {
  EXPECT_EQ(Show(WString(u"Done."), Win::MB_OK, {Key(SDLK_ESCAPE, SDL_SCANCODE_ESCAPE)}), Win::IDOK);
  EXPECT_EQ(Show(WString(u"Go?"), Win::MB_OKCANCEL, {Key(SDLK_ESCAPE, SDL_SCANCODE_ESCAPE)}), Win::IDCANCEL);
  EXPECT_EQ(Show(WString(u"Save?"), Win::MB_YESNOCANCEL, {Close()}), Win::IDCANCEL);
  EXPECT_EQ(systemMenus, std::vector<bool>({true, true, true}));
  // Neither takes down a box that only its buttons answer.
  EXPECT_EQ(
      Show(WString(u"Save?"), Win::MB_YESNO, {Key(SDLK_ESCAPE, SDL_SCANCODE_ESCAPE), Close(), ClickOn(u"buttonNo")}),
      Win::IDNO);
  EXPECT_FALSE(systemMenus.back()) << "no close box";
}

TEST_F(MessageBoxDialogTest, ReturnAnswersAsTheDefaultButtonAfterAClickOnTheScrollBarTookTheFocusOffTheButtons) {
  application.screenRect = {0, 0, 800, 600}; // the report scrolls
  std::u16string report;
  for (int i = 1; i <= 40; ++i) {
    report += u"Line " + std::u16string(1, char16_t(u'0' + i % 10)) + u" of the report\n";
  }
  const auto bar = [](const LMessageBoxDialog& box) {
    return RCPtr<QZ::LControl>(QZ::DynamicCast<QZ::LScrollView>(Part(box, "panelText"))->GetVerticalBar());
  };
  for (const auto& [style, answer] : {std::pair{Win::MB_YESNOCANCEL | Win::MB_DEFBUTTON2, Win::IDNO},
                                      std::pair{Win::MB_ABORTRETRYIGNORE | Win::MB_DEFBUTTON3, Win::IDIGNORE},
                                      std::pair{Win::MB_YESNO, Win::IDYES}}) {
    SCOPED_TRACE(style);
    double scrolled = 0;
    const Step returnOffTheButtons = [&](uint32_t id, LMessageBoxDialog& box) {
      const RCPtr<QZ::LControl> focused = box.GetRootWindowRef()->GetFocusedControl();
      EXPECT_FALSE(QZ::DynamicCast<QZ::LButton>(focused)) << QZTest::Utf8(focused->GetName()) << " has the focus";
      scrolled = Part(box, "panelText")->GetScrollOffset().y;
      Key(SDLK_RETURN, SDL_SCANCODE_RETURN)(id, box);
    };
    EXPECT_EQ(Show(WString(report.c_str()), style | Win::MB_ICONWARNING,
                   {ClickAt(bar, 0.5, 0.9), AtIdlePasses({returnOffTheButtons})}),
              answer);
    EXPECT_TRUE(idleSteps.empty());
    EXPECT_GT(scrolled, 0) << "the click scrolled the text";
  }
}

TEST_F(MessageBoxDialogTest, TheCloseOnAYesNoBoxIsRefusedAndTheButtonClickedAfterItAnswers) {
  for (const auto& [button, answer] : {std::pair{u"buttonYes", Win::IDYES}, std::pair{u"buttonNo", Win::IDNO}}) {
    SCOPED_TRACE(answer);
    EXPECT_EQ(Show(WString(u"Replace the preset?"), Win::MB_YESNO, {Close(), AtIdlePasses({ClickOn(button)})}), answer);
    EXPECT_TRUE(idleSteps.empty());
    EXPECT_EQ(script->Pending(), 0u) << "the box took the click";
  }
}

TEST_F(MessageBoxDialogTest, TheBoxGrowsWithItsTextWiderBeforeTallerCentredOnItsOwner) {
  const RCPtr<LMessageBoxDialog> small = Prepared(WString(u"Done."), Win::MB_OK);
  const RCPtr<LMessageBoxDialog> skin = LMessageBoxDialog::Create(*application.factory);
  EXPECT_EQ(small->GetRect().width, skin->GetRect().width) << "a short text keeps the skin's size";
  EXPECT_EQ(small->GetRect().height, skin->GetRect().height);
  EXPECT_EQ(small->GetRect().x, (1200 - small->GetRect().width) / 2);
  EXPECT_EQ(small->GetRect().y, (850 - small->GetRect().height) / 2);

  std::u16string words;
  QZ::RectT<double> previous = small->GetRect();
  for (int step = 0; step < 5; ++step) {
    for (int i = 0; i < 12 << step; ++i) {
      words += u"preset word ";
    }
    const RCPtr<LMessageBoxDialog> box = Prepared(WString(words.c_str()), Win::MB_OK);
    const QZ::RectT<double> rect = box->GetRect();
    EXPECT_GE(rect.width, previous.width) << step;
    EXPECT_GE(rect.height, previous.height) << step;
    EXPECT_GT(rect.width + rect.height, previous.width + previous.height) << step;
    // The text is at least kTextAspect times as wide as tall while the screen lets it be.
    const RCPtr<QZ::LControl> label = Part(*box, "labelText");
    if (rect.width < 1280 - 100) {
      EXPECT_LE(label->GetRect().height * LMessageBoxDialog::kTextAspect, label->GetRect().width + 1) << step;
    }
    EXPECT_LE(rect.width, 1280);
    previous = rect;
    box->ReleaseInternalReferences();
  }
  small->ReleaseInternalReferences();
  skin->ReleaseInternalReferences();
}

TEST_F(MessageBoxDialogTest, AVeryLongTextWrapsAndScrollsInABoxThatStaysInTheWorkArea) {
  application.screenRect = {0, 0, 800, 600};
  std::u16string lines;
  for (int i = 1; i <= 40; ++i) {
    lines += u"Line " + std::u16string(1, char16_t(u'0' + i % 10)) + u" of the report\n";
  }
  std::u16string words;
  while (words.size() < 2000) {
    words += u"Unreadable preset data ";
  }
  for (const std::u16string& text : {lines, words}) {
    const RCPtr<LMessageBoxDialog> box = Prepared(WString(text.c_str()), Win::MB_OK | Win::MB_ICONERROR);
    const QZ::RectT<double> rect = box->GetRect();
    const double buttonHeight = box->FindChildByName(u"buttonOK")->GetRect().height;
    EXPECT_LE(rect.width, 800);
    EXPECT_LE(rect.height, 600 - buttonHeight) << "room for the title";
    // Every line within the label, which holds all of the text.
    const RCPtr<QZ::LScrollView> panel = QZ::DynamicCast<QZ::LScrollView>(Part(*box, "panelText"));
    const RCPtr<QZ::LControl> label = Part(*box, "labelText");
    RCPtr<QZ::LFontText> block(new QZ::LFontText(WString(text.c_str()), label->GetFont()));
    block->SetWrap(true);
    block->SetSize({int32_t(label->GetRect().width), int32_t(label->GetRect().height)});
    const uint32_t count = block->Layout();
    EXPECT_GE(count, std::max<size_t>(std::count(text.begin(), text.end(), u'\n'), 4));
    for (uint32_t i = 0; i < count; ++i) {
      EXPECT_LE(block->GetLineRect(i).x + block->GetLineRect(i).width, label->GetRect().width)
          << QZTest::Utf8(block->GetLine(i));
    }
    EXPECT_GE(label->GetRect().height, block->GetTextHeight(int32_t(label->GetRect().width)));
    // What the box cannot show scrolls beside its bar, down to the last line.
    ASSERT_TRUE(panel->GetVerticalBar());
    if (label->GetRect().height > panel->GetRect().height) {
      EXPECT_TRUE(panel->GetVerticalBar()->IsShown(true));
      EXPECT_LE(label->GetRect().width + panel->GetVerticalBar()->GetRect().width, panel->GetRect().width);
      panel->SetScrollOffset({0, label->GetRect().height});
      EXPECT_EQ(panel->GetScrollOffset().y, label->GetRect().height - panel->GetContentRect().height);
    } else {
      EXPECT_FALSE(panel->GetVerticalBar()->IsShown(true));
    }
    box->ReleaseInternalReferences();
  }
}

TEST_F(MessageBoxDialogTest, AQuitOrTheApplicationsExitEndsTheBoxAsCancelled) {
  EXPECT_EQ(
      Show(WString(u"Save?"), Win::MB_YESNO, {[](uint32_t, LMessageBoxDialog&) { Host::PostQuitMessage(0); }}, true),
      Win::IDNO);
  // The loop hands the quit on to the loops outside it: none here.
  Win::MSG msg;
  EXPECT_EQ(Host::PumpWaitingMessage(msg), Host::Pumped::Quit);
  EXPECT_EQ(Show(WString(u"Go?"), Win::MB_OKCANCEL,
                 {[](uint32_t, LMessageBoxDialog& box) { box.GetRootWindowRef()->EndModal(0); }}),
            Win::IDCANCEL);
}

TEST_F(MessageBoxDialogTest, WithoutAWindowABoxInTheSkinOrItsOwnWindowNoBoxShows) {
  application.rootWindows.clear();
  EXPECT_FALSE(Show(WString(u"Done."), Win::MB_OK, {}));
  application.rootWindows.push_back(owner);
  application.rootWindowForControl = [](const RCPtr<QZ::LControl>&, bool) { return int32_t(QZ::QZ_E_FAIL); };
  EXPECT_FALSE(Show(WString(u"Done."), Win::MB_OK, {}));
  application.factory = RCPtr<QZ::LControlFactory>(new QZ::LControlFactory());
  ASSERT_EQ(application.factory->LoadSkins(WString(QZTest::WidgetSkinFile("WidgetSkins.xml").c_str())), QZ::QZ_OK);
  EXPECT_FALSE(Show(WString(u"Done."), Win::MB_OK, {}));
  EXPECT_EQ(application.modalControls.size(), 1u) << "only the box of the shipped skin asked for a window";
}

} // namespace
