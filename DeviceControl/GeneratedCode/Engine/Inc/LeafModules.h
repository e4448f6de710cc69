#pragma once
// The eleven leaf modules of the engine's tree: QZ::LPitchbend, LModWheel, LSustain,
// LSliderAndKnob, LHardwareButton, LPad, LClock, LArp, LChord, LScale, LGlobalPreset.
//
//   QZ::RCPtr<QZ::LArp> arp = QZ::LArp::Create();   // unbound
//   arp->SetFirstParamID(userPreset, 124, 0);        // checked against the layout
//   arp->GetParamValueDefault(127);                  // a one-byte buffer {5}
//   arp->SetParamValueLocal(descriptor, value, false);  // climbs to the root
//
// One template over the parameter layout (ParameterLayout.h) makes the family: each
// class owns the ids of one block of its kind, accepts only its kind's block starts,
// answers the defaults of its offsets and passes values up to the root. They differ in
// their layout rows and in the texts of their failures, which name the class and its
// source, e.g. "Logic Error : QZ::LArp::GetParamValueLocal :
// ..\DeviceControl\GeneratedCode\Engine\Src\Arp : Line 116".
//
// Threads: as every module (RootModuleInterface.h); defaults read the keyboard model
// through the application context (the chord's user notes), which is main-thread data.

#include <string_view>

#include "DeviceControl/GeneratedCode/Engine/Inc/ParameterLayout.h"
#include "DeviceControl/GeneratedCode/Engine/Inc/RootModuleInterface.h"

namespace QZ {

// What tells one leaf class from another.
struct LeafModuleInfo {
  // The layout of the module kind. A class with two layouts (sliders and knobs) takes
  // the second from the second's first block start on.
  ParameterLayout::Module module;
  ParameterLayout::Module secondModule;
  std::string_view bindMethod;    // "QZ::LArp::SetFirstParamID"
  std::string_view readMethod;    // "QZ::LArp::GetParamValueLocal"
  std::string_view defaultMethod; // "QZ::LArp::GetParamValueDefault"
  std::string_view source;        // "..\DeviceControl\GeneratedCode\Engine\Src\Arp"
};

template <class Interface, const LeafModuleInfo& Info>
class LLeafModule : public Interface {
public:
  // Stores the fields, then throws "Logic Error : Invalid FirstParamID : <bindMethod> :
  // <source> : Line 77" unless FirstParamID relative to the top module is one of the
  // kind's block starts (the index is not compared with the position).
  void SetFirstParamID(LParameterizedModule* owner, uint32_t firstParamID, uint32_t index) override;
  // An id of the block climbs to the root with the same fromDevice (the root's result;
  // -1 without owner); any other non-negative id returns -1. A module-addressed id goes
  // to the controller through the top module's IDeviceParamWriter unless fromDevice, and
  // returns 1 (-1 when the top module is not such a writer). Other negative ids: -1.
  int32_t SetParamValueLocal(const ParamDescriptor& descriptor, const Variant& value, bool fromDevice) override;
  // The root's value of an id of the block; any other id throws "Logic Error :
  // <readMethod> : <source> : Line 116".
  Variant GetParamValueLocal(const ParamDescriptor& descriptor) const override;
  // As the base, holding the owner by a counted reference during the call.
  int32_t SetParamValue(const ParamDescriptor& descriptor, const Variant& value, bool fromDevice) override;
  Variant GetParamValue(const ParamDescriptor& descriptor) const override;
  // The default byte buffer of an id of the block (two bytes for the clock's tempo);
  // any other id throws "Logic Error : <defaultMethod> : <source> : Line 279".
  Variant GetParamValueDefault(uint32_t id) const override;
  // A leaf has no children: nothing to make. Its factory calls it.
  virtual void CreateChildren() {}

private:
  const ParameterLayout::ModuleLayout& GetLayout() const;
};

// A leaf class of the family: its interface I<Name>, its texts, its factory.
#define QZ_LEAF_MODULE(Name, FirstModule, SecondModule)                                                                \
  inline constexpr LeafModuleInfo k##Name##Info{                                                                       \
      ParameterLayout::Module::FirstModule,   ParameterLayout::Module::SecondModule,                                   \
      "QZ::L" #Name "::SetFirstParamID",      "QZ::L" #Name "::GetParamValueLocal",                                    \
      "QZ::L" #Name "::GetParamValueDefault", R"(..\DeviceControl\GeneratedCode\Engine\Src\)" #Name};                  \
  class L##Name final : public LLeafModule<::I##Name, k##Name##Info> {                                                 \
  public:                                                                                                              \
    /* A new, unbound module holding its first reference. */                                                           \
    static RCPtr<L##Name> Create();                                                                                    \
                                                                                                                       \
  private:                                                                                                             \
    L##Name() = default;                                                                                               \
  }

QZ_LEAF_MODULE(Pitchbend, Pitchbend, Pitchbend);
QZ_LEAF_MODULE(ModWheel, ModWheel, ModWheel);
QZ_LEAF_MODULE(Sustain, Sustain, Sustain);
QZ_LEAF_MODULE(SliderAndKnob, Slider, Knob);
QZ_LEAF_MODULE(HardwareButton, HardwareButton, HardwareButton);
QZ_LEAF_MODULE(Pad, Pad, Pad);
QZ_LEAF_MODULE(Clock, Clock, Clock);
QZ_LEAF_MODULE(Arp, Arp, Arp);
QZ_LEAF_MODULE(Chord, Chord, Chord);
QZ_LEAF_MODULE(Scale, Scale, Scale);
QZ_LEAF_MODULE(GlobalPreset, GlobalPreset, GlobalPreset);

#undef QZ_LEAF_MODULE

} // namespace QZ
