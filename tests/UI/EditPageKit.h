#pragma once
// The UI kit for the chord page, its note selectors and the global settings page: these
// classes registered under their skin names before the tree is made (the kit starts with the
// plain "kitStart"), the skin pieces shaped as the program's skins shape them, and the
// keyboard model changed as the device menu changes it.
//
//   PageKit kit(ChordPage("chordPage", {0, 0, 600, 240}), "pageTop", 0);   // 25-key model
//   kit.Find<LUserPresetChordEditPanel>("chordPage")->SetFirstParamID(nullptr, 129, 0);
//   kit.Subscribe();                                  // the note lists are built
//   kit.ChangeModel(2);                               // rebuilt for the 61-key model

#include <gtest/gtest.h>

#include <cstdint>
#include <initializer_list>
#include <string>
#include <utility>
#include <vector>

#include "QZFramework/ControlBase/ControlCreate.h"
#include "QZFramework/Controls/ComboBox.h"
#include "QZFramework/Controls/Label.h"
#include "QZFramework/Notification/Notification.h"
#include "QZFramework/Services/ApplicationContext.h"
#include "QZFramework/Utilities/Storage/Holder.h"
#include "Support/UiKit.h"
#include "UI/ChordEditPanel.h"
#include "UI/ChordModeNoteVariantBufferSetterParameterPanel.h"
#include "UI/DriverCommon/MainControl.h"
#include "UI/GlobalPresetEditPanel.h"

namespace EditPages {

namespace Xml = QZTest::UiXml;
using QZ::RCPtr;
using QZ::Variant;

inline std::string Label(const std::string& name, Xml::Rect rect) {
  return Xml::Control("Framework.Label", name, rect, {}, {}, "Kit.Text");
}

// The chord page; names lists the children it has (all nine by default).
inline std::string ChordPage(const std::string& name, Xml::Rect rect,
                             const std::vector<std::string>& names = {
                                 "mode", "smartRootNote", "voicings", "userChordNote1", "userChordNote2",
                                 "userChordNote3", "userChordNote4", "userChordNote5", "userChordNote6"}) {
  std::string children;
  for (const std::string& child : names) {
    if (child == "mode") {
      children += Xml::ComboSelector("LabeledChordModeSelector", child, {10, 10, 180, 42});
    } else if (child == "smartRootNote") {
      children += Xml::ComboSelector("LabeledRootNoteSelector", child, {200, 10, 180, 42});
    } else if (child == "voicings") {
      children += Xml::ComboSelector("LabeledChordVoicingsSelector", child, {390, 10, 180, 42});
    } else {
      const int i = child.back() - '1';
      children +=
          Xml::ComboSelector("LabeledChordNoteSelector", child, {10 + 190 * (i % 3), 62 + 52 * (i / 3), 180, 42});
    }
  }
  return Xml::Control("PresetEditor.ChordModeUserPresetEditPanel", name, rect, children);
}

// The global settings page; without lists the selectors it lacks, withLogo whether the
// model logo is there.
inline std::string GlobalPage(const std::string& name, Xml::Rect rect, const std::string& without = {},
                              bool withLogo = true) {
  const std::pair<const char*, const char*> selectors[] = {{"midiChannel", "LabeledGlobalMidiChannelSelector"},
                                                           {"program", "LabeledProgramSelector"},
                                                           {"keyboardSensitivity", "LabeledKeybedSensitivity"},
                                                           {"padSensitivity", "LabeledPadSensitivity"},
                                                           {"dawSetting", "LabeledDawSettingSelector"}};
  std::string children = Label("label", {10, 10, 300, 20});
  int x = 10;
  for (const auto& [child, cls] : selectors) {
    if (child != without) {
      const Xml::Rect place{x, 40, 150, 42};
      children += std::string(child) == "program" ? Xml::UpDownSelector(cls, child, place)
                                                  : Xml::ComboSelector(cls, child, place);
    }
    x += 160;
  }
  if (withLogo) {
    children += Xml::Control("PresetEditor.Control.ProductLogoLabels", "productLogosMultiLookLabel", {10, 100, 780, 60},
                             {}, {}, "Kit.Text");
  }
  return Xml::Control("PresetEditor.GlobalPresetEditor", name, rect, children);
}

inline void RegisterClasses(QZ::LControlFactory& factory) {
  const std::pair<const char16_t*, QZ::ControlCreateFunction> classes[] = {
      {u"PresetEditor.ChordModeUserPresetEditPanel", &QZ::CreateControlOf<LUserPresetChordEditPanel>},
      {u"PresetEditor.Control.LabeledChordNoteSelector",
       &QZ::CreateControlOf<LChordModeNoteVariantBufferSetterParameterPanel>},
      {u"PresetEditor.GlobalPresetEditor", &QZ::CreateControlOf<LGlobalPresetEditPanel>},
      {u"PresetEditor.Control.ProductLogoLabels", &QZ::CreateControlOf<QZ::LLabel>},
  };
  for (const auto& [name, create] : classes) {
    factory.RegisterControlCreateFunction(QZ::WString(name), create);
  }
}

// The kit with the page classes registered and the keyboard model set; the tree top is made
// when it is named.
class PageKit : public QZTest::UiKit {
public:
  PageKit(const std::string& entries, const char16_t* top, int32_t model, int32_t width = 800, int32_t height = 300)
      : UiKit(Start(entries, width, height)) {
    RegisterClasses(*factory);
    context.SetDeviceModel(model);
    if (top) {
      EXPECT_EQ(root->SetRootControl(QZ::WString(top)), QZ::QZ_OK);
      PumpIdle(); // the engine's first values
      engine->setCalls.clear();
    }
  }

