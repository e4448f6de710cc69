#include "QZFramework/ObjectBase/RefCountedObject.h"

#include <typeinfo>

#include "QZFramework/ObjectBase/DebugAssert.h"
#include "QZFramework/ObjectBase/RCPtr.h"
#include "QZFramework/ObjectBase/TypeName.h"
#include "QZFramework/Utilities/Storage/StringT.h"

namespace QZ {

LRefCountedObject::~LRefCountedObject() {
  QZ_DEBUG_ASSERT(mRefCount.load() == 0, "a shared object is destroyed while smart pointers hold it");
}

WString LRefCountedObject::ToString() const {
  const std::string text =
      "LRefCountedObject::ToString() not overridden. Returning TypeName: " + TypeName(typeid(*this));
  return WString(text.c_str());
}

void LRefCountedObject::Undo() {
  Throw<std::logic_error>({"QZ::LRefCountedObject::Undo", R"(qzframework\objectbase\RefCountedObject)", 156},
                          "Undo() not implemented for RefCountedObject");
}

int32_t LRefCountedObject::Release() const {
  const int32_t count = mRefCount.load();
  const int32_t internal = mInternalRefCount.load();
  // The sole holder of an object without internal references has no hook to run.
  if (count - internal == 1 && internal != 0) {
    int32_t expected = 0;
    if (mReleasing.compare_exchange_strong(expected, 1)) {
      if (mInternalRefCount.load() > 0) {
        // Destruction and cycle breaking are not logically const operations.
        // Its answer is for callers that ask; the count below decides.
        (void)const_cast<LRefCountedObject*>(this)->ReleaseInternalReferences();
      }
      if (mRefCount.load() != 1) {
        expected = 1;
        mReleasing.compare_exchange_strong(expected, 0);
      }
    }
  }
  const int32_t remaining = --mRefCount;
  QZ_DEBUG_ASSERT(remaining >= 0, "a reference is released twice");
  if (remaining == 0) {
    delete this;
  }
  return remaining;
}

QZResult LRefCountedObject::ReleaseInternalReferences() {
  return mInternalRefCount.load() == 0 && mRefCount.load() == 1 ? QZ_OK : QZ_E_FAIL;
}

RCPtr<LRefCountedObject, LRefCountedObject*> LRefCountedObject::CreateCopy() const {
  Throw<std::logic_error>({"QZ::LRefCountedObject::CreateCopy", R"(qzframework\objectbase\RefCountedObject)", 274},
                          "CreateCopy() not implemented for RefCountedObject");
}

void LRefCountedObject::SetUnshareable(bool unshareable) {
  if (unshareable && mRefCount.load() > 1) {
    Throw<std::runtime_error>({"QZ::LRefCountedObject::SetUnshareable", R"(ObjectBase\RefCountedObject)", 29});
  }
  mShareable.store(!unshareable, std::memory_order_relaxed);
}

void LRefCountedObject::AddInternalReferences(int32_t delta) {
  [[maybe_unused]] const int32_t internal = mInternalRefCount += delta;
  QZ_DEBUG_ASSERT(internal >= 0, "an internal reference is released twice");
}

} // namespace QZ
