#include "QZFramework/Services/Midi/MidiRenderPort.h"

#include <algorithm>

#include "QZFramework/Services/Midi/MidiComm.h"
#include "QZFramework/Services/Midi/MidiDeviceNames.h"
#include "QZFramework/Services/Midi/MidiPortResults.h"

namespace QZ {

using Platform::Midi::MidiDirection;
using Platform::Midi::MidiResult;

LMidiRenderPort::LMidiRenderPort(const WString& name, LMidiComm* owner) : mName(name), mOwner(owner) { mLight.Set(); }

LMidiRenderPort::~LMidiRenderPort() {
  // Its last done report opens the light, which must still exist.
  mOutput.reset();
}

int32_t LMidiRenderPort::Open() {
  std::lock_guard hold(mMutex);
  mOutput.reset();
  const int32_t index = MidiDeviceNames::PickDevice(mOwner->ListDevices(MidiDirection::Output), mName, mDeviceName);
  if (index < 0) {
    return kMidiErrorNoMatchingDevice;
  }
  const int32_t opened = MidiErrorCode(mOwner->GetBackend().OpenOutput(size_t(index), *this, mOutput));
  if (opened != 0) {
    mOutput.reset();
  }
  return opened;
}

bool LMidiRenderPort::IsAlive() {
  std::lock_guard hold(mMutex);
  return mOutput && mOutput->IsAlive();
}

WString LMidiRenderPort::GetDeviceName() const {
  std::lock_guard hold(mMutex);
  return mDeviceName;
}

QZResult LMidiRenderPort::ReleaseInternalReferences() {
  const QZResult removed = mOwner->RemoveRenderPort(*this);
  return Failed(removed) ? removed : LRefCountedObject::ReleaseInternalReferences();
}

QZResult LMidiRenderPort::Send(std::span<const uint8_t> bytes, uint32_t timeoutMs) {
  std::lock_guard hold(mMutex);
  if (bytes.empty()) {
    return QZ_E_INVALIDARG;
  }
  if (!mOutput) {
    return QZ_E_FAIL;
  }
  const uint8_t status = bytes[0];
  if (status < 0x80 || status == 0xF0 || status == 0xF7) {
    return SendLong(bytes, timeoutMs);
  }
  const uint32_t length = ShortMessageLength(status);
  if (bytes.size() < length) {
    return QZ_E_INVALIDARG;
  }
  Platform::Midi::MidiShortMessage message;
  std::copy_n(bytes.begin(), length, message.bytes.begin());
  message.size = uint8_t(length);
  return mOutput->SendShort(message) == MidiResult::Ok ? int32_t(length) : QZ_E_FAIL;
}

QZResult LMidiRenderPort::SendLong(std::span<const uint8_t> bytes, uint32_t timeoutMs) {
  mLight.Reset();
  const bool accepted = mOutput->SendLong(bytes) == MidiResult::Ok;
  const bool done = accepted && mLight.Wait(timeoutMs) == Event::kSignalled;
  if (accepted && !done) {
    // Not sent in time: it must not go out later, after the failure was reported.
    mOutput->Reset();
  }
  mLight.Set();
  return done ? int32_t(bytes.size()) : QZ_E_FAIL;
}

} // namespace QZ
