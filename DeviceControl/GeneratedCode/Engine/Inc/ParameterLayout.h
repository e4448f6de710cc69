#pragma once
// The controller's parameter space: 145 ids counted from the root module's first id,
// 140 of the user preset (pitch bend ... scale) followed by 5 global settings.
//
//   using namespace QZ::ParameterLayout;
//   const ParameterEntry& tempo = kParameterTable[122];  // clock, offset 1, {1, 20}
//   GetModuleLayout(Module::Pad).firstBlockStart;         // 89
//
// kModuleLayouts is the one description of the layout: every module kind with the
// relative id of its first block, its number of instances and one default per offset
// (the block's width). The leaf modules take their parameter counts, accepted block
// starts and defaults from it; kParameterTable spreads it into one row per id.
//
// Every value is a byte buffer of one byte, except the clock's tempo: two bytes, the
// tempo divided by 100 and the remainder ({1, 20} is 120). Plain constant data: any
// thread may read it.

#include <array>
#include <cstdint>
#include <span>

#include "QZFramework/Services/ApplicationContext.h"

namespace QZ::ParameterLayout {

inline constexpr uint32_t kParameterCount = 145;
inline constexpr uint32_t kUserPresetParameterCount = 140;
// Relative id of the global settings' block.
inline constexpr uint32_t kGlobalPresetFirstID = 140;

inline constexpr uint32_t kSliderCount = 9;
inline constexpr uint32_t kKnobCount = 8;
inline constexpr uint32_t kHardwareButtonCount = 9;
inline constexpr uint32_t kPadCount = 16;

// The owners of parameters. Sliders and knobs are one module class with two layouts.
enum class Module : uint8_t {
  Pitchbend,
  ModWheel,
  Sustain,
  Slider,
  Knob,
  HardwareButton,
  Pad,
  Clock,
  Arp,
  Chord,
  Scale,
  GlobalPreset,
};
inline constexpr uint32_t kModuleCount = 12;

enum class DefaultRule : uint8_t {
  Fixed,           // the `width` bytes of `bytes`
  PlusIndex,       // bytes[0] + the module's instance index
  ByKeyboardModel, // bytes[0]; bytes25Keys on the 25-key model
};

struct ParamDefault {
  DefaultRule rule = DefaultRule::Fixed;
  uint8_t width = 1; // 1 or 2
  std::array<uint8_t, 2> bytes{};
  uint8_t bytes25Keys = 0;

  // The default bytes (`width` of them) of an instance on a keyboard model.
  constexpr std::array<uint8_t, 2> Evaluate(uint32_t index, int32_t keyboardModel) const {
    switch (rule) {
    case DefaultRule::PlusIndex:
      return {static_cast<uint8_t>(bytes[0] + index), 0};
    case DefaultRule::ByKeyboardModel:
      return {keyboardModel == kDeviceModel25Keys ? bytes25Keys : bytes[0], 0};
    case DefaultRule::Fixed:
      break;
    }
    return bytes;
  }
};

struct ModuleLayout {
  Module module;
  uint32_t firstBlockStart; // relative id of instance 0
  uint32_t instanceCount;   // blocks follow each other without gaps
  std::span<const ParamDefault> params;

