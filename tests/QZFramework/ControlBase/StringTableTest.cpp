#include "QZFramework/ControlBase/StringTable.h"

#include <gtest/gtest.h>

#include <memory>

#include "Support/StringPrinter.h"

namespace QZ {
namespace {

TEST(StringTableTest, LookupLeavesTheTextAloneWhenTheIdIsMissing) {
  RCPtr<LStringTable> table = LStringTable::Create();
  table->Set(u"LABEL", u"Send");
  WString text = u"default";
  EXPECT_FALSE(LookupString(table.Get(), u"TOOLTIP", text));
  EXPECT_EQ(text, WString(u"default"));
  EXPECT_FALSE(LookupString(nullptr, u"LABEL", text));
  EXPECT_EQ(text, WString(u"default"));
  EXPECT_TRUE(LookupString(table.Get(), u"LABEL", text));
  EXPECT_EQ(text, WString(u"Send"));
}

TEST(StringTableTest, PiecesAppendAndAnEmptyEntryNeverReplacesText) {
  RCPtr<LStringTable> table = LStringTable::Create();
  EXPECT_TRUE(table->AddEmpty(u"A"));
  table->Append(u"A", u"a & ");
  table->Append(u"A", u"b");
  EXPECT_FALSE(table->AddEmpty(u"A"));
  EXPECT_EQ(*table->Find(u"A"), WString(u"a & b"));
}

TEST(StringTableTest, CopiesAreIndependentAndOrderedByUtf16Unit) {
  RCPtr<LStringTable> table = LStringTable::Create();
  table->Set(u"b", u"2");
  table->Set(u"B", u"1");
  table->Set(u"\xFF21", u"3");
  RCPtr<LStringTable> copy = DynamicCast<LStringTable>(table->CreateCopy());
  ASSERT_TRUE(copy);
  copy->Set(u"b", u"changed");
  EXPECT_EQ(*table->Find(u"b"), WString(u"2"));
  std::vector<WString> ids;
  for (const auto& [id, text] : copy->GetEntries()) {
    ids.push_back(id);
  }
  EXPECT_EQ(ids, (std::vector<WString>{u"B", u"b", u"\xFF21"}));
}

TEST(StringTableTest, TablesSharingEntriesCopyThemOnlyWhenOneChanges) {
  const auto entries = std::make_shared<const LStringTable::Entries>(LStringTable::Entries{{u"A", u"1"}, {u"B", u"2"}});
  const RCPtr<LStringTable> reader = LStringTable::Share(entries);
  const WString* kept = reader->Find(u"A");
  using Change = void (*)(LStringTable&);
  for (const Change change :
       {+[](LStringTable& t) { t.Set(u"A", u"x"); }, +[](LStringTable& t) { t.Append(u"B", u"x"); },
        +[](LStringTable& t) { (void)t.AddEmpty(u"C"); }, +[](LStringTable& t) { t.Clear(); }}) {
    const RCPtr<LStringTable> writer = LStringTable::Share(entries);
    change(*writer);
    EXPECT_NE(&writer->GetEntries(), entries.get());
    EXPECT_EQ(*entries, (LStringTable::Entries{{u"A", u"1"}, {u"B", u"2"}}));
    EXPECT_EQ(&reader->GetEntries(), entries.get());
    EXPECT_EQ(kept, reader->Find(u"A"));
  }
  EXPECT_EQ(LStringTable::Share(nullptr)->GetCount(), 0u);
}

TEST(StringTableTest, AKeyIsMadeOnceAndFindsWhatItsLiteralFinds) {
  const RCPtr<LStringTable> table = LStringTable::Create({{u"TOOLTIP", u"Tip"}});
  EXPECT_EQ(&TableKey<u"TOOLTIP">(), &TableKey<u"TOOLTIP">());
  EXPECT_EQ(TableKey<u"TOOLTIP">(), WString(u"TOOLTIP"));
  WString text;
  EXPECT_TRUE(LookupString(table.Get(), TableKey<u"TOOLTIP">(), text));
  EXPECT_EQ(text, WString(u"Tip"));
  EXPECT_FALSE(LookupString(table.Get(), TableKey<u"TOOLTIP_">(), text));
}

} // namespace
} // namespace QZ
