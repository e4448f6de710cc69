#pragma once
// QZ::LTaggableObject: a shared object that carries one tag, a reference to another
// shared object (a control's user data, a list item's payload). The tag is owned as
// one reference and released with the object, or by ReleaseTagReference when a class
// that is also a client or a distributor is disposed (see LRefCountedObject).

#include "QZFramework/ObjectBase/RCPtr.h"

namespace QZ {

class LTaggableObject : public virtual LRefCountedObject {
public:
  const RCPtr<LRefCountedObject>& GetTag() const { return mTag; }
  void SetTag(const RCPtr<LRefCountedObject>& tag) { mTag = tag; }

protected:
  // This base's release step: lets the tag go (user data that may lead back to the object).
  void ReleaseTagReference() { mTag = nullptr; }

private:
  RCPtr<LRefCountedObject> mTag;
};

} // namespace QZ
