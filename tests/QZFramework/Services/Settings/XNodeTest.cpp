#include "QZFramework/Services/Settings/XNode.h"

#include <gtest/gtest.h>

#include <bit>
#include <charconv>
#include <climits>
#include <cmath>
#include <iterator>
#include <memory>
#include <string>

namespace {

TEST(XNodeTest, KeyHashFoldsCaseAndTreatsBytesAsSigned) {
  // (c0 + 1) x 1 + (c1 + 1) x (c0 + 1) with c = byte | 0x20.
  EXPECT_EQ(XNode::HashKey("ab"), 98u + 99u * 98u);
  EXPECT_EQ(XNode::HashKey("AB"), XNode::HashKey("ab"));
  EXPECT_EQ(XNode::HashKey("\xC3"), uint32_t(-28)); // 0xE3 is -29 as a signed byte
  EXPECT_EQ(XNode::HashKey(""), 0u);
  // Every length, so that each way through the bytes is taken; stored files rely on
  // the values.
  const std::string bytes = "Ab\xC3\x9F_9.Zz\x80\xFFq";
  for (size_t length = 0; length <= bytes.size(); ++length) {
    uint32_t expected = 0;
    int32_t previous = 0;
    for (size_t i = 0; i < length; ++i) {
      const int32_t c = static_cast<int8_t>(bytes[i] | 0x20);
      expected += uint32_t((c + 1) * (previous + 1));
      previous = c;
    }
    EXPECT_EQ(XNode::HashKey(std::string_view(bytes).substr(0, length)), expected) << length;
  }

  EXPECT_TRUE(XNode::KeysEqual("CurrentSkinIndex", "currentskinindex"));
  EXPECT_FALSE(XNode::KeysEqual("Skin", "Skins"));
  EXPECT_FALSE(XNode::KeysEqual("a_b", "a.b"));
  // Folding is by bit, not by letter: stored files depend on this exact rule.
  EXPECT_TRUE(XNode::KeysEqual("a@", "a`"));
}

TEST(XNodeTest, FromTextByType) {
  XNode integer(XNode::kTypeInteger);
  const std::pair<const char*, int32_t> integers[] = {
      {"0x10", 16},
      {"-0X10", -16},
      {"010", 8},
      {" \t+42abc", 42},
      {"0x", 0},
      {"", 0},
      {"09", 0},
      {"2147483647", INT_MAX},
      {"99999999999", INT_MAX},
      {"-2147483648", INT_MIN},
      {"-99999999999", INT_MIN},
      {"0xFFFFFFFF", INT_MAX},
  };
  for (const auto& [text, value] : integers) {
    integer.SetFromText(text);
    EXPECT_EQ(integer.GetInteger(), value) << text;
  }

  XNode real(XNode::kTypeReal);
  const std::pair<const char*, float> reals[] = {
      {"1.5", 1.5f}, {" -2.25e1", -22.5f}, {"+3", 3.0f}, {"1,5", 1.0f}, {"x", 0.0f}, {"1e999", INFINITY},
  };
  for (const auto& [text, value] : reals) {
    real.SetFromText(text);
    EXPECT_EQ(real.GetReal(), value) << text;
  }

  // Plain decimals are read by a shorter way that must round as the general reader does,
  // halfway cases between two floats included.
  const char* const halfway[] = {"16777217", "-33554434", "16777217.0", "1.00000005960464", "1.000000059604645"};
  uint64_t seed = 12345;
  for (int i = 0; i < 20000 + int(std::size(halfway)); ++i) {
    std::string text;
    if (i < int(std::size(halfway))) {
      text = halfway[i];
    } else {
      seed = seed * 6364136223846793005u + 1442695040888963407u;
      const int digits = 1 + int((seed >> 33) % 17);
      const int point = int((seed >> 40) % uint64_t(digits + 2)) - 1; // -1: none
      text = (seed >> 50) % 2 != 0 ? "-" : "";
      for (int d = 0; d < digits; ++d) {
        text += d == point ? "." : "";
        seed = seed * 6364136223846793005u + 1442695040888963407u;
        text += char('0' + (seed >> 33) % 10);
      }
    }
    float expected = 0.0f;
    (void)std::from_chars(text.data(), text.data() + text.size(), expected);
    real.SetFromText(text);
    EXPECT_EQ(std::bit_cast<uint32_t>(real.GetReal()), std::bit_cast<uint32_t>(expected)) << text;
  }

  XNode flag(XNode::kTypeBool);
  for (const auto& [text, value] :
       {std::pair{"TRUE", true}, {"true-ish", true}, {"tru", false}, {"yes", false}, {"True", true}}) {
    flag.SetFromText(text);
    EXPECT_EQ(flag.GetBool(), value) << text;
  }

  XNode text(XNode::kTypeString);
  text.SetFromText("ab");
  text.SetFromText("cd");
  EXPECT_EQ(text.GetText(), "abcd");
}

TEST(XNodeTest, TypeChangeClearsTheValueAndTheSameTypeKeepsIt) {
  XNode node(XNode::kTypeDict);
  XNode* child = new XNode(&node, XNode::kTypeInteger);
  child->SetKey("x");
  EXPECT_FALSE(node.SetType(XNode::kTypeDict));
  EXPECT_EQ(node.GetChildCount(true), 1u);
  EXPECT_TRUE(node.SetType(XNode::kTypeString)); // the child is destroyed here
  EXPECT_EQ(node.GetChildCount(true), 0u);
  XNode unheld(XNode::kTypeString);
  EXPECT_FALSE(node.AddChild(&unheld)); // only dicts and arrays hold children
}

TEST(XNodeTest, ChildrenHeldByTwoContainersLiveUntilBothLetGo) {
  XNode first(XNode::kTypeDict);
  XNode second(XNode::kTypeArray);
  XNode* shared = new XNode(XNode::kTypeString);
  ASSERT_TRUE(first.AddChild(shared));
  ASSERT_TRUE(second.AddChild(shared));
  first.SetDirty(false);
  second.SetDirty(false);

  shared->SetString("changed");
  EXPECT_TRUE(first.IsDirty());
  EXPECT_TRUE(second.IsDirty());

  EXPECT_TRUE(first.RemoveChild(shared));
  EXPECT_EQ(second.GetChild(0)->GetText(), "changed"); // still alive
  EXPECT_FALSE(first.RemoveChild(shared));
  EXPECT_TRUE(second.RemoveChildAt(0)); // the last holder destroys it
}

TEST(XNodeTest, ANodeHeldInSeveralSlotsLeavesThemInAnyOrder) {
  auto first = std::make_unique<XNode>(XNode::kTypeDict);
  XNode second(XNode::kTypeArray);
  XNode third(XNode::kTypeArray);
  // Destroyed below while containers still hold it.
  auto owned = std::make_unique<XNode>(XNode::kTypeString);
  XNode* shared = owned.get();
  ASSERT_TRUE(first->AddChild(shared));
  ASSERT_TRUE(second.AddChild(shared));
  ASSERT_TRUE(third.AddChild(shared));
  ASSERT_TRUE(third.AddChild(shared)); // a second slot of the same container
  third.SetDirty(false);
  shared->SetString("kept");
  EXPECT_TRUE(third.IsDirty()); // reaches holders beyond the first

  EXPECT_TRUE(second.RemoveChild(shared)); // not the first holder
  first.reset();                           // the first holder goes: third still holds it
  ASSERT_EQ(third.GetChildCount(true), 2u);
  EXPECT_EQ(third.GetChild(1)->GetText(), "kept");
  owned.reset(); // leaves both of third's slots
  EXPECT_EQ(third.GetChildCount(true), 0u);
}

TEST(XNodeTest, AnElementsNameGoesWithItsType) {
  XNode node;
  EXPECT_EQ(node.GetElementName(), "");
  node.SetElement("date");
  EXPECT_EQ(node.GetElementName(), "date");
  node.SetDirty(false);
  node.SetElement("date");
  EXPECT_FALSE(node.IsDirty());
  EXPECT_TRUE(node.SetType(XNode::kTypeString));
  EXPECT_EQ(node.GetElementName(), "");

  const auto root = XNode::Load("<dict><key>a</key><date>x</date></dict>", nullptr, nullptr);
  ASSERT_NE(root, nullptr);
  XNode* loaded = root->FindPath("a", 0);
  EXPECT_EQ(loaded->GetElementName(), "date");
  loaded->SetString("y");
  EXPECT_EQ(loaded->GetElementName(), "");
  loaded->SetElement("uid");
  EXPECT_EQ(loaded->GetElementName(), "uid");
  EXPECT_EQ(loaded->GetText(), "");
}

TEST(XNodeTest, AddChildrenAppendsInOrderAndRefusesWhatAddChildRefuses) {
  XNode array(XNode::kTypeArray);
  array.AddChild(new XNode(XNode::kTypeInteger));
  array.SetDirty(false);
  XNode* const more[] = {new XNode(XNode::kTypeString), new XNode(XNode::kTypeBool)};
  ASSERT_TRUE(array.AddChildren(more));
  EXPECT_TRUE(array.IsDirty());
  ASSERT_EQ(array.GetChildCount(true), 3u);
  EXPECT_EQ(array.GetChild(1), more[0]);
  EXPECT_EQ(array.GetChild(2), more[1]);
  EXPECT_TRUE(array.RemoveChild(more[0])); // held by the array: destroyed here

  XNode leaf(XNode::kTypeString);
  XNode kept(XNode::kTypeString);
  XNode* const withKept[] = {&kept};
  EXPECT_FALSE(leaf.AddChildren(withKept));
  XNode* const withNull[] = {&kept, nullptr};
  EXPECT_FALSE(array.AddChildren(withNull));
  EXPECT_EQ(array.GetChildCount(true), 2u);
}

TEST(XNodeTest, ArraySlots) {
  XNode dict(XNode::kTypeDict);
  EXPECT_FALSE(dict.SetArraySize(2));
  EXPECT_FALSE(dict.SetArrayItem(0, nullptr));

  XNode array(XNode::kTypeArray);
  XNode* item = new XNode(XNode::kTypeInteger);
  ASSERT_TRUE(array.SetArrayItem(2, item));
  EXPECT_EQ(array.GetChildCount(true), 3u);
  EXPECT_EQ(array.GetChildCount(false), 1u); // empty slots are not children
  EXPECT_EQ(array.GetChild(0), nullptr);

  ASSERT_TRUE(array.SetArrayItem(2, item)); // storing the node already there keeps it
  item->SetInteger(7);
  EXPECT_EQ(array.GetChild(2)->GetInteger(), 7);

  ASSERT_TRUE(array.SetArrayItem(2, new XNode(XNode::kTypeString))); // the old item is destroyed
  ASSERT_TRUE(array.SetArraySize(1));
  EXPECT_EQ(array.GetChildCount(true), 1u);
  ASSERT_TRUE(array.SetArraySize(4));
  EXPECT_EQ(array.GetChildCount(true), 4u);
}

TEST(XNodeTest, DirtinessClimbsToTheRootAndSkipsVolatileNodes) {
  XNode root(XNode::kTypeDict);
  XNode* leaf = root.FindPath("a.b.c", XNode::kPathCreate);
  ASSERT_NE(leaf, nullptr);
  XNode* middle = root.FindPath("a.b", 0);
  EXPECT_TRUE(root.IsDirty());

  root.SetDirty(false);
  EXPECT_FALSE(middle->IsDirty());
  EXPECT_FALSE(leaf->IsDirty());

  leaf->SetInteger(1);
  EXPECT_TRUE(leaf->IsDirty());
  EXPECT_TRUE(middle->IsDirty());
  EXPECT_TRUE(root.IsDirty());

  root.SetDirty(false);
  leaf->SetInteger(1); // no change
  EXPECT_FALSE(root.IsDirty());

  leaf->SetKey("renamed");
  EXPECT_FALSE(leaf->IsDirty()) << "a key is no value";
  EXPECT_FALSE(root.IsDirty());

  XNode* scratch = root.FindPath("a.scratch", XNode::kPathCreateVolatile);
  ASSERT_NE(scratch, nullptr);
  EXPECT_TRUE(scratch->IsVolatile());
  EXPECT_FALSE(root.IsDirty());
  scratch->SetString("not saved");
  EXPECT_FALSE(root.IsDirty());
  EXPECT_FALSE(root.FindPath("a", 0)->IsVolatile());
}

TEST(XNodeTest, KeyPathsIgnoreCase) {
  XNode root(XNode::kTypeDict);
  XNode* created = root.FindPath("a.b", XNode::kPathCreate);
  ASSERT_NE(created, nullptr);
  EXPECT_EQ(root.FindPath("A.B", 0), created);
  EXPECT_EQ(root.FindPath("A.B", XNode::kPathCreate), created);
  EXPECT_EQ(root.GetChildCount(true), 1u);
  EXPECT_EQ(root.FindPath("a", 0)->GetChildCount(true), 1u);
  EXPECT_EQ(created->GetKey(), "b");
  EXPECT_EQ(root.FindPath("", 0), &root);
  EXPECT_EQ(root.FindPath("a.c", 0), nullptr);
  EXPECT_EQ(root.FindPath("a.b.", 0), created);
}

TEST(XNodeTest, IndexWithCreateMakesAnArrayOfEmptyDicts) {
  XNode root(XNode::kTypeDict);
  XNode* item = root.FindPath("List[0]", XNode::kPathCreate);
  ASSERT_NE(item, nullptr);
  const XNode* list = root.FindPath("List", 0);
  EXPECT_EQ(list->GetType(), XNode::kTypeArray);
  EXPECT_EQ(list->GetChildCount(true), 1u);
  EXPECT_EQ(item->GetType(), XNode::kTypeDict);
  EXPECT_EQ(item->GetChildCount(true), 0u);
  EXPECT_FALSE(item->HasKey());

  XNode* name = root.FindPath("List[2].Name", XNode::kPathCreate);
  ASSERT_NE(name, nullptr);
  EXPECT_EQ(list->GetChildCount(true), 3u);
  EXPECT_EQ(root.FindPath("list[2]name", 0), name); // "." after "]" is optional
  EXPECT_EQ(root.FindPath("List[3]", 0), nullptr);
}

TEST(XNodeTest, CreatingThroughAValueReplacesIt) {
  XNode root(XNode::kTypeDict);
  root.FindPath("Folder", XNode::kPathCreate)->SetString("/home/me");
  XNode* inner = root.FindPath("Folder.Inner", XNode::kPathCreate);
  ASSERT_NE(inner, nullptr);
  const XNode* folder = root.FindPath("Folder", 0);
  EXPECT_EQ(folder->GetType(), XNode::kTypeDict);
  EXPECT_EQ(folder->GetText(), "");

  // An empty slot of an array is not filled by a path.
  XNode* array = root.FindPath("Slots", XNode::kPathCreate);
  array->SetType(XNode::kTypeArray);
  array->SetArraySize(3);
  EXPECT_EQ(root.FindPath("Slots[1]", XNode::kPathCreate), nullptr);
  EXPECT_EQ(array->GetChildCount(true), 3u);
}

TEST(XNodeTest, RemoveFlagTakesTheNodeOut) {
  XNode root(XNode::kTypeDict);
  root.FindPath("a.b", XNode::kPathCreate);
  root.FindPath("a.c", XNode::kPathCreate);
  EXPECT_EQ(root.FindPath("A.B", XNode::kPathRemove), nullptr);
  EXPECT_EQ(root.FindPath("a.b", 0), nullptr);
  EXPECT_NE(root.FindPath("a.c", 0), nullptr);
  root.FindPath("List[1]", XNode::kPathCreate);
  EXPECT_EQ(root.FindPath("List[0]", XNode::kPathRemove), nullptr);
  EXPECT_EQ(root.FindPath("List", 0)->GetChildCount(true), 1u);
}

TEST(XNodeTest, PathsAreNotCreatedDeeperThanTheDocumentLimit) {
  std::string deepest = "k";
  for (int depth = 2; depth < XNode::kMaxDepth; ++depth) {
    deepest += ".k";
  }
  XNode root(XNode::kTypeDict);
  ASSERT_NE(root.FindPath(deepest, XNode::kPathCreate), nullptr); // depth 63
  EXPECT_EQ(root.FindPath(deepest + ".k", XNode::kPathCreate), nullptr);
  EXPECT_EQ(root.FindPath(deepest + "[0]", XNode::kPathCreate), nullptr);
  EXPECT_NE(root.FindPath(deepest, 0), nullptr);
}

} // namespace
