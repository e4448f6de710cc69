#include "QZFramework/Renderer/OpenGL/GLRenderer.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <optional>
#include <stdexcept>
#include <string>

#include "Support/FontconfigInit.h"
#include "tests/QZFramework/Renderer/OpenGL/GLTestSupport.h"

// Last: the X11 headers define macros that would clash with names above.
#include <SDL2/SDL_syswm.h>
#include <X11/Xutil.h>

namespace QZTest {

// Colours as ReadPixel gives them.

constexpr uint32_t kRed = 0xFFFF0000;
constexpr uint32_t kBlue = 0xFF0000FF;
constexpr uint32_t kWhite = 0xFFFFFFFF;
constexpr uint32_t kNothing = 0;

// A 10 x 10 bitmap, red in columns 0-4 and blue in 5-9.
inline QZ::RCPtr<QZ::LBitmap> HalfRedHalfBlue() {
  QZ::RCPtr<QZ::LBitmap> bitmap = QZ::LBitmap::CreateFilledBitmap({10, 10}, QZ::ColorT<float>::FromARGB(kRed));
  QZ::LBitmapData pixels(bitmap, QZ::Platform::Graphics::LockMode::ReadWrite);
  for (int32_t y = 0; y < 10; ++y) {
    for (int32_t x = 5; x < 10; ++x) {
      *pixels.GetPixelAddress(x, y) = kBlue;
    }
  }
  return bitmap;
}

// An OpenGL renderer (with its FreeType text path) over a test window of the SDL video
// driver given, one frame open.
class GLRendererFixture : public ::testing::Test {
protected:
  void OpenFrame(const char* driver = "offscreen") {
    mWindow.emplace(mBounds.width, mBounds.height, driver);
    mRenderer = QZ::LRenderer::Create(QZ::kRendererOpenGL, mBounds, mWindow->Get());
    QZ::LFont::SetMeasurementRendererSource([renderer = mRenderer] { return renderer; });
    EXPECT_EQ(mRenderer->InitRenderContextInfo(mBounds, mWindow->Get(), false, mContext), QZ::QZ_OK);
    EXPECT_EQ(mRenderer->RenderStart(mContext), QZ::QZ_OK);
  }
  void TearDown() override {
    if (mRenderer && mRenderer->GetContextDepth() > 0) {
      EXPECT_EQ(mRenderer->RenderFinish(mContext), QZ::QZ_OK);
    }
    QZ::LFont::SetMeasurementRendererSource({});
    mContext = nullptr;
    mRenderer = nullptr;
  }
  uint32_t ReadPixel(int x, int y) const { return mWindow->ReadPixel(x, y); }

  // Draws what the window tests look for: text on white at the top left, the bitmap
  // stretched, tiled and centred below.
  void DrawScene() {
    EXPECT_EQ(mRenderer->FillRect(mBounds, QZ::ColorT<float>::FromARGB(kWhite), true), QZ::QZ_OK);
    EXPECT_EQ(mRenderer->DrawText(u"Hi", *QZ::LFont::GetFont(u"DejaVu Sans", 14.0f, 0), {2.0, 0.0},
                                  QZ::ColorT<float>::FromARGB(0xFF000000)),
              QZ::QZ_OK);
    EXPECT_EQ(mRenderer->DrawBitmap(mBitmap, {0, 22, 20, 20}, QZ::ResizeType::Stretch), QZ::QZ_OK);
    EXPECT_EQ(mRenderer->PushClip({0, 0, 64, 48}, {22, 22, 25, 25}, nullptr, false), QZ::QZ_OK);
    EXPECT_EQ(mRenderer->DrawBitmap(mBitmap, {22, 22, 25, 25}, QZ::ResizeType::Tile), QZ::QZ_OK);
    EXPECT_EQ(mRenderer->PopClip(), QZ::QZ_OK);
    EXPECT_EQ(mRenderer->DrawBitmap(mBitmap, {48, 22, 15, 15}, QZ::ResizeType::Center), QZ::QZ_OK);
  }

