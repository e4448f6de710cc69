#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "QZFramework/ControlBase/ControlCreate.h"
#include "QZFramework/ControlBase/ControlDescriptor.h"
#include "QZFramework/ControlBase/ControlFactory.h"
#include "QZFramework/ControlBase/LookDescriptor.h"
#include "QZFramework/ControlBase/StringTable.h"
#include "QZFramework/Controls/Label.h"
#include "QZFramework/Renderer/AutoClip.h"
#include "QZFramework/Renderer/Gdi/GDIRenderer.h"
#include "Support/FakeControlApplication.h"
#include "Support/FakeRootWindow.h"
#include "Support/FixedAdvanceMeasurer.h"
#include "Support/FontconfigInit.h"
#include "Support/StringPrinter.h"
#include "Support/TempFolder.h"

namespace QZ {
namespace {

// A panel for labels: its entry has no looks.
class Panel : public LControl {
public:
  Panel() : LControl(nullptr, u"panel") {}
};

// A label entry 50 wide whose text area is the whole label, with the fixed-advance font
// and these create parameters.
RCPtr<LControlDescriptor> LabelEntry(LStringTable::Entries params) {
  RCPtr<LVisualPartDescriptor> white(new LVisualPartDescriptor(
      u"white", {}, ResizeType::Stretch,
      RCPtr<LColorizer>(new LColorizer(u"white", ColorizerType::SolidFill, ColorT<float>::FromARGB(0xFFFFFFFF))),
      {1, 1}, 1.0f, {}));
  RCPtr<LLookDescriptor> look(new LLookDescriptor(u"label"));
  look->SetClientPart(RCPtr<LDockedPart>(new LDockedPart(white, LDockedPart::ClientDock(0, 0, 0, 0))));
  look->SetTextProperties(TextProperties{0.0f, 0, 1.0f, 0, 0.0f, 0.0f, 0, 1.0f, 0, 0.0f}, white);
  RCPtr<LLookList> looks = MakeLookList(1);
  looks->GetAt(0) = look;
  const RCPtr<LFont> font = QZTest::FixedAdvanceFont();
  SkinFont skinFont;
  skinFont.name = font->GetFaceName();
  skinFont.size = font->GetSize();
  skinFont.style = font->GetStyle();
  RCPtr<LControlDescriptor> entry(new LControlDescriptor(u"Framework.Label", u"label", nullptr));
  entry->SetSkin(RCPtr<LSkinDescriptor>(new LSkinDescriptor(u"label", skinFont, looks)));
  RCPtr<LLayoutDescriptor> layout = LLayoutDescriptor::Create();
  layout->size[0].abs = 50.0;
  entry->SetLayout(layout);
  entry->SetCreateParams(LStringTable::Create(std::move(params)));
  return entry;
}

TEST(LabelTest, ALabelNeverTakesTheFocusAndShowsItsTextWhenCutOff) {
  QZTest::ScopedFixedAdvanceMeasurer measuring;
  QZTest::FakeControlApplication application;
  application.measurer = RCPtr<LMeasurementRenderer>(&*measuring);
  const RCPtr<LControl> panel(new Panel);

  const RCPtr<LControl> label = CreateControlOf<LLabel>(
      panel, LabelEntry({{u"LABEL", u"abcdefghij"}, {u"TOOLTIP", u"The preset's name"}, {u"NOT_FOCUSABLE", u"false"}}));
  ASSERT_TRUE(label);
  EXPECT_EQ(label->GetText(), WString(u"abcdefghij"));
  EXPECT_FALSE(label->IsFocusable());
  EXPECT_TRUE(label->IsFocusDelegated(false));                // marked not focusable
  EXPECT_EQ(label->GetToolTipText(), WString(u"abcdefghij")); // 70 pixels in 50

  EXPECT_EQ(label->SetText(u"abcdefg"), QZ_OK); // 49 pixels: it fits
  EXPECT_EQ(label->GetToolTipText(), WString(u"The preset's name"));
  label->Detach();
}

// A skin of one 120 x 40 label: white paper, black ink, its text box inset 4 from the sides
// and at the given top and bottom offsets, aligned vertically by vAlign.
std::string OneLabelSkin(int top, int bottom, const char* vAlign, const char* label) {
  return std::string(R"(<?xml version="1.0" encoding="UTF-8"?>
<Vandrel_Skin_Definitions><Application Name="PresetEditor">
  <Colorizers>
    <Colorizer Name="Paper" ColorType="SolidFill" Color="FFFFFFFF"/>
    <Colorizer Name="Ink" ColorType="SolidFill" Color="FF000000"/>
  </Colorizers>
  <Parts>
    <Part Name="paper" Width="1" Height="1" ResizeType="Stretch" ColorizerName="Paper"/>
    <Part Name="ink" Width="1" Height="1" ResizeType="Stretch" ColorizerName="Ink"/>
  </Parts>
  <Looks><Look Name="text">
    <ClientPart Name="paper" OffsetLeft="0" OffsetTop="0" OffsetRight="0" OffsetBottom="0"/>
    <TextProperties TextLeftRel="0" TextLeftAbs="4" TextRightRel="1" TextRightAbs="-4" TextHAlign="0"
                    TextTopRel="0" TextTopAbs=")") +
         std::to_string(top) + R"(" TextBottomRel="1" TextBottomAbs=")" + std::to_string(bottom) + R"(" TextVAlign=")" +
         vAlign + R"(" TextForegroundPart="ink"/>
  </Look></Looks>
  <LookLists><LookList Name="text" NumLooks="1"><Look Name="text" Index="0"/></LookList></LookLists>
  <Skins><Skin Name="Test" FontName="Liberation Sans" FontSize="10">
    <SubControl Class="Framework.Label" Name="label" XSizeAbs="120" YSizeAbs="40">
      <Skin Name="Test" LookList="text"/>
      <CreateParamList><CreateParam ID="LABEL" Type="String">)" +
         label + R"(</CreateParam></CreateParamList>
    </SubControl>
  </Skin></Skins>
</Application></Vandrel_Skin_Definitions>
)";
}

