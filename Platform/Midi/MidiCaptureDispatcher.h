#pragma once
// The capture side every backend shares: a transport pushes whole short messages and
// pieces of system-exclusive messages from its own thread; the dispatcher's thread
// cuts the bytes into the owner's lent buffers and calls the input handler.
//
// A buffer comes back when it is full or when its message ends (the transport says so),
// so pieces of one message fill the buffers back to back, and every message starts in a
// buffer of its own. A message cut off without F7 exactly at the end of a buffer is
// followed by an empty buffer, so that the owner knows it ended. Real-time messages
// pushed between two pieces come back in between, in arrival order. Bytes for which no
// buffer is lent are lost with the rest of their message, as with a driver that has no
// buffer.

#include <cstdint>
#include <deque>
#include <mutex>
#include <span>

#include "Platform/Midi/MidiBackend.h"
#include "Platform/Midi/MidiStreamParser.h"
#include "Platform/Midi/MidiWorkQueue.h"

namespace QZ::Platform::Midi {

class MidiCaptureDispatcher {
public:
  MidiCaptureDispatcher(MidiInputHandler& handler, MidiClock clock);
  // Reset, then the thread ends. The transport must have stopped pushing.
  ~MidiCaptureDispatcher();

  // Transport side, any thread. A short message of 1 to 3 bytes, stamped now.
  void PushShort(std::span<const uint8_t> bytes);
  // Bytes of a system-exclusive message: `begins` on its first piece (F0 first),
  // `ends` on its last (F7 last, or the message was cut off).
  void PushSysEx(std::span<const uint8_t> bytes, bool begins, bool ends);
  // What a wire reader completed: PushShort or PushSysEx.
  void Push(const MidiStreamEvent& event);

  // Port side: the members of MidiInput with the same names and contracts.
  MidiResult AddBuffer(MidiCaptureBuffer& buffer);
  void Start();
  void Stop();
  void Reset();

private:
  // On the dispatcher's thread.
  void FillBuffers(std::span<const uint8_t> bytes, bool begins, bool ends);
  void EndMessage();
  void HandBackPartlyFilled();
  void HandBackFront();
  void StopCapture();
  void HandBackAll();
  MidiCaptureBuffer* FrontBuffer();

  MidiInputHandler& mHandler;
  const MidiClock mClock;

  // Only on the dispatcher's thread.
  bool mStarted = false;
  bool mInSysEx = false;
  // The message under way filled its last buffer, which came back without F7 at its end.
  bool mFilledWithoutEnd = false;
  std::chrono::steady_clock::time_point mStartTime;

  std::mutex mBuffersMutex;
  std::deque<MidiCaptureBuffer*> mBuffers;

  MidiWorkQueue mQueue; // last: its thread ends before the members above go
};

} // namespace QZ::Platform::Midi
