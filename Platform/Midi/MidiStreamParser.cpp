#include "Platform/Midi/MidiStreamParser.h"

namespace QZ::Platform::Midi {

namespace {

constexpr uint8_t kSysExStart = 0xF0;
constexpr uint8_t kSysExEnd = 0xF7;
constexpr uint8_t kFirstRealTime = 0xF8;

size_t DataBytesAfter(uint8_t status) {
  switch (status & 0xF0) {
  case 0xC0:
  case 0xD0:
    return 1;
  case 0xF0:
    return status == 0xF2 ? 2 : (status == 0xF1 || status == 0xF3) ? 1 : 0;
  default:
    return 2;
  }
}

} // namespace

std::vector<MidiStreamEvent> MidiStreamParser::Feed(std::span<const uint8_t> bytes) {
  std::vector<MidiStreamEvent> events;
  for (const uint8_t byte : bytes) {
    if (byte >= kFirstRealTime) {
      if (mInSysEx && !mPiece.empty()) {
        FlushSysEx(false, events);
      }
      events.push_back({MidiStreamEvent::Kind::Short, {byte}});
      continue;
    }
    if (mInSysEx) {
      if (byte < 0x80 || byte == kSysExEnd) {
        mPiece.push_back(byte);
        if (byte == kSysExEnd) {
          FlushSysEx(true, events);
        }
        continue;
      }
      FlushSysEx(true, events); // cut off by the next status byte
    }
    if (byte >= 0x80) {
      StartMessage(byte, events);
    } else {
      AddDataByte(byte, events);
    }
  }
  if (mInSysEx && !mPiece.empty()) {
    FlushSysEx(false, events);
  }
  return events;
}

void MidiStreamParser::Clear() {
  mInSysEx = false;
  mPieceBegins = false;
  mPiece.clear();
  mRunningStatus = 0;
  mMessage.clear();
}

void MidiStreamParser::StartMessage(uint8_t status, std::vector<MidiStreamEvent>& events) {
  mMessage.clear();
  mRunningStatus = status < 0xF0 ? status : 0;
  if (status == kSysExStart) {
    mInSysEx = true;
    mPieceBegins = true;
    mPiece.assign(1, status);
    return;
  }
  if (status == kSysExEnd) {
    return; // an F7 outside a system-exclusive message means nothing
  }
  mMessage.push_back(status);
  mDataNeeded = DataBytesAfter(status);
  if (mDataNeeded == 0) {
    events.push_back({MidiStreamEvent::Kind::Short, mMessage});
    mMessage.clear();
  }
}

void MidiStreamParser::AddDataByte(uint8_t data, std::vector<MidiStreamEvent>& events) {
  if (mMessage.empty()) {
    if (mRunningStatus == 0) {
      return; // no status to attach it to
    }
    mMessage.push_back(mRunningStatus);
    mDataNeeded = DataBytesAfter(mRunningStatus);
  }
  mMessage.push_back(data);
  if (mMessage.size() == mDataNeeded + 1) {
    events.push_back({MidiStreamEvent::Kind::Short, mMessage});
    mMessage.clear();
  }
}

void MidiStreamParser::FlushSysEx(bool ends, std::vector<MidiStreamEvent>& events) {
  events.push_back({MidiStreamEvent::Kind::SysEx, std::move(mPiece), mPieceBegins, ends});
  mPiece.clear();
  mPieceBegins = false;
  mInSysEx = !ends;
}

} // namespace QZ::Platform::Midi
