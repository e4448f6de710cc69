#include "QZFramework/Services/Midi/MidiCapturePort.h"

#include <algorithm>

#include "QZFramework/Services/Midi/MidiCaptureNotificationData.h"
#include "QZFramework/Services/Midi/MidiComm.h"
#include "QZFramework/Services/Midi/MidiDeviceNames.h"
#include "QZFramework/Services/Midi/MidiPortResults.h"

namespace QZ {

using Platform::Midi::MidiCaptureBuffer;
using Platform::Midi::MidiDirection;

LMidiCapturePort::LMidiCapturePort(const WString& name, LMidiComm* owner) : mName(name), mOwner(owner) {}

LMidiCapturePort::~LMidiCapturePort() { Close(); }

void LMidiCapturePort::Close() {
  if (mInput) {
    mClosing = true;
    mInput->Stop();
    mInput->Reset();
    for (InputRecord& record : mRecords) {
      record.prepared = false;
    }
    mInput.reset();
  }
  mPending = nullptr;
}

int32_t LMidiCapturePort::Open() {
  Close();
  WString examined;
  const int32_t index = MidiDeviceNames::PickDevice(mOwner->ListDevices(MidiDirection::Input), mName, examined);
  {
    std::lock_guard hold(mDeviceNameMutex);
    mDeviceName = examined;
  }
  if (index < 0) {
    return kMidiErrorNoMatchingDevice;
  }
  const int32_t opened = MidiErrorCode(mOwner->GetBackend().OpenInput(size_t(index), *this, mInput));
  if (opened != 0) {
    mInput.reset();
    return opened;
  }
  mClosing = false;
  for (InputRecord& record : mRecords) {
    record.prepared = true;
    const int32_t lent = MidiErrorCode(mInput->AddBuffer(record.buffer));
    if (lent != 0) {
      Close();
      return lent;
    }
  }
  return 0;
}

int32_t LMidiCapturePort::Start() {
  const int32_t started = mInput ? MidiErrorCode(mInput->Start()) : kMidiErrorNotOpen;
  if (started != 0) {
    Close();
  }
  return started;
}

bool LMidiCapturePort::IsAlive() { return mInput && mInput->IsAlive(); }

WString LMidiCapturePort::GetDeviceName() const {
  std::lock_guard hold(mDeviceNameMutex);
  return mDeviceName;
}

QZResult LMidiCapturePort::ReleaseInternalReferences() {
  const QZResult removed = mOwner->RemoveCapturePort(*this);
  return Failed(removed) ? removed : LRefCountedObject::ReleaseInternalReferences();
}

void LMidiCapturePort::OnShortMessage(const Platform::Midi::MidiShortMessage& message) {
  RCPtr<LMidiCaptureNotificationData> data(new LMidiCaptureNotificationData(this, mName, message.timestampMs));
  // Only the bytes that came: an undefined system common status (F4, F5) has no data.
  data->Append(message.bytes.data(), std::min<uint32_t>(ShortMessageLength(message.bytes[0]), message.size));
  Queue(data);
}

void LMidiCapturePort::OnLongData(MidiCaptureBuffer& buffer) {
  AssembleSysEx(buffer);
  LendAgain(buffer);
}

void LMidiCapturePort::AssembleSysEx(const MidiCaptureBuffer& buffer) {
  const uint32_t count = uint32_t(buffer.recorded);
  if (count == 0) {
    // During capture, an empty buffer ends a message cut off at the end of the buffer
    // before; while closing, the message under way is dropped with the device.
    if (mPending && !mClosing) {
      Queue(mPending);
      mPending = nullptr;
    }
    return;
  }
  const uint8_t* bytes = buffer.data.data();
  const bool complete = buffer.recorded < buffer.data.size() || bytes[count - 1] == 0xF7;
  if (mPending && bytes[0] == 0xF0) {
    // Every message starts in a buffer of its own: the one under way was cut off at the
    // end of the buffer before and is delivered as far as it got, like any cut-off one.
    Queue(mPending);
    mPending = nullptr;
  }
  if (!mPending) {
    // The rest of a message whose start was dropped is dropped too.
    if (bytes[0] != 0xF0) {
      return;
    }
    mPending = new LMidiCaptureNotificationData(this, mName, 0);
  }
  if (uint64_t(mPending->GetCount()) + count > mOwner->GetOptions().maxSysExBytes) {
    // A message that never ends must not take all memory: drop it.
    mPending = nullptr;
    return;
  }
  mPending->Append(bytes, count);
  if (complete) {
    Queue(mPending);
    mPending = nullptr;
  }
}

int32_t LMidiCapturePort::LendAgain(MidiCaptureBuffer& buffer) {
  if (mClosing || !mInput) {
    return kMidiErrorNotOpen;
  }
  for (InputRecord& record : mRecords) {
    if (&record.buffer == &buffer) {
      return record.prepared ? MidiErrorCode(mInput->AddBuffer(buffer)) : kMidiErrorNotOpen;
    }
  }
  return 1;
}

void LMidiCapturePort::Queue(const RCPtr<LMidiCaptureNotificationData>& data) { mOwner->QueueCapture(data); }

} // namespace QZ
