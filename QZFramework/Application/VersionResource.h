#pragma once
// A module's version resource as QZ::Version reads it: its translations (the entries of
// "\VarFileInfo\Translation": language, then code page) and its string values by query
// key ("\StringFileInfo\000004b0\ProductName").
//
//   const QZ::VersionResource& resource = QZ::GetProgramVersionResource();
//   const std::u16string* name = resource.Query(QZ::MakeStringFileInfoKey({0x0000, 0x04B0}, u"ProductName"));
//
// Constant once made: any thread may read it.

#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace QZ {

struct VersionTranslation {
  uint16_t language = 0;
  uint16_t codePage = 0;
};

struct VersionResource {
  std::vector<VersionTranslation> translations;
  std::map<std::u16string, std::u16string, std::less<>> values; // by query key

  // The value of a query key; null when the resource has none.
  const std::u16string* Query(std::u16string_view key) const;
};

// "\StringFileInfo\" + the language and the code page, four lower-case hexadecimal digits
// each, + "\" + name.
std::u16string MakeStringFileInfoKey(VersionTranslation translation, std::u16string_view name);

// A resource with a string table per translation, each holding the same values (name,
// text).
VersionResource MakeVersionResource(std::vector<VersionTranslation> translations,
                                    const std::vector<std::pair<std::u16string_view, std::u16string_view>>& values);

// The program's own, compiled in from the definitions of cmake/QZVersion.cmake.
const VersionResource& GetProgramVersionResource();
// A value of its first translation's table ("ProductName"); empty when missing.
std::u16string GetProgramVersionValue(std::u16string_view name);

} // namespace QZ
