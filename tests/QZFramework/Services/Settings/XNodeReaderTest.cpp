#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <utility>

#include "QZFramework/Services/Settings/XNode.h"
#include "SettingsTestSupport.h"
#include "Support/CommaDecimalLocale.h"

namespace {

using SettingsTest::Written;

std::unique_ptr<XNode> Parse(const std::string& text) { return XNode::Load(text, "test.ini", nullptr); }

std::string Nested(const char* element, int levels) {
  std::string text;
  for (int i = 0; i < levels; ++i) {
    text += std::string("<") + element + ">";
  }
  for (int i = 0; i < levels; ++i) {
    text += std::string("</") + element + ">";
  }
  return text;
}

TEST(XNodeReaderTest, WrittenDocumentsReadBackUnchanged) {
  XNode root(XNode::kTypeDict);
  root.FindPath("Application", XNode::kPathCreate)->SetString("Q & <A> \"editor\" 'x' \xC3\xA9");
  root.FindPath("a&b<c>", XNode::kPathCreate)->SetInteger(-7);
  root.FindPath("1_0_0.Flags", XNode::kPathCreate)->SetBool(true);
  XNode* hidden = root.FindPath("1_0_0.Hidden", XNode::kPathCreate);
  hidden->SetBool(false);
  hidden->SetFlag(XNode::kFlagVisible, true);
  hidden->SetFlag(XNode::kFlagLocked, true);
  XNode* real = root.FindPath("1_0_0.Gain", XNode::kPathCreate);
  real->SetType(XNode::kTypeReal);
  real->SetFromText("-0.125");
  XNode* data = root.FindPath("Blob", XNode::kPathCreate);
  data->SetType(XNode::kTypeData);
  data->SetFromText("AAEC&<>");
  root.FindPath("List[1].Name", XNode::kPathCreate)->SetString(std::string(20000, 'n'));
  root.FindPath("Empty", XNode::kPathCreate)->SetType(XNode::kTypeArray);
  const std::string document = Written(root, XNode::kWriteDocument);

  const auto loaded = Parse(document);
  ASSERT_NE(loaded, nullptr);
  EXPECT_EQ(Written(*loaded, XNode::kWriteDocument), document);
  EXPECT_EQ(loaded->FindPath("A&B<C>", 0)->GetInteger(), -7);
  EXPECT_EQ(loaded->FindPath("blob", 0)->GetText(), "AAEC&<>");
  EXPECT_EQ(loaded->FindPath("1_0_0.hidden", 0)->GetFlags() & (XNode::kFlagVisible | XNode::kFlagLocked),
            XNode::kFlagVisible | XNode::kFlagLocked);
  EXPECT_EQ(loaded->FindPath("List[1].Name", 0)->GetText().size(), 20000u);
  EXPECT_FALSE(loaded->IsDirty());
  EXPECT_FALSE(loaded->FindPath("List[1].Name", 0)->IsDirty());
}

TEST(XNodeReaderTest, ElementNamesIgnoreCaseAndIntegersReadHex) {
  const auto root = Parse("<DICT><Key>n</Key><INTEGER>0x10</INTEGER><key>r</key><Real>2.9</Real>"
                          "<key>b</key><TRUE/><key>s</key><String visible='TRUE'>x</String></DICT>");
  ASSERT_NE(root, nullptr);
  EXPECT_EQ(root->GetType(), XNode::kTypeDict);
  EXPECT_EQ(root->FindPath("n", 0)->GetInteger(), 16);
  EXPECT_EQ(root->FindPath("r", 0)->GetReal(), 2.9f);
  EXPECT_TRUE(root->FindPath("b", 0)->GetBool());
  EXPECT_NE(root->FindPath("s", 0)->GetFlags() & XNode::kFlagVisible, 0u);
}

TEST(XNodeReaderTest, TheNewFileContentIsARootDictWithOneString) {
  const auto root = Parse("<dict><key>Application</key><string>Quorin &amp; Co</string></dict>");
  ASSERT_NE(root, nullptr);
  ASSERT_EQ(root->GetChildCount(true), 1u);
  EXPECT_EQ(root->FindPath("Application", 0)->GetText(), "Quorin & Co");
}

TEST(XNodeReaderTest, KeysTakeTheirWholeCharacterData) {
  const auto root = Parse("<dict><key>a&amp;b<![CDATA[<c>]]>&#x65;</key><integer>1</integer>\n"
                          "<key>multi\nline</key><string>one\ntwo</string></dict>");
  ASSERT_NE(root, nullptr);
  EXPECT_EQ(root->GetChild(0)->GetKey(), "a&b<c>e");
  EXPECT_EQ(root->GetChild(1)->GetKey(), "multi\nline");
  EXPECT_EQ(root->GetChild(1)->GetText(), "one\ntwo");
  // A key read in pieces is found by its whole text, in any case.
  EXPECT_EQ(root->GetChild(0)->GetKeyHash(), XNode::HashKey("a&b<c>e"));
  EXPECT_EQ(root->FindPath("A&B<C>E", 0), root->GetChild(0));
  EXPECT_EQ(root->FindPath("Multi\nLine", 0), root->GetChild(1));
  // A key changed after it was looked up is found by its new text only.
  root->GetChild(1)->SetKey("other");
  EXPECT_EQ(root->FindPath("multi\nline", 0), nullptr);
  EXPECT_EQ(root->FindPath("OTHER", 0), root->GetChild(1));
  EXPECT_EQ(root->GetChild(1)->GetKeyHash(), XNode::HashKey("other"));
}

TEST(XNodeReaderTest, ValuesInPiecesOrInAnotherEncodingKeepEveryCharacter) {
  // Expat hands such text over from buffers it reuses: a long text in another encoding
  // is converted in several passes, through the same buffer.
  const std::pair<char, const char*> letters[] = {
      {'\xE9', "\xC3\xA9"}, {'b', "b"}, {'\xFC', "\xC3\xBC"}, {'d', "d"}, {'e', "e"}};
  std::string latin;
  std::string utf8;
  for (int i = 0; i < 3000; ++i) {
    latin += letters[i % 5].first;
    utf8 += letters[i % 5].second;
  }
  const auto root = Parse("<?xml version='1.0' encoding='ISO-8859-1'?><dict><key>a</key><string>caf\xE9 &amp; "
                          "more</string><key>b</key><string>\nx&#65;</string><key>c</key><data>" +
                          latin + "</data><key>d</key><integer>\n42</integer></dict>");
  ASSERT_NE(root, nullptr);
  EXPECT_EQ(root->FindPath("a", 0)->GetText(), "caf\xC3\xA9 & more");
  EXPECT_EQ(root->FindPath("b", 0)->GetText(), "\nxA");
  EXPECT_EQ(root->FindPath("c", 0)->GetText(), utf8);
  EXPECT_EQ(root->FindPath("d", 0)->GetInteger(), 42);
}

TEST(XNodeReaderTest, StateAttributesAreNotRead) {
  const auto root = Parse("<dict dirty='true'><key>v</key><integer volatile='true' dirty='true'>1</integer></dict>");
  ASSERT_NE(root, nullptr);
  EXPECT_EQ(root->GetChild(0)->GetFlags(), uint32_t(XNode::kTypeInteger));
  EXPECT_FALSE(root->IsDirty());
}

TEST(XNodeReaderTest, ADanglingKeyStaysInItsOwnDict) {
  const auto root = Parse("<dict><key>a</key><dict><key>orphan</key></dict>"
                          "<key>b</key><dict><key>c</key><integer>1</integer></dict></dict>");
  ASSERT_NE(root, nullptr);
  EXPECT_EQ(root->FindPath("b.c", 0)->GetInteger(), 1);
  EXPECT_EQ(root->FindPath("a.orphan", 0)->GetType(), XNode::kTypeNone);
  EXPECT_EQ(root->FindPath("b", 0)->GetChildCount(true), 1u);
}

TEST(XNodeReaderTest, ElementsOfOtherKindsAreKeptInPlaceAndSavedAsTheyCame) {
  SettingsTest::TempFolder folder;
  const std::string path = folder / "dates.plist";
  const std::string document = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                               "<!DOCTYPE plist PUBLIC \"-//Apple Computer//DTD PLIST 1.0//EN\" "
                               "\"http://www.apple.com/DTDs/PropertyList-1.0.dtd\">\n"
                               "<plist version=\"1.0\">\n"
                               "<dict>\n"
                               "\t<key>Created</key><date>2024-03-01T10:20:30Z</date>\n"
                               "\t<key>Name</key><string>Lead &amp; Pad</string>\n"
                               "\t<key>History</key><array>\n"
                               "\t\t<date>2023-12-24T18:00:00Z</date>\n"
                               "\t\t<integer>7</integer>\n"
                               "\t\t<Date visible=\"true\">2024-01-01T00:00:00Z</Date>\n"
                               "\t\t<string>last</string>\n"
                               "\t</array>\n"
                               "\t<key>Stamp</key><uid>1 &lt; 2</uid>\n"
                               "\t<key>Count</key><integer>3</integer>\n"
                               "</dict>\n"
                               "</plist>\n";
  SettingsTest::WriteFile(path, document);

  for (int pass = 0; pass < 2; ++pass) {
    const auto root = XNode::LoadFile(path.c_str(), nullptr);
    ASSERT_NE(root, nullptr);
    ASSERT_EQ(root->GetChildCount(true), 5u);
    const XNode* created = root->FindPath("Created", 0);
    ASSERT_NE(created, nullptr);
    EXPECT_EQ(created->GetType(), XNode::kTypeElement);
    EXPECT_EQ(created->GetElementName(), "date");
    EXPECT_EQ(created->GetText(), "2024-03-01T10:20:30Z");
    EXPECT_EQ(root->FindPath("Name", 0)->GetText(), "Lead & Pad");
    EXPECT_EQ(root->FindPath("Stamp", 0)->GetElementName(), "uid");
    EXPECT_EQ(root->FindPath("Stamp", 0)->GetText(), "1 < 2");
    EXPECT_EQ(root->FindPath("Count", 0)->GetInteger(), 3);
    ASSERT_EQ(root->FindPath("History", 0)->GetChildCount(true), 4u);
    EXPECT_EQ(root->FindPath("History[0]", 0)->GetText(), "2023-12-24T18:00:00Z");
    EXPECT_EQ(root->FindPath("History[1]", 0)->GetInteger(), 7);
    EXPECT_EQ(root->FindPath("History[2]", 0)->GetElementName(), "Date");
    EXPECT_EQ(root->FindPath("History[3]", 0)->GetText(), "last");
    EXPECT_FALSE(root->IsDirty());
    ASSERT_EQ(root->SaveToFile(path.c_str(), 0), 0);
    EXPECT_EQ(SettingsTest::ReadFile(path), document) << "pass " << pass;
  }
}

TEST(XNodeReaderTest, AKeyWithoutAValueNeverTakesTheNextKeysValue) {
  const auto root = Parse("<dict><key>lonely</key><key>a</key><integer>1</integer>"
                          "<key>b</key><unknown/><key>c</key><integer>3</integer></dict>");
  ASSERT_NE(root, nullptr);
  EXPECT_EQ(root->FindPath("a", 0)->GetInteger(), 1);
  EXPECT_EQ(root->FindPath("b", 0)->GetElementName(), "unknown");
  EXPECT_EQ(root->FindPath("c", 0)->GetInteger(), 3);
  EXPECT_EQ(root->FindPath("lonely", 0)->GetType(), XNode::kTypeNone);
}

TEST(XNodeReaderTest, ExtraTopLevelValuesAreDropped) {
  const auto root = Parse("<plist><dict><key>k</key><integer>1</integer></dict><dict><key>x</key><string>y</string>"
                          "</dict><string>z</string></plist>");
  ASSERT_NE(root, nullptr);
  EXPECT_EQ(root->GetChildCount(true), 1u);
  EXPECT_EQ(root->FindPath("k", 0)->GetInteger(), 1);
}

TEST(XNodeReaderTest, ATruncatedDocumentFailsWithTheLineAndTheParserError) {
  const std::string truncated = "<plist version=\"1.0\">\n<dict>\n\t<key>Application</key><string>Quo";
  XNode error;
  testing::internal::CaptureStderr();
  EXPECT_EQ(XNode::Load(truncated, "/tmp/UserSettings.ini", &error), nullptr);
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "/tmp/UserSettings.ini:3: no element found\n");
  EXPECT_EQ(error.GetType(), XNode::kTypeString);
  EXPECT_EQ(error.GetText(), "XML Load Error \"no element found\" line 3");

