#pragma once
// The facade the port layer talks to: one device list per direction over the active
// backends, each backend's devices after those of the backends before it.
//
// The default system lists the RtMidi devices (ALSA sequencer, JACK) and, while the
// virtual keyboard is enabled, the devices of the shared virtual registry after them.
// The virtual keyboard is enabled by QZ_VIRTUAL_KEYBOARD=1 in the environment, or by
// SetVirtualKeyboardEnabled, which overrides the environment (tests use it).

#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "Platform/Midi/MidiBackend.h"

namespace QZ::Platform::Midi {

class MidiSystem final : public MidiBackend {
public:
  struct Member {
    std::unique_ptr<MidiBackend> backend;
    // Whether the backend's devices are listed and can be opened now; null: always.
    std::function<bool()> isActive;
  };

  explicit MidiSystem(std::vector<Member> members);

  // RtMidi, then the shared virtual registry while the virtual keyboard is enabled.
  // `diagnostics` hears once why a transport cannot be used, and transport errors.
  // Takes the system BeginDefault began, when there is one: waits for its opening, and
  // `diagnostics` first hears, in order, what it reported so far.
  static std::unique_ptr<MidiSystem> CreateDefault(MidiDiagnosticSink diagnostics = {});
  // Begins making the default system on a thread of its own, for the next CreateDefault
  // to take: the transports' clients (JACK's takes milliseconds, mostly waiting on its
  // server) open while the program does other work. Does nothing while a begun system
  // waits to be taken. Any thread; one never taken is closed at exit.
  static void BeginDefault();

  // Any thread. Read at every listing and opening, so a switch takes effect at once.
  static bool IsVirtualKeyboardEnabled();
  // nullopt: the environment decides again.
  static void SetVirtualKeyboardEnabled(std::optional<bool> enabled);

  std::vector<std::string> ListDevices(MidiDirection direction) override;
  MidiResult OpenInput(size_t index, MidiInputHandler& handler, std::unique_ptr<MidiInput>& input) override;
  MidiResult OpenOutput(size_t index, MidiOutputHandler& handler, std::unique_ptr<MidiOutput>& output) override;
  // Null unless every member can be watched; tells the members' changes and every
  // SetVirtualKeyboardEnabled (not a change of the environment).
  std::unique_ptr<MidiDeviceWatch> WatchDevices(MidiDeviceChangeHandler onChange) override;

private:
  // The active backend that holds the device at `index` of the joined list, and the
  // device's index in that backend's own list; null when past the end.
  MidiBackend* Locate(MidiDirection direction, size_t& index);

  const std::vector<Member> mMembers;
};

} // namespace QZ::Platform::Midi
