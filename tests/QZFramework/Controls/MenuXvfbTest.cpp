// Menus in a real window under the X server of the Xvfb fixture: the test skin's menu bar
// with "File" open (rows, separators, hot-key texts) shows its reference image; the shipped
// skin's bar, in both of its skins, opens its "File" menu inside the window (the pictures
// are written to the build folder to be looked at).

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "MenuTestSupport.h"
#include "QZFramework/ControlBase/ControlDescriptor.h"
#include "QZFramework/Controls/TextBox.h"

// Last: X11's macros (None, Bool, Status...) would break the headers above.
#include "Support/XvfbWidgetTest.h"

namespace {

class MenuXvfbTest : public QZTest::XvfbWidgetTest {
protected:
  void SetUp() override {
    ASSERT_NO_FATAL_FAILURE(XvfbWidgetTest::SetUp());
    QZTest::RegisterMenuClasses(*application.factory);
    application.factory->RegisterControlCreateFunction(u"Framework.TextBox", &QZ::CreateControlOf<QZ::LTextBox>);
    QZTest::RegisterListWidgets(*application.factory);
    QZTest::RegisterWidgets(*application.factory);
    application.globalHotKeys = QZ::RCPtr<QZ::LGlobalHotKeyManager>(new QZ::LGlobalHotKeyManager(nullptr));
    QZ::HotKeyMap& keys = application.globalHotKeys->GetHotKeyMap();
    ASSERT_EQ(keys.AddBinding(QZ::KeyCode::FromString(u"Ctrl+VKEY_S"), u"NID_MENU_FILE_SAVE_PRESET_TO_FILE"),
              QZ::QZ_OK);
    ASSERT_EQ(keys.AddBinding(QZ::KeyCode::FromString(u"Ctrl+VKEY_O"), u"NID_MENU_FILE_LOAD_PRESET_FROM_FILE"),
              QZ::QZ_OK);
    ASSERT_EQ(keys.AddBinding(QZ::KeyCode::FromString(u"Ctrl+Shift+VKEY_S"), u"NID_MENU_FILE_SEND_PRESET_TO_DEVICE"),
              QZ::QZ_OK);
    ASSERT_EQ(keys.AddBinding(QZ::KeyCode::FromString(u"Ctrl+Shift+VKEY_R"), u"NID_MENU_FILE_LOAD_PRESET_FROM_DEVICE"),
              QZ::QZ_OK);
  }
};

// The descriptor named name at any depth below entry; null when none is.
QZ::RCPtr<QZ::LControlDescriptor> FindBelow(const QZ::RCPtr<QZ::LControlDescriptor>& entry, const QZ::WString& name) {
  if (!entry) {
    return nullptr;
  }
  for (uint32_t i = 0; i < entry->GetChildren().GetCount(); ++i) {
    const QZ::RCPtr<QZ::LControlDescriptor>& child = entry->GetChildren().GetAt(i);
    if (child->GetName() == name) {
      return child;
    }
    if (QZ::RCPtr<QZ::LControlDescriptor> found = FindBelow(child, name)) {
      return found;
    }
  }
  return nullptr;
}

TEST_F(MenuXvfbTest, TheOpenFileMenuOfTheBarShowsItsReferenceImage) {
  const std::string data = QZ_WIDGET_TEST_DATA;
  ASSERT_EQ(application.factory->LoadSkins(QZ::WString((data + "/Menus.xml").c_str())), QZ::QZ_OK);
  ASSERT_EQ(
      application.factory->LoadStringTables(QZ::WString((data + "/MenuStrings.xml").c_str()), QZ::WString(), 0x0409),
      QZ::QZ_OK);
  ASSERT_NO_FATAL_FAILURE(OpenWindow(u"Menus", 400, 240));
  ASSERT_EQ(root->SetRootControl(u"barHost"), QZ::QZ_OK);
  const QZ::RCPtr<QZ::LMainMenu> bar =
      QZ::DynamicCast<QZ::LMainMenu>(root->GetRootControl()->FindChildByName(u"mainMenu"));
  ASSERT_TRUE(bar);
  ASSERT_EQ(bar->GetAddedMenuCount(), 2);
  const QZ::RCPtr<QZ::LComboMenu> file = bar->GetAddedMenu(0);
  ASSERT_TRUE(Painted()); // the window settled: shown, activated, its focus placed
  ASSERT_EQ(file->ShowDropDown(true), QZ::QZ_OK);
  const QZ::RCPtr<QZ::LPopupMenu> popup = file->GetPopupMenu();
  ASSERT_EQ(popup->SelectItems(3, -1, true), 3); // "Load Preset" highlighted
  ASSERT_TRUE(Painted());
  ASSERT_TRUE(file->IsDroppedDown());
  const auto shot = Screenshot();
  ASSERT_TRUE(shot);
  EXPECT_TRUE(QZTest::ImagesMatch(*shot, QZTest::ReferenceImage("MenuBarFileOpen.png"), 2, QZ_WIDGET_TEST_OUTPUT));
}

TEST_F(MenuXvfbTest, TheShippedBarOpensItsFileMenuInsideTheWindowInBothSkins) {
  ASSERT_NO_FATAL_FAILURE(LoadShippedSkin(QZ_SKIN_ART_IMAGES, QZ_RESOURCE_DOCUMENTS));
  ASSERT_NO_FATAL_FAILURE(OpenWindow(u"Menus", 640, 480));
  struct Case {
    int32_t skinIndex;
    const char* picture;
  };
  for (const Case& c : {Case{0, "/MenuBarShippedHighDPI.png"}, Case{1, "/MenuBarShippedSkin1.png"}}) {
    SCOPED_TRACE(c.picture);
    application.factory->SetCurrentSkinIndex(c.skinIndex);
    const QZ::RCPtr<QZ::LControlDescriptor> entry =
        FindBelow(application.factory->FindControlDescriptor(u"mainControl"), u"mainMenu");
    ASSERT_TRUE(entry);
    const QZ::RCPtr<QZ::LMainMenu> bar =
        QZ::DynamicCast<QZ::LMainMenu>(application.factory->CreateControl(nullptr, entry));
    ASSERT_TRUE(bar);
    ASSERT_EQ(root->InstallRootControl(bar), QZ::QZ_OK);
    bar->SubscribeNotifications();
    // The editor's File and Help menus, as the string table gives them.
    std::vector<QZ::LMenuDescriptor::Entry> file = {
        {u"00.NID_MENU_FILE_SEND_PRESET_TO_DEVICE", u"Send Preset | Send this preset to the controller."},
        {u"01.NID_MENU_FILE_LOAD_PRESET_FROM_DEVICE", u"Retrieve Preset | Retrieve a preset from the controller."},
        {u"02.-", u"-"},
        {u"03.NID_MENU_FILE_LOAD_PRESET_FROM_FILE", u"Load Preset | Load Preset from disk."},
        {u"04.NID_MENU_FILE_SAVE_PRESET_TO_FILE", u"Save Preset | Save Preset to disk."},
        {u"05.-", u"-"},
        {u"06.NID_MENU_FILE_EXIT_REQ", u"Exit | Close the editor."}};
    std::vector<QZ::LMenuDescriptor::Entry> help = {
        {u"00.NID_MENU_HELP_OPEN_USER_GUIDE_REQ", u"User Guide | Open the user guide in the web browser."},
        {u"01.NID_MENU_HELP_ABOUT_REQ", u"About | Show the version of the editor."}};
    ASSERT_EQ(bar->AddMenu(0, u"File", u"File", QZ::LMenuDescriptor::CreateFromStringTable(file)), 0);
    ASSERT_EQ(bar->AddMenu(1, u"Help", u"Help", QZ::LMenuDescriptor::CreateFromStringTable(help)), 1);
    const QZ::RCPtr<QZ::LComboMenu> title = bar->GetAddedMenu(0);
    ASSERT_EQ(title->ShowDropDown(true), QZ::QZ_OK);
    const QZ::RCPtr<QZ::LPopupMenu> popup = title->GetPopupMenu();
    ASSERT_EQ(popup->SelectItems(4, -1, true), 4);
    ASSERT_TRUE(Painted());
    const QZ::PointT<double> at = popup->GetWindowPosition();
    EXPECT_EQ(at.y, title->GetRect().y + title->GetRect().height);
    EXPECT_GT(popup->GetRect().height, 0.0);
    EXPECT_EQ(QZTest::Utf8(popup->GetMenuItem(4)->GetHotKeyText()), "Ctrl+S");
    const auto shot = Screenshot();
    ASSERT_TRUE(shot);
    std::filesystem::create_directories(QZ_WIDGET_TEST_OUTPUT);
    EXPECT_TRUE(QZTest::WritePng(*shot, std::string(QZ_WIDGET_TEST_OUTPUT) + c.picture));
    root->InstallRootControl(nullptr);
  }
}

} // namespace
