#pragma once
// LElementViewPanel<T, Module>: an element of the controller picture (a knob, a fader, a
// pad, a button, the pedal) as a parameter module that only displays. The user preset
// panel binds it with the module's SetFirstParamID (owner, first id, element index) and
// hands it every value of its ids through SetParamValueLocal; T shows what it is handed on
// its labels and rebuilds its tool tip from what the application engine holds. It never
// sends a value. The clickable "button" child of the skin shows this panel's tool tip
// ("USE_PARENT_TOOLTIP"); the click is the user preset panel's business.
//
//   class LSustainViewPanel : public LElementViewPanel<LSustainViewPanel, ISustain> {
//   public:
//     using LElementViewPanel::LElementViewPanel;                  // (parent, name)
//     int32_t SetParamValueLocal(const QZ::ParamDescriptor&, const QZ::Variant&, bool) override {
//       SetToolTip(JoinLines({QZ::WString(u"Sustain"), ChannelToolTipLine(EngineByte(GetFirstParamID())),
//                             QZ::WString::Format(u"CC: %d", EngineByte(GetFirstParamID() + 1))}));
//       return QZ::QZ_OK;
//     }
//   };
//   view->SetFirstParamID(userPreset, 7, 0);
//   view->SetParamValueLocal(QZ::ParamDescriptor(9), latch, true);   // "Sustain\nChannel: Global\nCC: 64"
//
// A view finds its labels in its own Initialize (after this one) with FindLabel; a label the
// skin leaves out is no error, the view then shows nothing there. The handler table (T's
// notification receiver, as every editor control with one) stays empty.
// UI thread, like every control.

#include <cstdint>
#include <initializer_list>

#include "DeviceControl/GeneratedCode/Engine/Inc/RootModuleEngine.h"
#include "DeviceControl/GeneratedCode/Engine/Inc/RootModuleInterface.h"
#include "QZFramework/ControlBase/HandlerTableControl.h"
#include "QZFramework/Controls/Label.h"
#include "QZFramework/Controls/Panel.h"
#include "QZFramework/Services/ApplicationContext.h"
#include "UI/ElementTexts.h"

template <class T, class Module>
class LElementViewPanel : public QZ::LHandlerTableControl<T, QZ::LPanel>, public Module {
public:
  LElementViewPanel(const QZ::RCPtr<QZ::LControl>& parent, const QZ::WString& name)
      : QZ::LHandlerTableControl<T, QZ::LPanel>(parent, name) {}

  // The panel's, then the handler table: the panel's result; QZ_E_FAIL when no table can
  // be made.
  QZ::QZResult Initialize() override {
    const QZ::QZResult base = QZ::LPanel::Initialize();
    if (QZ::Failed(base)) {
      return base;
    }
    return QZ::Failed(this->CreateHandlerTable()) ? QZ::QZResult(QZ::QZ_E_FAIL) : base;
  }

  // The tool tip the view built last: empty until its first value arrives.
  QZ::WString GetToolTipText() override { return mToolTip; }

protected:
  // The text the tool tip shows from now on.
  void SetToolTip(const QZ::WString& text) { mToolTip = text; }

  // The label child named name; null when the skin has none.
  QZ::RCPtr<QZ::LLabel> FindLabel(const char16_t* name) const {
    return QZ::DynamicCast<QZ::LLabel>(this->FindChildByName(QZ::WString(name)));
  }

  // The value the application engine holds for id; Empty without an engine or a value.
  static QZ::Variant EngineValue(uint32_t id) {
    QZ::Variant value;
    LRootModuleEngine* engine =
        QZ::GetApplicationContext() ? QZ::GetApplicationContext()->GetRootModuleEngine() : nullptr;
    if (engine) {
      engine->GetParamValue(QZ::ParamDescriptor(id), value); // Empty when it has none
    }
    return value;
  }
  // The engine's value of id as the views read it: its first byte (signed 8 bits, shown
  // unsigned); 0 when there is none.
  static uint8_t EngineByte(uint32_t id) { return uint8_t(EngineValue(id).ToInt8()); }

  // true and the byte when value is exactly one byte long.
  static bool OneByte(const QZ::Variant& value, uint8_t& byte) {
    uint32_t size = 0;
    const auto* data = static_cast<const uint8_t*>(value.GetData(size));
    if (!data || size != 1) {
      return false;
    }
    byte = data[0];
    return true;
  }

  // The lines joined with a line feed between them.
  static QZ::WString JoinLines(std::initializer_list<QZ::WString> lines) {
    QZ::WString text;
    bool first = true;
    for (const QZ::WString& line : lines) {
      if (!first) {
        text += u'\n';
      }
      text += line;
      first = false;
    }
    return text;
  }

private:
  QZ::WString mToolTip;
};
