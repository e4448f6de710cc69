#pragma once
// Byte streams a keyboard's 153-byte reply may arrive as, cut into transport events,
// with the messages the MIDI standard reads from them: real-time bytes taken out of the
// system-exclusive message, a message cut off by the next status byte, two in one event.
// The virtual backend's test and the JACK test play the same ones, so both backends are
// held to the same reading.

#include <iomanip>
#include <memory>
#include <ostream>
#include <sstream>
#include <string>
#include <vector>

#include "Platform/Midi/MidiTestSupport.h"
#include "Platform/Midi/Virtual/VirtualMidiBackend.h"

namespace QZTest {

// A captured message without its time stamp: a short message, or one lent buffer.
struct Delivered {
  bool isShort = false;
  Bytes bytes;
  bool operator==(const Delivered&) const = default;
};

inline void PrintTo(const Delivered& delivered, std::ostream* out) {
  *out << (delivered.isShort ? "short" : "long") << "[" << delivered.bytes.size() << "]";
  for (const uint8_t byte : delivered.bytes) {
    *out << ' ' << std::hex << std::setw(2) << std::setfill('0') << int(byte) << std::dec;
  }
}

struct WireScenario {
  std::string name;
  std::vector<Bytes> events;
  std::vector<Delivered> expected;
};

// Ends each scenario; it appears in none of them.
inline const Bytes kWireMarker = {0xF6};

inline std::vector<Delivered> DeliveredBefore(CaptureRecorder& recorder, const Bytes& marker = kWireMarker) {
  std::vector<Delivered> delivered;
  for (const CaptureRecorder::Capture& capture : recorder.TakeUpTo(marker)) {
    delivered.push_back({capture.isShort, capture.bytes});
  }
  return delivered;
}

inline std::vector<WireScenario> ReplyWireScenarios() {
  const Bytes reply = SysEx(153, 3);
  const Bytes next = SysEx(153, 9);
  const auto part = [](const Bytes& bytes, size_t from, size_t to) {
    return Bytes(bytes.begin() + long(from), bytes.begin() + long(to));
  };
  const auto join = [](Bytes head, const Bytes& tail) {
    head.insert(head.end(), tail.begin(), tail.end());
    return head;
  };
  const auto name = [](const std::string& text, size_t at) {
    std::ostringstream out;
    out << text << " at " << at;
    return out.str();
  };
  const Delivered whole{false, reply};

  std::vector<WireScenario> scenarios{{"a reply in one event", {reply}, {whole}},
                                      {"two replies in one event", {join(reply, next)}, {whole, {false, next}}}};
  for (size_t at = 1; at < reply.size(); ++at) {
    scenarios.push_back({name("a reply split", at), {part(reply, 0, at), part(reply, at, reply.size())}, {whole}});
  }
  for (const uint8_t realTime : {0xF8, 0xFA, 0xFE}) {
    for (const size_t at : {1, 7, 100, 152}) {
      Bytes inside = reply;
      inside.insert(inside.begin() + long(at), realTime);
      const std::vector<Delivered> expected{{true, {realTime}}, whole};
      scenarios.push_back(
          {name("real-time " + std::to_string(realTime) + " inside the event", at), {inside}, expected});
      scenarios.push_back({name("real-time " + std::to_string(realTime) + " as an event of its own", at),
                           {part(reply, 0, at), {realTime}, part(reply, at, reply.size())},
                           expected});
    }
  }
  for (const size_t at : {1, 7, 100, 152}) {
    const Bytes cut = part(reply, 0, at);
    const std::vector<Delivered> expected{{false, cut}, {false, next}};
    scenarios.push_back({name("a reply cut, the next in the same event,", at), {join(cut, next)}, expected});
    scenarios.push_back({name("a reply cut, the next in an event of its own,", at), {cut, next}, expected});
  }

  // A status byte inside ends the message; the data bytes after it are note-offs under
  // running status, and the last F7 ends nothing.
  Bytes noteOff = reply;
  noteOff[50] = 0x85;
  std::vector<Delivered> noteOffs{{false, part(reply, 0, 50)}};
  for (size_t at = 51; at + 1 < reply.size() - 1; at += 2) {
    noteOffs.push_back({true, {0x85, reply[at], reply[at + 1]}});
  }
  scenarios.push_back({"a status byte inside a reply", {noteOff}, noteOffs});
  Bytes early = reply;
  early[50] = 0xF7;
  scenarios.push_back({"an F7 inside a reply", {early}, {{false, part(early, 0, 51)}}});
  return scenarios;
}

// An input open on a virtual device of its own, its buffers lent again as they come back.
class VirtualWire {
public:
  VirtualWire() {
    EXPECT_EQ(mBackend.OpenInput(0, mRecorder, mInput), QZ::Platform::Midi::MidiResult::Ok);
    if (mInput) {
      mRecorder.LendBuffers(*mInput);
      EXPECT_EQ(mInput->Start(), QZ::Platform::Midi::MidiResult::Ok);
    }
  }

  // Puts each event on the wire as one send, then the marker; what was captured.
  std::vector<Delivered> Play(const std::vector<Bytes>& events) {
    for (const Bytes& event : events) {
      EXPECT_EQ(mDevice->Send(event), QZ::Platform::Midi::MidiResult::Ok);
    }
    EXPECT_EQ(mDevice->Send(kWireMarker), QZ::Platform::Midi::MidiResult::Ok);
    return DeliveredBefore(mRecorder);
  }

private:
  QZ::Platform::Midi::VirtualMidiRegistry mRegistry;
  std::unique_ptr<QZ::Platform::Midi::VirtualMidiInputDevice> mDevice = mRegistry.RegisterInput("WIRE");
  QZ::Platform::Midi::VirtualMidiBackend mBackend{mRegistry};
  CaptureRecorder mRecorder;
  std::unique_ptr<QZ::Platform::Midi::MidiInput> mInput; // last: goes before the recorder
};

} // namespace QZTest
