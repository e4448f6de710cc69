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
// and empty lines. The file is handled by the settings files' rules (ProfileFile.h): a
// FIFO, folder or device at the path is never waited on, read nor replaced; a file that
// cannot be read, is longer than kMaxProfileSize or holds any other line is kept aside
// as "Profile.ini.bak" (".bak.1", ...) before the next write, the entries it did hold
// kept; a read-only file is not replaced. Every such case and every failed write is
// reported, one line naming the file and the reason. Section and entry names compare
// without regard to ASCII case; names holding a line end, a section name holding ']' and
// an entry name holding '=' cannot be stored. One thread at a time.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace QZ::Platform::Host {

// The longest profile file read: far beyond the few placements it holds.
inline constexpr size_t kMaxProfileSize = 1024 * 1024;

class ProfileStore {
public:
  // Receives each report line (without a line end).
  using Reporter = std::function<void(const std::string& line)>;

  // The store of <folder>/Profile.ini; a missing or unreadable file is an empty store.
  // Reports go to report, or to standard error without one.
  explicit ProfileStore(std::string folder, Reporter report = {});

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
  [[nodiscard]] bool Store(std::u16string_view section, std::u16string_view entry, Entry value);
  void Load();
  // Reads the lines of text into the sections: false when a line is not one of the file's.
  bool Parse(const std::string& text);
  // Moves an unreadable file aside: false (reported) when it stays in place.
  bool KeepAside(const std::string& why);
  [[nodiscard]] bool Save();
  void Report(const std::string& line) const;

  std::string mFolder;
  std::string mPath;
  Reporter mReport;
  std::vector<Section> mSections;
  // An unreadable file could not be kept aside: it is not replaced until it can be.
  bool mUnreadableInPlace = false;
};

} // namespace QZ::Platform::Host
