// Skin selection on the framework's application: the remembered skin applied at start-up
// and held to the skins there are, SetSkin's fonts, its refusals and failures, and what a
// skin change does to the root windows.

#include <gmock/gmock.h>

#include "ApplicationTestSupport.h"
#include "QZFramework/ControlBase/WindowOSServices.h"

namespace QZTest {
namespace {

using QZ::RCPtr;

constexpr char kFontFailureText[] =
    "Failed Result : QZRESULT = 80004005 : QZ::LFrameworkApp::SetSkin : Application\\FrameworkApp : Line 234";

struct SkinFont {
  std::string attributes; // FontName, FontSize, FontStyle as the Skin element has them
  int32_t mainWidth;      // of its "mainControl"
};

// A skin document of the given skins, each with "mainControl" (holding the panel "field").
std::string SkinsOf(const std::vector<SkinFont>& skins) {
  std::string text = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<Vandrel_Skin_Definitions><Application "
                     "Name=\"PresetEditor\"><Skins>";
  for (size_t i = 0; i < skins.size(); ++i) {
    text += "<Skin Name=\"Skin" + std::to_string(i) + "\" " + skins[i].attributes + ">" +
            "<SubControl Class=\"Test.Panel\" Name=\"mainControl\" XSizeAbs=\"" + std::to_string(skins[i].mainWidth) +
            "\" YSizeAbs=\"100\"><SubControl Class=\"Test.Panel\" Name=\"field\" XSizeAbs=\"20\" YSizeAbs=\"10\"/>"
            "</SubControl></Skin>";
  }
  return text + "</Skins></Application></Vandrel_Skin_Definitions>";
}

const std::vector<SkinFont> kTwoSkins = {{R"(FontName="Arial" FontSize="15.75" FontStyle="0")", 400},
                                         {R"(FontName="Arial" FontSize="8.25" FontStyle="0")", 200}};

// The test application with a user settings file of its own and a system font the test sets.
class SkinApplication : public TestApplication {
public:
  SkinApplication(const RCPtr<QZ::LControlFactory>& factory, std::string settingsPath, QZ::MillisecondClock clock)
      : TestApplication(factory, nullptr, QZ::WString(u"editor"), std::move(clock)), mPath(std::move(settingsPath)) {}

  uint32_t OpenSettingsFiles(int32_t kind) override {
    if (kind == QZ::kUserSettingsFile && mUserFile == 0) {
      (void)GetIniFileManagerPtr()->Load(QZ::WString(mPath.c_str()), u"1_0_0", u"Test", mUserFile); // 0: a new file
    }
    return kind == QZ::kUserSettingsFile ? mUserFile : 0;
  }
  QZ::QZResult GetSystemFont(QZ::WString& face, float& size, int32_t& style) override {
    if (systemFontFails) {
      return QZ::QZ_E_FAIL;
    }
    face = u"System Face";
    size = 11.0f;
    style = 2;
    return QZ::QZ_OK;
  }
  int32_t Stored() {
    int32_t index = -100;
    GetIniFileManagerPtr()->GetInt(OpenSettingsFiles(1), u"CurrentSkinIndex", -100, index); // a missing key
    return index;
  }
  void Store(int32_t index) { GetIniFileManagerPtr()->SetInt(OpenSettingsFiles(1), u"CurrentSkinIndex", index); }

