#include "Platform/Registry/RegistryFile.h"

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <map>
#include <optional>
#include <sstream>

namespace QZ::Platform::Registry {

struct KeyData {
  std::vector<std::pair<std::u16string, Value>> values;
  std::vector<std::u16string> children; // original spelling, first-appearance order
};

namespace {

using Tree = std::map<std::u16string, std::shared_ptr<KeyData>>; // folded full path -> key

// Registry names are caseless; the names in use are ASCII, so ASCII folding suffices.
std::u16string Fold(std::u16string_view text) {
  std::u16string folded(text);
  for (char16_t& c : folded) {
    if (c >= u'A' && c <= u'Z') {
      c = static_cast<char16_t>(c - u'A' + u'a');
    }
  }
  return folded;
}

void AppendUtf16(std::u16string& out, uint32_t cp) {
  if (cp >= 0x10000) {
    cp -= 0x10000;
    out.push_back(static_cast<char16_t>(0xD800 + (cp >> 10)));
    out.push_back(static_cast<char16_t>(0xDC00 + (cp & 0x3FF)));
  } else {
    out.push_back(static_cast<char16_t>(cp));
  }
}

// Malformed sequences become U+FFFD: a bad byte must not hide the rest of a line.
std::u16string FromUtf8(std::string_view text) {
  static constexpr uint32_t kMinimum[] = {0, 0x80, 0x800, 0x10000};
  std::u16string out;
  size_t i = 0;
  while (i < text.size()) {
    const auto lead = static_cast<unsigned char>(text[i]);
    const int extra = lead < 0x80 ? 0 : (lead >> 5) == 6 ? 1 : (lead >> 4) == 14 ? 2 : (lead >> 3) == 30 ? 3 : -1;
    if (extra < 0) {
      out.push_back(u'\xFFFD');
      ++i;
      continue;
    }
    static constexpr uint32_t kLeadMask[] = {0x7F, 0x1F, 0x0F, 0x07};
    uint32_t cp = lead & kLeadMask[extra];
    bool ok = i + static_cast<size_t>(extra) < text.size();
    for (int k = 1; ok && k <= extra; ++k) {
      const auto next = static_cast<unsigned char>(text[i + k]);
      ok = (next & 0xC0) == 0x80;
      cp = (cp << 6) | (next & 0x3F);
    }
    if (!ok || cp < kMinimum[extra] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
      out.push_back(u'\xFFFD');
      ++i;
      continue;
    }
    AppendUtf16(out, cp);
    i += static_cast<size_t>(extra) + 1;
  }
  return out;
}

std::string ToUtf8(std::u16string_view text) {
  std::string out;
  for (size_t i = 0; i < text.size(); ++i) {
    uint32_t cp = text[i];
    if (cp >= 0xD800 && cp <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF) {
      cp = 0x10000 + ((cp - 0xD800) << 10) + (text[++i] - 0xDC00);
    } else if (cp >= 0xD800 && cp <= 0xDFFF) {
      cp = 0xFFFD;
    }
    if (cp < 0x80) {
      out.push_back(static_cast<char>(cp));
    } else if (cp < 0x800) {
      out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
      out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else if (cp < 0x10000) {
      out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
      out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
      out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else {
      out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
      out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
      out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
      out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    }
  }
  return out;
}

// The file's text as UTF-8, whatever encoding it was saved in.
std::string ReadText(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  if (!file) {
    return {};
  }
  std::string bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
  if (bytes.size() >= 2 && static_cast<unsigned char>(bytes[0]) == 0xFF &&
      static_cast<unsigned char>(bytes[1]) == 0xFE) {
    std::u16string units;
    for (size_t i = 2; i + 1 < bytes.size(); i += 2) {
      units.push_back(static_cast<char16_t>(static_cast<unsigned char>(bytes[i]) |
                                            (static_cast<unsigned char>(bytes[i + 1]) << 8)));
    }
    return ToUtf8(units);
  }
  if (bytes.rfind("\xEF\xBB\xBF", 0) == 0) {
    bytes.erase(0, 3);
  }
  return bytes;
}

std::string_view Trim(std::string_view text) {
  const auto first = text.find_first_not_of(" \t\r\n");
  if (first == std::string_view::npos) {
    return {};
  }
  const auto last = text.find_last_not_of(" \t\r\n");
  return text.substr(first, last - first + 1);
}

// Logical lines: a hex list continues on the next line after a trailing backslash.
std::vector<std::string> LogicalLines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream stream(text);
  std::string line;
  std::string pending;
  while (std::getline(stream, line)) {
    const std::string_view trimmed = Trim(line);
    const bool continues = !trimmed.empty() && trimmed.back() == '\\';
    if (!pending.empty()) {
      pending.append(continues ? trimmed.substr(0, trimmed.size() - 1) : trimmed);
      if (!continues) {
        lines.push_back(std::move(pending));
        pending.clear();
      }
    } else if (continues && trimmed.find("=hex") != std::string_view::npos) {
      pending.assign(trimmed.substr(0, trimmed.size() - 1));
    } else {
      lines.emplace_back(trimmed);
    }
  }
  if (!pending.empty()) {
    lines.push_back(std::move(pending));
  }
  return lines;
}

// A quoted name or string with \\ and \" escapes; the position moves past the quotes.
std::optional<std::string> ParseQuoted(std::string_view line, size_t& pos) {
  if (pos >= line.size() || line[pos] != '"') {
    return std::nullopt;
  }
  std::string out;
  for (++pos; pos < line.size(); ++pos) {
    if (line[pos] == '\\' && pos + 1 < line.size()) {
      out.push_back(line[++pos]);
    } else if (line[pos] == '"') {
      ++pos;
      return out;
    } else {
      out.push_back(line[pos]);
    }
  }
  return std::nullopt;
}

std::optional<std::vector<uint8_t>> ParseHexList(std::string_view text) {
  std::vector<uint8_t> bytes;
  std::istringstream stream{std::string(text)};
  std::string item;
  while (std::getline(stream, item, ',')) {
    std::string_view byte = Trim(item);
    if (byte.empty()) {
      continue;
    }
    if (byte.size() > 2 || byte.find_first_not_of("0123456789abcdefABCDEF") != std::string_view::npos) {
      return std::nullopt;
    }
    bytes.push_back(static_cast<uint8_t>(std::strtoul(std::string(byte).c_str(), nullptr, 16)));
  }
  return bytes;
}

std::optional<Value> ParseData(std::string_view data) {
  Value value;
  size_t pos = 0;
  if (!data.empty() && data[0] == '"') {
    std::optional<std::string> text = ParseQuoted(data, pos);
    if (!text) {
      return std::nullopt;
    }
    value.type = kTypeString;
    for (char16_t unit : FromUtf8(*text) + u'\0') {
      value.data.push_back(static_cast<uint8_t>(unit & 0xFF));
      value.data.push_back(static_cast<uint8_t>(unit >> 8));
    }
    return value;
  }
  if (data.rfind("dword:", 0) == 0) {
    std::string_view digits = data.substr(6);
    if (digits.empty() || digits.size() > 8 ||
        digits.find_first_not_of("0123456789abcdefABCDEF") != std::string::npos) {
      return std::nullopt;
    }
    const auto number = static_cast<uint32_t>(std::strtoul(std::string(digits).c_str(), nullptr, 16));
    value.type = kTypeDword;
    for (int shift = 0; shift < 32; shift += 8) {
      value.data.push_back(static_cast<uint8_t>(number >> shift));
    }
    return value;
  }
  if (data.rfind("hex", 0) == 0) {
    size_t colon = data.find(':');
    if (colon == std::string_view::npos) {
      return std::nullopt;
    }
    std::string_view kind = data.substr(3, colon - 3);
    value.type = kTypeBinary;
    if (!kind.empty()) {
      if (kind.size() < 3 || kind.front() != '(' || kind.back() != ')') {
        return std::nullopt;
      }
      value.type =
          static_cast<uint32_t>(std::strtoul(std::string(kind.substr(1, kind.size() - 2)).c_str(), nullptr, 16));
    }
    std::optional<std::vector<uint8_t>> bytes = ParseHexList(data.substr(colon + 1));
    if (!bytes) {
      return std::nullopt;
    }
    value.data = std::move(*bytes);
    return value;
  }
  return std::nullopt;
}

std::shared_ptr<KeyData> EnsureKey(Tree& tree, std::u16string_view path) {
  std::shared_ptr<KeyData>& slot = tree[Fold(path)];
  if (!slot) {
    slot = std::make_shared<KeyData>();
    const size_t cut = path.rfind(u'\\');
    if (cut != std::u16string_view::npos) {
      std::shared_ptr<KeyData> parent = EnsureKey(tree, path.substr(0, cut));
      parent->children.emplace_back(path.substr(cut + 1));
    }
  }
  return slot;
}

// Lines that cannot be read are skipped: one bad line must not hide the rest of the file.
Tree Parse(const std::string& text) {
  Tree tree;
  std::shared_ptr<KeyData> current;
  for (const std::string& line : LogicalLines(text)) {
    if (line.empty() || line[0] == ';') {
      continue;
    }
    if (line[0] == '[') {
      current = nullptr;
      if (line.back() == ']' && line.size() > 2 && line[1] != '-') {
        std::u16string path = FromUtf8(std::string_view(line).substr(1, line.size() - 2));
        while (!path.empty() && path.back() == u'\\') {
          path.pop_back();
        }
        if (!path.empty()) {
          current = EnsureKey(tree, path);
        }
      }
      continue;
    }
    if (!current) {
      continue;
    }
    size_t pos = 0;
    std::string name;
    if (line[0] == '@') {
      pos = 1;
    } else if (std::optional<std::string> quoted = ParseQuoted(line, pos)) {
      name = *quoted;
    } else {
      continue;
    }
    std::string_view rest = Trim(std::string_view(line).substr(pos));
    if (rest.empty() || rest[0] != '=') {
      continue;
    }
    if (std::optional<Value> value = ParseData(Trim(rest.substr(1)))) {
      std::u16string wideName = FromUtf8(name);
      auto& values = current->values;
      auto existing = std::find_if(values.begin(), values.end(),
                                   [&](const auto& entry) { return Fold(entry.first) == Fold(wideName); });
      if (existing != values.end()) {
        existing->second = std::move(*value);
      } else {
        values.emplace_back(std::move(wideName), std::move(*value));
      }
    }
  }
  return tree;
}

std::u16string_view RootName(Root root) {
  switch (root) {
  case Root::ClassesRoot:
    return u"HKEY_CLASSES_ROOT";
  case Root::CurrentUser:
    return u"HKEY_CURRENT_USER";
  case Root::LocalMachine:
    return u"HKEY_LOCAL_MACHINE";
  case Root::Users:
    return u"HKEY_USERS";
  }
  return {};
}

} // namespace

std::string RegistryFilePath() {
  const char* configured = std::getenv("QZ_REGISTRY_FILE");
  return configured && *configured ? configured : "/etc/xdg/Vandrel/registry.reg";
}

int32_t OpenKey(Root root, std::u16string_view path, Key& out) {
  out = Key();
  const std::u16string_view rootName = RootName(root);
  if (rootName.empty()) {
    return kNotFound;
  }
  while (!path.empty() && path.front() == u'\\') {
    path.remove_prefix(1);
  }
  while (!path.empty() && path.back() == u'\\') {
    path.remove_suffix(1);
  }
  std::u16string full(rootName);
  if (!path.empty()) {
    full.append(u"\\").append(path);
  }
  const Tree tree = Parse(ReadText(RegistryFilePath()));
  const auto found = tree.find(Fold(full));
  if (found == tree.end()) {
    return kNotFound;
  }
  out.mData = found->second;
  return kSuccess;
}

int32_t Key::QueryValue(std::u16string_view name, Value& out) const {
  if (!mData) {
    return kNotFound;
  }
  const std::u16string folded = Fold(name);
  for (const auto& [valueName, value] : mData->values) {
    if (Fold(valueName) == folded) {
      out = value;
      return kSuccess;
    }
  }
  return kNotFound;
}

uint32_t Key::SubKeyCount() const { return mData ? static_cast<uint32_t>(mData->children.size()) : 0; }

int32_t Key::EnumKey(uint32_t index, std::u16string& name) const {
  if (!mData || index >= mData->children.size()) {
    return kNoMoreItems;
  }
  name = mData->children[index];
  return kSuccess;
}

} // namespace QZ::Platform::Registry
