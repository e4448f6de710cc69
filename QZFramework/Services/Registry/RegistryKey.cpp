#include "QZFramework/Services/Registry/RegistryKey.h"

#include <string>

namespace QZ {

namespace Registry = Platform::Registry;

namespace {

bool RootOf(uint32_t rootCode, Registry::Root& root) {
  static constexpr Registry::Root kRoots[] = {Registry::Root::ClassesRoot, Registry::Root::CurrentUser,
                                              Registry::Root::LocalMachine, Registry::Root::Users};
  if (rootCode >= std::size(kRoots)) {
    return false;
  }
  root = kRoots[rootCode];
  return true;
}

// The units of a string value's UTF-16LE bytes up to the first NUL or the end of the data:
// a value written without its terminator must not be read past its size.
std::u16string TextOf(const std::vector<uint8_t>& data) {
  std::u16string text;
  for (size_t i = 0; i + 1 < data.size(); i += 2) {
    const auto unit = static_cast<char16_t>(data[i] | (data[i + 1] << 8));
    if (unit == u'\0') {
      break;
    }
    text.push_back(unit);
  }
  return text;
}

} // namespace

class LRegistryKey::Session {
public:
  explicit Session(LRegistryKey& key) : mKey(key), mOpenedHere(key.Open() == QZ_OK) {}
  Session(const Session&) = delete;
  Session& operator=(const Session&) = delete;
  ~Session() {
    if (mOpenedHere) {
      mKey.mKey.reset();
    }
  }

  const Registry::Key* Get() const { return mKey.mKey ? &*mKey.mKey : nullptr; }

private:
  LRegistryKey& mKey;
  const bool mOpenedHere;
};

LRegistryKey::LRegistryKey(uint32_t rootCode, const WString& path, bool use64BitView)
    : mRootCode(rootCode), mPath(path), mUse64BitView(use64BitView) {}

QZResult LRegistryKey::Open() {
  Mutex::ScopedLock hold(mMutex);
  if (mKey) {
    return 1;
  }
  Registry::Root root;
  Registry::Key key;
  if (!RootOf(mRootCode, root) || Registry::OpenKey(root, mPath.View(), key) != Registry::kSuccess) {
    return QZ_E_FAIL;
  }
  mKey = key;
  return QZ_OK;
}

QZResult LRegistryKey::GetValue(const WString& name, VariantEx& value) {
  Mutex::ScopedLock hold(mMutex);
  Session session(*this);
  Registry::Value data;
  if (!session.Get() || session.Get()->QueryValue(name.View(), data) != Registry::kSuccess) {
    return QZ_E_FAIL;
  }
  if (data.type == Registry::kTypeString) {
    const std::u16string text = TextOf(data.data);
    value.SetString(WString(text.c_str(), uint32_t(text.size())));
  } else {
    value.SetBuffer(data.data.data(), uint32_t(data.data.size()));
  }
  return QZ_OK;
}

QZResult LRegistryKey::GetSubKeyNames(WStringArray& names) {
  Mutex::ScopedLock hold(mMutex);
  Session session(*this);
  names.RemoveAll();
  if (!session.Get()) {
    return QZ_E_FAIL;
  }
  names.SetCount(session.Get()->SubKeyCount());
  std::u16string name;
  for (uint32_t i = 0; i < names.GetCount() && session.Get()->EnumKey(i, name) == Registry::kSuccess; ++i) {
    names.GetAt(i) = WString(name.c_str(), uint32_t(name.size()));
  }
  return QZ_OK;
}

RCPtr<LRegistryKey> LRegistryKey::GetSubKey(const WString& name) {
  Mutex::ScopedLock hold(mMutex);
  WStringArray names;
  if (GetSubKeyNames(names) != QZ_OK || names.FindByName(name, true, 0) < 0) {
    return nullptr;
  }
  WString path = mPath;
  if (!path.IsEmpty()) {
    path += u'\\';
  }
  path += name;
  return RCPtr<LRegistryKey>(new LRegistryKey(mRootCode, path, mUse64BitView));
}

} // namespace QZ
