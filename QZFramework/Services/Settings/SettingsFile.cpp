#include "QZFramework/Services/Settings/SettingsFile.h"

#include <fcntl.h>
#include <limits.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "QZFramework/Services/Trace/DebugTrace.h"

namespace QZ::SettingsFile {

namespace {

// As many links as the kernel itself follows before it gives up with ELOOP.
constexpr int kMaxLinks = 40;
// ".bak" and ".bak.1" to ".bak.999": far more corruptions than any user meets.
constexpr int kMaxBackups = 1000;

std::string Reason(int error) { return std::strerror(error); }

// A file is read-only when no permission bit lets anyone write it, or when this
// process may not write it.
bool IsReadOnly(const std::string& path, const struct stat& info) {
  return (info.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0 ||
         faccessat(AT_FDCWD, path.c_str(), W_OK, AT_EACCESS) != 0;
}

std::string BackupName(const std::string& target, int number) {
  return number == 0 ? target + ".bak" : target + ".bak." + std::to_string(number);
}

} // namespace

std::string ResolveLinks(const std::string& path) {
  std::string current = path;
  for (int i = 0; i < kMaxLinks; ++i) {
    struct stat info;
    if (lstat(current.c_str(), &info) != 0 || !S_ISLNK(info.st_mode)) {
      return current;
    }
    char buffer[PATH_MAX];
    const ssize_t length = readlink(current.c_str(), buffer, sizeof buffer);
    if (length <= 0 || size_t(length) == sizeof buffer) {
      return current;
    }
    std::string next(buffer, size_t(length));
    if (next.front() != '/') {
      const size_t slash = current.rfind('/');
      if (slash != std::string::npos) {
        next = current.substr(0, slash + 1) + next;
      }
    }
    current = std::move(next);
  }
  return current;
}

Reading Read(const std::string& path, std::string& text) {
  text.clear();
  const int fd = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) {
    const int error = errno;
    if (error == ENOENT) {
      return Reading::Missing;
    }
    Report(path + ": cannot read the settings file: " + Reason(error));
    return Reading::Unreadable;
  }
  struct stat info;
  if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
    close(fd);
    Report(path + ": not a regular file: settings start from their defaults");
    return Reading::NotRegular;
  }
  char chunk[64 * 1024];
  for (;;) {
    const ssize_t count = read(fd, chunk, sizeof chunk);
    if (count > 0) {
      text.append(chunk, size_t(count));
    } else if (count == 0) {
      break;
    } else if (errno != EINTR) {
      const int error = errno;
      close(fd);
      text.clear();
      Report(path + ": cannot read the settings file: " + Reason(error));
      return Reading::Unreadable;
    }
  }
  close(fd);
  return Reading::Read;
}

bool KeepAside(const std::string& path) {
  const std::string target = ResolveLinks(path);
  struct stat info;
  if (lstat(target.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) {
    return true;
  }
  // Never over an earlier backup: each one holds a different lost state.
  for (int number = 0; number < kMaxBackups; ++number) {
    const std::string backup = BackupName(target, number);
    if (lstat(backup.c_str(), &info) == 0) {
      continue;
    }
    if (errno != ENOENT || std::rename(target.c_str(), backup.c_str()) != 0) {
      const int error = errno;
      Report(path + ": unreadable settings file could not be kept as " + backup + ": " + Reason(error));
      return false;
    }
    Report(path + ": unreadable settings file kept as " + backup);
    return true;
  }
  Report(path + ": unreadable settings file could not be kept: " + BackupName(target, 0) + " to " +
         BackupName(target, kMaxBackups - 1) + " all exist");
  return false;
}

bool MayReplace(const std::string& path) {
  const std::string target = ResolveLinks(path);
  struct stat info;
  if (stat(target.c_str(), &info) != 0) {
    return true; // nothing there yet; the write itself reports what stops it
  }
  if (!S_ISREG(info.st_mode)) {
    Report(path + ": settings not saved: not a regular file");
    return false;
  }
  if (IsReadOnly(target, info)) {
    Report(path + ": settings not saved: the file is read-only");
    return false;
  }
  return true;
}

void Report(const std::string& line) {
  std::fprintf(stderr, "%s\n", line.c_str());
  DebugTrace::Get().Narrow() << "QZ::CIniFileManagerProxy : " << line << "\n";
}

} // namespace QZ::SettingsFile
