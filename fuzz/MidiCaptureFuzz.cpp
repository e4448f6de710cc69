// Feeds untrusted bytes, cut into transport events at random places, through the whole
// capture path: a device's wire, the backend's dispatcher and buffers, the capture port
// that joins system-exclusive messages, and the communicator's delivery. Every byte 0xF6
// of the input marks the end of an event and is not sent. Beyond the sanitizers'
// findings it traps when a delivered system-exclusive message does not start with F0 or
// holds a byte of 0x80 or more after it (but an F7 at its end), when the
// system-exclusive messages are not those the MIDI standard reads from the whole stream
// (real-time bytes left out, a message cut off by the next status byte delivered as far
// as it got), or when anything else arrives than the stream read at once would deliver.
// Each delivery costs a hand-over between threads, so an input is sent only up to its
// 16th message.

#include <algorithm>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <mutex>
#include <utility>
#include <vector>

#include "Platform/Midi/MidiStreamParser.h"
#include "Platform/Midi/Virtual/VirtualMidiBackend.h"
#include "QZFramework/Services/Midi/MidiCaptureNotificationData.h"
#include "QZFramework/Services/Midi/MidiCapturePort.h"
#include "QZFramework/Services/Midi/MidiCommInterface.h"
#include "QZFramework/Services/Midi/MidiPortResults.h"

namespace {

using Bytes = std::vector<uint8_t>;

constexpr uint8_t kEventEnd = 0xF6;
// Sent after each run: a status byte, so it also ends a message left unfinished.
constexpr uint8_t kMarker = 0xF6;
constexpr size_t kMaxInput = 60000; // below the capture port's size limit
constexpr size_t kMaxMessages = 16;

using QZ::Platform::Midi::MidiStreamEvent;
using QZ::Platform::Midi::MidiStreamParser;

void Check(bool condition) {
  if (!condition) {
    __builtin_trap();
  }
}

// Collects the captures delivered on the communicator's thread, up to the marker.
class Collector final : public QZ::LNotificationClient {
public:
  QZ::QZResult ReceiveNotification(const QZ::RCPtr<QZ::LNotificationDistributor>&,
                                   const QZ::RCPtr<QZ::LNotification>& notification) override {
    const auto data = notification->GetParameterAs<QZ::LMidiCaptureNotificationData>();
    const auto* bytes = reinterpret_cast<const uint8_t*>(data->GetBytes().GetData());
    std::lock_guard hold(mMutex);
    if (data->GetCount() == 1 && bytes[0] == kMarker) {
      mMarked = true;
      mChanged.notify_all();
    } else {
      mCaptures.emplace_back(bytes, bytes + data->GetCount());
    }
    return QZ::QZ_OK;
  }

  std::vector<Bytes> TakeUpToMarker() {
    std::unique_lock hold(mMutex);
    mChanged.wait(hold, [&] { return mMarked; });
    mMarked = false;
    return std::exchange(mCaptures, {});
  }

private:
  std::mutex mMutex;
  std::condition_variable mChanged;
  std::vector<Bytes> mCaptures;
  bool mMarked = false;
};

// One device, its port and a listener for the whole run (never freed: the fuzzer ends
// the process without tearing down).
struct Bench {
  Bench() {
    QZ::MidiCommOptions options;
    options.backend = std::make_shared<QZ::Platform::Midi::VirtualMidiBackend>(registry);
    comm = QZ::LMidiCommInterface::Create(options);
    Check(comm->OpenCapturePort(QZ::WString(u"FUZZ"), port) != nullptr);
    collector->RegisterNotification(comm, QZ::kMidiDataCapturedName);
  }

  std::vector<Bytes> Deliver(const std::vector<Bytes>& events) {
    for (const Bytes& event : events) {
      Check(device->Send(event) == QZ::Platform::Midi::MidiResult::Ok);
    }
    Check(device->Send(Bytes{kMarker}) == QZ::Platform::Midi::MidiResult::Ok);
    return collector->TakeUpToMarker();
  }