  testing::internal::CaptureStderr();
  EXPECT_EQ(XNode::Load("<dict>\n<key>a</key>\n<integer>1</dict>", nullptr, nullptr), nullptr);
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "XML Load Error:3: mismatched tag\n");
}

TEST(XNodeReaderTest, AFailureInsideOpenContainersLeavesNothingBehind) {
  testing::internal::CaptureStderr();
  EXPECT_EQ(Parse("<dict><key>a</key><array><string>x</string><dict><key>b</key><integer>1</integer><key>c</key>"
                  "<array><true/>"),
            nullptr);
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "test.ini:1: no element found\n");
}

// A dict of count string entries "Entry<i>" holding "value <i>" (many blocks of nodes),
// then "Sub", a dict of two integers.
std::string ManyEntries(int count) {
  std::string text = "<plist><dict>";
  for (int i = 0; i < count; ++i) {
    text += "<key>Entry" + std::to_string(i) + "</key><string>value " + std::to_string(i) + "</string>";
  }
  return text + "<key>Sub</key><dict><key>a</key><integer>1</integer><key>b</key><integer>2</integer></dict>";
}

TEST(XNodeReaderTest, LoadedNodesOutliveTheirDocumentWhereverTheyAreHeld) {
  auto root = Parse(ManyEntries(200) + "</dict></plist>");
  ASSERT_NE(root, nullptr);
  XNode kept(XNode::kTypeArray);
  XNode* entry = root->FindPath("Entry57", 0);
  XNode* sub = root->FindPath("Sub", 0);
  ASSERT_TRUE(kept.AddChild(entry));
  ASSERT_TRUE(kept.AddChild(sub));
  // Nodes of the same blocks destroyed one by one while the others live on.
  for (int i = 0; i < 200; i += 3) {
    EXPECT_TRUE(root->RemoveChild(root->FindPath("Entry" + std::to_string(i), 0)));
  }
  root->AddChild(new XNode(XNode::kTypeString)); // a node of its own among them

  root.reset();
  ASSERT_EQ(kept.GetChildCount(true), 2u);
  EXPECT_EQ(entry->GetKey(), "Entry57");
  EXPECT_EQ(entry->GetText(), "value 57");
  EXPECT_EQ(sub->FindPath("b", 0)->GetInteger(), 2);
  kept.SetDirty(false);
  sub->FindPath("a", 0)->SetInteger(5); // the moved subtree reports to its holder
  EXPECT_TRUE(kept.IsDirty());
  EXPECT_TRUE(kept.RemoveChild(entry));
  EXPECT_EQ(kept.GetChild(0)->FindPath("a", 0)->GetInteger(), 5);
}

