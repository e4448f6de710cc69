#include "Simulator/Keyboard/KeyboardMemory.h"

#include <algorithm>

#include "DeviceControl/GeneratedCode/Engine/Inc/ParameterLayout.h"

namespace Simulator {

namespace Layout = QZ::ParameterLayout;

namespace {

// Where each parameter's bytes start: in the preset image for ids below 140, in the
// global image for the others.
constexpr std::array<uint32_t, Layout::kParameterCount> ImageOffsets() {
  std::array<uint32_t, Layout::kParameterCount> offsets{};
  uint32_t offset = 0;
  for (uint32_t id = 0; id < Layout::kParameterCount; ++id) {
    if (id == Layout::kGlobalPresetFirstID) {
      offset = 0;
    }
    offsets[id] = offset;
    offset += Layout::kParameterTable[id].defaultValue.width;
  }
  return offsets;
}

constexpr std::array<uint32_t, Layout::kParameterCount> kImageOffsets = ImageOffsets();

static_assert(kImageOffsets[Layout::kGlobalPresetFirstID - 1] + 1 == KeyboardMemory::kPresetSize,
              "the preset image holds the user preset's parameters");
static_assert(kImageOffsets[Layout::kParameterCount - 1] + 1 == KeyboardMemory::kGlobalSize,
              "the global image holds the global settings");

static_assert(KeyboardMemory::kParameterCount == Layout::kParameterCount, "one parameter space");

bool IsGlobal(uint32_t relativeId) { return relativeId >= Layout::kGlobalPresetFirstID; }

} // namespace

KeyboardMemory::KeyboardMemory(int32_t keyboardModel) {
  PresetImage preset{};
  for (const Layout::ParameterEntry& entry : Layout::kParameterTable) {
    const std::array<uint8_t, 2> bytes = entry.defaultValue.Evaluate(entry.instance, keyboardModel);
    uint8_t* at = (IsGlobal(entry.id) ? mGlobals.data() : preset.data()) + kImageOffsets[entry.id];
    std::copy_n(bytes.begin(), entry.defaultValue.width, at);
  }
  mPresets.fill(preset);
}

uint32_t KeyboardMemory::GetParamWidth(uint32_t relativeId) {
  return relativeId < Layout::kParameterCount ? Layout::kParameterTable[relativeId].defaultValue.width : 0;
}

bool KeyboardMemory::GetParam(uint32_t relativeId, std::vector<uint8_t>& bytes) const {
  const uint32_t width = GetParamWidth(relativeId);
  if (width == 0) {
    return false;
  }
  std::lock_guard hold(mLock);
  const uint8_t* at = (IsGlobal(relativeId) ? mGlobals.data() : mPresets[0].data()) + kImageOffsets[relativeId];
  bytes.assign(at, at + width);
  return true;
}

bool KeyboardMemory::SetParam(uint32_t relativeId, std::span<const uint8_t> bytes) {
  const uint32_t width = GetParamWidth(relativeId);
  if (width == 0 || bytes.size() != width) {
    return false;
  }
  std::lock_guard hold(mLock);
  uint8_t* at = (IsGlobal(relativeId) ? mGlobals.data() : mPresets[0].data()) + kImageOffsets[relativeId];
  std::copy(bytes.begin(), bytes.end(), at);
  return true;
}

bool KeyboardMemory::GetPreset(uint32_t slot, PresetImage& image) const {
  if (slot > kStoredPresetCount) {
    return false;
  }
  std::lock_guard hold(mLock);
  image = mPresets[slot];
  return true;
}

bool KeyboardMemory::StorePreset(uint32_t slot, const PresetImage& image) {
  if (slot > kStoredPresetCount) {
    return false;
  }
  std::lock_guard hold(mLock);
  mPresets[slot] = image;
  return true;
}

KeyboardMemory::GlobalImage KeyboardMemory::GetGlobals() const {
  std::lock_guard hold(mLock);
  return mGlobals;
}

void KeyboardMemory::StoreGlobals(const GlobalImage& image) {
  std::lock_guard hold(mLock);
  mGlobals = image;
}

} // namespace Simulator
