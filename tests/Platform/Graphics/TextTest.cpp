#include <gtest/gtest.h>

#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H

#include <string>
#include <vector>

#include "Platform/Graphics/Graphics.h"
#include "Platform/Graphics/GraphicsTestData.h"

namespace Gfx = QZ::Platform::Graphics;
using QZTest::PixelAt;

namespace {

// The face fontconfig gives for a family, read with FreeType directly, so the layer's
// numbers are checked against the font file's own.
class FreeTypeFace {
public:
  explicit FreeTypeFace(const char* family) {
    FcPattern* pattern = FcNameParse(reinterpret_cast<const FcChar8*>(family));
    FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
    FcDefaultSubstitute(pattern);
    FcResult result;
    FcPattern* match = FcFontMatch(nullptr, pattern, &result);
    FcChar8* file = nullptr;
    FcChar8* matchedFamily = nullptr;
    FcPatternGetString(match, FC_FILE, 0, &file);
    FcPatternGetString(match, FC_FAMILY, 0, &matchedFamily);
    mFamily = reinterpret_cast<const char*>(matchedFamily);
    FT_Init_FreeType(&mLibrary);
    FT_New_Face(mLibrary, reinterpret_cast<const char*>(file), 0, &mFace);
    FcPatternDestroy(match);
    FcPatternDestroy(pattern);
  }
  ~FreeTypeFace() {
    FT_Done_Face(mFace);
    FT_Done_FreeType(mLibrary);
  }
  FreeTypeFace(const FreeTypeFace&) = delete;
  FreeTypeFace& operator=(const FreeTypeFace&) = delete;

  FT_Face operator->() const { return mFace; }
  const std::string& Family() const { return mFamily; }

  // Unscaled metrics of a character's glyph, in font units.
  FT_Glyph_Metrics Glyph(char32_t character) const {
    FT_Load_Char(mFace, character, FT_LOAD_NO_SCALE);
    return mFace->glyph->metrics;
  }

private:
  FT_Library mLibrary = nullptr;
  FT_Face mFace = nullptr;
  std::string mFamily;
};

// Where the ink is: whole pixels covered at all, and the left and right edges to a
// fraction of a pixel, read from the coverage of the outermost columns (vertical stems).
struct InkBounds {
  int left = 1 << 30, top = 1 << 30, right = -1, bottom = -1; // right and bottom exclusive
  double leftEdge = 0, rightEdge = 0;
};

InkBounds Ink(const Gfx::Image& image) {
  InkBounds ink;
  std::vector<int> columnCoverage(size_t(image.Width()), 0);
  for (int y = 0; y < image.Height(); ++y) {
    for (int x = 0; x < image.Width(); ++x) {
      const int alpha = PixelAt(image, x, y).A();
      columnCoverage[size_t(x)] = std::max(columnCoverage[size_t(x)], alpha);
      if (alpha > 0) {
        ink.left = std::min(ink.left, x);
        ink.top = std::min(ink.top, y);
        ink.right = std::max(ink.right, x + 1);
        ink.bottom = std::max(ink.bottom, y + 1);
      }
    }
  }
  if (ink.right > 0) {
    ink.leftEdge = ink.left + 1 - columnCoverage[size_t(ink.left)] / 255.0;
    ink.rightEdge = ink.right - 1 + columnCoverage[size_t(ink.right - 1)] / 255.0;
  }
  return ink;
}

Gfx::Font LiberationSans(float size, Gfx::FontUnit unit = Gfx::FontUnit::Pixel) {
  auto family = Gfx::FontFamily::FromName(u"Liberation Sans");
  return *Gfx::Font::Create(*family, size, Gfx::FontStyle::Regular, unit);
}

const auto kBlack = Gfx::Brush::Solid(Gfx::Color{0xFF000000});

} // namespace

