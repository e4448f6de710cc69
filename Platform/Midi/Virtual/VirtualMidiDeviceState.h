#pragma once
// What a virtual device and the ports opened on it share: its plug state, the
// connection the ports were opened on, the wire towards open inputs and the receiver
// of what open outputs send. Each plug starts a new connection; a port only works on
// the connection it was opened on, so a replugged device must be reopened.

#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <span>
#include <string>
#include <vector>

#include "Platform/Midi/MidiStreamParser.h"
#include "Platform/Midi/MidiTypes.h"

namespace QZ::Platform::Midi {

class MidiCaptureDispatcher;

// Every member may be called from any thread.
class VirtualMidiDeviceState {
public:
  using Receiver = std::function<void(std::span<const uint8_t> message)>;

  VirtualMidiDeviceState(MidiDirection direction, std::string name);

  MidiDirection Direction() const { return mDirection; }
  const std::string& Name() const { return mName; }

  void Plug();
  void Unplug();
  // The device leaves for good: unplugged, and Plug does nothing any more.
  void Remove();
  bool IsPlugged() const;

  // The current connection (never 0), or 0 while unplugged.
  uint64_t CurrentConnection() const;
  bool IsConnected(uint64_t connection) const;

  // Input devices: the wire from the peer to the dispatchers of the open inputs.
  void AddListener(MidiCaptureDispatcher& dispatcher, uint64_t connection);
  void RemoveListener(MidiCaptureDispatcher& dispatcher);
  MidiResult SendFromPeer(std::span<const uint8_t> bytes);

  // Output devices: hands a sent message to the peer's receiver while `connection` is
  // current. Holds the receiver lock during the call, so the receiver must not call
  // SetReceiver of the same device.
  void DeliverToPeer(uint64_t connection, std::span<const uint8_t> message);
  // Waits for a delivery under way, so the old receiver is not called after the return.
  void SetReceiver(Receiver receiver);

private:
  struct Listener {
    MidiCaptureDispatcher* dispatcher;
    uint64_t connection;
  };

  const MidiDirection mDirection;
  const std::string mName;

  mutable std::mutex mMutex;
  bool mPlugged = true;
  bool mRemoved = false;
  uint64_t mConnection = 1;
  std::vector<Listener> mListeners;
  MidiStreamParser mWire;

  std::mutex mReceiverMutex; // taken before mMutex
  Receiver mReceiver;
};

} // namespace QZ::Platform::Midi
