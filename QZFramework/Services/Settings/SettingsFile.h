#pragma once
// How the settings store touches the disk: reading a settings file without ever
// blocking, keeping an unreadable one aside under a backup name that is still free, and
// deciding whether a file may be replaced. Every failure is told to the user (stderr)
// and to the debug trace, naming the file and the reason.
//
//   std::string text;
//   switch (QZ::SettingsFile::Read(path, text)) {
//   case QZ::SettingsFile::Reading::Read: ...parse text...; break;
//   case QZ::SettingsFile::Reading::Unreadable: QZ::SettingsFile::KeepAside(path); break;
//   default: break;                                   // start from defaults
//   }
//   if (QZ::SettingsFile::MayReplace(path)) { ...write... }
//
// Paths are UTF-8. A symbolic link at the path is followed (to any depth, even when it
// dangles): the file it leads to is read, kept aside and replaced, the link stays.
// The functions keep no state; any thread may call them.

#include <string>

namespace QZ::SettingsFile {

enum class Reading {
  Read,       // text holds the whole file
  Missing,    // nothing at the path (or a dangling link): no message
  NotRegular, // a folder, FIFO, device or socket: left alone, reported
  Unreadable, // a regular file that could not be opened or read: reported
};

// The path with every symbolic link of its last component followed; the path itself
// when it is no link or a link cannot be read.
std::string ResolveLinks(const std::string& path);

// Reads the file at path into text (emptied first). Opens without blocking, so a FIFO
// without a writer cannot stall the caller.
[[nodiscard]] Reading Read(const std::string& path, std::string& text);

// Moves the regular file at path (links followed) to the first free name of
// "<file>.bak", "<file>.bak.1", "<file>.bak.2", ... beside it and reports the name.
// True also when there is no regular file to keep; false, reported, when the move failed
// and the file is still in place.
[[nodiscard]] bool KeepAside(const std::string& path);

// Whether a save may replace what is at path (links followed): true for nothing there
// or a regular file the user may write. A file without any write permission bit counts
// as read-only even for a user whom the system would let write it. A refusal is
// reported as "<path>: settings not saved: <reason>".
[[nodiscard]] bool MayReplace(const std::string& path);

// Tells the user (stderr) and the debug trace one line about a settings file.
void Report(const std::string& line);

} // namespace QZ::SettingsFile
