// End to end over a real transport: the JACK server of the test fixture (the ctest
// EngineMidiManagerJackRoundTrip), the virtual keyboard as a program of its own, and the
// editor's engine and MIDI manager. Skipped outside that fixture.

#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <string>

#include "Engine/PresetEditorCommon/MidiManagerTestSupport.h"
#include "Platform/Midi/MidiSystem.h"

namespace {

using QZ::ParamDescriptor;
using QZ::RCPtr;
using QZTest::BufferOf;
using QZTest::Message;

// The keyboard program, started with pipes on its standard input and output; closing
// its input ends it.
class KeyboardProcess {
public:
  KeyboardProcess(const char* program, const char* client, const char* model) {
    int toChild[2];
    int fromChild[2];
    if (pipe(toChild) != 0 || pipe(fromChild) != 0) {
      return;
    }
    mPid = fork();
    if (mPid == 0) {
      dup2(toChild[0], STDIN_FILENO);
      dup2(fromChild[1], STDOUT_FILENO);
      close(toChild[1]);
      close(fromChild[0]);
      execl(program, program, client, model, static_cast<char*>(nullptr));
      _exit(127);
    }
    close(toChild[0]);
    close(fromChild[1]);
    mInput = toChild[1];
    mOutput = fromChild[0];
  }
  ~KeyboardProcess() {
    if (mPid <= 0) {
      return;
    }
    close(mInput);
    close(mOutput);
    for (int i = 0; i < 200; ++i) {
      if (waitpid(mPid, nullptr, WNOHANG) == mPid) {
        return;
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    ADD_FAILURE() << "the keyboard did not end: killing it";
    kill(mPid, SIGKILL);
    waitpid(mPid, nullptr, 0);
  }

  // Whether the program printed "ready" within the time.
  bool WaitForReady(std::chrono::milliseconds timeout) {
    std::string seen;
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (seen.find("ready") == std::string::npos) {
      const auto left =
          std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
      pollfd wait{mOutput, POLLIN, 0};
      char text[64];
      if (left.count() <= 0 || poll(&wait, 1, int(left.count())) <= 0) {
        return false;
      }
      const ssize_t count = read(mOutput, text, sizeof text);
      if (count <= 0) {
        return false;
      }
      seen.append(text, size_t(count));
    }
    return true;
  }

private:
  pid_t mPid = -1;
  int mInput = -1;
  int mOutput = -1;
};

TEST(MidiManagerJackTest, APresetSentToSlotTwoComesBackAfterTheEngineWasReset) {
  const char* program = std::getenv("QZ_TEST_JACK_KEYBOARD");
  if (program == nullptr) {
    GTEST_SKIP() << "needs the JACK server fixture: run the ctest EngineMidiManagerJackRoundTrip";
  }
  QZ::Platform::MidiSystem::SetVirtualKeyboardEnabled(false);
  KeyboardProcess keyboard(program, "qzkeys", "1");
  ASSERT_TRUE(keyboard.WaitForReady(std::chrono::seconds(30)));

  QZTest::FakeApplicationContext application;
  const RCPtr<QZ::LNotificationCenter> centre =
      QZ::LNotificationCenter::CreateNotificationCenter(QZ::WString(u"application"));
  application.SetApplicationNotificationCenter(centre.Get());
  application.SetDeviceModel(QZ::kDeviceModel49Keys);
  const RCPtr<LRootModuleEngine> engine = QZ::LPresetEditorAppEngine::Create();
  engine->Initialize(0);
  application.SetRootModuleEngine(engine.Get());
  const RCPtr<QZ::LMidiManager> midi = QZ::LMidiManager::Create(); // the product's times
  // The program's ports are listed once its client is up; nothing signals that here.
  ASSERT_TRUE(QZTest::Eventually([&] { return midi->OpenPorts() != QZ::QZ_E_FAIL; }));
  application.SetCurrentEditorPage(0);
  midi->SetParamRange({0, 140});

  const std::vector<std::pair<uint32_t, Message>> edits = {
      {5, {100}}, {30, {77}}, {95, {60}}, {122, {1, 45}}, {139, {6}}};
  for (const auto& [id, bytes] : edits) {
    ASSERT_EQ(engine->SetParamValue(ParamDescriptor(id), BufferOf(bytes)), 0);
  }
  ASSERT_EQ(midi->SendPresetToMidiDevice(2), 153);
  for (const QZ::ParameterLayout::ParameterEntry& entry : QZ::ParameterLayout::kParameterTable) {
    const auto bytes = entry.defaultValue.Evaluate(entry.instance, QZ::kDeviceModel49Keys);
    engine->SetParamValue(ParamDescriptor(entry.id),
                          BufferOf(Message(bytes.begin(), bytes.begin() + entry.defaultValue.width)));
  }
  const auto valueOf = [&](uint32_t id) {
    QZ::Variant value;
    engine->GetParamValue(ParamDescriptor(id), value);
    return QZTest::BytesOf(value);
  };
  for (const auto& [id, bytes] : edits) {
    ASSERT_NE(valueOf(id), bytes) << "reset";
  }

  ASSERT_EQ(midi->GetPresetFromMidiDevice(2), 0);
  for (const auto& [id, bytes] : edits) {
    EXPECT_EQ(valueOf(id), bytes) << "parameter " << id;
  }
  centre->ProcessNotifications(false);
  QZ::Platform::MidiSystem::SetVirtualKeyboardEnabled(std::nullopt);
}

} // namespace
