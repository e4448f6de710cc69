#pragma once
// The second start's end of the hand-over: sends its command line to the running
// instance's listener (HandOverListener.h).
//
//   if (SendHandOver(HandOverSocketName(appId), commandLine, {}) == HandOverResult::Sent) {
//     return 0;                                       // the running instance takes over
//   }
//   ... nobody listens: go on as the running instance ...
//
// The running instance may still be starting (it holds the lock but has not bound the
// socket yet): the connection is retried for a while. A listener of another user is
// never sent anything. A command line longer than a record may carry is not sent; an
// empty record still brings the running instance to the front.
//
// Any thread; blocks for at most the connect time (plus the send, which a listening
// peer's socket buffer takes at once).

#include <sys/types.h>

#include <chrono>
#include <string>
#include <string_view>

namespace QZ::Platform::Instance {

enum class HandOverResult {
  Sent,       // the record is in the listener's socket
  NoListener, // nobody of this user listened within the connect time
  Failed,     // the socket could not be made or the record not sent
};

struct HandOverSendOptions {
  // How long to retry while the running instance has not started listening.
  std::chrono::milliseconds connectTime{500};
  // The pause between two tries.
  std::chrono::milliseconds retryInterval{20};
};

[[nodiscard]] HandOverResult SendHandOver(const std::string& socketName, std::string_view commandLine,
                                          const HandOverSendOptions& options);

} // namespace QZ::Platform::Instance
