#include "QZFramework/Application/ApplicationFolders.h"

#include <cstdlib>
#include <string_view>

namespace QZ {

WString MakeFolderNameSafe(const WString& name) {
  static constexpr std::u16string_view kUnsafe = u"\\/:*?\"<>|&;,^()";
  std::u16string safe(name.View());
  for (char16_t& unit : safe) {
    if (kUnsafe.find(unit) != std::u16string_view::npos) {
      unit = u'_';
    }
  }
  return WString(safe.c_str());
}

std::string GetUserApplicationFolder(const WString& company, const WString& product) {
  std::string base;
  if (const char* config = std::getenv("XDG_CONFIG_HOME"); config && *config) {
    base = config;
  } else if (const char* home = std::getenv("HOME"); home && *home) {
    base = std::string(home) + "/.config";
  } else {
    return {};
  }
  const NString companyFolder(MakeFolderNameSafe(company));
  const NString productFolder(MakeFolderNameSafe(product));
  return base + "/" + companyFolder.GetBuffer() + "/" + productFolder.GetBuffer();
}

} // namespace QZ