  // Whether the scene's pixels are where they belong, read by `pixel`.
  template <class ReadPixel>
  void ExpectScene(ReadPixel pixel) {
    EXPECT_EQ(pixel(2, 32), kRed);                 // stretched: left half red
    EXPECT_EQ(pixel(17, 32), kBlue);               // right half blue
    EXPECT_EQ(pixel(22 + 20 + 2, 22 + 22), kRed);  // the third tile's red half
    EXPECT_EQ(pixel(22 + 10 + 6, 22 + 3), kBlue);  // the second tile's blue half
    EXPECT_EQ(pixel(22 + 25 + 1, 22 + 2), kWhite); // beyond the clip
    EXPECT_EQ(pixel(48 + 2, 22 + 2), kRed);        // centred at (50, 24)
    EXPECT_EQ(pixel(48 + 1, 22 + 2), kWhite);
    EXPECT_EQ(pixel(48 + 11, 22 + 11), kBlue);
    EXPECT_EQ(pixel(48 + 12, 22 + 11), kWhite);
    int dark = 0;
    for (int y = 0; y < 20; ++y) {
      for (int x = 0; x < 30; ++x) {
        dark += (pixel(x, y) & 0xFF) < 0x80 ? 1 : 0;
      }
    }
    EXPECT_GT(dark, 20) << "no text drawn";
  }

  QZ::RectT<int32_t> mBounds{0, 0, 64, 48};
  std::optional<GLTestWindow> mWindow;
  QZ::RCPtr<QZ::LRenderer> mRenderer;
  QZ::RCPtr<QZ::LRenderContextInfo> mContext;
  QZ::RCPtr<QZ::LBitmap> mBitmap = HalfRedHalfBlue();
};

} // namespace QZTest