  bool systemFontFails = false;

private:
  std::string mPath;
  uint32_t mUserFile = 0;
};

class SkinSelectionTest : public ApplicationFixture {
protected:
  void MakeSkinApplication(const std::string& skins, const std::string& tablesFolder = "") {
    app = RCPtr<TestApplication>(
        new SkinApplication(MakeFactory(skins, tablesFolder), folder / "UserSettings.ini", [this] { return now; }));
  }
  SkinApplication& skinApp() { return static_cast<SkinApplication&>(*app); }
  int32_t CurrentSkin() { return app->GetControlFactory()->GetCurrentSkinIndex(); }
  std::tuple<std::u16string, float, int32_t> DefaultFont() {
    QZ::WString face;
    float size = 0;
    int32_t style = 0;
    EXPECT_EQ(app->GetDefaultFont(face, size, style), QZ::QZ_OK);
    return {std::u16string(face.View()), size, style};
  }
};

TEST_F(SkinSelectionTest, TheStartupAppliesTheRememberedSkinHeldToTheSkinsThereAre) {
  struct Case {
    std::optional<int32_t> stored;
    int32_t applied;
  };
  for (const Case& test : {Case{std::nullopt, 0}, Case{0, 0}, Case{1, 1}, Case{5, 1}, Case{-3, 0}}) {
    MakeSkinApplication(SkinsOf(kTwoSkins));
    if (test.stored) {
      skinApp().Store(*test.stored);
    }
    EXPECT_EQ(app->GetCurrentSkinIndex(), test.stored.value_or(0));
    ASSERT_EQ(app->RunApplicationStartup(), QZ::QZ_OK);
    EXPECT_EQ(CurrentSkin(), test.applied) << test.stored.value_or(-100);
    EXPECT_EQ(skinApp().Stored(), test.applied);
    EXPECT_EQ(app->GetControlFactory()->FindControlDescriptor(u"mainControl"),
              app->GetControlFactory()->GetSkins().GetAt(uint32_t(test.applied))->GetChildren().GetAt(0));
    DropApplication();
  }
}

TEST_F(SkinSelectionTest, WithoutASettingsFileTheRememberedSkinIsTheFirst) {
  MakeApplication(SkinsOf(kTwoSkins)); // the plain test application has no settings files
  EXPECT_EQ(app->GetCurrentSkinIndex(), 0);
  ASSERT_EQ(app->RunApplicationStartup(), QZ::QZ_OK);
  EXPECT_EQ(app->GetControlFactory()->GetCurrentSkinIndex(), 0);
}

TEST_F(SkinSelectionTest, ADocumentWithoutSkinsFailsTheStartup) {
  MakeSkinApplication(SkinsOf({}));
  ASSERT_EQ(app->GetControlFactory()->GetSkinCount(), 0u);
  EXPECT_EQ(app->RunApplicationStartup(), QZ::QZ_E_FAIL);
  EXPECT_EQ(skinApp().Stored(), -100) << "nothing remembered";
}

TEST_F(SkinSelectionTest, AnIndexOutsideTheSkinsIsRefusedAndChangesNothing) {
  MakeSkinApplication(SkinsOf(kTwoSkins));
  ASSERT_EQ(app->RunApplicationStartup(), QZ::QZ_OK);
  ASSERT_EQ(app->SetSkin(1), QZ::QZ_OK);
  const RCPtr<QZ::LFont> font = app->GetDefaultFontObject();
  for (int32_t index : {7, 2, -1, INT32_MIN}) {
    EXPECT_EQ(app->SetSkin(index), QZ::QZ_E_INVALIDARG) << index;
    EXPECT_EQ(CurrentSkin(), 1);
    EXPECT_EQ(app->GetDefaultFontObject(), font);
    EXPECT_EQ(skinApp().Stored(), 1);
  }
}

TEST_F(SkinSelectionTest, TheSkinsFontOverridesTheSystemFontWhereItGivesOne) {
  MakeSkinApplication(SkinsOf({kTwoSkins[0],
                               kTwoSkins[1],
                               {R"(FontName="" FontSize="0.5" FontStyle="-1")", 100},
                               {R"(FontName="Liberation Serif" FontStyle="5")", 100}}));
  ASSERT_EQ(app->RunApplicationStartup(), QZ::QZ_OK);
  using Font = std::tuple<std::u16string, float, int32_t>;
  const std::pair<int32_t, Font> cases[] = {
      {1, {u"Arial", 8.25f, 0}},
      {0, {u"Arial", 15.75f, 0}},
      {2, {u"System Face", 11.0f, 2}},
      {3, {u"Liberation Serif", 11.0f, 5}},
  };
  for (const auto& [index, font] : cases) {
    ASSERT_EQ(app->SetSkin(index), QZ::QZ_OK);
    EXPECT_EQ(DefaultFont(), font) << index;
    EXPECT_EQ(skinApp().Stored(), index);
  }
}

TEST_F(SkinSelectionTest, ASystemFontThatCannotBeReadThrowsBeforeAnythingChanges) {
  MakeSkinApplication(SkinsOf(kTwoSkins));
  ASSERT_EQ(app->RunApplicationStartup(), QZ::QZ_OK);
  skinApp().systemFontFails = true;
  const RCPtr<QZ::LFont> font = app->GetDefaultFontObject();
  try {
    app->SetSkin(1);
    ADD_FAILURE() << "no exception";
  } catch (const QZ::FailedResultException& failure) {
    EXPECT_STREQ(failure.what(), kFontFailureText);
  }
  EXPECT_EQ(CurrentSkin(), 0);
  EXPECT_EQ(app->GetDefaultFontObject(), font);
  EXPECT_EQ(skinApp().Stored(), 0);
}

TEST_F(SkinSelectionTest, ASystemFontThatCannotBeReadFailsTheStartupAfterClassesHotKeysAndClipboard) {
  MakeSkinApplication(SkinsOf(kTwoSkins), QZ_PROGRAM_DOCUMENTS);
  skinApp().systemFontFails = true;
  EXPECT_EQ(app->RunApplicationStartup(), QZ::QZ_E_FAIL);
  QZ::ControlCreateFunction function = nullptr;
  EXPECT_EQ(app->GetControlFactory()->GetControlCreateFunction(u"Framework.CenteredSliderBounds", function), QZ::QZ_OK);
  const QZ::HotKeyMap& keys = app->GetGlobalHotKeyManager()->GetHotKeyMap();
  EXPECT_EQ(keys.FindCommand(QZ::KeyCode::FromString(u"VKEY_DELETE")), QZ::WString(u"NID_EDIT_DELETE_REQ"));
  EXPECT_TRUE(keys.FindCommand(QZ::KeyCode::FromString(u"Alt+VKEY_F4")).IsEmpty()) << "the base's step never ran";
  EXPECT_EQ(app->GetClipboard()->GetRegistrationCount(), 4) << "the clipboard took the edit requests";
  EXPECT_EQ(skinApp().Stored(), -100);
}

// An OS window stand-in whose activity the test sets; it records its invalidations.
class FakeOS final : public QZ::IWindowOSServices {
public:
  explicit FakeOS(QZ::RectT<int32_t> client) : mClient(client) {}
  bool active = false;
  std::vector<QZ::RectT<int32_t>> invalidated;

