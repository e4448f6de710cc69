#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "QZFramework/ControlBase/SkinXml.h"
#include "QZFramework/Utilities/Storage/WideChar.h"

namespace QZ {
namespace {

TEST(SkinXmlTest, RealsReadTheSameOnTheShortPathAsThroughTheGeneralReader) {
  const char* const values[] = {"0.25",
                                "-8",
                                "8.25",
                                "0.1",
                                "-0.3",
                                "-0",
                                "0",
                                "123456789012345",
                                ".5",
                                "5.",
                                "-.5",
                                "0.000000000000001",
                                "3.4028235e38",
                                "1234567890123456",
                                "16777217",
                                "0.8",
                                "1e5",
                                " 2.5",
                                "+2.5",
                                "2.5x",
                                "1.2.3",
                                "-",
                                ".",
                                "",
                                "inf",
                                "99999999999999.9"};
  for (const char* value : values) {
    SCOPED_TRACE(value);
    const float expected = float(Chars::ToDouble(value));
    const float read = SkinXml::ReadFloat(value);
    EXPECT_EQ(std::signbit(read), std::signbit(expected));
    EXPECT_EQ(read, expected);
  }
}

TEST(SkinXmlTest, ATextTableMakesEachValueOnceAndKeepsThemAllAsItGrows) {
  SkinXml::TextTable<int> table;
  int made = 0;
  for (int round = 0; round < 2; ++round) {
    for (int i = 0; i < 200; ++i) {
      const int value = table.Get("name" + std::to_string(i), [&] { return ++made; });
      EXPECT_EQ(value, i + 1);
    }
  }
  EXPECT_EQ(made, 200);
  table.Get("name7", [] { return 0; }) = 70; // the stored value itself
  EXPECT_EQ(table.Get("name7", [] { return 0; }), 70);
}

} // namespace
} // namespace QZ
