#include "Platform/Host/ProfileStore.h"

#include <algorithm>
#include <cstdio>
#include <optional>

#include "Platform/Host/ProfileFile.h"
#include "Platform/Window/TextConversion.h"

namespace QZ::Platform::Host {

namespace {

constexpr char kFileName[] = "Profile.ini";

bool SameName(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) {
    return false;
  }
  for (size_t i = 0; i < a.size(); ++i) {
    auto fold = [](char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; };
    if (fold(a[i]) != fold(b[i])) {
      return false;
    }
  }
  return true;
}

bool ValidName(std::string_view name, char forbidden) {
  return !name.empty() && name.find_first_of(std::string{'\n', '\r', forbidden}) == std::string_view::npos;
}

std::string Quote(std::string_view text) {
  std::string quoted = "\"";
  for (char c : text) {
    switch (c) {
    case '\\':
      quoted += "\\\\";
      break;
    case '"':
      quoted += "\\\"";
      break;
    case '\n':
      quoted += "\\n";
      break;
    case '\r':
      quoted += "\\r";
      break;
    case '\t':
      quoted += "\\t";
      break;
    default:
      quoted += c;
      break;
    }
  }
  return quoted + "\"";
}

// The text of a quoted value; nothing when it is not one.
std::optional<std::string> Unquote(std::string_view value) {
  if (value.size() < 2 || value.front() != '"' || value.back() != '"') {
    return std::nullopt;
  }
  std::string text;
  for (size_t i = 1; i + 1 < value.size(); ++i) {
    if (value[i] != '\\') {
      text += value[i];
      continue;
    }
    if (i + 2 >= value.size()) {
      return std::nullopt;
    }
    switch (value[++i]) {
    case 'n':
      text += '\n';
      break;
    case 'r':
      text += '\r';
      break;
    case 't':
      text += '\t';
      break;
    default:
      text += value[i];
      break;
    }
  }
  return text;
}

// The bytes of "hex:2c,00"; nothing when malformed.
std::optional<std::vector<uint8_t>> Unhex(std::string_view value) {
  constexpr std::string_view kPrefix = "hex:";
  if (value.substr(0, kPrefix.size()) != kPrefix) {
    return std::nullopt;
  }
  value.remove_prefix(kPrefix.size());
  std::vector<uint8_t> bytes;
  auto digit = [](char c) -> int {
    if (c >= '0' && c <= '9') {
      return c - '0';
    }
    if (c >= 'a' && c <= 'f') {
      return c - 'a' + 10;
    }
    if (c >= 'A' && c <= 'F') {
      return c - 'A' + 10;
    }
    return -1;
  };
  while (!value.empty()) {
    if (value.size() < 2 || digit(value[0]) < 0 || digit(value[1]) < 0 || (value.size() > 2 && value[2] != ',')) {
      return std::nullopt;
    }
    bytes.push_back(uint8_t(digit(value[0]) * 16 + digit(value[1])));
    value.remove_prefix(std::min<size_t>(3, value.size()));
  }
  return bytes;
}

std::string Hex(std::span<const uint8_t> bytes) {
  static constexpr char kDigits[] = "0123456789abcdef";
  std::string text = "hex:";
  for (size_t i = 0; i < bytes.size(); ++i) {
    if (i > 0) {
      text += ',';
    }
    text += kDigits[bytes[i] >> 4];
    text += kDigits[bytes[i] & 0xF];
  }
  return text;
}

} // namespace

ProfileStore::ProfileStore(std::string folder, Reporter report)
    : mFolder(std::move(folder)), mPath(mFolder + "/" + kFileName), mReport(std::move(report)) {
  Load();
}

void ProfileStore::Report(const std::string& line) const {
  if (mReport) {
    mReport(line);
    return;
  }
  std::fprintf(stderr, "%s\n", line.c_str());
  std::fflush(stderr);
}

const ProfileStore::Entry* ProfileStore::Find(std::u16string_view section, std::u16string_view entry) const {
  const std::string sectionName = Window::ToUtf8(section);
  const std::string entryName = Window::ToUtf8(entry);
  for (const Section& candidate : mSections) {
    if (!SameName(candidate.name, sectionName)) {
      continue;
    }
    for (const Entry& value : candidate.entries) {
      if (SameName(value.name, entryName)) {
        return &value;
      }
    }
  }
  return nullptr;
}

std::optional<std::vector<uint8_t>> ProfileStore::GetProfileBinary(std::u16string_view section,
                                                                   std::u16string_view entry) const {
  const Entry* found = Find(section, entry);
  if (!found || !found->binary) {
    return std::nullopt;
  }
  return found->bytes;
}

