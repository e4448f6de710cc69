#include <gtest/gtest.h>

#include <cstdlib>

#include "QZFramework/ControlBase/Look.h"
#include "QZFramework/ControlBase/LookTestSupport.h"
#include "QZFramework/Renderer/Gdi/GDIRenderer.h"
#include "Support/FontconfigInit.h"
#include "Support/ImageCompare.h"

namespace QZ {
namespace {

using namespace QZTest;
using Dock = LDockedPart::Dock;
constexpr uint32_t L = LDockedPart::kOffsetLeft, T = LDockedPart::kOffsetTop, R = LDockedPart::kOffsetRight,
                   B = LDockedPart::kOffsetBottom;

// A button-like look drawn by the application's renderer into an offscreen surface: a
// colour fill inside a frame of image edges, an image icon centred on the left, and a
// centred label.
TEST(LookPixelsTest, ImageColourAndTextPartsDrawThroughTheRenderer) {
  TempFolder folder;
  const WString edge = WriteImage(folder, "edge.png", 3, 3, [](int, int) { return 0xFF2A3B4Cu; });
  const WString icon = WriteImage(folder, "icon.png", 9, 9, [](int x, int y) {
    return std::abs(x - 4) + std::abs(y - 4) <= 4 ? 0xFFD03020u : 0x00000000u;
  });
  const RCPtr<LLookDescriptor> descriptor =
      LookOf(ColourPart(0xFFDDE6F0, {1, 1}), LDockedPart::ClientDock(3, 3, -3, -3));
  const RCPtr<LVisualPartDescriptor> edges = ImagePart(edge, {0, 0, 3, 3});
  descriptor->AddNonClientPart(Docked(edges, Dock{L | T | R}));
  descriptor->AddNonClientPart(Docked(edges, Dock{L | R | B}));
  descriptor->AddNonClientPart(Docked(edges, Dock{L | T | B}));
  descriptor->AddNonClientPart(Docked(edges, Dock{T | R | B}));
  descriptor->AddNonClientPart(Docked(ImagePart(icon, {0, 0, 9, 9}), Dock{L, 8}));
  TextProperties text;
  text.leftAbs = 20;
  text.rightRel = 1.0f;
  text.rightAbs = -6;
  text.bottomRel = 1.0f;
  text.hAlign = 0.5f;
  text.vAlign = 0.5f;
  descriptor->SetTextProperties(text, ColourPart(0xFF101010, {1, 1}));

  const RCPtr<LGDIRenderer> renderer(new LGDIRenderer);
  LFont::SetMeasurementRendererSource([renderer] { return RCPtr<LMeasurementRenderer>(renderer); });
  const RCPtr<LLook> look = LLook::Create(descriptor, false);
  look->SetSize({120, 40});
  look->SetFont(LFont::GetFont(WString(u"Liberation Sans"), 10.5f, LFont::kRegular));
  look->SetText(WString(u"Quorin ZTR"));

  RCPtr<LRenderContextInfo> context;
  ASSERT_EQ(renderer->InitRenderContextInfo({0, 0, 120, 40}, nullptr, true, context), QZ_OK);
  context->GetUpdateRegion().AddRect({0, 0, 120, 40});
  renderer->RenderStart(context);
  renderer->FillRect({0, 0, 120, 40}, ColorT<float>::FromARGB(0xFFFFFFFF), false);
  const RectListT<int32_t>& region = context->GetUpdateRegion();
  EXPECT_EQ(look->DrawClientParts(renderer, region), 1);
  EXPECT_EQ(look->DrawNonClientParts(renderer, region), 1);
  EXPECT_EQ(look->DrawLabelText(renderer, region, {0, 0}), 0);
  renderer->RenderFinish(context);
  LFont::SetMeasurementRendererSource({});

  Platform::Graphics::Image& drawn = *dynamic_cast<LGDIRenderContextInfo&>(*context).GetCurrentSurface()->GetImage();
  EXPECT_TRUE(ImagesMatch(drawn, QZTest::ReferenceImage("LookPartsAndText.png"), 2, QZ_CONTROL_BASE_TEST_OUTPUT));
}

} // namespace
} // namespace QZ
