#include "Platform/Instance/HandOverListener.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstddef>
#include <cstring>
#include <vector>

namespace QZ::Platform::Instance {

namespace {

using Clock = std::chrono::steady_clock;

// The socket address of an abstract name and its length; false when it does not fit.
bool MakeAddress(const std::string& name, sockaddr_un& address, socklen_t& length) {
  address = {};
  address.sun_family = AF_UNIX;
  if (name.empty() || name.size() > sizeof(address.sun_path)) {
    errno = ENAMETOOLONG;
    return false;
  }
  std::memcpy(address.sun_path, name.data(), name.size());
  length = socklen_t(offsetof(sockaddr_un, sun_path) + name.size());
  return true;
}

void CloseQuietly(int fd) {
  if (fd >= 0) {
    ::close(fd); // nothing to recover on a socket we are done with
  }
}

} // namespace

std::unique_ptr<HandOverListener> HandOverListener::Start(const std::string& socketName, Options options,
                                                          Callback callback) {
  sockaddr_un address;
  socklen_t length = 0;
  if (!MakeAddress(socketName, address, length)) {
    return nullptr;
  }
  const int listenSocket = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
  if (listenSocket < 0) {
    return nullptr;
  }
  std::array<int, 2> wake{-1, -1};
  if (::bind(listenSocket, reinterpret_cast<const sockaddr*>(&address), length) != 0 ||
      ::listen(listenSocket, 16) != 0 || ::pipe2(wake.data(), O_CLOEXEC | O_NONBLOCK) != 0) {
    const int error = errno;
    CloseQuietly(listenSocket);
    errno = error;
    return nullptr;
  }
  if (options.peerUser == uid_t(-1)) {
    options.peerUser = ::geteuid();
  }
  std::unique_ptr<HandOverListener> listener(
      new HandOverListener(listenSocket, wake[0], wake[1], std::move(options), std::move(callback)));
  listener->mThread = std::thread([raw = listener.get()] { raw->Listen(); });
  return listener;
}

HandOverListener::HandOverListener(int listenSocket, int wakeRead, int wakeWrite, Options options, Callback callback)
    : mSocket(listenSocket), mWakeRead(wakeRead), mWakeWrite(wakeWrite), mOptions(std::move(options)),
      mCallback(std::move(callback)) {}

HandOverListener::~HandOverListener() { Stop(); }

void HandOverListener::Stop() {
  if (!mThread.joinable()) {
    return;
  }
  const uint8_t wake = 1;
  while (::write(mWakeWrite, &wake, 1) < 0 && errno == EINTR) {
  }
  mThread.join();
  CloseQuietly(mSocket);
  CloseQuietly(mWakeRead);
  CloseQuietly(mWakeWrite);
  mSocket = mWakeRead = mWakeWrite = -1;
}

void HandOverListener::Listen() {
  for (;;) {
    if (!WaitReadable(mSocket, Clock::time_point::max())) {
      return; // Stop
    }
    const int connection = ::accept4(mSocket, nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK);
    if (connection < 0) {
      // The peer gave up before we took it (try the next), or the process is short of
      // descriptors or memory: let the shortage pass rather than spin on it.
      if ((errno == EMFILE || errno == ENFILE || errno == ENOBUFS || errno == ENOMEM) && StopRequestedWithin(100)) {
        return;
      }
      continue;
    }
    Serve(connection);
    CloseQuietly(connection);
  }
}

void HandOverListener::Serve(int connection) {
  ucred peer{};
  socklen_t peerSize = sizeof(peer);
  if (::getsockopt(connection, SOL_SOCKET, SO_PEERCRED, &peer, &peerSize) != 0 || peer.uid != mOptions.peerUser) {
    return;
  }
  const Clock::time_point deadline = Clock::now() + mOptions.readTime;
  std::array<uint8_t, kHandOverHeaderSize> header{};
  if (!ReadExactly(connection, header.data(), header.size(), deadline)) {
    return;
  }
  const std::optional<uint32_t> length = ParseHandOverHeader(header, mOptions.maxLength);
  if (!length) {
    return;
  }
  std::vector<uint8_t> body(*length);
  if (!ReadExactly(connection, body.data(), body.size(), deadline)) {
    return;
  }
  std::optional<std::string> commandLine = ParseHandOverBody(body);
  if (commandLine) {
    mCallback(std::move(*commandLine));
  }
}

bool HandOverListener::StopRequestedWithin(int32_t milliseconds) const {
  pollfd wake{mWakeRead, POLLIN, 0};
  return ::poll(&wake, 1, milliseconds) > 0;
}

bool HandOverListener::WaitReadable(int fd, Clock::time_point deadline) const {
  for (;;) {
    int timeoutMs = -1;
    if (deadline != Clock::time_point::max()) {
      const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now()).count();
      if (left <= 0) {
        return false;
      }
      timeoutMs = int(std::min<int64_t>(left, 60'000));
    }
    std::array<pollfd, 2> fds{pollfd{fd, POLLIN, 0}, pollfd{mWakeRead, POLLIN, 0}};
    const int ready = ::poll(fds.data(), fds.size(), timeoutMs);
    if (ready < 0 && errno != EINTR) {
      return false;
    }
    if (fds[1].revents != 0) {
      return false;
    }
    if (fds[0].revents != 0) {
      return true; // data, or the peer's end: the read tells which
    }
  }
}

bool HandOverListener::ReadExactly(int connection, uint8_t* bytes, size_t size, Clock::time_point deadline) const {
  size_t done = 0;
  while (done < size) {
    if (!WaitReadable(connection, deadline)) {
      return false;
    }
    const ssize_t got = ::recv(connection, bytes + done, size - done, 0);
    if (got == 0) {
      return false;
    }
    if (got < 0) {
      if (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR) {
        continue;
      }
      return false;
    }
    done += size_t(got);
  }
  return true;
}

} // namespace QZ::Platform::Instance
