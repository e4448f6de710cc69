#pragma once
// LParamCache: the last known value of every parameter of the controller, by the id
// relative to the root module's first id (0 .. count - 1).
//
//   QZ::RCPtr<LParamCache> cache(new LParamCache(145));
//   cache->SetValue(QZ::ParamDescriptor(5), level, true);   // 0 changed, 1 unchanged, -1 error
//   QZ::Variant value;
//   cache->GetValue(QZ::ParamDescriptor(5), value);         // 0: value == level
//
// A descriptor's qualifier addresses a sub-value: the entry then holds a keyed list, a
// ParamValues list of value entries [value, Int32 relative id, sub-key] sorted by
// (id, sub-key). A List qualifier is a path, one element per level: level 1 in the entry's
// keyed list, level 2 in the keyed list held as the value of level 1, and so on. Setting
// an Empty value at a sub-key removes that sub-value.
//
// Any thread may call SetValue and GetValue; each call is atomic with respect to the
// others. The lock is a word that costs one atomic exchange uncontended and sleeps on an
// event only when two threads meet; the cache calls nothing that locks while holding it,
// except its own OnValueChanged.

#include <cstdint>
#include <vector>

#include "QZFramework/ObjectBase/RCPtr.h"
#include "QZFramework/Services/Sync/EventLock.h"
#include "QZFramework/Utilities/Storage/ParamValues.h"

class LParamCache : public virtual QZ::LRefCountedObject {
public:
  // Results of SetValue (and GetValue: found, absent, error).
  static constexpr int32_t kChanged = 0;
  static constexpr int32_t kUnchanged = 1;
  static constexpr int32_t kError = -1;

  // count Empty entries.
  explicit LParamCache(uint32_t count);

  uint32_t GetCount() const { return static_cast<uint32_t>(mEntries.size()); }

  // Stores value at the descriptor (id relative; the qualifier Empty for the entry
  // itself): kChanged, kUnchanged when it held an equal value, kError for an id not below
  // the count or a path with no element, an Empty element or an element that does not
  // decode (external data). An entry that is not a keyed list is replaced by one when a
  // sub-value is set. With notify, a change calls OnValueChanged(id, the whole entry).
  virtual int32_t SetValue(const QZ::ParamDescriptor& descriptor, const QZ::Variant& value, bool notify);
  // value becomes the stored value: 0 found, 1 absent (value Empty), kError for a bad id
  // or path, or a sub-value asked of an entry that is not a keyed list.
  virtual int32_t GetValue(const QZ::ParamDescriptor& descriptor, QZ::Variant& value) const;

protected:
  // Told of every change that SetValue makes with notify, under the cache's lock (do not
  // call back into the cache). The base has nothing to do: QZ_E_NOTIMPL.
  virtual QZ::QZResult OnValueChanged(uint32_t relativeID, const QZ::Variant& entry);

private:
  std::vector<QZ::Variant> mEntries;
  mutable QZ::EventLock mLock;
};
