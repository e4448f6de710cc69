#include <gtest/gtest.h>

#include "QZFramework/Utilities/Storage/StringArray.h"

namespace {

QZ::WStringArray MakeNames(std::initializer_list<const char16_t*> names) {
  QZ::WStringArray array;
  for (const char16_t* name : names) {
    array.AddItem(QZ::WString(name));
  }
  return array;
}

TEST(StringArrayTest, FindByNamePointerFindsOnlyTheStoredCharacters) {
  QZ::WStringArray names = MakeNames({u"NID_IDLE", u"NID_LEFT_CLICK"});
  const char16_t* idle = names.GetAt(0).GetBuffer();
  EXPECT_EQ(names.FindByNamePointer(idle), 0);
  EXPECT_EQ(names.FindByNamePointer(QZ::WString(u"NID_IDLE").GetBuffer()), -1);
  EXPECT_EQ(QZ::WStringArray().FindByNamePointer(idle), -1);

  // A copy shares the characters: the search from the end finds the later item.
  names.AddItem(names.GetAt(0));
  EXPECT_EQ(names.FindByNamePointer(idle), 2);

  // Growing the array keeps the characters where they are.
  for (int i = 0; i < 200; ++i) {
    names.AddItem(QZ::WString::FromInt(i));
  }
  EXPECT_EQ(names.GetAt(0).GetBuffer(), idle);
  EXPECT_EQ(names.FindByNamePointer(names.GetAt(1).GetBuffer()), 1);
}

TEST(StringArrayTest, FindByNameMatchesTextExactlyOrIgnoringCase) {
  const QZ::WStringArray names = MakeNames({u"MIDIIN2 (QUORIN 49 ZTR)", u"Pad", u"", u"pad"});
  EXPECT_EQ(names.FindByName(QZ::WString(u"Pad"), true, 0), 1);
  EXPECT_EQ(names.FindByName(QZ::WString(u"pad"), true, 0), 3);
  EXPECT_EQ(names.FindByName(QZ::WString(u"PAD"), true, 0), -1);
  EXPECT_EQ(names.FindByName(QZ::WString(u"PAD"), false, 0), 1);
  EXPECT_EQ(names.FindByName(QZ::WString(u"PAD"), false, 2), 3);
  EXPECT_EQ(names.FindByName(QZ::WString(u"midiin2 (quorin 49 ztr)"), false, 0), 0);
  EXPECT_EQ(names.FindByName(QZ::WString(), true, 0), 2);
  EXPECT_EQ(names.FindByName(QZ::WString(u"Pads"), false, 0), -1);
}

TEST(StringArrayTest, FindByNameFromTheCountOnFindsNothing) {
  const QZ::WStringArray names = MakeNames({u"a", u"b"});
  EXPECT_EQ(names.FindByName(names.GetAt(1), true, 1), 1);
  EXPECT_EQ(names.FindByName(names.GetAt(1), true, 2), -1);
  EXPECT_EQ(names.FindByName(names.GetAt(1), false, 0xFFFFFFFF), -1);
  EXPECT_EQ(QZ::WStringArray().FindByName(QZ::WString(), false, 0), -1);
}

TEST(StringArrayTest, IndexOfComparesText) {
  const QZ::WStringArray names = MakeNames({u"x", u"y", u"y"});
  EXPECT_EQ(names.IndexOf(QZ::WString(u"y")), 1);
  EXPECT_EQ(names.IndexOf(QZ::WString(u"Y")), -1);
}

} // namespace
