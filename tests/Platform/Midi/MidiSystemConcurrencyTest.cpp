#include <gtest/gtest.h>

#include <atomic>
#include <memory>

#include "Platform/Midi/MidiSystem.h"
#include "Platform/Midi/MidiTestSupport.h"
#include "Platform/Midi/Virtual/VirtualMidiBackend.h"

namespace {

using namespace QZ::Platform::Midi;
using QZTest::Bytes;

// Two virtual registries stand for two backends, so the joined list can be checked
// device by device.
class MidiSystemTest : public ::testing::Test {
protected:
  MidiSystemTest() {
    std::vector<MidiSystem::Member> members;
    members.push_back({std::make_unique<VirtualMidiBackend>(mFirst), nullptr});
    members.push_back({std::make_unique<VirtualMidiBackend>(mSecond), [this] { return mSecondActive.load(); }});
    mSystem = std::make_unique<MidiSystem>(std::move(members));
  }

  VirtualMidiRegistry mFirst;
  VirtualMidiRegistry mSecond;
  std::atomic<bool> mSecondActive{true};
  std::unique_ptr<MidiSystem> mSystem;
};

TEST_F(MidiSystemTest, OneListOverTheActiveBackendsOpensEachDeviceByItsPlaceInIt) {
  auto a = mFirst.RegisterInput("A");
  auto x1 = mSecond.RegisterInput("X");
  auto x2 = mSecond.RegisterInput("X");
  auto out = mSecond.RegisterOutput("Y");
  EXPECT_EQ(mSystem->ListDevices(MidiDirection::Input), (std::vector<std::string>{"A", "X", "X"}));
  EXPECT_EQ(mSystem->ListDevices(MidiDirection::Output), (std::vector<std::string>{"Y"}));

  QZTest::CaptureRecorder recorder;
  std::unique_ptr<MidiInput> input;
  ASSERT_EQ(mSystem->OpenInput(2, recorder, input), MidiResult::Ok);
  recorder.LendBuffers(*input);
  ASSERT_EQ(input->Start(), MidiResult::Ok);
  ASSERT_EQ(x1->Send(Bytes{0x90, 0x01, 0x01}), MidiResult::Ok);
  ASSERT_EQ(x2->Send(Bytes{0x90, 0x02, 0x02}), MidiResult::Ok);
  ASSERT_TRUE(recorder.WaitFor(1));
  EXPECT_EQ(recorder.Captures()[0].bytes, (Bytes{0x90, 0x02, 0x02}));

  QZTest::DoneCounter done;
  std::unique_ptr<MidiOutput> output;
  EXPECT_EQ(mSystem->OpenOutput(0, done, output), MidiResult::Ok);
  EXPECT_TRUE(output->IsAlive());
  EXPECT_EQ(mSystem->OpenOutput(1, done, output), MidiResult::NoSuchDevice);
  EXPECT_EQ(output, nullptr);
}

TEST_F(MidiSystemTest, AnInactiveBackendIsNeitherListedNorOpenedButItsOpenPortsLive) {
  auto a = mFirst.RegisterInput("A");
  auto x = mSecond.RegisterInput("X");
  QZTest::CaptureRecorder recorder;
  std::unique_ptr<MidiInput> input;
  ASSERT_EQ(mSystem->OpenInput(1, recorder, input), MidiResult::Ok);

  mSecondActive = false;
  EXPECT_EQ(mSystem->ListDevices(MidiDirection::Input), (std::vector<std::string>{"A"}));
  std::unique_ptr<MidiInput> none;
  EXPECT_EQ(mSystem->OpenInput(1, recorder, none), MidiResult::NoSuchDevice);
  EXPECT_TRUE(input->IsAlive());
}

} // namespace
