#include <gtest/gtest.h>

#include <fcntl.h>
#include <pthread.h>
#include <signal.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <fstream>
#include <string>
#include <thread>

#include "QZFramework/Utilities/Storage/QZFile.h"
#include "Support/TempFolder.h"

namespace {

using QZ::File;
using QZ::WString;

std::atomic<int> gSignals{0};

// Whether the thread is asleep in the kernel: the reader's only wait is inside read.
bool IsSleeping(pid_t thread) {
  std::ifstream stat("/proc/self/task/" + std::to_string(thread) + "/stat");
  std::string line;
  std::getline(stat, line);
  const size_t end = line.rfind(')');
  return end != std::string::npos && end + 2 < line.size() && line[end + 2] == 'S';
}

int Pending(int pipe) {
  int bytes = -1;
  ::ioctl(pipe, FIONREAD, &bytes);
  return bytes;
}

// A pipe delivers what is written in pieces, and a signal without restart interrupts a
// waiting read: Read must still return every byte asked for.
TEST(FileConcurrencyTest, ReadGathersPiecesAcrossInterruptions) {
  QZTest::TempFolder folder;
  ASSERT_EQ(::mkfifo((folder / "pipe").c_str(), 0600), 0);

  struct sigaction action {};
  struct sigaction previous {};
  action.sa_handler = [](int) { ++gSignals; };
  sigemptyset(&action.sa_mask);
  action.sa_flags = 0;
  ASSERT_EQ(::sigaction(SIGUSR1, &action, &previous), 0);
  // A reader that gave up early must fail the test, not end the process.
  struct sigaction ignore {};
  struct sigaction previousPipe {};
  ignore.sa_handler = SIG_IGN;
  ASSERT_EQ(::sigaction(SIGPIPE, &ignore, &previousPipe), 0);

  std::atomic<pid_t> readerId{0};
  char bytes[8] = {};
  int32_t result = -1;
  std::string failure;
  std::atomic<bool> finished{false};
  std::thread reader([&] {
    readerId = ::gettid();
    try {
      File pipe(folder.Wide("pipe"), WString(), File::kRead);
      result = pipe.Read(bytes, sizeof bytes, File::kCurrentPosition);
    } catch (const std::exception& e) {
      failure = e.what();
    }
    finished = true;
  });

  const int writer = ::open((folder / "pipe").c_str(), O_WRONLY | O_CLOEXEC);
  ASSERT_EQ(::write(writer, "abcd", 4), 4);
  while (!finished && (Pending(writer) != 0 || !IsSleeping(readerId))) {
    std::this_thread::yield();
  }
  ::pthread_kill(reader.native_handle(), SIGUSR1);
  while (!finished && gSignals == 0) {
    std::this_thread::yield();
  }
  const ssize_t written = ::write(writer, "efgh", 4);
  reader.join();
  ::close(writer);
  ::sigaction(SIGUSR1, &previous, nullptr);
  ::sigaction(SIGPIPE, &previousPipe, nullptr);

  EXPECT_EQ(written, 4);

  EXPECT_EQ(failure, "");
  EXPECT_EQ(result, 8);
  EXPECT_EQ(std::string(bytes, sizeof bytes), "abcdefgh");
}

} // namespace
