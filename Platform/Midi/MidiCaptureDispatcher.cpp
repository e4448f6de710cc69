#include "Platform/Midi/MidiCaptureDispatcher.h"

#include <algorithm>
#include <cstring>
#include <utility>
#include <vector>

namespace QZ::Platform::Midi {

namespace {

constexpr uint8_t kSysExEnd = 0xF7;

} // namespace

MidiCaptureDispatcher::MidiCaptureDispatcher(MidiInputHandler& handler, MidiClock clock)
    : mHandler(handler), mClock(clock ? std::move(clock) : DefaultMidiClock()) {}

MidiCaptureDispatcher::~MidiCaptureDispatcher() { Reset(); }

void MidiCaptureDispatcher::PushShort(std::span<const uint8_t> bytes) {
  MidiShortMessage message;
  message.size = static_cast<uint8_t>(std::min(bytes.size(), message.bytes.size()));
  std::copy_n(bytes.begin(), message.size, message.bytes.begin());
  const auto arrival = mClock();
  mQueue.Post([this, message, arrival]() mutable {
    if (!mStarted) {
      return;
    }
    // Stamps wrap after 49 days, like the 32-bit millisecond stamps callers expect.
    const auto elapsed = std::chrono::duration_cast<std::chrono::milliseconds>(arrival - mStartTime).count();
    message.timestampMs = static_cast<uint32_t>(std::max<int64_t>(elapsed, 0));
    mHandler.OnShortMessage(message);
  });
}

void MidiCaptureDispatcher::PushSysEx(std::span<const uint8_t> bytes, bool begins, bool ends) {
  mQueue.Post([this, piece = std::vector<uint8_t>(bytes.begin(), bytes.end()), begins, ends] {
    FillBuffers(piece, begins, ends);
  });
}

void MidiCaptureDispatcher::Push(const MidiStreamEvent& event) {
  if (event.kind == MidiStreamEvent::Kind::Short) {
    PushShort(event.bytes);
  } else {
    PushSysEx(event.bytes, event.begins, event.ends);
  }
}

MidiResult MidiCaptureDispatcher::AddBuffer(MidiCaptureBuffer& buffer) {
  std::lock_guard lock(mBuffersMutex);
  if (std::find(mBuffers.begin(), mBuffers.end(), &buffer) != mBuffers.end()) {
    return MidiResult::BufferAlreadyAdded;
  }
  buffer.recorded = 0;
  mBuffers.push_back(&buffer);
  return MidiResult::Ok;
}

void MidiCaptureDispatcher::Start() {
  const auto now = mClock();
  mQueue.Post([this, now] {
    mStarted = true;
    mInSysEx = false;
    mFilledWithoutEnd = false;
    mStartTime = now;
  });
}

void MidiCaptureDispatcher::Stop() {
  mQueue.Post([this] { StopCapture(); });
  mQueue.Drain();
}

void MidiCaptureDispatcher::Reset() {
  mQueue.Post([this] {
    StopCapture();
    HandBackAll();
  });
  mQueue.Drain();
}

void MidiCaptureDispatcher::FillBuffers(std::span<const uint8_t> bytes, bool begins, bool ends) {
  if (!mStarted) {
    return;
  }
  if (begins) {
    EndMessage(); // a message cut off without notice ends here
    mInSysEx = true;
  }
  if (!mInSysEx) {
    return; // the rest of a message whose start was not captured
  }
  while (!bytes.empty()) {
    MidiCaptureBuffer* buffer = FrontBuffer();
    if (buffer == nullptr) {
      mInSysEx = false; // no buffer lent: the rest of this message is lost
      mFilledWithoutEnd = false;
      return;
    }
    const size_t count = std::min(bytes.size(), kMidiCaptureBufferSize - buffer->recorded);
    std::memcpy(buffer->data.data() + buffer->recorded, bytes.data(), count);
    buffer->recorded += count;
    bytes = bytes.subspan(count);
    mFilledWithoutEnd = false;
    if (buffer->recorded == kMidiCaptureBufferSize) {
      mFilledWithoutEnd = buffer->data.back() != kSysExEnd;
      HandBackFront();
    }
  }
  if (ends) {
    EndMessage();
  }
}

void MidiCaptureDispatcher::EndMessage() {
  if (mFilledWithoutEnd) {
    // The message filled its last buffer exactly and has no F7 to show that it ended
    // there: an empty buffer says so.
    if (FrontBuffer() != nullptr) {
      HandBackFront();
    }
  } else {
    HandBackPartlyFilled();
  }
  mInSysEx = false;
  mFilledWithoutEnd = false;
}

void MidiCaptureDispatcher::HandBackPartlyFilled() {
  MidiCaptureBuffer* buffer = FrontBuffer();
  if (buffer != nullptr && buffer->recorded > 0) {
    HandBackFront();
  }
}

void MidiCaptureDispatcher::HandBackFront() {
  MidiCaptureBuffer* buffer;
  {
    std::lock_guard lock(mBuffersMutex);
    buffer = mBuffers.front();
    mBuffers.pop_front();
  }
  mHandler.OnLongData(*buffer);
}

void MidiCaptureDispatcher::StopCapture() {
  HandBackPartlyFilled();
  mStarted = false;
  mInSysEx = false;
  mFilledWithoutEnd = false;
}

void MidiCaptureDispatcher::HandBackAll() {
  std::deque<MidiCaptureBuffer*> lent;
  {
    std::lock_guard lock(mBuffersMutex);
    lent.swap(mBuffers);
  }
  for (MidiCaptureBuffer* buffer : lent) {
    mHandler.OnLongData(*buffer);
  }
}

MidiCaptureBuffer* MidiCaptureDispatcher::FrontBuffer() {
  std::lock_guard lock(mBuffersMutex);
  return mBuffers.empty() ? nullptr : mBuffers.front();
}

} // namespace QZ::Platform::Midi
