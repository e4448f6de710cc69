#include "QZFramework/Services/Settings/IniFileManagerProxy.h"

#include <cmath>
#include <cstring>
#include <exception>
#include <limits>
#include <string>

#include "QZFramework/Services/Settings/SettingsFile.h"
#include "QZFramework/Services/Settings/XNode.h"
#include "QZFramework/Utilities/Storage/Array.h"

namespace QZ {

namespace {

constexpr int32_t kMissing = -1;
constexpr int32_t kUnknownHandle = -3;

// The document of a file that does not exist yet. The name is escaped: a name holding
// "&" or "<" would otherwise make the document unreadable.
std::string NewFileContent(const WString& applicationName) {
  std::string content = "<dict><key>Application</key><string>";
  XNode::AppendEscaped(content, applicationName.ToUTF8().View());
  content.append("</string></dict>");
  return content;
}

// Why a write failed, for the user: XNode's own errors, else the system's text.
std::string WriteFailure(int error) {
  if (error == XNode::kErrorTooDeep) {
    return "the settings are nested too deeply";
  }
  if (error == XNode::kErrorNotXmlText) {
    return "a value is not XML text";
  }
  return std::strerror(error);
}

// The tree of the file at path; null when there is none to use. A file that exists
// but cannot be used is kept aside first, unless it is no regular file at all;
// keptAside is false when it had to stay in place.
std::unique_ptr<XNode> ReadTree(const NString& path, bool& keptAside) {
  keptAside = true;
  std::string text;
  switch (SettingsFile::Read(path.GetBuffer(), text)) {
  case SettingsFile::Reading::Read:
    if (auto root = XNode::Load(text, path.GetBuffer(), nullptr)) {
      return root;
    }
    break;
  case SettingsFile::Reading::Unreadable:
    break;
  case SettingsFile::Reading::Missing:
  case SettingsFile::Reading::NotRegular:
    return nullptr;
  }
  keptAside = SettingsFile::KeepAside(path.GetBuffer());
  return nullptr;
}

WString FromUTF8(const std::string& text) {
  WString result;
  result.AssignUTF8(text.c_str(), uint32_t(text.size()));
  return result;
}

// The text of a string or data value; empty for other types.
WString TextOf(const XNode* node) {
  if (node && (node->GetType() == XNode::kTypeString || node->GetType() == XNode::kTypeData)) {
    return FromUTF8(node->GetText());
  }
  return WString();
}

// Truncated toward zero, saturated at the 32-bit range; NaN gives 0.
int32_t TruncateReal(float value) {
  if (std::isnan(value)) {
    return 0;
  }
  if (value >= 2147483648.0f) {
    return std::numeric_limits<int32_t>::max();
  }
  if (value <= -2147483648.0f) {
    return std::numeric_limits<int32_t>::min();
  }
  return int32_t(value);
}

bool IsArray(const XNode* node) { return node && node->GetType() == XNode::kTypeArray; }

// Makes node an array of count items, every empty slot an empty string.
void ResizeArray(XNode& node, uint32_t count) {
  node.SetType(XNode::kTypeArray);
  node.SetArraySize(count);
  for (uint32_t i = 0; i < count; ++i) {
    if (!node.GetChild(i)) {
      node.SetArrayItem(i, new XNode(XNode::kTypeString));
    }
  }
}

} // namespace

struct CIniFileManagerProxy::MemberData {
  struct IniFileInfo {
    NString path;      // UTF-8, as given to Load
    NString keyPrefix; // "<prefix name with '.' as '_'>."
    std::unique_ptr<XNode> root;
    bool modified = false;
    // The file at path could not be loaded nor kept aside: a save must keep it first.
    bool unreadableInPlace = false;
    IniFileHandle handle = 0;
  };

  Array<IniFileInfo*> files; // in order of opening, owned
  IniFileHandle lastHandle = 0;

  MemberData() = default;
  MemberData(const MemberData&) = delete;
  MemberData& operator=(const MemberData&) = delete;
  ~MemberData() {
    for (uint32_t i = 0; i < files.GetCount(); ++i) {
      delete files.GetAt(i);
    }
  }

  IniFileInfo* Find(IniFileHandle handle) const {
    for (uint32_t i = files.GetCount(); i-- > 0;) {
      if (files.GetAt(i)->handle == handle) {
        return files.GetAt(i);
      }
    }
    return nullptr;
  }

  // The next serial number that is neither 0 nor in use.
  IniFileHandle NextHandle() {
    do {
      ++lastHandle;
    } while (lastHandle == 0 || Find(lastHandle));
    return lastHandle;
  }

  void Close(IniFileInfo* file) {
    files.RemoveItems(uint32_t(files.IndexOf(file)), 1); // an open file is listed
    delete file;
  }

