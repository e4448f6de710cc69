#include "QZFramework/Services/Trace/DebugBuffer.h"

#include <algorithm>
#include <type_traits>

#include "QZFramework/Utilities/Storage/UnicodeConvert.h"

namespace QZ {

namespace {

std::string ToUtf8(const char16_t* begin, const char16_t* end) {
  std::string text(MeasureUTF16toUTF8(begin, end, ConversionFlags::Lenient), '\0');
  char* target = text.data();
  // Lenient into a measured buffer: cannot fail.
  (void)ConvertUTF16toUTF8(&begin, end, &target, target + text.size(), ConversionFlags::Lenient);
  text.resize(size_t(target - text.data()));
  return text;
}

bool IsHighSurrogate(char16_t unit) { return unit >= 0xD800 && unit <= 0xDBFF; }

} // namespace

template <class C, class Traits>
basic_debugbuf<C, Traits>::basic_debugbuf(DebugOutputSink& sink) : mSink(sink) {
  this->setp(mBuffer, mBuffer + kBlockSize);
}

template <class C, class Traits>
std::streamsize basic_debugbuf<C, Traits>::xsputn(const C* text, std::streamsize count) {
  std::streamsize written = 0;
  while (written < count) {
    if (this->pptr() - this->pbase() >= kBlockSize) {
      Flush(true);
    }
    const std::streamsize room = kBlockSize - (this->pptr() - this->pbase());
    const std::streamsize taken = std::min(room, count - written);
    Traits::copy(this->pptr(), text + written, size_t(taken));
    this->pbump(int(taken));
    written += taken;
  }
  return count;
}

template <class C, class Traits>
typename basic_debugbuf<C, Traits>::int_type basic_debugbuf<C, Traits>::overflow(int_type c) {
  Flush(true);
  if (!Traits::eq_int_type(c, Traits::eof())) {
    *this->pptr() = Traits::to_char_type(c);
    this->pbump(1);
  }
  return Traits::not_eof(c);
}

template <class C, class Traits>
int basic_debugbuf<C, Traits>::sync() {
  Flush(false);
  return 0;
}

template <class C, class Traits>
void basic_debugbuf<C, Traits>::Flush(bool atBlockEnd) {
  C* end = this->pptr();
  if constexpr (std::is_same_v<C, char16_t>) {
    const bool holdLast = atBlockEnd && end > this->pbase() && IsHighSurrogate(end[-1]);
    if (holdLast) {
      --end;
    }
    mSink.Emit(ToUtf8(this->pbase(), end));
    this->setp(mBuffer, mBuffer + kBlockSize);
    if (holdLast) {
      mBuffer[0] = *end;
      this->pbump(1);
    }
  } else {
    mSink.Emit(std::string_view(this->pbase(), size_t(end - this->pbase())));
    this->setp(mBuffer, mBuffer + kBlockSize);
  }
}

template class basic_debugbuf<char>;
template class basic_debugbuf<char16_t>;

} // namespace QZ
