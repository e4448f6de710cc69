#include "UI/ChordEditPanel.h"

#include <cmath>

using QZ::QZResult;
using QZ::RCPtr;
using QZ::WString;

namespace {

constexpr char kInitialize[] = "LUserPresetChordEditPanel::Initialize";
constexpr char kSource[] = R"(UI\ChordEditPanel)";

constexpr int32_t kModeMajor = 0;
constexpr int32_t kModeMinor = 1;
constexpr int32_t kModeCustom = 2;

// The child name as a T; throws the missing-child text naming shown at line.
template <class T>
RCPtr<T> RequireSelector(const QZ::LControl& page, const char16_t* name, const char* shown, int line) {
  RCPtr<T> child = QZ::DynamicCast<T>(page.FindChildByName(WString(name)));
  if (!child) {
    QZ::Throw<std::runtime_error>({kInitialize, kSource, line},
                                  std::string("Null Pointer : Cannot find child ") + shown);
  }
  return child;
}

} // namespace

LUserPresetChordEditPanel::LUserPresetChordEditPanel(const RCPtr<QZ::LControl>& parent, const WString& name)
    : LHandlerTableControl(parent, name) {}

QZResult LUserPresetChordEditPanel::Initialize() {
  const QZResult base = LScrollView::Initialize();
  if (QZ::Failed(base)) {
    return base;
  }
  if (QZ::Failed(CreateHandlerTable())) {
    return QZ::QZ_E_FAIL;
  }
  using Selector = LVariantBufferSetterParameterPanel;
  mMode = RequireSelector<Selector>(*this, u"mode", "mode", 32);
  // The missing root note names itself as the page always has.
  mSmartRootNote = RequireSelector<Selector>(*this, u"smartRootNote", "smartRootNode", 35);
  mVoicings = RequireSelector<Selector>(*this, u"voicings", "voicings", 38);
  static constexpr const char16_t* kNoteNames[kUserNoteCount] = {
      u"userChordNote1", u"userChordNote2", u"userChordNote3", u"userChordNote4", u"userChordNote5", u"userChordNote6"};
  static constexpr const char* kShownNames[kUserNoteCount] = {"userChordNote1", "userChordNote2", "userChordNote3",
                                                              "userChordNote4", "userChordNote5", "userChordNote6"};
  for (uint32_t i = 0; i < kUserNoteCount; ++i) {
    mUserNotes[i] = RequireSelector<LChordModeNoteVariantBufferSetterParameterPanel>(*this, kNoteNames[i],
                                                                                     kShownNames[i], 41 + 3 * int(i));
  }
  return base;
}

void LUserPresetChordEditPanel::SetFirstParamID(LParameterizedModule* owner, uint32_t firstParamID, uint32_t index) {
  LParameterizedModule::SetFirstParamID(owner, firstParamID, index);
  if (!mMode) {
    return; // not initialised: no selectors to bind
  }
  mMode->SetParameter(QZ::ParamValue(firstParamID + 1));
  mSmartRootNote->SetParameter(QZ::ParamValue(firstParamID));
  mVoicings->SetParameter(QZ::ParamValue(firstParamID + 2));
  for (uint32_t i = 0; i < kUserNoteCount; ++i) {
    mUserNotes[i]->SetParameter(QZ::ParamValue(firstParamID + 3 + i));
    mUserNotes[i]->SetLabelText(WString::Format(u"NOTE %d", int(i + 1)));
  }
}

int32_t LUserPresetChordEditPanel::SetParamValueLocal(const QZ::ParamDescriptor& descriptor, const QZ::Variant& value,
                                                      bool) {
  if (!mMode) {
    return QZ::QZ_OK;
  }
  const uint32_t k = descriptor.id - GetFirstParamID();
  const RCPtr<LUserPresetChordEditPanel> self(this); // a selector's handlers may take the tree down
  switch (k) {
  case 0:
    mSmartRootNote->SetValue(value);
    break;
  case 1: {
    mMode->SetValue(value);
    const double v = mMode->NormalizedToValue(mMode->GetValue()) - mMode->GetValueOffset();
    ShowChordModeControls(v == 0.0 ? kModeMajor : v == 1.0 ? kModeMinor : kModeCustom);
    break;
  }
  case 2:
    mVoicings->SetValue(value);
    break;
  default:
    if (k >= 3 && k < 3 + kUserNoteCount) {
      mUserNotes[k - 3]->SetValue(value);
    }
    break;
  }
  return QZ::QZ_OK;
}

void LUserPresetChordEditPanel::ShowChordModeControls(int32_t mode) {
  if (mode < kModeMajor || mode > kModeCustom || !mMode) {
    return;
  }
  const bool custom = mode == kModeCustom;
  if (custom) {
    ShowUserChordNotes(int32_t(kUserNoteCount));
  } else {
    for (const RCPtr<LChordModeNoteVariantBufferSetterParameterPanel>& note : mUserNotes) {
      note->SetVisible(false);
    }
  }
  mVoicings->SetVisible(!custom);
  mSmartRootNote->SetVisible(!custom);
}

void LUserPresetChordEditPanel::ShowUserChordNotes(int32_t count) {
  for (uint32_t i = 0; i < kUserNoteCount && mUserNotes[i]; ++i) {
    mUserNotes[i]->SetVisible(count >= int32_t(i + 1));
  }
}

QZResult LUserPresetChordEditPanel::ReleaseInternalReferences() {
  mMode = nullptr;
  mSmartRootNote = nullptr;
  mVoicings = nullptr;
  mUserNotes.fill(nullptr);
  return LScrollView::ReleaseInternalReferences();
}
