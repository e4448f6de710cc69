#pragma once
// Where the program keeps the user's own files: $XDG_CONFIG_HOME (else ~/.config), then
// the company's folder, then the product's.
//
//   std::string folder = QZ::GetUserApplicationFolder(u"Vandrel", u"Quorin ZTR Preset Editor");
//   // "/home/ann/.config/Vandrel/Quorin ZTR Preset Editor"
//
// Company and product names are made safe for file names first: each of the fifteen
// characters \ / : * ? " < > | & ; , ^ ( ) becomes "_". Any thread.

#include <string>

#include "QZFramework/Utilities/Storage/StringT.h"

namespace QZ {

WString MakeFolderNameSafe(const WString& name);

// The folder's path (UTF-8, '/' separated), not created; empty when neither
// XDG_CONFIG_HOME nor HOME is set.
std::string GetUserApplicationFolder(const WString& company, const WString& product);

} // namespace QZ
