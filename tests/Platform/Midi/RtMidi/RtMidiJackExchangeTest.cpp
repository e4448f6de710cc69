// The RtMidi backend over a real transport: a JACK server started by the test fixture
// (the ctest PlatformMidiJackExchange) and a peer program that plays the keyboard's
// third port pair and echoes what it receives. Skipped outside that fixture.

#include <gtest/gtest.h>

#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <mutex>
#include <thread>

#include "Platform/Midi/MidiSystem.h"
#include "Platform/Midi/MidiTestSupport.h"
#include "Platform/Midi/MidiWireScenarios.h"
#include "Platform/Midi/RtMidi/JackTransport.h"
#include "Platform/Midi/RtMidi/RtMidiBackend.h"
#include "Platform/Midi/Virtual/VirtualMidiRegistry.h"

extern char** environ;

namespace {

using namespace QZ::Platform::Midi;
using QZTest::Bytes;
using QZTest::Short;

constexpr const char* kCaptureName = "MIDIIN3 (QUORIN 49 ZTR)";
constexpr const char* kRenderName = "MIDIOUT3 (QUORIN 49 ZTR)";

// The peer program, running until it is stopped (its standard input closes).
class JackPeer {
public:
  explicit JackPeer(const char* program) {
    int fds[2];
    if (pipe(fds) != 0) {
      ADD_FAILURE() << "no pipe for the peer";
      return;
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, fds[0], STDIN_FILENO);
    posix_spawn_file_actions_addclose(&actions, fds[1]);
    const char* argv[] = {program, "sim", kCaptureName, kRenderName, nullptr};
    if (posix_spawn(&mPid, program, &actions, nullptr, const_cast<char**>(argv), environ) != 0) {
      ADD_FAILURE() << "the peer " << program << " cannot be started";
      mPid = -1;
    }
    posix_spawn_file_actions_destroy(&actions);
    close(fds[0]);
    mStdin = fds[1];
  }
  ~JackPeer() { Stop(); }

  void Stop() {
    if (mStdin >= 0) {
      close(mStdin);
      mStdin = -1;
    }
    if (mPid > 0) {
      int status = 0;
      waitpid(mPid, &status, 0);
      EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "the peer failed";
      mPid = -1;
    }
  }

private:
  pid_t mPid = -1;
  int mStdin = -1;
};

// The index of the one device whose name ends with `suffix`, or -1.
int FindBySuffix(const std::vector<std::string>& names, std::string_view suffix) {
  int found = -1;
  for (size_t i = 0; i < names.size(); ++i) {
    if (std::string_view(names[i]).ends_with(suffix)) {
      if (found >= 0) {
        return -1;
      }
      found = static_cast<int>(i);
    }
  }
  return found;
}

class RtMidiJackExchangeTest : public ::testing::Test {
protected:
  void SetUp() override {
    mPeerProgram = std::getenv("QZ_TEST_JACK_PEER");
    if (mPeerProgram == nullptr) {
      GTEST_SKIP() << "needs the JACK server fixture: run the ctest PlatformMidiJackExchange";
    }
    RtMidiBackendOptions options;
    options.diagnostics = [this](const std::string& text) {
      std::lock_guard lock(mMutex);
      mDiagnostics.push_back(text);
    };
    mBackend = std::make_unique<RtMidiBackend>(options);
    std::lock_guard lock(mMutex);
    for (const std::string& line : mDiagnostics) {
      ASSERT_EQ(line.find("JACK"), std::string::npos) << line;
    }
  }

  bool PeerListed() {
    return FindBySuffix(mBackend->ListDevices(MidiDirection::Input), kCaptureName) >= 0 &&
           FindBySuffix(mBackend->ListDevices(MidiDirection::Output), kRenderName) >= 0;
  }

