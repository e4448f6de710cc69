#include "UI/ChordModeNoteVariantBufferSetterParameterPanel.h"

#include <vector>

#include "DeviceControl/GeneratedCode/Engine/Inc/RootModuleEngine.h"
#include "QZFramework/Controls/ComboBox.h"
#include "QZFramework/Controls/Label.h"
#include "QZFramework/Notification/NotificationCenter.h"
#include "QZFramework/Services/ApplicationContext.h"
#include "QZFramework/Utilities/Storage/Holder.h"

using QZ::QZResult;
using QZ::RCPtr;
using QZ::WString;

namespace {

constexpr char kInitialize[] = "LChordModeNoteVariantBufferSetterParameterPanel::Initialize";
constexpr char kSource[] = R"(UI\ChordModeNoteVariantBufferSetterParameterPanel)";

constexpr uint32_t kChordNote1Id = 132;
constexpr uint32_t kChordNote2Id = 133;

struct NoteRange {
  int32_t base;  // the first note
  int32_t count; // how many notes
};

// The keys of each model; no notes for a model that is none of them.
NoteRange NotesOf(int32_t model) {
  switch (model) {
  case QZ::kDeviceModel25Keys:
    return {48, 25};
  case QZ::kDeviceModel49Keys:
    return {36, 49};
  case QZ::kDeviceModel61Keys:
    return {36, 61};
  default:
    return {0, 0};
  }
}

// The name of a MIDI note (0-127); made once, as every selector of the page lists them.
const WString& NoteName(int32_t note) {
  static const std::vector<WString> names = [] {
    static constexpr const char16_t* kNames[] = {u"C",  u"Db", u"D",  u"Eb", u"E",  u"F",
                                                 u"Gb", u"G",  u"Ab", u"A",  u"Bb", u"B"};
    std::vector<WString> made;
    for (int32_t n = 0; n < 128; ++n) {
      made.push_back(WString(kNames[n % 12]) + WString::Format(u" (%d)", n / 12 - 1));
    }
    return made;
  }();
  return names[size_t(note)];
}

RCPtr<QZ::LComboBox> ComboBoxOf(const QZ::LControl& panel) {
  return QZ::DynamicCast<QZ::LComboBox>(panel.FindChildByName(WString(u"comboBox")));
}

} // namespace

LChordModeNoteVariantBufferSetterParameterPanel::LChordModeNoteVariantBufferSetterParameterPanel(
    const RCPtr<QZ::LControl>& parent, const WString& name)
    : LHandlerTableControl(parent, name) {}

QZResult LChordModeNoteVariantBufferSetterParameterPanel::Initialize() {
  const QZResult base = LPanel::Initialize();
  if (QZ::Failed(base)) {
    return base;
  }
  if (QZ::Failed(CreateHandlerTable())) {
    return QZ::QZ_E_FAIL;
  }
  if (const RCPtr<QZ::LComboBox> combo = ComboBoxOf(*this)) {
    Subscribe(&LChordModeNoteVariantBufferSetterParameterPanel::OnComboSelectionChange, combo, u"NID_SELECTION_CHANGE",
              {kInitialize, kSource, 37});
  }
  Subscribe(&LChordModeNoteVariantBufferSetterParameterPanel::OnDeviceModelChange,
            RCPtr<QZ::LNotificationDistributor>(QZ::GetApplicationNotificationCenter()),
            u"NID_DEVICE_MODEL_SELECTION_CHANGED", {kInitialize, kSource, 39});
  return base;
}

QZResult LChordModeNoteVariantBufferSetterParameterPanel::SubscribeNotifications() {
  RebuildList(QZ::GetDeviceModel());
  return QZ::QZ_OK;
}

void LChordModeNoteVariantBufferSetterParameterPanel::SetParameter(const QZ::ParamValue& parameter) {
  mParameter = parameter.descriptor;
}

bool LChordModeNoteVariantBufferSetterParameterPanel::IsRequiredNote() const {
  return (mParameter.id == kChordNote1Id || mParameter.id == kChordNote2Id) &&
         mParameter.qualifier.GetType() == QZ::Variant::Empty;
}

void LChordModeNoteVariantBufferSetterParameterPanel::SetLabelText(const WString& text) {
  if (const RCPtr<QZ::LLabel> label = QZ::DynamicCast<QZ::LLabel>(FindChildByName(WString(u"controlNameLabel")))) {
    label->SetText(text);
  }
}