// The rows of a label's painting that hold ink: the first and the last, -1 when none does.
struct InkedRows {
  int first = -1;
  int last = -1;
};

// The label of a one-label skin read from a file, painted (its text measured by the
// renderer that paints it) on white.
InkedRows PaintedLabelRows(const std::string& skin) {
  QZTest::TempFolder folder;
  const RCPtr<LGDIRenderer> renderer(new LGDIRenderer);
  LFont::SetMeasurementRendererSource([renderer] { return RCPtr<LMeasurementRenderer>(renderer); });
  QZTest::FakeControlApplication application;
  application.measurer = renderer;
  const RCPtr<QZTest::FakeRootWindow> window(new QZTest::FakeRootWindow);
  application.rootWindows.push_back(window);
  application.factory = RCPtr<LControlFactory>(new LControlFactory());
  application.factory->RegisterControlCreateFunction(u"Framework.Label", &CreateControlOf<LLabel>);
  folder.Write("Skins.xml", skin);
  EXPECT_EQ(application.factory->LoadSkins(folder.Wide("Skins.xml")), QZ_OK);
  const RCPtr<LControl> label = application.factory->CreateControlByName(u"label", window);
  InkedRows rows;
  if (!label) {
    ADD_FAILURE() << "no label";
    LFont::SetMeasurementRendererSource({});
    return rows;
  }
  EXPECT_EQ(label->GetRect(), (RectT<double>{0, 0, 120, 40}));

  RCPtr<LRenderContextInfo> context;
  EXPECT_EQ(renderer->InitRenderContextInfo({0, 0, 120, 40}, nullptr, true, context), QZ_OK);
  context->GetUpdateRegion().AddRect({0, 0, 120, 40});
  renderer->RenderStart(context);
  RCPtrArray<LControl, 1, 0> deferred;
  {
    const RectT<double> frame{0, 0, 120, 40};
    CAutoClip clip(renderer, frame, frame, nullptr);
    EXPECT_EQ(label->Paint(renderer, context->GetUpdateRegion(), deferred, false), QZ_OK);
  }
  renderer->RenderFinish(context);
  const Platform::Graphics::Image& drawn =
      *dynamic_cast<LGDIRenderContextInfo&>(*context).GetCurrentSurface()->GetImage();
  for (int y = 0; y < 40; ++y) {
    for (int x = 0; x < 120; ++x) {
      Platform::Graphics::Color color;
      (void)drawn.GetPixel(x, y, color); // inside the image
      if ((color.argb & 0xFF) < 0x80) {
        rows.first = rows.first < 0 ? y : rows.first;
        rows.last = y;
      }
    }
  }
  window->InstallRootControl(nullptr);
  LFont::SetMeasurementRendererSource({});
  return rows;
}

// The text box of a label's look is read from the skin, each edge from its own offset: the
// text lies inside the box and against the edge its alignment names, the bottom offset
// placing it as the top offset does.
TEST(LabelTest, ALabelsTextLiesInTheBoxItsSkinsOffsetsGive) {
  struct Case {
    int top, bottom;
    const char* vAlign;
    int boxTop, boxBottom; // the box's rows in the 40 of the label
  };
  for (const Case& c :
       {Case{4, -16, "1", 4, 24}, Case{14, -2, "0", 14, 38}, Case{-6, -20, "0.5", -6, 20}, Case{8, -8, "0.5", 8, 32}}) {
    SCOPED_TRACE(std::to_string(c.top) + " " + std::to_string(c.bottom) + " " + c.vAlign);
    const InkedRows rows = PaintedLabelRows(OneLabelSkin(c.top, c.bottom, c.vAlign, "Hg"));
    ASSERT_GE(rows.first, 0) << "no text drawn";
    EXPECT_GE(rows.first, std::max(c.boxTop, 0));
    EXPECT_LT(rows.last, c.boxBottom);
    // Against the named edge (the ink of "Hg" starts below its line's top and ends above
    // its bottom by a few pixels); centred, its middle is the box's.
    if (std::string(c.vAlign) == "0") {
      EXPECT_LE(rows.first, c.boxTop + 5);
    } else if (std::string(c.vAlign) == "1") {
      EXPECT_GE(rows.last, c.boxBottom - 5);
    } else {
      EXPECT_NEAR((rows.first + rows.last + 1) / 2, (c.boxTop + c.boxBottom) / 2, 3);
    }
  }
  // With no text the box shows nothing but the look's fill.
  EXPECT_EQ(PaintedLabelRows(OneLabelSkin(4, -16, "1", "")).first, -1);
}

} // namespace
} // namespace QZ
