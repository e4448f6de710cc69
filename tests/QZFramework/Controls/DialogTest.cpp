#include "QZFramework/Controls/Dialog.h"

#include <gtest/gtest.h>

#include "QZFramework/Controls/WidgetSkinTestSupport.h"

namespace {

using QZ::LDialog;
using QZ::RCPtr;
using QZTest::TimedRecorder;
using QZTest::WidgetSkin;

// A field that keeps the focus while it holds a text it cannot accept.
class StubbornField : public QZ::LControl {
public:
  using LControl::LControl;
  bool CanReleaseFocus() override { return !refuses; }
  bool refuses = false;
};

void RegisterDialogClasses(QZ::LControlFactory& factory) {
  factory.RegisterControlCreateFunction(u"Test.Dialog", &QZ::CreateControlOf<LDialog>);
  factory.RegisterControlCreateFunction(u"Framework.TextBox", &QZ::CreateControlOf<StubbornField>);
}

class DialogTest : public ::testing::Test {
protected:
  void SetUp() override {
    ASSERT_EQ(skin.loaded, QZ::QZ_OK);
    dialog = QZ::DynamicCast<LDialog>(skin.Create(u"dialog"));
    ASSERT_TRUE(dialog);
    recorder = TimedRecorder::Listen(RCPtr<QZ::LNotificationDistributor>(dialog),
                                     {u"NID_DIALOG_CLOSING", u"NID_DIALOG_CLOSED"});
  }
  void Click(const char16_t* button) {
    const RCPtr<QZ::LControl> control = skin.Find({button});
    ASSERT_TRUE(control) << QZTest::Utf8(QZ::WString(button));
    skin.pointer.ClickAt(control, 5, 5);
  }
  std::vector<std::string> Heard() const {
    std::vector<std::string> names;
    for (const TimedRecorder::Heard& heard : recorder->heard) {
      names.push_back(heard.name);
    }
    return names;
  }

  WidgetSkin skin{"Dialog.xml", RegisterDialogClasses};
  RCPtr<LDialog> dialog;
  RCPtr<TimedRecorder> recorder;
};

TEST_F(DialogTest, EachStandardButtonEndsTheDialogWithItsResult) {
  const std::pair<const char16_t*, int32_t> buttons[] = {
      {u"buttonOK", 1},    {u"buttonClose", 1},  {u"buttonCancel", 2}, {u"buttonAbort", 3},
      {u"buttonRetry", 4}, {u"buttonIgnore", 5}, {u"buttonYes", 6},    {u"buttonNo", 7},
  };
  for (const auto& [button, result] : buttons) {
    skin.window->endModalResults.clear();
    recorder->heard.clear();
    Click(button);
    EXPECT_EQ(skin.window->endModalResults, std::vector<int32_t>{result}) << QZTest::Utf8(QZ::WString(button));
    EXPECT_EQ(dialog->GetResult(), result);
    EXPECT_EQ(Heard(), (std::vector<std::string>{"NID_DIALOG_CLOSING", "NID_DIALOG_CLOSED"}));
  }
}

TEST_F(DialogTest, OkWaitsForTheFocusedControlToLetTheFocusGo) {
  const RCPtr<StubbornField> field = skin.Find<StubbornField>({u"textBox"});
  ASSERT_TRUE(field);
  ASSERT_GE(int32_t(field->SetFocus(true)), 0);
  field->refuses = true;
  Click(u"buttonOK");
  Click(u"buttonClose");
  EXPECT_TRUE(skin.window->endModalResults.empty());
  EXPECT_TRUE(recorder->heard.empty()) << "nobody was asked";
  EXPECT_TRUE(field->HasFocus());
  // The other buttons do not wait.
  Click(u"buttonCancel");
  EXPECT_EQ(skin.window->endModalResults, std::vector<int32_t>{2});
  field->refuses = false;
  Click(u"buttonOK");
  EXPECT_EQ(skin.window->endModalResults, (std::vector<int32_t>{2, 1}));
  EXPECT_TRUE(skin.Find({u"buttonOK"})->HasFocus());
}

TEST_F(DialogTest, AClosingListenerMayKeepTheDialogOpenEachTime) {
  int asked = 0;
  recorder->onHeard = [&asked](const RCPtr<QZ::LNotification>& notification) {
    if (const auto args = QZ::DynamicCast<QZ::LCancelArgs>(notification->GetParameter())) {
      ++asked;
      args->SetCancel(asked < 3);
    }
  };
  Click(u"buttonCancel");
  Click(u"buttonCancel");
  EXPECT_EQ(asked, 2) << "asked again";
  EXPECT_TRUE(skin.window->endModalResults.empty());
  EXPECT_EQ(Heard(), (std::vector<std::string>{"NID_DIALOG_CLOSING", "NID_DIALOG_CLOSING"}));
  EXPECT_EQ(dialog->EndDialog(LDialog::kResultRetry), QZ::QZ_OK);
  EXPECT_EQ(skin.window->endModalResults, std::vector<int32_t>{4});
  EXPECT_EQ(dialog->GetResult(), 4);
}

TEST_F(DialogTest, WithoutAnOSWindowTheNotificationsStillGoOut) {
  skin.window->endModalAnswer = QZ::QZ_E_FAIL;
  EXPECT_EQ(dialog->EndDialog(LDialog::kResultNo), QZ::QZ_E_FAIL);
  EXPECT_EQ(Heard(), (std::vector<std::string>{"NID_DIALOG_CLOSING", "NID_DIALOG_CLOSED"}));
  // Outside any window.
  skin.window->InstallRootControl(nullptr);
  recorder->heard.clear();
  EXPECT_EQ(dialog->EndDialog(LDialog::kResultOK), QZ::QZ_E_FAIL);
  EXPECT_EQ(Heard(), (std::vector<std::string>{"NID_DIALOG_CLOSING", "NID_DIALOG_CLOSED"}));
}

TEST_F(DialogTest, ADialogWithoutButtonsEndsOnlyWhenAsked) {
  const RCPtr<LDialog> bare = QZ::DynamicCast<LDialog>(skin.Create(u"bareDialog"));
  ASSERT_TRUE(bare);
  skin.pointer.ClickAt(skin.Find({u"message"}), 5, 5);
  EXPECT_TRUE(skin.window->endModalResults.empty());
  EXPECT_EQ(bare->EndDialog(LDialog::kResultCancel), QZ::QZ_OK);
  EXPECT_EQ(skin.window->endModalResults, std::vector<int32_t>{2});
}

TEST_F(DialogTest, DoModalAsksTheApplicationForAModalWindowWithASystemMenu) {
  EXPECT_EQ(dialog->DoModal(), QZ::QZ_E_FAIL) << "no window can be made";
  bool systemMenu = false;
  skin.application.rootWindowForControl = [&](const RCPtr<QZ::LControl>& control, bool withMenu) {
    EXPECT_EQ(control.Get(), dialog.Get());
    systemMenu = withMenu;
    return 6;
  };
  EXPECT_EQ(dialog->DoModal(), 6);
  EXPECT_TRUE(systemMenu);
  EXPECT_EQ(skin.application.modalControls.size(), 2u);
}

} // namespace
