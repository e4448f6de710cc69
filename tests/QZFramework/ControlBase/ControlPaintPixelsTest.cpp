#include <gtest/gtest.h>

#include "QZFramework/ControlBase/PaintTestSupport.h"
#include "QZFramework/Renderer/AutoClip.h"
#include "QZFramework/Renderer/Gdi/GDIRenderer.h"
#include "Support/FontconfigInit.h"
#include "Support/ImageCompare.h"

namespace QZ {
namespace {

using namespace QZTest;
using Dock = LDockedPart::Dock;
constexpr uint32_t L = LDockedPart::kOffsetLeft, T = LDockedPart::kOffsetTop, R = LDockedPart::kOffsetRight,
                   B = LDockedPart::kOffsetBottom;

// A look of size: a client part of one colour inset by `inset`, inside a frame of that
// width in another colour.
RCPtr<LLook> FramedLook(uint32_t client, uint32_t frame, int32_t inset, SizeT<int32_t> size) {
  const RCPtr<LLookDescriptor> descriptor =
      LookOf(ColourPart(client, {1, 1}), LDockedPart::ClientDock(inset, inset, -inset, -inset));
  const RCPtr<LVisualPartDescriptor> edge = ColourPart(frame, {inset, inset});
  descriptor->AddNonClientPart(Docked(edge, Dock{L | T | R}));
  descriptor->AddNonClientPart(Docked(edge, Dock{L | R | B}));
  descriptor->AddNonClientPart(Docked(edge, Dock{L | T | B}));
  descriptor->AddNonClientPart(Docked(edge, Dock{T | R | B}));
  const RCPtr<LLook> look = LLook::Create(descriptor, false);
  look->SetSize(size);
  return look;
}

RCPtr<PaintProbe> Framed(const RCPtr<LControl>& parent, const char16_t* name, RectT<int32_t> rect, uint32_t client,
                         uint32_t frame, int32_t inset) {
  const RCPtr<PaintProbe> probe = PaintProbe::Make(parent, WString(name));
  probe->Place(rect.x, rect.y, rect.width, rect.height);
  probe->UseLook(FramedLook(client, frame, inset, {rect.width, rect.height}));
  return probe;
}

// A small skinned window painted by the application's renderer: a framed root, a panel
// whose knob is cut to the panel's client area, a label, a bar docked on both axes over the
// panel's frame, and a pop-up that leaves the panel and paints on top in the deferred pass.
TEST(ControlPaintPixelsTest, ASkinnedTreePaintsThroughTheRenderer) {
  const RCPtr<LGDIRenderer> renderer(new LGDIRenderer);
  LFont::SetMeasurementRendererSource([renderer] { return RCPtr<LMeasurementRenderer>(renderer); });

  const RCPtr<PaintProbe> root = Framed(nullptr, u"root", {0, 0, 160, 100}, 0xFFE8ECF0, 0xFF33414E, 2);
  const RCPtr<PaintProbe> panel = Framed(root, u"panel", {8, 8, 80, 60}, 0xFFB8D0E8, 0xFF4A6A8A, 4);
  Framed(panel, u"knob", {50, 30, 40, 40}, 0xFFD04030, 0xFF802010, 2);
  const RCPtr<PaintProbe> bar = PaintProbe::Make(panel, u"bar");
  bar->Place(-4, -4, 80, 4);
  bar->UseLook(ColourLook(0xFF30A050, {80, 4}));
  bar->Dock(true, true);
  const RCPtr<PaintProbe> popup = Framed(panel, u"popup", {40, 44, 70, 30}, 0xFFFFF2B0, 0xFF8A7A20, 1);
  popup->Float(2);

  const RCPtr<LLookDescriptor> labelLook = LookOf(ColourPart(0xFFE8ECF0, {1, 1}));
  TextProperties text;
  text.rightRel = 1.0f;
  text.bottomRel = 1.0f;
  text.hAlign = 0.5f;
  text.vAlign = 0.5f;
  labelLook->SetTextProperties(text, ColourPart(0xFF101820, {1, 1}));
  const RCPtr<LLook> look = LLook::Create(labelLook, false);
  look->SetSize({60, 20});
  look->SetFont(LFont::GetFont(WString(u"Liberation Sans"), 9.0f, LFont::kRegular));
  look->SetText(WString(u"Quorin"));
  const RCPtr<PaintProbe> label = PaintProbe::Make(root, u"label");
  label->Place(94, 8, 60, 20);
  label->UseLook(look);

  RCPtr<LRenderContextInfo> context;
  ASSERT_EQ(renderer->InitRenderContextInfo({0, 0, 160, 100}, nullptr, true, context), QZ_OK);
  context->GetUpdateRegion().AddRect({0, 0, 160, 100});
  renderer->RenderStart(context);
  renderer->FillRect({0, 0, 160, 100}, ColorT<float>::FromARGB(0xFFFFFFFF), false);
  RCPtrArray<LControl, 1, 0> deferred;
  {
    CAutoClip window(renderer, {0, 0, 160, 100}, {0, 0, 160, 100}, nullptr);
    EXPECT_EQ(root->Paint(renderer, context->GetUpdateRegion(), deferred, false), QZ_OK);
    ASSERT_EQ(deferred.GetCount(), 1u);
    // The root window's side: each deferred control from its parent's content origin.
    const RCPtr<LControl>& floating = deferred.GetAt(0);
    const PointT<double> origin = floating->GetParent()->GetWindowPosition() + PointT<double>{4, 4};
    CAutoClip parentContent(renderer, ClipDescriptor{ClipFlavorOffset, {}, {}, nullptr, 1, origin});
    RCPtrArray<LControl, 1, 0> none;
    EXPECT_EQ(floating->Paint(renderer, context->GetUpdateRegion(), none, true), QZ_OK);
  }
  EXPECT_EQ(context->GetSavedStates().size(), 0u);
  renderer->RenderFinish(context);
  LFont::SetMeasurementRendererSource({});

  Platform::Graphics::Image& drawn = *dynamic_cast<LGDIRenderContextInfo&>(*context).GetCurrentSurface()->GetImage();
  EXPECT_TRUE(ImagesMatch(drawn, QZTest::ReferenceImage("SkinnedControlTree.png"), 2, QZ_CONTROL_BASE_TEST_OUTPUT));
}

} // namespace
} // namespace QZ
