// The keyboard as a JACK program, under the JACK server of the test fixture (the ctest
// SimulatorJackKeyboardExchange), reached through the RtMidi backend. Skipped outside
// that fixture.

#include <gtest/gtest.h>

#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>

#include <sstream>
#include <string>
#include <vector>

#include "Platform/Midi/MidiTestSupport.h"
#include "Platform/Midi/RtMidi/RtMidiBackend.h"
#include "Support/TempFolder.h"
#include "Support/WaitUntil.h"

extern char** environ;

namespace {

using namespace QZ::Platform::Midi;
using QZTest::Bytes;

// The program as client "keys", model 49 keys, with the arguments after those; it ends when
// its standard input closes.
class JackKeyboardProcess {
public:
  explicit JackKeyboardProcess(const char* program, std::vector<std::string> more = {}) {
    int toChild[2];
    int fromChild[2];
    if (pipe(toChild) != 0 || pipe(fromChild) != 0) {
      return;
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, toChild[0], STDIN_FILENO);
    posix_spawn_file_actions_adddup2(&actions, fromChild[1], STDOUT_FILENO);
    posix_spawn_file_actions_addclose(&actions, toChild[1]);
    posix_spawn_file_actions_addclose(&actions, fromChild[0]);
    std::vector<const char*> argv = {program, "keys", "1"};
    for (const std::string& argument : more) {
      argv.push_back(argument.c_str());
    }
    argv.push_back(nullptr);
    if (posix_spawn(&mPid, program, &actions, nullptr, const_cast<char**>(argv.data()), environ) != 0) {
      mPid = -1;
    }
    posix_spawn_file_actions_destroy(&actions);
    close(toChild[0]);
    close(fromChild[1]);
    mStdin = toChild[1];
    mStdout = fdopen(fromChild[0], "r");
  }

  // A keyboard that does not end within the wait bound (its JACK client stuck) is killed
  // and fails the test, which would otherwise hang until ctest's time-out.
  ~JackKeyboardProcess() {
    close(mStdin);
    int status = 0;
    pid_t ended = 0;
    if (mPid > 0 && !QZTest::WaitUntil([&] { return (ended = waitpid(mPid, &status, WNOHANG)) != 0; })) {
      ADD_FAILURE() << "the keyboard did not end: killed";
      kill(mPid, SIGKILL);
      ended = waitpid(mPid, &status, 0);
    }
    if (ended == mPid) {
      EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == mExpectedStatus) << "the keyboard's exit status";
    }
    if (mStdout != nullptr) {
      std::fclose(mStdout);
    }
  }

  // Whether the keyboard says "ready" within the wait bound.
  bool WaitForReady() {
    if (mPid <= 0 || mStdout == nullptr) {
      return false;
    }
    pollfd ready{fileno(mStdout), POLLIN, 0};
    const int bound = int(QZTest::kWaitBound.count());
    char line[32] = {};
    return poll(&ready, 1, bound) == 1 && std::fgets(line, sizeof line, mStdout) != nullptr &&
           std::string(line) == "ready\n";
  }

  // The exit status the keyboard must end with (0 unless told).
  void ExpectStatus(int status) { mExpectedStatus = status; }

private:
  pid_t mPid = -1;
  int mExpectedStatus = 0;
  int mStdin = -1;
  FILE* mStdout = nullptr;
};

size_t IndexOf(MidiBackend& backend, MidiDirection direction, const std::string& name) {
  const auto names = backend.ListDevices(direction);
  return static_cast<size_t>(std::find(names.begin(), names.end(), name) - names.begin());
}

// The line of the memory file that starts with prefix, without the prefix; empty while
// there is none.
std::string MemoryLine(const QZTest::TempFolder& folder, const std::string& prefix) {
  std::istringstream in(folder.Read("memory.txt"));
  for (std::string line; std::getline(in, line);) {
    if (line.rfind(prefix, 0) == 0) {
      return line.substr(prefix.size());
    }
  }
  return {};
}

std::string Hex(const Bytes& bytes) {
  std::string text;
  char digits[3];
  for (const uint8_t byte : bytes) {
    std::snprintf(digits, sizeof digits, "%02X", byte);
    text += digits;
  }
  return text;
}

TEST(JackKeyboardTest, APresetSentIsStoredAndComesBackOnRequestAndTheMemoryFileFollows) {
  const char* program = std::getenv("QZ_TEST_JACK_KEYBOARD");
  if (program == nullptr) {
    GTEST_SKIP() << "needs the JACK server fixture: run the ctest SimulatorJackKeyboardExchange";
  }
  QZTest::TempFolder folder;
  JackKeyboardProcess keyboard(program, {"--memory-file", folder / "memory.txt"});
  ASSERT_TRUE(keyboard.WaitForReady());
  const std::string factory = MemoryLine(folder, "preset 2 ");
  EXPECT_EQ(factory.size(), 282u) << "written before ready";
  EXPECT_EQ(MemoryLine(folder, "globals "), "0100000000");

  RtMidiBackend backend;
  QZTest::CaptureRecorder recorder;
  QZTest::DoneCounter done;
  std::unique_ptr<MidiInput> input;
  std::unique_ptr<MidiOutput> output;
  ASSERT_EQ(backend.OpenInput(IndexOf(backend, MidiDirection::Input, "keys:MIDIIN3 (QUORIN 49 ZTR)"), recorder, input),
            MidiResult::Ok);
  recorder.LendBuffers(*input);
  ASSERT_EQ(input->Start(), MidiResult::Ok);
  ASSERT_EQ(backend.OpenOutput(IndexOf(backend, MidiDirection::Output, "keys:MIDIOUT3 (QUORIN 49 ZTR)"), done, output),
            MidiResult::Ok);

  Bytes preset{0xF0, 0x00, 0x7F, 0x7D, 0x7F, 0x00, 0x02, 0x61, 0x01, 0x11, 0x02};
  for (uint8_t i = 0; i < 141; ++i) {
    preset.push_back(static_cast<uint8_t>((i * 5 + 3) & 0x7F));
  }
  preset.push_back(0xF7);
  ASSERT_EQ(output->SendLong(preset), MidiResult::Ok);
  ASSERT_EQ(output->SendLong(Bytes{0xF0, 0x00, 0x7F, 0x7D, 0x7F, 0x00, 0x02, 0x62, 0x00, 0x04, 0x02, 0xF7}),
            MidiResult::Ok);
  ASSERT_TRUE(recorder.WaitFor(1));
  EXPECT_EQ(recorder.Captures()[0].bytes, preset);
  // Stored before the reply that showed it: the file has it already.
  EXPECT_EQ(MemoryLine(folder, "preset 2 "), Hex(Bytes(preset.begin() + 11, preset.end() - 1)));
  EXPECT_EQ(MemoryLine(folder, "preset 3 "), factory);
}

TEST(JackKeyboardTest, AMemoryFileThatCannotBeWrittenEndsTheKeyboardBeforeReady) {
  const char* program = std::getenv("QZ_TEST_JACK_KEYBOARD");
  if (program == nullptr) {
    GTEST_SKIP() << "needs the JACK server fixture: run the ctest SimulatorJackKeyboardExchange";
  }
  QZTest::TempFolder folder;
  JackKeyboardProcess keyboard(program, {"--memory-file", folder / "missing/memory.txt"});
  EXPECT_FALSE(keyboard.WaitForReady());
  keyboard.ExpectStatus(1);
}

} // namespace
