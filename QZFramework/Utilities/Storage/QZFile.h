#pragma once
// QZ::File: a file opened by path, read and written at explicit positions, closed by the
// last of its copies; and the framework's path functions.
//
//   QZ::File skin(folder, QZ::WString(u"Skins.xml"), QZ::File::kRead);
//   std::vector<char> bytes(skin.GetLength());
//   skin.Read(bytes.data(), uint32_t(bytes.size()), QZ::File::kCurrentPosition);
//
// Paths are UTF-16 text, handed to the system as UTF-8, with '/' between folders. Copies
// of an open File share its descriptor; Close (or destruction) by the File that is the
// descriptor's last holder closes it and, with kDeleteOnClose, deletes the file.
//
// Failures: Open returns QZ_E_FAIL when the system refuses the file (missing, exists
// under kExclusive, no permission, a folder); Read, Write and GetLength throw
// QZ::Exception<std::runtime_error> naming the system call that failed; Seek returns -1.
// A File that is not open reads and writes nothing: Read and Write throw, Seek returns -1,
// GetLength 0.
//
// A File, and all copies of one, are used by one thread at a time. The path functions
// touch no shared state and may run on any thread.

#include <cstdint>

#include "QZFramework/ObjectBase/RCPtr.h"
#include "QZFramework/Utilities/Storage/Holder.h"
#include "QZFramework/Utilities/Storage/IArray.h"
#include "QZFramework/Utilities/Storage/StringT.h"

namespace QZ {

class File {
public:
  // Open flags.
  // What readers pass; every file is opened for reading.
  static constexpr uint32_t kRead = 0x10000;
  // Reading and writing; without it Write throws.
  static constexpr uint32_t kReadWrite = 0x20000;
  // With kCreate: fail when the file exists already.
  static constexpr uint32_t kExclusive = 0x40000;
  // Create the file when it does not exist (readable and writable, as the umask allows).
  static constexpr uint32_t kCreate = 0x80000;
  // Delete the file when the last copy closes it.
  static constexpr uint32_t kDeleteOnClose = 0x100000;

  // The position argument of Read and Write that means "where the file stands".
  static constexpr uint32_t kCurrentPosition = 0xFFFFFFFF;

  // Opens as Open does; its result is dropped (IsOpen tells), its exception passes out.
  File(const WString& folderOrPath, const WString& fileName, uint32_t flags);
  // Shares other's descriptor.
  File(const File& other) = default;
  // Closes this File as Close does, then shares other's descriptor.
  File& operator=(const File& other);
  virtual ~File();

  // Opens folderOrPath + "/" + fileName, or the path folderOrPath when fileName is empty
  // (the separator is always added: a folder ending in '/' gives "//", which the system
  // accepts; an empty folder gives a path below the root). 0 opened, 1 already open
  // (nothing changes), QZ_E_FAIL refused (the path, name and flags are kept). Throws
  // Runtime Error "invalid pathname" when both are empty.
  [[nodiscard]] virtual QZResult Open(const WString& folderOrPath, const WString& fileName, uint32_t flags);
  // Closes the descriptor when this File is its last holder (deleting the file under
  // kDeleteOnClose); while other copies hold it, nothing changes. Always 0.
  virtual QZResult Close();
  // Reads up to count bytes (at most 0x7FFFFFFF) at position into buffer: fewer only at
  // the end of the file. Returns the number read.
  [[nodiscard]] virtual int32_t Read(void* buffer, uint32_t count, uint32_t position);
  // Writes count bytes (at most 0x7FFFFFFF) from buffer at position. Returns the number
  // written. Throws "file is read only" without kReadWrite, before touching the file.
  [[nodiscard]] virtual int32_t Write(const void* buffer, uint32_t count, uint32_t position);
  // Moves by offset from origin (0 start, 1 current position, 2 end): the new position,
  // or -1 (also for a position beyond 0x7FFFFFFF).
  virtual int32_t Seek(int32_t offset, int32_t origin);
  // The size of the open file; 0 when not open. Throws "fstat" for a size beyond 32 bits.
  uint32_t GetLength() const;

  bool IsOpen() const { return !mDescriptor.IsNull(); }
  // The path last given to Open (joined), the file name given with it (empty for a full
  // path), and its flags.
  const WString& GetPath() const { return mPath; }
  const WString& GetName() const { return mName; }
  uint32_t GetFlags() const { return mFlags; }

  // Whether path exists and is not a folder (links are followed).
  static bool IsFile(const WString& path);
  // Whether path names an existing folder (links are followed).
  static bool IsDirectory(const WString& path);
  // 1 the folder exists, 0 it was created with any missing parents, QZ_E_FAIL a
  // non-folder of that name exists or the folder could not be made.
  [[nodiscard]] static QZResult EnsureDirectory(const WString& path);
  // Creates each folder along path (parentOnly: all but the last part); folders that
  // exist are fine. Whether the target (parentOnly: the parent) exists afterwards.
  [[nodiscard]] static bool CreateDirectories(const WString& path, bool parentOnly);
  // The long form of path: every name on this system is its long name, so the path itself.
  static WString GetLongPath(const WString& path);
  // Replaces result by the full paths (folder + "/" + name) of the files (not folders) in
  // folder whose names match pattern ('*' any run, '?' one character, "*.*" everything;
  // ignoring case), ordered by name ignoring case. Names that are not valid UTF-8 are
  // skipped. The count listed; QZ_E_NOTIMPL when folder is not a folder; QZ_E_FAIL when the
  // listing fails (the names read before the failure stay listed).
  static int32_t ListFiles(const WString& folder, const WString& pattern, IArray<WString>& result);
  // The part before the last '/'; the whole path when there is none.
  static WString GetDirectoryOf(const WString& path);
  // The part after the last '/'; the whole path when there is none or it is the last
  // character.
  static WString GetFileNameOf(const WString& path);
  // text with each of \ / : * ? " < > | & ; , ^ ( ) replaced by '_': a name part that is
  // valid on every file system the program's folders may live on.
  static WString MakeValidFileName(const WString& text);

private:
  int Descriptor() const;

  RCPtr<LHolder<int>> mDescriptor;
  WString mName;
  WString mPath;
  uint32_t mFlags = 0;
};

} // namespace QZ