TEST(TextTest, HiLandsWhereTheLayoutRuleSaysAndMeasuresAsDrawn) {
  const FreeTypeFace face("Liberation Sans");
  ASSERT_EQ(face.Family(), "Liberation Sans");
  const Gfx::Font font = LiberationSans(15, Gfx::FontUnit::Point); // 20 pixels at 96 dpi
  ASSERT_FLOAT_EQ(font.EmPixels(Gfx::Graphics::kDpi), 20);
  const double scale = 20.0 / face->units_per_EM;

  auto image = Gfx::Image::Create(60, 50);
  auto graphics = Gfx::Graphics::FromImage(*image);
  ASSERT_EQ(graphics->DrawString(u"Hi", font, {10, 20, 0, 0}, kBlack), Gfx::Status::Ok);

  const double penStart = 10 + 20.0 / 6;
  const double baseline = 20 + face->ascender * scale;
  const FT_Glyph_Metrics h = face.Glyph(U'H');
  const FT_Glyph_Metrics i = face.Glyph(U'i');
  const InkBounds ink = Ink(*image);
  EXPECT_NEAR(ink.leftEdge, penStart + h.horiBearingX * scale, 1.0);
  EXPECT_NEAR(ink.bottom, baseline, 1.0);
  EXPECT_NEAR(ink.top, baseline - std::max(h.horiBearingY, i.horiBearingY) * scale, 1.0);

  const Gfx::CharacterRange whole{0, 2};
  Gfx::RectF box;
  ASSERT_EQ(graphics->MeasureCharacterRanges(u"Hi", font, {10, 20, 0, 0}, std::span(&whole, 1), std::span(&box, 1)),
            Gfx::Status::Ok);
  EXPECT_NEAR(box.x, penStart, 0.01);
  EXPECT_NEAR(box.y, 20, 0.01);
  EXPECT_NEAR(box.height, face->height * scale, 0.01);
  // The drawn extent: from the ink back by H's left bearing to the ink on by i's right one.
  const double rightBearingOfI = (i.horiAdvance - i.horiBearingX - i.width) * scale;
  EXPECT_NEAR(box.x, ink.leftEdge - h.horiBearingX * scale, 1.0);
  EXPECT_NEAR(box.x + box.width, ink.rightEdge + rightBearingOfI, 1.0);
  EXPECT_NEAR(box.width, (h.horiAdvance + i.horiAdvance) * scale, 1.0);

  Gfx::RectF measured;
  ASSERT_EQ(graphics->MeasureString(u"Hi", font, {10, 20, 0, 0}, measured), Gfx::Status::Ok);
  EXPECT_EQ(measured.x, 10);
  EXPECT_NEAR(measured.width, box.width + 2 * 20.0 / 6, 0.01);
  EXPECT_NEAR(measured.height, box.height, 0.01);
}

TEST(TextTest, MetricsAreTheFacesDesignNumbers) {
  const FreeTypeFace face("Liberation Sans");
  const Gfx::Font font = LiberationSans(8, Gfx::FontUnit::Point);
  const Gfx::FontFamily& family = font.Family();
  EXPECT_EQ(family.Name(), "Liberation Sans");
  EXPECT_EQ(family.EmHeight(Gfx::FontStyle::Regular), face->units_per_EM);
  EXPECT_EQ(family.CellAscent(Gfx::FontStyle::Regular), face->ascender);
  EXPECT_EQ(family.CellDescent(Gfx::FontStyle::Regular), -face->descender);
  EXPECT_EQ(family.LineSpacing(Gfx::FontStyle::Regular), face->height);
  EXPECT_GT(family.CellAscent(Gfx::FontStyle::Regular), family.CellDescent(Gfx::FontStyle::Regular));

  // 8 points: 8 pixels at 72 dpi, 10.67 at 96; a pixel-sized font ignores the dpi.
  EXPECT_NEAR(font.GetHeight(72), face->height * 8.0 / face->units_per_EM, 1e-4);
  EXPECT_NEAR(font.GetHeight(96), face->height * (8.0 * 96 / 72) / face->units_per_EM, 1e-4);
  const Gfx::Font pixels = LiberationSans(8);
  EXPECT_FLOAT_EQ(pixels.GetHeight(72), pixels.GetHeight(96));

  const FreeTypeFace bold("Liberation Sans:bold");
  EXPECT_EQ(family.CellAscent(Gfx::FontStyle::Bold), bold->ascender);
  EXPECT_EQ(family.LineSpacing(Gfx::FontStyle::Bold), bold->height);
}

TEST(TextTest, FamiliesAreFoundWithoutRegardToCaseOrByEquivalentAlias) {
  auto lower = Gfx::FontFamily::FromName(u"liberation SANS");
  ASSERT_TRUE(lower);
  EXPECT_EQ(lower->Name(), "Liberation Sans");
  auto arial = Gfx::FontFamily::FromName(u"Arial"); // its metric-compatible stand-in
  ASSERT_TRUE(arial);
  EXPECT_EQ(arial->Name(), "Liberation Sans");
  EXPECT_EQ(Gfx::FontFamily::FromName(u"TAHOMA").has_value(), Gfx::FontFamily::FromName(u"Tahoma").has_value());
}

