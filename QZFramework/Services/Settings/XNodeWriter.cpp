// The property-list writer: prolog, one element per line indented with TABs, dict
// entries as "<key>...</key>" followed by the value element on the same line.

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <charconv>
#include <cstdlib>

#include "QZFramework/Services/Settings/XNode.h"
#include "QZFramework/Services/Settings/XNodeWriterFileSystem.h"

namespace {

constexpr std::string_view kProlog = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                                     "<!DOCTYPE plist PUBLIC \"-//Apple Computer//DTD PLIST 1.0//EN\" "
                                     "\"http://www.apple.com/DTDs/PropertyList-1.0.dtd\">\n"
                                     "<plist version=\"1.0\">\n";
constexpr std::string_view kEpilog = "</plist>\n";

// Output is handed to the sink in pieces of about this size.
constexpr size_t kChunkBytes = 64 * 1024;

int ErrnoOr5() { return errno != 0 ? errno : 5; }

// Whether name can stand as an element name: XML text without the characters that end
// or delimit a name, and not starting with one that cannot begin it.
bool IsElementName(std::string_view name) {
  constexpr std::string_view kNotInName = " \t\r\n<>&\"'/=!?;,()[]{}|*+$%@#^`~\\";
  if (name.empty() || !XNode::IsXmlText(name) || name.find_first_of(kNotInName) != std::string_view::npos) {
    return false;
  }
  const char first = name.front();
  return !(first == '-' || first == '.' || (first >= '0' && first <= '9'));
}

class DocumentWriter {
public:
  DocumentWriter(XNode::Output& sink, uint32_t flags) : mSink(sink), mFlags(flags) {}

  int Run(const XNode& root) {
    const bool document = (mFlags & XNode::kWriteDocument) != 0;
    if (document) {
      mBuffer.append(kProlog);
    }
    WriteNode(root, 0, !document);
    if (document && !Failed()) {
      mBuffer.append(kEpilog);
    }
    Flush();
    return mError != 0 ? mError : mSink.GetError();
  }

private:
  bool Failed() const { return mError != 0 || mSink.GetError() != 0; }

  void Flush() {
    if (!mBuffer.empty() && !Failed()) {
      mSink.Write(mBuffer.data(), mBuffer.size());
    }
    mBuffer.clear();
  }

  bool Includes(const XNode& node) const { return !node.IsVolatile() || (mFlags & XNode::kWriteVolatile) != 0; }

  void PutAttributes(const XNode& node) {
    const uint32_t flags = node.GetFlags();
    if ((flags & XNode::kFlagVisible) != 0) {
      mBuffer.append(" visible=\"true\"");
    }
    if ((flags & XNode::kFlagLocked) != 0) {
      mBuffer.append(" locked=\"true\"");
    }
    if ((mFlags & XNode::kWriteStateAttributes) != 0) {
      if ((flags & XNode::kFlagVolatile) != 0) {
        mBuffer.append(" volatile=\"true\"");
      }
      if ((flags & XNode::kFlagDirty) != 0) {
        mBuffer.append(" dirty=\"true\"");
      }
    }
  }

  // "<name attributes>" + escaped text + "</name>\n"; false when XML cannot carry the text.
  bool PutText(std::string_view name, std::string_view text, const XNode* attributesOf) {
    if (!XNode::IsXmlText(text)) {
      mError = XNode::kErrorNotXmlText;
      return false;
    }
    mBuffer.append(1, '<').append(name);
    if (attributesOf) {
      PutAttributes(*attributesOf);
    }
    mBuffer.append(1, '>');
    XNode::AppendEscaped(mBuffer, text);
    mBuffer.append("</").append(name).append(1, '>');
    return true;
  }

  template <class Number, class... Format>
  void PutNumber(std::string_view name, const XNode& node, Number value, Format... format) {
    mBuffer.append(1, '<').append(name);
    PutAttributes(node);
    mBuffer.append(1, '>');
    char digits[64];
    const auto result = std::to_chars(digits, digits + sizeof digits, value, format...);
    mBuffer.append(digits, result.ptr);
    mBuffer.append("</").append(name).append(">\n");
  }

