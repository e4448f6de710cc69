#pragma once
// The lock that makes one process of a program the running instance: an exclusive
// advisory lock (flock) on a file, held while the object lives. The kernel drops it when
// the process dies in any way, so a killed instance never blocks the next start.
//
//   InstanceLock lock(LockFilePath(appId));          // kept for the process's lifetime
//   if (lock.GetState() == InstanceLock::State::Busy) {
//     ... another instance runs: hand the command line over ...
//   }
//
// The file is opened close-on-exec, so programs this process starts (dialogs, the
// browser) never hold the lock after it ends. It is created for the user alone, a link
// is not followed, and a file of another user is not taken.
//
// One thread at a time per object.

#include <string>

namespace QZ::Platform::Instance {

class InstanceLock {
public:
  enum class State {
    Held,   // this object holds the lock
    Busy,   // another open file (normally another process) holds it
    Failed, // the file could not be opened or locked for another reason
  };

  // Opens (creating it when missing) the file at path and tries to take its lock without
  // waiting.
  explicit InstanceLock(const std::string& path);
  // Releases the lock and closes the file (the file stays: removing it could let two
  // processes hold locks on two files of one name).
  ~InstanceLock();
  InstanceLock(const InstanceLock&) = delete;
  InstanceLock& operator=(const InstanceLock&) = delete;

  State GetState() const { return mState; }
  // The system's error number of a failure; 0 otherwise.
  int GetError() const { return mError; }

private:
  int mFile = -1;
  State mState = State::Failed;
  int mError = 0;
};

} // namespace QZ::Platform::Instance