namespace {

class GLRendererTest : public QZTest::GLRendererFixture {
protected:
  void SetUp() override { OpenFrame(); }
};

TEST_F(GLRendererTest, BitmapsStretchTileAndCentreAndTextIsDrawn) {
  EXPECT_EQ(mRenderer->GetRendererType(), QZ::kRendererOpenGL);
  EXPECT_FALSE(static_cast<QZ::LGLRenderer&>(*mRenderer).SwapsByCopy());
  DrawScene();
  ExpectScene([this](int x, int y) { return ReadPixel(x, y); });
}

TEST_F(GLRendererTest, FillRectWithoutBlendingClearsToTransparentBlack) {
  EXPECT_EQ(mRenderer->FillRect(mBounds, QZ::ColorT<float>::FromARGB(QZTest::kWhite), true), QZ::QZ_OK);
  EXPECT_EQ(mRenderer->Translate({4.0, 4.0}), QZ::QZ_OK);
  EXPECT_EQ(mRenderer->FillRect({0, 0, 10, 10}, QZ::ColorT<float>::FromARGB(QZTest::kRed), false), QZ::QZ_OK);
  EXPECT_EQ(ReadPixel(4, 4), QZTest::kNothing);
  EXPECT_EQ(ReadPixel(13, 13), QZTest::kNothing);
  EXPECT_EQ(ReadPixel(14, 14), QZTest::kWhite);
  EXPECT_EQ(ReadPixel(3, 3), QZTest::kWhite);
}

TEST_F(GLRendererTest, AnUnknownResizeTypeThrows) {
  try {
    EXPECT_EQ(mRenderer->DrawBitmap(mBitmap, {0, 0, 20, 20}, QZ::ResizeType(3)), QZ::QZ_OK);
    FAIL() << "no exception";
  } catch (const std::logic_error& error) {
    EXPECT_STREQ(error.what(), "Logic Error : Invalid ResizeType passed to DrawBitmap! : QZ::LGLRenderer::DrawBitmap : "
                               R"(Renderer\OpenGL\GLRenderer : Line 1154)");
  }
  // At the bitmap's own size the type is not looked at.
  EXPECT_EQ(mRenderer->DrawBitmap(mBitmap, {0, 0, 10, 10}, QZ::ResizeType(3)), QZ::QZ_OK);
  EXPECT_THROW((void)mRenderer->DrawBitmap(nullptr, {0, 0, 10, 10}, QZ::ResizeType::Stretch),
               QZ::FailedResultException);
}

TEST_F(GLRendererTest, TheClipBecomesTheScissorBox) {
  struct Case {
    QZ::RectT<double> clip;
    GLint box[4];
  };
  const Case cases[] = {
      {{10, 5, 20, 8}, {10, 48 - 13, 20, 8}},
      {{-5, -6, 20, 10}, {0, 48 - 4, 15, 10}}, // cut at the left only
      {{-50, 0, 20, 10}, {64, 0, 1, 1}},       // entirely left of the viewport
      {{0, 60, 10, 10}, {64, 0, 1, 1}},        // entirely below it
  };
  for (const Case& c : cases) {
    EXPECT_EQ(mRenderer->PushClip({0, 0, 64, 48}, c.clip, nullptr, false), QZ::QZ_OK);
    GLint box[4] = {};
    glGetIntegerv(GL_SCISSOR_BOX, box);
    EXPECT_EQ(std::vector<GLint>(box, box + 4), std::vector<GLint>(c.box, c.box + 4));
    EXPECT_EQ(mRenderer->PopClip(), QZ::QZ_OK);
  }
}

TEST_F(GLRendererTest, TextIsMeasuredByTheFontRenderer) {
  const auto font = QZ::LFont::GetFont(u"DejaVu Sans", 14.0f, 0);
  const QZ::RectT<float> one = mRenderer->MeasureText(*font, u"H");
  const QZ::RectT<float> two = mRenderer->MeasureText(*font, u"HH");
  EXPECT_EQ(one.y, float(font->GetAscent()));
  EXPECT_GT(one.width, 5.0f);
  EXPECT_GT(two.width, one.width + 5.0f);
  EXPECT_GE(one.height, float(font->GetDescent() - font->GetAscent()));
  EXPECT_EQ(mRenderer->MeasureText(*font, u"").width, 0.0f);
}

} // namespace

namespace {

// Under the X server of the CTest fixture (its display number in the file that
// QZ_TEST_XVFB_DISPLAY_FILE names): a finished frame reaches the window, read back from
// the X server.
class GLRendererWindowTest : public QZTest::GLRendererFixture {
protected:
  void SetUp() override {
    const char* displayFile = std::getenv("QZ_TEST_XVFB_DISPLAY_FILE");
    if (!displayFile) {
      GTEST_SKIP() << "runs under the Xvfb fixture only";
    }
    std::string number;
    std::ifstream(displayFile) >> number;
    setenv("DISPLAY", (":" + number).c_str(), 1);
    OpenFrame("x11");
  }
};

TEST_F(GLRendererWindowTest, AFinishedFrameReachesTheWindow) {
  ASSERT_TRUE(static_cast<QZ::LGLRenderer&>(*mRenderer).IsDoubleBuffered());
  DrawScene();
  EXPECT_EQ(mRenderer->RenderFinish(mContext), QZ::QZ_OK);
  SDL_SysWMinfo info;
  SDL_VERSION(&info.version);
  ASSERT_TRUE(SDL_GetWindowWMInfo(mWindow->Get(), &info));
  XSync(info.info.x11.display, False);
  XImage* shot = XGetImage(info.info.x11.display, info.info.x11.window, 0, 0, unsigned(mBounds.width),
                           unsigned(mBounds.height), AllPlanes, ZPixmap);
  ASSERT_NE(shot, nullptr);
  ExpectScene([shot](int x, int y) { return 0xFF000000u | uint32_t(XGetPixel(shot, x, y) & 0xFFFFFF); });
  XDestroyImage(shot);
}

} // namespace
