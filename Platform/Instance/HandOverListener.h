#pragma once
// The running instance's end of the hand-over: a thread that listens on the abstract
// socket and hands each good record's command line to a callback.
//
//   auto listener = HandOverListener::Start(HandOverSocketName(appId), {},
//                                           [](std::string line) { ...post it to the UI thread... });
//   if (!listener) { ... the name is taken: nobody can hand over to this process ... }
//   ...
//   listener->Stop();                                 // before what the callback uses goes
//
// One record per connection (HandOverRecord.h). A connection is dropped without a call
// when its peer runs as another user, its tag is not 1125, its length exceeds the bound
// (refused before anything is allocated for it), its bytes end before the length is
// read, they do not end with the one NUL, or the record is not complete within the read
// time. Connections are served one after the other.
//
// Threads: Start, Stop and the destructor on one thread; the callback runs on the
// listener's own thread, one call at a time, never after Stop returns.

#include <sys/types.h>

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <thread>

#include "Platform/Instance/HandOverRecord.h"

namespace QZ::Platform::Instance {

class HandOverListener {
public:
  struct Options {
    // How long a connection may take to deliver its whole record.
    std::chrono::milliseconds readTime{1000};
    // The most bytes a record may announce.
    uint32_t maxLength = kMaxHandOverLength;
    // The user a peer must run as; -1: this process's effective user.
    uid_t peerUser = uid_t(-1);
  };
  // Receives a command line (UTF-8, without the NUL; empty when nothing was handed over).
  using Callback = std::function<void(std::string commandLine)>;

  // Binds socketName (an abstract name: "\0..."), listens and starts the thread. Null when
  // the socket cannot be made or bound (another process holds the name); errno tells why.
  [[nodiscard]] static std::unique_ptr<HandOverListener> Start(const std::string& socketName, Options options,
                                                               Callback callback);
  // Stops.
  ~HandOverListener();
  HandOverListener(const HandOverListener&) = delete;
  HandOverListener& operator=(const HandOverListener&) = delete;

  // Wakes the thread, waits for it to end (a record being read is dropped) and closes the
  // socket. Nothing the second time.
  void Stop();

private:
  HandOverListener(int listenSocket, int wakeRead, int wakeWrite, Options options, Callback callback);
  void Listen();
  void Serve(int connection);
  // Waits until fd is readable, the deadline passes or Stop wakes the thread: true for
  // readable.
  bool WaitReadable(int fd, std::chrono::steady_clock::time_point deadline) const;
  // Sleeps unless Stop wakes the thread first: true when it did.
  bool StopRequestedWithin(int32_t milliseconds) const;
  // Reads exactly size bytes before the deadline: false when the peer ends first, the
  // deadline passes or Stop wakes the thread.
  bool ReadExactly(int connection, uint8_t* bytes, size_t size, std::chrono::steady_clock::time_point deadline) const;

  int mSocket;
  int mWakeRead;
  int mWakeWrite;
  Options mOptions;
  Callback mCallback;
  std::thread mThread;
};

} // namespace QZ::Platform::Instance
