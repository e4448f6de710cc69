#include "QZFramework/Application/ProgramEntry.h"

#include <clocale>

namespace QZ {

void SetLocaleFromEnvironment() {
  std::setlocale(LC_CTYPE, ""); // an unknown locale leaves "C", which is fine
  std::setlocale(LC_MESSAGES, "");
}

std::string QuoteCommandLineArgument(std::string_view argument) {
  if (!argument.empty() && argument.find_first_of(" \t\n\v\"") == std::string_view::npos) {
    return std::string(argument);
  }
  std::string quoted = "\"";
  size_t backslashes = 0;
  for (char unit : argument) {
    if (unit == '\\') {
      ++backslashes;
      continue;
    }
    if (unit == '"') {
      quoted.append(backslashes * 2 + 1, '\\');
    } else {
      quoted.append(backslashes, '\\');
    }
    backslashes = 0;
    quoted += unit;
  }
  quoted.append(backslashes * 2, '\\');
  quoted += '"';
  return quoted;
}

std::string MakeCommandLine(int argc, const char* const* argv) {
  std::string line;
  for (int i = 0; i < argc; ++i) {
    if (i > 0) {
      line += ' ';
    }
    line += QuoteCommandLineArgument(argv[i] ? argv[i] : "");
  }
  return line;
}

} // namespace QZ
