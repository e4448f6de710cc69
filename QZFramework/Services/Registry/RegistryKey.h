#pragma once
// QZ::LRegistryKey: one key of the registry, read only.
//
//   QZ::RCPtr<QZ::LRegistryKey> drivers(
//       new QZ::LRegistryKey(QZ::LRegistryKey::kLocalMachine, u"Software\\Orbaxa\\Audio\\Drivers", false));
//   QZ::RCPtr<QZ::LRegistryKey> child = drivers->GetSubKey(u"Quorin ZTR");   // null when absent
//   QZ::VariantEx path;
//   if (child && child->GetValue(u"SoftwarePath", path) == 0) { ... path.GetString() ... }
//
// The registry is the stand-in's text file (Platform/Registry/RegistryFile.h). A key is
// opened by each operation that needs it and closed again at its end, unless Open had
// opened it before; a key that cannot be opened stays closed and is tried again by the
// next operation. Nothing throws: failures give QZ_E_FAIL or a null key. Every
// operation holds the key's mutex, so one key object may be shared between threads;
// child keys are independent objects.

#include <cstdint>
#include <optional>

#include "Platform/Registry/RegistryFile.h"
#include "QZFramework/ObjectBase/RCPtr.h"
#include "QZFramework/Services/Sync/Mutex.h"
#include "QZFramework/Utilities/Storage/StringArray.h"
#include "QZFramework/Utilities/Storage/StringT.h"
#include "QZFramework/Utilities/Storage/VariantEx.h"

namespace QZ {

class LRegistryKey : public virtual LRefCountedObject {
public:
  // Root codes; any other code names no root, so every operation fails.
  static constexpr uint32_t kClassesRoot = 0;
  static constexpr uint32_t kCurrentUser = 1;
  static constexpr uint32_t kLocalMachine = 2;
  static constexpr uint32_t kUsers = 3;

  // path: backslash-separated, below the root. The stand-in registry has one view, so
  // the 64-bit view flag is only handed on to child keys. The key starts closed.
  LRegistryKey(uint32_t rootCode, const WString& path, bool use64BitView);

  // 1 when already open, 0 when it opened now (and stays open), else QZ_E_FAIL.
  [[nodiscard]] QZResult Open();
  // A string value (type 1) becomes a UTF-8 String: its text up to the first NUL or the
  // end of its data, whichever comes first. Any other type becomes a Buffer of its bytes.
  // 0, or QZ_E_FAIL (value unchanged) when the key cannot be opened or has no such value.
  [[nodiscard]] QZResult GetValue(const WString& name, VariantEx& value);
  // names becomes the child keys' names; 0, or QZ_E_FAIL (names emptied) when the key
  // cannot be opened.
  QZResult GetSubKeyNames(WStringArray& names);
  // The child key of exactly that name (case-sensitive), closed; null when the key cannot
  // be opened or has no such child.
  RCPtr<LRegistryKey> GetSubKey(const WString& name);

  const WString& GetPath() const { return mPath; }

private:
  // Holds the key open for one operation; closes it at the end when it opened it.
  class Session;

  std::optional<Platform::Registry::Key> mKey; // empty while closed
  uint32_t mRootCode;
  WString mPath;
  bool mUse64BitView;
  Mutex mMutex;
};

} // namespace QZ
