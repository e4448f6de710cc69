#pragma once
// QZ::LMidiCaptureNotificationData: one captured MIDI message, the parameter of
// "NID_MIDI_DATA_CAPTURED".
//
//   auto* data = notification->parameter.Get();            // as delivered
//   const signed char* bytes = data->GetBytes().GetData();  // F0 ... F7, or 1 to 3 bytes
//
// A capture port fills it on the input's thread and hands it over; from then on it is
// read only, so any thread may read it. Objects come from a pool of reused blocks.

#include <cstdint>

#include "QZFramework/ObjectBase/RefCountedObject.h"
#include "QZFramework/Utilities/Storage/ArrayBuffer.h"
#include "QZFramework/Utilities/Storage/StringT.h"

namespace QZ {

class LMidiCapturePort;

class LMidiCaptureNotificationData : public virtual LRefCountedObject {
public:
  using Bytes = ArrayBufferM<signed char, 4, 1, 0, 1, 8, &GetSystemAllocator>;

  // No bytes yet. timestampMs: milliseconds since capture started for a short message,
  // 0 for a system-exclusive one.
  LMidiCaptureNotificationData(const LMidiCapturePort* source, const WString& portName, uint32_t timestampMs);

  static void* operator new(size_t size);
  static void operator delete(void* block);

  // The port that captured the message, for comparison only: it is not held and may be
  // gone by the time the data is read.
  const LMidiCapturePort* GetSource() const { return mSource; }
  const Bytes& GetBytes() const { return mBytes; }
  uint32_t GetCount() const { return mBytes.GetCount(); }
  // The name the port was opened with.
  const WString& GetPortName() const { return mPortName; }
  uint32_t GetTimestamp() const { return mTimestampMs; }

  // By the capturing port, before it hands the data over.
  void Append(const uint8_t* bytes, uint32_t count);

private:
  const LMidiCapturePort* const mSource;
  Bytes mBytes;
  const WString mPortName;
  const uint32_t mTimestampMs;
};

} // namespace QZ
