#pragma once
// Test objects that count their live instances, so every test can assert that what it
// created was destroyed exactly once.

#include <atomic>
#include <cstdint>

#include "QZFramework/ObjectBase/RCPtr.h"

namespace QZTest {

struct InstanceCounter {
  std::atomic<int> live{0};
  std::atomic<int> destroyed{0};
};

// A shared object with an identity value; copies (through CreateCopy when asked) carry it.
class CountedObject : public virtual QZ::LRefCountedObject {
public:
  explicit CountedObject(InstanceCounter& counter, int value = 0, bool copyable = true)
      : mCounter(counter), mValue(value), mCopyable(copyable) {
    ++mCounter.live;
  }
  ~CountedObject() override {
    --mCounter.live;
    ++mCounter.destroyed;
  }

  QZ::RCPtr<QZ::LRefCountedObject> CreateCopy() const override {
    if (!mCopyable) {
      return QZ::LRefCountedObject::CreateCopy();
    }
    return QZ::RCPtr<QZ::LRefCountedObject>(new CountedObject(mCounter, mValue, mCopyable));
  }

  int Value() const { return mValue; }
  void SetValue(int value) { mValue = value; }

private:
  InstanceCounter& mCounter;
  int mValue;
  bool mCopyable;
};

class DerivedCountedObject : public CountedObject {
public:
  using CountedObject::CountedObject;
};

class UnrelatedObject : public virtual QZ::LRefCountedObject {};

} // namespace QZTest
