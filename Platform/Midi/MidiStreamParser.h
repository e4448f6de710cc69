#pragma once
// Reads MIDI bytes as they come down a wire and tells what they complete: short
// messages (with running status) and pieces of system-exclusive messages. Real-time
// bytes (F8 to FF) stand alone wherever they appear, also inside a system-exclusive
// message; any other status byte ends such a message, with or without its F7. Every
// backend's capture reads its bytes through one, however its transport cut them into
// events, so that the same bytes give the same messages.

#include <cstdint>
#include <span>
#include <vector>

namespace QZ::Platform::Midi {

struct MidiStreamEvent {
  enum class Kind { Short, SysEx };
  Kind kind = Kind::Short;
  std::vector<uint8_t> bytes;
  // System-exclusive pieces: the first piece of a message begins it (F0 first); the last
  // ends it (F7 last, or cut off by a status byte; then possibly empty).
  bool begins = false;
  bool ends = false;
};

// Not synchronised: one wire, one thread at a time.
class MidiStreamParser {
public:
  // The events completed by these bytes, in wire order; an unfinished system-exclusive
  // message yields the piece received so far.
  std::vector<MidiStreamEvent> Feed(std::span<const uint8_t> bytes);
  // Forgets a message under way: the wire was disconnected.
  void Clear();

private:
  void StartMessage(uint8_t status, std::vector<MidiStreamEvent>& events);
  void AddDataByte(uint8_t data, std::vector<MidiStreamEvent>& events);
  void FlushSysEx(bool ends, std::vector<MidiStreamEvent>& events);

  bool mInSysEx = false;
  bool mPieceBegins = false;
  std::vector<uint8_t> mPiece;
  uint8_t mRunningStatus = 0;
  std::vector<uint8_t> mMessage;
  size_t mDataNeeded = 0;
};

} // namespace QZ::Platform::Midi
