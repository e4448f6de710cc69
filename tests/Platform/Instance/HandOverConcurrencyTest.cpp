// The hand-over between a second start and the running instance: the record on the
// wire, the listener's thread that takes one record per connection and refuses bad ones,
// and the sender that waits for a listener still starting.

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <cstring>
#include <mutex>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "Platform/Instance/HandOverListener.h"
#include "Platform/Instance/HandOverRecord.h"
#include "Platform/Instance/HandOverSender.h"
#include "Platform/Instance/InstanceNames.h"

namespace QZTest {
namespace {

namespace Instance = QZ::Platform::Instance;
using namespace std::chrono_literals;
using Bytes = std::vector<uint8_t>;

// A socket name of this process and test alone.
std::string UniqueSocketName() {
  static int serial = 0;
  return Instance::HandOverSocketName("/run/QZInstanceTest-" + std::to_string(::getpid()) + "-" +
                                      std::to_string(++serial));
}

// What the listener handed over, in order.
class Received {
public:
  Instance::HandOverListener::Callback Callback() {
    return [this](std::string line) {
      std::lock_guard lock(mMutex);
      mLines.push_back(std::move(line));
      mChanged.notify_all();
    };
  }
  // Waits (up to 10 s) until count lines came; all lines so far.
  std::vector<std::string> WaitFor(size_t count) {
    std::unique_lock lock(mMutex);
    mChanged.wait_for(lock, 10s, [&] { return mLines.size() >= count; });
    return mLines;
  }

private:
  std::mutex mMutex;
  std::condition_variable mChanged;
  std::vector<std::string> mLines;
};

Bytes Header(uint32_t tag, uint32_t length) {
  Bytes bytes;
  for (uint32_t value : {tag, length}) {
    for (int shift = 0; shift < 32; shift += 8) {
      bytes.push_back(uint8_t(value >> shift));
    }
  }
  return bytes;
}

Bytes Concat(Bytes a, const std::string& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

// A client that writes raw bytes and, unless told to keep it, closes its end.
class RawClient {
public:
  explicit RawClient(const std::string& name) : mFd(::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0)) {
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::memcpy(address.sun_path, name.data(), name.size());
    const auto length = socklen_t(offsetof(sockaddr_un, sun_path) + name.size());
    EXPECT_EQ(::connect(mFd, reinterpret_cast<const sockaddr*>(&address), length), 0) << std::strerror(errno);
  }
  ~RawClient() { ::close(mFd); }
  RawClient(const RawClient&) = delete;
  RawClient& operator=(const RawClient&) = delete;
  void Send(const Bytes& bytes) { EXPECT_TRUE(TrySend(bytes)); }
  // False when the listener has already closed its end.
  bool TrySend(const Bytes& bytes) {
    return ::send(mFd, bytes.data(), bytes.size(), MSG_NOSIGNAL) == ssize_t(bytes.size());
  }
  // Waits (up to 10 s) until the listener closes its end (with our bytes unread, the
  // close is a reset).
  bool WaitClosed() {
    timeval timeout{10, 0};
    ::setsockopt(mFd, SOL_SOCKET, SO_RCVTIMEO, &timeout, sizeof(timeout));
    char byte = 0;
    const ssize_t got = ::recv(mFd, &byte, 1, 0);
    return got == 0 || (got < 0 && errno == ECONNRESET);
  }

private:
  int mFd;
};

Instance::HandOverListener::Options ShortReads() {
  Instance::HandOverListener::Options options;
  options.readTime = 100ms;
  return options;
}

TEST(HandOverRecordTest, TheRecordCarriesTagLengthTextAndNul) {
  EXPECT_EQ(Instance::EncodeHandOver("a b"), (Bytes{0x65, 0x04, 0, 0, 4, 0, 0, 0, 'a', ' ', 'b', 0}));
  EXPECT_EQ(Instance::EncodeHandOver(""), (Bytes{0x65, 0x04, 0, 0, 0, 0, 0, 0}));
  EXPECT_EQ(Instance::EncodeHandOver(std::string("x\0y", 3)), (Bytes{0x65, 0x04, 0, 0, 2, 0, 0, 0, 'x', 0}));

  struct HeaderCase {
    uint32_t tag;
    uint32_t length;
    std::optional<uint32_t> expected;
  };
  for (const HeaderCase& c : {HeaderCase{1125, 0, 0}, HeaderCase{1125, 65536, 65536}, HeaderCase{1125, 65537, {}},
                              HeaderCase{1125, 1u << 30, {}}, HeaderCase{1124, 4, {}}, HeaderCase{0, 0, {}}}) {
    const Bytes header = Header(c.tag, c.length);
    EXPECT_EQ(
        Instance::ParseHandOverHeader(std::span<const uint8_t, 8>(header.data(), 8), Instance::kMaxHandOverLength),
        c.expected)
        << c.tag << " " << c.length;
  }

  struct BodyCase {
    std::string bytes;
    std::optional<std::string> expected;
  };
  for (const BodyCase& c :
       {BodyCase{"", ""}, BodyCase{std::string("a b\0", 4), "a b"}, BodyCase{std::string("\0", 1), ""},
        BodyCase{"a b", {}}, BodyCase{std::string("a\0b\0", 4), {}}}) {
    const Bytes body(c.bytes.begin(), c.bytes.end());
    EXPECT_EQ(Instance::ParseHandOverBody(body), c.expected) << c.bytes.size();
  }
}

TEST(HandOverListenerTest, ASentCommandLineReachesTheCallbackOnce) {
  const std::string name = UniqueSocketName();
  Received received;
  auto listener = Instance::HandOverListener::Start(name, {}, received.Callback());
  ASSERT_TRUE(listener);
  EXPECT_EQ(Instance::SendHandOver(name, "\"/usr/bin/editor\" a b", {}), Instance::HandOverResult::Sent);
  EXPECT_EQ(Instance::SendHandOver(name, "", {}), Instance::HandOverResult::Sent);
  const std::string unicode = "editor \xC3\xA4\xE2\x82\xAC\xF0\x9F\x8E\xB9";
  EXPECT_EQ(Instance::SendHandOver(name, unicode, {}), Instance::HandOverResult::Sent);
  EXPECT_EQ(received.WaitFor(3), (std::vector<std::string>{"\"/usr/bin/editor\" a b", "", unicode}));
  listener->Stop();
  EXPECT_EQ(received.WaitFor(3).size(), 3u);
}

TEST(HandOverListenerTest, BadRecordsReachNothingAndTheNextGoodOneDoes) {
  const std::string name = UniqueSocketName();
  Received received;
  auto listener = Instance::HandOverListener::Start(name, ShortReads(), received.Callback());
  ASSERT_TRUE(listener);
  struct Case {
    const char* what;
    Bytes bytes;
    bool keepOpen;
  };
  const std::vector<Case> cases = {
      {"tag 1124", Concat(Header(1124, 4), std::string("a b\0", 4)), false},
      {"a length of 1 GiB", Header(1125, 1u << 30), true},
      {"a length of 1 GiB, closed", Header(1125, 1u << 30), false},
      {"a length past the bytes sent, closed", Concat(Header(1125, 100), std::string("a b\0", 4)), false},
      {"a length past the bytes sent, kept open", Concat(Header(1125, 100), std::string("a b\0", 4)), true},
      {"no NUL", Concat(Header(1125, 3), "a b"), false},
      {"a NUL inside", Concat(Header(1125, 4), std::string("a\0b\0", 4)), false},
      {"half a header", Bytes{0x65, 0x04}, false},
      {"nothing, closed", Bytes{}, false},
      {"nothing, kept open", Bytes{}, true},
  };
  for (const Case& c : cases) {
    RawClient client(name);
    if (!c.bytes.empty()) {
      client.Send(c.bytes);
    }
    if (c.keepOpen) {
      EXPECT_TRUE(client.WaitClosed()) << c.what; // the read time ran out
    }
  }
  EXPECT_EQ(Instance::SendHandOver(name, "good", {}), Instance::HandOverResult::Sent);
  EXPECT_EQ(received.WaitFor(1), std::vector<std::string>{"good"});
}

TEST(HandOverListenerTest, APeerOfAnotherUserIsNotListenedTo) {
  const std::string name = UniqueSocketName();
  Received received;
  Instance::HandOverListener::Options options;
  options.peerUser = ::geteuid() + 1;
  auto listener = Instance::HandOverListener::Start(name, options, received.Callback());
  ASSERT_TRUE(listener);
  RawClient client(name);
  // The listener may close a stranger's connection before the bytes go.
  client.TrySend(Instance::EncodeHandOver("a b"));
  EXPECT_TRUE(client.WaitClosed());
  listener->Stop();
  EXPECT_TRUE(received.WaitFor(0).empty());
}

TEST(HandOverListenerTest, OneListenerPerNameAndStopEndsAReadAtOnce) {
  const std::string name = UniqueSocketName();
  Received received;
  Instance::HandOverListener::Options slow;
  slow.readTime = 60s;
  auto listener = Instance::HandOverListener::Start(name, slow, received.Callback());
  ASSERT_TRUE(listener);
  EXPECT_FALSE(Instance::HandOverListener::Start(name, {}, received.Callback()));
  EXPECT_EQ(errno, EADDRINUSE);

  RawClient silent(name);
  silent.Send(Header(1125, 10));
  const auto before = std::chrono::steady_clock::now();
  listener->Stop();
  EXPECT_LT(std::chrono::steady_clock::now() - before, 10s); // far below the read time
  listener->Stop();
  EXPECT_TRUE(received.WaitFor(0).empty());
  // The name is free again.
  EXPECT_TRUE(Instance::HandOverListener::Start(name, {}, received.Callback()));
}

TEST(HandOverSenderTest, WaitsForAListenerThatIsStillStartingThenGivesUp) {
  const std::string name = UniqueSocketName();
  Instance::HandOverSendOptions brief;
  brief.connectTime = 50ms;
  brief.retryInterval = 10ms;
  EXPECT_EQ(Instance::SendHandOver(name, "a", brief), Instance::HandOverResult::NoListener);

  Received received;
  std::unique_ptr<Instance::HandOverListener> listener;
  std::thread starter([&] {
    std::this_thread::sleep_for(100ms); // the running instance is still loading its resources
    listener = Instance::HandOverListener::Start(name, {}, received.Callback());
  });
  EXPECT_EQ(Instance::SendHandOver(name, "late", {}), Instance::HandOverResult::Sent);
  starter.join();
  ASSERT_TRUE(listener);
  EXPECT_EQ(received.WaitFor(1), std::vector<std::string>{"late"});
}

TEST(HandOverSenderTest, ALineTooLongForARecordStillBringsTheInstanceForward) {
  const std::string name = UniqueSocketName();
  Received received;
  auto listener = Instance::HandOverListener::Start(name, {}, received.Callback());
  ASSERT_TRUE(listener);
  const std::string longest(Instance::kMaxHandOverLength - 1, 'x');
  EXPECT_EQ(Instance::SendHandOver(name, longest, {}), Instance::HandOverResult::Sent);
  EXPECT_EQ(Instance::SendHandOver(name, longest + "x", {}), Instance::HandOverResult::Sent);
  EXPECT_EQ(received.WaitFor(2), (std::vector<std::string>{longest, ""}));
}

} // namespace
} // namespace QZTest
