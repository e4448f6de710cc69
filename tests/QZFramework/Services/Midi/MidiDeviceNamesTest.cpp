#include "QZFramework/Services/Midi/MidiDeviceNames.h"

#include <gtest/gtest.h>

namespace {

using namespace QZ;
using namespace QZ::MidiDeviceNames;

std::vector<std::string> Texts(const WStringArray& names) {
  std::vector<std::string> texts;
  for (uint32_t i = 0; i < names.GetCount(); ++i) {
    texts.push_back(names.GetAt(i).ToUTF8().GetBuffer());
  }
  return texts;
}

WStringArray Wide(const std::vector<std::string>& texts) {
  WStringArray names;
  for (const std::string& text : texts) {
    names.AddItem(WString(text.c_str()));
  }
  return names;
}

TEST(MidiDeviceNamesTest, RepeatedNamesAreNumberedWhereTheFirstStood) {
  EXPECT_EQ(Texts(MakeUnique({"X", "Y", "X"})), (std::vector<std::string>{"X (1)", "X (2)", "Y"}));
  EXPECT_EQ(Texts(MakeUnique({"A", "B", "a", "A", "A"})),
            (std::vector<std::string>{"A (1)", "A (2)", "A (3)", "B", "a"}));
  EXPECT_EQ(Texts(MakeUnique({})), std::vector<std::string>{});
}

TEST(MidiDeviceNamesTest, ANameEndingInANumberInParenthesesPicksThatDuplicate) {
  const struct {
    const char16_t* name;
    const char16_t* base;
    int32_t index;
  } cases[] = {
      {u"X (2)", u"X", 1}, {u"X (12)", u"X", 11}, {u"MIDIIN3 (QUORIN 49 ZTR)", u"MIDIIN3 (QUORIN 49 ZTR)", 0},
      {u"(2)", u"(2)", 0}, {u"X (0)", u"X", -1},
  };
  for (const auto& c : cases) {
    const RequestedName split = Split(WString(c.name));
    EXPECT_EQ(split.base, WString(c.base)) << WString(c.name).ToUTF8().GetBuffer();
    EXPECT_EQ(split.index, c.index) << WString(c.name).ToUTF8().GetBuffer();
  }
}

TEST(MidiDeviceNamesTest, AnEqualNameWinsAndAContainedNameCountsItsEntries) {
  const WStringArray names = Wide({"QUORIN 49 ZTR", "MIDIIN2 (QUORIN 49 ZTR)", "MIDIIN3 (QUORIN 49 ZTR)"});
  const struct {
    const char16_t* name;
    int32_t count;
    int32_t index;
  } cases[] = {
      {u"midiin3 (quorin 49 ztr)", 1, 2}, {u"QUORIN 49 ZTR", 1, 0}, {u"49 ZTR", 3, 0}, {u"MIDIIN", 2, 1},
      {u"QUORIN 25 ZTR", 0, -1},
  };
  for (const auto& c : cases) {
    const NameMatch match = Find(names, WString(c.name));
    EXPECT_EQ(match.count, c.count) << WString(c.name).ToUTF8().GetBuffer();
    EXPECT_EQ(match.index, c.index) << WString(c.name).ToUTF8().GetBuffer();
  }
}

TEST(MidiDeviceNamesTest, TheDevicePickedEndsWithTheBaseAtTheDuplicateIndex) {
  const std::vector<std::string> devices = {"X", "sim:MIDIIN3 (QUORIN 49 ZTR)", "Y", "x"};
  WString examined;
  EXPECT_EQ(PickDevice(devices, WString(u"X (2)"), examined), 3);
  EXPECT_EQ(examined, WString(u"x"));
  EXPECT_EQ(PickDevice(devices, WString(u"MIDIIN3 (QUORIN 49 ZTR)"), examined), 1);
  EXPECT_EQ(PickDevice(devices, WString(u"X (3)"), examined), -1);
  EXPECT_EQ(PickDevice(devices, WString(u"MIDIIN3"), examined), -1) << "contained, but not at the end";
}

} // namespace
