#pragma once
// The clipboard's text between UTF-16 (what its callers hold) and UTF-8 (what SDL keeps).
// Malformed input becomes U+FFFD: an unpaired surrogate, or each byte of a byte sequence
// that is no UTF-8 character. Nothing is dropped.
//
//   ToUtf8(u"\xD83D" u"a");     // "\xEF\xBF\xBD" "a": the lone half replaced
//   ToUtf16("\xC3\xA9");        // u"\x00E9"

#include <string>
#include <string_view>

namespace QZ::Platform::Clipboard {

std::string ToUtf8(std::u16string_view text);
std::u16string ToUtf16(std::string_view text);

} // namespace QZ::Platform::Clipboard
