#pragma once
// QZ::LUserPreset: the engine's user-preset module, parent of the 49 leaves that own
// ids 0..139 relative to its first id (pitch bend, mod wheel, sustain, 9 sliders,
// 8 knobs, 9 hardware buttons, 16 pads, clock, arpeggiator, chord, scale).
//
//   QZ::RCPtr<QZ::LUserPreset> preset = QZ::LUserPreset::Create();  // children made
//   preset->SetFirstParamID(device, 0, 0);       // binds the 49 leaves
//   preset->GetModuleForParamID(28);             // knob 0
//
// Binding, routing and hooks are IUserPreset's; this class makes and holds the
// children. Threads: as every module (RootModuleInterface.h).

#include "DeviceControl/GeneratedCode/Engine/Inc/LeafModules.h"
#include "QZFramework/Utilities/Storage/RCPtrArray.h"

namespace QZ {

class LUserPreset final : public ::IUserPreset {
public:
  // A new, unbound user preset with its 49 children, holding its first reference.
  static RCPtr<LUserPreset> Create();

  // Binds the children (IUserPreset), then throws "Logic Error : Invalid FirstParamID :
  // QZ::LUserPreset::SetFirstParamID : ..\DeviceControl\GeneratedCode\Engine\Src\UserPreset :
  // Line 77" unless it sits at its top module's first id.
  void SetFirstParamID(LParameterizedModule* owner, uint32_t firstParamID, uint32_t index) override;
  // As the base, holding the owner by a counted reference during the call.
  int32_t SetParamValue(const ParamDescriptor& descriptor, const Variant& value, bool fromDevice) override;
  Variant GetParamValue(const ParamDescriptor& descriptor) const override;

  using IUserPreset::GetArp;
  using IUserPreset::GetChord;
  using IUserPreset::GetClock;
  using IUserPreset::GetHardwareButton;
  using IUserPreset::GetKnob;
  using IUserPreset::GetModWheel;
  using IUserPreset::GetPad;
  using IUserPreset::GetPitchbend;
  using IUserPreset::GetScale;
  using IUserPreset::GetSlider;
  using IUserPreset::GetSustain;
  RCPtr<::IPitchbend> GetPitchbend() override;
  RCPtr<::IModWheel> GetModWheel() override;
  RCPtr<::ISustain> GetSustain() override;
  // The indexed children throw "Out of Range" for an index not below their count.
  RCPtr<::ISliderAndKnob> GetSlider(uint32_t i) override;
  RCPtr<::ISliderAndKnob> GetKnob(uint32_t i) override;
  RCPtr<::IHardwareButton> GetHardwareButton(uint32_t i) override;
  RCPtr<::IPad> GetPad(uint32_t i) override;
  RCPtr<::IClock> GetClock() override;
  RCPtr<::IArp> GetArp() override;
  RCPtr<::IChord> GetChord() override;
  RCPtr<::IScale> GetScale() override;

  // Makes every child anew, releasing those it replaces; binds nothing. Create calls it.
  virtual void CreateChildren();

private:
  LUserPreset() = default;

  RCPtr<LPitchbend> mPitchbend;
  RCPtr<LModWheel> mModWheel;
  RCPtr<LSustain> mSustain;
  RCPtrArray<LSliderAndKnob, 1, 0> mSliders;
  RCPtrArray<LSliderAndKnob, 1, 0> mKnobs;
  RCPtrArray<LHardwareButton, 1, 0> mHardwareButtons;
  RCPtrArray<LPad, 1, 0> mPads;
  RCPtr<LClock> mClock;
  RCPtr<LArp> mArp;
  RCPtr<LChord> mChord;
  RCPtr<LScale> mScale;
};

} // namespace QZ