  // What the framework does once the tree hangs under its window.
  void Subscribe() { Top()->SubscribeNotifications(); } // 0

  // The stored model becomes model and the change is announced, as the device menu does.
  void ChangeModel(int32_t model) {
    context.SetDeviceModel(model);
    const RCPtr<QZ::LRefCountedObject> held(new QZ::LHolder<DEVICE_MODELS>(DEVICE_MODELS(model)));
    ASSERT_GE(centre->PostNotification(QZ::LNotification::Create(u"NID_DEVICE_MODEL_SELECTION_CHANGED", held)), 0);
    PumpIdle();
  }

  // The engine holds value for id, as if the controller had sent it; nothing is recorded.
  void Hold(uint32_t id, const Variant& value) {
    ASSERT_EQ(engine->SetParamValue(QZ::ParamDescriptor(id), value), QZ::QZ_OK);
    engine->setCalls.clear();
  }

  // The values sent to the engine: ids and bytes.
  std::vector<std::pair<uint32_t, std::vector<uint8_t>>> Sent() const;

private:
  static Options Start(const std::string& entries, int32_t width, int32_t height) {
    Options options;
    options.width = width;
    options.height = height;
    options.skin = entries + Xml::Control("Framework.Panel", "kitStart", {0, 0, 10, 10});
    options.top = u"kitStart";
    return options;
  }
};

inline Variant Bytes(std::initializer_list<uint8_t> bytes) {
  Variant value;
  value.SetBuffer(std::data(bytes), uint32_t(bytes.size()));
  return value;
}

inline std::vector<uint8_t> BytesOf(const Variant& value) {
  uint32_t size = 0;
  const auto* data = static_cast<const uint8_t*>(value.GetData(size));
  return data ? std::vector<uint8_t>(data, data + size) : std::vector<uint8_t>();
}

using SentList = std::vector<std::pair<uint32_t, std::vector<uint8_t>>>;

inline SentList PageKit::Sent() const {
  SentList sent;
  for (const QZTest::CountingEngine::SetCall& call : engine->setCalls) {
    sent.emplace_back(call.id, BytesOf(call.value));
  }
  return sent;
}

// The texts of a combo box's items.
inline std::vector<std::u16string> ItemsOf(const RCPtr<QZ::LComboBox>& combo) {
  std::vector<std::u16string> items;
  for (int32_t i = 0; i < combo->GetItemCount(); ++i) {
    items.emplace_back(combo->GetItemText(i).View());
  }
  return items;
}

} // namespace EditPages
