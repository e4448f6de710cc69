#include "DeviceControl/GeneratedCode/Engine/Inc/ParameterLayout.h"
#include "DeviceControl/GeneratedCode/Engine/Inc/RootModuleInterface.h"

using QZ::ConstRCPtr;
using QZ::RCPtr;
namespace Layout = QZ::ParameterLayout;

namespace {

// The user preset's child of a kind and instance, through the implementer's accessor.
RCPtr<LParameterizedModule> ChildOf(IUserPreset& preset, Layout::Module module, uint32_t instance) {
  switch (module) {
  case Layout::Module::Pitchbend:
    return preset.GetPitchbend();
  case Layout::Module::ModWheel:
    return preset.GetModWheel();
  case Layout::Module::Sustain:
    return preset.GetSustain();
  case Layout::Module::Slider:
    return preset.GetSlider(instance);
  case Layout::Module::Knob:
    return preset.GetKnob(instance);
  case Layout::Module::HardwareButton:
    return preset.GetHardwareButton(instance);
  case Layout::Module::Pad:
    return preset.GetPad(instance);
  case Layout::Module::Clock:
    return preset.GetClock();
  case Layout::Module::Arp:
    return preset.GetArp();
  case Layout::Module::Chord:
    return preset.GetChord();
  case Layout::Module::Scale:
    return preset.GetScale();
  case Layout::Module::GlobalPreset:
    break;
  }
  return nullptr;
}

} // namespace

// Visits every present child in binding order with its block's offset and instance.
template <class Visit>
void IUserPreset::ForEachChild(Visit visit) {
  for (const Layout::ModuleLayout& layout : Layout::kModuleLayouts) {
    if (layout.module == Layout::Module::GlobalPreset) {
      continue;
    }
    for (uint32_t instance = 0; instance < layout.instanceCount; ++instance) {
      if (const RCPtr<LParameterizedModule> child = ChildOf(*this, layout.module, instance)) {
        visit(*child, layout.firstBlockStart + instance * layout.ParamCount(), instance);
      }
    }
  }
}

void IUserPreset::SetFirstParamID(LParameterizedModule* owner, uint32_t firstParamID, uint32_t index) {
  LParameterizedModule::SetFirstParamID(owner, firstParamID, index);
  ForEachChild([this, firstParamID](LParameterizedModule& child, uint32_t blockStart, uint32_t instance) {
    child.SetFirstParamID(this, firstParamID + blockStart, instance);
  });
}

RCPtr<LParameterizedModule> IUserPreset::GetChildForOffset(uint32_t offset) {
  if (offset >= Layout::kUserPresetParameterCount) {
    return nullptr;
  }
  const Layout::ParameterEntry& entry = Layout::kParameterTable[offset];
  return ChildOf(*this, entry.module, entry.instance);
}

RCPtr<LParameterizedModule> IUserPreset::GetModuleForParamID(uint32_t id) {
  const RCPtr<LParameterizedModule> child = GetChildForOffset(id - GetFirstParamID());
  return child ? child->GetModuleForParamID(id) : nullptr;
}

void IUserPreset::PropagateHookA() {
  ForEachChild([](LParameterizedModule& child, uint32_t, uint32_t) { child.PropagateHookA(); });
}

void IUserPreset::PropagateHookB() {
  ForEachChild([](LParameterizedModule& child, uint32_t, uint32_t) { child.PropagateHookB(); });
}

ConstRCPtr<IPitchbend> IUserPreset::GetPitchbend() const { return const_cast<IUserPreset*>(this)->GetPitchbend(); }
ConstRCPtr<IModWheel> IUserPreset::GetModWheel() const { return const_cast<IUserPreset*>(this)->GetModWheel(); }
ConstRCPtr<ISustain> IUserPreset::GetSustain() const { return const_cast<IUserPreset*>(this)->GetSustain(); }
ConstRCPtr<ISliderAndKnob> IUserPreset::GetSlider(uint32_t i) const {
  return const_cast<IUserPreset*>(this)->GetSlider(i);
}
ConstRCPtr<ISliderAndKnob> IUserPreset::GetKnob(uint32_t i) const { return const_cast<IUserPreset*>(this)->GetKnob(i); }
ConstRCPtr<IHardwareButton> IUserPreset::GetHardwareButton(uint32_t i) const {
  return const_cast<IUserPreset*>(this)->GetHardwareButton(i);
}
ConstRCPtr<IPad> IUserPreset::GetPad(uint32_t i) const { return const_cast<IUserPreset*>(this)->GetPad(i); }
ConstRCPtr<IClock> IUserPreset::GetClock() const { return const_cast<IUserPreset*>(this)->GetClock(); }
ConstRCPtr<IArp> IUserPreset::GetArp() const { return const_cast<IUserPreset*>(this)->GetArp(); }
ConstRCPtr<IChord> IUserPreset::GetChord() const { return const_cast<IUserPreset*>(this)->GetChord(); }
ConstRCPtr<IScale> IUserPreset::GetScale() const { return const_cast<IUserPreset*>(this)->GetScale(); }
