#pragma once
// Makes the calling thread subject to file permissions as an ordinary user is, for the
// life of the object, even when the tests run as root (as CI does): the capabilities
// that override file permissions leave the thread's effective set and come back at the
// end. Without those capabilities to begin with it changes nothing.
//
//   {
//     QZTest::FilePermissionsEnforced ordinaryUser;
//     EXPECT_NE(::access("/etc/shadow", R_OK), 0);
//   }

#include <linux/capability.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <cstdint>

namespace QZTest {

class FilePermissionsEnforced {
public:
  FilePermissionsEnforced() {
    mHeader.version = _LINUX_CAPABILITY_VERSION_3;
    mHeader.pid = 0; // the calling thread
    if (::syscall(SYS_capget, &mHeader, mSaved) != 0) {
      return;
    }
    __user_cap_data_struct reduced[2] = {mSaved[0], mSaved[1]};
    reduced[0].effective &= ~(Bit(CAP_DAC_OVERRIDE) | Bit(CAP_DAC_READ_SEARCH) | Bit(CAP_FOWNER));
    mChanged = ::syscall(SYS_capset, &mHeader, reduced) == 0;
  }
  FilePermissionsEnforced(const FilePermissionsEnforced&) = delete;
  FilePermissionsEnforced& operator=(const FilePermissionsEnforced&) = delete;
  ~FilePermissionsEnforced() {
    if (mChanged) {
      ::syscall(SYS_capset, &mHeader, mSaved); // the permitted set still holds them
    }
  }

private:
  static uint32_t Bit(int capability) { return uint32_t{1} << capability; }

  __user_cap_header_struct mHeader{};
  __user_cap_data_struct mSaved[2]{};
  bool mChanged = false;
};

} // namespace QZTest
