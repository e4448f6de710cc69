#pragma once
// Profile entries (the window placement "WP" among them): binary and text values by
// section and entry, kept in the file "Profile.ini" of a folder the caller names (the
// folder of the user's settings files).
//
//   ProfileStore profile(userSettingsFolder);
//   if (!profile.WriteProfileBinary(u"Vandrel_Quorin ZTR Preset Editor", u"WP", bytes)) { ... }
//   std::optional<std::vector<uint8_t>> placement = profile.GetProfileBinary(section, u"WP");
//
// The file is read once, when the store is made; each write rewrites it whole, through a
// temporary file renamed over it, creating the folder when missing. Its lines:
//   [<section>]
//   <entry>=hex:2c,00,00,00      a binary value
//   <entry>="text"               a text value (UTF-8; \\ \" \n \r and \t escaped)
// Lines it does not understand are ignored (and not written back). Section and entry
// names compare without regard to ASCII case; names holding a line end, a section name
// holding ']' and an entry name holding '=' cannot be stored. One thread at a time.

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace QZ::Platform::Host {

class ProfileStore {
public:
  // The store of <folder>/Profile.ini; a missing or unreadable file is an empty store.
  explicit ProfileStore(std::string folder);

  // The bytes of a binary entry; nothing when the entry is missing or holds text.
  std::optional<std::vector<uint8_t>> GetProfileBinary(std::u16string_view section, std::u16string_view entry) const;
  // The text of a text entry; `fallback` when it is missing or binary.
  std::u16string GetProfileString(std::u16string_view section, std::u16string_view entry,
                                  std::u16string_view fallback) const;
  // Store the value (replacing the entry's) and write the file. False when a name cannot
  // be stored or the file cannot be written (the value is then not kept either).
  [[nodiscard]] bool WriteProfileBinary(std::u16string_view section, std::u16string_view entry,
                                        std::span<const uint8_t> bytes);
  [[nodiscard]] bool WriteProfileString(std::u16string_view section, std::u16string_view entry,
                                        std::u16string_view text);

  // The file's path.
  const std::string& GetPath() const { return mPath; }

private:
  struct Entry {
    std::string name; // UTF-8
    bool binary = false;
    std::vector<uint8_t> bytes;
    std::string text; // UTF-8
  };
  struct Section {
    std::string name; // UTF-8
    std::vector<Entry> entries;
  };

  const Entry* Find(std::u16string_view section, std::u16string_view entry) const;
  bool Store(std::u16string_view section, std::u16string_view entry, Entry value);
  void Load();
  bool Save() const;

  std::string mFolder;
  std::string mPath;
  std::vector<Section> mSections;
};

} // namespace QZ::Platform::Host
