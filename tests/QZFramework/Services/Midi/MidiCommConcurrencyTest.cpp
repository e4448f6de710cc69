// Ports opened and let go on several threads while their device plays.

#include <gtest/gtest.h>

#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "QZFramework/Services/Midi/MidiPortTestSupport.h"

namespace {

class MidiCommConcurrencyTest : public QZTest::MidiPortTest {};

// What a client held in a capture delivery saw; outlives the client.
struct HeldDelivery {
  std::mutex mutex;
  std::condition_variable changed;
  bool entered = false;   // the delivery has begun
  bool go = false;        // the delivery may end
  bool delivered = false; // the delivery has ended
  bool hookRan = false;
  std::thread::id hookThread;
};

// Stays in its first delivery until told to go; records where its release hook runs.
class HeldInDelivery final : public QZ::LNotificationClient {
public:
  explicit HeldInDelivery(std::shared_ptr<HeldDelivery> state) : mState(std::move(state)) {}
  QZ::QZResult ReceiveNotification(const QZ::RCPtr<QZ::LNotificationDistributor>&,
                                   const QZ::RCPtr<QZ::LNotification>&) override {
    std::unique_lock hold(mState->mutex);
    mState->entered = true;
    mState->changed.notify_all();
    EXPECT_TRUE(QZTest::WaitUntil(hold, mState->changed, [this] { return mState->go; }));
    mState->delivered = true;
    return QZ::QZ_OK;
  }
  QZ::QZResult ReleaseInternalReferences() override {
    {
      std::lock_guard hold(mState->mutex);
      mState->hookRan = true;
      mState->hookThread = std::this_thread::get_id();
    }
    mState->changed.notify_all();
    return LNotificationClient::ReleaseInternalReferences(); // unregisters
  }

private:
  const std::shared_ptr<HeldDelivery> mState;
};

TEST_F(MidiCommConcurrencyTest, PortsOpenedAndLetGoOnSeveralThreadsWhileCapturing) {
  auto device = mRegistry.RegisterInput("IN");
  const auto client = Listen();
  std::atomic<bool> stop{false};
  std::thread player([&] {
    while (!stop) {
      EXPECT_EQ(device->Send(QZTest::SysEx(300)), QZ::Platform::Midi::MidiResult::Ok);
      EXPECT_EQ(device->Send(QZTest::Bytes{0x90, 0x3C, 0x40}), QZ::Platform::Midi::MidiResult::Ok);
    }
  });
  std::vector<std::thread> openers;
  for (int t = 0; t < 4; ++t) {
    openers.emplace_back([&] {
      for (int i = 0; i < 100; ++i) {
        EXPECT_TRUE(OpenCapture(u"IN"));
      }
    });
  }
  for (std::thread& opener : openers) {
    opener.join();
  }
  stop = true;
  player.join();
  // A port left in the communicator's list would keep both alive: LeakSanitizer tells.
}

// The delivery takes no reference of the client: its owner's last release, while a
// capture is being delivered to it, unregisters it on the owner's thread and returns only
// once the delivery has ended; nothing of the client runs later on the delivery thread.
TEST_F(MidiCommConcurrencyTest, AnOwnersLastReleaseDuringACaptureUnregistersTheClientAndWaitsForTheDelivery) {
  auto device = mRegistry.RegisterInput("IN");
  const auto port = OpenCapture(u"IN");
  ASSERT_TRUE(port);
  const auto state = std::make_shared<HeldDelivery>();
  QZ::RCPtr<HeldInDelivery> client(new HeldInDelivery(state));
  client->RegisterNotification(mComm, QZ::kMidiDataCapturedName);
  EXPECT_EQ(device->Send(QZTest::Bytes{0x90, 0x3C, 0x40}), QZ::Platform::Midi::MidiResult::Ok);
  {
    std::unique_lock hold(state->mutex);
    ASSERT_TRUE(QZTest::WaitUntil(hold, state->changed, [&] { return state->entered; }));
  }
  std::thread::id owner;
  bool endedBeforeTheRelease = false;
  std::thread releaser([&] {
    owner = std::this_thread::get_id();
    client = nullptr; // the owner's last reference
    std::lock_guard hold(state->mutex);
    endedBeforeTheRelease = state->delivered;
  });
  bool hookRan = false;
  {
    std::unique_lock hold(state->mutex);
    hookRan = QZTest::WaitUntil(hold, state->changed, [&] { return state->hookRan; });
    state->go = true;
  }
  state->changed.notify_all();
  releaser.join();
  EXPECT_TRUE(hookRan) << "the owner's release left the client registered";
  EXPECT_EQ(state->hookThread, owner) << "the client's release hook ran on the delivery thread";
  EXPECT_TRUE(endedBeforeTheRelease) << "the owner's release returned while the delivery went on";
}

} // namespace