  QZ::Platform::Midi::VirtualMidiRegistry registry;
  std::unique_ptr<QZ::Platform::Midi::VirtualMidiInputDevice> device = registry.RegisterInput("FUZZ");
  QZ::RCPtr<QZ::LMidiCommInterface> comm;
  QZ::RCPtr<QZ::LMidiCapturePort> port;
  QZ::RCPtr<Collector> collector{new Collector};
};

// The system-exclusive messages of a stream as the standard reads them, the marker
// ending it.
std::vector<Bytes> SysExOf(const Bytes& stream) {
  std::vector<Bytes> messages;
  Bytes message;
  bool inSysEx = false;
  const auto read = [&](uint8_t byte) {
    if (byte >= 0xF8) {
      return;
    }
    if (inSysEx) {
      if (byte < 0x80 || byte == 0xF7) {
        message.push_back(byte);
        if (byte < 0x80) {
          return;
        }
      }
      messages.push_back(message);
      inSysEx = false;
      if (byte == 0xF7) {
        return;
      }
    }
    if (byte == 0xF0) {
      inSysEx = true;
      message.assign(1, byte);
    }
  };
  for (const uint8_t byte : stream) {
    read(byte);
  }
  read(kMarker);
  return messages;
}

// What the port delivers for the stream read at once, the marker ending it: short
// messages as long as the port takes them, system-exclusive messages when they end.
std::vector<Bytes> ExpectedOf(Bytes stream) {
  stream.push_back(kMarker);
  std::vector<Bytes> expected;
  Bytes message;
  MidiStreamParser parser;
  for (const MidiStreamEvent& event : parser.Feed(stream)) {
    if (event.kind == MidiStreamEvent::Kind::Short) {
      const size_t length = std::min<size_t>(event.bytes.size(), QZ::ShortMessageLength(event.bytes[0]));
      expected.emplace_back(event.bytes.begin(), event.bytes.begin() + long(length));
      continue;
    }
    if (event.begins) {
      message.clear();
    }
    message.insert(message.end(), event.bytes.begin(), event.bytes.end());
    if (event.ends) {
      expected.push_back(message);
    }
  }
  expected.pop_back(); // the marker
  return expected;
}

// The input's bytes up to the one that completes its kMaxMessages-th message.
size_t Affordable(const uint8_t* data, size_t size) {
  MidiStreamParser parser;
  size_t messages = 0;
  for (size_t i = 0; i < size; ++i) {
    if (data[i] == kEventEnd) {
      continue;
    }
    for (const MidiStreamEvent& event : parser.Feed(std::span(data + i, 1))) {
      messages += event.kind == MidiStreamEvent::Kind::Short || event.ends ? 1 : 0;
    }
    if (messages >= kMaxMessages) {
      return i + 1;
    }
  }
  return size;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size > kMaxInput) {
    return 0;
  }
  static Bench& bench = *new Bench;
  size = Affordable(data, size);
  std::vector<Bytes> events(1);
  Bytes stream;
  for (size_t i = 0; i < size; ++i) {
    if (data[i] == kEventEnd) {
      events.emplace_back();
    } else {
      events.back().push_back(data[i]);
      stream.push_back(data[i]);
    }
  }
  std::erase_if(events, [](const Bytes& event) { return event.empty(); });

  const std::vector<Bytes> delivered = bench.Deliver(events);
  std::vector<Bytes> sysEx;
  for (const Bytes& message : delivered) {
    Check(!message.empty());
    if (message[0] != 0xF0) {
      Check(message[0] >= 0x80 && message[0] != 0xF7 && message.size() <= 3);
      continue;
    }
    for (size_t i = 1; i < message.size(); ++i) {
      Check(message[i] < 0x80 || (message[i] == 0xF7 && i + 1 == message.size()));
    }
    sysEx.push_back(message);
  }
  Check(sysEx == SysExOf(stream));
  Check(delivered == ExpectedOf(stream));
  return 0;
}