QZResult LChordModeNoteVariantBufferSetterParameterPanel::SetValue(const QZ::Variant& value) {
  uint32_t size = 0;
  const auto* bytes = static_cast<const uint8_t*>(value.GetData(size));
  if (!bytes || size != 1) {
    return QZ::QZ_E_FAIL;
  }
  const RCPtr<QZ::LComboBox> combo = ComboBoxOf(*this);
  if (!combo) {
    return QZ::QZ_OK;
  }
  const RCPtr<LChordModeNoteVariantBufferSetterParameterPanel> self(this); // a handler may take the tree down
  const int32_t b = bytes[0];
  // The note shown is the engine's already: selecting it sends nothing back, or the engine's
  // announcement of a fallback's two notes would be answered by sending them again, forever.
  mShownNote = b;
  const int32_t base = NotesOf(QZ::GetDeviceModel()).base;
  if (IsRequiredNote()) {
    const auto index = int8_t(b - base);
    if (b < base || index >= combo->GetItemCount()) {
      SelectFallback();
    } else {
      combo->SelectItem(index);
    }
  } else if (b == 0 || b < base) {
    combo->SelectItem(0); // "OFF"
  } else {
    const auto index = int8_t(b - (base - 1));
    if (index >= combo->GetItemCount()) {
      SelectFallback();
    } else {
      combo->SelectItem(index);
    }
  }
  mShownNote = kNoNoteShown;
  return QZ::QZ_OK;
}

void LChordModeNoteVariantBufferSetterParameterPanel::SelectFallback() {
  if (const RCPtr<QZ::LComboBox> combo = ComboBoxOf(*this)) {
    combo->SelectItem(1);
    combo->SelectItem(0);
  }
}

void LChordModeNoteVariantBufferSetterParameterPanel::RebuildList(int32_t model) {
  LRootModuleEngine* engine =
      QZ::GetApplicationContext() ? QZ::GetApplicationContext()->GetRootModuleEngine() : nullptr;
  int32_t held = 0;
  if (engine && mParameter.id != kUnboundParamId) {
    QZ::Variant value;
    engine->GetParamValue(mParameter, value); // an unknown id leaves value empty
    uint32_t size = 0;
    const auto* bytes = static_cast<const uint8_t*>(value.GetData(size));
    held = bytes && size > 0 ? bytes[0] : 0;
  }
  const RCPtr<QZ::LComboBox> combo = ComboBoxOf(*this);
  if (!combo) {
    return;
  }
  const RCPtr<LChordModeNoteVariantBufferSetterParameterPanel> self(this);
  combo->SelectItem(-1);
  combo->SetText(WString()); // no old note for the new items to be matched against
  if (const RCPtr<QZ::LListBox> list = combo->GetListBox()) {
    list->EnsureItemVisible(0); // back at the top, as an emptied list is; 1 when empty
  }
  const int32_t first = IsRequiredNote() ? 0 : 1;
  const NoteRange notes = NotesOf(model);
  // The old items are written over: a list emptied and filled again settles twice.
  combo->SetItemCount(notes.count + first);
  if (first == 1) {
    combo->SetItem(0, u"OFF");
  }
  if (notes.count == 0) {
    return;
  }
  for (int32_t i = 0; i < notes.count; ++i) {
    combo->SetItem(i + first, NoteName(notes.base + i).GetBuffer());
  }
  const bool listed = held >= notes.base && held < notes.base + notes.count;
  combo->SelectItem(listed ? held - notes.base + first : 0);
}

QZResult
LChordModeNoteVariantBufferSetterParameterPanel::OnComboSelectionChange(const RCPtr<QZ::LNotificationDistributor>&,
                                                                        const RCPtr<QZ::LNotification>&) {
  const RCPtr<QZ::LComboBox> combo = ComboBoxOf(*this);
  if (!combo) {
    return QZ::QZ_FALSE;
  }
  const int32_t base = NotesOf(QZ::GetDeviceModel()).base;
  const int32_t s = combo->GetSelectedIndex();
  int32_t note = 0;
  if (IsRequiredNote()) {
    note = s + base;
  } else {
    note = s < 1 ? s : s + base - 1;
  }
  if (note == mShownNote) {
    return QZ::QZ_FALSE;
  }
  const auto byte = uint8_t(note);
  QZ::Variant value;
  value.SetBuffer(&byte, 1);
  LRootModuleEngine* engine =
      QZ::GetApplicationContext() ? QZ::GetApplicationContext()->GetRootModuleEngine() : nullptr;
  // A list built before the page binds its notes must not write into any parameter.
  if (engine && mParameter.id != kUnboundParamId) {
    engine->SetParamValue(mParameter, value); // offline the engine refuses; the page shows the choice
  }
  return QZ::QZ_FALSE;
}

QZResult
LChordModeNoteVariantBufferSetterParameterPanel::OnDeviceModelChange(const RCPtr<QZ::LNotificationDistributor>&,
                                                                     const RCPtr<QZ::LNotification>& notification) {
  if (const auto model = notification->GetParameterAs<QZ::LHolder<DEVICE_MODELS>>()) {
    RebuildList(model->GetValue());
  }
  return QZ::QZ_FALSE;
}
