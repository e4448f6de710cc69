#include "QZFramework/Services/Trace/WideStderr.h"

#include <cstdio>
#include <streambuf>
#include <string>

#include "QZFramework/Utilities/Storage/UnicodeConvert.h"

namespace QZ {

namespace {

class Utf8StderrBuffer : public std::basic_streambuf<char16_t> {
protected:
  std::streamsize xsputn(const char16_t* text, std::streamsize count) override {
    std::u16string units;
    units.reserve(size_t(count) + 1);
    if (mPendingHigh != 0) {
      units += mPendingHigh;
      mPendingHigh = 0;
    }
    units.append(text, size_t(count));
    if (!units.empty() && units.back() >= 0xD800 && units.back() <= 0xDBFF) {
      mPendingHigh = units.back();
      units.pop_back();
    }
    const char16_t* begin = units.data();
    const char16_t* end = begin + units.size();
    std::string bytes(MeasureUTF16toUTF8(begin, end, ConversionFlags::Lenient), '\0');
    char* target = bytes.data();
    // Lenient into a measured buffer: cannot fail.
    (void)ConvertUTF16toUTF8(&begin, end, &target, target + bytes.size(), ConversionFlags::Lenient);
    std::fwrite(bytes.data(), 1, size_t(target - bytes.data()), stderr);
    return count;
  }

  int_type overflow(int_type c) override {
    if (!traits_type::eq_int_type(c, traits_type::eof())) {
      const char16_t unit = traits_type::to_char_type(c);
      xsputn(&unit, 1);
    }
    return traits_type::not_eof(c);
  }

  int sync() override { return std::fflush(stderr) == 0 ? 0 : -1; }

private:
  char16_t mPendingHigh = 0;
};

} // namespace

std::basic_ostream<char16_t>& WideStderr() {
  // Never destroyed: threads that end late may still write to it.
  static auto* buffer = new Utf8StderrBuffer;
  static auto* stream = new std::basic_ostream<char16_t>(buffer);
  return *stream;
}

} // namespace QZ
