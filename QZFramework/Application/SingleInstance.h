#pragma once
// QZ::SingleInstance: makes one process of a user's program the running instance, and lets
// a second start hand its command line to it and end.
//
//   QZ::SingleInstance instance(NString(GetAppId()).GetBuffer(), {});
//   if (!instance.Decide(commandLine)) {
//     return 0;                                       // handed over: this process ends
//   }
//   ... the UI thread, on the thread message WM_QZ_HANDEDOVER:
//   for (const std::string& line : instance.TakeReceived()) { ... }
//   ...
//   instance.StopListening();                         // before what receives goes away
//
// Decide takes the lock "<id>Prevent" (Platform/Instance/InstanceNames.h), whose path also
// names the hand-over socket. Held: this is the
// running instance; it listens for hand-overs, and the lock is kept while the object lives
// (the kernel drops it on any death of the process). Busy: the command line goes to the
// running instance (retried while it is still starting); when nobody takes it, this
// process goes on as a running instance (without a listener: the name is the other's).
// Any other failure of the lock counts as the running instance.
//
// Each command line received is kept for the UI thread, which the listener wakes by
// posting the thread message WM_QZ_HANDEDOVER to the UI thread's queue (one per line; a
// post refused while the queue does not run leaves the line for the next).
//
// Threads: Decide, TakeReceived and StopListening on the UI thread; the listener's own
// thread keeps the received lines.

#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

#include "Platform/Instance/HandOverListener.h"
#include "Platform/Instance/HandOverSender.h"

namespace QZ::Platform::Instance {
class InstanceLock;
}

namespace QZ {

// The thread message that tells the UI thread of a received command line.
inline constexpr uint32_t WM_QZ_HANDEDOVER = 0xBF40;

class SingleInstance {
public:
  struct Options {
    // empty: LockFilePath(appId). The hand-over socket is named from it.
    std::string lockPath;
    Platform::Instance::HandOverSendOptions send;
    Platform::Instance::HandOverListener::Options listen;
  };
  enum class Decision {
    First,     // this process is the running instance and listens
    Alone,     // this process goes on as a running instance, but nobody can hand over to it
    HandedOver // the running instance took the command line: this process ends
  };

  SingleInstance(std::string_view appId, Options options);
  ~SingleInstance();
  SingleInstance(const SingleInstance&) = delete;
  SingleInstance& operator=(const SingleInstance&) = delete;

  // Once per process. commandLine: UTF-8.
  [[nodiscard]] Decision Decide(std::string_view commandLine);
  // The command lines received since the last call, oldest first.
  std::vector<std::string> TakeReceived();
  // Stops and joins the listener; what it had not handed out yet is dropped. The lock
  // stays. Nothing when it does not listen.
  void StopListening();
  // Stops listening and lets the lock go: a start that failed is no running instance.
  void Release();

private:
  void Receive(std::string commandLine);

  std::string mLockPath;
  std::string mSocketName;
  Options mOptions;
  std::unique_ptr<Platform::Instance::InstanceLock> mLock;
  std::unique_ptr<Platform::Instance::HandOverListener> mListener;
  std::mutex mMutex;
  std::vector<std::string> mReceived;
};

} // namespace QZ
