// The virtual keyboard as a JACK client: the keyboard's third port pair, answering the
// editor's system-exclusive messages from a keyboard memory that lives as long as the
// program. Its ports are registered once the client is active, so a listed port is
// served. Prints "ready" once they are; runs until its standard input closes.
//
//   QZJackKeyboard <client name> <model index 0, 1 or 2> [--memory-file <path>]
//
// With --memory-file the keyboard's memory is written to path as text (KeyboardMemoryFile.h)
// before "ready", and again after each message that changed a preset or the globals.
//
// The process callback neither allocates nor locks: it copies what the editor sends
// into one ring buffer and wakes the worker (sem_post), and sends the replies that the
// worker left, length first, in the other.

#include <jack/jack.h>
#include <jack/midiport.h>
#include <jack/ringbuffer.h>
#include <semaphore.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "Platform/Midi/MidiStreamParser.h"
#include "Simulator/Keyboard/KeyboardMemoryFile.h"
#include "Simulator/Keyboard/KeyboardSysEx.h"

namespace {

constexpr size_t kRingSize = 1 << 16;

struct JackKeyboard {
  std::atomic<jack_port_t*> fromEditor{nullptr};
  std::atomic<jack_port_t*> toEditor{nullptr};
  jack_ringbuffer_t* received = nullptr; // the editor's bytes, as they came
  jack_ringbuffer_t* replies = nullptr;  // each reply as its uint32_t size, then its bytes
  sem_t wake;
  std::atomic<bool> stopping{false};
};

void PassReceived(JackKeyboard& keyboard, void* in) {
  bool any = false;
  const jack_nframes_t count = jack_midi_get_event_count(in);
  for (jack_nframes_t i = 0; i < count; ++i) {
    jack_midi_event_t event;
    // A message that does not fit is dropped whole, as a busy device would lose it.
    if (jack_midi_event_get(&event, in, i) == 0 && jack_ringbuffer_write_space(keyboard.received) >= event.size) {
      jack_ringbuffer_write(keyboard.received, reinterpret_cast<const char*>(event.buffer), event.size);
      any = true;
    }
  }
  if (any) {
    sem_post(&keyboard.wake);
  }
}

void SendReplies(JackKeyboard& keyboard, void* out) {
  uint32_t size = 0;
  while (jack_ringbuffer_read_space(keyboard.replies) >= sizeof size) {
    jack_ringbuffer_peek(keyboard.replies, reinterpret_cast<char*>(&size), sizeof size);
    // A reply larger than this cycle's room waits for the next cycle.
    jack_midi_data_t* at = jack_midi_event_reserve(out, 0, size);
    if (at == nullptr) {
      return;
    }
    jack_ringbuffer_read_advance(keyboard.replies, sizeof size);
    jack_ringbuffer_read(keyboard.replies, reinterpret_cast<char*>(at), size);
  }
}

int Process(jack_nframes_t frames, void* argument) {
  JackKeyboard& keyboard = *static_cast<JackKeyboard*>(argument);
  jack_port_t* const toEditor = keyboard.toEditor;
  jack_port_t* const fromEditor = keyboard.fromEditor;
  if (toEditor == nullptr || fromEditor == nullptr) {
    return 0;
  }
  void* out = jack_port_get_buffer(toEditor, frames);
  jack_midi_clear_buffer(out);
  PassReceived(keyboard, jack_port_get_buffer(fromEditor, frames));
  SendReplies(keyboard, out);
  return 0;
}

// Reassembles whole messages from the editor's bytes (one message may come in several
// events), queues the keyboard's replies and brings the memory file (when there is one) up
// to date.
void Answer(JackKeyboard& keyboard, Simulator::KeyboardSysEx& sysEx, Simulator::KeyboardMemoryFile* memoryFile) {
  QZ::Platform::Midi::MidiStreamParser wire;
  std::vector<uint8_t> message;
  std::vector<uint8_t> bytes;
  while (!keyboard.stopping) {
    if (sem_wait(&keyboard.wake) != 0) {
      continue; // EINTR
    }
    bytes.resize(jack_ringbuffer_read_space(keyboard.received));
    jack_ringbuffer_read(keyboard.received, reinterpret_cast<char*>(bytes.data()), bytes.size());
    for (const QZ::Platform::Midi::MidiStreamEvent& event : wire.Feed(bytes)) {
      if (event.kind != QZ::Platform::Midi::MidiStreamEvent::Kind::SysEx) {
        continue;
      }
      if (event.begins) {
        message.clear();
      }
      message.insert(message.end(), event.bytes.begin(), event.bytes.end());
      if (!event.ends) {
        continue;
      }
      for (const auto& reply : sysEx.Handle(message)) {
        const uint32_t size = static_cast<uint32_t>(reply.size());
        if (jack_ringbuffer_write_space(keyboard.replies) >= sizeof size + size) {
          jack_ringbuffer_write(keyboard.replies, reinterpret_cast<const char*>(&size), sizeof size);
          jack_ringbuffer_write(keyboard.replies, reinterpret_cast<const char*>(reply.data()), size);
        }
      }
      message.clear();
      if (memoryFile != nullptr && !memoryFile->Update()) {
        std::fprintf(stderr, "the memory file %s cannot be written\n", memoryFile->Path().c_str());
      }
    }
  }
}

int Run(const char* clientName, int32_t model, const char* memoryPath) {
  Simulator::KeyboardMemory memory(model);
  Simulator::KeyboardSysEx sysEx(memory, model);
  const std::string device = Simulator::KeyboardDeviceName(model);
  std::unique_ptr<Simulator::KeyboardMemoryFile> memoryFile;
  if (memoryPath != nullptr) {
    memoryFile = std::make_unique<Simulator::KeyboardMemoryFile>(memory, memoryPath);
    if (!memoryFile->Update()) {
      std::fprintf(stderr, "the memory file %s cannot be written\n", memoryPath);
      return 1;
    }
  }

  JackKeyboard keyboard;
  keyboard.received = jack_ringbuffer_create(kRingSize);
  keyboard.replies = jack_ringbuffer_create(kRingSize);
  sem_init(&keyboard.wake, 0, 0);
  std::thread worker([&] { Answer(keyboard, sysEx, memoryFile.get()); });

  int result = 1;
  jack_status_t status{};
  jack_client_t* client =
      jack_client_open(clientName, static_cast<jack_options_t>(JackNoStartServer | JackUseExactName), &status);
  if (client == nullptr) {
    std::fprintf(stderr, "no JACK client (status 0x%X)\n", static_cast<unsigned>(status));
  } else if (jack_set_process_callback(client, &Process, &keyboard) != 0 || jack_activate(client) != 0) {
    std::fprintf(stderr, "the JACK client cannot be activated\n");
    jack_client_close(client);
  } else {
    jack_port_t* const toEditor =
        jack_port_register(client, ("MIDIIN3 (" + device + ")").c_str(), JACK_DEFAULT_MIDI_TYPE, JackPortIsOutput, 0);
    jack_port_t* const fromEditor =
        jack_port_register(client, ("MIDIOUT3 (" + device + ")").c_str(), JACK_DEFAULT_MIDI_TYPE, JackPortIsInput, 0);
    if (toEditor == nullptr || fromEditor == nullptr) {
      std::fprintf(stderr, "the JACK ports cannot be registered\n");
    } else {
      keyboard.fromEditor = fromEditor;
      keyboard.toEditor = toEditor;
      std::printf("ready\n");
      std::fflush(stdout);
      char byte;
      while (read(STDIN_FILENO, &byte, 1) > 0) {
      }
      result = 0;
    }
    jack_client_close(client);
  }

  keyboard.stopping = true;
  sem_post(&keyboard.wake);
  worker.join();
  sem_destroy(&keyboard.wake);
  jack_ringbuffer_free(keyboard.received);
  jack_ringbuffer_free(keyboard.replies);
  return result;
}

} // namespace

int main(int argc, char** argv) {
  const bool withMemoryFile = argc == 5 && std::string(argv[3]) == "--memory-file";
  const std::string model = argc == 3 || withMemoryFile ? argv[2] : "";
  if (model != "0" && model != "1" && model != "2") {
    std::fprintf(stderr, "usage: %s <JACK client name> <model index 0, 1 or 2> [--memory-file <path>]\n", argv[0]);
    return 2;
  }
  return Run(argv[1], std::atoi(model.c_str()), withMemoryFile ? argv[4] : nullptr);
}
