#include "Platform/Host/ProfileFile.h"

#include <fcntl.h>
#include <limits.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <system_error>

namespace QZ::Platform::Host {

namespace {

// As many links as the kernel itself follows before it gives up.
constexpr int kMaxLinks = 40;
// ".bak" and ".bak.1" to ".bak.999".
constexpr int kMaxBackups = 1000;

std::string Reason(int error) { return std::strerror(error); }

// The path with the links of its last part followed.
std::string ResolveLinks(const std::string& path) {
  std::string current = path;
  for (int i = 0; i < kMaxLinks; ++i) {
    struct stat info {};
    if (::lstat(current.c_str(), &info) != 0 || !S_ISLNK(info.st_mode)) {
      return current;
    }
    char buffer[PATH_MAX];
    const ssize_t length = ::readlink(current.c_str(), buffer, sizeof buffer);
    if (length <= 0 || size_t(length) == sizeof buffer) {
      return current;
    }
    std::string next(buffer, size_t(length));
    const size_t slash = current.rfind('/');
    if (next.front() != '/' && slash != std::string::npos) {
      next = current.substr(0, slash + 1) + next;
    }
    current = std::move(next);
  }
  return current;
}

std::string BackupName(const std::string& target, int number) {
  return number == 0 ? target + ".bak" : target + ".bak." + std::to_string(number);
}

bool WriteAll(int fd, const std::string& text) {
  size_t written = 0;
  while (written < text.size()) {
    const ssize_t count = ::write(fd, text.data() + written, text.size() - written);
    if (count < 0 && errno == EINTR) {
      continue;
    }
    if (count <= 0) {
      if (count == 0) {
        errno = EIO;
      }
      return false;
    }
    written += size_t(count);
  }
  return true;
}

} // namespace

ProfileRead ReadProfileFile(const std::string& path, size_t maxSize, std::string& text, std::string& problem) {
  text.clear();
  const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) {
    const int error = errno;
    if (error == ENOENT || error == ENOTDIR) {
      return ProfileRead::Missing;
    }
    problem = path + ": cannot be read: " + Reason(error);
    return ProfileRead::Unreadable;
  }
  struct stat info {};
  if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
    ::close(fd);
    problem = path + ": not a regular file";
    return ProfileRead::NotRegular;
  }
  if (info.st_size < 0 || size_t(info.st_size) > maxSize) {
    ::close(fd);
    problem = path + ": longer than " + std::to_string(maxSize) + " bytes";
    return ProfileRead::Unreadable;
  }
  char chunk[16 * 1024];
  for (;;) {
    const ssize_t count = ::read(fd, chunk, sizeof chunk);
    if (count > 0 && text.size() + size_t(count) <= maxSize) {
      text.append(chunk, size_t(count));
    } else if (count == 0) {
      break;
    } else if (count > 0 || errno != EINTR) {
      const int error = count > 0 ? EFBIG : errno;
      ::close(fd);
      text.clear();
      problem = path + ": cannot be read: " + Reason(error);
      return ProfileRead::Unreadable;
    }
  }
  ::close(fd);
  return ProfileRead::Read;
}

bool KeepProfileAside(const std::string& path, std::string& backup, std::string& problem) {
  backup.clear();
  const std::string target = ResolveLinks(path);
  struct stat info {};
  if (::lstat(target.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) {
    return true;
  }
  // Never over an earlier backup: each holds a different lost state.
  for (int number = 0; number < kMaxBackups; ++number) {
    const std::string candidate = BackupName(target, number);
    if (::lstat(candidate.c_str(), &info) == 0) {
      continue;
    }
    if (errno != ENOENT || std::rename(target.c_str(), candidate.c_str()) != 0) {
      problem = path + ": could not be kept as " + candidate + ": " + Reason(errno);
      return false;
    }
    backup = candidate;
    return true;
  }
  problem = path + ": could not be kept: " + BackupName(target, 0) + " to " + BackupName(target, kMaxBackups - 1) +
            " all exist";
  return false;
}

bool ReplaceProfileFile(const std::string& path, const std::string& text, std::string& problem) {
  const std::string target = ResolveLinks(path);
  struct stat info {};
  const bool exists = ::stat(target.c_str(), &info) == 0;
  if (exists && !S_ISREG(info.st_mode)) {
    problem = path + ": not saved: not a regular file";
    return false;
  }
  if (exists && ((info.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0 ||
                 ::faccessat(AT_FDCWD, target.c_str(), W_OK, AT_EACCESS) != 0)) {
    problem = path + ": not saved: the file is read-only";
    return false;
  }
  const size_t slash = target.rfind('/');
  if (slash != std::string::npos && slash > 0) {
    std::error_code error;
    std::filesystem::create_directories(target.substr(0, slash), error);
    if (error) {
      problem = path + ": not saved: its folder cannot be made: " + error.message();
      return false;
    }
  }
  const std::string temporary = target + ".tmp";
  const int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
  if (fd < 0) {
    problem = path + ": not saved: " + Reason(errno);
    return false;
  }
  if (exists) {
    ::fchmod(fd, info.st_mode & 07777); // keeps the old file's permissions where it can
  }
  bool written = WriteAll(fd, text) && ::fsync(fd) == 0;
  int error = written ? 0 : errno;
  if (::close(fd) != 0 && written) {
    written = false;
    error = errno;
  }
  if (written && std::rename(temporary.c_str(), target.c_str()) != 0) {
    written = false;
    error = errno;
  }
  if (!written) {
    ::unlink(temporary.c_str());
    problem = path + ": not saved: " + Reason(error);
    return false;
  }
  return true;
}

} // namespace QZ::Platform::Host