  bool IsActive() override { return active; }
  bool HasFocus() override { return active; }
  QZ::QZResult InvalidateRect(const QZ::RectT<int32_t>& rect) override {
    invalidated.push_back(rect);
    return QZ::QZ_OK;
  }
  QZ::QZResult GetClientRect(QZ::RectT<int32_t>& rect) override {
    rect = {0, 0, mClient.width, mClient.height};
    return QZ::QZ_OK;
  }
  QZ::QZResult ClientToScreen(QZ::PointT<int32_t>& point) override {
    point.x += mClient.x;
    point.y += mClient.y;
    return QZ::QZ_OK;
  }
  QZ::QZResult EndModal(int32_t) override { return QZ::QZ_OK; }
  QZ::QZResult SetTitle(const QZ::WString&) override { return QZ::QZ_OK; }
  QZ::QZResult InvalidateAll() override { return QZ::QZ_OK; }
  QZ::QZResult ScreenToClient(QZ::PointT<int32_t>&) override { return QZ::QZ_OK; }
  QZ::QZResult SetClientRect(const QZ::RectT<int32_t>&) override { return QZ::QZ_OK; }
  bool Show(int32_t) override { return true; }
  QZ::QZResult Redraw() override { return QZ::QZ_OK; }
  QZ::QZResult BringToTop() override { return QZ::QZ_OK; }
  QZ::QZResult SetTopMost(bool) override { return QZ::QZ_OK; }
  int32_t RunModalLoop() override { return -1; }
  bool IsModal() override { return false; }
  QZ::QZResult Activate() override { return QZ::QZ_OK; }
  QZ::CursorHandle SetCursor(QZ::CursorHandle cursor) override { return cursor; }
  QZ::PointT<int32_t> GetCursorPos() override { return {0, 0}; }
  uint32_t GetMouseButtons() override { return 0; }
  QZ::WindowHandle GetHandle() override { return nullptr; }
  QZ::QZResult GetWindowRect(QZ::RectT<int32_t>& rect) override { return GetClientRect(rect); }
  QZ::QZResult SetWindowRect(const QZ::RectT<int32_t>&) override { return QZ::QZ_OK; }
  QZ::QZResult UpdateSizeLimits() override { return QZ::QZ_OK; }

  void Resize(QZ::RectT<int32_t> client) { mClient = client; }

private:
  QZ::RectT<int32_t> mClient;
};

// A panel that logs when it gains or loses the keyboard focus ("<name> focus" and
// "<name> no focus").
class FocusLoggingPanel : public TestPanel {
public:
  using TestPanel::TestPanel;
  static std::vector<std::string>& Log() {
    static std::vector<std::string> log;
    return log;
  }
  QZ::QZResult OnConditionsChanged(const RCPtr<QZ::LConditionsParam>& param) override {
    const bool focused = (GetConditions() & QZ::kConditionHasFocus) != 0;
    if (focused != mFocused) {
      mFocused = focused;
      Log().push_back(std::string(QZ::NString(GetName()).GetBuffer()) + (focused ? " focus" : " no focus"));
    }
    return TestPanel::OnConditionsChanged(param);
  }

private:
  bool mFocused = false;
};

class SkinSwitchTest : public SkinSelectionTest {
protected:
  void TearDown() override {
    for (const RCPtr<QZ::LRootWindow>& window : {inactive, active}) {
      if (window) {
        window->SetOSServices(nullptr);
        app->RemoveRootWindow(window);
      }
    }
    inactive = nullptr;
    active = nullptr;
    SkinSelectionTest::TearDown();
  }

