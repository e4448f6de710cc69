#pragma once
// Where the one running instance of a program is known: the lock file it holds, and the
// socket on which it listens, named from that lock file's path. One key gives both, so a
// lock holder always listens where a second start of the same key looks, and a start
// with another runtime folder (a test's own, another session's) never meets it.
//
//   const std::string lock = LockFilePath("Vandrel_Quorin ZTR Preset Editor");
//   // "$XDG_RUNTIME_DIR/Vandrel_Quorin ZTR Preset EditorPrevent", or, without that
//   // variable, "/tmp/Vandrel_Quorin ZTR Preset EditorPrevent-1000"
//   const std::string socket = HandOverSocketName(lock);
//   // "\0Vandrel_Quorin ZTR Preset EditorPrevent-1000-5c1f0a7e2b93d864": an abstract name
//
// Ids and paths are UTF-8. Any thread.

#include <sys/types.h>

#include <string>
#include <string_view>

namespace QZ::Platform::Instance {

// "<id>Prevent" in runtimeFolder when it is not empty; else "<id>Prevent-<uid>" in
// tempFolder (the user's runtime folder is private; the temporary folder is shared, so
// the name carries the user).
std::string LockFilePath(std::string_view appId, std::string_view runtimeFolder, std::string_view tempFolder,
                         uid_t uid);
// The same for this process: XDG_RUNTIME_DIR when it is an absolute path (a relative one
// is ignored, as the base-directory rules say), the system's temporary folder (TMPDIR,
// else /tmp) and the effective user.
std::string LockFilePath(std::string_view appId);

// The abstract Unix-domain socket name of the instance that holds lockPath (the leading
// NUL is part of the string): "\0<lock file name>-<uid>-<16 hex digits of the path's
// hash>". Abstract names are shared by every user of the machine, so the name carries the
// user; the file name is shortened when the whole would not fit a socket address.
std::string HandOverSocketName(std::string_view lockPath, uid_t uid);
// The same for the effective user.
std::string HandOverSocketName(std::string_view lockPath);

} // namespace QZ::Platform::Instance
