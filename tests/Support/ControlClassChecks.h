#pragma once
// What the registration tests expect of a class name (ControlClassNames.h): the create
// function of its class (QZ::CreateControlOf<T>), and the dynamic type of the control a
// skin entry of that class builds.
//
//   EXPECT_EQ(RegisteredFunction(*factory, name.name), ExpectedCreateFunction(name)) << name.name;
//   EXPECT_EQ(TypeOf(control), ExpectedType(name));

#include <map>
#include <string>
#include <string_view>

#include "QZFramework/Application/FrameworkControlClasses.h"
#include "QZFramework/ControlBase/ControlCreate.h"
#include "QZFramework/ControlBase/ControlFactory.h"
#include "QZFramework/Controls/Button.h"
#include "QZFramework/Controls/CenteredSlider.h"
#include "QZFramework/Controls/CheckedComboBox.h"
#include "QZFramework/Controls/CheckedListBox.h"
#include "QZFramework/Controls/ComboBox.h"
#include "QZFramework/Controls/ComboMenu.h"
#include "QZFramework/Controls/ComboSlider.h"
#include "QZFramework/Controls/FileDropper.h"
#include "QZFramework/Controls/Knob.h"
#include "QZFramework/Controls/Label.h"
#include "QZFramework/Controls/LevelMeter.h"
#include "QZFramework/Controls/ListBox.h"
#include "QZFramework/Controls/ListBoxItem.h"
#include "QZFramework/Controls/MainMenu.h"
#include "QZFramework/Controls/MultiColumnListBox.h"
#include "QZFramework/Controls/NumericUpDown.h"
#include "QZFramework/Controls/Panel.h"
#include "QZFramework/Controls/PopupMenu.h"
#include "QZFramework/Controls/ProgressBar.h"
#include "QZFramework/Controls/ScrollView.h"
#include "QZFramework/Controls/Scrollbar.h"
#include "QZFramework/Controls/Slider.h"
#include "QZFramework/Controls/Splitter.h"
#include "QZFramework/Controls/StatusBar.h"
#include "QZFramework/Controls/TabControl.h"
#include "QZFramework/Controls/TextBox.h"
#include "QZFramework/Controls/ToolTip.h"
#include "QZFramework/Controls/TreeView.h"
#include "QZFramework/ObjectBase/TypeName.h"
#include "Support/ControlClassNames.h"

namespace QZTest {

// The create function of each class built so far, by the class's name in ControlClassNames.h.
inline const std::map<std::string_view, QZ::ControlCreateFunction>& BuiltClassFunctions() {
  static const std::map<std::string_view, QZ::ControlCreateFunction> functions = {
      {"QZ::LButton", &QZ::CreateControlOf<QZ::LButton>},
      {"QZ::LCenteredSlider", &QZ::CreateControlOf<QZ::LCenteredSlider>},
      {"QZ::LCheckedComboBox", &QZ::CreateControlOf<QZ::LCheckedComboBox>},
      {"QZ::LCheckedListBox", &QZ::CreateControlOf<QZ::LCheckedListBox>},
      {"QZ::LCheckedListBoxItem", &QZ::CreateControlOf<QZ::LCheckedListBoxItem>},
      {"QZ::LComboBox", &QZ::CreateControlOf<QZ::LComboBox>},
      {"QZ::LComboMenu", &QZ::CreateControlOf<QZ::LComboMenu>},
      {"QZ::LComboSlider", &QZ::CreateControlOf<QZ::LComboSlider>},
      {"QZ::LDropper", &QZ::CreateControlOf<QZ::LDropper>},
      {"QZ::LFileDropper", &QZ::CreateControlOf<QZ::LFileDropper>},
      {"QZ::LKnob", &QZ::CreateControlOf<QZ::LKnob>},
      {"QZ::LLabel", &QZ::CreateControlOf<QZ::LLabel>},
      {"QZ::LLevelMeter", &QZ::CreateControlOf<QZ::LLevelMeter>},
      {"QZ::LListBox", &QZ::CreateControlOf<QZ::LListBox>},
      {"QZ::LListBoxItem", &QZ::CreateControlOf<QZ::LListBoxItem>},
      {"QZ::LMainMenu", &QZ::CreateControlOf<QZ::LMainMenu>},
      {"QZ::LMenuListBoxItem", &QZ::CreateControlOf<QZ::LMenuListBoxItem>},
      {"QZ::LNumericUpDown", &QZ::CreateControlOf<QZ::LNumericUpDown>},
      {"QZ::LMultiColumnListBox", &QZ::CreateControlOf<QZ::LMultiColumnListBox>},
      {"QZ::LPanel", &QZ::CreateControlOf<QZ::LPanel>},
      {"QZ::LPopupMenu", &QZ::CreateControlOf<QZ::LPopupMenu>},
      {"QZ::LProgressBar", &QZ::CreateControlOf<QZ::LProgressBar>},
      {"QZ::LScrollView", &QZ::CreateControlOf<QZ::LScrollView>},
      {"QZ::LScrollbar", &QZ::CreateControlOf<QZ::LScrollbar>},
      {"QZ::LSlider", &QZ::CreateControlOf<QZ::LSlider>},
      {"QZ::LSplitterH", &QZ::CreateControlOf<QZ::LSplitterH>},
      {"QZ::LSplitterV", &QZ::CreateControlOf<QZ::LSplitterV>},
      {"QZ::LStatusBar", &QZ::CreateControlOf<QZ::LStatusBar>},
      {"QZ::LTabControl", &QZ::CreateControlOf<QZ::LTabControl>},
      {"QZ::LTextBox", &QZ::CreateControlOf<QZ::LTextBox>},
      {"QZ::LToolTip", &QZ::CreateControlOf<QZ::LToolTip>},
      {"QZ::LTreeView", &QZ::CreateControlOf<QZ::LTreeView>},
      {"QZ::LTreeViewItem", &QZ::CreateControlOf<QZ::LTreeViewItem>},
  };
  return functions;
}

// The create functions of the editor's own classes built so far, by class name: the editor's
// tests add them (the framework's tests do not link the editor).
inline std::map<std::string_view, QZ::ControlCreateFunction>& EditorClassFunctions() {
  static std::map<std::string_view, QZ::ControlCreateFunction> functions;
  return functions;
}

// The function of the name's class; null when the tables do not know the class (they
// disagree).
inline QZ::ControlCreateFunction ExpectedCreateFunction(const ControlClassName& name) {
  const auto found = BuiltClassFunctions().find(name.type);
  if (found != BuiltClassFunctions().end()) {
    return found->second;
  }
  const auto editor = EditorClassFunctions().find(name.type);
  return editor == EditorClassFunctions().end() ? nullptr : editor->second;
}

// The function factory has for name; null when it has none.
inline QZ::ControlCreateFunction RegisteredFunction(const QZ::LControlFactory& factory, std::string_view name) {
  QZ::ControlCreateFunction function = nullptr;
  try {
    factory.GetControlCreateFunction(QZ::WString(std::string(name).c_str()), function);
  } catch (const std::runtime_error&) {
    return nullptr;
  }
  return function;
}

// The name's class.
inline std::string ExpectedType(const ControlClassName& name) { return std::string(name.type); }

// The control's dynamic type as the tables spell it ("QZ::LPanel").
inline std::string TypeOf(const QZ::RCPtr<QZ::LControl>& control) {
  return control ? QZ::DemangledName(typeid(*control)) : "(none)";
}

} // namespace QZTest
