#include "DeviceControl/GeneratedCode/Engine/Inc/RootModuleInterface.h"

#include "DeviceControl/GeneratedCode/Engine/Inc/ParameterLayout.h"

using QZ::ConstRCPtr;
using QZ::ParamDescriptor;
using QZ::RCPtr;
using QZ::Variant;
namespace Layout = QZ::ParameterLayout;

void LParameterizedModule::SetFirstParamID(LParameterizedModule* owner, uint32_t firstParamID, uint32_t index) {
  mOwner = owner;
  mFirstParamID = firstParamID;
  mIndex = index;
}

ConstRCPtr<LParameterizedModule> LParameterizedModule::GetParamModule(uint32_t id) const {
  return const_cast<LParameterizedModule*>(this)->GetModuleForParamID(id);
}

RCPtr<LParameterizedModule> LParameterizedModule::GetModuleForParamID(uint32_t) { return RCPtr(this); }

void LParameterizedModule::CheckOwnsParameters(const QZ::SourceSite& site, uint32_t id) const {
  if (mParamCount == 0 && !IsModuleAddressedParamID(id)) {
    QZ::Throw<std::logic_error>(site);
  }
}

int32_t LParameterizedModule::SetParamValueLocal(const ParamDescriptor& descriptor, const Variant& value,
                                                 bool fromDevice) {
  CheckOwnsParameters({"LParameterizedModule::SetParamValueLocal",
                       R"(DeviceControl\GeneratedCode\Engine\Inc\RootModuleInterface)", 109},
                      descriptor.id);
  return mOwner ? mOwner->SetParamValue(descriptor, value, fromDevice) : -1;
}

Variant LParameterizedModule::GetParamValueLocal(const ParamDescriptor& descriptor) const {
  CheckOwnsParameters({"LParameterizedModule::GetParamValueLocal",
                       R"(DeviceControl\GeneratedCode\Engine\Inc\RootModuleInterface)", 123},
                      descriptor.id);
  return mOwner ? mOwner->GetParamValue(descriptor) : Variant();
}

int32_t LParameterizedModule::SetParamValue(const ParamDescriptor& descriptor, const Variant& value, bool fromDevice) {
  return mOwner ? mOwner->SetParamValue(descriptor, value, fromDevice) : -1;
}

Variant LParameterizedModule::GetParamValue(const ParamDescriptor& descriptor) const {
  return mOwner ? mOwner->GetParamValue(descriptor) : Variant();
}

int32_t LParameterizedModule::SetParamValueHoldingOwner(const ParamDescriptor& descriptor, const Variant& value,
                                                        bool fromDevice) {
  const RCPtr<LParameterizedModule> owner(mOwner);
  return owner ? owner->SetParamValue(descriptor, value, fromDevice) : -1;
}

Variant LParameterizedModule::GetParamValueHoldingOwner(const ParamDescriptor& descriptor) const {
  const RCPtr<LParameterizedModule> owner(mOwner);
  return owner ? owner->GetParamValue(descriptor) : Variant();
}

Variant LParameterizedModule::GetParamValueDefault(uint32_t) const { return Variant(); }

void LParameterizedModule::PropagateHookA() {}

void LParameterizedModule::PropagateHookB() {}

bool LParameterizedModule::IsAvailable(uint32_t) const { return true; }

void LParameterizedModule::PropagateUp(uint32_t a, uint32_t b, uint32_t c, uint32_t d) {
  if (mOwner) {
    mOwner->PropagateUp(a, b, c, d);
  }
}

int32_t LParameterizedModule::UpdateCachedParamValue(const ParamDescriptor& descriptor, const Variant& value) {
  return mOwner ? mOwner->UpdateCachedParamValue(descriptor, value) : QZ::QZ_E_FAIL;
}

Variant LParameterizedModule::GetCachedParamValue(const ParamDescriptor& descriptor) const {
  return mOwner ? mOwner->GetCachedParamValue(descriptor) : Variant();
}

LParameterizedModule* LParameterizedModule::GetTopModule() const {
  const LParameterizedModule* top = this;
  while (top->mOwner) {
    top = top->mOwner;
  }
  return const_cast<LParameterizedModule*>(top);
}

IPitchbend::IPitchbend() : LParameterizedModule(Layout::GetModuleLayout(Layout::Module::Pitchbend).ParamCount()) {}
IModWheel::IModWheel() : LParameterizedModule(Layout::GetModuleLayout(Layout::Module::ModWheel).ParamCount()) {}
ISustain::ISustain() : LParameterizedModule(Layout::GetModuleLayout(Layout::Module::Sustain).ParamCount()) {}
ISliderAndKnob::ISliderAndKnob() : LParameterizedModule(Layout::GetModuleLayout(Layout::Module::Slider).ParamCount()) {}
IHardwareButton::IHardwareButton()
    : LParameterizedModule(Layout::GetModuleLayout(Layout::Module::HardwareButton).ParamCount()) {}
IPad::IPad() : LParameterizedModule(Layout::GetModuleLayout(Layout::Module::Pad).ParamCount()) {}
IClock::IClock() : LParameterizedModule(Layout::GetModuleLayout(Layout::Module::Clock).ParamCount()) {}
IArp::IArp() : LParameterizedModule(Layout::GetModuleLayout(Layout::Module::Arp).ParamCount()) {}
IChord::IChord() : LParameterizedModule(Layout::GetModuleLayout(Layout::Module::Chord).ParamCount()) {}
IScale::IScale() : LParameterizedModule(Layout::GetModuleLayout(Layout::Module::Scale).ParamCount()) {}
IGlobalPreset::IGlobalPreset()
    : LParameterizedModule(Layout::GetModuleLayout(Layout::Module::GlobalPreset).ParamCount()) {}

void IRootModule::SetFirstParamID(LParameterizedModule* owner, uint32_t firstParamID, uint32_t index) {
  LParameterizedModule::SetFirstParamID(owner, firstParamID, index);
  if (const RCPtr<IDevice> device = GetDeviceRaw()) {
    device->SetFirstParamID(this, firstParamID, 0);
  }
}

RCPtr<LParameterizedModule> IRootModule::GetModuleForParamID(uint32_t id) {
  if (id - GetFirstParamID() >= Layout::kParameterCount) {
    return nullptr;
  }
  const RCPtr<IDevice> device = GetDeviceRaw();
  return device ? device->GetModuleForParamID(id) : nullptr;
}

void IRootModule::PropagateHookA() {
  if (const RCPtr<IDevice> device = GetDeviceRaw()) {
    device->PropagateHookA();
  }
}

void IRootModule::PropagateHookB() {
  if (const RCPtr<IDevice> device = GetDeviceRaw()) {
    device->PropagateHookB();
  }
}

ConstRCPtr<LParameterizedModule> IRootModule::GetModule(uint32_t id) const {
  return const_cast<IRootModule*>(this)->GetModuleRaw(id);
}

ConstRCPtr<IDevice> IRootModule::GetDevice() const { return const_cast<IRootModule*>(this)->GetDeviceRaw(); }
