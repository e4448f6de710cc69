#pragma once
// Simulator::KeyboardMemory: what the virtual keyboard remembers: the preset in RAM, the
// stored presets 1 to 10 and the global settings. Every face of the keyboard (the
// device-control library stand-in, the MIDI ports) reads and writes this one model.
//
//   Simulator::KeyboardMemory memory(QZ::kDeviceModel49Keys);   // factory values
//   std::vector<uint8_t> tempo;
//   memory.GetParam(122, tempo);                  // {1, 20}: 120 beats per minute
//   Simulator::KeyboardMemory::PresetImage image;
//   memory.GetPreset(0, image);
//   memory.StorePreset(3, image);                 // the RAM preset into stored preset 3
//
// Parameters are addressed by their relative id (0 to 144) in the layout of
// DeviceControl/GeneratedCode/Engine/Inc/ParameterLayout.h: ids 0 to 139 are the preset in
// RAM, 140 to 144 the global settings. Each value is one byte, the clock's tempo two. A
// preset image is the bytes of its 140 parameters in id order (141 bytes), the global
// image those of the 5 settings, as the keyboard's system-exclusive messages carry them.
// Factory values are the layout's defaults for the keyboard's model.
//
// Every member is safe to call from any thread; each is atomic on its own.

#include <array>
#include <cstdint>
#include <mutex>
#include <span>
#include <vector>

namespace Simulator {

class KeyboardMemory {
public:
  static constexpr uint32_t kParameterCount = 145;
  static constexpr uint32_t kPresetSize = 141;
  static constexpr uint32_t kGlobalSize = 5;
  // Slot 0 is the preset in RAM, slots 1 to kStoredPresetCount the stored presets.
  static constexpr uint32_t kStoredPresetCount = 10;

  using PresetImage = std::array<uint8_t, kPresetSize>;
  using GlobalImage = std::array<uint8_t, kGlobalSize>;

  // Factory values for the keyboard model (QZ::kDeviceModel25Keys ...).
  explicit KeyboardMemory(int32_t keyboardModel);

  // The width in bytes of the parameter with that relative id; 0 for no such parameter.
  static uint32_t GetParamWidth(uint32_t relativeId);
  // bytes becomes the parameter's value; false (bytes unchanged) for no such parameter.
  bool GetParam(uint32_t relativeId, std::vector<uint8_t>& bytes) const;
  // Stores the value; false, changing nothing, for no such parameter or a value that is
  // not exactly the parameter's width.
  bool SetParam(uint32_t relativeId, std::span<const uint8_t> bytes);

  // image becomes the image of preset slot 0 to 10; false (image unchanged) for another
  // slot.
  bool GetPreset(uint32_t slot, PresetImage& image) const;
  // Stores an image into slot 0 to 10; false, changing nothing, for another slot.
  [[nodiscard]] bool StorePreset(uint32_t slot, const PresetImage& image);
  GlobalImage GetGlobals() const;
  void StoreGlobals(const GlobalImage& image);

private:
  mutable std::mutex mLock;
  std::array<PresetImage, kStoredPresetCount + 1> mPresets{};
  GlobalImage mGlobals{};
};

} // namespace Simulator