TEST(XNodeReaderTest, ALoadedNodeDestroyedWhileHeldLeavesEveryHolder) {
  auto root = Parse(ManyEntries(1000) + "</dict></plist>");
  ASSERT_NE(root, nullptr);
  const uint32_t count = root->GetChildCount(true);
  XNode other(XNode::kTypeArray);
  XNode* entry = root->FindPath("Entry500", 0);
  ASSERT_TRUE(other.AddChild(entry));
  ASSERT_TRUE(other.AddChild(entry)); // a second slot of the same container

  delete entry; // still held by the document and twice by other
  EXPECT_EQ(root->GetChildCount(true), count - 1);
  EXPECT_EQ(root->FindPath("Entry500", 0), nullptr);
  EXPECT_EQ(root->FindPath("Entry501", 0)->GetText(), "value 501");
  EXPECT_EQ(other.GetChildCount(true), 0u);

  delete root->FindPath("Sub", 0); // a held container that holds loaded children
  EXPECT_EQ(root->FindPath("Sub", 0), nullptr);
  EXPECT_EQ(root->GetChildCount(true), count - 2);
  EXPECT_EQ(root->FindPath("Entry999", 0)->GetText(), "value 999");
}

TEST(XNodeReaderTest, ALoadedContainersChildListOutlivesItsDocumentAndGrows) {
  auto root = Parse(ManyEntries(100) + "</dict></plist>");
  ASSERT_NE(root, nullptr);
  XNode kept(XNode::kTypeArray);
  XNode* sub = root->FindPath("Sub", 0);
  ASSERT_TRUE(kept.AddChild(sub));
  root.reset(); // the list read with sub stays where the document put it
  for (int i = 0; i < 40; ++i) {
    new XNode(sub, XNode::kTypeInteger);
    sub->GetChild(uint32_t(2 + i))->SetInteger(i);
  }
  ASSERT_EQ(sub->GetChildCount(true), 42u);
  EXPECT_EQ(sub->FindPath("b", 0)->GetInteger(), 2);
  EXPECT_EQ(sub->GetChild(41)->GetInteger(), 39);
  EXPECT_TRUE(sub->RemoveChildAt(0));
  EXPECT_EQ(sub->GetChild(0)->GetKey(), "b");
}

