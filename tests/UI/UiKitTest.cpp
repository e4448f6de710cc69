// The kit itself: a tree of the editor's classes made without any display, and modal
// dialogs driven from inside their loops, a dialog nobody closes failing the test in time.
#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>
#include <string>

#include "QZFramework/Controls/Dialog.h"
#include "QZFramework/System/FileDialog.h"
#include "Support/UiKit.h"
#include "UI/DriverCommon/MainControl.h"
#include "UI/PresetEditorCommon/VariantBufferSetterParameterPanel.h"

namespace {

using QZ::RCPtr;
using QZTest::UiKit;
namespace Xml = QZTest::UiXml;

// Takes an environment variable away for its lifetime.
class Unset {
public:
  explicit Unset(const char* name) : mName(name) {
    if (const char* value = std::getenv(name)) {
      mSaved = value;
    }
    ::unsetenv(name);
  }
  ~Unset() {
    if (mSaved) {
      ::setenv(mName, mSaved->c_str(), 1);
    }
  }
  Unset(const Unset&) = delete;
  Unset& operator=(const Unset&) = delete;

private:
  const char* mName;
  std::optional<std::string> mSaved;
};

UiKit::Options TreeWithDialog() {
  UiKit::Options options;
  options.skin =
      Xml::Control("PresetEditor.MainControl", "mainControl", {0, 0, 500, 300},
                   Xml::Control("Test.Device", "viewDevice", {0, 0, 500, 300},
                                Xml::ComboSelector("LabeledArpTypeSelector", "type", {10, 10, 140, 42}) +
                                    Xml::UpDownSelector("LabeledMinSelector", "min", {160, 10, 140, 42}) +
                                    Xml::ToggleSelector("LabeledArpLatchSelector", "latch", {310, 10, 80, 42}))) +
      Xml::Dialog("dialog", {0, 0, 200, 100}, Xml::Control("Framework.Button", "buttonOK", {10, 60, 80, 30})) +
      Xml::Control("Framework.Panel", "page", {0, 0, 300, 100},
                   Xml::TextBox("text", {10, 10, 120, 24}) +
                       Xml::Control("Framework.Button", "tipped", {140, 10, 60, 24}, {},
                                    "<CreateParam ID=\"TOOLTIP\" Type=\"String\">Sends the preset</CreateParam>"));
  return options;
}

TEST(UiKitTest, BuildsTheEditorsClassesWithoutADisplay) {
  const Unset display("DISPLAY");
  const Unset wayland("WAYLAND_DISPLAY");
  UiKit kit(TreeWithDialog());
  ASSERT_TRUE(kit.Main());
  for (const char* path : {"viewDevice/type/comboBox/listBox", "viewDevice/min/parameterControl/textBox",
                           "viewDevice/latch/parameterControl", "viewDevice/type/controlNameLabel"}) {
    EXPECT_TRUE(kit.Find(path)) << path;
  }
  EXPECT_TRUE(kit.Find<LVariantBufferSetterParameterPanel>("viewDevice/latch"));
  EXPECT_FALSE(kit.Find("viewDevice/nothing/here"));
  EXPECT_EQ(UiKit::TextOf(kit.Find("viewDevice/type/controlNameLabel")), u"TYPE");
  EXPECT_EQ(std::getenv("XDG_CONFIG_HOME"), kit.folders / "config");
}

TEST(UiKitTest, ModalStepsRunInsideTheLoopAndAnOpenDialogFailsWithinItsBound) {
  UiKit kit(TreeWithDialog());
  const auto make = [&] {
    return QZ::DynamicCast<QZ::LDialog>(kit.factory->CreateControlByName(QZ::WString(u"dialog"), nullptr));
  };
  int stepsRun = 0;
  kit.WhenModalOpens(
      u"dialog", {[&](QZ::LControl&) { ++stepsRun; }, [&](QZ::LControl& dialog) { kit.Click(dialog, "buttonOK"); }});
  const RCPtr<QZ::LDialog> closed = make();
  ASSERT_TRUE(closed);
  EXPECT_EQ(closed->DoModal(), QZ::LDialog::kResultOK);
  EXPECT_EQ(stepsRun, 1);

  kit.WhenModalOpens(u"dialog", {[&](QZ::LControl&) { ++stepsRun; }});
  const RCPtr<QZ::LDialog> left = make();
  int32_t result = 0;
  EXPECT_NONFATAL_FAILURE(result = left->DoModal(), "is still open");
  EXPECT_EQ(result, -1);
  EXPECT_EQ(stepsRun, 2);
}

} // namespace

