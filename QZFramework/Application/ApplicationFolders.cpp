#include "QZFramework/Application/ApplicationFolders.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string_view>
#include <system_error>

namespace QZ {

namespace {

std::string Environment(const char* name) {
  const char* value = std::getenv(name);
  return value && *value ? std::string(value) : std::string();
}

// $<variable>, else $HOME + fallback; empty when neither is set.
std::string BaseFolder(const char* variable, const char* fallback) {
  std::string base = Environment(variable);
  if (base.empty()) {
    const std::string home = Environment("HOME");
    if (home.empty()) {
      return {};
    }
    base = home + fallback;
  }
  while (base.size() > 1 && base.back() == '/') {
    base.pop_back();
  }
  return base;
}

std::string CompanyProductFolder(std::string base, const WString& company, const WString& product) {
  if (base.empty()) {
    return {};
  }
  const NString companyFolder(MakeFolderNameSafe(company));
  const NString productFolder(MakeFolderNameSafe(product));
  return base + "/" + companyFolder.GetBuffer() + "/" + productFolder.GetBuffer();
}

// The value of XDG_DOCUMENTS_DIR in a user-dirs.dirs file (shell assignments, the value
// in double quotes, "$HOME" only at its start); empty when the file does not set it.
std::string ReadDocumentsDir(const std::string& file, const std::string& home) {
  std::ifstream in(file);
  std::string line;
  std::string found;
  while (std::getline(in, line)) {
    std::string_view text(line);
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) {
      text.remove_prefix(1);
    }
    constexpr std::string_view kKey = "XDG_DOCUMENTS_DIR=";
    if (text.substr(0, kKey.size()) != kKey) {
      continue;
    }
    text.remove_prefix(kKey.size());
    if (text.size() < 2 || text.front() != '"' || text.find('"', 1) == std::string_view::npos) {
      continue;
    }
    text = text.substr(1, text.find('"', 1) - 1);
    constexpr std::string_view kHome = "$HOME";
    if (text.substr(0, kHome.size()) == kHome) {
      found = home + std::string(text.substr(kHome.size()));
    } else if (!text.empty() && text.front() == '/') {
      found = std::string(text);
    }
  }
  while (found.size() > 1 && found.back() == '/') {
    found.pop_back();
  }
  return found;
}

} // namespace

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

std::string GetProgramFolder() {
  std::error_code error;
  const std::string program = std::filesystem::read_symlink("/proc/self/exe", error).string();
  const size_t slash = program.rfind('/');
  if (error || slash == std::string::npos) {
    return {};
  }
  return slash == 0 ? std::string("/") : program.substr(0, slash);
}

std::string GetCommonApplicationFolder(const WString& company, const WString& product) {
  return CompanyProductFolder(BaseFolder("XDG_DATA_HOME", "/.local/share"), company, product);
}

std::string GetUserApplicationFolder(const WString& company, const WString& product) {
  return CompanyProductFolder(BaseFolder("XDG_CONFIG_HOME", "/.config"), company, product);
}

std::string GetDocumentsFolder() {
  std::string home = Environment("HOME");
  while (home.size() > 1 && home.back() == '/') {
    home.pop_back();
  }
  if (home.empty()) {
    return {};
  }
  const std::string configured = ReadDocumentsDir(BaseFolder("XDG_CONFIG_HOME", "/.config") + "/user-dirs.dirs", home);
  if (!configured.empty()) {
    return configured;
  }
  std::error_code error;
  if (std::filesystem::is_directory(home + "/Documents", error)) {
    return home + "/Documents";
  }
  return home;
}

bool CreateFolders(const std::string& path) {
  if (path.empty()) {
    return false;
  }
  std::error_code error;
  std::filesystem::create_directories(path, error);
  return std::filesystem::is_directory(path, error);
}

} // namespace QZ
