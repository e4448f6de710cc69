#pragma once
// QZ::DebugTraceWriter and QZ::DebugTraceWideWriter: one locked write to the debug
// trace, flushed when the writer goes (see DebugTrace.h).
//
//   QZ::DebugTrace::Get().Narrow() << "late by " << ms << " ms\n";
//
// A writer holds the trace's lock (recursive) from construction to destruction, so
// keep it short and never hand it to another thread. The narrow writer takes anything
// a std::ostream takes, and QZ::WString as UTF-8; the wide writer takes text only.

#include <mutex>
#include <ostream>
#include <string_view>

#include "QZFramework/Utilities/Storage/StringT.h"

namespace QZ {

class DebugTraceWriter {
public:
  DebugTraceWriter(std::recursive_mutex& lock, std::ostream& stream) : mHold(lock), mStream(stream) {
    // A stream left failed by an earlier write would swallow this one.
    mStream.clear();
  }
  DebugTraceWriter(const DebugTraceWriter&) = delete;
  DebugTraceWriter& operator=(const DebugTraceWriter&) = delete;
  ~DebugTraceWriter() { mStream.flush(); }

  template <class T>
  DebugTraceWriter& operator<<(const T& value) {
    mStream << value;
    return *this;
  }
  DebugTraceWriter& operator<<(const WString& text) {
    mStream << text.ToUTF8().GetBuffer();
    return *this;
  }
  DebugTraceWriter& operator<<(std::ostream& (*manipulator)(std::ostream&)) {
    manipulator(mStream);
    return *this;
  }

  std::ostream& Stream() { return mStream; }

private:
  std::unique_lock<std::recursive_mutex> mHold;
  std::ostream& mStream;
};

class DebugTraceWideWriter {
public:
  DebugTraceWideWriter(std::recursive_mutex& lock, std::basic_ostream<char16_t>& stream)
      : mHold(lock), mStream(stream) {
    mStream.clear();
  }
  DebugTraceWideWriter(const DebugTraceWideWriter&) = delete;
  DebugTraceWideWriter& operator=(const DebugTraceWideWriter&) = delete;
  ~DebugTraceWideWriter() { mStream.flush(); }

  DebugTraceWideWriter& operator<<(std::u16string_view text) {
    mStream.write(text.data(), std::streamsize(text.size()));
    return *this;
  }
  DebugTraceWideWriter& operator<<(const char16_t* text) { return *this << std::u16string_view(text); }
  DebugTraceWideWriter& operator<<(const WString& text) { return *this << text.View(); }
  DebugTraceWideWriter& operator<<(char16_t unit) { return *this << std::u16string_view(&unit, 1); }

private:
  std::unique_lock<std::recursive_mutex> mHold;
  std::basic_ostream<char16_t>& mStream;
};

} // namespace QZ
