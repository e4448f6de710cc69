#pragma once
// A read-only registry read from a text file in the .reg export format:
//
//   Windows Registry Editor Version 5.00
//
//   [HKEY_LOCAL_MACHINE\Software\Orbaxa\Audio\Drivers\Quorin]
//   "SoftwarePath"="/opt/quorin"
//   "Flags"=dword:0000001f
//   "Blob"=hex:01,02,03
//
// The file is named by QZ_REGISTRY_FILE, else /etc/xdg/Vandrel/registry.reg; a missing
// file is an empty registry. It is read again on every OpenKey, so the registry is
// always what the file says now. Files in UTF-8 (with or without BOM) and UTF-16LE
// (with BOM, as the export tool writes them) are read. Key paths compare caselessly;
// value names too. Nothing here throws.

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace QZ::Platform::Registry {

// Predefined roots, with the codes of the handles they stand for.
enum class Root : uint32_t {
  ClassesRoot = 0x80000000u,
  CurrentUser = 0x80000001u,
  LocalMachine = 0x80000002u,
  Users = 0x80000003u,
};

// Value types as the registry numbers them.
inline constexpr uint32_t kTypeString = 1; // "text": UTF-16LE bytes with a NUL unit
inline constexpr uint32_t kTypeBinary = 3; // hex:..
inline constexpr uint32_t kTypeDword = 4;  // dword:........ (4 bytes, little-endian)

// Results as the registry functions return them.
inline constexpr int32_t kSuccess = 0;
inline constexpr int32_t kNotFound = 2;
inline constexpr int32_t kNoMoreItems = 259;

struct Value {
  uint32_t type = 0;
  std::vector<uint8_t> data;
};

struct KeyData;

// An open key: a snapshot of one key of the file as it was when opened. Copyable;
// nothing to close.
class Key {
public:
  Key() = default;
  bool IsOpen() const { return mData != nullptr; }

  // kSuccess and the value, or kNotFound. An empty name is the key's default value ("@").
  int32_t QueryValue(std::u16string_view name, Value& out) const;
  uint32_t SubKeyCount() const;
  // kSuccess and the name of child `index` (in file order), or kNoMoreItems.
  int32_t EnumKey(uint32_t index, std::u16string& name) const;

private:
  friend int32_t OpenKey(Root, std::u16string_view, Key&);
  std::shared_ptr<const KeyData> mData;
};

// Opens `path` (backslash-separated, below root). kSuccess, or kNotFound when the file
// has no such key (a key exists when it has a section or a descendant has one).
[[nodiscard]] int32_t OpenKey(Root root, std::u16string_view path, Key& out);

// The file the registry is read from now.
std::string RegistryFilePath();

} // namespace QZ::Platform::Registry
