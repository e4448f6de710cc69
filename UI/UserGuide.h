#pragma once
// Where the editor's user guide is, and the address the desktop opens it by. The string
// table's "URL_USER_GUIDE" holds either a web address ("https://..." or "http://...", opened
// as it is) or the guide's file name, looked for in the program's documentation folders:
// "share/doc/quorin-ztr-preset-editor" below the program's folder (a build folder, which
// holds the program at its top) and below the folder above it (a program installed in
// <prefix>/bin, the guide in <prefix>/share/doc/...). The first readable regular file found
// is opened as a local address: "file://" and its absolute path, every byte of its UTF-8
// but letters, digits, "-._~" and '/' percent-encoded, so that the desktop's opener reads
// it without a network.
//
//   QZ::WString address = QZ::UserGuideAddress(QZ::WString(u"UserGuide.html"), QZ::WString(u"/opt/q z/bin"));
//   // "file:///opt/q%20z/share/doc/quorin-ztr-preset-editor/UserGuide.html", or empty when
//   // neither folder holds a readable UserGuide.html
//
// Any thread; nothing is kept between calls.

#include <string>
#include <vector>

#include "QZFramework/Utilities/Storage/StringT.h"

namespace QZ {

// The documentation folders of a program in programFolder ('/' between folders, no
// trailing '/'), in the order they are searched; none for an empty folder.
std::vector<std::string> DocumentationFolders(const std::string& programFolder);

// The address to open for entry: a web address as it is; for a file name, the local address
// of the first readable regular file of that name in the documentation folders of
// programFolder. Empty when entry is empty or no folder holds such a file (a missing,
// unreadable or non-regular file, an empty programFolder).
WString UserGuideAddress(const WString& entry, const WString& programFolder);

} // namespace QZ
