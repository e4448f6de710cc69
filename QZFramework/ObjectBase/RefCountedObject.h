#pragma once
// QZ::LRefCountedObject: the intrusive reference-counted base of every shared object.
//
//   class LPoint : public virtual QZ::LRefCountedObject { ... };
//   QZ::RCPtr<LPoint> p(new LPoint);   // count 0 -> 1
//   QZ::RCPtr<LPoint> q = p;           // 2
//   p = nullptr;                       // 1; q's release destroys the object
//
// Beside the count, an object keeps an internal count: references that its own
// partners hold (a distributor holding a client that is registered with it). When
// only internal references and the one being released are left, Release calls
// ReleaseInternalReferences so the object can break those cycles; it is then
// destroyed when nothing else holds it.
//
// An object marked unshareable (SetUnshareable(true)) is copied with CreateCopy
// whenever a second smart pointer takes it: this is how strings lock their buffers.
//
// Derive virtually, so that an object which is several shared things at once (a
// control is a notification client, a distributor and a taggable object) has one
// set of counters. Counts change atomically; any thread may take and drop references.
// Debug builds check that no count goes below zero and that an object is destroyed only
// once no smart pointer holds it.
//
// Releasing internal references across several bases. Each base that holds internal
// references (or, like the tag, references that may lead back to the object) has one
// protected, non-virtual step that drops its own and nothing else, and may run again:
//   LNotificationDistributor::ReleaseDistributorReferences  every client registered here
//                                                           unregisters (nobody hears it)
//   LNotificationClient::ReleaseClientReferences            every registration it holds
//                                                           elsewhere goes (it hears nobody)
//   LNotificationQueue::ReleaseQueueReferences              what waits is discarded and the
//                                                           queue shut down
//   LTaggableObject::ReleaseTagReference                    the tag is let go
// A base's own ReleaseInternalReferences runs its step, then the base test
// (LRefCountedObject::ReleaseInternalReferences). A class with several of these bases
// overrides once: its own references first (threads, children, caches), then each base's
// step once, in the order above, then the base test; it never calls two bases'
// overrides, nor re-does a step by hand. A class with one such base may run that base's
// override after its own references instead. For example (a control is all three):
//
//   class LControl : public virtual LNotificationClient, public virtual LNotificationDistributor,
//                    public virtual LTaggableObject {
//     QZResult ReleaseInternalReferences() override {
//       (void)mChildren.RemoveAll();   // its own cycles first: children hold it back
//       ReleaseDistributorReferences();
//       ReleaseClientReferences();
//       ReleaseTagReference();
//       return LRefCountedObject::ReleaseInternalReferences();
//     }
//   };

#include <atomic>
#include <cstdint>

#include "QZFramework/ObjectBase/DebugAssert.h"
#include "QZFramework/ObjectBase/Exception.h"
#include "QZFramework/Utilities/Storage/StringFwd.h"

namespace QZ {

template <class T, class P>
class ConstRCPtr;
template <class T, class P>
class RCPtr;

// An object with a text form.
class IStringable {
public:
  virtual ~IStringable() = default;
  virtual WString ToString() const = 0;
};

// An object with an undo hook.
class IUndoable : public IStringable {
public:
  virtual void Undo() = 0;
};

class LRefCountedObject : public IUndoable {
public:
  LRefCountedObject() = default;
  // A copy of an object's contents is a new object: fresh counts, shareable.
  LRefCountedObject(const LRefCountedObject&) : IUndoable() {}
  LRefCountedObject& operator=(const LRefCountedObject&) { return *this; }

  // "LRefCountedObject::ToString() not overridden. Returning TypeName: " + dynamic type.
  WString ToString() const override;
  // Throws Logic Error: no shared object implements undo.
  void Undo() override;

  // Returns the count after the increment. No class overrides it, so that smart pointers
  // take references without a virtual call.
  virtual int32_t AddRef() const final { return mRefCount.fetch_add(1) + 1; }
  // Drops one reference; runs ReleaseInternalReferences when only internal references
  // remain beside this one; destroys the object at 0. Returns the new count.
  // Smart pointers drop their references through ReleaseReference, which calls Release
  // only for a release that may be the last outside one (count 1, or only internal
  // references beside it): an override acts on those and passes the others to the base.
  virtual int32_t Release() const;
  // Drops one reference as Release does; a release that cannot be the last outside one
  // is a plain decrement.
  void ReleaseReference() const {
    const int32_t count = mRefCount.load();
    if (count == 1 || count - mInternalRefCount.load() == 1) {
      Release();
    } else if (const int32_t before = mRefCount.fetch_sub(1); before == 1) {
      // Other holders let go meanwhile: this was the last reference after all.
      delete this;
    } else {
      QZ_DEBUG_ASSERT(before > 0, "a reference is released twice");
    }
  }
  // Override to give up internal references (each with AddInternalReferences(-1)),
  // then return the base result: 0 when only the caller's reference remains and no
  // internal one, else QZ_E_FAIL. Runs on the releasing thread, at most once at a time.
  virtual QZResult ReleaseInternalReferences();
  // A new, equal object holding one reference. The base throws Logic Error.
  virtual RCPtr<LRefCountedObject, LRefCountedObject*> CreateCopy() const;

  ~LRefCountedObject() override;

  // true: every further smart pointer that takes this object gets a private copy.
  // Throws Runtime Error when marking unshareable an object held more than once.
  void SetUnshareable(bool unshareable);
  // Adds delta to the internal count. Called by the code that makes or breaks a link.
  void AddInternalReferences(int32_t delta);

  int32_t GetRefCount() const { return mRefCount.load(); }
  int32_t GetInternalRefCount() const { return mInternalRefCount.load(); }
  bool IsShareable() const { return mShareable.load(std::memory_order_relaxed); }

private:
  mutable std::atomic<int32_t> mRefCount{0};
  std::atomic<int32_t> mInternalRefCount{0};
  mutable std::atomic<int32_t> mReleasing{0};
  std::atomic<bool> mShareable{true};
};

} // namespace QZ
