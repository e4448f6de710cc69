#include "UI/PresetEditorCommon/MidiNoteSelector.h"

#include <string>

#include "QZFramework/ControlBase/ControlParams.h"
#include "UI/ElementTexts.h"

using QZ::QZResult;
using QZ::RCPtr;
using QZ::WString;

namespace {

constexpr char kInitialize[] = "LMidiNoteSelector::Initialize";
constexpr char kSource[] = R"(UI\PresetEditorCommon\MidiNoteSelector)";
constexpr double kHighestNote = 127.0;
constexpr uint32_t kNotesPerOctave = 12;

// The child name as a T; throws the missing-child text at line.
template <class T>
RCPtr<T> RequireChild(const QZ::LControl& selector, const char* name, int line) {
  RCPtr<T> child = QZ::DynamicCast<T>(selector.FindChildByName(WString(name)));
  if (!child) {
    QZ::Throw<std::runtime_error>({kInitialize, kSource, line},
                                  std::string("Null Pointer : Cannot find child ") + name);
  }
  return child;
}

} // namespace

LMidiNoteSelector::LMidiNoteSelector(const RCPtr<QZ::LControl>& parent, const WString& name)
    : LHandlerTableControl(parent, name) {}

QZResult LMidiNoteSelector::Initialize() {
  const QZResult base = LPanel::Initialize();
  if (QZ::Failed(base)) {
    return base;
  }
  if (QZ::Failed(CreateHandlerTable())) {
    return base;
  }
  mNoteNameLabel = RequireChild<QZ::LLabel>(*this, "noteNameLabel", 26);
  mOctaveLabel = RequireChild<QZ::LLabel>(*this, "octaveNameLabel", 27);
  mUpDown = RequireChild<QZ::LNumericUpDown>(*this, "numericUpDown", 28);
  mUpDown->SetValueRange(0.0, kHighestNote, 0);
  SetValueRange(0.0, kHighestNote, 0);
  UpdateLabels();
  Subscribe(&LMidiNoteSelector::OnNumericUpDownValueChange, mUpDown, u"NID_VALUE_CHANGE", {kInitialize, kSource, 32});
  return QZ::QZ_OK;
}

double LMidiNoteSelector::SetValue(double value) {
  if (!mUpDown) {
    return LPanel::SetValue(value);
  }
  const RCPtr<LMidiNoteSelector> self(this); // the owner's handlers may take the tree down
  const RCPtr<QZ::LNumericUpDown> upDown = mUpDown;
  return LPanel::SetValue(upDown->SetValue(value));
}

QZResult LMidiNoteSelector::SetLabelFromStringTable(const RCPtr<QZ::LStringTable>& table, uint32_t index,
                                                    const RCPtr<QZ::LLabel>& label) {
  WString text;
  if (!label || !TableEntryAt(table.Get(), index, text)) {
    return QZ::QZ_OK;
  }
  return label->SetText(text);
}

void LMidiNoteSelector::UpdateLabels() {
  const uint32_t n = TruncatedPosition(NormalizedToValue(GetValue()));
  SetLabelFromStringTable(mNoteNameLabel ? mNoteNameLabel->GetStringTable() : nullptr, n % kNotesPerOctave,
                          mNoteNameLabel);
  SetLabelFromStringTable(mOctaveLabel ? mOctaveLabel->GetStringTable() : nullptr, n / kNotesPerOctave, mOctaveLabel);
}

QZResult LMidiNoteSelector::OnNumericUpDownValueChange(const RCPtr<QZ::LNotificationDistributor>&,
                                                       const RCPtr<QZ::LNotification>& notification) {
  if (!notification->GetParameterAs<QZ::LValueParam>() || !mUpDown) {
    return QZ::QZ_FALSE;
  }
  const RCPtr<LMidiNoteSelector> self(this);
  const double number = mUpDown->NormalizedToValue(mUpDown->GetValue());
  SetValue(ValueToNormalized(number));
  UpdateLabels();
  return QZ::QZ_FALSE;
}

QZResult LMidiNoteSelector::ReleaseInternalReferences() {
  mNoteNameLabel = nullptr;
  mOctaveLabel = nullptr;
  mUpDown = nullptr;
  return LPanel::ReleaseInternalReferences();
}
