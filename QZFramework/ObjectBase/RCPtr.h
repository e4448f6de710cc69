#pragma once
// QZ::ConstRCPtr and QZ::RCPtr: smart pointers owning one reference of an
// LRefCountedObject.
//
//   QZ::RCPtr<LModule> module(new LModule);          // count 1
//   QZ::ConstRCPtr<LModule> reader = module;         // count 2, read-only access
//   QZ::RCPtr<LDerived> d = QZ::DynamicCast<LDerived>(module);  // null when not an LDerived
//
// Every new reference goes through Share: AddRef, and when the object is marked
// unshareable the new holder receives a private copy (CreateCopy). Reading or writing
// through a pointer never copies. Moving transfers the reference without a new one.
//
// A single smart pointer is not synchronised: share it across threads only under the
// owner's lock. Different smart pointers to one object may live on different threads.
//
// If CreateCopy throws during Share, the pointer ends null and the object's count is
// what it was before the failed copy: a failed copy leaks no reference.

#include <cstddef>
#include <string>
#include <type_traits>
#include <utility>

#include "QZFramework/ObjectBase/RefCountedObject.h"
#include "QZFramework/ObjectBase/TypeName.h"

namespace QZ {

template <class T, class P = T*>
class ConstRCPtr {
  static_assert(std::is_same_v<P, T*>, "the raw pointer type is T*");

public:
  using element_type = T;

  ConstRCPtr() noexcept = default;
  ConstRCPtr(std::nullptr_t) noexcept {}
  // Takes a reference (count 0 -> 1 for a new object). Derived pointers convert.
  ConstRCPtr(const T* p) : mPtr(const_cast<T*>(p)) { Share(); }
  ConstRCPtr(const ConstRCPtr& other) : mPtr(other.mPtr) { Share(); }
  ConstRCPtr(ConstRCPtr&& other) noexcept : mPtr(std::exchange(other.mPtr, nullptr)) {}

  template <class U, class PU>
  requires std::is_convertible_v<U*, T*> ConstRCPtr(const ConstRCPtr<U, PU>& other)
      : ConstRCPtr(static_cast<const T*>(other.Get())) {}

  ~ConstRCPtr() {
    if (mPtr) {
      AsObject(mPtr)->ReleaseReference();
    }
  }

  // Same object: nothing happens. Otherwise the new object is shared before the old
  // one is released; if sharing throws, this pointer keeps its old object.
  ConstRCPtr& operator=(const ConstRCPtr& other) {
    if (mPtr != other.mPtr) {
      ConstRCPtr taken(other);
      Swap(taken);
    }
    return *this;
  }
  ConstRCPtr& operator=(ConstRCPtr&& other) noexcept {
    if (this != &other) {
      ConstRCPtr taken(std::move(other));
      Swap(taken);
    }
    return *this;
  }
  ConstRCPtr& operator=(std::nullptr_t) noexcept {
    ConstRCPtr released(std::move(*this));
    return *this;
  }

  const T* Get() const noexcept { return mPtr; }
  const T* operator->() const noexcept { return mPtr; }
  const T& operator*() const noexcept { return *mPtr; }
  explicit operator bool() const noexcept { return mPtr != nullptr; }
  bool IsNull() const noexcept { return mPtr == nullptr; }

  void Swap(ConstRCPtr& other) noexcept { std::swap(mPtr, other.mPtr); }

  friend bool operator==(const ConstRCPtr& a, const ConstRCPtr& b) noexcept { return a.mPtr == b.mPtr; }
  friend bool operator==(const ConstRCPtr& a, std::nullptr_t) noexcept { return a.mPtr == nullptr; }
  friend bool operator==(const ConstRCPtr& a, const T* b) noexcept { return a.mPtr == b; }

protected:
  static const LRefCountedObject* AsObject(const T* p) noexcept { return p; }

  // Takes this pointer's reference and detaches a copy of an unshareable object.
  void Share() {
    if (!mPtr) {
      return;
    }
    AsObject(mPtr)->AddRef();
    if (!AsObject(mPtr)->IsShareable()) {
      Unshare();
    }
  }

  // Replaces a shared object by a private copy. On failure the reference taken by
  // Share is given back and the pointer ends null.
  void Unshare();

  T* mPtr = nullptr;
};

template <class T, class P = T*>
class RCPtr : public ConstRCPtr<T, P> {
  using Base = ConstRCPtr<T, P>;

public:
  RCPtr() noexcept = default;
  RCPtr(std::nullptr_t) noexcept {}
  RCPtr(T* p) : Base(p) {}
  RCPtr(const RCPtr&) = default;
  RCPtr(RCPtr&&) noexcept = default;

  template <class U, class PU>
  requires std::is_convertible_v<U*, T*> RCPtr(const RCPtr<U, PU>& other) : Base(static_cast<T*>(other.Get())) {}

  RCPtr& operator=(const RCPtr&) = default;
  RCPtr& operator=(RCPtr&&) noexcept = default;
  RCPtr& operator=(std::nullptr_t) noexcept {
    Base::operator=(nullptr);
    return *this;
  }

  // Takes over a reference that the caller counted already (no AddRef, no copy): for
  // owners that hand their own reference on, such as a pool keeping a released object.
  static RCPtr Adopt(T* counted) noexcept {
    RCPtr adopted;
    adopted.mPtr = counted;
    return adopted;
  }

  T* Get() const noexcept { return this->mPtr; }
  T* operator->() const noexcept { return this->mPtr; }
  T& operator*() const noexcept { return *this->mPtr; }
};

// Run-time checked conversion; a null source or a failed cast gives null.
template <class T, class U, class PU>
RCPtr<T> DynamicCast(const RCPtr<U, PU>& source) {
  return RCPtr<T>(dynamic_cast<T*>(source.Get()));
}
template <class T, class U, class PU>
ConstRCPtr<T> DynamicCast(const ConstRCPtr<U, PU>& source) {
  return ConstRCPtr<T>(dynamic_cast<const T*>(source.Get()));
}

template <class T, class P>
void ConstRCPtr<T, P>::Unshare() {
  if (!mPtr || AsObject(mPtr)->GetRefCount() <= 1) {
    return;
  }
  const LRefCountedObject* original = AsObject(mPtr);
  T* converted = nullptr;
  RCPtr<LRefCountedObject> copy;
  try {
    copy = original->CreateCopy();
    if constexpr (std::is_same_v<T, LRefCountedObject>) {
      converted = copy.Get();
    } else {
      converted = dynamic_cast<T*>(copy.Get());
    }
    if (!converted) {
      const std::string type = TypeName<T>();
      Throw<std::logic_error>(
          {"QZ::ConstRCPtr<" + type + "," + type + " *>::Unshare", R"(qzframework\objectbase\RefCountedObject)", 424},
          type);
    }
  } catch (...) {
    mPtr = nullptr;
    original->Release();
    throw;
  }
  AsObject(converted)->AddRef();
  mPtr = converted;
  original->Release();
}

} // namespace QZ
