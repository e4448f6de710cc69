#pragma once
// Test doubles for the MIDI layer: a recording input handler that lends buffers the way
// the port layer does, a counting output handler, a collecting virtual peer and a fake
// clock. Every wait is on a condition, bounded by a generous deadline.

#include <algorithm>
#include <array>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <ostream>
#include <vector>

#include <gtest/gtest.h>

#include "Platform/Midi/MidiBackend.h"
#include "Support/WaitUntil.h"

namespace QZ::Platform::Midi {

inline void PrintTo(MidiResult result, std::ostream* out) { *out << MidiResultText(result); }

} // namespace QZ::Platform::Midi

namespace QZTest {

using Bytes = std::vector<uint8_t>;

inline Bytes SysEx(size_t size, uint8_t seed = 0) {
  Bytes bytes(size);
  for (size_t i = 0; i < size; ++i) {
    bytes[i] = static_cast<uint8_t>((i * 7 + seed) & 0x7F);
  }
  bytes.front() = 0xF0;
  bytes.back() = 0xF7;
  return bytes;
}

inline QZ::Platform::Midi::MidiShortMessage Short(std::initializer_list<uint8_t> bytes) {
  QZ::Platform::Midi::MidiShortMessage message;
  std::copy(bytes.begin(), bytes.end(), message.bytes.begin());
  message.size = static_cast<uint8_t>(bytes.size());
  return message;
}

// Records what an input hands back; lends its three buffers and lends each again as it
// comes back (unless told not to), like the port layer.
class CaptureRecorder final : public QZ::Platform::Midi::MidiInputHandler {
public:
  struct Capture {
    bool isShort = false;
    Bytes bytes;
    uint32_t timestampMs = 0;
  };

  void LendBuffers(QZ::Platform::Midi::MidiInput& input, bool lendAgain = true) {
    mInput = &input;
    mLendAgain = lendAgain;
    for (auto& buffer : mBuffers) {
      (void)input.AddBuffer(buffer); // a buffer of the right size
    }
  }

  void OnShortMessage(const QZ::Platform::Midi::MidiShortMessage& message) override {
    Record({true, Bytes(message.bytes.begin(), message.bytes.begin() + message.size), message.timestampMs});
  }

  void OnLongData(QZ::Platform::Midi::MidiCaptureBuffer& buffer) override {
    Record({false, Bytes(buffer.data.begin(), buffer.data.begin() + static_cast<long>(buffer.recorded)), 0});
    if (mLendAgain && mInput != nullptr) {
      (void)mInput->AddBuffer(buffer); // a buffer of the right size
    }
  }

  bool WaitFor(size_t count) {
    std::unique_lock lock(mMutex);
    return WaitUntil(lock, mChanged, [&] { return mCaptures.size() >= count; });
  }

  // Waits for a short capture equal to `marker` after the last one taken, and returns
  // what came between the two.
  std::vector<Capture> TakeUpTo(const Bytes& marker) {
    std::unique_lock lock(mMutex);
    auto found = mCaptures.end();
    WaitUntil(lock, mChanged, [&] {
      found = std::find_if(mCaptures.begin() + static_cast<long>(mTaken), mCaptures.end(),
                           [&](const Capture& capture) { return capture.isShort && capture.bytes == marker; });
      return found != mCaptures.end();
    });
    if (found == mCaptures.end()) {
      ADD_FAILURE() << "the marker was not captured";
      return {};
    }
    std::vector<Capture> taken(mCaptures.begin() + static_cast<long>(mTaken), found);
    mTaken = static_cast<size_t>(found - mCaptures.begin()) + 1;
    return taken;
  }

  std::vector<Capture> Captures() {
    std::lock_guard lock(mMutex);
    return mCaptures;
  }

private:
  void Record(Capture capture) {
    {
      std::lock_guard lock(mMutex);
      mCaptures.push_back(std::move(capture));
    }
    mChanged.notify_all();
  }

  std::array<QZ::Platform::Midi::MidiCaptureBuffer, 3> mBuffers;
  QZ::Platform::Midi::MidiInput* mInput = nullptr;
  bool mLendAgain = true;
  std::mutex mMutex;
  std::condition_variable mChanged;
  std::vector<Capture> mCaptures;
  size_t mTaken = 0;
};

class DoneCounter final : public QZ::Platform::Midi::MidiOutputHandler {
public:
  void OnLongDone() override {
    {
      std::lock_guard lock(mMutex);
      ++mCount;
    }
    mChanged.notify_all();
  }

  bool WaitFor(int count) {
    std::unique_lock lock(mMutex);
    return WaitUntil(lock, mChanged, [&] { return mCount >= count; });
  }

  int Count() {
    std::lock_guard lock(mMutex);
    return mCount;
  }

private:
  std::mutex mMutex;
  std::condition_variable mChanged;
  int mCount = 0;
};

// Collects what a peer receives; Receiver() is handed to the device.
class PeerInbox {
public:
  auto Receiver() {
    return [this](std::span<const uint8_t> message) {
      {
        std::lock_guard lock(mMutex);
        mMessages.emplace_back(message.begin(), message.end());
      }
      mChanged.notify_all();
    };
  }

  bool WaitFor(size_t count) {
    std::unique_lock lock(mMutex);
    return WaitUntil(lock, mChanged, [&] { return mMessages.size() >= count; });
  }

  std::vector<Bytes> Messages() {
    std::lock_guard lock(mMutex);
    return mMessages;
  }

private:
  std::mutex mMutex;
  std::condition_variable mChanged;
  std::vector<Bytes> mMessages;
};

// A clock that stands still until moved.
class FakeClock {
public:
  QZ::Platform::Midi::MidiClock Clock() {
    return [this] { return std::chrono::steady_clock::time_point(std::chrono::milliseconds(mNowMs.load())); };
  }
  void Advance(int64_t ms) { mNowMs += ms; }

private:
  std::atomic<int64_t> mNowMs{1'000'000};
};

} // namespace QZTest
