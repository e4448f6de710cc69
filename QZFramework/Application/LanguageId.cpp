#include "QZFramework/Application/LanguageId.h"

#include <cstdlib>

namespace QZ {

namespace {

constexpr uint32_t kEnglishUnitedStates = 0x0409;

struct LanguageEntry {
  std::string_view language;
  std::string_view territory; // empty: any
  uint32_t id;
};

constexpr LanguageEntry kLanguages[] = {
    {"en", "", 0x0409},   {"de", "", 0x0407},   {"es", "", 0x0C0A},   {"fr", "", 0x040C},
    {"it", "", 0x0410},   {"ja", "", 0x0411},   {"ko", "", 0x0412},   {"zh", "TW", 0x0404},
    {"zh", "HK", 0x0404}, {"zh", "CN", 0x0804}, {"zh", "SG", 0x0804},
};

} // namespace

uint32_t LanguageIdFromLocaleName(std::string_view locale) {
  locale = locale.substr(0, locale.find_first_of(".@"));
  const size_t separator = locale.find('_');
  const std::string_view language = locale.substr(0, separator);
  const std::string_view territory = separator == std::string_view::npos ? "" : locale.substr(separator + 1);
  for (const LanguageEntry& entry : kLanguages) {
    if (entry.language == language && (entry.territory.empty() || entry.territory == territory)) {
      return entry.id;
    }
  }
  return kEnglishUnitedStates;
}

uint32_t GetUserDefaultLanguageId() {
  for (const char* variable : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
    const char* value = std::getenv(variable);
    if (value && *value) {
      return LanguageIdFromLocaleName(value);
    }
  }
  return kEnglishUnitedStates;
}

} // namespace QZ
