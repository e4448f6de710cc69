// A stand-in device on JACK for the MIDI tests: a client with an output port the editor
// captures from and an input port the editor renders to. Whatever reaches the input
// goes back out of the output in the same cycle. Runs until its standard input closes.
// Its ports are registered once it is active, so a port that is listed is served.
//
//   PlatformMidiJackPeer <client> <port the editor captures from> <port it renders to>

#include <jack/jack.h>
#include <jack/midiport.h>
#include <unistd.h>

#include <atomic>
#include <cstdio>

namespace {

std::atomic<jack_port_t*> gFromEditor{nullptr};
std::atomic<jack_port_t*> gToEditor{nullptr};

int Echo(jack_nframes_t frames, void*) {
  jack_port_t* const from = gFromEditor.load();
  jack_port_t* const to = gToEditor.load();
  if (from == nullptr || to == nullptr) {
    return 0;
  }
  void* in = jack_port_get_buffer(from, frames);
  void* out = jack_port_get_buffer(to, frames);
  jack_midi_clear_buffer(out);
  const jack_nframes_t count = jack_midi_get_event_count(in);
  for (jack_nframes_t i = 0; i < count; ++i) {
    jack_midi_event_t event;
    if (jack_midi_event_get(&event, in, i) == 0) {
      jack_midi_event_write(out, event.time, event.buffer, event.size);
    }
  }
  return 0;
}

} // namespace

int main(int argc, char** argv) {
  if (argc != 4) {
    std::fprintf(stderr, "usage: %s <client> <capture port> <render port>\n", argv[0]);
    return 2;
  }
  jack_status_t status{};
  jack_client_t* client =
      jack_client_open(argv[1], static_cast<jack_options_t>(JackNoStartServer | JackUseExactName), &status);
  if (client == nullptr) {
    std::fprintf(stderr, "no JACK client (status 0x%X)\n", static_cast<unsigned>(status));
    return 1;
  }
  if (jack_set_process_callback(client, &Echo, nullptr) != 0 || jack_activate(client) != 0) {
    std::fprintf(stderr, "the JACK client cannot be activated\n");
    jack_client_close(client);
    return 1;
  }
  jack_port_t* const to = jack_port_register(client, argv[2], JACK_DEFAULT_MIDI_TYPE, JackPortIsOutput, 0);
  jack_port_t* const from = jack_port_register(client, argv[3], JACK_DEFAULT_MIDI_TYPE, JackPortIsInput, 0);
  gToEditor = to;
  gFromEditor = from;
  if (to == nullptr || from == nullptr) {
    std::fprintf(stderr, "the JACK ports cannot be set up\n");
    jack_client_close(client);
    return 1;
  }
  char byte;
  while (read(STDIN_FILENO, &byte, 1) > 0) {
  }
  jack_client_close(client);
  return 0;
}