  FakeOS activeOS{{100, 50, 640, 480}};
  FakeOS otherOS{{10, 20, 300, 200}};
  RCPtr<QZ::LRootWindow> inactive;
  RCPtr<QZ::LRootWindow> active;
};

TEST_F(SkinSwitchTest, EachRootWindowIsSetUpAgainAndOnlyTheActiveOneLosesAndRegainsItsFocus) {
  const std::string skins = SkinsOf(kTwoSkins);
  std::string focusable = skins;
  const std::string plain = "Class=\"Test.Panel\" Name=\"field\"";
  for (size_t at = 0; (at = focusable.find(plain, at)) != std::string::npos;) {
    focusable.replace(at, plain.size(), "Class=\"Test.Focus\" Name=\"field\"");
  }
  MakeSkinApplication(focusable);
  app->GetControlFactory()->RegisterControlCreateFunction(u"Test.Focus", &QZ::CreateControlOf<FocusLoggingPanel>);
  ASSERT_EQ(app->RunApplicationStartup(), QZ::QZ_OK);
  ASSERT_EQ(CurrentSkin(), 0);

  inactive = QZ::LRootWindow::Create(nullptr, &otherOS);
  active = QZ::LRootWindow::Create(nullptr, &activeOS);
  ASSERT_EQ(app->AddRootWindow(inactive), 0);
  ASSERT_EQ(app->AddRootWindow(active), 1);
  ASSERT_EQ(inactive->SetRootControl(u"mainControl"), QZ::QZ_OK);
  activeOS.active = true;
  ASSERT_EQ(active->SetRootControl(u"mainControl"), QZ::QZ_OK);
  const RCPtr<QZ::LControl> activeField = active->GetRootControl()->FindChildByName(u"field");
  const RCPtr<QZ::LControl> otherField = inactive->GetRootControl()->FindChildByName(u"field");
  otherOS.active = true;
  otherField->SetFocus(true);
  otherOS.active = false;
  ASSERT_EQ(active->GetFocusedControl(), activeField);
  ASSERT_EQ(inactive->GetFocusedControl(), otherField);
  activeOS.Resize({100, 50, 700, 500});
  activeOS.invalidated.clear();
  otherOS.invalidated.clear();
  FocusLoggingPanel::Log().clear();
  int idlePasses = 0;
  app->onIdle = [&idlePasses](bool) { ++idlePasses; };

  ASSERT_EQ(app->SetSkin(1), QZ::QZ_OK);
  EXPECT_EQ(idlePasses, 2) << "one wait scope a window";
  // Each tree now has the new skin's entries, none made anew.
  const RCPtr<QZ::LControlDescriptor> main = app->GetControlFactory()->FindControlDescriptor(u"mainControl");
  for (const RCPtr<QZ::LRootWindow>& window : {active, inactive}) {
    EXPECT_EQ(window->GetRootControl()->GetControlDescriptor(), main);
    EXPECT_EQ(window->GetRootControl()->FindChildByName(u"field")->GetControlDescriptor(),
              main->GetChildren().GetAt(0));
  }
  EXPECT_EQ(active->GetRootControl()->FindChildByName(u"field"), activeField);
  // The active window was repainted whole at its size now, its field focused again.
  EXPECT_THAT(activeOS.invalidated, testing::Contains(QZ::RectT<int32_t>{0, 0, 700, 500}));
  EXPECT_THAT(otherOS.invalidated, testing::Contains(QZ::RectT<int32_t>{0, 0, 300, 200}));
  EXPECT_EQ(active->GetFocusedControl(), activeField);
  EXPECT_EQ(inactive->GetFocusedControl(), otherField);
  const std::vector<std::string> expected = {"field no focus", "field focus"};
  EXPECT_EQ(FocusLoggingPanel::Log(), expected) << "only the active window's field lost and regained the focus";
  app->onIdle = nullptr;
}

} // namespace
} // namespace QZTest
