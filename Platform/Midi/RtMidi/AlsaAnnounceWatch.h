#pragma once
// Follows the ALSA sequencer's announcements (clients and ports that come and go, and
// subscriptions made or dropped) on a sequencer handle and a thread of its own, and tells
// each of them to a device signal.

#include <memory>
#include <string>
#include <thread>

#include "Platform/Midi/MidiDeviceWatch.h"

typedef struct _snd_seq snd_seq_t;

namespace QZ::Platform::Midi {

class AlsaAnnounceWatch {
public:
  // Subscribes to the announcements of sequencer `sequencerName` and starts the thread that
  // notifies `signal` (which must outlive the watch); null when that cannot be done.
  static std::unique_ptr<AlsaAnnounceWatch> Start(const std::string& sequencerName, const std::string& clientName,
                                                  MidiDeviceSignal& signal);
  // Stops and joins the thread, then closes the handle.
  ~AlsaAnnounceWatch();
  AlsaAnnounceWatch(const AlsaAnnounceWatch&) = delete;
  AlsaAnnounceWatch& operator=(const AlsaAnnounceWatch&) = delete;

private:
  AlsaAnnounceWatch(snd_seq_t* sequencer, int stopFd, MidiDeviceSignal& signal);
  void Run();

  snd_seq_t* const mSequencer;
  const int mStopFd; // an eventfd: readable once the watch is to stop
  MidiDeviceSignal& mSignal;
  std::thread mThread;
};

} // namespace QZ::Platform::Midi
