// The device status watcher over virtual devices, posting to a fake application's
// centre.

#include <gtest/gtest.h>

#include "QZFramework/Services/Midi/MidiDeviceStatusChecker.h"
#include "QZFramework/Services/Midi/MidiPortTestSupport.h"
#include "Support/FakeApplicationContext.h"

namespace {

using namespace QZ;

// "<notification> <device> <status>" of each change the centre delivers.
class StatusRecorder final : public LNotificationClient {
public:
  QZResult ReceiveNotification(const RCPtr<LNotificationDistributor>&,
                               const RCPtr<LNotification>& notification) override {
    const auto change = notification->GetParameterAs<LMidiDeviceConnectionStatusChangedNotification>();
    changes.push_back(std::string(WString(notification->GetID()).ToUTF8().GetBuffer()) + " " +
                      change->GetDeviceName().ToUTF8().GetBuffer() + " " + std::to_string(change->GetStatus()));
    return 0;
  }
  std::vector<std::string> changes;
};

class MidiDeviceStatusCheckerTest : public QZTest::MidiPortTest {
protected:
  MidiDeviceStatusCheckerTest() {
    mApplication.SetApplicationNotificationCenter(mCentre.Get());
    mRecorder->RegisterNotification(mCentre, u"NID_MIDI_INPUT_DEVICE_CONNECTION_STATUS_CHANGED");
    mRecorder->RegisterNotification(mCentre, u"NID_MIDI_OUTPUT_DEVICE_CONNECTION_STATUS_CHANGED");
  }

  // What a drain of the centre delivers.
  std::vector<std::string> Drain() {
    mCentre->ProcessNotifications(false);
    return std::exchange(mRecorder->changes, {});
  }

  QZTest::FakeApplicationContext mApplication;
  RCPtr<LNotificationCenter> mCentre = LNotificationCenter::CreateNotificationCenter(WString(u"application"));
  RCPtr<StatusRecorder> mRecorder{new StatusRecorder};
};

TEST_F(MidiDeviceStatusCheckerTest, UnpluggingAndRepluggingAListedDevicePostsOneChangeEach) {
  auto input = mRegistry.RegisterInput("MIDIIN3 (QUORIN 49 ZTR)");
  auto output = mRegistry.RegisterOutput("MIDIOUT3 (QUORIN 49 ZTR)");
  const RCPtr<LMidiDeviceStatusChecker> checker = LMidiDeviceStatusChecker::Create(mComm);
  WStringArray inputs, outputs;
  inputs.AddItem(WString(u"MIDIIN3 (QUORIN 49 ZTR)"));
  outputs.AddItem(WString(u"MIDIOUT3 (QUORIN 49 ZTR)"));
  checker->EnumerateCaptureDevices(inputs);
  checker->EnumerateRenderDevices(outputs);
  EXPECT_TRUE(checker->CheckCaptureDevices());
  EXPECT_TRUE(checker->CheckRenderDevices());
  EXPECT_EQ(Drain(), std::vector<std::string>{}) << "no change, nothing posted";

  input->Unplug();
  EXPECT_FALSE(checker->CheckCaptureDevices());
  EXPECT_FALSE(checker->CheckCaptureDevices());
  output->Unplug();
  EXPECT_FALSE(checker->CheckRenderDevices());
  EXPECT_EQ(Drain(),
            (std::vector<std::string>{"NID_MIDI_INPUT_DEVICE_CONNECTION_STATUS_CHANGED MIDIIN3 (QUORIN 49 ZTR) 1",
                                      "NID_MIDI_OUTPUT_DEVICE_CONNECTION_STATUS_CHANGED MIDIOUT3 (QUORIN 49 ZTR) 1"}));
  input->Plug();
  output->Plug();
  EXPECT_TRUE(checker->CheckCaptureDevices());
  EXPECT_TRUE(checker->CheckCaptureDevices());
  EXPECT_TRUE(checker->CheckRenderDevices());
  EXPECT_EQ(Drain(),
            (std::vector<std::string>{"NID_MIDI_INPUT_DEVICE_CONNECTION_STATUS_CHANGED MIDIIN3 (QUORIN 49 ZTR) 0",
                                      "NID_MIDI_OUTPUT_DEVICE_CONNECTION_STATUS_CHANGED MIDIOUT3 (QUORIN 49 ZTR) 0"}));

  const RCPtr<LMidiDeviceStatusChecker> detached = LMidiDeviceStatusChecker::Create(nullptr);
  detached->EnumerateCaptureDevices(inputs);
  EXPECT_FALSE(detached->CheckCaptureDevices()) << "without a communicator nothing is connected";
  EXPECT_EQ(Drain(), std::vector<std::string>{});
}

} // namespace
