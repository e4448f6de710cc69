#include "QZFramework/ControlBase/MenuDescriptor.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "Support/CountedObject.h"
#include "Support/StringPrinter.h"

namespace {

using QZ::LMenuDescriptor;
using QZ::LMenuItemDescriptor;
using QZ::RCPtr;
using QZ::WString;

std::vector<LMenuDescriptor::Entry> Entries(std::initializer_list<std::pair<const char*, const char*>> pairs) {
  std::vector<LMenuDescriptor::Entry> entries;
  for (const auto& [key, value] : pairs) {
    entries.emplace_back(WString(key), WString(value));
  }
  return entries;
}

std::string Narrow(const WString& text) { return text.ToUTF8().GetBuffer(); }

// "label=NID" per item, "-" for a separator, "label{...}" for a sub-menu; ", " between.
std::string Shape(const LMenuDescriptor& menu) {
  std::string shape;
  for (uint32_t i = 0; i < menu.GetItemCount(); ++i) {
    const RCPtr<LMenuItemDescriptor> item = menu.GetItem(i);
    if (i > 0) {
      shape += ", ";
    }
    if (item->IsSeparator()) {
      shape += "-";
    } else if (item->GetItemCount() > 0) {
      shape += Narrow(item->GetLabel()) + "{" + Shape(*item) + "}";
    } else {
      shape += Narrow(item->GetLabel()) + "=" + Narrow(item->GetNotificationName());
    }
  }
  return shape;
}

struct GrammarCase {
  const char* name;
  std::vector<LMenuDescriptor::Entry> entries;
  const char* shape;
};

TEST(MenuDescriptorTest, StringTableGrammar) {
  const GrammarCase cases[] = {
      {"separator between rows", Entries({{"00.NID_A", "A"}, {"01.-", "-"}, {"02.NID_C", "C"}}), "A=NID_A, -, C=NID_C"},
      {"gap drops later rows", Entries({{"00.NID_A", "A"}, {"02.NID_C", "C"}}), "A=NID_A"},
      {"row 01 first is dropped", Entries({{"01.NID_B", "B"}}), ""},
      {"keys without a point and labels add nothing",
       Entries({{"00.NID_A", "A"}, {"MENU_LABEL.00", "File"}, {"TOOLTIP", "tip"}, {"7", "x"}}), "A=NID_A"},
      {"separator value is ignored", Entries({{"00.-", "anything|at all"}}), "-"},
      {"sub-menu", Entries({{"00.SUB.", "S"}, {"SUB.00.X", "X"}, {"SUB.01.Y", "Y"}}), "S{X=X, Y=Y}"},
      {"sub-menu without rows is skipped", Entries({{"00.SUB.", "S"}, {"01.NID_B", "B"}}), "B=NID_B"},
      {"sub-menu whose rows are all out of sequence is skipped", Entries({{"00.SUB.", "S"}, {"SUB.01.X", "X"}}), ""},
      {"sub-menu in a sub-menu", Entries({{"00.A.", "A"}, {"A.00.B.", "B"}, {"A.01.X", "X"}, {"B.00.Y", "Y"}}),
       "A{B{Y=Y}, X=X}"},
      {"sub-menu naming itself leaves that row out",
       Entries({{"00.SUB.", "S"}, {"SUB.00.SUB.", "again"}, {"SUB.01.X", "X"}}), "S{X=X}"},
      {"two sub-menus naming each other end",
       Entries({{"00.A.", "A"}, {"A.00.B.", "B"}, {"B.00.A.", "back"}, {"B.01.Y", "Y"}}), "A{B{Y=Y}}"},
      {"trailing points of a sub-menu name are stripped", Entries({{"00.SUB..", "S"}, {"SUB.00.X", "X"}}), "S{X=X}"},
      {"position read as a number", Entries({{"0.NID_A", "A"}, {"1x.NID_B", "B"}}), "A=NID_A, B=NID_B"},
  };
  for (const GrammarCase& c : cases) {
    SCOPED_TRACE(c.name);
    const RCPtr<LMenuDescriptor> menu = LMenuDescriptor::CreateFromStringTable(c.entries);
    ASSERT_TRUE(menu);
    EXPECT_EQ(Shape(*menu), c.shape);
    EXPECT_FALSE(menu->GetParent());
  }
}

TEST(MenuDescriptorTest, ValuesSplitIntoLabelAndStatusAtTheFirstBar) {
  const RCPtr<LMenuDescriptor> menu = LMenuDescriptor::CreateFromStringTable(
      Entries({{"00.NID_MENU_FILE_SEND_PRESET_TO_DEVICE", "Send Preset | Send this preset to the controller."},
               {"01.NID_B", "a|b|c"},
               {"02.NID_C", "no bar"},
               {"03.SUB.", "Sub|Opens more"},
               {"04.EMPTY.", "Empty"},
               {"05.OTHER.", "Other"},
               {"EMPTY.00.NID_E", "E"},
               {"OTHER.00.NID_O", "O"},
               {"SUB.00.NID_D", "D|in the sub-menu"}}));
  ASSERT_TRUE(menu);
  ASSERT_EQ(menu->GetItemCount(), 6u);

  const RCPtr<LMenuItemDescriptor> send = menu->GetItem(0);
  EXPECT_EQ(send->GetLabel(), u"Send Preset ");
  EXPECT_EQ(send->GetStatusText(), u" Send this preset to the controller.");
  EXPECT_EQ(send->GetNotificationName(), u"NID_MENU_FILE_SEND_PRESET_TO_DEVICE");
  EXPECT_TRUE(send->IsEnabled());
  EXPECT_FALSE(send->IsChecked());
  EXPECT_FALSE(send->IsSeparator());
  EXPECT_TRUE(send->GetHotKeyText().IsEmpty());
  EXPECT_EQ(send->ToString(), u"Send Preset ");

  EXPECT_EQ(menu->GetItem(1)->GetLabel(), u"a");
  EXPECT_EQ(menu->GetItem(1)->GetStatusText(), u"b|c");
  EXPECT_EQ(menu->GetItem(2)->GetLabel(), u"no bar");
  EXPECT_TRUE(menu->GetItem(2)->GetStatusText().IsEmpty());

  const RCPtr<LMenuItemDescriptor> sub = menu->GetItem(3);
  EXPECT_EQ(sub->GetLabel(), u"Sub");
  EXPECT_EQ(sub->GetStatusText(), u"Opens more");
  EXPECT_TRUE(sub->GetNotificationName().IsEmpty());
  EXPECT_TRUE(sub->IsEnabled());
  ASSERT_EQ(sub->GetItemCount(), 1u);
  EXPECT_EQ(sub->GetItem(0)->GetStatusText(), u"in the sub-menu");
  // Every item of the built tree points at the menu that holds it.
  EXPECT_EQ(sub->GetParent().Get(), menu.Get());
  EXPECT_EQ(sub->GetItem(0)->GetParent().Get(), sub.Get());
  EXPECT_TRUE(menu->GetItem(4)->GetStatusText().IsEmpty());
}

TEST(MenuDescriptorTest, ItemsAndSeparatorsAreInsertedWhereAsked) {
  const RCPtr<LMenuDescriptor> menu = LMenuDescriptor::Create();
  EXPECT_EQ(menu->InsertNewItem(0, u"Copy", u"NID_EDIT_COPY_REQ", true, false), 0);
  EXPECT_EQ(menu->InsertNewItem(0, u"Cut", u"NID_EDIT_CUT_REQ", false, true), 0);
  EXPECT_EQ(menu->InsertSeparator(2), 2);
  EXPECT_EQ(Shape(*menu), "Cut=NID_EDIT_CUT_REQ, Copy=NID_EDIT_COPY_REQ, -");

  const RCPtr<LMenuItemDescriptor> separator = menu->GetItem(2);
  EXPECT_TRUE(separator->IsSeparator());
  EXPECT_TRUE(separator->IsEnabled());
  EXPECT_FALSE(separator->IsChecked());
  EXPECT_TRUE(separator->GetLabel().IsEmpty());
  EXPECT_TRUE(separator->GetNotificationName().IsEmpty());
  for (uint32_t i = 0; i < menu->GetItemCount(); ++i) {
    EXPECT_EQ(menu->GetItem(i)->GetParent().Get(), menu.Get());
  }

  // Refused: past the end, null, and the menu itself or its ancestors (a cycle).
  const RCPtr<LMenuItemDescriptor> loose = LMenuItemDescriptor::Create(u"Loose", u"NID_L", true, false);
  EXPECT_EQ(menu->InsertItem(4, loose), int32_t(0x80070057));
  EXPECT_FALSE(loose->GetParent());
  EXPECT_EQ(menu->InsertItem(0, nullptr), int32_t(0x80070057));
  const RCPtr<LMenuItemDescriptor> cut = menu->GetItem(0);
  EXPECT_EQ(cut->InsertItem(0, cut), int32_t(0x80070057));
  EXPECT_EQ(cut->InsertItem(0, loose), 0);
  EXPECT_EQ(loose->InsertItem(0, cut), int32_t(0x80070057));
  EXPECT_EQ(menu->GetItemCount(), 3u);
  EXPECT_FALSE(menu->GetItem(3));
}

TEST(MenuDescriptorTest, ItemStateIsClearedAndThenCopied) {
  const RCPtr<LMenuDescriptor> menu = LMenuDescriptor::Create();
  ASSERT_EQ(menu->InsertNewItem(0, u"Paste", u"NID_EDIT_PASTE_REQ", true, true), 0);

  QZ::LMenuItemState state{true, true, u"stale"};
  EXPECT_EQ(menu->GetItemState(1, state), int32_t(0x80070057));
  EXPECT_FALSE(state.enabled);
  EXPECT_FALSE(state.isChecked);
  EXPECT_TRUE(state.label.IsEmpty());

  EXPECT_EQ(menu->GetItemState(0, state), 0);
  EXPECT_TRUE(state.enabled);
  EXPECT_TRUE(state.isChecked);
  EXPECT_EQ(state.label, u"Paste");
}

// A menu with a sub-menu whose item carries every field.
RCPtr<LMenuDescriptor> MenuWithSubMenu() {
  const RCPtr<LMenuDescriptor> menu = LMenuDescriptor::CreateFromStringTable(
      Entries({{"00.NID_A", "A|status A"}, {"01.-", "-"}, {"02.SUB.", "Sub|status S"}, {"SUB.00.NID_X", "X"}}));
  const RCPtr<LMenuItemDescriptor> x = menu->GetItem(2)->GetItem(0);
  x->SetHotKeyText(u"Ctrl+X");
  x->SetChecked(true);
  x->SetEnabled(false);
  return menu;
}

void ExpectParentsPointInto(const LMenuDescriptor& menu) {
  for (uint32_t i = 0; i < menu.GetItemCount(); ++i) {
    EXPECT_EQ(menu.GetItem(i)->GetParent().Get(), &menu);
    ExpectParentsPointInto(*menu.GetItem(i));
  }
}

TEST(MenuDescriptorTest, CloneIsADeepCopyWhoseParentsPointIntoIt) {
  const RCPtr<LMenuDescriptor> source = MenuWithSubMenu();
  const RCPtr<LMenuDescriptor> copy = source->Clone();

  ASSERT_TRUE(copy);
  EXPECT_NE(copy.Get(), source.Get());
  EXPECT_FALSE(copy->GetParent());
  EXPECT_EQ(Shape(*copy), Shape(*source));
  ExpectParentsPointInto(*copy);
  ExpectParentsPointInto(*source);

  for (uint32_t i = 0; i < source->GetItemCount(); ++i) {
    EXPECT_NE(copy->GetItem(i).Get(), source->GetItem(i).Get());
  }
  const RCPtr<LMenuItemDescriptor> x = source->GetItem(2)->GetItem(0);
  const RCPtr<LMenuItemDescriptor> xCopy = copy->GetItem(2)->GetItem(0);
  EXPECT_NE(xCopy.Get(), x.Get());
  EXPECT_EQ(xCopy->GetHotKeyText(), u"Ctrl+X");
  EXPECT_TRUE(xCopy->IsChecked());
  EXPECT_FALSE(xCopy->IsEnabled());
  EXPECT_EQ(copy->GetItem(2)->GetStatusText(), u"status S");
  EXPECT_TRUE(copy->GetItem(1)->IsSeparator());
  // The texts are shared, not copied.
  EXPECT_EQ(copy->GetItem(0)->GetLabel().GetBuffer(), source->GetItem(0)->GetLabel().GetBuffer());

  // Changing the copy leaves the source alone.
  xCopy->SetLabel(u"changed");
  copy->GetItem(2)->RemoveAllItems();
  EXPECT_EQ(x->GetLabel(), u"X");
  EXPECT_EQ(source->GetItem(2)->GetItemCount(), 1u);
}

TEST(MenuDescriptorTest, RemoveAllItemsLeavesEveryFormerItemWithoutParent) {
  const RCPtr<LMenuDescriptor> menu = MenuWithSubMenu();
  const RCPtr<LMenuItemDescriptor> first = menu->GetItem(0);
  const RCPtr<LMenuItemDescriptor> sub = menu->GetItem(2);
  const RCPtr<LMenuItemDescriptor> x = sub->GetItem(0);

  EXPECT_EQ(menu->RemoveAllItems(), 0);
  EXPECT_EQ(menu->GetItemCount(), 0u);
  EXPECT_FALSE(first->GetParent());
  EXPECT_FALSE(sub->GetParent());
  EXPECT_EQ(menu->GetInternalRefCount(), 0);
  EXPECT_EQ(menu->GetRefCount(), 1);
  EXPECT_EQ(first->GetRefCount(), 1);
  // The sub-menu keeps its own items.
  EXPECT_EQ(x->GetParent().Get(), sub.Get());

  // A sub-menu emptied on its own also leaves the menu that held it.
  const RCPtr<LMenuDescriptor> other = MenuWithSubMenu();
  const RCPtr<LMenuItemDescriptor> otherSub = other->GetItem(2);
  otherSub->RemoveAllItems();
  EXPECT_FALSE(otherSub->GetParent());
  EXPECT_EQ(other->GetInternalRefCount(), 2);
}

// Tags every node of a tree with a counted object, so the count shows which nodes died.
void TagTree(LMenuDescriptor& menu, QZTest::InstanceCounter& counter) {
  menu.SetTag(RCPtr<QZ::LRefCountedObject>(new QZTest::CountedObject(counter)));
  for (uint32_t i = 0; i < menu.GetItemCount(); ++i) {
    TagTree(*menu.GetItem(i), counter);
  }
}

TEST(MenuDescriptorTest, AReleasedTreeIsFreed) {
  QZTest::InstanceCounter counter;
  {
    RCPtr<LMenuDescriptor> menu = MenuWithSubMenu();
    RCPtr<LMenuDescriptor> copy = menu->Clone();
    TagTree(*menu, counter);
    TagTree(*copy, counter);
    ASSERT_EQ(counter.live, 10);
    // Every item's parent link counts as an internal reference of its parent.
    EXPECT_EQ(menu->GetInternalRefCount(), 3);
    EXPECT_EQ(menu->GetRefCount(), 4);
    menu = nullptr;
    EXPECT_EQ(counter.live, 5);
  }
  EXPECT_EQ(counter.live, 0);

  // A node held from outside outlives its tree, detached from it; the rest goes.
  QZTest::InstanceCounter heldCounter;
  RCPtr<LMenuItemDescriptor> held;
  {
    RCPtr<LMenuDescriptor> menu = MenuWithSubMenu();
    TagTree(*menu, heldCounter);
    held = menu->GetItem(2)->GetItem(0);
  }
  EXPECT_EQ(heldCounter.live, 1);
  EXPECT_FALSE(held->GetParent());
  EXPECT_EQ(held->GetRefCount(), 1);
  held = nullptr;
  EXPECT_EQ(heldCounter.live, 0);

  // A sub-menu held from outside keeps its own items.
  QZTest::InstanceCounter subCounter;
  RCPtr<LMenuItemDescriptor> sub;
  {
    RCPtr<LMenuDescriptor> menu = MenuWithSubMenu();
    TagTree(*menu, subCounter);
    sub = menu->GetItem(2);
  }
  EXPECT_EQ(subCounter.live, 2);
  EXPECT_FALSE(sub->GetParent());
  EXPECT_EQ(sub->GetItemCount(), 1u);
  sub = nullptr;
  EXPECT_EQ(subCounter.live, 0);
}

TEST(MenuDescriptorTest, CopyingThroughTheSharedObjectInterfaceIsRefused) {
  const RCPtr<LMenuDescriptor> menu = MenuWithSubMenu();
  EXPECT_THROW((void)menu->CreateCopy(), std::logic_error);
  EXPECT_THROW((void)menu->GetItem(0)->CreateCopy(), std::logic_error);
}

} // namespace
