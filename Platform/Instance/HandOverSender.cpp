#include "Platform/Instance/HandOverSender.h"

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <cstddef>
#include <cstring>
#include <thread>
#include <vector>

#include "Platform/Instance/HandOverRecord.h"

namespace QZ::Platform::Instance {

namespace {

using Clock = std::chrono::steady_clock;

class Socket {
public:
  Socket() : mFd(::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0)) {}
  ~Socket() {
    if (mFd >= 0) {
      ::close(mFd); // the record, once sent, is the peer's whatever close answers
    }
  }
  Socket(const Socket&) = delete;
  Socket& operator=(const Socket&) = delete;
  int Get() const { return mFd; }

private:
  int mFd;
};

bool SendAll(int fd, const std::vector<uint8_t>& bytes) {
  size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t sent = ::send(fd, bytes.data() + done, bytes.size() - done, MSG_NOSIGNAL);
    if (sent < 0) {
      if (errno == EINTR) {
        continue;
      }
      return false;
    }
    done += size_t(sent);
  }
  return true;
}

} // namespace

HandOverResult SendHandOver(const std::string& socketName, std::string_view commandLine,
                            const HandOverSendOptions& options) {
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  if (socketName.empty() || socketName.size() > sizeof(address.sun_path)) {
    return HandOverResult::Failed;
  }
  std::memcpy(address.sun_path, socketName.data(), socketName.size());
  const auto length = socklen_t(offsetof(sockaddr_un, sun_path) + socketName.size());

  const Clock::time_point deadline = Clock::now() + options.connectTime;
  for (;;) {
    Socket socket;
    if (socket.Get() < 0) {
      return HandOverResult::Failed;
    }
    if (::connect(socket.Get(), reinterpret_cast<const sockaddr*>(&address), length) == 0) {
      ucred peer{};
      socklen_t peerSize = sizeof(peer);
      if (::getsockopt(socket.Get(), SOL_SOCKET, SO_PEERCRED, &peer, &peerSize) != 0 || peer.uid != ::geteuid()) {
        return HandOverResult::NoListener; // a name squatted by someone else: tell them nothing
      }
      const bool fits = commandLine.size() < kMaxHandOverLength;
      return SendAll(socket.Get(), EncodeHandOver(fits ? commandLine : std::string_view())) ? HandOverResult::Sent
                                                                                            : HandOverResult::Failed;
    }
    if (errno != ECONNREFUSED && errno != ENOENT && errno != EAGAIN && errno != EINTR) {
      return HandOverResult::Failed;
    }
    if (Clock::now() + options.retryInterval > deadline) {
      return HandOverResult::NoListener;
    }
    std::this_thread::sleep_for(options.retryInterval);
  }
}

} // namespace QZ::Platform::Instance
