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

// The variable's value when it is an absolute path; empty otherwise.
std::string AbsoluteFolder(const char* name) {
  std::string value = Environment(name);
  return !value.empty() && value.front() == '/' ? value : std::string();
}

// Why the variable gives no absolute folder.
std::string Unusable(const char* name) {
  const std::string value = Environment(name);
  return value.empty() ? std::string(name) + " is not set"
                       : std::string(name) + " (\"" + value + "\") is not an absolute path";
}

// $<variable>, else $HOME + fallback; empty when neither gives an absolute path.
std::string BaseFolder(const char* variable, const char* fallback) {
  std::string base = AbsoluteFolder(variable);
  if (base.empty()) {
    const std::string home = AbsoluteFolder("HOME");
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

constexpr const char* kConfigVariable = "XDG_CONFIG_HOME";
constexpr const char* kDataVariable = "XDG_DATA_HOME";

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
  return CompanyProductFolder(BaseFolder(kDataVariable, "/.local/share"), company, product);
}

std::string GetUserApplicationFolder(const WString& company, const WString& product) {
  return CompanyProductFolder(BaseFolder(kConfigVariable, "/.config"), company, product);
}

std::string DescribeMissingApplicationFolder(bool user) {
  const char* variable = user ? kConfigVariable : kDataVariable;
  if (!AbsoluteFolder(variable).empty() || !AbsoluteFolder("HOME").empty()) {
    return {};
  }
  return Unusable(variable) + " and " + Unusable("HOME");
}

std::string GetDocumentsFolder() {
  std::string home = AbsoluteFolder("HOME");
  while (home.size() > 1 && home.back() == '/') {
    home.pop_back();
  }
  if (home.empty()) {
    return {};
  }
  const std::string configured = ReadDocumentsDir(BaseFolder(kConfigVariable, "/.config") + "/user-dirs.dirs", home);
  if (!configured.empty()) {
    return configured;
  }
  std::error_code error;
  if (std::filesystem::is_directory(home + "/Documents", error)) {
    return home + "/Documents";
  }
  return home;
}

bool CreateFolders(const std::string& path, std::string* reason) {
  if (path.empty()) {
    if (reason) {
      *reason = "no folder was named";
    }
    return false;
  }
  std::error_code error;
  std::filesystem::create_directories(path, error);
  std::error_code checked;
  if (std::filesystem::is_directory(path, checked)) {
    return true;
  }
  if (reason) {
    *reason = "the folder \"" + path + "\" cannot be made: " + (error ? error.message() : "it is not a folder");
  }
  return false;
}

} // namespace QZ
