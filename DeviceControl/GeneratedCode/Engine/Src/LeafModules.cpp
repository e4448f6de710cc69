#include "DeviceControl/GeneratedCode/Engine/Inc/LeafModules.h"

#include "QZFramework/Services/ApplicationContext.h"

namespace QZ {

namespace Layout = ParameterLayout;

template <class Interface, const LeafModuleInfo& Info>
const Layout::ModuleLayout& LLeafModule<Interface, Info>::GetLayout() const {
  static_assert(Layout::GetModuleLayout(Info.module).ParamCount() ==
                    Layout::GetModuleLayout(Info.secondModule).ParamCount(),
                "the two layouts of one class share its parameter count");
  const Layout::ModuleLayout& second = Layout::GetModuleLayout(Info.secondModule);
  if (Info.secondModule != Info.module && this->GetRelativeFirstParamID() >= second.firstBlockStart) {
    return second;
  }
  return Layout::GetModuleLayout(Info.module);
}

template <class Interface, const LeafModuleInfo& Info>
void LLeafModule<Interface, Info>::SetFirstParamID(LParameterizedModule* owner, uint32_t firstParamID, uint32_t index) {
  Interface::SetFirstParamID(owner, firstParamID, index);
  const uint32_t position = this->GetRelativeFirstParamID();
  if (!Layout::GetModuleLayout(Info.module).IsBlockStart(position) &&
      !Layout::GetModuleLayout(Info.secondModule).IsBlockStart(position)) {
    Throw<std::logic_error>({Info.bindMethod, Info.source, 77}, "Invalid FirstParamID");
  }
}

template <class Interface, const LeafModuleInfo& Info>
int32_t LLeafModule<Interface, Info>::SetParamValueLocal(const ParamDescriptor& descriptor, const Variant& value,
                                                         bool fromDevice) {
  const uint32_t id = descriptor.id;
  if (static_cast<int32_t>(id) >= 0) {
    if (id - this->GetFirstParamID() >= this->GetParamCount()) {
      return -1;
    }
    // Copies: the caller's descriptor and value may be parts of what the climb changes.
    const ParamDescriptor ownDescriptor(descriptor);
    const Variant ownValue(value);
    return Interface::SetParamValueLocal(ownDescriptor, ownValue, fromDevice);
  }
  if (!IsModuleAddressedParamID(id)) {
    return -1;
  }
  if (fromDevice) {
    return 1;
  }
  auto* writer = dynamic_cast<IDeviceParamWriter*>(this->GetTopModule());
  if (!writer) {
    return -1;
  }
  (void)writer->WriteParamValueToDevice(descriptor, value); // the leaf answers 1 whatever the device does
  return 1;
}

template <class Interface, const LeafModuleInfo& Info>
Variant LLeafModule<Interface, Info>::GetParamValueLocal(const ParamDescriptor& descriptor) const {
  if (descriptor.id - this->GetFirstParamID() >= this->GetParamCount()) {
    Throw<std::logic_error>({Info.readMethod, Info.source, 116});
  }
  return Interface::GetParamValueLocal(descriptor);
}

template <class Interface, const LeafModuleInfo& Info>
int32_t LLeafModule<Interface, Info>::SetParamValue(const ParamDescriptor& descriptor, const Variant& value,
                                                    bool fromDevice) {
  return this->SetParamValueHoldingOwner(descriptor, value, fromDevice);
}

template <class Interface, const LeafModuleInfo& Info>
Variant LLeafModule<Interface, Info>::GetParamValue(const ParamDescriptor& descriptor) const {
  return this->GetParamValueHoldingOwner(descriptor);
}

template <class Interface, const LeafModuleInfo& Info>
Variant LLeafModule<Interface, Info>::GetParamValueDefault(uint32_t id) const {
  const uint32_t offset = id - this->GetFirstParamID();
  if (offset >= this->GetParamCount()) {
    Throw<std::logic_error>({Info.defaultMethod, Info.source, 279});
  }
  const Layout::ParamDefault& byDefault = GetLayout().params[offset];
  // The model is read on every request: the user may switch keyboards at any time.
  const int32_t model = byDefault.rule == Layout::DefaultRule::ByKeyboardModel ? GetDeviceModel() : 0;
  const std::array<uint8_t, 2> bytes = byDefault.Evaluate(this->GetIndex(), model);
  Variant result;
  result.SetBuffer(bytes.data(), byDefault.width);
  return result;
}

#define QZ_DEFINE_LEAF_MODULE(Name)                                                                                    \
  template class LLeafModule<::I##Name, k##Name##Info>;                                                                \
  RCPtr<L##Name> L##Name::Create() {                                                                                   \
    RCPtr<L##Name> module(new L##Name);                                                                                \
    module->CreateChildren();                                                                                          \
    return module;                                                                                                     \
  }

QZ_DEFINE_LEAF_MODULE(Pitchbend)
QZ_DEFINE_LEAF_MODULE(ModWheel)
QZ_DEFINE_LEAF_MODULE(Sustain)
QZ_DEFINE_LEAF_MODULE(SliderAndKnob)
QZ_DEFINE_LEAF_MODULE(HardwareButton)
QZ_DEFINE_LEAF_MODULE(Pad)
QZ_DEFINE_LEAF_MODULE(Clock)
QZ_DEFINE_LEAF_MODULE(Arp)
QZ_DEFINE_LEAF_MODULE(Chord)
QZ_DEFINE_LEAF_MODULE(Scale)
QZ_DEFINE_LEAF_MODULE(GlobalPreset)

#undef QZ_DEFINE_LEAF_MODULE

} // namespace QZ