TEST(XNodeReaderTest, AContainerMixingNodesOfTwoDocumentsAndItsOwnFreesThemAll) {
  auto first = Parse(ManyEntries(60) + "</dict></plist>");
  auto second = Parse(ManyEntries(60) + "</dict></plist>");
  ASSERT_TRUE(first && second);
  // Runs of one document's blocks broken by the other's and by nodes of their own, each
  // child held here alone once the documents are gone (the test build's checks watch).
  auto mixed = std::make_unique<XNode>(XNode::kTypeArray);
  for (int i = 0; i < 60; ++i) {
    const std::string key = "Entry" + std::to_string(i);
    ASSERT_TRUE(mixed->AddChild((i / 5) % 2 == 0 ? first->FindPath(key, 0) : second->FindPath(key, 0)));
    if (i % 7 == 0) {
      ASSERT_TRUE(mixed->AddChild(new XNode(XNode::kTypeString)));
    }
  }
  first.reset();
  second.reset();
  EXPECT_EQ(mixed->GetChildCount(true), 69u);
  EXPECT_EQ(mixed->GetChild(68)->GetText(), "value 59");
  mixed.reset();
}

TEST(XNodeReaderTest, AFailedLargeDocumentFreesEveryNodeItMade) {
  // Open containers at three levels with children not yet handed over, after a second
  // top-level value: everything made goes (the leak check of the test build watches).
  testing::internal::CaptureStderr();
  EXPECT_EQ(Parse(ManyEntries(300) + "</dict><dict><key>x</key><string>y</string></dict>" +
                  "<array><dict><key>n</key><array><true/><false/>"),
            nullptr);
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "test.ini:1: no element found\n");
}

