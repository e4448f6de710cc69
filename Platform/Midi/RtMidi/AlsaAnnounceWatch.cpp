#include "Platform/Midi/RtMidi/AlsaAnnounceWatch.h"

#include <alsa/asoundlib.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <vector>

namespace QZ::Platform::Midi {

std::unique_ptr<AlsaAnnounceWatch> AlsaAnnounceWatch::Start(const std::string& sequencerName,
                                                            const std::string& clientName, MidiDeviceSignal& signal) {
  snd_seq_t* sequencer = nullptr;
  if (snd_seq_open(&sequencer, sequencerName.c_str(), SND_SEQ_OPEN_INPUT, SND_SEQ_NONBLOCK) < 0) {
    return nullptr;
  }
  snd_seq_set_client_name(sequencer, clientName.c_str());
  const int port = snd_seq_create_simple_port(
      sequencer, "announcements", SND_SEQ_PORT_CAP_WRITE | SND_SEQ_PORT_CAP_NO_EXPORT, SND_SEQ_PORT_TYPE_APPLICATION);
  const int stopFd = port < 0 ? -1 : eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
  if (stopFd < 0 || snd_seq_connect_from(sequencer, port, SND_SEQ_CLIENT_SYSTEM, SND_SEQ_PORT_SYSTEM_ANNOUNCE) < 0) {
    if (stopFd >= 0) {
      close(stopFd);
    }
    snd_seq_close(sequencer);
    return nullptr;
  }
  std::unique_ptr<AlsaAnnounceWatch> watch(new AlsaAnnounceWatch(sequencer, stopFd, signal));
  watch->mThread = std::thread([raw = watch.get()] { raw->Run(); });
  return watch;
}

AlsaAnnounceWatch::AlsaAnnounceWatch(snd_seq_t* sequencer, int stopFd, MidiDeviceSignal& signal)
    : mSequencer(sequencer), mStopFd(stopFd), mSignal(signal) {}

AlsaAnnounceWatch::~AlsaAnnounceWatch() {
  const uint64_t one = 1;
  if (write(mStopFd, &one, sizeof one) != sizeof one) {
    // An eventfd below its limit always takes the write; nothing else to try.
  }
  if (mThread.joinable()) {
    mThread.join();
  }
  close(mStopFd);
  snd_seq_close(mSequencer);
}

void AlsaAnnounceWatch::Run() {
  const int count = snd_seq_poll_descriptors_count(mSequencer, POLLIN);
  std::vector<pollfd> fds(static_cast<size_t>(count > 0 ? count : 0) + 1);
  fds[0] = {mStopFd, POLLIN, 0};
  snd_seq_poll_descriptors(mSequencer, fds.data() + 1, static_cast<unsigned>(fds.size() - 1), POLLIN);
  for (;;) {
    if (poll(fds.data(), fds.size(), -1) < 0 && errno != EINTR) {
      return;
    }
    if (fds[0].revents != 0) {
      return;
    }
    // A sequencer in error stays readable: end the watch (the owner's rare safety check
    // remains) rather than spin on it.
    for (size_t i = 1; i < fds.size(); ++i) {
      if (fds[i].revents & (POLLERR | POLLHUP | POLLNVAL)) {
        mSignal.Notify();
        return;
      }
    }
    // Every announcement may change a list or a port's liveness: drain them, tell once.
    bool heard = false;
    snd_seq_event_t* event = nullptr;
    int result = 0;
    while ((result = snd_seq_event_input(mSequencer, &event)) >= 0 || result == -ENOSPC) {
      heard = true;
    }
    if (heard) {
      mSignal.Notify();
    }
  }
}

} // namespace QZ::Platform::Midi
