#pragma once
// QZ::CIniFileManagerProxy: the settings store itself (see IniFileManager.h for the
// contract of each operation). It owns the open files' trees; its destruction closes
// them without writing.

#include <memory>

#include "QZFramework/Services/Settings/IniFileManager.h"

namespace QZ {

class CIniFileManagerProxy : public IIniFileManager {
public:
  CIniFileManagerProxy();
  CIniFileManagerProxy(const CIniFileManagerProxy&) = delete;
  CIniFileManagerProxy& operator=(const CIniFileManagerProxy&) = delete;
  virtual ~CIniFileManagerProxy();

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
  struct MemberData;
  std::unique_ptr<MemberData> mData;
};

} // namespace QZ
