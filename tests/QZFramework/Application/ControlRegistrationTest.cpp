// The framework's start-up registers the widget set's 40 class names: each resolves to its
// class's create function, each builds its class from a skin, unknown spellings are the
// factory's error; and a create function builds a control in the order its class relies on.

#include <gmock/gmock.h>

#include <set>

#include "ApplicationTestSupport.h"
#include "QZFramework/Application/FrameworkControlClasses.h"
#include "Support/ControlClassChecks.h"

namespace QZTest {
namespace {

using QZ::RCPtr;

constexpr char kUnknownClassText[] =
    "Runtime Error : QZ::LControlFactory::GetControlCreateFunction : ControlBase\\ControlFactory : Line 51";

// The parts a class's entry must hold for the class to be made.
std::string PartsOf(std::string_view name) {
  if (name == "Framework.TabControl") {
    return R"(<SubControl Class="Framework.Panel" Name="buttonHolder" XSizeAbs="40" YSizeAbs="10">)"
           R"(<SubControl Class="Framework.Button" Name="tab" XSizeAbs="20" YSizeAbs="10"/></SubControl>)"
           R"(<SubControl Class="Framework.Panel" Name="pageHolder" YPositionAbs="10" XSizeAbs="40" YSizeAbs="10">)"
           R"(<SubControl Class="Framework.Panel" Name="tab" XSizeAbs="40" YSizeAbs="10"/></SubControl>)";
  }
  if (name == "Framework.ComboBox" || name == "Framework.ComboTextBox") {
    return R"(<SubControl Class="Framework.ListBox" Name="listBox" YPositionRel="1" XSizeAbs="40" YSizeAbs="40"/>)";
  }
  if (name == "Framework.CheckedComboBox" || name == "Framework.ComboBoxWithIcons") {
    return R"(<SubControl Class="Framework.CheckedListBox" Name="listBox" YPositionRel="1" XSizeAbs="40" YSizeAbs="40"/>)";
  }
  if (name == "Framework.CenteredSlider") {
    return R"(<SubControl Class="Framework.Label" Name="thumbStart" XSizeAbs="4" YSizeAbs="20"/>)"
           R"(<SubControl Class="Framework.Label" Name="thumbEnd" XPositionAbs="36" XSizeAbs="4" YSizeAbs="20"/>)";
  }
  return "";
}

// A skin whose top-level controls are one of each framework class, named "c<row>".
std::string EveryFrameworkClass() {
  std::string controls = MainControl(R"(XSizeAbs="320" YSizeAbs="200")");
  for (size_t row = 0; row < std::size(kFrameworkClassNames); ++row) {
    controls += "<SubControl Class=\"" + std::string(kFrameworkClassNames[row].name) + "\" Name=\"c" +
                std::to_string(row) + "\" XSizeAbs=\"40\" YSizeAbs=\"20\">" + PartsOf(kFrameworkClassNames[row].name) +
                "</SubControl>";
  }
  return SkinOf(controls);
}

class ControlRegistrationTest : public ApplicationFixture {};

TEST_F(ControlRegistrationTest, TheTableHoldsTheFortyNamesInTheirOrderOnceEach) {
  std::vector<std::string> table;
  for (const QZ::ControlClassEntry& entry : QZ::FrameworkControlClasses()) {
    table.push_back(QZ::NString(QZ::WString(entry.name)).GetBuffer());
  }
  std::vector<std::string> expected;
  for (const ControlClassName& name : kFrameworkClassNames) {
    expected.emplace_back(name.name);
  }
  EXPECT_EQ(table, expected);
  EXPECT_EQ(std::set<std::string>(table.begin(), table.end()).size(), 40u);
}

TEST_F(ControlRegistrationTest, AfterTheStartupEachNameResolvesToItsClasssCreateFunction) {
  MakeApplication(EveryFrameworkClass());
  ASSERT_EQ(app->RunApplicationStartup(), QZ::QZ_OK);
  const RCPtr<QZ::LControlFactory> factory = app->GetControlFactory();
  for (const ControlClassName& name : kFrameworkClassNames) {
    ASSERT_NE(ExpectedCreateFunction(name), nullptr) << name.name << ": a class the tables do not know";
    EXPECT_EQ(RegisteredFunction(*factory, name.name), ExpectedCreateFunction(name)) << name.name;
  }
  // Names that share a class share its function.
  EXPECT_EQ(RegisteredFunction(*factory, "Framework.ScrollChannel"), &QZ::CreateControlOf<QZ::LPanel>);
  EXPECT_EQ(RegisteredFunction(*factory, "Framework.CenteredSliderBounds"), &QZ::CreateControlOf<QZ::LPanel>);
}

TEST_F(ControlRegistrationTest, EachNameBuildsItsClassFromASkin) {
  MakeApplication(EveryFrameworkClass());
  ASSERT_EQ(app->RunApplicationStartup(), QZ::QZ_OK);
  const RCPtr<QZ::LControlFactory> factory = app->GetControlFactory();
  for (size_t row = 0; row < std::size(kFrameworkClassNames); ++row) {
    const RCPtr<QZ::LControl> control =
        factory->CreateControlByName(QZ::WString(("c" + std::to_string(row)).c_str()), nullptr);
    EXPECT_EQ(TypeOf(control), ExpectedType(kFrameworkClassNames[row])) << kFrameworkClassNames[row].name;
  }
  // The classes the names stand for, spelled out.
  const std::map<std::string, std::string> named = {{"Framework.OverlayButton", "QZ::LListBoxItem"},
                                                    {"Framework.MenuItem", "QZ::LMenuListBoxItem"},
                                                    {"Framework.listbox2ColumnSortable", "QZ::LMultiColumnListBox"},
                                                    {"Framework.ScrollChannel", "QZ::LPanel"}};
  for (size_t row = 0; row < std::size(kFrameworkClassNames); ++row) {
    const std::string name(kFrameworkClassNames[row].name);
    if (named.count(name)) {
      EXPECT_EQ(TypeOf(factory->CreateControlByName(QZ::WString(("c" + std::to_string(row)).c_str()), nullptr)),
                named.at(name))
          << name;
    }
  }
}

TEST_F(ControlRegistrationTest, ANameSpelledOtherwiseOrUnknownIsTheFactorysRuntimeError) {
  MakeApplication(SkinOf(MainControl(R"(XSizeAbs="320" YSizeAbs="200")") +
                         R"(<SubControl Class="Framework.listboxnoscroll" Name="lower"/>)"
                         R"(<SubControl Class="Framework.Nope" Name="nope"/>)"));
  ASSERT_EQ(app->RunApplicationStartup(), QZ::QZ_OK);
  const RCPtr<QZ::LControlFactory> factory = app->GetControlFactory();
  for (const char16_t* name : {u"lower", u"nope"}) {
    try {
      factory->CreateControlByName(QZ::WString(name), nullptr);
      ADD_FAILURE() << "no error";
    } catch (const std::runtime_error& failure) {
      EXPECT_STREQ(failure.what(), kUnknownClassText);
    }
  }
}

// A control that logs its creation steps ("<name> <step>") and whether its children
// existed when it was initialised.
class StepLoggingControl : public TestPanel {
public:
  using TestPanel::TestPanel;
  static std::vector<std::string>& Log() {
    static std::vector<std::string> log;
    return log;
  }
  QZ::QZResult ApplyDescriptor(const RCPtr<QZ::LControlDescriptor>& descriptor) override {
    Log().push_back(Name() + " apply");
    return TestPanel::ApplyDescriptor(descriptor);
  }
  QZ::QZResult Initialize() override {
    Log().push_back(Name() + " initialize with " + std::to_string(GetChildren().GetCount()) + " children");
    return TestPanel::Initialize();
  }
  QZ::QZResult OnLookChanged() override {
    Log().push_back(Name() + " looks");
    return TestPanel::OnLookChanged();
  }

private:
  std::string Name() const { return QZ::NString(GetName()).GetBuffer(); }
};

TEST_F(ControlRegistrationTest, ACreateFunctionInitialisesTheChildrenFirstAndLeavesTheControlCreated) {
  MakeApplication(
      SkinOf(R"(<SubControl Class="Test.Steps" Name="parent" XSizeAbs="100" YSizeAbs="50">)"
             R"(<CreateParamList><CreateParam ID="LABEL" Type="String">from the skin</CreateParam></CreateParamList>)"
             R"(<SubControl Class="Test.Steps" Name="first" XSizeAbs="10" YSizeAbs="10"/>)"
             R"(<SubControl Class="Test.Steps" Name="second" XSizeAbs="10" YSizeAbs="10"/>)"
             R"(</SubControl>)"));
  app->GetControlFactory()->RegisterControlCreateFunction(u"Test.Steps", &QZ::CreateControlOf<StepLoggingControl>);
  StepLoggingControl::Log().clear();
  const RCPtr<QZ::LControl> parent = app->GetControlFactory()->CreateControlByName(u"parent", nullptr);
  ASSERT_NE(parent, nullptr);
  EXPECT_EQ(StepLoggingControl::Log(),
            (std::vector<std::string>{"parent apply", "first apply", "first initialize with 0 children", "first looks",
                                      "second apply", "second initialize with 0 children", "second looks",
                                      "parent initialize with 2 children", "parent looks"}));
  // Created: applying the entry again is a re-application, which keeps the label set since.
  EXPECT_EQ(parent->GetText(), QZ::WString(u"from the skin"));
  ASSERT_EQ(parent->SetText(u"changed"), QZ::QZ_OK);
  ASSERT_EQ(parent->ApplyDescriptor(parent->GetControlDescriptor()), QZ::QZ_OK);
  EXPECT_EQ(parent->GetText(), QZ::WString(u"changed"));
}

} // namespace
} // namespace QZTest
