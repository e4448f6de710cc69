// Retrieving the keyboard's RAM preset through the MIDI manager (request out, 153-byte
// reply back, 140 values written into the engine), against RtMidi alone echoing the same
// 153 bytes there and back over the same JACK server: the transport's limit.
//
// The keyboard is the virtual keyboard's JACK program. The server is the one named by
// JACK_DEFAULT_SERVER, or a dummy-driver server this program starts and stops.

#include <RtMidi.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "DeviceControl/PresetEditorAppEngine.h"
#include "Engine/PresetEditorCommon/MidiManager.h"
#include "QZFramework/Notification/NotificationCenter.h"
#include "QZFramework/Services/ApplicationContext.h"
#include "Support/RatioReporter.h"

namespace {

constexpr size_t kPresetBytes = 153;
constexpr auto kStartDeadline = std::chrono::seconds(30);
// Both sides ask again after this long without an answer: JACK drops an event now and
// then on a loaded machine, and a product-length wait would swamp the figures.
constexpr uint32_t kRetryMs = 20;

// Seconds per iteration of the raw echo, for the manager's ratio counter.
double gRawSecondsPerRoundTrip = 0;

// A child process started with fork and exec, ended by its id.
class Child {
public:
  explicit Child(std::vector<std::string> arguments, bool pipeInput = false) {
    int input[2] = {-1, -1};
    if (pipeInput && pipe(input) != 0) {
      return;
    }
    mPid = fork();
    if (mPid == 0) {
      if (pipeInput) {
        dup2(input[0], STDIN_FILENO);
        close(input[1]);
      }
      std::vector<char*> argv;
      for (std::string& argument : arguments) {
        argv.push_back(argument.data());
      }
      argv.push_back(nullptr);
      execvp(argv[0], argv.data());
      _exit(127);
    }
    if (pipeInput) {
      close(input[0]);
      mInput = input[1];
    }
  }
  ~Child() {
    if (mPid <= 0) {
      return;
    }
    if (mInput >= 0) {
      close(mInput); // the keyboard program ends when its input closes
    } else {
      kill(mPid, SIGTERM);
    }
    waitpid(mPid, nullptr, 0);
  }
  bool Started() const { return mPid > 0; }

private:
  pid_t mPid = -1;
  int mInput = -1;
};

bool Eventually(const std::function<bool()>& done) {
  const auto deadline = std::chrono::steady_clock::now() + kStartDeadline;
  while (!done()) {
    if (std::chrono::steady_clock::now() > deadline) {
      return false;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  return true;
}

// The JACK server the benchmarks share.
class JackServer {
public:
  JackServer() {
    if (const char* named = std::getenv("JACK_DEFAULT_SERVER")) {
      mName = named;
      return;
    }
    mName = "qz-bench-" + std::to_string(getpid());
    mServer = std::make_unique<Child>(
        std::vector<std::string>{"jackd", "-n", mName, "--no-realtime", "-d", "dummy", "-r", "48000", "-p", "64"});
    setenv("JACK_DEFAULT_SERVER", mName.c_str(), 1);
    const std::string probe = "jack_lsp -s '" + mName + "' >/dev/null 2>&1";
    mReady = Eventually([&] { return std::system(probe.c_str()) == 0; });
  }
  bool Ready() const { return mReady; }

private:
  std::string mName;
  std::unique_ptr<Child> mServer;
  bool mReady = true;
};

JackServer& Server() {
  static JackServer server;
  return server;
}

// The index of the first port whose name contains part, or -1.
template <class Port>
int FindPort(Port& port, const std::string& part) {
  for (unsigned i = 0; i < port.getPortCount(); ++i) {
    if (port.getPortName(i).find(part) != std::string::npos) {
      return int(i);
    }
  }
  return -1;
}

void BM_RawRtMidiEcho153(benchmark::State& state) {
  if (!Server().Ready()) {
    state.SkipWithError("no JACK server");
    return;
  }
  // The echo: what reaches its input goes back out of its output, from RtMidi's callback.
  RtMidiOut echoOut(RtMidi::UNIX_JACK, "qzechoout");
  RtMidiIn echoIn(RtMidi::UNIX_JACK, "qzechoin");
  echoOut.openVirtualPort("out");
  echoIn.ignoreTypes(false, true, true);
  echoIn.setCallback([](double, std::vector<unsigned char>* message,
                        void* out) { static_cast<RtMidiOut*>(out)->sendMessage(message); },
                     &echoOut);
  echoIn.openVirtualPort("in");

  std::mutex mutex;
  std::condition_variable echoed;
  size_t arrived = 0;
  struct Capture {
    std::mutex* mutex;
    std::condition_variable* echoed;
    size_t* arrived;
  } capture{&mutex, &echoed, &arrived};
  RtMidiOut driverOut(RtMidi::UNIX_JACK, "qzdriver");
  RtMidiIn driverIn(RtMidi::UNIX_JACK, "qzdriver");
  driverIn.ignoreTypes(false, true, true);
  driverIn.setCallback(
      [](double, std::vector<unsigned char>*, void* data) {
        auto* counted = static_cast<Capture*>(data);
        std::lock_guard hold(*counted->mutex);
        ++*counted->arrived;
        counted->echoed->notify_one();
      },
      &capture);
  const int toEcho = FindPort(driverOut, "qzechoin:in");
  const int fromEcho = FindPort(driverIn, "qzechoout:out");
  if (toEcho < 0 || fromEcho < 0) {
    state.SkipWithError("the echo's ports are not listed");
    return;
  }
  driverOut.openPort(unsigned(toEcho));
  driverIn.openPort(unsigned(fromEcho));

  std::vector<unsigned char> preset(kPresetBytes, 0x11);
  preset.front() = 0xF0;
  preset.back() = 0xF7;
  const auto start = std::chrono::steady_clock::now();
  for (auto _ : state) {
    std::unique_lock hold(mutex);
    const size_t target = arrived + 1;
    hold.unlock();
    driverOut.sendMessage(&preset);
    hold.lock();
    if (!echoed.wait_for(hold, std::chrono::milliseconds(kRetryMs), [&] { return arrived >= target; })) {
      hold.unlock();
      driverOut.sendMessage(&preset);
      hold.lock();
      if (!echoed.wait_for(hold, std::chrono::seconds(5), [&] { return arrived >= target; })) {
        state.SkipWithError("the echo did not come back");
        break;
      }
    }
  }
  gRawSecondsPerRoundTrip =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count() / double(state.iterations());
}
BENCHMARK(BM_RawRtMidiEcho153)->UseRealTime();

// The editor's application, as much of it as the manager and the engine use.
class BenchApplication final : public QZ::IApplicationContext {
public:
  BenchApplication() { QZ::InstallApplicationContext(this); }
  ~BenchApplication() { QZ::UninstallApplicationContext(this); }
  int32_t GetCurrentEditorPage() const override { return 0; }
  LRootModuleEngine* GetRootModuleEngine() const override { return engine.Get(); }
  QZ::LNotificationCenter* GetApplicationNotificationCenter() const override { return centre.Get(); }
  uint32_t GetMilliseconds() const override { return 0; }
  QZ::IIniFileManager* GetIniFileManager() const override { return nullptr; } // the 49-key model
  uint32_t OpenSettingsFile(int32_t) override { return 0; }

  QZ::RCPtr<QZ::LNotificationCenter> centre =
      QZ::LNotificationCenter::CreateNotificationCenter(QZ::WString(u"application"));
  QZ::RCPtr<LRootModuleEngine> engine = QZ::LPresetEditorAppEngine::Create();
};

void BM_ManagerPresetRoundTrip(benchmark::State& state) {
  if (!Server().Ready()) {
    state.SkipWithError("no JACK server");
    return;
  }
  Child keyboard({QZ_JACK_KEYBOARD, "qzkeys", "1"}, true);
  BenchApplication application;
  application.engine->Initialize(0);
  QZ::MidiManagerOptions options;
  options.replyTimeoutMs = kRetryMs;
  const QZ::RCPtr<QZ::LMidiManager> midi = QZ::LMidiManager::Create(options);
  if (!keyboard.Started() || !Eventually([&] { return midi->OpenPorts() != QZ::QZ_E_FAIL; })) {
    state.SkipWithError("the keyboard's ports did not open");
    return;
  }
  midi->SetParamRange({0, 140});
  const auto start = std::chrono::steady_clock::now();
  for (auto _ : state) {
    if (midi->GetPresetFromMidiDevice(0) != 0) {
      state.SkipWithError("the keyboard did not answer");
      break;
    }
    application.centre->ProcessNotifications(false);
  }
  const double seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count() / double(state.iterations());
  if (gRawSecondsPerRoundTrip > 0) {
    state.counters["vs_raw_echo"] = seconds / gRawSecondsPerRoundTrip;
  }
}
BENCHMARK(BM_ManagerPresetRoundTrip)->UseRealTime();

} // namespace

int main(int argc, char** argv) {
  return QZBench::RunWithRatios(argc, argv, {{"BM_ManagerPresetRoundTrip/real_time", "BM_RawRtMidiEcho153/real_time"}});
}
