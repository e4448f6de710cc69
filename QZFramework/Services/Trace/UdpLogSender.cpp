#include "QZFramework/Services/Trace/UdpLogSender.h"

#include <arpa/inet.h>
#include <netdb.h>
#include <sys/socket.h>
#include <unistd.h>

namespace QZ {

namespace {

bool ResolveIPv4(const char* name, in_addr& address) {
  addrinfo hints{};
  hints.ai_family = AF_INET;
  hints.ai_socktype = SOCK_DGRAM;
  addrinfo* found = nullptr;
  if (getaddrinfo(name, nullptr, &hints, &found) != 0) {
    return false;
  }
  const bool ok = found && found->ai_family == AF_INET;
  if (ok) {
    address = reinterpret_cast<const sockaddr_in*>(found->ai_addr)->sin_addr;
  }
  freeaddrinfo(found);
  return ok;
}

in_addr DestinationAddress(const char* host) {
  in_addr address{};
  if (host && ResolveIPv4(host, address)) {
    return address;
  }
  char name[64] = {};
  if (gethostname(name, sizeof(name) - 1) == 0 && ResolveIPv4(name, address)) {
    return address;
  }
  address.s_addr = htonl(INADDR_LOOPBACK);
  return address;
}

} // namespace

UdpLogSender::~UdpLogSender() {
  if (mSocket >= 0) {
    close(mSocket);
  }
}

void UdpLogSender::Send(const char* host, int32_t port, std::string_view text) {
  if (mSocket < 0) {
    Open(host, port);
  }
  if (mSocket >= 0 && !text.empty()) {
    SendDatagram(text);
  }
}

std::string UdpLogSender::GetDestinationAddress() const {
  if (mSocket < 0) {
    return {};
  }
  char dotted[INET_ADDRSTRLEN] = {};
  inet_ntop(AF_INET, &mDestination.sin_addr, dotted, sizeof(dotted));
  return dotted;
}

void UdpLogSender::Open(const char* host, int32_t port) {
  mDestination = {};
  mDestination.sin_family = AF_INET;
  mDestination.sin_addr = DestinationAddress(host);
  mDestination.sin_port = htons(uint16_t(port));
  mSocket = socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, IPPROTO_UDP);
  if (mSocket < 0) {
    return;
  }
  SendDatagram("*** APPLICATION Launched on ");
  SendDatagram(GetDestinationAddress());
  SendDatagram("***\n");
}

void UdpLogSender::SendDatagram(std::string_view bytes) const {
  sendto(mSocket, bytes.data(), bytes.size(), 0, reinterpret_cast<const sockaddr*>(&mDestination),
         sizeof(mDestination));
}

} // namespace QZ
