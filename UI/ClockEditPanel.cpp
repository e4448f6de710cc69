#include "UI/ClockEditPanel.h"

#include <cmath>

#include "UI/DriverCommon/MainControl.h"

namespace {

constexpr char kInitialize[] = "LClockEditPanel::Initialize";
constexpr char kSource[] = R"(UI\ClockEditPanel)";

// Both selectors' texts name the group, as the page always has.
constexpr ElementSelector kSelectors[] = {
    {.name = "clockSource", .offset = 0, .line = 37, .shownName = "clockGroup"},
    {.name = "timeDivision", .offset = 2, .line = 40, .shownName = "clockGroup"},
};
constexpr ElementPage kPage{kInitialize, kSource, kSelectors};

constexpr uint32_t kTempoOffset = 1;
constexpr int32_t kTempoDigits = 3;
constexpr int32_t kTempoDecimals = 0;
constexpr double kHundred = 100.0;

} // namespace

LClockEditPanel::LClockEditPanel(const QZ::RCPtr<QZ::LControl>& parent, const QZ::WString& name)
    : LElementEditPanel(parent, name, kPage) {}

void LClockEditPanel::SetUpPage() {
  mTempo = QZ::DynamicCast<QZ::LNumericUpDown>(FindChildByName(QZ::WString(u"tempo")));
  if (!mTempo) {
    QZ::Throw<std::runtime_error>({kInitialize, kSource, 29}, "Null Pointer : Cannot find child tempo");
  }
  Subscribe(&LClockEditPanel::OnTempoChange, mTempo, u"NID_VALUE_CHANGE", {kInitialize, kSource, 30});
  mTempo->SetValueRange(kSlowestTempo, kFastestTempo, 0);
  mTempo->SetDecimalPlaces(kTempoDecimals);
  if (const QZ::RCPtr<QZ::LTextBox>& text = mTempo->GetTextBox()) {
    text->SetMaxLength(kTempoDigits);
  }
}

void LClockEditPanel::SetFirstParamID(LParameterizedModule* owner, uint32_t firstParamID, uint32_t index) {
  LElementEditPanel::SetFirstParamID(owner, firstParamID, index);
  mBound = true;
}

int32_t LClockEditPanel::SetParamValueLocal(const QZ::ParamDescriptor& descriptor, const QZ::Variant& value,
                                            bool fromDevice) {
  if (descriptor.id - GetFirstParamID() != kTempoOffset) {
    return LElementEditPanel::SetParamValueLocal(descriptor, value, fromDevice);
  }
  uint32_t size = 0;
  const auto* bytes = static_cast<const uint8_t*>(value.GetData(size));
  if (!mTempo || !bytes || size != 2) {
    return QZ::QZ_OK;
  }
  const QZ::RCPtr<LClockEditPanel> self(this); // the tempo's handlers may take the tree down
  const double tempo = int8_t(bytes[0]) * kHundred + int8_t(bytes[1]);
  mTempo->SetValue(mTempo->ValueToNormalized(tempo)); // kept within 20 .. 240
  return QZ::QZ_OK;
}

QZ::QZResult LClockEditPanel::OnTempoChange(const QZ::RCPtr<QZ::LNotificationDistributor>&,
                                            const QZ::RCPtr<QZ::LNotification>&) {
  const QZ::RCPtr<QZ::LMainControl> main = QZ::DynamicCast<QZ::LMainControl>(GetRootControl());
  if (!main || !mTempo || !mBound) {
    return QZ::QZ_FALSE;
  }
  const double tempo = mTempo->NormalizedToValue(mTempo->GetValue());
  const auto hundreds = int8_t(std::trunc(tempo / kHundred));
  const auto rest = uint8_t(std::floor(tempo - kHundred * hundreds));
  const uint8_t pair[2] = {uint8_t(hundreds), rest};
  QZ::Variant bytes;
  bytes.SetBuffer(pair, 2);
  main->RequestParamChange(QZ::ParamDescriptor(GetFirstParamID() + kTempoOffset), bytes, 0);
  return QZ::QZ_FALSE;
}

QZ::QZResult LClockEditPanel::ReleaseInternalReferences() {
  mTempo = nullptr;
  return LElementEditPanel::ReleaseInternalReferences();
}
