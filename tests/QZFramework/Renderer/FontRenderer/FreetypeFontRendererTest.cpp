#include "QZFramework/Renderer/FontRenderer/FreetypeFontRenderer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "Support/FontconfigInit.h"
#include "Support/TempFolder.h"
#include "tests/QZFramework/Renderer/FontRenderer/SyntheticFonts.h"

namespace {

using QZ::LFont;
using QZ::WString;

const std::string kDejaVu = "/usr/share/fonts/truetype/dejavu/";

// Asks for everything and keeps what it is handed.
class RecordingProcessor : public QZ::LGlyphProcessor {
public:
  void BeginFont(const LFont&, uint32_t) override {}
  void EndFont() override {}
  uint16_t ProcessGlyph(QZ::GlyphRecord& glyph) override {
    asked.push_back(glyph.code);
    return QZ::kGlyphNeedsAll;
  }
  void DrawGlyphs(const QZ::GlyphRecord& glyph) override { drawn.push_back(glyph); }
  QZ::GlyphBounds GetBounds() const override { return {}; }

  std::vector<uint32_t> asked;
  std::vector<QZ::GlyphRecord> drawn;
};

class FreetypeFontRendererTest : public ::testing::Test {
protected:
  // A renderer over the given files of the DejaVu folder (or a collection of them).
  void UseFonts(const std::vector<std::string>& files, bool asCollection = false) {
    mRenderer = nullptr;
    std::filesystem::remove_all(mFolder / "fonts");
    std::filesystem::create_directories(mFolder / "fonts");
    std::vector<QZTest::Bytes> fonts;
    for (const std::string& file : files) {
      fonts.push_back(QZTest::ReadFile(kDejaVu + file));
      if (!asCollection) {
        QZTest::WriteFile(mFolder / ("fonts/" + file), fonts.back());
      }
    }
    if (asCollection) {
      QZTest::WriteFile(mFolder / "fonts/Both.ttc", QZTest::Collection(fonts));
    }
    mRenderer = QZ::RCPtr<QZ::LFreetypeFontRenderer>(
        new QZ::LFreetypeFontRenderer(mProcessor, mProcessor, {mFolder / "fonts"}));
  }

  std::vector<QZ::GlyphRecord> Run(const WString& text, float size, int32_t style = LFont::kRegular) {
    mProcessor->drawn.clear();
    mProcessor->asked.clear();
    mRenderer->RenderGlyphRun(text, *LFont::GetFont(u"DejaVu Sans", size, style), mProcessor.Get(), 0, 0.0f, 0xF);
    return mProcessor->drawn;
  }

  QZTest::TempFolder mFolder;
  QZ::RCPtr<RecordingProcessor> mProcessor{new RecordingProcessor};
  QZ::RCPtr<QZ::LFreetypeFontRenderer> mRenderer;
};

TEST_F(FreetypeFontRendererTest, SmallSizesRenderMonoAndLargerOnesAntiAliased) {
  UseFonts({"DejaVuSans.ttf"});
  for (float size : {7.5f, 8.0f}) {
    const auto glyphs = Run(u"a", size);
    ASSERT_EQ(glyphs.size(), 1u);
    const auto& bitmap = *glyphs[0].bitmap;
    ASSERT_GT(bitmap.GetWidth() * bitmap.GetHeight(), 0);
    EXPECT_EQ(glyphs[0].metrics.box.Width(), bitmap.GetWidth());
    EXPECT_EQ(glyphs[0].metrics.box.Height(), bitmap.GetHeight());
    bool grey = false;
    for (int32_t y = 0; y < bitmap.GetHeight(); ++y) {
      for (int32_t x = 0; x < bitmap.GetWidth(); ++x) {
        const uint8_t value = *bitmap.GetPixelAddress(x, y);
        grey = grey || (value != 0 && value != 255);
      }
    }
    EXPECT_EQ(grey, size >= 8.0f) << size;
  }
}

TEST_F(FreetypeFontRendererTest, BoxesOfLargeGlyphsKeepTheirSize) {
  UseFonts({"DejaVuSans.ttf"});
  const auto glyphs = Run(u"W", 150.0f);
  ASSERT_EQ(glyphs.size(), 1u);
  EXPECT_GT(glyphs[0].metrics.box.Width(), 127);
  EXPECT_EQ(glyphs[0].metrics.box.Width(), glyphs[0].bitmap->GetWidth());
  EXPECT_LT(glyphs[0].metrics.box.top, -127);
}

TEST_F(FreetypeFontRendererTest, MissingGlyphsAreSkippedWithoutMovingThePen) {
  UseFonts({"DejaVuSans.ttf"});
  const auto plain = Run(u"ab", 12.0f);
  const auto withMissing = Run(u"a\U0010FFFDb", 12.0f);
  // The surrogate pair was asked for as one character.
  EXPECT_EQ(mProcessor->asked, (std::vector<uint32_t>{u'a', 0x10FFFD, u'b'}));
  ASSERT_EQ(plain.size(), 2u);
  ASSERT_EQ(withMissing.size(), 2u);
  EXPECT_EQ(withMissing[1].code, uint32_t(u'b'));
  EXPECT_EQ(withMissing[1].penX, plain[1].penX);
  EXPECT_GT(plain[1].penX, 0.0f);
}

TEST_F(FreetypeFontRendererTest, MetricsComeFromTheFaceAtNinetySixDpi) {
  UseFonts({"DejaVuSans.ttf"});
  int32_t height = 0;
  int32_t ascent = 0;
  int32_t descent = 0;
  ASSERT_EQ(mRenderer->GetFontMetrics(*LFont::GetFont(u"DejaVu Sans", 12.0f, 0), height, ascent, descent), QZ::QZ_OK);
  EXPECT_LT(ascent, -12);
  EXPECT_GT(descent, 2);
  EXPECT_GE(height, std::max(16, descent - ascent));
}

TEST_F(FreetypeFontRendererTest, ACollectionsSecondFaceIsOpenedAsThatFace) {
  UseFonts({"DejaVuSans-Bold.ttf"});
  const int32_t boldAdvance = Run(u"W", 20.0f, LFont::kBold).at(0).metrics.advanceX;
  UseFonts({"DejaVuSans.ttf", "DejaVuSans-Bold.ttf"}, true);
  const int32_t regularAdvance = Run(u"W", 20.0f, LFont::kRegular).at(0).metrics.advanceX;
  EXPECT_EQ(Run(u"W", 20.0f, LFont::kBold).at(0).metrics.advanceX, boldAdvance);
  EXPECT_NE(regularAdvance, boldAdvance);
}

} // namespace
