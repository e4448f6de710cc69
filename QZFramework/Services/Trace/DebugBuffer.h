#pragma once
// QZ::basic_debugbuf and QZ::basic_dostream: the debug trace's stream buffers and the
// output streams that own them, narrow (UTF-8) and wide (UTF-16).
//
//   QZ::basic_dostream<char> out(sink);
//   out << "connected" << std::endl;       // the flush hands "connected\n" to sink.Emit
//
// A buffer collects up to 1023 characters; it hands its text to the sink when it is
// synced (flush, std::endl) and whenever a write finds it full, so a long write
// arrives as blocks of at most 1023 characters, in order. Wide text reaches the sink as
// UTF-8; a surrogate pair that a full buffer would split is kept whole for the next
// block.
//
// Not synchronised: one writer at a time (the trace's lock serialises them). The
// sink must outlive the buffer.

#include <cstdint>
#include <ostream>
#include <streambuf>
#include <string>
#include <string_view>

namespace QZ {

// Where a debug buffer's blocks go.
class DebugOutputSink {
public:
  // One flushed block: UTF-8, no NUL, possibly empty. Called on the writing thread.
  virtual void Emit(std::string_view text) = 0;

protected:
  ~DebugOutputSink() = default;
};

template <class C, class Traits = std::char_traits<C>>
class basic_debugbuf : public std::basic_streambuf<C, Traits> {
public:
  using int_type = typename Traits::int_type;
  // Characters a block holds: the put area is 1024 with the last place kept for a NUL.
  static constexpr int kBlockSize = 1023;

  explicit basic_debugbuf(DebugOutputSink& sink);
  basic_debugbuf(const basic_debugbuf&) = delete;
  basic_debugbuf& operator=(const basic_debugbuf&) = delete;

protected:
  std::streamsize xsputn(const C* text, std::streamsize count) override;
  int_type overflow(int_type c) override;
  // Hands the buffered text to the sink and empties the buffer; 0.
  int sync() override;

private:
  // atBlockEnd: the flush makes room in a full buffer, so a split pair is held back.
  void Flush(bool atBlockEnd);

  C mBuffer[kBlockSize + 1];
  DebugOutputSink& mSink;
};

template <class C, class Traits = std::char_traits<C>>
class basic_dostream : public std::basic_ostream<C, Traits> {
public:
  explicit basic_dostream(DebugOutputSink& sink) : std::basic_ostream<C, Traits>(nullptr), mBuffer(sink) {
    this->rdbuf(&mBuffer);
  }

private:
  basic_debugbuf<C, Traits> mBuffer;
};

extern template class basic_debugbuf<char>;
extern template class basic_debugbuf<char16_t>;

} // namespace QZ
