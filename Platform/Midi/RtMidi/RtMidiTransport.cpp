#include "Platform/Midi/RtMidi/RtMidiTransport.h"

#include <RtMidi.h>

#include <thread>

namespace QZ::Platform::Midi {

namespace {

void TrapError(RtMidiError::Type, const std::string& text, void* trap) {
  static_cast<RtMidiErrorTrap*>(trap)->Report(text);
}

// RtMidi throws from constructors only: after that its errors reach the trap.
template <class Object>
std::unique_ptr<Object> NewObject(int api, const std::string& clientName, RtMidiErrorTrap& trap) {
  try {
    auto object = std::make_unique<Object>(static_cast<RtMidi::Api>(api), clientName);
    trap.Attach(*object);
    return object;
  } catch (const RtMidiError& error) {
    trap.Report(error.getMessage());
    return nullptr;
  }
}

} // namespace

void RtMidiErrorTrap::Attach(RtMidi& object) { object.setErrorCallback(&TrapError, this); }

uint64_t RtMidiErrorTrap::Count() const {
  std::lock_guard lock(mMutex);
  return mCount;
}

void RtMidiErrorTrap::Report(const std::string& text) {
  {
    std::lock_guard lock(mMutex);
    ++mCount;
  }
  if (mSink) {
    mSink("MIDI: " + text);
  }
}

MidiResult OpenRtMidiPort(RtMidi& object, RtMidiErrorTrap& trap, const std::string& rtMidiName,
                          const std::string& ownPortName) {
  try {
    const unsigned count = object.getPortCount();
    unsigned index = 0;
    while (index < count && object.getPortName(index) != rtMidiName) {
      ++index;
    }
    if (index == count) {
      return MidiResult::NoSuchDevice;
    }
    const uint64_t errors = trap.Count();
    object.openPort(index, ownPortName);
    return object.isPortOpen() && trap.Count() == errors ? MidiResult::Ok : MidiResult::TransportError;
  } catch (const RtMidiError& error) {
    trap.Report(error.getMessage());
    return MidiResult::TransportError;
  }
}

bool RtMidiTransport::AwaitConnection(const RtMidiDevicePort& device, MidiDirection direction,
                                      const std::string& ownPortName, std::chrono::milliseconds timeout) {
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  while (!IsConnected(device, direction, ownPortName)) {
    if (std::chrono::steady_clock::now() >= deadline) {
      return false;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  return AwaitConnectionInEffect(deadline);
}

bool RtMidiTransport::AwaitConnectionInEffect(std::chrono::steady_clock::time_point) { return true; }

std::unique_ptr<RtMidiIn> RtMidiTransport::NewInput(RtMidiErrorTrap& trap) const {
  return NewObject<RtMidiIn>(mApi, mClientName, trap);
}

std::unique_ptr<RtMidiOut> RtMidiTransport::NewOutput(RtMidiErrorTrap& trap) const {
  return NewObject<RtMidiOut>(mApi, mClientName, trap);
}

} // namespace QZ::Platform::Midi
