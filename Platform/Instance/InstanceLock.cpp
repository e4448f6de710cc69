#include "Platform/Instance/InstanceLock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

namespace QZ::Platform::Instance {

InstanceLock::InstanceLock(const std::string& path) {
  mFile = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
  if (mFile < 0) {
    mError = errno;
    return;
  }
  // In a shared temporary folder another user may have made the file first.
  struct stat status {};
  if (::fstat(mFile, &status) != 0) {
    mError = errno;
  } else if (!S_ISREG(status.st_mode) || status.st_uid != ::geteuid()) {
    mError = EPERM;
  }
  if (mError != 0) {
    ::close(mFile);
    mFile = -1;
    return;
  }
  int result = 0;
  do {
    result = ::flock(mFile, LOCK_EX | LOCK_NB);
  } while (result != 0 && errno == EINTR);
  if (result == 0) {
    mState = State::Held;
    return;
  }
  mError = errno;
  mState = errno == EWOULDBLOCK ? State::Busy : State::Failed;
  ::close(mFile);
  mFile = -1;
}

InstanceLock::~InstanceLock() {
  if (mFile >= 0) {
    ::close(mFile); // drops the lock
  }
}

} // namespace QZ::Platform::Instance
