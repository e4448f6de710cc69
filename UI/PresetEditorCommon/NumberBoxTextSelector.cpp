#include "UI/PresetEditorCommon/NumberBoxTextSelector.h"

#include <string>

#include "QZFramework/ControlBase/ControlParams.h"
#include "UI/ElementTexts.h"

using QZ::QZResult;
using QZ::RCPtr;
using QZ::WString;

namespace {

constexpr char kInitialize[] = "LNumberBoxTextSelector::Initialize";
constexpr char kSource[] = R"(UI\PresetEditorCommon\NumberBoxTextSelector)";

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

LNumberBoxTextSelector::LNumberBoxTextSelector(const RCPtr<QZ::LControl>& parent, const WString& name)
    : LHandlerTableControl(parent, name) {}

QZResult LNumberBoxTextSelector::Initialize() {
  const QZResult base = LPanel::Initialize();
  if (QZ::Failed(base) || QZ::Failed(CreateHandlerTable())) {
    return base;
  }
  mLabel = RequireChild<QZ::LLabel>(*this, "label", 26);
  mUpDown = RequireChild<QZ::LNumericUpDown>(*this, "numericUpDown", 27);
  Subscribe(&LNumberBoxTextSelector::OnNumericUpDownValueChange, mUpDown, u"NID_VALUE_CHANGE",
            {kInitialize, kSource, 31});
  UpdateText();
  return base;
}

double LNumberBoxTextSelector::SetValue(double value) {
  if (!mUpDown) {
    return LPanel::SetValue(value);
  }
  const RCPtr<LNumberBoxTextSelector> self(this); // the owner's handlers may take the tree down
  const RCPtr<QZ::LNumericUpDown> upDown = mUpDown;
  return LPanel::SetValue(upDown->SetValue(value));
}

void LNumberBoxTextSelector::UpdateText() {
  if (!mUpDown || !mLabel) {
    return;
  }
  const uint32_t number = TruncatedPosition(mUpDown->NormalizedToValue(mUpDown->GetValue()));
  WString text;
  if (TableEntryAt(mLabel->GetStringTable().Get(), number, text)) {
    mLabel->SetText(text);
  }
}

QZResult LNumberBoxTextSelector::OnNumericUpDownValueChange(const RCPtr<QZ::LNotificationDistributor>&,
                                                            const RCPtr<QZ::LNotification>& notification) {
  if (!notification->GetParameterAs<QZ::LValueParam>() || !mUpDown) {
    return QZ::QZ_FALSE;
  }
  const RCPtr<LNumberBoxTextSelector> self(this);
  const double number = mUpDown->NormalizedToValue(mUpDown->GetValue());
  SetValue(ValueToNormalized(number));
  UpdateText();
  return QZ::QZ_FALSE;
}

QZResult LNumberBoxTextSelector::ReleaseInternalReferences() {
  mLabel = nullptr;
  mUpDown = nullptr;
  return LPanel::ReleaseInternalReferences();
}
