#pragma once
// The program's folders on disk: its own, the application data shared by the users
// ($XDG_DATA_HOME, else ~/.local/share), the user's own ($XDG_CONFIG_HOME, else ~/.config)
// and the user's documents.
//
//   std::string folder = QZ::GetUserApplicationFolder(u"Vandrel", u"Quorin ZTR Preset Editor");
//   // "/home/ann/.config/Vandrel/Quorin ZTR Preset Editor"
//   if (QZ::CreateFolders(folder)) { ... }
//
// Company and product names are made safe for file names first: each of the fifteen
// characters \ / : * ? " < > | & ; , ^ ( ) becomes "_". Paths are UTF-8, '/' separated,
// without a trailing '/', of any length. Any thread.

#include <string>

#include "QZFramework/Utilities/Storage/StringT.h"

namespace QZ {

WString MakeFolderNameSafe(const WString& name);

// The folder of the running program (the link /proc/self/exe resolves to, cut before its
// last '/'); empty when the system does not tell.
std::string GetProgramFolder();

// The folders of company and product under the users' shared application data and under
// the user's configuration; not created. As the base-directory rules have it, an XDG
// variable counts only when it holds an absolute path (a relative one is ignored, never
// taken from the working folder), and so does HOME. Empty when neither gives a base.
std::string GetCommonApplicationFolder(const WString& company, const WString& product);
std::string GetUserApplicationFolder(const WString& company, const WString& product);
// Why that folder (the user's: user true) is empty, e.g. "XDG_CONFIG_HOME is not set and
// HOME (\"home\") is not an absolute path"; empty when there is one.
std::string DescribeMissingApplicationFolder(bool user);

// The user's documents: XDG_DOCUMENTS_DIR of $XDG_CONFIG_HOME/user-dirs.dirs (a leading
// "$HOME" replaced), else ~/Documents when it is a folder, else $HOME; empty without an
// absolute HOME.
std::string GetDocumentsFolder();

// Creates path and every missing level above it: true when it is a folder afterwards;
// otherwise, with reason given, why not.
[[nodiscard]] bool CreateFolders(const std::string& path, std::string* reason = nullptr);

} // namespace QZ
