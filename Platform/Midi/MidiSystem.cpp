#include "Platform/Midi/MidiSystem.h"

#include <atomic>
#include <cstdlib>
#include <cstring>
#include <utility>

#include "Platform/Midi/RtMidi/RtMidiBackend.h"
#include "Platform/Midi/Virtual/VirtualMidiBackend.h"

namespace QZ::Platform::Midi {

namespace {

// -1: no override, the environment decides; 0 or 1: set by SetVirtualKeyboardEnabled.
std::atomic<int> gVirtualKeyboardOverride{-1};

// Told of every switch of the override: it changes what the systems list.
MidiDeviceSignal& SwitchSignal() {
  static auto* signal = new MidiDeviceSignal; // never destroyed: systems may outlive statics
  return *signal;
}

} // namespace

MidiSystem::MidiSystem(std::vector<Member> members) : mMembers(std::move(members)) {}

std::unique_ptr<MidiSystem> MidiSystem::CreateDefault(MidiDiagnosticSink diagnostics) {
  RtMidiBackendOptions options;
  options.diagnostics = std::move(diagnostics);
  std::vector<Member> members;
  members.push_back({std::make_unique<RtMidiBackend>(std::move(options)), nullptr});
  members.push_back({std::make_unique<VirtualMidiBackend>(), &MidiSystem::IsVirtualKeyboardEnabled});
  return std::make_unique<MidiSystem>(std::move(members));
}

bool MidiSystem::IsVirtualKeyboardEnabled() {
  const int enabled = gVirtualKeyboardOverride.load();
  if (enabled >= 0) {
    return enabled == 1;
  }
  const char* value = std::getenv("QZ_VIRTUAL_KEYBOARD");
  return value != nullptr && std::strcmp(value, "1") == 0;
}

void MidiSystem::SetVirtualKeyboardEnabled(std::optional<bool> enabled) {
  gVirtualKeyboardOverride = enabled ? static_cast<int>(*enabled) : -1;
  SwitchSignal().Notify();
}

std::vector<std::string> MidiSystem::ListDevices(MidiDirection direction) {
  std::vector<std::string> names;
  for (const Member& member : mMembers) {
    if (!member.isActive || member.isActive()) {
      std::vector<std::string> own = member.backend->ListDevices(direction);
      names.insert(names.end(), std::make_move_iterator(own.begin()), std::make_move_iterator(own.end()));
    }
  }
  return names;
}

MidiResult MidiSystem::OpenInput(size_t index, MidiInputHandler& handler, std::unique_ptr<MidiInput>& input) {
  input.reset();
  MidiBackend* backend = Locate(MidiDirection::Input, index);
  return backend ? backend->OpenInput(index, handler, input) : MidiResult::NoSuchDevice;
}

MidiResult MidiSystem::OpenOutput(size_t index, MidiOutputHandler& handler, std::unique_ptr<MidiOutput>& output) {
  output.reset();
  MidiBackend* backend = Locate(MidiDirection::Output, index);
  return backend ? backend->OpenOutput(index, handler, output) : MidiResult::NoSuchDevice;
}

std::unique_ptr<MidiDeviceWatch> MidiSystem::WatchDevices(MidiDeviceChangeHandler onChange) {
  auto watches = MidiDeviceWatchSet::OfEach(
      mMembers, [&](const Member& member) { return member.backend->WatchDevices(onChange); });
  if (watches) {
    watches->Add(SwitchSignal().Watch(std::move(onChange)));
  }
  return watches;
}

MidiBackend* MidiSystem::Locate(MidiDirection direction, size_t& index) {
  for (const Member& member : mMembers) {
    if (member.isActive && !member.isActive()) {
      continue;
    }
    const size_t count = member.backend->ListDevices(direction).size();
    if (index < count) {
      return member.backend.get();
    }
    index -= count;
  }
  return nullptr;
}

} // namespace QZ::Platform::Midi
