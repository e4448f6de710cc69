#pragma once
// Lets GoogleTest show the framework's strings as text (UTF-8) in failure messages.

#include <ostream>

#include "QZFramework/Utilities/Storage/StringT.h"

namespace QZ {

inline void PrintTo(const NString& text, std::ostream* out) { *out << '"' << text.GetBuffer() << '"'; }
inline void PrintTo(const WString& text, std::ostream* out) { PrintTo(text.ToUTF8(), out); }

} // namespace QZ
