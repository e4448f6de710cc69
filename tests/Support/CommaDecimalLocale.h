#pragma once
// Switches the C library's numbers to a locale whose decimal point is a comma, for the
// life of the object: readers of skins and settings must not depend on it. Uses an
// installed locale, else compiles one into a temporary folder; Active() is false when
// neither works.
//
//   QZTest::CommaDecimalLocale locale;
//   ASSERT_TRUE(locale.Active());
//   EXPECT_EQ(ReadSomething("0.5"), 0.5);

#include <clocale>
#include <cstdlib>
#include <string>

#include "Support/TempFolder.h"

namespace QZTest {

class CommaDecimalLocale {
public:
  CommaDecimalLocale() {
    for (const char* name : {"de_DE.UTF-8", "de_DE.utf8", "fr_FR.UTF-8", "fr_FR.utf8", "de_DE", "fr_FR"}) {
      if (Use(name)) {
        return;
      }
    }
    const std::string command = "localedef -i de_DE -f UTF-8 -c " + (mCompiled / "de_DE.UTF-8") + " >/dev/null 2>&1";
    if (std::system(command.c_str()) == 0) {
      setenv("LOCPATH", mCompiled.Path().c_str(), 1);
      Use("de_DE.UTF-8");
    }
  }
  ~CommaDecimalLocale() {
    std::setlocale(LC_ALL, "C");
    unsetenv("LOCPATH");
  }
  CommaDecimalLocale(const CommaDecimalLocale&) = delete;
  CommaDecimalLocale& operator=(const CommaDecimalLocale&) = delete;

  bool Active() const { return mActive; }

private:
  bool Use(const char* name) {
    mActive = std::setlocale(LC_ALL, name) != nullptr && std::localeconv()->decimal_point[0] == ',';
    return mActive;
  }

  TempFolder mCompiled;
  bool mActive = false;
};

} // namespace QZTest
