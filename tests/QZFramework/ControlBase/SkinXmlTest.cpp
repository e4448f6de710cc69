#include <gtest/gtest.h>

#include <cmath>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

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

TEST(SkinXmlTest, IntegersReadTheSameOnTheShortPathAsThroughTheGeneralReader) {
  const char* const values[] = {"0",          "12",         "-8",          "-0",         "007",         "123456789",
                                "-123456789", "1234567890", "-2147483648", "2147483648", "99999999999", "12x",
                                "-",          "+5",         " 5",          "",           "x1",          "--1"};
  for (const char* value : values) {
    SCOPED_TRACE(value);
    EXPECT_EQ(SkinXml::ReadInteger(value), Chars::ToInt32(value));
  }
  EXPECT_EQ(SkinXml::ReadIntegerOrHex("-12"), -12);
  EXPECT_EQ(SkinXml::ReadIntegerOrHex("0x1F"), 31);
}

TEST(SkinXmlTest, ReferenceKindsByKeywordAndEverythingElseASibling) {
  EXPECT_EQ(SkinXml::ReadReferenceKind("Parent", false), kPositionToParent);
  EXPECT_EQ(SkinXml::ReadReferenceKind("Screen", true), kSizeToParent);
  EXPECT_EQ(SkinXml::ReadReferenceKind("Client", false), kPositionToClient);
  EXPECT_EQ(SkinXml::ReadReferenceKind("Active Window", true), kSizeToClient);
  EXPECT_EQ(SkinXml::ReadReferenceKind("Self", true), kSizeToSelf);
  EXPECT_EQ(SkinXml::ReadReferenceKind("Self", false), kPositionToSibling); // positions have no Self
  for (const char* sibling : {"Parents", "Paren", "parent", "Scree", "Sel", "Selfish", "Active", "C", "", "label1"}) {
    SCOPED_TRACE(sibling);
    EXPECT_EQ(SkinXml::ReadReferenceKind(sibling, false), kPositionToSibling);
    EXPECT_EQ(SkinXml::ReadReferenceKind(sibling, true), kSizeToSibling);
  }
}

TEST(SkinXmlTest, AttributeNamesMatchExactlyAtEveryLength) {
  // Lengths below, at and beyond eight bytes, and one past a multiple of eight.
  const char* const list[] = {"ID",
                              "1",
                              "NumLooks",
                              "2",
                              "XPlacementAnchor",
                              "3",
                              "XMinSizeToControl",
                              "4",
                              "IDs",
                              "5",
                              "NumLook",
                              "6",
                              "NumLookz",
                              "7",
                              "XPlacementAnchoR",
                              "8",
                              "xPlacementAnchor",
                              "9",
                              "XMinSizeToControlX",
                              "10",
                              "XMinSizeToContrpl",
                              "11",
                              nullptr};
  SkinXml::Attributes attributes;
  attributes.Collect(const_cast<const char**>(list));
  EXPECT_STREQ(attributes[SkinXml::Attribute::ID], "1");
  EXPECT_STREQ(attributes[SkinXml::Attribute::NumLooks], "2");
  EXPECT_STREQ(attributes[SkinXml::Attribute::XPlacementAnchor], "3");
  EXPECT_STREQ(attributes[SkinXml::Attribute::XMinSizeToControl], "4");
  const char* const others[] = {"IDs", "1", nullptr};
  attributes.Collect(const_cast<const char**>(others)); // the next element clears the last one's
  EXPECT_FALSE(attributes.Has(SkinXml::Attribute::ID));
  EXPECT_FALSE(attributes.Has(SkinXml::Attribute::XMinSizeToControl));
}

