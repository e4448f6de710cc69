#pragma once
// XNodeWriterFileSystem: the file-system calls through which XNode::SaveToFile makes a
// saved document durable, in the order it makes them: open the temporary file, write
// the document, sync it, close it, rename it over the target, then open, sync and close
// the target's folder so that the rename itself survives a crash. The program keeps
// the system's calls; a test puts its own in place to see the order or to make one
// call fail.
//
//   struct Journal final : XNodeWriterFileSystem {
//     int Sync(int fd) override { calls.push_back("sync"); return XNodeWriterFileSystem::Sync(fd); }
//     std::vector<std::string> calls;
//   } journal;
//   XNodeWriterFileSystem* previous = XNodeWriterFileSystem::Install(&journal);
//   (void)root->SaveToFile("UserSettings.ini", 0);
//   XNodeWriterFileSystem::Install(previous);

#include <sys/types.h>

#include <cstddef>

class XNodeWriterFileSystem {
public:
  virtual ~XNodeWriterFileSystem() = default;

  // The POSIX calls open, write, fsync, close and rename: their results, and errno set
  // on failure. Any thread.
  [[nodiscard]] virtual int Open(const char* path, int flags, mode_t mode);
  virtual ssize_t Write(int fd, const void* bytes, size_t length);
  virtual int Sync(int fd);
  virtual int Close(int fd);
  virtual int Rename(const char* from, const char* to);

  // Every save that starts from now on goes through calls (null: the system's again);
  // returns the calls in place before. The caller keeps calls alive while it is in place.
  // Any thread.
  static XNodeWriterFileSystem* Install(XNodeWriterFileSystem* calls);
  // The calls in place.
  static XNodeWriterFileSystem& Current();
};
