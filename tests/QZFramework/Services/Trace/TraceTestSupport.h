#pragma once
// Helpers for the trace tests: a debugger output that keeps every block, and a UDP log
// listener on the loopback address.

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/time.h>
#include <unistd.h>

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "QZFramework/Services/Trace/DebugTrace.h"

namespace QZTest {

// The blocks a trace hands to its debugger; the trace calls it under its lock.
struct DebuggerBlocks {
  std::vector<std::string> blocks;

  QZ::DebugTrace::DebuggerOutput Output() {
    return [this](std::string_view text) { blocks.emplace_back(text); };
  }
};

// A UDP socket bound to 127.0.0.1 on a free port.
class UdpListener {
public:
  UdpListener() : mSocket(socket(AF_INET, SOCK_DGRAM, 0)) {
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    bind(mSocket, reinterpret_cast<const sockaddr*>(&address), sizeof(address));
    socklen_t length = sizeof(address);
    getsockname(mSocket, reinterpret_cast<sockaddr*>(&address), &length);
    mPort = ntohs(address.sin_port);
    int room = 4 << 20;
    setsockopt(mSocket, SOL_SOCKET, SO_RCVBUF, &room, sizeof(room));
  }
  UdpListener(const UdpListener&) = delete;
  UdpListener& operator=(const UdpListener&) = delete;
  ~UdpListener() { close(mSocket); }

  int32_t Port() const { return mPort; }

  // The next datagram, or nothing when none arrives within timeoutMs.
  std::optional<std::string> Receive(int timeoutMs = 5000) {
    timeval limit{timeoutMs / 1000, (timeoutMs % 1000) * 1000};
    setsockopt(mSocket, SOL_SOCKET, SO_RCVTIMEO, &limit, sizeof(limit));
    char buffer[8192];
    const ssize_t length = recv(mSocket, buffer, sizeof(buffer), 0);
    if (length < 0) {
      return std::nullopt;
    }
    return std::string(buffer, size_t(length));
  }

private:
  int mSocket;
  int32_t mPort = 0;
};

} // namespace QZTest
