#pragma once
// The user's language as a Windows language id, from the locale that the environment
// names for messages: LC_ALL, else LC_MESSAGES, else LANG (the first that is set and not
// empty), as the C library ranks them.
//
//   uint32_t id = QZ::GetUserDefaultLanguageId();          // LANG=de_DE.UTF-8: 0x0407
//
// Languages: en 0x0409, de 0x0407, es 0x0C0A, fr 0x040C, it 0x0410, ja 0x0411, ko 0x0412;
// Chinese by territory: zh_TW and zh_HK 0x0404, zh_CN and zh_SG 0x0804; anything else
// (C, POSIX, another language, nothing set) 0x0409. Any thread.

#include <cstdint>
#include <string_view>

namespace QZ {

// The id of a locale name: language[_territory][.codeset][@modifier].
uint32_t LanguageIdFromLocaleName(std::string_view locale);

// The id of the environment's message locale.
uint32_t GetUserDefaultLanguageId();

} // namespace QZ
