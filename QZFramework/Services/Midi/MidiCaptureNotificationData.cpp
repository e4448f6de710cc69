#include "QZFramework/Services/Midi/MidiCaptureNotificationData.h"

#include <cstring>

#include "QZFramework/Utilities/Storage/ReuseAllocator.h"

namespace QZ {

namespace {

ReuseAllocator<LMidiCaptureNotificationData, 4>& CaptureDataBlocks() {
  // Never destroyed: a capture may be released after static destruction has begun.
  static auto* blocks = new ReuseAllocator<LMidiCaptureNotificationData, 4>(true);
  return *blocks;
}

} // namespace

LMidiCaptureNotificationData::LMidiCaptureNotificationData(const LMidiCapturePort* source, const WString& portName,
                                                           uint32_t timestampMs)
    : mSource(source), mPortName(portName), mTimestampMs(timestampMs) {}

void* LMidiCaptureNotificationData::operator new(size_t size) { return CaptureDataBlocks().Allocate(uint32_t(size)); }

void LMidiCaptureNotificationData::operator delete(void* block) { CaptureDataBlocks().Free(block); }

void LMidiCaptureNotificationData::Append(const uint8_t* bytes, uint32_t count) {
  const uint32_t old = mBytes.GetCount();
  if (count == 0 || Failed(mBytes.SetCountRaw(old + count))) {
    return;
  }
  std::memcpy(mBytes.GetData() + old, bytes, count);
}

} // namespace QZ
