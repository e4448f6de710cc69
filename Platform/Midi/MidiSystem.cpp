#include "Platform/Midi/MidiSystem.h"

#include <dlfcn.h>

#include <atomic>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <future>
#include <mutex>
#include <optional>
#include <string>
#include <system_error>
#include <utility>

#include "Platform/Midi/MidiDiagnosticRelay.h"
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

// The RtMidi backend's library, loaded once, from the folder of this one; never unloaded,
// since ports may outlive their backend.
struct RtMidiModule {
  decltype(&QZMakeRtMidiBackend) make = nullptr;
  std::string failure; // why `make` is null
};

// An address inside this library, for dladdr.
const char kThisLibrary = 0;

const RtMidiModule& LoadRtMidiModule() {
  static const RtMidiModule module = [] {
    RtMidiModule loaded;
    Dl_info self{};
    if (dladdr(&kThisLibrary, &self) == 0 || self.dli_fname == nullptr) {
      loaded.failure = "the MIDI library's own file is unknown";
      return loaded;
    }
    const std::string path = std::filesystem::path(self.dli_fname).replace_filename(QZ_RTMIDI_MODULE).string();
    void* library = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    void* entry = library ? dlsym(library, "QZMakeRtMidiBackend") : nullptr;
    if (entry == nullptr) {
      const char* error = dlerror();
      loaded.failure = error ? error : "no entry QZMakeRtMidiBackend";
      return loaded;
    }
    loaded.make = reinterpret_cast<decltype(&QZMakeRtMidiBackend)>(entry);
    return loaded;
  }();
  return module;
}

std::unique_ptr<MidiSystem> MakeDefault(MidiDiagnosticSink diagnostics) {
  std::vector<MidiSystem::Member> members;
  const RtMidiModule& rtMidi = LoadRtMidiModule();
  if (rtMidi.make) {
    RtMidiBackendOptions options;
    options.diagnostics = std::move(diagnostics);
    members.push_back({std::unique_ptr<MidiBackend>(rtMidi.make(&options)), nullptr});
  } else if (diagnostics) {
    diagnostics("MIDI: RtMidi cannot be loaded (" + rtMidi.failure + "); no ALSA or JACK MIDI devices are listed");
  }
  members.push_back({std::make_unique<VirtualMidiBackend>(), &MidiSystem::IsVirtualKeyboardEnabled});
  return std::make_unique<MidiSystem>(std::move(members));
}

struct BegunSystem {
  std::shared_ptr<MidiDiagnosticRelay> relay;
  std::future<std::unique_ptr<MidiSystem>> system; // its destructor waits for the opening
};

// The system BeginDefault began and no CreateDefault took yet.
class BegunSystemSlot {
public:
  static BegunSystemSlot& Get() {
    static auto* slot = new BegunSystemSlot; // never destroyed: the exit work below uses it
    return *slot;
  }

  void Begin() {
    std::lock_guard lock(mMutex);
    if (mBegun) {
      return;
    }
    auto relay = std::make_shared<MidiDiagnosticRelay>();
    try {
      mBegun = BegunSystem{relay, std::async(std::launch::async, &OpenAhead, relay->Sink())};
    } catch (const std::system_error&) {
      // No thread to spare: CreateDefault makes the system when asked, as without a beginning.
      return;
    }
    std::atexit(&CloseUntaken);
  }
  std::optional<BegunSystem> Take() {
    std::lock_guard lock(mMutex);
    return std::exchange(mBegun, std::nullopt);
  }

private:
  static std::unique_ptr<MidiSystem> OpenAhead(MidiDiagnosticSink diagnostics) {
    // Exit work runs last registered first: registered again once the transports'
    // libraries registered theirs, a system still opening at exit finishes and closes
    // while they are whole.
    LoadRtMidiModule();
    std::atexit(&CloseUntaken);
    return MakeDefault(std::move(diagnostics));
  }
  // At exit (the program may end before it takes the system).
  static void CloseUntaken() {
    if (std::optional<BegunSystem> begun = Get().Take()) {
      begun->system.wait();
    }
  }

  std::mutex mMutex;
  std::optional<BegunSystem> mBegun;
};

} // namespace

MidiSystem::MidiSystem(std::vector<Member> members) : mMembers(std::move(members)) {}

std::unique_ptr<MidiSystem> MidiSystem::CreateDefault(MidiDiagnosticSink diagnostics) {
  std::optional<BegunSystem> begun = BegunSystemSlot::Get().Take();
  if (!begun) {
    return MakeDefault(std::move(diagnostics));
  }
  std::unique_ptr<MidiSystem> system = begun->system.get();
  begun->relay->Attach(std::move(diagnostics));
  return system;
}

void MidiSystem::BeginDefault() { BegunSystemSlot::Get().Begin(); }

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
