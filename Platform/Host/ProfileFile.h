#pragma once
// How the profile store touches the disk, by the same rules as the settings files: a
// read never blocks (a FIFO at the path is not waited on), what is not a regular file is
// neither read nor replaced, an unreadable file is kept aside under the first free name
// of "<file>.bak", "<file>.bak.1", ... before anything replaces it, a file the user may not
// write is not replaced, and a new file is written whole to "<file>.tmp" and renamed over
// the old one (the temporary file removed on any failure). Symbolic links are followed:
// the file a link leads to is read, kept aside and replaced, the link stays.
//
//   std::string text;
//   std::string problem;
//   if (ReadProfileFile(path, kMaxProfileSize, text, problem) == ProfileRead::Unreadable) {
//     (void)KeepProfileAside(path, problem);
//   }
//   if (!ReplaceProfileFile(path, text, problem)) { report(problem); }
//
// Each failure is described in `problem`: a sentence naming the file and the reason. Paths
// are UTF-8. No state; any thread.

#include <cstddef>
#include <string>

namespace QZ::Platform::Host {

enum class ProfileRead {
  Read,       // text holds the whole file
  Missing,    // nothing at the path (or a link that leads nowhere)
  NotRegular, // a folder, FIFO, device or socket: left alone
  Unreadable, // a regular file that could not be read, or longer than the limit
};

[[nodiscard]] ProfileRead ReadProfileFile(const std::string& path, size_t maxSize, std::string& text,
                                          std::string& problem);
// Moves the regular file at path aside: true with the backup's name in `backup`, or when
// there is no regular file to move; false when it stays in place (problem says why).
[[nodiscard]] bool KeepProfileAside(const std::string& path, std::string& backup, std::string& problem);
// Writes text as the file at path, creating its folder: false when it was not replaced.
[[nodiscard]] bool ReplaceProfileFile(const std::string& path, const std::string& text, std::string& problem);

} // namespace QZ::Platform::Host
