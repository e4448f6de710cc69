#include <gtest/gtest.h>

#include <algorithm>
#include <utility>
#include <vector>

#include "QZFramework/ControlBase/ControlDescriptor.h"
#include "QZFramework/ControlBase/LayoutDescriptor.h"
#include "QZFramework/ControlBase/LookDescriptor.h"
#include "Support/StringPrinter.h"

namespace QZ {
namespace {

TEST(LayoutDescriptorTest, ANewDescriptorHasThePlacementDefaults) {
  const RCPtr<LLayoutDescriptor> layout = LLayoutDescriptor::Create();
  EXPECT_TRUE(layout->clipToParent);
  EXPECT_TRUE(layout->isVisible);
  EXPECT_TRUE(layout->isEnabled);
  EXPECT_EQ(layout->zOrder, 0);
  EXPECT_EQ(layout->tabStop, 0);
  EXPECT_EQ(layout->layoutOrder, 0);
  EXPECT_EQ(layout->textOverflowX, kTextOverflowClip);
  EXPECT_EQ(layout->textOverflowY, kTextOverflowClip);
  for (int axis = 0; axis < 2; ++axis) {
    SCOPED_TRACE(axis);
    EXPECT_EQ(layout->position[axis], (LayoutPosition{0.0f, kPositionToClient, {}, 0.0f, 0.0, false}));
    EXPECT_EQ(layout->size[axis].kind, kSizeToSelf);
    EXPECT_EQ(layout->size[axis].rel, 0.0f);
    EXPECT_EQ(layout->minimum[axis], LayoutLimit{});
    EXPECT_EQ(layout->maximum[axis], LayoutLimit{});
  }
  EXPECT_EQ(layout->size[0].abs, 16.0);
  EXPECT_EQ(layout->size[1].abs, 40.0);
}

TEST(LayoutDescriptorTest, CloneIsIndependentAndAxisCopiesAreChecked) {
  const RCPtr<LLayoutDescriptor> layout = LLayoutDescriptor::Create();
  layout->position[1] = {0.5f, kPositionToSibling, u"corner", 0.25f, 7.0, true};
  layout->maximum[0] = {true, u"Children", 1.0f, 3.0};
  const RCPtr<LLayoutDescriptor> clone = layout->Clone();
  ASSERT_NE(clone.Get(), layout.Get());
  EXPECT_EQ(clone->GetRefCount(), 1);
  clone->position[1].name = WString(u"other");
  clone->isVisible = false;
  EXPECT_EQ(layout->position[1].name, WString(u"corner"));
  EXPECT_TRUE(layout->isVisible);
  EXPECT_EQ(DynamicCast<LLayoutDescriptor>(layout->CreateCopy())->maximum[0], layout->maximum[0]);

  LayoutPosition position;
  LayoutSize size;
  ASSERT_EQ(layout->GetAxis(1, position, size), QZ_OK);
  EXPECT_EQ(position, layout->position[1]);
  EXPECT_EQ(size, layout->size[1]);
  LayoutLimit minimum;
  LayoutLimit maximum;
  ASSERT_EQ(layout->GetAxisLimits(0, minimum, maximum), QZ_OK);
  EXPECT_EQ(maximum, layout->maximum[0]);

  // Another axis copies nothing.
  const LayoutPosition untouchedPosition{0.75f, kPositionToParent, {}, 1.0f, 2.0, false};
  const LayoutLimit untouchedLimit{true, u"x", 1.0f, 1.0};
  for (int axis : {2, -1}) {
    position = untouchedPosition;
    size = {};
    minimum = maximum = untouchedLimit;
    EXPECT_EQ(layout->GetAxis(axis, position, size), QZ_E_INVALIDARG);
    EXPECT_EQ(layout->GetAxisLimits(axis, minimum, maximum), QZ_E_INVALIDARG);
    EXPECT_EQ(position, untouchedPosition);
    EXPECT_EQ(size, LayoutSize{});
    EXPECT_EQ(minimum, untouchedLimit);
    EXPECT_EQ(maximum, untouchedLimit);
  }
}

TEST(LayoutDescriptorTest, BlocksCompareTheReferenceNameOnlyWhereTheKindUsesIt) {
  struct Case {
    LayoutPosition a;
    LayoutPosition b;
    bool equal;
  };
  const Case positions[] = {
      {{0, kPositionToClient, u"a", 0, 0, false}, {0, kPositionToClient, u"b", 0, 0, false}, true},
      {{0, kPositionToSibling, u"a", 0, 0, false}, {0, kPositionToSibling, u"b", 0, 0, false}, false},
      {{0, kPositionToSibling, u"a", 0, 0, false}, {0, kPositionToSibling, u"a", 0, 0, false}, true},
      {{0, kPositionToParent, {}, 0, 0, false}, {0, kPositionToClient, {}, 0, 0, false}, false},
      {{0.5f, 1, {}, 0, 0, false}, {0.25f, 1, {}, 0, 0, false}, false},
      {{0, 1, {}, 0, 0, true}, {0, 1, {}, 0, 0, false}, false},
      {{0, 1, {}, 0.5f, 0, false}, {0, 1, {}, 0.5f, 0, false}, true},
      {{0, 1, {}, 0, 1.0, false}, {0, 1, {}, 0, 2.0, false}, false},
  };
  for (const Case& c : positions) {
    EXPECT_EQ(c.a == c.b, c.equal) << c.a.kind << " " << c.a.name.ToUTF8().GetBuffer();
  }
  EXPECT_EQ((LayoutSize{kSizeToParent, u"a", 0, 0}), (LayoutSize{kSizeToParent, u"b", 0, 0}));
  EXPECT_NE((LayoutSize{kSizeToSibling, u"a", 0, 0}), (LayoutSize{kSizeToSibling, u"b", 0, 0}));
  EXPECT_NE((LayoutSize{kSizeToSelf, {}, 0.0f, 16.0}), (LayoutSize{kSizeToSelf, {}, 0.0f, 17.0}));
  EXPECT_NE((LayoutLimit{false, u"a", 0, 0}), (LayoutLimit{false, u"b", 0, 0}));
  EXPECT_NE((LayoutLimit{false, {}, 0, 0}), (LayoutLimit{true, {}, 0, 0}));
}

TEST(ControlDescriptorTest, ACopySharesWhatItDoesNotRename) {
  RCPtr<LControlDescriptor> parent(new LControlDescriptor(u"Framework.Panel", u"panel", nullptr));
  RCPtr<LControlDescriptor> item(new LControlDescriptor(u"Framework.ListBoxItem", u"templateItem", parent.Get()));
  RCPtr<LControlDescriptor> label(new LControlDescriptor(u"Framework.Label", u"label", item.Get()));
  item->AddChild(label);
  item->SetSkin(new LSkinDescriptor(u"skin", SkinFont{}, MakeLookList(2)));
  item->SetLayout(LLayoutDescriptor::Create());
  item->SetCreateParams(LStringTable::Create({{u"LABEL", u"Item"}}));

  for (const char16_t* name : {u"item3", u""}) {
    const RCPtr<LControlDescriptor> copy = item->CreateCopy(name);
    EXPECT_EQ(copy->GetName(), WString(*name ? name : u"templateItem"));
    EXPECT_EQ(copy->GetClass(), item->GetClass());
    EXPECT_EQ(copy->GetParent(), parent.Get());
    ASSERT_EQ(copy->GetChildren().GetCount(), 1u);
    EXPECT_EQ(copy->GetChildren().GetAt(0).Get(), label.Get());
    EXPECT_EQ(copy->GetSkin().Get(), item->GetSkin().Get());
    EXPECT_EQ(copy->GetLayout().Get(), item->GetLayout().Get());
    EXPECT_EQ(copy->GetCreateParams().Get(), item->GetCreateParams().Get());
  }
  // Adding a child to the copy leaves the template's children alone.
  const RCPtr<LControlDescriptor> copy = DynamicCast<LControlDescriptor>(item->CreateCopy());
  copy->AddChild(label);
  EXPECT_EQ(item->GetChildren().GetCount(), 1u);
  EXPECT_EQ(copy->GetName(), WString(u"templateItem"));
}

// A name made for the descriptor and a child handed over by move arrive without a
// reference more; the children's storage stays put for the first eight.
TEST(ControlDescriptorTest, MovedNamesAndChildrenAreTakenOverNotShared) {
  WString name(u"panel");
  const LIBuffer* nameBuffer = name.GetSharedBuffer().Get();
  RCPtr<LControlDescriptor> parent(new LControlDescriptor(u"Framework.Panel", std::move(name), nullptr));
  EXPECT_EQ(parent->GetName().GetSharedBuffer().Get(), nameBuffer);
  EXPECT_EQ(nameBuffer->GetRefCount(), 1);

  const RCPtr<LControlDescriptor>* storage = nullptr;
  for (int i = 0; i < 8; ++i) {
    RCPtr<LControlDescriptor> child(new LControlDescriptor(u"Framework.Label", WString::FromInt(i), parent.Get()));
    const LControlDescriptor* raw = child.Get();
    parent->AddChild(std::move(child));
    EXPECT_EQ(raw->GetRefCount(), 1);
    EXPECT_EQ(parent->GetChildren().GetAt(uint32_t(i)).Get(), raw);
    storage = storage ? storage : parent->GetChildren().GetData();
    EXPECT_EQ(parent->GetChildren().GetData(), storage) << "child " << i;
  }
  const RCPtr<LControlDescriptor> kept = parent->GetChildren().GetAt(0);
  parent->AddChild(kept);
  EXPECT_EQ(kept->GetRefCount(), 3);
  EXPECT_EQ(parent->GetChildren().GetCount(), 9u);
}

TEST(ControlDescriptorTest, ChildrenSortByLayoutOrderKeepingDocumentOrderAmongEquals) {
  RCPtr<LControlDescriptor> parent(new LControlDescriptor(u"Framework.Panel", u"panel", nullptr));
  const int32_t orders[] = {3, 1, 3, 0, 1, -2};
  for (int i = 0; i < 6; ++i) {
    RCPtr<LControlDescriptor> child(new LControlDescriptor(u"Framework.Label", WString::FromInt(i), parent.Get()));
    if (i != 3) { // no layout counts as order 0
      child->SetLayout(LLayoutDescriptor::Create());
      child->GetLayout()->layoutOrder = orders[i];
    }
    parent->AddChild(child);
  }
  parent->SortChildrenByLayoutOrder();
  WString sorted;
  for (uint32_t i = 0; i < parent->GetChildren().GetCount(); ++i) {
    sorted += parent->GetChildren().GetAt(i)->GetName();
  }
  EXPECT_EQ(sorted, WString(u"531402"));
}

TEST(ControlDescriptorTest, ChildrenSortTheSameWayHoweverManyThereAre) {
  // A few children and many are sorted by different code: both must keep document order
  // among equals, children without layout counting as 0.
  for (const int count : {2, 32, 33, 70}) {
    SCOPED_TRACE(count);
    RCPtr<LControlDescriptor> parent(new LControlDescriptor(u"Framework.Panel", u"panel", nullptr));
    std::vector<std::pair<int32_t, int>> expected;
    for (int i = 0; i < count; ++i) {
      RCPtr<LControlDescriptor> child(new LControlDescriptor(u"Framework.Label", WString::FromInt(i), parent.Get()));
      const int32_t order = (count - i) * 7 % 5 - 2;
      if (i % 4 != 1) {
        child->SetLayout(LLayoutDescriptor::Create());
        child->GetLayout()->layoutOrder = order;
      }
      expected.emplace_back(i % 4 != 1 ? order : 0, i);
      parent->AddChild(child);
    }
    std::stable_sort(expected.begin(), expected.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    parent->SortChildrenByLayoutOrder();
    ASSERT_EQ(parent->GetChildren().GetCount(), uint32_t(count));
    for (int i = 0; i < count; ++i) {
      EXPECT_EQ(parent->GetChildren().GetAt(uint32_t(i))->GetName(), WString::FromInt(expected[size_t(i)].second));
    }
  }
}

TEST(LookDescriptorTest, AnImagePartTakesItsSizeFromTheImageRectangle) {
  const LVisualPartDescriptor image(u"frame", {u"::frame.png", {1, 2, 30, 40}}, ResizeType::Tile, nullptr, {5, 6}, 0.5f,
                                    {});
  EXPECT_EQ(image.GetSize(), (SizeT<int32_t>{30, 40}));
  EXPECT_EQ(image.ToString(), WString(u"frame"));
  RCPtr<LColorizer> red(new LColorizer(u"red", ColorizerType::SolidFill, {1, 0, 0, 1}));
  const LVisualPartDescriptor colour(u"fill", {}, ResizeType::Center, red, {5, 6}, 1.0f, {u"::Mask.png", {0, 0, 5, 6}});
  EXPECT_EQ(colour.GetSize(), (SizeT<int32_t>{5, 6}));
  EXPECT_EQ(colour.GetMask().path, WString(u"::Mask.png"));

  const RCPtr<LLookList> looks = MakeLookList(14);
  ASSERT_EQ(looks->GetCount(), 14u);
  for (uint32_t i = 0; i < 14; ++i) {
    EXPECT_FALSE(looks->GetAt(i));
  }
}

} // namespace
} // namespace QZ
