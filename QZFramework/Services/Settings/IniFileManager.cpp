#include "QZFramework/Services/Settings/IniFileManager.h"

#include "QZFramework/Services/Settings/IniFileManagerProxy.h"

namespace QZ {

LIniFileManager::LIniFileManager() : mProxy(std::make_unique<CIniFileManagerProxy>()) {}

LIniFileManager::~LIniFileManager() = default;

int32_t LIniFileManager::Initialize(const char16_t* reserved) { return mProxy->Initialize(reserved); }

int32_t LIniFileManager::SaveAndCloseAll() { return mProxy->SaveAndCloseAll(); }

int32_t LIniFileManager::Load(const WString& path, const WString& keyPrefixName, const WString& applicationName,
                              IniFileHandle& handle) {
  return mProxy->Load(path, keyPrefixName, applicationName, handle);
}

int32_t LIniFileManager::SaveFile(IniFileHandle handle) { return mProxy->SaveFile(handle); }

bool LIniFileManager::KeyExists(IniFileHandle handle, const WString& key) { return mProxy->KeyExists(handle, key); }

int32_t LIniFileManager::CloseFile(IniFileHandle handle, bool save) { return mProxy->CloseFile(handle, save); }

int32_t LIniFileManager::GetInt(IniFileHandle handle, const WString& key, int32_t defaultValue, int32_t& value) {
  return mProxy->GetInt(handle, key, defaultValue, value);
}

int32_t LIniFileManager::SetInt(IniFileHandle handle, const WString& key, int32_t value) {
  return mProxy->SetInt(handle, key, value);
}

int32_t LIniFileManager::GetString(IniFileHandle handle, const WString& key, const WString& defaultValue,
                                   WString& value) {
  return mProxy->GetString(handle, key, defaultValue, value);
}

int32_t LIniFileManager::SetString(IniFileHandle handle, const WString& key, const WString& value) {
  return mProxy->SetString(handle, key, value);
}

int32_t LIniFileManager::GetChildCount(IniFileHandle handle, const WString& key, uint32_t& count) {
  return mProxy->GetChildCount(handle, key, count);
}

int32_t LIniFileManager::GetChildName(IniFileHandle handle, const WString& key, uint32_t index, WString& name) {
  return mProxy->GetChildName(handle, key, index, name);
}

int32_t LIniFileManager::GetArrayCount(IniFileHandle handle, const WString& key, uint32_t& count) {
  return mProxy->GetArrayCount(handle, key, count);
}

int32_t LIniFileManager::SetArrayCount(IniFileHandle handle, const WString& key, uint32_t count) {
  return mProxy->SetArrayCount(handle, key, count);
}

int32_t LIniFileManager::GetArrayString(IniFileHandle handle, const WString& key, uint32_t index, WString& value) {
  return mProxy->GetArrayString(handle, key, index, value);
}

int32_t LIniFileManager::SetArrayString(IniFileHandle handle, const WString& key, uint32_t index,
                                        const WString& value) {
  return mProxy->SetArrayString(handle, key, index, value);
}

int32_t LIniFileManager::RemoveArrayItem(IniFileHandle handle, const WString& key, uint32_t index) {
  return mProxy->RemoveArrayItem(handle, key, index);
}

} // namespace QZ
