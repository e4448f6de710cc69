#pragma once
// QZ::LTaggableObject: a shared object that carries one tag, a reference to another
// shared object (a control's user data, a list item's payload). The tag is owned as
// one reference and released with the object.

#include "QZFramework/ObjectBase/RCPtr.h"

namespace QZ {

class LTaggableObject : public virtual LRefCountedObject {
public:
  const RCPtr<LRefCountedObject>& GetTag() const { return mTag; }
  void SetTag(const RCPtr<LRefCountedObject>& tag) { mTag = tag; }

private:
  RCPtr<LRefCountedObject> mTag;
};

} // namespace QZ
