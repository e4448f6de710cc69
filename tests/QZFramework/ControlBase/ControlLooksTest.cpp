#include <gtest/gtest.h>

#include "ControlTestSupport.h"
#include "LookTestSupport.h"
#include "QZFramework/ControlBase/Look.h"
#include "Support/FakeControlApplication.h"
#include "Support/FixedAdvanceMeasurer.h"
#include "Support/StringPrinter.h"

namespace QZ {
namespace {

using QZTest::TestControl;

// Three looks of one colour each, the client part inset by (2, 3, -4, -5), sized for a
// 100 x 40 control.
void MakeThreeLooks(RCPtrArray<LLook, 1, 0>& looks) {
  for (uint32_t colour : {QZTest::kRed, QZTest::kGreen, QZTest::kBlue}) {
    const RCPtr<LLook> look =
        LLook::Create(QZTest::LookOf(QZTest::ColourPart(colour, {4, 4}), LDockedPart::ClientDock(2, 3, -4, -5)), false);
    look->SetSize({100, 40});
    looks.AddItem(look);
  }
}

TEST(ControlLooksTest, TheCurrentLookIsTheFirstThatExistsWithAWeight) {
  const RCPtr<TestControl> control = TestControl::Make(nullptr, u"c");
  control->Place(0, 0, 100, 40);
  EXPECT_EQ(control->GetCurrentLookIndex(), -1);
  EXPECT_FALSE(control->GetLook(-1));
  EXPECT_EQ(control->GetLookRect(-1), (RectT<double>{0, 0, 100, 40}));

  RCPtrArray<LLook, 1, 0> looks;
  MakeThreeLooks(looks);
  EXPECT_EQ(control->SetLooks(looks), QZ_OK);
  EXPECT_EQ(control->GetLooks().GetCount(), 3u);
  EXPECT_EQ(control->GetLookWeight(2), 0.0f); // new looks start hidden

  struct Case {
    std::initializer_list<float> weights;
    int32_t current;
    uint32_t currentLook; // GetLook(-1)
  } cases[] = {
      {{0.0f, 0.5f, 1.0f}, 1, 1}, {{0.0f, 0.0f, 0.0f}, -1, 0}, {{1.0f, 1.0f, 0.0f}, 0, 0}, {{0.0f, 0.0f, 0.25f}, 2, 2}};
  for (const Case& c : cases) {
    control->SetLookWeights(c.weights);
    EXPECT_EQ(control->GetCurrentLookIndex(), c.current);
    EXPECT_EQ(control->GetLook(-1), looks.GetAt(c.currentLook));
    EXPECT_EQ(control->GetLook(7), looks.GetAt(c.currentLook));
    EXPECT_EQ(control->GetLook(0), looks.GetAt(0)); // an index in the list names its look
  }

  // A missing look is skipped.
  RCPtrArray<LLook, 1, 0> gappy;
  gappy.AddItem(nullptr);
  gappy.AddItem(looks.GetAt(1));
  EXPECT_EQ(control->SetLooks(gappy), QZ_OK);
  control->SetLookWeights({1.0f, 0.0f});
  EXPECT_EQ(control->GetCurrentLookIndex(), -1);
  EXPECT_EQ(control->GetLook(-1), looks.GetAt(1));
  EXPECT_FALSE(control->GetLook(0));
  // So is a weight beyond the looks, and a look beyond the weights.
  control->SetLookWeights({0.0f, 0.0f, 1.0f});
  EXPECT_EQ(control->GetCurrentLookIndex(), -1);
  control->SetLookWeights({0.0f});
  EXPECT_EQ(control->GetCurrentLookIndex(), -1);
  control->SetLookWeights({0.0f, 0.5f});
  EXPECT_EQ(control->GetCurrentLookIndex(), 1);
}

TEST(ControlLooksTest, TheLookRectangleIsTheChosenLooksClientArea) {
  const RCPtr<TestControl> control = TestControl::Make(nullptr, u"c");
  control->Place(0, 0, 100, 40);
  // Client parts inset by 1, 2 and 3 on every side.
  RCPtrArray<LLook, 1, 0> looks;
  for (int32_t inset : {1, 2, 3}) {
    const RCPtr<LLook> look = LLook::Create(
        QZTest::LookOf(QZTest::ColourPart(QZTest::kRed, {4, 4}), LDockedPart::ClientDock(inset, inset, -inset, -inset)),
        false);
    look->SetSize({100, 40});
    looks.AddItem(look);
  }
  ASSERT_EQ(control->SetLooks(looks), QZ_OK);
  auto insetOf = [](int32_t inset) {
    return RectT<double>{double(inset), double(inset), 100.0 - 2 * inset, 40.0 - 2 * inset};
  };
  const struct {
    std::initializer_list<float> weights;
    int32_t index;
    int32_t inset;
  } cases[] = {
      {{0.0f, 0.0f, 1.0f}, -1, 3}, {{0.0f, 1.0f}, -1, 2}, {{}, -1, 1}, {{0.0f, 1.0f}, 0, 1}, {{0.0f, 1.0f}, 9, 2}};
  for (const auto& c : cases) {
    control->SetLookWeights(c.weights);
    EXPECT_EQ(control->GetLookRect(c.index), insetOf(c.inset)) << c.index << " " << c.inset;
    EXPECT_EQ(control->GetLookRect(c.index), control->GetLook(c.index)->GetClientRect().ToDouble());
  }
}

TEST(ControlLooksTest, RectanglesRegionsAndColoursComeFromTheLook) {
  const RCPtr<TestControl> control = TestControl::Make(nullptr, u"c");
  control->Place(0, 0, 100, 40);
  EXPECT_EQ(control->CombineLookRegions(0, 1), QZ_E_INVALIDARG);
  EXPECT_EQ(control->GetColorAtPoint({10, 10}, -1), 0xFFFFFFu);

  RCPtrArray<LLook, 1, 0> looks;
  MakeThreeLooks(looks);
  control->SetLooks(looks);
  control->SetLookWeights({0.0f, 1.0f, 0.0f});
  EXPECT_EQ(control->GetLookRect(-1), (RectT<double>{2, 3, 94, 32}));
  EXPECT_EQ(control->GetColorAtPoint({10, 10}, -1), QZTest::kGreen);
  EXPECT_EQ(control->GetColorAtPoint({10, 10}, 2), QZTest::kBlue);

  looks.GetAt(1)->GetOwnRegion().AddRect(EdgeRect::FromRect({0, 0, 10, 10}));
  EXPECT_EQ(control->CombineLookRegions(0, 1), QZ_OK);
  EdgeRect bounds;
  ASSERT_TRUE(looks.GetAt(0)->GetOwnRegion().GetBounds(bounds));
  EXPECT_EQ(bounds, EdgeRect::FromRect({0, 0, 100, 40}));
  EXPECT_FALSE(looks.GetAt(0)->GetOwnRegion().Intersects(EdgeRect::FromRect({0, 0, 10, 10})));
  EXPECT_TRUE(looks.GetAt(0)->GetOwnRegion().Intersects(EdgeRect::FromRect({10, 0, 1, 1})));
  // A look combined with itself keeps nothing.
  EXPECT_EQ(control->CombineLookRegions(1, 1), QZ_OK);
  EXPECT_TRUE(looks.GetAt(1)->GetOwnRegion().IsEmpty());

  control->ClearLookRegion(0);
  EXPECT_TRUE(looks.GetAt(0)->GetOwnRegion().IsEmpty());
  looks.GetAt(2)->GetOwnRegion().AddRect(EdgeRect::FromRect({0, 0, 1, 1}));
  control->ClearLookRegions();
  EXPECT_TRUE(looks.GetAt(2)->GetOwnRegion().IsEmpty());
}

TEST(ControlLooksTest, ALabelWiderThanTheTextAreaIsTruncated) {
  QZTest::FakeControlApplication application;
  const RCPtr<QZTest::FixedAdvanceMeasurer> measurer(new QZTest::FixedAdvanceMeasurer);
  application.measurer = measurer;
  RCPtr<LLookDescriptor> descriptor = QZTest::LookOf(QZTest::ColourPart(QZTest::kRed, {4, 4}));
  TextProperties text;
  text.rightRel = 1.0f; // the whole width
  text.bottomRel = 1.0f;
  descriptor->SetTextProperties(text, QZTest::ColourPart(QZTest::kBlue, {1, 1}));
  RCPtrArray<LLook, 1, 0> looks;
  looks.AddItem(LLook::Create(descriptor, false));
  const RCPtr<TestControl> control = TestControl::Make(nullptr, u"label");
  control->Place(0, 0, 41, 16);
  control->SetLooks(looks);
  control->SetLookWeights({1.0f});

  EXPECT_FALSE(control->IsTextTruncated());                        // no font yet
  control->UseFontAndLabel(QZTest::FixedAdvanceFont(), u"abcdef"); // 42 px
  EXPECT_TRUE(control->IsTextTruncated());
  control->Place(0, 0, 42, 16);
  EXPECT_FALSE(control->IsTextTruncated());
}

} // namespace
} // namespace QZ
