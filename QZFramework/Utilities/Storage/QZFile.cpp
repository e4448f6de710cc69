#include "QZFramework/Utilities/Storage/QZFile.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <string>
#include <vector>

namespace QZ {

static_assert(SEEK_SET == 0 && SEEK_CUR == 1 && SEEK_END == 2, "Seek's origins are passed to the system as they are");

namespace {

constexpr const char* kSource = R"(Utilities\Storage\QZFile)";
constexpr uint32_t kMaxTransfer = 0x7FFFFFFF;
constexpr char16_t kSeparator = u'/';

bool Status(const WString& path, struct stat& status) { return ::stat(path.ToUTF8().GetBuffer(), &status) == 0; }

bool SeekTo(int descriptor, uint32_t position) {
  return ::lseek(descriptor, off_t(position), SEEK_SET) == off_t(position);
}

// Whether name matches the wildcard pattern, ignoring case: '*' any run of units, '?' one.
bool Matches(const char16_t* pattern, const char16_t* name) {
  const char16_t* star = nullptr;
  const char16_t* resume = nullptr;
  while (*name != u'\0') {
    if (*pattern == u'*') {
      star = ++pattern;
      resume = name;
    } else if (*pattern != u'\0' && (*pattern == u'?' || Chars::ToLower(*pattern) == Chars::ToLower(*name))) {
      ++pattern;
      ++name;
    } else if (star) {
      pattern = star;
      name = ++resume;
    } else {
      return false;
    }
  }
  while (*pattern == u'*') {
    ++pattern;
  }
  return *pattern == u'\0';
}

} // namespace

// --- The file ---------------------------------------------------------------------

File::File(const WString& folderOrPath, const WString& fileName, uint32_t flags) : mFlags(flags) {
  (void)Open(folderOrPath, fileName, flags); // the caller asks IsOpen
}

File& File::operator=(const File& other) {
  if (this != &other) {
    Close();
    mDescriptor = other.mDescriptor;
    mName = other.mName;
    mPath = other.mPath;
    mFlags = other.mFlags;
  }
  return *this;
}

File::~File() { Close(); }

int File::Descriptor() const { return mDescriptor->GetValue(); }

QZResult File::Open(const WString& folderOrPath, const WString& fileName, uint32_t flags) {
  if (IsOpen()) {
    return QZ_FALSE; // always 0
  }
  if (!fileName.IsEmpty()) {
    mName = fileName;
    mPath = folderOrPath;
    mPath += kSeparator;
    mPath += fileName;
  } else if (folderOrPath.IsEmpty()) {
    Throw<std::runtime_error>({"QZ::File::Open", kSource, 318}, "invalid pathname");
  } else {
    mPath = folderOrPath;
  }
  mFlags = flags;

  // Made first, so that no descriptor is lost should it fail.
  RCPtr<LHolder<int>> holder(new LHolder<int>);
  int mode = O_CLOEXEC | ((flags & kReadWrite) != 0 ? O_RDWR : O_RDONLY);
  if ((flags & kCreate) != 0) {
    mode |= O_CREAT | ((flags & kExclusive) != 0 ? O_EXCL : 0);
  }
  const NString path = mPath.ToUTF8();
  int descriptor = -1;
  do {
    descriptor = ::open(path.GetBuffer(), mode, 0666);
  } while (descriptor < 0 && errno == EINTR);
  if (descriptor < 0) {
    return QZ_E_FAIL;
  }
  // A folder opens for reading here, yet holds no bytes to read: refuse it like any
  // other path that names no file.
  struct stat status {};
  if (::fstat(descriptor, &status) != 0 || S_ISDIR(status.st_mode)) {
    ::close(descriptor);
    return QZ_E_FAIL;
  }
  holder->SetValue(descriptor);
  mDescriptor = std::move(holder);
  return QZ_OK;
}

QZResult File::Close() {
  if (!IsOpen() || mDescriptor->GetRefCount() != 1) {
    return QZ_OK;
  }
  // Not retried on EINTR: the descriptor is released whatever close reports.
  ::close(Descriptor());
  if ((mFlags & kDeleteOnClose) != 0) {
    ::unlink(mPath.ToUTF8().GetBuffer());
  }
  mDescriptor = nullptr;
  return QZ_OK;
}

int32_t File::Read(void* buffer, uint32_t count, uint32_t position) {
  if (!IsOpen()) {
    Throw<std::runtime_error>({"QZ::File::Read", kSource, 466}, "file is not open");
  }
  const int descriptor = Descriptor();
  if (position != kCurrentPosition && !SeekTo(descriptor, position)) {
    Throw<std::runtime_error>({"QZ::File::Read", kSource, 472}, "lseek");
  }
  const size_t wanted = std::min(count, kMaxTransfer);
  size_t done = 0;
  while (done < wanted) {
    const ssize_t n = ::read(descriptor, static_cast<char*>(buffer) + done, wanted - done);
    if (n == 0) {
      break;
    }
    if (n < 0) {
      if (errno == EINTR) {
        continue;
      }
      Throw<std::runtime_error>({"QZ::File::Read", kSource, 500}, "read");
    }
    done += size_t(n);
  }
  return int32_t(done);
}

int32_t File::Write(const void* buffer, uint32_t count, uint32_t position) {
  if ((mFlags & kReadWrite) == 0) {
    Throw<std::runtime_error>({"QZ::File::Write", kSource, 579}, "file is read only");
  }
  if (!IsOpen()) {
    Throw<std::runtime_error>({"QZ::File::Write", kSource, 583}, "file is not open");
  }
  const int descriptor = Descriptor();
  if (position != kCurrentPosition && !SeekTo(descriptor, position)) {
    Throw<std::runtime_error>({"QZ::File::Write", kSource, 588}, "lseek");
  }
  const size_t wanted = std::min(count, kMaxTransfer);
  size_t done = 0;
  while (done < wanted) {
    const ssize_t n = ::write(descriptor, static_cast<const char*>(buffer) + done, wanted - done);
    if (n < 0 && errno == EINTR) {
      continue;
    }
    // A write that takes nothing would never finish: it counts as a failure.
    if (n <= 0) {
      Throw<std::runtime_error>({"QZ::File::Write", kSource, 627}, "write");
    }
    done += size_t(n);
  }
  return int32_t(done);
}

int32_t File::Seek(int32_t offset, int32_t origin) {
  if (!IsOpen() || origin < SEEK_SET || origin > SEEK_END) {
    return -1;
  }
  const off_t position = ::lseek(Descriptor(), off_t(offset), origin);
  return position < 0 || position > INT32_MAX ? -1 : int32_t(position);
}

uint32_t File::GetLength() const {
  if (!IsOpen()) {
    return 0;
  }
  struct stat status {};
  if (::fstat(Descriptor(), &status) != 0 || status.st_size > off_t(UINT32_MAX)) {
    Throw<std::runtime_error>({"QZ::File::GetLength", kSource, 126}, "fstat");
  }
  return uint32_t(status.st_size);
}

// --- Paths ------------------------------------------------------------------------

bool File::IsFile(const WString& path) {
  struct stat status {};
  return Status(path, status) && !S_ISDIR(status.st_mode);
}

bool File::IsDirectory(const WString& path) {
  struct stat status {};
  return Status(path, status) && S_ISDIR(status.st_mode);
}

QZResult File::EnsureDirectory(const WString& path) {
  struct stat status {};
  if (Status(path, status)) {
    return S_ISDIR(status.st_mode) ? QZ_FALSE : QZ_E_FAIL;
  }
  return CreateDirectories(path, false) ? QZ_OK : QZ_E_FAIL;
}

bool File::CreateDirectories(const WString& path, bool parentOnly) {
  const std::string text(path.ToUTF8().View());
  size_t lastSeparator = std::string::npos;
  for (size_t i = 1; i < text.size(); ++i) {
    if (text[i] == '/') {
      // Folders that exist already refuse, which is fine.
      ::mkdir(text.substr(0, i).c_str(), 0777);
      lastSeparator = i;
    }
  }
  if (!parentOnly) {
    ::mkdir(text.c_str(), 0777);
    return ::access(text.c_str(), F_OK) == 0;
  }
  return lastSeparator == std::string::npos || ::access(text.substr(0, lastSeparator).c_str(), F_OK) == 0;
}

WString File::GetLongPath(const WString& path) { return path; }

int32_t File::ListFiles(const WString& folder, const WString& pattern, IArray<WString>& result) {
  result.RemoveAll(); // the caller's array may refuse: the count below tells
  if (!IsDirectory(folder)) {
    return QZ_E_NOTIMPL;
  }
  DIR* listing = ::opendir(folder.ToUTF8().GetBuffer());
  if (!listing) {
    return QZ_E_FAIL;
  }
  const char16_t* wildcards = pattern == u"*.*" ? u"*" : pattern.GetBuffer();
  std::vector<WString> names;
  bool failed = false;
  for (;;) {
    errno = 0;
    const dirent* entry = ::readdir(listing);
    if (!entry) {
      failed = errno != 0;
      break;
    }
    const NString bytes(entry->d_name);
    const WString name(bytes);
    // A name that is not UTF-8 cannot be given back as text that names the same file.
    if (bytes == "." || bytes == ".." || !(name.ToUTF8() == bytes) || !Matches(wildcards, name.GetBuffer())) {
      continue;
    }
    struct stat status {};
    if (::fstatat(::dirfd(listing), entry->d_name, &status, 0) == 0 && S_ISDIR(status.st_mode)) {
      continue;
    }
    names.push_back(name);
  }
  ::closedir(listing);

  std::sort(names.begin(), names.end(), [](const WString& a, const WString& b) {
    const int order = a.CompareNoCase(b);
    return order != 0 ? order < 0 : a < b;
  });
  for (const WString& name : names) {
    WString path = folder;
    path += kSeparator;
    path += name;
    result.AddItem(path); // the caller's array may refuse: the count below tells
  }
  return failed ? QZ_E_FAIL : int32_t(result.GetCount());
}

WString File::GetDirectoryOf(const WString& path) {
  const int32_t separator = path.ReverseFind(kSeparator);
  return separator < 0 ? path : path.Left(uint32_t(separator));
}

WString File::GetFileNameOf(const WString& path) {
  const int32_t separator = path.ReverseFind(kSeparator);
  if (separator < 0 || uint32_t(separator) + 1 == path.GetLength()) {
    return path;
  }
  return path.Mid(separator + 1);
}

WString File::MakeValidFileName(const WString& text) {
  WString valid = text;
  valid.ReplaceChars(u"\\/:*?\"<>|&;,^()", u'_');
  return valid;
}

} // namespace QZ
