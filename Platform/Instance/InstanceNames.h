#pragma once
// Where the one running instance of a program is known: the lock file it holds and the
// socket on which it listens, both named from the application's id.
//
//   const std::string lock = LockFilePath("Vandrel_Quorin ZTR Preset Editor");
//   // "$XDG_RUNTIME_DIR/Vandrel_Quorin ZTR Preset EditorPrevent", or, without that
//   // variable, "/tmp/Vandrel_Quorin ZTR Preset EditorPrevent-1000"
//   const std::string socket = HandOverSocketName("Vandrel_Quorin ZTR Preset Editor");
//   // "\0Vandrel_Quorin ZTR Preset EditorPrevent-1000": an abstract socket name
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
// The same for this process: XDG_RUNTIME_DIR, the system's temporary folder (TMPDIR, else
// /tmp) and the effective user.
std::string LockFilePath(std::string_view appId);

// The abstract Unix-domain socket name "\0<id>Prevent-<uid>" (the leading NUL is part of
// the string): abstract names are shared by every user of the machine, so the name
// carries the user.
std::string HandOverSocketName(std::string_view appId, uid_t uid);
// The same for the effective user.
std::string HandOverSocketName(std::string_view appId);

} // namespace QZ::Platform::Instance
