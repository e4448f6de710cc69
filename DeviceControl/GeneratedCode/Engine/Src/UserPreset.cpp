#include "DeviceControl/GeneratedCode/Engine/Inc/UserPreset.h"

namespace QZ {
namespace {

namespace Layout = ParameterLayout;

// The child at index i; throws "Out of Range" naming the accessor past the count.
template <class T>
RCPtr<T> ChildAt(RCPtrArray<T, 1, 0>& children, uint32_t i, const SourceSite& site) {
  if (i >= children.GetCount()) {
    Throw<std::out_of_range>(site);
  }
  return children.GetAt(i);
}

// Resizes children to count, each element a new module of the factory.
template <class T>
void MakeChildren(RCPtrArray<T, 1, 0>& children, uint32_t count) {
  children.SetCount(count);
  for (uint32_t i = 0; i < count; ++i) {
    children.GetAt(i) = T::Create();
  }
}

} // namespace

RCPtr<LUserPreset> LUserPreset::Create() {
  RCPtr<LUserPreset> preset(new LUserPreset);
  preset->CreateChildren();
  return preset;
}

void LUserPreset::SetFirstParamID(LParameterizedModule* owner, uint32_t firstParamID, uint32_t index) {
  IUserPreset::SetFirstParamID(owner, firstParamID, index);
  if (GetRelativeFirstParamID() != 0) {
    Throw<std::logic_error>(
        {"QZ::LUserPreset::SetFirstParamID", R"(..\DeviceControl\GeneratedCode\Engine\Src\UserPreset)", 77},
        "Invalid FirstParamID");
  }
}

int32_t LUserPreset::SetParamValue(const ParamDescriptor& descriptor, const Variant& value, bool fromDevice) {
  return SetParamValueHoldingOwner(descriptor, value, fromDevice);
}

Variant LUserPreset::GetParamValue(const ParamDescriptor& descriptor) const {
  return GetParamValueHoldingOwner(descriptor);
}

RCPtr<::IPitchbend> LUserPreset::GetPitchbend() { return mPitchbend; }

RCPtr<::IModWheel> LUserPreset::GetModWheel() { return mModWheel; }

RCPtr<::ISustain> LUserPreset::GetSustain() { return mSustain; }

RCPtr<::ISliderAndKnob> LUserPreset::GetSlider(uint32_t i) {
  return ChildAt(mSliders, i,
                 {"QZ::LUserPreset::GetSlider", R"(..\DeviceControl\GeneratedCode\Engine\Src\UserPreset)", 156});
}

RCPtr<::ISliderAndKnob> LUserPreset::GetKnob(uint32_t i) {
  return ChildAt(mKnobs, i,
                 {"QZ::LUserPreset::GetKnob", R"(..\DeviceControl\GeneratedCode\Engine\Src\UserPreset)", 170});
}

RCPtr<::IHardwareButton> LUserPreset::GetHardwareButton(uint32_t i) {
  return ChildAt(
      mHardwareButtons, i,
      {"QZ::LUserPreset::GetHardwareButton", R"(..\DeviceControl\GeneratedCode\Engine\Src\UserPreset)", 184});
}

RCPtr<::IPad> LUserPreset::GetPad(uint32_t i) {
  return ChildAt(mPads, i, {"QZ::LUserPreset::GetPad", R"(..\DeviceControl\GeneratedCode\Engine\Src\UserPreset)", 198});
}

RCPtr<::IClock> LUserPreset::GetClock() { return mClock; }

RCPtr<::IArp> LUserPreset::GetArp() { return mArp; }

RCPtr<::IChord> LUserPreset::GetChord() { return mChord; }

RCPtr<::IScale> LUserPreset::GetScale() { return mScale; }

void LUserPreset::CreateChildren() {
  mPitchbend = LPitchbend::Create();
  mModWheel = LModWheel::Create();
  mSustain = LSustain::Create();
  MakeChildren(mSliders, Layout::kSliderCount);
  MakeChildren(mKnobs, Layout::kKnobCount);
  MakeChildren(mHardwareButtons, Layout::kHardwareButtonCount);
  MakeChildren(mPads, Layout::kPadCount);
  mClock = LClock::Create();
  mArp = LArp::Create();
  mChord = LChord::Create();
  mScale = LScale::Create();
}

} // namespace QZ