  void WriteNode(const XNode& node, int depth, bool withKey) {
    if (!Includes(node) || Failed()) {
      return;
    }
    if (depth >= XNode::kMaxDepth) {
      mError = XNode::kErrorTooDeep;
      return;
    }
    mBuffer.append(size_t(depth), '\t');
    const XNode::Type type = node.GetType();
    if (withKey && type != XNode::kTypeNone && node.HasKey() && !PutText("key", node.GetKey(), nullptr)) {
      return;
    }
    switch (type) {
    case XNode::kTypeNone:
      break;
    case XNode::kTypeString:
    case XNode::kTypeData:
      if (PutText(type == XNode::kTypeString ? "string" : "data", node.GetText(), &node)) {
        mBuffer.append(1, '\n');
      }
      break;
    case XNode::kTypeElement:
      if (!IsElementName(node.GetElementName())) {
        mError = XNode::kErrorNotXmlText;
      } else if (PutText(node.GetElementName(), node.GetText(), &node)) {
        mBuffer.append(1, '\n');
      }
      break;
    case XNode::kTypeBool:
      mBuffer.append(node.GetBool() ? "<true" : "<false");
      PutAttributes(node);
      mBuffer.append("/>\n");
      break;
    case XNode::kTypeInteger:
      PutNumber("integer", node, node.GetInteger());
      break;
    case XNode::kTypeReal:
      // Six decimals, as "%f" writes them, but always with '.'.
      PutNumber("real", node, double(node.GetReal()), std::chars_format::fixed, 6);
      break;
    case XNode::kTypeDict:
    case XNode::kTypeArray:
      WriteContainer(node, depth, type == XNode::kTypeDict ? "dict" : "array");
      break;
    }
    if (mBuffer.size() >= kChunkBytes) {
      Flush();
    }
  }

  void WriteContainer(const XNode& node, int depth, std::string_view name) {
    bool anyChild = false;
    for (uint32_t i = 0; i < node.GetChildCount(true) && !anyChild; ++i) {
      const XNode* child = node.GetChild(i);
      anyChild = child && Includes(*child);
    }
    mBuffer.append(1, '<').append(name);
    PutAttributes(node);
    if (!anyChild) {
      mBuffer.append("/>\n");
      return;
    }
    mBuffer.append(">\n");
    for (uint32_t i = 0; i < node.GetChildCount(true); ++i) {
      if (const XNode* child = node.GetChild(i)) {
        WriteNode(*child, depth + 1, node.GetType() == XNode::kTypeDict);
      }
    }
    mBuffer.append(size_t(depth), '\t').append("</").append(name).append(">\n");
  }

  XNode::Output& mSink;
  const uint32_t mFlags;
  std::string mBuffer;
  int mError = 0;
};

// Writes to a file descriptor through the save's file-system calls, the whole of each
// piece (a short write is continued, an interrupted one repeated).
class DescriptorOutput final : public XNode::Output {
public:
  DescriptorOutput(XNodeWriterFileSystem& calls, int fd) : mCalls(calls), mFd(fd) {}

  void Write(const char* bytes, size_t length) override {
    while (mError == 0 && length != 0) {
      const ssize_t written = mCalls.Write(mFd, bytes, length);
      if (written > 0) {
        bytes += written;
        length -= size_t(written);
      } else if (written == 0 || errno != EINTR) {
        mError = written == 0 ? EIO : ErrnoOr5();
      }
    }
  }

private:
  XNodeWriterFileSystem& mCalls;
  const int mFd;
};

// Makes a completed rename durable; a failure here loses nothing already renamed.
void SyncFolderOf(XNodeWriterFileSystem& calls, const std::string& path) {
  const size_t slash = path.rfind('/');
  const std::string folder = slash == std::string::npos ? "." : slash == 0 ? "/" : path.substr(0, slash);
  const int fd = calls.Open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC, 0);
  if (fd >= 0) {
    calls.Sync(fd);  // nothing left to undo
    calls.Close(fd); // a descriptor only read
  }
}

XNodeWriterFileSystem gSystemCalls;
std::atomic<XNodeWriterFileSystem*> gCalls{&gSystemCalls};

} // namespace