  // The node at prefix + key, null when missing. With create, missing nodes are made;
  // a key that XML cannot carry is refused (it would make the file unreadable).
  static XNode* FindNode(IniFileInfo& file, const WString& key, bool create) {
    const NString path = file.keyPrefix + key.ToUTF8();
    if (create && !XNode::IsXmlText(path.View())) {
      return nullptr;
    }
    return file.root->FindPath(path.View(), create ? XNode::kPathCreate : 0);
  }
};

CIniFileManagerProxy::CIniFileManagerProxy() : mData(std::make_unique<MemberData>()) {}

CIniFileManagerProxy::~CIniFileManagerProxy() = default;

int32_t CIniFileManagerProxy::Initialize(const char16_t* /*reserved*/) { return 0; }

int32_t CIniFileManagerProxy::SaveAndCloseAll() {
  while (mData->files.GetCount() != 0) {
    auto* file = mData->files.GetAt(mData->files.GetCount() - 1);
    if (file->modified) {
      (void)SaveFile(file->handle); // a failure is reported by SaveFile; the file closes all the same
    }
    mData->Close(file);
  }
  return 0;
}

int32_t CIniFileManagerProxy::Load(const WString& path, const WString& keyPrefixName, const WString& applicationName,
                                   IniFileHandle& handle) {
  handle = 0;
  const NString utf8Path = path.ToUTF8();
  for (uint32_t i = 0; i < mData->files.GetCount(); ++i) {
    if (mData->files.GetAt(i)->path == utf8Path) {
      handle = mData->files.GetAt(i)->handle;
      return 1;
    }
  }
  auto file = std::make_unique<MemberData::IniFileInfo>();
  file->path = utf8Path;
  NString prefix = keyPrefixName.ToUTF8();
  prefix.ReplaceChars(".", '_');
  file->keyPrefix = prefix + NString(".");
  auto newFileRoot = XNode::Load(NewFileContent(applicationName), nullptr, nullptr);
  if (!newFileRoot) {
    return kMissing;
  }
  bool keptAside = true;
  file->root = ReadTree(utf8Path, keptAside);
  file->unreadableInPlace = !keptAside;
  if (!file->root) {
    file->root = std::move(newFileRoot);
  }
  file->handle = mData->NextHandle();
  handle = file->handle;
  mData->files.AddItem(file.get());
  file.release();
  return 0;
}

int32_t CIniFileManagerProxy::SaveFile(IniFileHandle handle) {
  auto* file = mData->Find(handle);
  if (!file) {
    return kUnknownHandle;
  }
  if (!file->modified) {
    return 0;
  }
  const std::string path = file->path.GetBuffer();
  if (file->unreadableInPlace) {
    if (!SettingsFile::KeepAside(path)) {
      SettingsFile::Report(path + ": settings not saved: the unreadable file is kept in place");
      return kMissing;
    }
    file->unreadableInPlace = false;
  }
  if (!SettingsFile::MayReplace(path)) {
    return kMissing;
  }
  try {
    // A link stays: what it leads to is replaced.
    if (const int error = file->root->SaveToFile(SettingsFile::ResolveLinks(path).c_str(), 0); error != 0) {
      SettingsFile::Report(path + ": settings not saved: " + WriteFailure(error));
      return kMissing;
    }
  } catch (const std::exception& failure) {
    SettingsFile::Report(path + ": settings not saved: " + failure.what());
    return kMissing;
  }
  file->modified = false;
  return 0;
}

bool CIniFileManagerProxy::KeyExists(IniFileHandle handle, const WString& key) {
  auto* file = mData->Find(handle);
  return file && MemberData::FindNode(*file, key, false);
}

int32_t CIniFileManagerProxy::CloseFile(IniFileHandle handle, bool save) {
  auto* file = mData->Find(handle);
  if (!file) {
    return kUnknownHandle;
  }
  const int32_t result = save ? SaveFile(handle) : 0;
  mData->Close(file);
  return result;
}

int32_t CIniFileManagerProxy::GetInt(IniFileHandle handle, const WString& key, int32_t defaultValue, int32_t& value) {
  value = defaultValue;
  auto* file = mData->Find(handle);
  if (!file) {
    return kUnknownHandle;
  }
  const XNode* node = MemberData::FindNode(*file, key, false);
  if (!node) {
    return 0;
  }
  switch (node->GetType()) {
  case XNode::kTypeBool:
    value = node->GetBool() ? 1 : 0;
    break;
  case XNode::kTypeInteger:
    value = node->GetInteger();
    break;
  case XNode::kTypeReal:
    value = TruncateReal(node->GetReal());
    break;
  default:
    value = 0;
    break;
  }
  return 0;
}

int32_t CIniFileManagerProxy::SetInt(IniFileHandle handle, const WString& key, int32_t value) {
  auto* file = mData->Find(handle);
  if (!file) {
    return kUnknownHandle;
  }
  XNode* node = MemberData::FindNode(*file, key, true);
  if (!node) {
    return kMissing;
  }
  node->SetInteger(value);
  file->modified = true;
  return 0;
}

int32_t CIniFileManagerProxy::GetString(IniFileHandle handle, const WString& key, const WString& defaultValue,
                                        WString& value) {
  value = defaultValue;
  auto* file = mData->Find(handle);
  if (!file) {
    return kUnknownHandle;
  }
  if (const XNode* node = MemberData::FindNode(*file, key, false)) {
    value = TextOf(node);
  }
  return 0;
}

int32_t CIniFileManagerProxy::SetString(IniFileHandle handle, const WString& key, const WString& value) {
  auto* file = mData->Find(handle);
  if (!file) {
    return kUnknownHandle;
  }
  const NString text = value.ToUTF8();
  XNode* node = XNode::IsXmlText(text.View()) ? MemberData::FindNode(*file, key, true) : nullptr;
  if (!node) {
    return kMissing;
  }
  node->SetString(text.View());
  file->modified = true;
  return 0;
}

int32_t CIniFileManagerProxy::GetChildCount(IniFileHandle handle, const WString& key, uint32_t& count) {
  count = 0;
  auto* file = mData->Find(handle);
  if (!file) {
    return kUnknownHandle;
  }
  const XNode* node = MemberData::FindNode(*file, key, false);
  if (!node) {
    return kMissing;
  }
  count = node->GetChildCount(true);
  return 0;
}

int32_t CIniFileManagerProxy::GetChildName(IniFileHandle handle, const WString& key, uint32_t index, WString& name) {
  name.Empty();
  auto* file = mData->Find(handle);
  if (!file) {
    return kUnknownHandle;
  }
  const XNode* node = MemberData::FindNode(*file, key, false);
  if (!node || index >= node->GetChildCount(true)) {
    return kMissing;
  }
  if (const XNode* child = node->GetChild(index)) {
    name = FromUTF8(std::string(child->GetKey()));
  }
  return 0;
}

int32_t CIniFileManagerProxy::GetArrayCount(IniFileHandle handle, const WString& key, uint32_t& count) {
  count = 0;
  auto* file = mData->Find(handle);
  if (!file) {
    return kUnknownHandle;
  }
  const XNode* node = MemberData::FindNode(*file, key, false);
  if (!IsArray(node)) {
    return kMissing;
  }
  count = node->GetChildCount(true);
  return 0;
}

int32_t CIniFileManagerProxy::SetArrayCount(IniFileHandle handle, const WString& key, uint32_t count) {
  auto* file = mData->Find(handle);
  if (!file) {
    return kUnknownHandle;
  }
  XNode* node = MemberData::FindNode(*file, key, true);
  if (!node) {
    return kMissing;
  }
  ResizeArray(*node, count);
  file->modified = true;
  return 0;
}

int32_t CIniFileManagerProxy::GetArrayString(IniFileHandle handle, const WString& key, uint32_t index, WString& value) {
  value.Empty();
  auto* file = mData->Find(handle);
  if (!file) {
    return kUnknownHandle;
  }
  const XNode* node = MemberData::FindNode(*file, key, false);
  if (!IsArray(node) || index >= node->GetChildCount(true)) {
    return kMissing;
  }
  value = TextOf(node->GetChild(index));
  return 0;
}

int32_t CIniFileManagerProxy::SetArrayString(IniFileHandle handle, const WString& key, uint32_t index,
                                             const WString& value) {
  auto* file = mData->Find(handle);
  if (!file) {
    return kUnknownHandle;
  }
  const NString text = value.ToUTF8();
  if (!XNode::IsXmlText(text.View()) || index == std::numeric_limits<uint32_t>::max()) {
    return kMissing;
  }
  XNode* node = MemberData::FindNode(*file, key, true);
  if (!node) {
    return kMissing;
  }
  node->SetType(XNode::kTypeArray);
  if (index >= node->GetChildCount(true)) {
    ResizeArray(*node, index + 1);
  }
  node->GetChild(index)->SetString(text.View());
  file->modified = true;
  return 0;
}

int32_t CIniFileManagerProxy::RemoveArrayItem(IniFileHandle handle, const WString& key, uint32_t index) {
  auto* file = mData->Find(handle);
  if (!file) {
    return kUnknownHandle;
  }
  XNode* node = MemberData::FindNode(*file, key, false);
  if (!IsArray(node) || !node->RemoveChildAt(index)) {
    return kMissing;
  }
  file->modified = true;
  return 0;
}

} // namespace QZ
