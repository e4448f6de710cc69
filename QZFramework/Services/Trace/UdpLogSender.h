#pragma once
// QZ::UdpLogSender: sends trace text as UDP datagrams to a log listener.
//
//   QZ::UdpLogSender sender;
//   sender.Send("127.0.0.1", 9999, "hello\n");   // banner on the first call, then the text
//
// The first call makes the socket and fixes the destination for the sender's life:
// the host's first IPv4 address, else the local machine's, else the loopback address;
// it then announces itself with three datagrams: "*** APPLICATION Launched on ", the
// destination's dotted address and "***\n". A failed socket is tried again on the next
// call. Each text is one datagram; send failures are ignored (the trace has nowhere
// to report them).
//
// Not synchronised: the trace calls it under its lock.

#include <netinet/in.h>

#include <cstdint>
#include <string>
#include <string_view>

namespace QZ {

class UdpLogSender {
public:
  UdpLogSender() = default;
  UdpLogSender(const UdpLogSender&) = delete;
  UdpLogSender& operator=(const UdpLogSender&) = delete;
  // Closes the socket.
  ~UdpLogSender();

  // host: a name or dotted address, or null for the local machine; port: the
  // listener's UDP port (used on the first call only). An empty text only opens.
  void Send(const char* host, int32_t port, std::string_view text);

  bool IsOpen() const { return mSocket >= 0; }
  // The destination's dotted address; empty before the socket is made.
  std::string GetDestinationAddress() const;

private:
  void Open(const char* host, int32_t port);
  void SendDatagram(std::string_view bytes) const;

  int mSocket = -1;
  sockaddr_in mDestination{};
};

} // namespace QZ
