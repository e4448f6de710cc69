#pragma once
// The MIDI backend interface: devices listed per direction and opened by index, inputs
// that capture into lent 256-byte buffers, outputs that send short and long messages.
//
//   auto midi = QZ::Platform::Midi::MidiSystem::CreateDefault();
//   std::vector<std::string> names = midi->ListDevices(MidiDirection::Input);
//   std::unique_ptr<MidiInput> input;
//   if (midi->OpenInput(2, handler, input) == MidiResult::Ok) {
//     input->AddBuffer(record.buffer);   // owner's buffers, handed back as they fill
//     input->Start();
//   }
//
// Every backend reads captured bytes as the MIDI standard does, whatever its transport
// made of them: real-time bytes (F8 to FF) are taken out of a system-exclusive message
// and come back on their own; any other status byte ends an unfinished system-exclusive
// message, which then comes back without F7; an F0 starts the next. No byte of 0x80 or
// more lies between F0 and F7.
//
// Captured system-exclusive bytes are cut into the owner's buffers the way a driver
// does: a buffer comes back when it is full or when the message ends, so a 600-byte
// message comes back as 256, 256 and 88 bytes. Each message starts in a buffer of its
// own; one cut off without F7 exactly at the end of a buffer (512 bytes, say) is
// followed by an empty buffer that marks its end. Short messages come back one each,
// with a time stamp. Every handler call runs on a thread of the backend, one at a time
// per port, in arrival order.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "Platform/Midi/MidiDeviceWatch.h"
#include "Platform/Midi/MidiTypes.h"

namespace QZ::Platform::Midi {

// What an open input hands back. Both calls run on the input's callback thread; they
// may call AddBuffer but no other member of the input.
class MidiInputHandler {
public:
  virtual void OnShortMessage(const MidiShortMessage& message) = 0;
  // A lent buffer comes back: full, at the end of a message (with 0 bytes after a
  // message cut off at the end of the buffer before), or at Stop/Reset (then possibly
  // with 0 bytes). The input no longer touches it.
  virtual void OnLongData(MidiCaptureBuffer& buffer) = 0;

protected:
  ~MidiInputHandler() = default;
};

class MidiInput {
public:
  // Closes the port: as Reset, then no handler call runs after the destructor returns.
  // Never from inside the handler.
  virtual ~MidiInput() = default;

  // Lends a buffer (its `recorded` is set to 0); buffers are filled in the order lent.
  // BufferAlreadyAdded when it is still lent. Any thread, also inside the handler.
  virtual MidiResult AddBuffer(MidiCaptureBuffer& buffer) = 0;
  // Messages arriving from now on are captured, stamped relative to this moment.
  // DeviceGone when the device went away since the port was opened.
  virtual MidiResult Start() = 0;
  // Capture ends; a partly filled buffer comes back with what it holds, empty buffers
  // stay lent. Returns when that handler call has run.
  virtual void Stop() = 0;
  // Stop, and every lent buffer comes back. Returns when those handler calls have run.
  virtual void Reset() = 0;
  // False once the device was unplugged or its transport stopped, even if it has come
  // back since: a port lives as long as the connection it was opened on.
  virtual bool IsAlive() = 0;
};

// What an open output reports. Runs on a backend thread, or on the sending thread
// before SendLong returns.
class MidiOutputHandler {
public:
  // Once per long message that SendLong accepted, after the transport took it or the
  // message was dropped by Reset, an unplug or the port's closing.
  virtual void OnLongDone() = 0;

protected:
  ~MidiOutputHandler() = default;
};

// All members may be called from any thread.
class MidiOutput {
public:
  // Closes the port; pending long messages are dropped (their OnLongDone runs first).
  // Never from inside the handler.
  virtual ~MidiOutput() = default;

  // Sends message.size bytes. InvalidMessage when the size is not 1 to 3 or the first
  // byte is no status byte; DeviceGone once the device went away.
  virtual MidiResult SendShort(const MidiShortMessage& message) = 0;
  // Sends the bytes as one message (a system-exclusive message, usually). The bytes are
  // copied before the call returns. On Ok, OnLongDone follows exactly once.
  // InvalidMessage when empty; MessageTooLong past the transport's limit; DeviceGone.
  virtual MidiResult SendLong(std::span<const uint8_t> bytes) = 0;
  // Drops the long messages not yet handed to the transport (each reports done).
  // Returns when those reports have run. Never from inside the handler.
  virtual void Reset() = 0;
  // As MidiInput::IsAlive.
  virtual bool IsAlive() = 0;
};

// A source of devices. All members may be called from any thread.
class MidiBackend {
public:
  virtual ~MidiBackend() = default;

  // The device names of one direction as they are now, in a stable order (UTF-8).
  // Names may repeat; the first device is index 0.
  virtual std::vector<std::string> ListDevices(MidiDirection direction) = 0;
  // Opens the device at `index` of the current list into `input` (reset first).
  // The handler must outlive the port. NoSuchDevice past the end of the list.
  virtual MidiResult OpenInput(size_t index, MidiInputHandler& handler, std::unique_ptr<MidiInput>& input) = 0;
  virtual MidiResult OpenOutput(size_t index, MidiOutputHandler& handler, std::unique_ptr<MidiOutput>& output) = 0;
  // A watch calling onChange whenever the device lists or the liveness of open ports may
  // have changed (see MidiDeviceWatch.h); null when the backend cannot tell every such
  // change, so that its owner has to list again from time to time.
  virtual std::unique_ptr<MidiDeviceWatch> WatchDevices(MidiDeviceChangeHandler onChange) {
    (void)onChange;
    return nullptr;
  }
};

} // namespace QZ::Platform::Midi
