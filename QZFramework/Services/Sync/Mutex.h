#pragma once
// QZ::Mutex: the framework's recursive lock; QZ::Mutex::ScopedLock holds it for a scope.
//
//   QZ::Mutex::ScopedLock hold(mMutex);   // released on every exit path
//
// The owning thread may take it again; it must release it as often as it took it.
// Lock and Unlock do not fail.

#include <mutex>

namespace QZ {

class Mutex {
public:
  Mutex() = default;
  Mutex(const Mutex&) = delete;
  Mutex& operator=(const Mutex&) = delete;
  virtual ~Mutex() = default;

  // Blocks until the calling thread holds the lock.
  void Lock() { mMutex.lock(); }
  // Called by the holding thread, once per Lock.
  void Unlock() { mMutex.unlock(); }

  class ScopedLock {
  public:
    explicit ScopedLock(Mutex& mutex) : mMutex(mutex) { mMutex.Lock(); }
    ScopedLock(const ScopedLock&) = delete;
    ScopedLock& operator=(const ScopedLock&) = delete;
    ~ScopedLock() { mMutex.Unlock(); }

  private:
    Mutex& mMutex;
  };

private:
  std::recursive_mutex mMutex;
};

} // namespace QZ