namespace {

TEST(UiKitTest, RecordsFileDialogsTheShellAndMessageBoxesWithScriptedAnswers) {
  UiKit kit(TreeWithDialog());
  kit.fileDialogAnswers = {u"/presets/Lead.QuorinZTRPreset", u""};
  QZ::RCPtr<QZ::LFileDialog> dialog(new QZ::LFileDialog(QZ::WString(u"/presets")));
  ASSERT_EQ(dialog->ShowOpenDialog(QZ::WString(u"Presets|*.QuorinZTRPreset|All|*.*"), QZ::WString(u"QuorinZTRPreset"),
                                   QZ::WString(u"Load Preset"), false),
            QZ::QZ_OK);
  EXPECT_EQ(std::u16string(dialog->GetFileName().View()), u"/presets/Lead.QuorinZTRPreset");
  EXPECT_EQ(dialog->ShowSaveDialog(QZ::WString(u"Presets|*.QuorinZTRPreset"), QZ::WString(u"QuorinZTRPreset"),
                                   QZ::WString(u"Save Preset"), 64),
            QZ::QZ_E_FAIL)
      << "an empty answer cancels";
  ASSERT_EQ(kit.fileDialogs.size(), 2u);
  EXPECT_FALSE(kit.fileDialogs[0].save);
  EXPECT_EQ(kit.fileDialogs[0].title, u"Load Preset");
  EXPECT_EQ(kit.fileDialogs[0].filter, u"Presets|*.QuorinZTRPreset|All|*.*");
  EXPECT_EQ(kit.fileDialogs[0].defaultExtension, u"QuorinZTRPreset");
  EXPECT_EQ(kit.fileDialogs[0].folder, u"/presets");
  EXPECT_TRUE(kit.fileDialogs[1].save);

  kit.shellResult = false;
  EXPECT_EQ(QZ::LFileDialog::OpenWithShell(QZ::WString(u"https://example.org/guide")), QZ::QZ_E_FAIL);
  EXPECT_EQ(kit.shellOpened, std::vector<std::u16string>{u"https://example.org/guide"});

  kit.SetMessageBoxAnswer(7);
  EXPECT_EQ(QZ::ShowEditorMessageBox(QZ::WString(u"Overwrite?"), QZ::WString(u"Save Preset"), 0x24), 7);
  ASSERT_EQ(kit.MessageBoxes().size(), 1u);
  EXPECT_EQ(kit.MessageBoxes()[0].caption, u"Save Preset");
  EXPECT_EQ(kit.MessageBoxes()[0].style, 0x24u);
}

} // namespace

namespace {

TEST(UiKitTest, TypesSendsKeysAndReadsTextsAndToolTips) {
  UiKit::Options options = TreeWithDialog();
  options.top = u"page";
  UiKit kit(options);
  const RCPtr<QZ::LControl> text = kit.Find("text");
  kit.Type(text, u"abc");
  EXPECT_EQ(UiKit::TextOf(text), u"abc");
  kit.Key(u"VKEY_BACK");
  kit.Key(u"VKEY_HOME");
  kit.Key(u"Shift+VKEY_END");
  kit.Type(text, u"z"); // Type selects the whole text first: "z" replaces it
  EXPECT_EQ(UiKit::TextOf(text), u"z");
  EXPECT_EQ(UiKit::ToolTipOf(kit.Find("tipped")), u"Sends the preset");
  EXPECT_EQ(UiKit::ToolTipOf(kit.Find("nothing")), u"");
}

} // namespace