std::u16string ProfileStore::GetProfileString(std::u16string_view section, std::u16string_view entry,
                                              std::u16string_view fallback) const {
  const Entry* found = Find(section, entry);
  return found && !found->binary ? Window::ToUtf16(found->text) : std::u16string(fallback);
}

bool ProfileStore::WriteProfileBinary(std::u16string_view section, std::u16string_view entry,
                                      std::span<const uint8_t> bytes) {
  Entry value;
  value.binary = true;
  value.bytes.assign(bytes.begin(), bytes.end());
  return Store(section, entry, std::move(value));
}

bool ProfileStore::WriteProfileString(std::u16string_view section, std::u16string_view entry,
                                      std::u16string_view text) {
  Entry value;
  value.text = Window::ToUtf8(text);
  return Store(section, entry, std::move(value));
}

bool ProfileStore::Store(std::u16string_view section, std::u16string_view entry, Entry value) {
  const std::string sectionName = Window::ToUtf8(section);
  value.name = Window::ToUtf8(entry);
  if (!ValidName(sectionName, ']') || !ValidName(value.name, '=')) {
    return false;
  }
  const std::vector<Section> before = mSections;
  auto foundSection = std::find_if(mSections.begin(), mSections.end(),
                                   [&](const Section& candidate) { return SameName(candidate.name, sectionName); });
  if (foundSection == mSections.end()) {
    mSections.push_back({sectionName, {}});
    foundSection = mSections.end() - 1;
  }
  auto foundEntry = std::find_if(foundSection->entries.begin(), foundSection->entries.end(),
                                 [&](const Entry& candidate) { return SameName(candidate.name, value.name); });
  if (foundEntry == foundSection->entries.end()) {
    foundSection->entries.push_back(std::move(value));
  } else {
    value.name = foundEntry->name;
    *foundEntry = std::move(value);
  }
  if (!Save()) {
    mSections = before;
    return false;
  }
  return true;
}

void ProfileStore::Load() {
  std::string text;
  std::string problem;
  switch (ReadProfileFile(mPath, kMaxProfileSize, text, problem)) {
  case ProfileRead::Missing:
    return;
  case ProfileRead::NotRegular:
    Report(problem + ": window placements are not kept");
    return;
  case ProfileRead::Unreadable:
    KeepAside(problem);
    return;
  case ProfileRead::Read:
    if (!Parse(text)) {
      KeepAside(mPath + ": not a profile");
    }
    return;
  }
}

bool ProfileStore::Parse(const std::string& text) {
  bool wellFormed = text.find('\0') == std::string::npos;
  Section* current = nullptr;
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find('\n', start);
    if (end == std::string::npos) {
      end = text.size();
    }
    std::string_view line(text.data() + start, end - start);
    start = end + 1;
    if (!line.empty() && line.back() == '\r') {
      line.remove_suffix(1);
    }
    if (line.empty()) {
      continue;
    }
    if (line.size() >= 2 && line.front() == '[' && line.back() == ']') {
      mSections.push_back({std::string(line.substr(1, line.size() - 2)), {}});
      current = &mSections.back();
      continue;
    }
    const size_t equals = line.find('=');
    if (!current || equals == std::string_view::npos || equals == 0) {
      wellFormed = false;
      continue;
    }
    Entry entry;
    entry.name = std::string(line.substr(0, equals));
    const std::string_view value = line.substr(equals + 1);
    if (auto bytes = Unhex(value)) {
      entry.binary = true;
      entry.bytes = std::move(*bytes);
    } else if (auto quoted = Unquote(value)) {
      entry.text = std::move(*quoted);
    } else {
      wellFormed = false;
      continue;
    }
    current->entries.push_back(std::move(entry));
  }
  return wellFormed;
}

bool ProfileStore::KeepAside(const std::string& why) {
  std::string backup;
  std::string problem;
  if (!KeepProfileAside(mPath, backup, problem)) {
    Report(why + "; " + problem + ": it is not replaced");
    mUnreadableInPlace = true;
    return false;
  }
  Report(backup.empty() ? why : why + ": kept as " + backup);
  mUnreadableInPlace = false;
  return true;
}

bool ProfileStore::Save() {
  if (mUnreadableInPlace && !KeepAside(mPath + ": unreadable profile")) {
    Report(mPath + ": not saved: the unreadable file is kept in place");
    return false;
  }
  std::string text;
  for (const Section& section : mSections) {
    text += '[' + section.name + "]\n";
    for (const Entry& entry : section.entries) {
      text += entry.name + '=' + (entry.binary ? Hex(entry.bytes) : Quote(entry.text)) + '\n';
    }
  }
  std::string problem;
  if (!ReplaceProfileFile(mPath, text, problem)) {
    Report(problem);
    return false;
  }
  return true;
}

} // namespace QZ::Platform::Host