int XNodeWriterFileSystem::Open(const char* path, int flags, mode_t mode) { return open(path, flags, mode); }
ssize_t XNodeWriterFileSystem::Write(int fd, const void* bytes, size_t length) { return write(fd, bytes, length); }
int XNodeWriterFileSystem::Sync(int fd) { return fsync(fd); }
int XNodeWriterFileSystem::Close(int fd) { return close(fd); }
int XNodeWriterFileSystem::Rename(const char* from, const char* to) { return rename(from, to); }

XNodeWriterFileSystem* XNodeWriterFileSystem::Install(XNodeWriterFileSystem* calls) {
  return gCalls.exchange(calls ? calls : &gSystemCalls);
}

XNodeWriterFileSystem& XNodeWriterFileSystem::Current() { return *gCalls.load(); }

void XNode::OutputFile::Write(const char* bytes, size_t length) {
  if (mError == 0 && length != 0 && std::fwrite(bytes, 1, length, mStream) != length) {
    mError = ErrnoOr5();
  }
}

int XNode::Write(Output& sink, uint32_t flags) const { return DocumentWriter(sink, flags).Run(*this); }

int XNode::SaveToFile(const char* path, uint32_t flags) const {
  // The new document goes to a temporary file beside the target (so the rename stays
  // on one file system) and replaces the target only once it is completely on disk.
  XNodeWriterFileSystem& calls = XNodeWriterFileSystem::Current();
  std::string target = path;
  struct stat info;
  if (lstat(path, &info) == 0 && S_ISLNK(info.st_mode)) {
    if (char* resolved = realpath(path, nullptr)) {
      target = resolved;
      std::free(resolved);
    }
  }
  const std::string temporary = target + ".tmp";
  const int fd = calls.Open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
  if (fd < 0) {
    return ErrnoOr5();
  }
  if (stat(target.c_str(), &info) == 0) {
    fchmod(fd, info.st_mode & 07777);
  }
  DescriptorOutput output(calls, fd);
  int error = Write(output, flags | kWriteDocument);
  if (error == 0 && calls.Sync(fd) != 0) {
    error = ErrnoOr5();
  }
  if (calls.Close(fd) != 0 && error == 0) {
    error = ErrnoOr5();
  }
  if (error == 0 && calls.Rename(temporary.c_str(), target.c_str()) != 0) {
    error = ErrnoOr5();
  }
  if (error != 0) {
    unlink(temporary.c_str());
    return error;
  }
  SyncFolderOf(calls, target);
  return 0;
}

bool XNode::IsXmlText(std::string_view text) {
  const auto* bytes = reinterpret_cast<const unsigned char*>(text.data());
  const size_t size = text.size();
  for (size_t i = 0; i < size;) {
    const unsigned char lead = bytes[i];
    if (lead < 0x80) {
      if (lead < 0x20 && lead != '\t' && lead != '\n' && lead != '\r') {
        return false;
      }
      ++i;
      continue;
    }
    size_t length = 0;
    uint32_t code = 0;
    uint32_t minimum = 0;
    if (lead >= 0xC2 && lead <= 0xDF) {
      length = 2, code = lead & 0x1F, minimum = 0x80;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
      length = 3, code = lead & 0x0F, minimum = 0x800;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
      length = 4, code = lead & 0x07, minimum = 0x10000;
    } else {
      return false;
    }
    if (size - i < length) {
      return false;
    }
    for (size_t k = 1; k < length; ++k) {
      if ((bytes[i + k] & 0xC0) != 0x80) {
        return false;
      }
      code = (code << 6) | (bytes[i + k] & 0x3F);
    }
    if (code < minimum || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF) || code == 0xFFFE || code == 0xFFFF) {
      return false;
    }
    i += length;
  }
  return true;
}

void XNode::AppendEscaped(std::string& out, std::string_view text) {
  size_t start = 0;
  for (size_t i = 0; i < text.size(); ++i) {
    std::string_view entity;
    switch (text[i]) {
    case '&':
      entity = "&amp;";
      break;
    case '<':
      entity = "&lt;";
      break;
    case '>':
      entity = "&gt;";
      break;
    case '"':
      entity = "&quot;";
      break;
    case '\'':
      entity = "&apos;";
      break;
    default:
      continue;
    }
    out.append(text.substr(start, i - start)).append(entity);
    start = i + 1;
  }
  out.append(text.substr(start));
}
