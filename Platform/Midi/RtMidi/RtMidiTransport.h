#pragma once
// One transport the RtMidi backend uses (the ALSA sequencer or JACK): its device ports,
// new RtMidi objects on it, and whether a port the backend opened is still connected.

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "Platform/Midi/MidiDeviceWatch.h"
#include "Platform/Midi/MidiTypes.h"
#include "Platform/Midi/RtMidi/RtMidiPortNames.h"

class RtMidi;
class RtMidiIn;
class RtMidiOut;

namespace QZ::Platform::Midi {

// Takes the errors an RtMidi object reports through its error callback (which keeps it
// from throwing or printing), counts them so that a call can tell it failed, and passes
// their text to the diagnostic sink. Any thread.
class RtMidiErrorTrap {
public:
  explicit RtMidiErrorTrap(MidiDiagnosticSink sink) : mSink(std::move(sink)) {}
  // From now on the object's errors come here; the trap must outlive it.
  void Attach(RtMidi& object);
  uint64_t Count() const;
  void Report(const std::string& text);

private:
  const MidiDiagnosticSink mSink;
  mutable std::mutex mMutex;
  uint64_t mCount = 0;
};

struct RtMidiDevicePort {
  std::string rtMidiName; // RtMidi's name: how an opening finds the port again
  std::string shownName;  // the device name in the backend's list
  AlsaPortEntry alsa;     // ALSA ports only
};

// Opens the port RtMidi names `rtMidiName` on a fresh RtMidi object, its own port named
// `ownPortName`. NoSuchDevice when the port is not listed any more, TransportError when
// RtMidi fails (the trap has its text).
MidiResult OpenRtMidiPort(RtMidi& object, RtMidiErrorTrap& trap, const std::string& rtMidiName,
                          const std::string& ownPortName);

// Every member may be called from any thread.
class RtMidiTransport {
public:
  virtual ~RtMidiTransport() = default;

  // The device ports of one direction, in RtMidi's order.
  virtual std::vector<RtMidiDevicePort> ListPorts(MidiDirection direction) = 0;
  // Whether the device port still exists and the backend's port `ownPortName` is still
  // connected to it.
  virtual bool IsConnected(const RtMidiDevicePort& device, MidiDirection direction, const std::string& ownPortName) = 0;
  // The longest message the transport carries.
  virtual size_t MaxMessageSize() const = 0;
  // A watch told of every port that comes or goes and every connection made or dropped;
  // null when the transport cannot tell them.
  virtual std::unique_ptr<MidiDeviceWatch> WatchPorts(MidiDeviceChangeHandler onChange) = 0;
  // Polls IsConnected until it holds, then waits until the transport carries messages over
  // the new connection (AwaitConnectionInEffect); false when either takes past `timeout`.
  bool AwaitConnection(const RtMidiDevicePort& device, MidiDirection direction, const std::string& ownPortName,
                       std::chrono::milliseconds timeout);

  // A new RtMidi object on this transport whose errors go to `trap`; null when RtMidi
  // refused (the trap has its text).
  std::unique_ptr<RtMidiIn> NewInput(RtMidiErrorTrap& trap) const;
  std::unique_ptr<RtMidiOut> NewOutput(RtMidiErrorTrap& trap) const;
  const std::string& ClientName() const { return mClientName; }

protected:
  // A connection can be listed before the transport routes messages over it; a message sent
  // in between is lost. Returns once the connection listed now is in effect, or false at the
  // deadline. By default a listed connection is in effect.
  virtual bool AwaitConnectionInEffect(std::chrono::steady_clock::time_point deadline);

  // `api`: the RtMidi::Api value of the transport.
  RtMidiTransport(int api, std::string clientName) : mApi(api), mClientName(std::move(clientName)) {}

private:
  const int mApi;
  const std::string mClientName;
};

} // namespace QZ::Platform::Midi
