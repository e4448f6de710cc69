// The entry's preparations: the locale from the environment, numbers kept in "C", and the
// arguments joined into one command line that the Windows parser reads back.

#include <gtest/gtest.h>

#include <clocale>
#include <string>

#include "HostTestSupport.h"
#include "QZFramework/Application/ProgramEntry.h"

namespace QZTest {
namespace {

TEST(ProgramEntryTest, ArgumentsWithBlanksOrQuotesAreQuotedTheWayTheWindowsParserReadsThem) {
  const std::pair<const char*, const char*> cases[] = {
      {"plain", "plain"},
      {"", "\"\""},
      {"a b", "\"a b\""},
      {"tab\there", "\"tab\there\""},
      {"say \"hi\"", "\"say \\\"hi\\\"\""},
      {"C:\\dir\\", "C:\\dir\\"},             // no blank: left as it is
      {"C:\\my dir\\", "\"C:\\my dir\\\\\""}, // backslashes before the closing quote doubled
      {"a\\\"b", "\"a\\\\\\\"b\""},           // and before an escaped quote
      {"Grüße", "Grüße"},
  };
  for (const auto& [argument, quoted] : cases) {
    EXPECT_EQ(QZ::QuoteCommandLineArgument(argument), quoted) << argument;
  }
  const char* const argv[] = {"/opt/quorin ztr/editor", "-DEBUG_CONSOLE", "my preset.qzp"};
  EXPECT_EQ(QZ::MakeCommandLine(3, argv), "\"/opt/quorin ztr/editor\" -DEBUG_CONSOLE \"my preset.qzp\"");
}

TEST(ProgramEntryTest, CharactersAndMessagesFollowTheEnvironmentNumbersStayC) {
  ScopedEnvironment environment;
  environment.Set("LC_ALL", "C.UTF-8");
  QZ::SetLocaleFromEnvironment();
  EXPECT_STREQ(std::setlocale(LC_CTYPE, nullptr), "C.UTF-8");
  EXPECT_STREQ(std::setlocale(LC_MESSAGES, nullptr), "C.UTF-8");
  EXPECT_STREQ(std::setlocale(LC_NUMERIC, nullptr), "C");
  std::setlocale(LC_ALL, "C");
}

} // namespace
} // namespace QZTest
