#pragma once
// QZ::LKeyParam: the parameter of one key event on its way through the control tree: the
// key, whether it was made by the OS window (wrapped), and the path of controls it has
// climbed through, the child it came from last.
//
//   QZ::RCPtr<QZ::LKeyParam> key = QZ::LKeyParam::Create(QZ::KeyCode(0x09, true, 0, 0), true);
//   key->AppendToPath(control);                        // an RCPtr<LControl>
//   QZ::RCPtr<QZ::LControl> from = key->GetLastInPath();
//
// The path holds the controls through their shared base, so that key codes, hot keys and
// this parameter build below the control class; the typed readers cast back to LControl
// (or any other class given) where that class is complete, and give null for an entry
// of another class.
//
// Not synchronised: a key parameter belongs to the UI thread that routes it.

#include <cstdint>

#include "QZFramework/ControlBase/KeyCode.h"
#include "QZFramework/ObjectBase/RCPtr.h"
#include "QZFramework/Utilities/Storage/RCPtrArray.h"

namespace QZ {

class LControl;

class LKeyParam : public virtual LRefCountedObject {
public:
  // A new parameter with an empty path.
  static RCPtr<LKeyParam> Create(const KeyCode& key, bool wrapped);

  const KeyCode& GetKey() const { return mKey; }
  bool IsWrapped() const { return mWrapped; }

  // Appends control (null is kept as null) to the path.
  void AppendToPath(const RCPtr<LRefCountedObject>& control);
  uint32_t GetPathCount() const { return mPath.GetCount(); }
  // The entry at index as a TControl; null for an index not below the count.
  template <class TControl = LControl>
  RCPtr<TControl> GetPathAt(uint32_t index) const {
    return DynamicCast<TControl>(mPath.GetAt(index));
  }
  // The last entry as a TControl; null when the path is empty.
  template <class TControl = LControl>
  RCPtr<TControl> GetLastInPath() const {
    return mPath.GetCount() == 0 ? RCPtr<TControl>() : GetPathAt<TControl>(mPath.GetCount() - 1);
  }

private:
  LKeyParam(const KeyCode& key, bool wrapped) : mKey(key), mWrapped(wrapped) {}

  KeyCode mKey;
  bool mWrapped;
  RCPtrArray<LRefCountedObject> mPath;
};

} // namespace QZ