  constexpr uint32_t ParamCount() const { return static_cast<uint32_t>(params.size()); }
  constexpr bool IsBlockStart(uint32_t relativeID) const {
    return relativeID >= firstBlockStart && (relativeID - firstBlockStart) % ParamCount() == 0 &&
           (relativeID - firstBlockStart) / ParamCount() < instanceCount;
  }
};

namespace Detail {
constexpr ParamDefault Byte(uint8_t value) { return {DefaultRule::Fixed, 1, {value, 0}, 0}; }
constexpr ParamDefault TwoBytes(uint8_t high, uint8_t low) { return {DefaultRule::Fixed, 2, {high, low}, 0}; }
constexpr ParamDefault PlusIndex(uint8_t base) { return {DefaultRule::PlusIndex, 1, {base, 0}, 0}; }
constexpr ParamDefault ByModel(uint8_t other, uint8_t keys25) {
  return {DefaultRule::ByKeyboardModel, 1, {other, 0}, keys25};
}

// Offsets: channel, minimum, maximum.
inline constexpr ParamDefault kPitchbend[] = {Byte(0), Byte(0), Byte(127)};
// Channel, CC, minimum, maximum.
inline constexpr ParamDefault kModWheel[] = {Byte(0), Byte(1), Byte(0), Byte(127)};
// Channel, CC, latch.
inline constexpr ParamDefault kSustain[] = {Byte(0), Byte(64), Byte(0)};
// Channel, CC.
inline constexpr ParamDefault kSlider[] = {Byte(0), PlusIndex(24)};
inline constexpr ParamDefault kKnob[] = {Byte(0), PlusIndex(36)};
// Channel, mode, program / CC / note, pressed, released.
inline constexpr ParamDefault kHardwareButton[] = {Byte(0), Byte(0), PlusIndex(44), Byte(127), Byte(0)};
// Channel, note.
inline constexpr ParamDefault kPad[] = {Byte(0), PlusIndex(36)};
// Source, tempo, time division.
inline constexpr ParamDefault kClock[] = {Byte(0), TwoBytes(1, 20), Byte(0)};
// Octave, latch, type, gate, swing.
inline constexpr ParamDefault kArp[] = {Byte(0), Byte(0), Byte(0), Byte(5), Byte(0)};
// Smart root note, mode, voicings, user chord notes 1 to 6.
inline constexpr ParamDefault kChord[] = {Byte(0), Byte(0), Byte(0), ByModel(36, 48), ByModel(37, 49),
                                          Byte(0), Byte(0), Byte(0), Byte(0)};
// Root note, scale.
inline constexpr ParamDefault kScale[] = {Byte(0), Byte(0)};
// MIDI channel, program, keyboard sensitivity, pad sensitivity, DAW setting.
inline constexpr ParamDefault kGlobalPreset[] = {Byte(1), Byte(0), Byte(0), Byte(0), Byte(0)};
} // namespace Detail

// In id order, indexed by Module.
inline constexpr std::array<ModuleLayout, kModuleCount> kModuleLayouts{{
    {Module::Pitchbend, 0, 1, Detail::kPitchbend},
    {Module::ModWheel, 3, 1, Detail::kModWheel},
    {Module::Sustain, 7, 1, Detail::kSustain},
    {Module::Slider, 10, kSliderCount, Detail::kSlider},
    {Module::Knob, 28, kKnobCount, Detail::kKnob},
    {Module::HardwareButton, 44, kHardwareButtonCount, Detail::kHardwareButton},
    {Module::Pad, 89, kPadCount, Detail::kPad},
    {Module::Clock, 121, 1, Detail::kClock},
    {Module::Arp, 124, 1, Detail::kArp},
    {Module::Chord, 129, 1, Detail::kChord},
    {Module::Scale, 138, 1, Detail::kScale},
    {Module::GlobalPreset, kGlobalPresetFirstID, 1, Detail::kGlobalPreset},
}};

constexpr const ModuleLayout& GetModuleLayout(Module module) { return kModuleLayouts[static_cast<size_t>(module)]; }

// One parameter: its relative id, owner, instance and offset, and its default.
struct ParameterEntry {
  uint32_t id;
  Module module;
  uint32_t instance;
  uint32_t offset;
  ParamDefault defaultValue;
};

namespace Detail {
constexpr std::array<ParameterEntry, kParameterCount> SpreadLayouts() {
  std::array<ParameterEntry, kParameterCount> table{};
  uint32_t id = 0;
  for (const ModuleLayout& layout : kModuleLayouts) {
    for (uint32_t instance = 0; instance < layout.instanceCount; ++instance) {
      for (uint32_t offset = 0; offset < layout.ParamCount(); ++offset, ++id) {
        table[id] = {id, layout.module, instance, offset, layout.params[offset]};
      }
    }
  }
  return table;
}

constexpr bool LayoutsTileTheParameterSpace() {
  uint32_t next = 0;
  for (size_t i = 0; i < kModuleLayouts.size(); ++i) {
    const ModuleLayout& layout = kModuleLayouts[i];
    if (static_cast<size_t>(layout.module) != i || layout.firstBlockStart != next) {
      return false;
    }
    next += layout.instanceCount * layout.ParamCount();
  }
  return next == kParameterCount && GetModuleLayout(Module::GlobalPreset).firstBlockStart == kUserPresetParameterCount;
}
static_assert(LayoutsTileTheParameterSpace(), "module blocks must cover ids 0..144 in order, without gaps");
} // namespace Detail

// Row i describes relative id i.
inline constexpr std::array<ParameterEntry, kParameterCount> kParameterTable = Detail::SpreadLayouts();

} // namespace QZ::ParameterLayout
