#pragma once
// A communicator over a private registry of virtual devices with a standing clock, and
// a client that records the captures delivered to it, for the MIDI port layer's tests.

#include <gtest/gtest.h>
#include <pthread.h>

#include <memory>
#include <string>
#include <vector>

#include "Platform/Midi/MidiTestSupport.h"
#include "Platform/Midi/Virtual/VirtualMidiBackend.h"
#include "QZFramework/Services/Midi/MidiComm.h"

namespace QZTest {

struct CapturedMessage {
  Bytes bytes;
  uint32_t timestampMs = 0;
  const QZ::LMidiCapturePort* source = nullptr;
  std::string threadName; // of the delivering thread
};

inline const Bytes kMarker = {0xFE};

// Records the captures it receives, on any thread.
class CaptureClient final : public QZ::LNotificationClient {
public:
  QZ::QZResult ReceiveNotification(const QZ::RCPtr<QZ::LNotificationDistributor>&,
                                   const QZ::RCPtr<QZ::LNotification>& notification) override {
    const auto data = notification->GetParameterAs<QZ::LMidiCaptureNotificationData>();
    const auto* bytes = reinterpret_cast<const uint8_t*>(data->GetBytes().GetData());
    char thread[16] = {};
    pthread_getname_np(pthread_self(), thread, sizeof thread);
    std::lock_guard lock(mMutex);
    mCaptures.push_back({Bytes(bytes, bytes + data->GetCount()), data->GetTimestamp(), data->GetSource(), thread});
    mChanged.notify_all();
    return 0;
  }

  // Waits for the marker and returns the captures before it; each is returned once.
  std::vector<CapturedMessage> TakeUpTo(const Bytes& marker = kMarker) {
    std::unique_lock lock(mMutex);
    auto found = mCaptures.end();
    if (!WaitUntil(lock, mChanged, [&] {
          found = std::find_if(mCaptures.begin(), mCaptures.end(), [&](auto& c) { return c.bytes == marker; });
          return found != mCaptures.end();
        })) {
      ADD_FAILURE() << "the marker was not captured";
      return {};
    }
    std::vector<CapturedMessage> taken(mCaptures.begin(), found);
    mCaptures.erase(mCaptures.begin(), found + 1);
    return taken;
  }

private:
  std::mutex mMutex;
  std::condition_variable mChanged;
  std::vector<CapturedMessage> mCaptures;
};

class MidiPortTest : public ::testing::Test {
protected:
  void SetUp() override {
    QZ::MidiCommOptions options;
    options.backend = std::make_shared<QZ::Platform::Midi::VirtualMidiBackend>(mRegistry, mClock.Clock());
    mComm = QZ::LMidiCommInterface::Create(options);
  }

  QZ::RCPtr<QZ::LMidiCapturePort> OpenCapture(const char16_t* name) {
    QZ::RCPtr<QZ::LMidiCapturePort> port;
    return mComm->OpenCapturePort(QZ::WString(name), port);
  }
  QZ::RCPtr<QZ::LMidiRenderPort> OpenRender(const char16_t* name) {
    QZ::RCPtr<QZ::LMidiRenderPort> port;
    return mComm->OpenRenderPort(QZ::WString(name), port);
  }
  // A client registered for mComm's captures.
  QZ::RCPtr<CaptureClient> Listen() {
    QZ::RCPtr<CaptureClient> client(new CaptureClient);
    client->RegisterNotification(mComm, QZ::kMidiDataCapturedName);
    return client;
  }

  QZ::Platform::Midi::VirtualMidiRegistry mRegistry; // first: the devices and ports go before it
  FakeClock mClock;
  QZ::RCPtr<QZ::LMidiCommInterface> mComm;
};

} // namespace QZTest
