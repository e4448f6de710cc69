#include "QZFramework/Application/VersionResource.h"

namespace QZ {

const std::u16string* VersionResource::Query(std::u16string_view key) const {
  auto found = values.find(key);
  return found == values.end() ? nullptr : &found->second;
}

std::u16string MakeStringFileInfoKey(VersionTranslation translation, std::u16string_view name) {
  static constexpr char16_t kDigits[] = u"0123456789abcdef";
  std::u16string key = u"\\StringFileInfo\\";
  for (uint16_t word : {translation.language, translation.codePage}) {
    for (int shift = 12; shift >= 0; shift -= 4) {
      key += kDigits[(word >> shift) & 0xF];
    }
  }
  key += u'\\';
  key += name;
  return key;
}

VersionResource MakeVersionResource(std::vector<VersionTranslation> translations,
                                    const std::vector<std::pair<std::u16string_view, std::u16string_view>>& values) {
  VersionResource resource;
  for (const VersionTranslation& translation : translations) {
    for (const auto& [name, text] : values) {
      resource.values.emplace(MakeStringFileInfoKey(translation, name), text);
    }
  }
  resource.translations = std::move(translations);
  return resource;
}

std::u16string GetProgramVersionValue(std::u16string_view name) {
  const VersionResource& resource = GetProgramVersionResource();
  if (resource.translations.empty()) {
    return {};
  }
  const std::u16string* value = resource.Query(MakeStringFileInfoKey(resource.translations.front(), name));
  return value ? *value : std::u16string();
}

} // namespace QZ