  void OpenPorts(QZTest::CaptureRecorder& recorder, QZTest::DoneCounter& done, std::unique_ptr<MidiInput>& input,
                 std::unique_ptr<MidiOutput>& output) {
    ASSERT_TRUE(QZTest::WaitUntil([&] { return PeerListed(); })) << "the peer's ports did not appear";
    const auto inputs = mBackend->ListDevices(MidiDirection::Input);
    const int inputIndex = FindBySuffix(inputs, kCaptureName);
    EXPECT_EQ(inputs[static_cast<size_t>(inputIndex)], std::string("sim:") + kCaptureName);
    ASSERT_EQ(mBackend->OpenInput(static_cast<size_t>(inputIndex), recorder, input), MidiResult::Ok);
    recorder.LendBuffers(*input);
    ASSERT_EQ(input->Start(), MidiResult::Ok);
    const int outputIndex = FindBySuffix(mBackend->ListDevices(MidiDirection::Output), kRenderName);
    ASSERT_EQ(mBackend->OpenOutput(static_cast<size_t>(outputIndex), done, output), MidiResult::Ok);
  }

  const char* mPeerProgram = nullptr;
  std::mutex mMutex;
  std::vector<std::string> mDiagnostics;
  std::unique_ptr<RtMidiBackend> mBackend;
};

TEST_F(RtMidiJackExchangeTest, ShortMessagesAndAPresetSizedSysExGoBothWays) {
  JackPeer peer(mPeerProgram);
  QZTest::CaptureRecorder recorder;
  QZTest::DoneCounter done;
  std::unique_ptr<MidiInput> input;
  std::unique_ptr<MidiOutput> output;
  OpenPorts(recorder, done, input, output);
  ASSERT_TRUE(input && output);
  EXPECT_TRUE(input->IsAlive());
  EXPECT_TRUE(output->IsAlive());

  const Bytes preset = QZTest::SysEx(153);
  EXPECT_EQ(output->SendShort(Short({0x90, 0x3C, 0x40})), MidiResult::Ok);
  EXPECT_EQ(output->SendShort(Short({0xC0, 0x05})), MidiResult::Ok);
  EXPECT_EQ(output->SendLong(preset), MidiResult::Ok);
  EXPECT_EQ(done.Count(), 1) << "RtMidi takes the message before SendLong returns";
  EXPECT_EQ(output->SendShort(Short({0xF8})), MidiResult::Ok);
  EXPECT_EQ(output->SendLong(Bytes(JackTransport::kMaxMessageSize + 1, 0x01)), MidiResult::MessageTooLong);

  ASSERT_TRUE(recorder.WaitFor(4));
  const auto captures = recorder.Captures();
  ASSERT_EQ(captures.size(), 4u);
  EXPECT_EQ(captures[0].bytes, (Bytes{0x90, 0x3C, 0x40}));
  EXPECT_EQ(captures[1].bytes, (Bytes{0xC0, 0x05}));
  EXPECT_FALSE(captures[2].isShort);
  EXPECT_EQ(captures[2].bytes, preset);
  EXPECT_EQ(captures[3].bytes, (Bytes{0xF8}));
  EXPECT_EQ(done.Count(), 1);
}

TEST_F(RtMidiJackExchangeTest, APeerThatGoesAwayKillsThePortsAndAReopenAfterItReturnsWorks) {
  auto peer = std::make_unique<JackPeer>(mPeerProgram);
  QZTest::CaptureRecorder recorder;
  QZTest::DoneCounter done;
  std::unique_ptr<MidiInput> input;
  std::unique_ptr<MidiOutput> output;
  OpenPorts(recorder, done, input, output);
  ASSERT_TRUE(input && output);

  peer->Stop();
  ASSERT_TRUE(QZTest::WaitUntil([&] { return !input->IsAlive() && !output->IsAlive(); }));
  EXPECT_FALSE(PeerListed());
  EXPECT_EQ(output->SendShort(Short({0x90, 0x3C, 0x40})), MidiResult::DeviceGone);
  EXPECT_EQ(output->SendLong(QZTest::SysEx(10)), MidiResult::DeviceGone);

  peer = std::make_unique<JackPeer>(mPeerProgram);
  ASSERT_TRUE(QZTest::WaitUntil([&] { return PeerListed(); }));
  EXPECT_FALSE(input->IsAlive()) << "the old ports are not connected to the new peer";
  EXPECT_FALSE(output->IsAlive());

  QZTest::CaptureRecorder again;
  std::unique_ptr<MidiInput> reopenedInput;
  std::unique_ptr<MidiOutput> reopenedOutput;
  OpenPorts(again, done, reopenedInput, reopenedOutput);
  ASSERT_TRUE(reopenedInput && reopenedOutput);
  EXPECT_EQ(reopenedOutput->SendLong(QZTest::SysEx(153, 9)), MidiResult::Ok);
  ASSERT_TRUE(again.WaitFor(1));
  EXPECT_EQ(again.Captures()[0].bytes, QZTest::SysEx(153, 9));
}

// RtMidi joins JACK events its own way (everything after an unfinished system-exclusive
// message until an event ends with F7); the capture must still read what the virtual
// backend reads. Each event goes out as one JACK event and the peer echoes it as one.
TEST_F(RtMidiJackExchangeTest, RepliesSplitCutOrCarryingRealTimeBytesArriveAsOverTheVirtualBackend) {
  JackPeer peer(mPeerProgram);
  QZTest::CaptureRecorder recorder;
  QZTest::DoneCounter done;
  std::unique_ptr<MidiInput> input;
  std::unique_ptr<MidiOutput> output;
  OpenPorts(recorder, done, input, output);
  ASSERT_TRUE(input && output);

  QZTest::VirtualWire wire;
  for (const QZTest::WireScenario& scenario : QZTest::ReplyWireScenarios()) {
    for (const Bytes& event : scenario.events) {
      ASSERT_EQ(output->SendLong(event), MidiResult::Ok) << scenario.name;
    }
    ASSERT_EQ(output->SendShort(Short({QZTest::kWireMarker[0]})), MidiResult::Ok);
    const std::vector<QZTest::Delivered> overJack = QZTest::DeliveredBefore(recorder);
    EXPECT_EQ(overJack, wire.Play(scenario.events)) << scenario.name;
    EXPECT_EQ(overJack, scenario.expected) << scenario.name;
  }
}

TEST_F(RtMidiJackExchangeTest, APeerComingGoingAndConnectedIsToldToTheWatch) {
  std::atomic<int> told{0};
  auto watch = mBackend->WatchDevices([&] { ++told; });
  ASSERT_TRUE(watch) << "JACK tells its port registrations";
  auto peer = std::make_unique<JackPeer>(mPeerProgram);
  ASSERT_TRUE(QZTest::WaitUntil([&] { return PeerListed(); }));
  EXPECT_TRUE(QZTest::WaitUntil([&] { return told > 0; })) << "the peer's ports came";
  QZTest::CaptureRecorder recorder;
  QZTest::DoneCounter done;
  std::unique_ptr<MidiInput> input;
  std::unique_ptr<MidiOutput> output;
  int before = told;
  OpenPorts(recorder, done, input, output);
  EXPECT_TRUE(QZTest::WaitUntil([&] { return told > before; })) << "our ports and connections";
  before = told;
  peer->Stop();
  EXPECT_TRUE(QZTest::WaitUntil([&] { return !input->IsAlive() && told > before; })) << "the peer went";
  watch.reset();
  before = told;
  input.reset();
  output.reset();
  EXPECT_EQ(told, before) << "nothing after the watch ended";
}

TEST_F(RtMidiJackExchangeTest, TheDefaultSystemListsJackDevicesBeforeTheVirtualOnes) {
  JackPeer peer(mPeerProgram);
  auto keyboard = VirtualMidiRegistry::Shared().RegisterInput(kCaptureName);
  MidiSystem::SetVirtualKeyboardEnabled(true);
  auto system = MidiSystem::CreateDefault();
  ASSERT_TRUE(QZTest::WaitUntil([&] {
    return FindBySuffix(system->ListDevices(MidiDirection::Input), "sim:" + std::string(kCaptureName)) >= 0;
  }));
  const auto names = system->ListDevices(MidiDirection::Input);
  ASSERT_GE(names.size(), 2u);
  EXPECT_EQ(names[names.size() - 2], std::string("sim:") + kCaptureName);
  EXPECT_EQ(names.back(), kCaptureName);
  MidiSystem::SetVirtualKeyboardEnabled(std::nullopt);
}

} // namespace
