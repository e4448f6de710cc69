#include "QZFramework/Utilities/Graphics/Font.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "Support/RecordingRenderer.h"

namespace {

using QZ::LFont;
using QZ::WString;

// Fonts live for the whole process: each test asks for faces of its own, and each run of
// a test measures a face no run before it measured.
class FontTest : public ::testing::Test {
protected:
  static WString FreshFace(const std::string& name) {
    static int faces = 0;
    return WString((name + " " + std::to_string(++faces)).c_str());
  }

  void TearDown() override { LFont::SetMeasurementRendererSource(nullptr); }

  void MeasureWith(const QZ::RCPtr<QZTest::RecordingRenderer>& renderer) {
    LFont::SetMeasurementRendererSource([renderer] { return QZ::RCPtr<QZ::LMeasurementRenderer>(renderer.Get()); });
  }
  static size_t Measurements(const QZTest::RecordingRenderer& renderer) {
    return size_t(std::count_if(renderer.calls.begin(), renderer.calls.end(),
                                [](const std::string& call) { return call.starts_with("GetFontMetrics"); }));
  }
};

TEST_F(FontTest, OneTripleGivesOneSharedFontWhateverTheCaseOfItsFace) {
  const auto tahoma = LFont::GetFont(WString(u"Tahoma"), 8.0f, 0);
  EXPECT_EQ(LFont::GetFont(WString(u"Tahoma"), 8.0f, 0), tahoma);
  EXPECT_EQ(LFont::GetFont(WString(u"TAHOMA"), 8.0f, 0), tahoma);
  EXPECT_TRUE(tahoma->GetFaceName() == u"Tahoma");

  const auto bold = LFont::GetFont(WString(u"Tahoma"), 8.0f, LFont::kBold);
  const auto larger = LFont::GetFont(WString(u"tahoma"), 8.5f, 0);
  EXPECT_NE(bold, tahoma);
  EXPECT_NE(larger, tahoma);
  EXPECT_GT(bold->GetUniqueID(), tahoma->GetUniqueID());
  EXPECT_GT(larger->GetUniqueID(), bold->GetUniqueID());
}

TEST_F(FontTest, MetricsAreMeasuredOnceOnFirstUse) {
  QZ::RCPtr<QZTest::RecordingRenderer> renderer(new QZTest::RecordingRenderer);
  MeasureWith(renderer);
  const WString face = FreshFace("FontTest Once");
  const auto font = LFont::GetFont(face, 10.0f, 0);
  EXPECT_EQ(Measurements(*renderer), 0u);
  EXPECT_EQ(font->GetAscent(), renderer->fontAscent);
  EXPECT_EQ(font->GetHeight(), renderer->fontHeight);
  EXPECT_EQ(font->GetDescent(), renderer->fontDescent);
  EXPECT_EQ(LFont::GetFont(face.ToUpper(), 10.0f, 0)->GetHeight(), renderer->fontHeight);
  EXPECT_EQ(Measurements(*renderer), 1u);
}

TEST_F(FontTest, WithoutAMeasurementRendererMetricsWaitForOne) {
  const auto font = LFont::GetFont(FreshFace("FontTest Later"), 10.0f, 0);
  EXPECT_EQ(font->GetHeight(), 0);
  LFont::SetMeasurementRendererSource([] { return QZ::RCPtr<QZ::LMeasurementRenderer>(); });
  EXPECT_EQ(font->GetAscent(), 0);
  QZ::RCPtr<QZTest::RecordingRenderer> renderer(new QZTest::RecordingRenderer);
  MeasureWith(renderer);
  EXPECT_EQ(font->GetHeight(), renderer->fontHeight);
  EXPECT_EQ(Measurements(*renderer), 1u);
}

TEST_F(FontTest, AFontTakenOutOfTheCacheIsNotFoundAgain) {
  const auto first = LFont::GetFont(WString(u"FontTest Removed"), 10.0f, 0);
  EXPECT_EQ(first->ReleaseInternalReferences(), QZ::QZ_OK);
  EXPECT_EQ(first->ReleaseInternalReferences(), QZ::QZ_E_FAIL);
  const auto second = LFont::GetFont(WString(u"FontTest Removed"), 10.0f, 0);
  EXPECT_NE(second, first);
  EXPECT_EQ(first->ReleaseInternalReferences(), QZ::QZ_E_FAIL); // its triple is another font's now
}

} // namespace