TEST(SkinXmlTest, EveryNameOfTheVocabularyIsFoundAndNoNameOneByteAway) {
#define QZ_SKIN_XML_TEST_ENTRY(name) {#name, int(Kind::name)},
  std::vector<std::pair<std::string, int>> attributes;
  {
    using Kind = SkinXml::Attribute;
    attributes = {QZ_SKIN_XML_ATTRIBUTES(QZ_SKIN_XML_TEST_ENTRY)};
  }
  std::vector<std::pair<std::string, int>> elements;
  {
    using Kind = SkinXml::Element;
    elements = {QZ_SKIN_XML_ELEMENTS(QZ_SKIN_XML_TEST_ENTRY)};
  }
#undef QZ_SKIN_XML_TEST_ENTRY
  SkinXml::Attributes found;
  for (const auto& [name, kind] : attributes) {
    SCOPED_TRACE(name);
    const char* list[] = {name.c_str(), "value", nullptr};
    found.Collect(list);
    EXPECT_STREQ(found[SkinXml::Attribute(kind)], "value");
    // Every byte counts, the middle of names beyond 16 bytes included.
    for (size_t i = 0; i < name.size(); ++i) {
      std::string changed = name;
      changed[i] ^= 0x20;
      const char* other[] = {changed.c_str(), "value", nullptr};
      found.Collect(other);
      EXPECT_FALSE(found.Has(SkinXml::Attribute(kind))) << changed;
    }
  }
  for (const auto& [name, kind] : elements) {
    SCOPED_TRACE(name);
    EXPECT_EQ(SkinXml::Classify(name.c_str()), SkinXml::Element(kind));
    EXPECT_EQ(SkinXml::Classify((name + "x").c_str()), SkinXml::Element::Other);
    EXPECT_EQ(SkinXml::Classify(name.substr(1).c_str()), SkinXml::Element::Other);
  }
  EXPECT_EQ(SkinXml::Classify(""), SkinXml::Element::Other);
}

TEST(SkinXmlTest, AFontReadIntoAnotherKeepsNothingOfIt) {
  // One font is read into for every control: what a control does not give is "none".
  SkinXml::Attributes attributes;
  SkinFont font;
  const char* full[] = {
      "FontName",           "Arial", "FontSize", "8.25", "FontStyle", "0x1", "FontInheritsFromParent", "True",
      "FontSizeIsRelative", "True",  nullptr};
  attributes.Collect(full);
  SkinXml::ReadFont(attributes, font);
  EXPECT_EQ(font, (SkinFont{true, true, WString(u"Arial"), 8.25f, 1}));
  const char* none[] = {"Name", "button", nullptr};
  attributes.Collect(none);
  SkinXml::ReadFont(attributes, font);
  EXPECT_EQ(font, SkinFont());
  const char* relativeWithoutSize[] = {"FontSizeIsRelative", "True", "FontStyle", "3", nullptr};
  attributes.Collect(relativeWithoutSize);
  SkinXml::ReadFont(attributes, font);
  EXPECT_EQ(font, (SkinFont{false, false, WString(), 0.0f, 3}));
}

TEST(SkinXmlTest, TextsConvertAsTheGeneralConverterDoes) {
  const std::string longText(300, 'a');
  const char* const texts[] = {"",         "Arial", "Label 12",      "Tip & text", "caf\xC3\xA9", "\xE2\x82\xAC 5",
                               "bad \xC3", "\xFF",  longText.c_str()};
  for (const char* text : texts) {
    SCOPED_TRACE(text);
    const WString expected(text);
    EXPECT_EQ(SkinXml::ToText(text), expected);
    EXPECT_EQ(SkinXml::ToText(text, std::char_traits<char>::length(text)), expected);
  }
  EXPECT_EQ(SkinXml::ToText("Label 12", 5), WString("Label"));
  EXPECT_TRUE(SkinXml::ToText("", 0).IsEmpty());
}

TEST(SkinXmlTest, ATextTableKeepsItsValuesInPlaceAndNothingOfAFailedOne) {
  SkinXml::TextTable<int> table;
  const int& first = table.Get("first", [] { return 1; });
  EXPECT_THROW(table.Get("second", []() -> int { throw std::runtime_error("no"); }), std::runtime_error);
  EXPECT_EQ(table.Get("third", [] { return 3; }), 3);
  EXPECT_EQ(table.Get("second", [] { return 2; }), 2);
  for (int i = 0; i < 1000; ++i) {
    table.Get("name" + std::to_string(i), [i] { return i; });
  }
  EXPECT_EQ(&table.Get("first", [] { return 0; }), &first);
  EXPECT_EQ(first, 1);
  EXPECT_EQ(table.Get("third", [] { return 0; }), 3);
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
