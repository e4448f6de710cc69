#pragma once
// The settings store: open settings files ("UserSettings.ini", "AppSettings.ini") and
// typed access to their values by key path.
//
//   QZ::RCPtr<QZ::LIniFileManager> settings(new QZ::LIniFileManager);
//   QZ::IniFileHandle user = 0;
//   settings->Load(u"/home/me/.config/.../UserSettings.ini", u"1_0_0", u"Quorin Preset Editor", user);
//   int32_t skin = 0;
//   settings->GetInt(user, u"CurrentSkinIndex", 0, skin);   // key 1_0_0.CurrentSkinIndex
//   settings->SetInt(user, u"CurrentSkinIndex", 2);
//   settings->SaveAndCloseAll();
//
// Keys are key paths ("a.b", "List[2]") below the file's prefix dict: the key-prefix
// name given to Load with "." replaced by "_". Changes stay in memory until SaveFile,
// CloseFile with save, or SaveAndCloseAll write them; a save replaces the file as a
// whole or not at all. A missing file, or one that cannot be read, starts from a
// document holding only the application name; a file that exists but cannot be
// loaded is first moved aside as "<name>.bak" (or "<name>.bak.1", ".bak.2", ...: the
// first free name, so no earlier backup is lost). A symbolic link is followed: the
// file it leads to is read, kept aside and replaced, the link stays. What is not a
// regular file (a folder, a FIFO, a device) is never read nor replaced, and a file
// the user cannot write (or that has no write permission bit at all) is not replaced.
// Each such case, each failed backup and each failed save is reported on stderr and in
// the debug trace, naming the file and the reason.
//
// Results: 0 success (1: Load found the file already open); -1 the key path does not
// exist or cannot be created, the value has another type, or a write failed; -3 unknown
// file handle. Reading a key of another type gives the neutral value (0, empty), not
// the default. Values that XML cannot carry (control characters) are refused with -1.
//
// No lock: the application uses the store from its main thread only.

#include <cstdint>
#include <memory>

#include "QZFramework/ObjectBase/RefCountedObject.h"
#include "QZFramework/Utilities/Storage/StringT.h"

namespace QZ {

// Identifies an open settings file: a non-zero serial number, 0 for none.
using IniFileHandle = uint32_t;

class IIniFileManager {
public:
  // Does nothing; 0. Called once by the application after construction.
  virtual int32_t Initialize(const char16_t* reserved) = 0;
  // Writes every modified file and closes all, last opened first; 0. A file that
  // could not be written is reported (as by SaveFile) and closed all the same.
  [[nodiscard]] virtual int32_t SaveAndCloseAll() = 0;
  // Opens the settings file at path. 1 with the existing handle when that path is open
  // already; 0 with a new handle; -1 (handle 0) when not even the new-file document
  // can be made. Never blocks on what is at the path.
  [[nodiscard]] virtual int32_t Load(const WString& path, const WString& keyPrefixName, const WString& applicationName,
                                     IniFileHandle& handle) = 0;
  // Writes the file when modified (0 also when not); -1 when the write failed or the
  // file may not be replaced (read-only, not a regular file, an unreadable original
  // that cannot be kept aside), reported; the file then stays modified, its values in
  // memory, and the file on disk untouched.
  [[nodiscard]] virtual int32_t SaveFile(IniFileHandle handle) = 0;
  // Whether the key path exists; false for an unknown handle.
  virtual bool KeyExists(IniFileHandle handle, const WString& key) = 0;
  // Closes the file, saving first when asked: the save's result, else 0. The file is
  // closed even when the save fails.
  [[nodiscard]] virtual int32_t CloseFile(IniFileHandle handle, bool save) = 0;
  // value = default, then for an existing key: integer; bool 0 or 1; real truncated
  // toward zero; other types 0.
  virtual int32_t GetInt(IniFileHandle handle, const WString& key, int32_t defaultValue, int32_t& value) = 0;
  virtual int32_t SetInt(IniFileHandle handle, const WString& key, int32_t value) = 0;
  // value = default, then for an existing key: the text of a string or data value,
  // empty for other types.
  virtual int32_t GetString(IniFileHandle handle, const WString& key, const WString& defaultValue, WString& value) = 0;
  virtual int32_t SetString(IniFileHandle handle, const WString& key, const WString& value) = 0;
  // Children of a dict or array (0 for other values); -1 when the key is missing.
  virtual int32_t GetChildCount(IniFileHandle handle, const WString& key, uint32_t& count) = 0;
  // Key of a dict's or array's child (empty when it has none); -1 when missing or out of range.
  virtual int32_t GetChildName(IniFileHandle handle, const WString& key, uint32_t index, WString& name) = 0;
  // Items of an array; -1 when missing or not an array.
  virtual int32_t GetArrayCount(IniFileHandle handle, const WString& key, uint32_t& count) = 0;
  // Makes the value an array of count items (dropping another value), filling new
  // items with empty strings.
  virtual int32_t SetArrayCount(IniFileHandle handle, const WString& key, uint32_t count) = 0;
  // Text of an array item (empty for a non-text item); -1 when not an array or out of range.
  virtual int32_t GetArrayString(IniFileHandle handle, const WString& key, uint32_t index, WString& value) = 0;
  // Stores a string item, growing the array (with empty strings) to reach index.
  virtual int32_t SetArrayString(IniFileHandle handle, const WString& key, uint32_t index, const WString& value) = 0;
  // -1 when not an array or out of range.
  virtual int32_t RemoveArrayItem(IniFileHandle handle, const WString& key, uint32_t index) = 0;

protected:
  ~IIniFileManager() = default;
};

class CIniFileManagerProxy;

// The shared form of the store: every operation forwards to the store it owns.
class LIniFileManager : public IIniFileManager, public virtual LRefCountedObject {
public:
  LIniFileManager();
  // Destroys the store without writing anything.
  ~LIniFileManager() override;

  int32_t Initialize(const char16_t* reserved) override;
  [[nodiscard]] int32_t SaveAndCloseAll() override;
  [[nodiscard]] int32_t Load(const WString& path, const WString& keyPrefixName, const WString& applicationName,
                             IniFileHandle& handle) override;
  [[nodiscard]] int32_t SaveFile(IniFileHandle handle) override;
  bool KeyExists(IniFileHandle handle, const WString& key) override;
  [[nodiscard]] int32_t CloseFile(IniFileHandle handle, bool save) override;
  int32_t GetInt(IniFileHandle handle, const WString& key, int32_t defaultValue, int32_t& value) override;
  int32_t SetInt(IniFileHandle handle, const WString& key, int32_t value) override;
  int32_t GetString(IniFileHandle handle, const WString& key, const WString& defaultValue, WString& value) override;
  int32_t SetString(IniFileHandle handle, const WString& key, const WString& value) override;
  int32_t GetChildCount(IniFileHandle handle, const WString& key, uint32_t& count) override;
  int32_t GetChildName(IniFileHandle handle, const WString& key, uint32_t index, WString& name) override;
  int32_t GetArrayCount(IniFileHandle handle, const WString& key, uint32_t& count) override;
  int32_t SetArrayCount(IniFileHandle handle, const WString& key, uint32_t count) override;
  int32_t GetArrayString(IniFileHandle handle, const WString& key, uint32_t index, WString& value) override;
  int32_t SetArrayString(IniFileHandle handle, const WString& key, uint32_t index, const WString& value) override;
  int32_t RemoveArrayItem(IniFileHandle handle, const WString& key, uint32_t index) override;

private:
  std::unique_ptr<CIniFileManagerProxy> mProxy;
};

} // namespace QZ
