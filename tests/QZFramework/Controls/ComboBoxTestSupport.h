#pragma once
// The combo boxes' test world: Combo.xml and its string table (ComboStrings.xml) with the
// list classes, the combo box under both its skin names, and a text box that validates what
// the test gives it (in the text box's place: it sends the text box's notifications).
//
//   QZTest::ComboSkin skin;
//   auto combo = skin.Combo(u"combo");                  // items "Zero" ... "Four", "Zero" shown
//   skin.pointer.ClickAt(combo, 5, 5);                   // open
//   auto list = combo->GetListBox();
//
// Rows are 20 pixels high; the host is 400 x 480 and so is the window.

#include <string>
#include <vector>

#include "QZFramework/Controls/ComboBox.h"
#include "QZFramework/Controls/ListBoxTestSupport.h"

namespace QZTest {

// Sends what a text box sends when its text is validated, and its focus like any control.
class StandInTextBox : public QZ::LControl {
public:
  using LControl::LControl;

  // The text becomes text; "NID_TEXTBOX_TEXT_CHANGE", then "NID_TEXTBOX_VALIDATING" and
  // "NID_TEXTBOX_VALIDATED" with parameter.
  void Validate(const QZ::WString& text, const QZ::RCPtr<QZ::LRefCountedObject>& parameter) {
    SetTextInternal(text, true);
    Announce(u"NID_TEXTBOX_TEXT_CHANGE", parameter);
    Announce(u"NID_TEXTBOX_VALIDATING", parameter);
    Announce(u"NID_TEXTBOX_VALIDATED", parameter);
  }
};

inline void RegisterComboClasses(QZ::LControlFactory& factory) {
  factory.RegisterControlCreateFunction(u"Framework.ComboBox", &QZ::CreateControlOf<QZ::LComboBox>);
  factory.RegisterControlCreateFunction(u"Framework.ComboTextBox", &QZ::CreateControlOf<QZ::LComboBox>);
  factory.RegisterControlCreateFunction(u"Framework.TextBox", &QZ::CreateControlOf<StandInTextBox>);
}

class ComboSkin : public ListSkin {
public:
  ComboSkin() : ListSkin("Combo.xml", "ComboStrings.xml", RegisterComboClasses) {
    window->clientRect = {0, 0, 400, 480};
    top = application.factory->CreateControlByName(QZ::WString(u"comboHost"), QZ::RCPtr<QZ::IRootWindow>(window));
  }

  QZ::RCPtr<QZ::LComboBox> Combo(const char16_t* name) const {
    return QZ::DynamicCast<QZ::LComboBox>(top ? top->FindChildByName(QZ::WString(name)) : nullptr);
  }
};

// The names of what recorder heard, in order.
inline std::vector<std::string> Names(const TimedRecorder& recorder) {
  std::vector<std::string> names;
  for (const TimedRecorder::Heard& heard : recorder.heard) {
    names.push_back(heard.name);
  }
  return names;
}

} // namespace QZTest
