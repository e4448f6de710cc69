#pragma once
// UTF-16 to UTF-8 for every text this layer hands to the outside (file names,
// fontconfig, Cairo). Invalid UTF-16 never produces invalid UTF-8: a lone surrogate
// becomes U+FFFD, a surrogate pair becomes one four-byte sequence.

#include <string>
#include <string_view>

namespace QZ::Platform::Graphics {

// Decodes the code point at text[index] and advances index past it (two units for a
// surrogate pair, one otherwise). A lone surrogate gives U+FFFD. index < text.size().
char32_t NextCodePoint(std::u16string_view text, size_t& index);

// Appends the UTF-8 form of a code point (at most U+10FFFF, no surrogates) to out.
void AppendUtf8(char32_t codePoint, std::string& out);

std::string ToUtf8(std::u16string_view text);

} // namespace QZ::Platform::Graphics