TEST(TextTest, AMissingFamilyFallsBackToSansSerif) {
  Gfx::Status status = Gfx::Status::Ok;
  EXPECT_FALSE(Gfx::FontFamily::FromName(u"Quorin Nonexistent Sans", &status));
  EXPECT_EQ(status, Gfx::Status::FontFamilyNotFound);
  EXPECT_FALSE(Gfx::FontFamily::FromName(u"", &status));

  auto generic = Gfx::FontFamily::GenericSansSerif(&status);
  ASSERT_TRUE(generic);
  EXPECT_EQ(status, Gfx::Status::Ok);
  EXPECT_EQ(generic->Name(), FreeTypeFace("sans-serif").Family());
  auto font = Gfx::Font::Create(*generic, 12, Gfx::FontStyle::Bold, Gfx::FontUnit::Point);
  ASSERT_TRUE(font);

  auto image = Gfx::Image::Create(40, 30);
  EXPECT_EQ(Gfx::Graphics::FromImage(*image)->DrawString(u"Ok", *font, {2, 2, 0, 0}, kBlack), Gfx::Status::Ok);
  EXPECT_GT(Ink(*image).right, 0);
}

TEST(TextTest, RejectsBadFontSizes) {
  auto family = Gfx::FontFamily::FromName(u"Liberation Sans");
  Gfx::Status status = Gfx::Status::Ok;
  EXPECT_FALSE(Gfx::Font::Create(*family, 0, Gfx::FontStyle::Regular, Gfx::FontUnit::Point, &status));
  EXPECT_EQ(status, Gfx::Status::InvalidParameter);
  EXPECT_FALSE(Gfx::Font::Create(*family, -3, Gfx::FontStyle::Regular, Gfx::FontUnit::Point, &status));
  EXPECT_FALSE(Gfx::Font::Create(*family, std::numeric_limits<float>::quiet_NaN(), Gfx::FontStyle::Regular,
                                 Gfx::FontUnit::Point, &status));
}

TEST(TextTest, LinesBreakAndRangesFollowThem) {
  auto image = Gfx::Image::Create(1, 1);
  auto graphics = Gfx::Graphics::FromImage(*image);
  const Gfx::Font font = LiberationSans(20);
  const double lineHeight = font.GetHeight(Gfx::Graphics::kDpi);

  Gfx::RectF one, two;
  EXPECT_EQ(graphics->MeasureString(u"Hi", font, {0, 0, 0, 0}, one), Gfx::Status::Ok);
  EXPECT_EQ(graphics->MeasureString(u"Hi\r\nHi", font, {0, 0, 0, 0}, two), Gfx::Status::Ok);
  EXPECT_FLOAT_EQ(two.width, one.width);
  EXPECT_NEAR(two.height, 2 * lineHeight, 0.01);
  EXPECT_EQ(graphics->MeasureString(u"a\rb\nc", font, {0, 0, 0, 0}, two), Gfx::Status::Ok);
  EXPECT_NEAR(two.height, 3 * lineHeight, 0.01);

  const Gfx::CharacterRange ranges[] = {{4, 2}, {0, 6}, {2, 2}, {0, 0}};
  Gfx::RectF boxes[4];
  ASSERT_EQ(graphics->MeasureCharacterRanges(u"Hi\r\nHi", font, {5, 7, 0, 0}, ranges, boxes), Gfx::Status::Ok);
  EXPECT_NEAR(boxes[0].y, 7 + lineHeight, 0.01); // the second line
  EXPECT_FLOAT_EQ(boxes[0].x, 5 + 20.0f / 6);
  EXPECT_NEAR(boxes[1].height, 2 * lineHeight, 0.01); // both lines
  EXPECT_EQ(boxes[2], Gfx::RectF{});                  // only the line break: no advance
  EXPECT_EQ(boxes[3], Gfx::RectF{});

  const Gfx::CharacterRange outside{5, 2};
  EXPECT_EQ(graphics->MeasureCharacterRanges(u"Hi\r\nHi", font, {}, std::span(&outside, 1), boxes),
            Gfx::Status::InvalidParameter);
  EXPECT_EQ(graphics->MeasureCharacterRanges(u"Hi", font, {}, ranges, std::span(boxes, 1)),
            Gfx::Status::InvalidParameter);

  Gfx::RectF empty;
  EXPECT_EQ(graphics->MeasureString(u"", font, {3, 4, 0, 0}, empty), Gfx::Status::Ok);
  EXPECT_EQ(empty, (Gfx::RectF{3, 4, 0, 0}));
}

