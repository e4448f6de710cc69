#include "QZFramework/Application/Version.h"

#include <unistd.h>

#include <array>
#include <stdexcept>

#include "QZFramework/Application/ErrorText.h"
#include "QZFramework/Application/LanguageId.h"
#include "QZFramework/ObjectBase/Exception.h"

namespace QZ {

namespace {

[[noreturn]] void ThrowVersionError(int32_t code, int line) {
  const NString text(FormatErrorText(code));
  Throw<std::runtime_error>({"QZ::Version::Version", "Application/Version", line}, text.View());
}

uint16_t PrimaryLanguage(uint16_t language) { return language & 0x3FF; }

} // namespace

std::u16string VersionResourceSource::GetModuleFileName() const {
  std::array<char, 4096> path{};
  const ssize_t length = ::readlink("/proc/self/exe", path.data(), path.size() - 1);
  if (length <= 0) {
    return {};
  }
  return std::u16string(WString(path.data()).View());
}

uint32_t VersionResourceSource::GetVersionInfoSize(std::u16string_view) const {
  const VersionResource& resource = GetProgramVersionResource();
  size_t size = resource.translations.size() * sizeof(VersionTranslation);
  for (const auto& [key, value] : resource.values) {
    size += (key.size() + value.size()) * sizeof(char16_t);
  }
  return uint32_t(size);
}

bool VersionResourceSource::GetVersionInfo(std::u16string_view, VersionResource& data) const {
  data = GetProgramVersionResource();
  return true;
}

uint16_t VersionResourceSource::GetUserDefaultLangId() const { return uint16_t(GetUserDefaultLanguageId()); }

uint16_t VersionResourceSource::GetSystemDefaultLangId() const { return uint16_t(GetUserDefaultLanguageId()); }

Version::Version() : Version(VersionResourceSource()) {}

Version::Version(const VersionResourceSource& source) {
  std::u16string path = source.GetModuleFileName();
  if (path.empty()) {
    ThrowVersionError(903, 148);
  }
  const std::u16string fileName = path.substr(path.find_last_of(u'/') + 1);
  if (source.GetVersionInfoSize(fileName) == 0) {
    ThrowVersionError(902, 143);
  }
  mData = std::make_unique<VersionResource>();
  if (!source.GetVersionInfo(fileName, *mData)) {
    ThrowVersionError(901, 133);
  }
  const std::vector<VersionTranslation>& translations = mData->translations;
  if (translations.empty()) {
    ThrowVersionError(900, 128);
  }
  auto findPrimary = [&](uint16_t language) -> const VersionTranslation* {
    for (const VersionTranslation& translation : translations) {
      if (PrimaryLanguage(translation.language) == PrimaryLanguage(language)) {
        return &translation;
      }
    }
    return nullptr;
  };
  const VersionTranslation* chosen = findPrimary(source.GetUserDefaultLangId());
  if (!chosen) {
    chosen = findPrimary(source.GetSystemDefaultLangId());
  }
  if (!chosen) {
    chosen = findPrimary(9);
  }
  mTranslation = chosen ? *chosen : translations.front();
}

Version::~Version() = default;

WString Version::GetStringFileInfo(std::string_view name) const {
  if (!mData) {
    return WString();
  }
  const std::u16string wideName(WString(std::string(name).c_str()).View());
  const std::u16string* value = mData->Query(MakeStringFileInfoKey(mTranslation, wideName));
  return value ? WString(value->c_str()) : WString();
}

} // namespace QZ
