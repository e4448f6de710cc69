#include "QZFramework/ObjectBase/Exception.h"

#include <cstdio>

namespace QZ {

ExceptionBase::~ExceptionBase() = default;

const char* ExceptionBase::What() const {
  // Every concrete exception of the family is also a std::exception.
  const auto* standard = dynamic_cast<const std::exception*>(this);
  return standard ? standard->what() : "";
}

std::string FailedResultException::MakeMessage(int32_t code) {
  char digits[65];
  std::snprintf(digits, sizeof digits, "%X", static_cast<uint32_t>(code));
  return std::string("QZRESULT = ") + digits;
}

std::string ComposeExceptionText(std::string_view kind, std::string_view message, const SourceSite& site) {
  std::string text;
  text.reserve(kind.size() + message.size() + site.method.size() + site.file.size() + 32);
  text.append(kind);
  if (!message.empty()) {
    text.append(" : ").append(message);
  }
  text.append(" : ").append(site.method);
  text.append(" : ").append(site.file);
  text.append(" : Line ").append(std::to_string(site.line));
  return text;
}

void ThrowBadAlloc() { throw Exception<std::bad_alloc>(); }

void CheckResult(int32_t result, const SourceSite& site) {
  if (result < 0) {
    Throw<FailedResultException>(site, FailedResultException::MakeMessage(result));
  }
}

} // namespace QZ