TEST(TextTest, TrailingSpacesCountAndALayoutSizeClips) {
  auto image = Gfx::Image::Create(100, 40);
  auto graphics = Gfx::Graphics::FromImage(*image);
  const Gfx::Font font = LiberationSans(20);
  Gfx::RectF bare, spaced, clipped;
  EXPECT_EQ(graphics->MeasureString(u"Hi", font, {}, bare), Gfx::Status::Ok);
  EXPECT_EQ(graphics->MeasureString(u"Hi  ", font, {}, spaced), Gfx::Status::Ok);
  EXPECT_GT(spaced.width, bare.width + 5);
  EXPECT_EQ(graphics->MeasureString(u"Hi  ", font, {0, 0, 10, 0}, clipped), Gfx::Status::Ok);
  EXPECT_FLOAT_EQ(clipped.width, 10);

  EXPECT_EQ(graphics->DrawString(u"WWWW", font, {0, 0, 12, 0}, kBlack), Gfx::Status::Ok);
  const InkBounds ink = Ink(*image);
  EXPECT_LE(ink.right, 12);
  EXPECT_GT(ink.bottom, 10); // unlimited downwards
}

TEST(TextTest, LoneSurrogatesNeitherBreakTheTextNorTheGraphics) {
  auto image = Gfx::Image::Create(80, 40);
  auto graphics = Gfx::Graphics::FromImage(*image);
  const Gfx::Font font = LiberationSans(20);
  const std::u16string broken = u"A\xD800"
                                u"B\xDC00";
  EXPECT_EQ(graphics->DrawString(broken, font, {0, 0, 0, 0}, kBlack), Gfx::Status::Ok);
  EXPECT_GT(Ink(*image).right, 20); // the text after the surrogate is drawn too

  // A surrogate pair is one character: its first unit carries the advance, its second none.
  const Gfx::CharacterRange ranges[] = {{1, 1}, {1, 2}, {2, 1}, {3, 1}};
  Gfx::RectF boxes[4];
  ASSERT_EQ(graphics->MeasureCharacterRanges(u"A\U0001F3B9B", font, {}, ranges, boxes), Gfx::Status::Ok);
  EXPECT_GT(boxes[0].width, 0);
  EXPECT_EQ(boxes[1], boxes[0]);
  EXPECT_EQ(boxes[2], Gfx::RectF{});
  EXPECT_FLOAT_EQ(boxes[3].x, boxes[0].x + boxes[0].width); // B follows the pair

  // The graphics keeps drawing.
  EXPECT_EQ(graphics->FillRectangle(kBlack, {70, 30, 5, 5}), Gfx::Status::Ok);
  EXPECT_EQ(PixelAt(*image, 72, 32).A(), 255);
}

TEST(TextTest, EachFontMeasuresATextOfItsOwnHoweverOftenTheTextComesBack) {
  auto image = Gfx::Image::Create(10, 10);
  auto graphics = Gfx::Graphics::FromImage(*image);
  auto family = Gfx::FontFamily::FromName(u"Liberation Sans");
  auto other = Gfx::FontFamily::FromName(u"DejaVu Sans");
  ASSERT_TRUE(family && other);
  const Gfx::Font fonts[] = {LiberationSans(10), LiberationSans(20),
                             *Gfx::Font::Create(*family, 10, Gfx::FontStyle::Bold, Gfx::FontUnit::Pixel),
                             *Gfx::Font::Create(*other, 10, Gfx::FontStyle::Regular, Gfx::FontUnit::Pixel)};
  const std::u16string longText(80, u'W'); // longer than the layouts kept
  const std::u16string texts[] = {u"CH: %s", u"CH: %s\nCC", longText};
  std::vector<float> first;
  for (int pass = 0; pass < 2; ++pass) {
    std::vector<float> widths;
    for (const std::u16string& text : texts) {
      for (const Gfx::Font& font : fonts) {
        Gfx::RectF box;
        ASSERT_EQ(graphics->MeasureString(text, font, {0, 0, 0, 0}, box), Gfx::Status::Ok);
        widths.push_back(box.width);
        widths.push_back(box.height);
      }
    }
    if (pass == 0) {
      first = widths;
    } else {
      EXPECT_EQ(widths, first);
    }
  }
  // Four fonts, four widths of the same text; two lines stand taller than one.
  EXPECT_LT(first[0], first[2]);
  EXPECT_LT(first[0], first[4]);
  EXPECT_NE(first[0], first[6]);
  EXPECT_GT(first[9], first[1]);
  EXPECT_GT(first[16], first[0] * 5);
}