TEST(XNodeReaderTest, ContainersKeepTheirChildrenInDocumentOrderAtEveryLevel) {
  const auto root = Parse("<dict><key>l</key><array><integer>1</integer><array><integer>2</integer>"
                          "<integer>3</integer></array><integer>4</integer></array><key>m</key><integer>5</integer>"
                          "</dict>");
  ASSERT_NE(root, nullptr);
  EXPECT_EQ(root->GetChildCount(true), 2u);
  EXPECT_EQ(root->FindPath("l[0]", 0)->GetInteger(), 1);
  EXPECT_EQ(root->FindPath("l[1][0]", 0)->GetInteger(), 2);
  EXPECT_EQ(root->FindPath("l[1][1]", 0)->GetInteger(), 3);
  EXPECT_EQ(root->FindPath("l[2]", 0)->GetInteger(), 4);
  EXPECT_EQ(root->FindPath("m", 0)->GetInteger(), 5);
  EXPECT_FALSE(root->FindPath("l[1]", 0)->IsDirty());
}

TEST(XNodeReaderTest, NestingDeeperThanTheLimitIsRefused) {
  const auto deepest = Parse(Nested("array", XNode::kMaxDepth));
  ASSERT_NE(deepest, nullptr);
  EXPECT_EQ(Written(*deepest, XNode::kWriteDocument).empty(), false);

  XNode error;
  testing::internal::CaptureStderr();
  EXPECT_EQ(XNode::Load(Nested("dict", XNode::kMaxDepth + 1), "deep.ini", &error), nullptr);
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "deep.ini:1: nesting deeper than 64 levels\n");
  EXPECT_EQ(error.GetText(), "XML Load Error \"nesting deeper than 64 levels\" line 1");
}

TEST(XNodeReaderTest, AnEmptyElementBeyondTheLimitIsRefusedToo) {
  // Expat reports the end of an empty element even after the reader stopped it.
  XNode error;
  testing::internal::CaptureStderr();
  const std::string levels = Nested("array", XNode::kMaxDepth);
  const size_t inside = levels.find("</");
  EXPECT_EQ(
      XNode::Load(levels.substr(0, inside) + "<dict/><string>x</string>" + levels.substr(inside), "deep.ini", &error),
      nullptr);
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "deep.ini:1: nesting deeper than 64 levels\n");
}

TEST(XNodeReaderTest, NumbersIgnoreTheLocale) {
  QZTest::CommaDecimalLocale locale;
  if (!locale.Active()) {
    GTEST_SKIP() << "no locale with a decimal comma is installed or can be compiled";
  }
  const auto root = Parse("<dict><key>r</key><real>1.5</real></dict>");
  ASSERT_NE(root, nullptr);
  EXPECT_EQ(root->FindPath("r", 0)->GetReal(), 1.5f);
}

TEST(XNodeReaderTest, AMissingFileGivesNullQuietly) {
  SettingsTest::TempFolder folder;
  testing::internal::CaptureStderr();
  EXPECT_EQ(XNode::LoadFile((folder / "none.ini").c_str(), nullptr), nullptr);
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
}

} // namespace
