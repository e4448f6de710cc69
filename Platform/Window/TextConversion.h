#pragma once
// UTF-16 (the framework's text) to UTF-8 (what SDL and files take) and back. Malformed
// input (a lone surrogate, a bad byte sequence) becomes U+FFFD; nothing is dropped.
//
//   SDL_SetWindowTitle(window, ToUtf8(u"Preset Editor").c_str());

#include <string>
#include <string_view>

namespace QZ::Platform::Window {

std::string ToUtf8(std::u16string_view text);
std::u16string ToUtf16(std::string_view text);

} // namespace QZ::Platform::Window
