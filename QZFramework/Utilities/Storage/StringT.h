#pragma once
// Interim: replaced by the full string types.
#include "QZFramework/Utilities/Storage/StringFwd.h"
#include <string>
namespace QZ {
template <class C, class O>
class StringT {
public:
  StringT() = default;
  explicit StringT(const char* utf8) : mText(utf8) {}
  const std::string& Utf8() const { return mText; }

private:
  std::string mText;
};
} // namespace QZ
