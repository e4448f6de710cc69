#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "FactoryTestSupport.h"
#include "QZFramework/ControlBase/Look.h"
#include "Support/CommaDecimalLocale.h"
#include "Support/StringPrinter.h"
#include "Support/TempFolder.h"

namespace QZ {
namespace {

using QZTest::FixtureDocuments;
using QZTest::FixtureFolder;
using QZTest::InMemoryDocuments;
using QZTest::LoadSkinText;
using QZTest::SkinDocument;

constexpr char16_t kBadSubControlText[] =
    u"Runtime Error : Bad Subcontrol Element : "
    u"QZ::LControlFactory::XMLStartElement : ControlBase\\ControlFactory : Line 1089";

// A skin with one top-level control of the given name.
std::string OneControlSkin(const std::string& name) {
  return SkinDocument(R"(<Skins><Skin Name="S"><SubControl Class="C" Name=")" + name + R"("/></Skin></Skins>)");
}

// --- Fetching ---------------------------------------------------------------------------

TEST(SkinLoaderTest, AResourcePathNamesTheQzxmlDocumentOfTheUpperCasedRest) {
  InMemoryDocuments documents;
  documents.Add("APP_SKINS", OneControlSkin("fromDocument"))
      .Add("APP_SKINS", OneControlSkin("fromImage"), "GDIPLUS")
      .Add("SKINS_XML", OneControlSkin("fromSkinsXml"));
  struct Case {
    const char16_t* path;
    const char16_t* control; // null: the load fails
  };
  const Case cases[] = {
      {u"::APP_SKINS", u"fromDocument"},
      {u"::app_skins", u"fromDocument"},
      {u"::skins.xml", u"fromSkinsXml"},
      {u"::Skins xml", u"fromSkinsXml"},
      {u"::SKINS", nullptr},
      {u"APP_SKINS", nullptr},
      {u"::", nullptr},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(WString(c.path).ToUTF8().GetBuffer());
    RCPtr<LControlFactory> factory(new LControlFactory(documents.Module()));
    const QZResult result = factory->LoadSkins(c.path);
    if (c.control) {
      EXPECT_EQ(result, QZ_OK);
      EXPECT_TRUE(factory->FindControlDescriptor(c.control));
      EXPECT_EQ(factory->GetSkinCount(), 1u);
    } else {
      EXPECT_EQ(result, QZ_E_FAIL);
      EXPECT_EQ(factory->GetSkinCount(), 0u);
    }
  }
}

TEST(SkinLoaderTest, AMissingOrEmptyDocumentFailsWithoutBeingParsed) {
  QZTest::TempFolder folder;
  folder.Write("empty.xml", "");
  const WString paths[] = {u"::MISSING",  u"::Empty.xml", folder.Wide("missing.xml"), folder.Wide("empty.xml"),
                           folder.Wide(), WString()};
  for (const WString& path : paths) {
    SCOPED_TRACE(path.ToUTF8().GetBuffer());
    RCPtr<LControlFactory> factory(new LControlFactory(FixtureDocuments()));
    EXPECT_EQ(factory->LoadSkins(path), QZ_E_FAIL);
    EXPECT_EQ(factory->GetSkinCount(), 0u);
    EXPECT_TRUE(factory->GetParseErrorText().IsEmpty());

    EXPECT_EQ(factory->LoadStringTables(path, path, 0x0409), QZ_OK);
    EXPECT_FALSE(factory->GetFrameworkStringTable());
    EXPECT_FALSE(factory->GetApplicationStringTable());
  }
}

TEST(SkinLoaderTest, FolderAndResourcesGiveOneSkinWithTheirOwnImagePaths) {
  for (const WString& folder : {WString(u"::"), FixtureFolder()}) {
    SCOPED_TRACE(folder.ToUTF8().GetBuffer());
    const WString prefix = folder == u"::" ? folder : folder + WString(u"/");
    RCPtr<LControlFactory> factory(new LControlFactory(FixtureDocuments()));
    ASSERT_EQ(factory->LoadResources(folder, 0x0409), QZ_OK);
    EXPECT_EQ(factory->GetSkinFolder(), prefix);
    EXPECT_EQ(factory->GetSkinCount(), 2u);
    EXPECT_EQ(factory->GetCurrentSkinIndex(), 0);
    EXPECT_EQ(factory->GetLoadLocale(), 0x0009u);

    // Image files are lower-cased, mask files keep their case.
    const RCPtr<LVisualPartDescriptor> frame = factory->FindPart(u"frame");
    ASSERT_TRUE(frame);
    EXPECT_EQ(frame->GetImage().path, prefix + WString(u"button_normal.png"));
    EXPECT_EQ(frame->GetImage().rect, (RectT<int32_t>{0, 8, 8, 8}));
    const RCPtr<LVisualPartDescriptor> fill = factory->FindPart(u"fill");
    ASSERT_TRUE(fill);
    EXPECT_TRUE(fill->GetImage().IsEmpty());
    EXPECT_EQ(fill->GetMask().path, prefix + WString(u"Mask_Round.png"));
    EXPECT_EQ(fill->GetMask().rect, (RectT<int32_t>{1, 2, 4, 4}));

    // The UTF-16 application document and the framework document were read.
    WString text;
    EXPECT_TRUE(LookupString(factory->GetApplicationStringTable().Get(), u"STATUS_READY", text));
    EXPECT_EQ(text, WString(u"Ready"));
    EXPECT_TRUE(LookupString(factory->GetFrameworkStringTable().Get(), u"CANCEL", text));
    EXPECT_EQ(text, WString(u"Cancel"));
  }
}

// --- Failures ---------------------------------------------------------------------------

TEST(SkinLoaderTest, ASubControlWithoutClassEndsTheReadKeepingWhatCameBefore) {
  for (const WString& path : {WString(u"::BadSubControl.xml"), FixtureFolder() + WString(u"/BadSubControl.xml")}) {
    SCOPED_TRACE(path.ToUTF8().GetBuffer());
    RCPtr<LControlFactory> factory(new LControlFactory(FixtureDocuments()));
    EXPECT_EQ(factory->LoadSkins(path), QZ_E_FAIL);
    EXPECT_EQ(factory->GetParseErrorText(), WString(kBadSubControlText));
    EXPECT_EQ(factory->GetParseErrorLine(), 7);
    EXPECT_TRUE(factory->FindControlDescriptor(u"first"));
    EXPECT_FALSE(factory->FindControlDescriptor(u"after"));
  }
  QZResult result = QZ_OK;
  const RCPtr<LControlFactory> factory =
      LoadSkinText(SkinDocument(R"(<Skins><Skin Name="S"><SubControl Class="C"/></Skin></Skins>)"), &result);
  EXPECT_EQ(result, QZ_E_FAIL);
  EXPECT_EQ(factory->GetParseErrorText(), WString(kBadSubControlText));
}

TEST(SkinLoaderTest, AMalformedDocumentFailsWithExpatsTextAndLineAndKeepsWhatWasRead) {
  const std::string cut = "<Root>\n<Application Name=\"PresetEditor\"/>\n<Skins><Skin Name=\"S\">\n"
                          "<SubControl Class=\"C\" Name=\"kept\"/>\n<SubControl Cla";
  QZResult result = QZ_OK;
  RCPtr<LControlFactory> factory = LoadSkinText(cut, &result);
  EXPECT_EQ(result, QZ_E_FAIL);
  EXPECT_EQ(factory->GetParseErrorText(), WString(u"unclosed token"));
  EXPECT_EQ(factory->GetParseErrorLine(), 5);
  EXPECT_TRUE(factory->FindControlDescriptor(u"kept"));

  // A second document that is no XML leaves the first one's skin as it was.
  const std::string notXml = "Skins";
  EXPECT_EQ(factory->Parse(notXml.data(), notXml.size()), QZ_E_FAIL);
  EXPECT_EQ(factory->GetParseErrorText(), WString(u"syntax error"));
  EXPECT_EQ(factory->Parse(nullptr, 0), QZ_E_FAIL);
  EXPECT_EQ(factory->GetParseErrorText(), WString(u"no element found"));
  EXPECT_EQ(factory->GetSkinCount(), 1u);
  EXPECT_TRUE(factory->FindControlDescriptor(u"kept"));
}

// --- Values -----------------------------------------------------------------------------

TEST(SkinLoaderTest, AttributeValuesFollowTheirSyntaxWhateverTheLocale) {
  QZTest::CommaDecimalLocale locale;
  ASSERT_TRUE(locale.Active()) << "a locale with a decimal comma is needed (package locales)";

  using Check =
      std::function<void(const LControlFactory&, const LLayoutDescriptor& holder, const LLayoutDescriptor& probe)>;
  struct Case {
    const char* definitions;
    const char* holderAttributes;
    const char* probeAttributes;
    Check check;
  };
  const ColorT<float> none{};
  const Case cases[] = {
      {"", "", R"(LayoutOrder="0x10")", [](auto&, auto&, auto& p) { EXPECT_EQ(p.layoutOrder, 16); }},
      {"", "", R"(LayoutOrder="0x")", [](auto&, auto&, auto& p) { EXPECT_EQ(p.layoutOrder, 0); }},
      {"", "", R"(LayoutOrder="0x12345")", [](auto&, auto&, auto& p) { EXPECT_EQ(p.layoutOrder, 0x1234); }},
      {"", "", R"(LayoutOrder="0X10")", [](auto&, auto&, auto& p) { EXPECT_EQ(p.layoutOrder, 0); }},
      {"", "", R"(LayoutOrder=" -7")", [](auto&, auto&, auto& p) { EXPECT_EQ(p.layoutOrder, -7); }},
      {"", "", R"(ClipToParent="true")", [](auto&, auto&, auto& p) { EXPECT_FALSE(p.clipToParent); }},
      {"", "", R"(ClipToParent="True")", [](auto&, auto&, auto& p) { EXPECT_TRUE(p.clipToParent); }},
      {"", "", R"(XPositionAbs="10.5")", [](auto&, auto&, auto& p) { EXPECT_EQ(p.position[0].abs, 10.0); }},
      {"", "", R"(XPositionRel="0.5" YPlacementAnchor="1e0")",
       [](auto&, auto&, auto& p) {
         EXPECT_EQ(p.position[0].rel, 0.5f);
         EXPECT_EQ(p.position[1].anchor, 1.0f);
       }},
      {"", "", R"(XSizeToControl="Self")", [](auto&, auto&, auto& p) { EXPECT_EQ(p.size[0].kind, kSizeToSelf); }},
      {"", "", R"(XSizeToControl="corner" YSizeToControl="Active Window")",
       [](auto&, auto&, auto& p) {
         EXPECT_EQ(p.size[0].kind, kSizeToSibling);
         EXPECT_EQ(p.size[0].name, WString(u"corner"));
         EXPECT_EQ(p.size[1].kind, kSizeToClient);
         EXPECT_TRUE(p.size[1].name.IsEmpty());
       }},
      {"", "", R"(XPositionToControl="corner" YPositionToControl="Screen")",
       [](auto&, auto&, auto& p) {
         EXPECT_EQ(p.position[0].kind, kPositionToSibling);
         EXPECT_EQ(p.position[0].name, WString(u"corner"));
         EXPECT_EQ(p.position[1].kind, kPositionToParent);
       }},
      {"", "", R"(XMinSizeToControl="Children" YMaxSizeToControl="Self" YMaxSizeAbs="30")",
       [](auto&, auto&, auto& p) {
         EXPECT_EQ(p.minimum[0], (LayoutLimit{true, u"Children", 0.0f, 0.0}));
         EXPECT_EQ(p.maximum[1], (LayoutLimit{false, {}, 0.0f, 30.0}));
       }},
      {"", "", R"(TextOverflowXType="Wrap" TextOverflowYType="Wrap")",
       [](auto&, auto&, auto& p) {
         EXPECT_EQ(p.textOverflowX, kTextOverflowWrap);
         EXPECT_EQ(p.textOverflowY, kTextOverflowClip);
       }},
      // A skin's top-level controls read neither IsVisible nor TabStop; deeper ones do.
      {"", R"(IsVisible="False" TabStop="-3")", R"(IsVisible="False" TabStop="-3")",
       [](auto&, auto& h, auto& p) {
         EXPECT_TRUE(h.isVisible);
         EXPECT_EQ(h.tabStop, 0);
         EXPECT_FALSE(p.isVisible);
         EXPECT_EQ(p.tabStop, -3);
       }},
      {R"(<Colorizer Name="K" ColorType="SolidFill" Color="FF0000"/>)", "", "",
       [](auto& f, auto&, auto&) {
         EXPECT_EQ(f.FindColorizer(u"K")->GetColor(), (ColorT<float>{1, 0, 0, 0}));
       }},
      {R"(<Colorizer Name="K" ColorType="SolidFill" Color="80FF0000"/>)", "", "",
       [](auto& f, auto&, auto&) {
         EXPECT_EQ(f.FindColorizer(u"K")->GetColor(), (ColorT<float>{1, 0, 0, 128.0f / 255.0f}));
       }},
      {R"(<Colorizer Name="K" ColorType="SolidFill" Color="12345"/>)", "", "",
       [none](auto& f, auto&, auto&) { EXPECT_EQ(f.FindColorizer(u"K")->GetColor(), none); }},
      {R"(<Colorizer Name="K" ColorType="LinearGradient" Color="FF000000" GradientEndColor="FFFFFFFF"
                     GradientStartX="0" GradientStartY="0.25" GradientEndX="1" GradientEndY="1"/>
          <Colorizer Name="L" ColorType="RadialGradient" Color="FF000000" GradientEndColor="FFFFFFFF"
                     GradientStartX="0" GradientStartY="0" GradientEndX="1"/>)",
       "", "",
       [](auto& f, auto&, auto&) {
         EXPECT_EQ(f.FindColorizer(u"K")->GetType(), ColorizerType::LinearGradient);
         EXPECT_EQ(f.FindColorizer(u"K")->GetGradientStart(), (PointT<float>{0.0f, 0.25f}));
         EXPECT_EQ(f.FindColorizer(u"L")->GetType(), ColorizerType::SolidFill); // one gradient value missing
       }},
      {R"(<Colorizer Name="K" ColorType="SolidFill" Color="FF000000"/>
          <Part Name="P" Width="2" Height="0x3" ResizeType="tile" ColorizerName="K"/>
          <Part Name="Q" Width="2" Height="2" ResizeType="Center" ColorizerName="K"/>
          <Part Name="none" Width="2" Height="2" ResizeType="Tile" ColorizerName="unknown"/>)",
       "", "",
       [](auto& f, auto&, auto&) {
         EXPECT_EQ(f.FindPart(u"P")->GetResizeType(), ResizeType::Stretch);
         EXPECT_EQ(f.FindPart(u"P")->GetSize(), (SizeT<int32_t>{2, 3}));
         EXPECT_EQ(f.FindPart(u"P")->GetAlphaModifier(), 1.0f);
         EXPECT_EQ(f.FindPart(u"Q")->GetResizeType(), ResizeType::Center);
         EXPECT_FALSE(f.FindPart(u"none")); // neither an image nor a colorizer
       }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.definitions) + c.holderAttributes + " / " + c.probeAttributes);
    const std::string document =
        SkinDocument(std::string("<Colorizers><Parts>") + c.definitions +
                     R"(</Parts></Colorizers><Skins><Skin Name="S"><SubControl Class="C" Name="holder" )" +
                     c.holderAttributes + R"(><Skin Name="h"><SubControl Class="C" Name="probe" )" + c.probeAttributes +
                     "/></Skin></SubControl></Skin></Skins>");
    QZResult result = QZ_E_FAIL;
    const RCPtr<LControlFactory> factory = LoadSkinText(document, &result);
    ASSERT_EQ(result, QZ_OK) << factory->GetParseErrorText().ToUTF8().GetBuffer();
    const RCPtr<LControlDescriptor> holder = factory->FindControlDescriptor(u"holder");
    ASSERT_TRUE(holder);
    ASSERT_EQ(holder->GetChildren().GetCount(), 1u);
    c.check(*factory, *holder->GetLayout(), *holder->GetChildren().GetAt(0)->GetLayout());
  }
}

// --- Structure --------------------------------------------------------------------------

TEST(SkinLoaderTest, TheFixtureSkinBecomesItsDescriptors) {
  RCPtr<LControlFactory> factory(new LControlFactory(FixtureDocuments()));
  ASSERT_EQ(factory->LoadSkins(u"::APP_SKINS"), QZ_OK);
  EXPECT_EQ(factory->GetApplicationName(), WString(u"PresetEditor"));

  const RCPtr<LColorizer> fade = factory->FindColorizer(u"Fade");
  ASSERT_TRUE(fade);
  EXPECT_EQ(fade->GetGradientEndColor(), (ColorT<float>{1, 1, 1, 1}));
  EXPECT_EQ(fade->GetGradientEnd(), (PointT<float>{0, 1}));
  const RCPtr<LVisualPartDescriptor> fill = factory->FindPart(u"fill");
  EXPECT_EQ(fill->GetColorizer().Get(), factory->FindColorizer(u"Red").Get());
  EXPECT_EQ(fill->GetAlphaModifier(), 0.5f);
  EXPECT_EQ(fill->GetResizeType(), ResizeType::Tile);

  const RCPtr<LLookDescriptor> normal = factory->FindLook(u"buttonNormal");
  ASSERT_TRUE(normal && normal->GetClientPart());
  EXPECT_EQ(normal->GetClientPart()->GetPart().Get(), fill.Get());
  EXPECT_EQ(normal->GetClientPart()->GetDock(), LDockedPart::ClientDock(2, 3, -2, -4));
  ASSERT_EQ(normal->GetNonClientParts().GetCount(), 2u);
  const LDockedPart::Dock top{LDockedPart::kOffsetLeft | LDockedPart::kOffsetRight, 0, 0, 0, 0, false, 0, true, 3};
  EXPECT_EQ(normal->GetNonClientParts().GetAt(0)->GetDock(), top);
  const LDockedPart::Dock bottom{LDockedPart::kOffsetBottom, 0, 0, 0, 0, false, 0, false, 0}; // Width 0 counts not
  EXPECT_EQ(normal->GetNonClientParts().GetAt(1)->GetDock(), bottom);
  ASSERT_TRUE(normal->HasTextProperties());
  EXPECT_EQ(normal->GetTextProperties(), (TextProperties{0, 4, 1, -4, 0.5f, 0, 0, 1, 0, 0.5f}));
  EXPECT_EQ(normal->GetTextPart().Get(), factory->FindPart(u"text").Get());

  const RCPtr<LLookList> button = factory->FindLookList(u"button");
  ASSERT_TRUE(button);
  ASSERT_EQ(button->GetCount(), 3u);
  EXPECT_EQ(button->GetAt(0).Get(), normal.Get());
  EXPECT_EQ(button->GetAt(2).Get(), factory->FindLook(u"buttonHover").Get());

  const RCPtr<LControlDescriptor> main = factory->FindControlDescriptor(u"mainControl");
  ASSERT_TRUE(main);
  EXPECT_EQ(main->GetClass(), WString(u"PresetEditor.MainControl"));
  EXPECT_EQ(main->GetParent(), factory->GetSkins().GetAt(0).Get());
  EXPECT_EQ(main->GetLayout()->size[0].abs, 800.0);
  WString value;
  EXPECT_TRUE(LookupString(main->GetCreateParams().Get(), u"INITIAL_VALUE", value));
  EXPECT_EQ(value, WString(u"2"));
  ASSERT_TRUE(main->GetSkin());
  EXPECT_EQ(main->GetSkin()->GetName(), WString(u"HighDPI"));
  EXPECT_EQ(main->GetSkin()->GetLookList().Get(), button.Get());
  EXPECT_EQ(main->GetSkin()->GetFont(), (SkinFont{false, false, u"Arial", 12.0f, 1}));
  ASSERT_EQ(main->GetChildren().GetCount(), 2u);
  EXPECT_EQ(main->GetChildren().GetAt(0)->GetName(), WString(u"title"));
  EXPECT_EQ(main->GetChildren().GetAt(1)->GetName(), WString(u"send"));
  EXPECT_EQ(main->GetChildren().GetAt(1)->GetParent(), main.Get());
  EXPECT_EQ(main->GetChildren().GetAt(0)->GetSkin()->GetFont(), SkinFont{});

  const RCPtr<LControlDescriptor> root = factory->GetSkins().GetAt(1);
  EXPECT_EQ(root->GetClass(), WString(u"Application"));
  EXPECT_EQ(root->GetName(), WString(u"PresetEditor"));
  EXPECT_EQ(root->GetSkin()->GetFont(), (SkinFont{false, false, u"Arial", 8.25f, -1}));
  EXPECT_FALSE(root->GetLayout());
}

// Each edge of a look's text box comes from its own pair of values, negative ones too: a
// look whose bottom offset is not its top's places its text by the bottom one.
TEST(SkinLoaderTest, EachEdgeOfALooksTextBoxIsReadFromItsOwnOffsets) {
  const auto look = [](const char* name, const char* left, const char* right, const char* top, const char* bottom) {
    return std::string(R"(<Look Name=")") + name + R"("><TextProperties )" + left + " " + right + " " + top + " " +
           bottom + R"( TextHAlign="0" TextVAlign="0.5" TextForegroundPart="ink"/></Look>)";
  };
  const std::string document = SkinDocument(
      R"(<Colorizer Name="K" ColorType="SolidFill" Color="FF000000"/>
      <Part Name="ink" Width="1" Height="1" ResizeType="Stretch" ColorizerName="K"/><Looks>)" +
      look("inset", R"(TextLeftRel="0" TextLeftAbs="16")", R"(TextRightRel="1" TextRightAbs="-16")",
           R"(TextTopRel="0" TextTopAbs="8")", R"(TextBottomRel="1" TextBottomAbs="-8")") +
      look("negative", R"(TextLeftRel="0" TextLeftAbs="-3")", R"(TextRightRel="1" TextRightAbs="-7")",
           R"(TextTopRel="0" TextTopAbs="-2")", R"(TextBottomRel="1" TextBottomAbs="-11")") +
      look("relative", R"(TextLeftRel="0.5" TextLeftAbs="-10")", R"(TextRightRel="0.5" TextRightAbs="10")",
           R"(TextTopRel="0.25" TextTopAbs="1")", R"(TextBottomRel="0.75" TextBottomAbs="5")") +
      "</Looks>");
  QZResult result = QZ_E_FAIL;
  const RCPtr<LControlFactory> factory = LoadSkinText(document, &result);
  ASSERT_EQ(result, QZ_OK);
  const struct {
    const char16_t* name;
    RectT<int32_t> box; // in a look of 100 x 40
  } cases[] = {
      {u"inset", {16, 8, 68, 24}},
      {u"negative", {-3, -2, 96, 31}},
      {u"relative", {40, 11, 20, 24}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(WString(c.name).ToUTF8().GetBuffer());
    const RCPtr<LLookDescriptor> descriptor = factory->FindLook(c.name);
    ASSERT_TRUE(descriptor && descriptor->HasTextProperties());
    const RCPtr<LLook> placed = LLook::Create(descriptor, false);
    placed->SetSize({100, 40});
    const RectT<int32_t>& box = c.box;
    EXPECT_EQ(placed->GetTextRect(100, 40),
              (RectT<float>{float(box.x), float(box.y), float(box.width), float(box.height)}));
    EXPECT_EQ(placed->GetTextBlockRect(), c.box) << "with no text set";
  }
}

TEST(SkinLoaderTest, FirstDefinitionsStayAndBrokenReferencesArePassedOver) {
  const std::string document = SkinDocument(R"(
      <Colorizer Name="K" ColorType="SolidFill" Color="FFFF0000"/>
      <Colorizer Name="K" ColorType="SolidFill" Color="FF00FF00"/>
      <Part Name="P" Width="1" Height="1" ResizeType="Stretch" ColorizerName="K"/>
      <Part Name="P" Width="9" Height="9" ResizeType="Tile" ColorizerName="K"/>
      <ClientPart Name="P" OffsetLeft="0" OffsetTop="0" OffsetRight="0" OffsetBottom="0"/>
      <Looks>
        <Look Name="A"><ClientPart Name="P" OffsetLeft="1" OffsetTop="1" OffsetRight="1" OffsetBottom="1"/></Look>
        <Look Name="A"><ClientPart Name="P" OffsetLeft="2" OffsetTop="2" OffsetRight="2" OffsetBottom="2"/></Look>
        <Look Name="B">
          <ClientPart Name="unknown" OffsetLeft="0" OffsetTop="0" OffsetRight="0" OffsetBottom="0"/>
          <ClientPart Name="P" OffsetLeft="0" OffsetTop="0" OffsetRight="0"/>
          <NonClientPart Name="unknown"/>
          <TextProperties TextLeftRel="0" TextLeftAbs="4" TextRightRel="1" TextRightAbs="-4" TextHAlign="0.5"
                          TextTopRel="0" TextTopAbs="0" TextBottomRel="1" TextBottomAbs="0" TextVAlign="0.5"
                          TextForegroundPart="unknown"/>
        </Look>
      </Looks>
      <Look Name="A" Index="0"/>
      <LookLists>
        <LookList Name="L" NumLooks="2"><Look Name="A" Index="0"/></LookList>
        <LookList Name="L" NumLooks="5"><Look Name="B" Index="1"/></LookList>
        <LookList Name="M" NumLooks="14">
          <Look Name="A" Index="20"/><Look Name="A" Index="-1"/><Look Name="A" Index="14"/>
          <Look Name="nope" Index="0"/><Look Name="B" Index="13"/>
        </LookList>
        <LookList Name="negative" NumLooks="-3"/>
        <LookList Name="huge" NumLooks="1000000000"/>
      </LookLists>)");
  QZResult result = QZ_E_FAIL;
  const RCPtr<LControlFactory> factory = LoadSkinText(document, &result);
  ASSERT_EQ(result, QZ_OK);

  EXPECT_EQ(factory->FindColorizer(u"K")->GetColor().red, 1.0f);
  EXPECT_EQ(factory->FindPart(u"P")->GetSize(), (SizeT<int32_t>{1, 1}));
  EXPECT_EQ(factory->FindPart(u"P")->GetColorizer().Get(), factory->FindColorizer(u"K").Get());
  EXPECT_EQ(factory->FindLook(u"A")->GetClientPart()->GetDock().offsetLeft, 1);
  const RCPtr<LLookDescriptor> b = factory->FindLook(u"B");
  EXPECT_FALSE(b->GetClientPart());
  EXPECT_EQ(b->GetNonClientParts().GetCount(), 0u);
  EXPECT_FALSE(b->HasTextProperties());
  EXPECT_FALSE(b->GetTextPart());

  const RCPtr<LLookList> l = factory->FindLookList(u"L");
  ASSERT_EQ(l->GetCount(), 2u);
  EXPECT_EQ(l->GetAt(0).Get(), factory->FindLook(u"A").Get());
  EXPECT_FALSE(l->GetAt(1));
  const RCPtr<LLookList> m = factory->FindLookList(u"M");
  ASSERT_EQ(m->GetCount(), 14u);
  for (uint32_t i = 0; i < 13; ++i) {
    EXPECT_FALSE(m->GetAt(i)) << i;
  }
  EXPECT_EQ(m->GetAt(13).Get(), b.Get());
  EXPECT_EQ(factory->FindLookList(u"negative")->GetCount(), 0u);
  EXPECT_EQ(factory->FindLookList(u"huge")->GetCount(), 256u);
}

// An entry at an index the list has no slot for (-1, the count, the count + 1) is passed
// over: the list keeps its slots as they were, and nothing beyond them holds the look once
// the factory is gone.
TEST(SkinLoaderTest, ALookEntryJustOutsideItsListIsPassedOver) {
  for (const int count : {0, 1, 2, 14}) {
    SCOPED_TRACE(count);
    std::string entries;
    for (const int index : {count + 1, -1, count}) {
      entries += R"(<Look Name="A" Index=")" + std::to_string(index) + R"("/>)";
    }
    if (count > 0) {
      entries += R"(<Look Name="B" Index=")" + std::to_string(count - 1) + R"("/>)";
    }
    const std::string document = SkinDocument(R"(<Looks><Look Name="A"/><Look Name="B"/></Looks>)"
                                              R"(<LookList Name="L" NumLooks=")" +
                                              std::to_string(count) + "\">" + entries + "</LookList>");
    QZResult result = QZ_E_FAIL;
    RCPtr<LControlFactory> factory = LoadSkinText(document, &result);
    ASSERT_EQ(result, QZ_OK);
    const RCPtr<LLookList> list = factory->FindLookList(u"L");
    ASSERT_EQ(list->GetCount(), uint32_t(count));
    const RCPtr<LLookDescriptor> b = factory->FindLook(u"B");
    for (uint32_t i = 0; i < list->GetCount(); ++i) {
      EXPECT_EQ(list->GetAt(i).Get(), i + 1 == list->GetCount() ? b.Get() : nullptr) << i;
    }
    const RCPtr<LLookDescriptor> a = factory->FindLook(u"A");
    factory = nullptr;
    EXPECT_EQ(a->GetRefCount(), 1) << "the look is held by this test alone";
  }
}

TEST(SkinLoaderTest, ANameReferredToBeforeItsDefinitionIsFoundByTheReferencesAfterIt) {
  const std::string document = SkinDocument(R"(
      <Colorizer Name="K" ColorType="SolidFill" Color="FFFF0000"/>
      <Looks>
        <Look Name="early"><NonClientPart Name="late"/></Look>
      </Looks>
      <Part Name="late" Width="1" Height="1" ResizeType="Stretch" ColorizerName="K"/>
      <Looks>
        <Look Name="after"><NonClientPart Name="late"/><NonClientPart Name="late"/></Look>
      </Looks>
      <LookLists>
        <LookList Name="L" NumLooks="2"><Look Name="missing" Index="0"/><Look Name="after" Index="1"/></LookList>
      </LookLists>
      <Skins><Skin Name="S">
        <SubControl Class="C" Name="a"><Skin Name="s" LookList="M"/></SubControl>
        <SubControl Class="C" Name="b"><Skin Name="s" LookList="L"/></SubControl>
      </Skin></Skins>
      <LookLists><LookList Name="M" NumLooks="1"/></LookLists>
      <Skins><Skin Name="T"><SubControl Class="C" Name="c"><Skin Name="s" LookList="M"/></SubControl></Skin></Skins>)");
  QZResult result = QZ_E_FAIL;
  const RCPtr<LControlFactory> factory = LoadSkinText(document, &result);
  ASSERT_EQ(result, QZ_OK);

  EXPECT_EQ(factory->FindLook(u"early")->GetNonClientParts().GetCount(), 0u);
  const RCPtr<LLookDescriptor> after = factory->FindLook(u"after");
  ASSERT_EQ(after->GetNonClientParts().GetCount(), 2u);
  EXPECT_EQ(after->GetNonClientParts().GetAt(1)->GetPart().Get(), factory->FindPart(u"late").Get());
  const RCPtr<LLookList> list = factory->FindLookList(u"L");
  EXPECT_FALSE(list->GetAt(0));
  EXPECT_EQ(list->GetAt(1).Get(), after.Get());

  factory->SetCurrentSkinIndex(0);
  EXPECT_FALSE(factory->FindControlDescriptor(u"a")->GetSkin()->GetLookList());
  EXPECT_EQ(factory->FindControlDescriptor(u"b")->GetSkin()->GetLookList().Get(), list.Get());
  factory->SetCurrentSkinIndex(1);
  EXPECT_EQ(factory->FindControlDescriptor(u"c")->GetSkin()->GetLookList().Get(), factory->FindLookList(u"M").Get());
}

TEST(SkinLoaderTest, ASecondDocumentsReferencesFindTheFirstDocumentsDefinitionsOverItsOwn) {
  InMemoryDocuments documents;
  documents.Add("FIRST", SkinDocument(R"(<Colorizer Name="K" ColorType="SolidFill" Color="FFFF0000"/>
      <Part Name="P" Width="1" Height="1" ResizeType="Stretch" ColorizerName="K"/>
      <Looks><Look Name="A"><NonClientPart Name="P"/></Look></Looks>)"));
  documents.Add("SECOND", SkinDocument(R"(<Colorizer Name="K" ColorType="SolidFill" Color="FF00FF00"/>
      <Part Name="P" Width="7" Height="7" ResizeType="Tile" ColorizerName="K"/>
      <Looks><Look Name="A"/><Look Name="B"><NonClientPart Name="P"/></Look></Looks>
      <LookLists><LookList Name="L" NumLooks="2"><Look Name="A" Index="0"/><Look Name="B" Index="1"/></LookList>
      </LookLists>)"));
  const RCPtr<LControlFactory> factory(new LControlFactory(documents.Module()));
  ASSERT_EQ(factory->LoadSkins(u"::FIRST"), QZ_OK);
  const RCPtr<LVisualPartDescriptor> p = factory->FindPart(u"P");
  const RCPtr<LLookDescriptor> a = factory->FindLook(u"A");
  ASSERT_EQ(factory->LoadSkins(u"::SECOND"), QZ_OK);
  EXPECT_EQ(factory->FindColorizer(u"K")->GetColor().red, 1.0f);
  EXPECT_EQ(factory->FindPart(u"P").Get(), p.Get());
  EXPECT_EQ(factory->FindLook(u"B")->GetNonClientParts().GetAt(0)->GetPart().Get(), p.Get());
  EXPECT_EQ(factory->FindLookList(u"L")->GetAt(0).Get(), a.Get());
}

TEST(SkinLoaderTest, RecurringValuesShareOneTextAndUniqueOnesKeepTheirOwn) {
  std::string controls;
  for (int i = 0; i < 100; ++i) { // enough distinct values to grow the reader's tables
    controls += R"(<SubControl Class="Class)" + std::to_string(i % 2) + R"(" Name="n)" + std::to_string(i) +
                R"(" XPositionToControl="previous" FontName="Face)" + std::to_string(i) +
                R"("><Skin Name="s"/></SubControl>)";
  }
  QZResult result = QZ_E_FAIL;
  const RCPtr<LControlFactory> factory =
      LoadSkinText(SkinDocument(R"(<Skins><Skin Name="S">)" + controls + "</Skin></Skins>"), &result);
  ASSERT_EQ(result, QZ_OK);

  const RCPtr<LControlDescriptor> first = factory->FindControlDescriptor(u"n0");
  const RCPtr<LControlDescriptor> third = factory->FindControlDescriptor(u"n2");
  const RCPtr<LControlDescriptor> last = factory->FindControlDescriptor(u"n99");
  EXPECT_EQ(first->GetClass(), u"Class0");
  EXPECT_EQ(last->GetClass(), u"Class1");
  EXPECT_EQ(first->GetClass().GetBuffer(), third->GetClass().GetBuffer());
  EXPECT_EQ(first->GetLayout()->position[0].name.GetBuffer(), last->GetLayout()->position[0].name.GetBuffer());
  EXPECT_EQ(last->GetLayout()->position[0].name, u"previous");
  for (int i = 0; i < 100; i += 33) {
    const RCPtr<LControlDescriptor> control =
        factory->FindControlDescriptor(WString(("n" + std::to_string(i)).c_str()));
    EXPECT_EQ(control->GetName(), WString(("n" + std::to_string(i)).c_str()));
    ASSERT_TRUE(control->GetSkin());
    EXPECT_EQ(control->GetSkin()->GetFont().name, WString(("Face" + std::to_string(i)).c_str()));
  }
}

TEST(SkinLoaderTest, CreateParamsJoinTheirPiecesAndStayInsideTheirList) {
  const std::string document = SkinDocument(R"(
      <CreateParamList><CreateParam ID="STRAY">x</CreateParam></CreateParamList>
      <Skins><Skin Name="S">
        <SubControl Class="C" Name="c">
          <CreateParamList>
            <CreateParam ID="LABEL" Type="String">a &amp; b</CreateParam>
            <CreateParam ID="LABEL2">&#x263A;&#x263A;</CreateParam>
            <CreateParam ID="COUNT" Type="Integer">1</CreateParam>
            <CreateParam ID="COUNT" Type="Integer">2</CreateParam>
            <CreateParam ID="">ignored</CreateParam>
            <CreateParam>ignored</CreateParam>
          </CreateParamList>
          <CreateParam ID="LATE">y</CreateParam>
        </SubControl>
        <SubControl Class="C" Name="none"/>
      </Skin></Skins>)");
  QZResult result = QZ_E_FAIL;
  const RCPtr<LControlFactory> factory = LoadSkinText(document, &result);
  ASSERT_EQ(result, QZ_OK);
  const RCPtr<LStringTable> params = factory->FindControlDescriptor(u"c")->GetCreateParams();
  ASSERT_TRUE(params);
  const LStringTable::Entries expected{{u"LABEL", u"a & b"}, {u"LABEL2", u"\u263A\u263A"}, {u"COUNT", u"2"}};
  EXPECT_EQ(params->GetEntries(), expected);
  EXPECT_FALSE(factory->FindControlDescriptor(u"none")->GetCreateParams());
}

TEST(SkinLoaderTest, ACreateParamsTextEndsAtTheNextCreateParamAndGoesOnPastOtherElements) {
  const std::string document = SkinDocument(R"(<Skins><Skin Name="S">
        <SubControl Class="C" Name="c"><CreateParamList>
          <CreateParam ID="SPLIT">a<Note/>b &lt;c&gt;</CreateParam>
          <CreateParam ID="OUTER">x<CreateParam ID="INNER">y</CreateParam>z</CreateParam>
        </CreateParamList></SubControl>
      </Skin></Skins>)");
  QZResult result = QZ_E_FAIL;
  const RCPtr<LControlFactory> factory = LoadSkinText(document, &result);
  ASSERT_EQ(result, QZ_OK);
  const LStringTable::Entries expected{{u"SPLIT", u"ab <c>"}, {u"OUTER", u"x"}, {u"INNER", u"y"}};
  EXPECT_EQ(factory->FindControlDescriptor(u"c")->GetCreateParams()->GetEntries(), expected);
}

TEST(SkinLoaderTest, RepeatedTextsAreConvertedOnceAndStayApart) {
  const std::string document = SkinDocument(R"(<Skins><Skin Name="S">
        <SubControl Class="C" Name="c1"><Skin Name="Inner"/><CreateParamList>
          <CreateParam ID="A">x</CreateParam><CreateParam ID="B">True</CreateParam>
        </CreateParamList></SubControl>
        <SubControl Class="C" Name="c2"><Skin Name="Inner"/><CreateParamList>
          <CreateParam ID="A">x<Note/>y</CreateParam><CreateParam ID="B">True</CreateParam>
        </CreateParamList></SubControl>
        <SubControl Class="C" Name="c3"><Skin Name="Inner"/><CreateParamList>
          <CreateParam ID="A">x</CreateParam><CreateParam ID="B">1</CreateParam>
        </CreateParamList></SubControl>
      </Skin></Skins>)");
  QZResult result = QZ_E_FAIL;
  const RCPtr<LControlFactory> factory = LoadSkinText(document, &result);
  ASSERT_EQ(result, QZ_OK);
  const auto params = [&](const char16_t* name) {
    const RCPtr<LControlDescriptor> control = factory->FindControlDescriptor(name);
    return control && control->GetCreateParams() ? control->GetCreateParams()->GetEntries() : LStringTable::Entries();
  };
  // The second control's "x" grows by a later piece; the texts of the others stay.
  EXPECT_EQ(params(u"c1"), (LStringTable::Entries{{u"A", u"x"}, {u"B", u"True"}}));
  EXPECT_EQ(params(u"c2"), (LStringTable::Entries{{u"A", u"xy"}, {u"B", u"True"}}));
  EXPECT_EQ(params(u"c3"), (LStringTable::Entries{{u"A", u"x"}, {u"B", u"1"}}));
  EXPECT_EQ(params(u"c1").at(u"B").GetBuffer(), params(u"c2").at(u"B").GetBuffer()); // converted once
  const RCPtr<LControlDescriptor> first = factory->FindControlDescriptor(u"c1");
  const RCPtr<LControlDescriptor> last = factory->FindControlDescriptor(u"c3");
  ASSERT_TRUE(first->GetSkin() && last->GetSkin());
  EXPECT_EQ(last->GetSkin()->GetName(), u"Inner");
  EXPECT_EQ(first->GetSkin()->GetName().GetBuffer(), last->GetSkin()->GetName().GetBuffer());
}

TEST(SkinLoaderTest, ImageFilesAreLowerCasedWhateverTheirLetters) {
  QZResult result = QZ_E_FAIL;
  const RCPtr<LControlFactory> factory = LoadSkinText(
      SkinDocument("<Parts>"
                   R"(<Part Name="ascii" Width="1" Height="1" ResizeType="Tile" ImageFile="Icons/Big_Icon.PNG")"
                   R"( ImageLocX="0" ImageLocY="0"/>)"
                   "<Part Name=\"wide\" Width=\"1\" Height=\"1\" ResizeType=\"Tile\" ImageFile=\"\xC3\x84RGER.png\""
                   R"( ImageLocX="0" ImageLocY="0"/>)"
                   "</Parts>"),
      &result);
  ASSERT_EQ(result, QZ_OK);
  ASSERT_TRUE(factory->FindPart(u"ascii") && factory->FindPart(u"wide"));
  EXPECT_EQ(factory->FindPart(u"ascii")->GetImage().path, u"icons/big_icon.png");
  EXPECT_EQ(factory->FindPart(u"wide")->GetImage().path, u"\u00E4rger.png");
}

TEST(SkinLoaderTest, EachNestedSkinKeepsItsOwnNameWhenTheNamesChange) {
  const std::vector<std::u16string> names{u"A", u"AB", u"A", u"", u"\u00C4", u"\u00C4", u"\u00C4b", u"B", u"Bc"};
  std::string controls;
  for (size_t i = 0; i < names.size(); ++i) {
    controls += R"(<SubControl Class="C" Name="c)" + std::to_string(i) + R"("><Skin Name=")" +
                WString(names[i].c_str()).ToUTF8().GetBuffer() + R"("/></SubControl>)";
  }
  QZResult result = QZ_E_FAIL;
  const RCPtr<LControlFactory> factory =
      LoadSkinText(SkinDocument(R"(<Skins><Skin Name="S">)" + controls + "</Skin></Skins>"), &result);
  ASSERT_EQ(result, QZ_OK);
  for (size_t i = 0; i < names.size(); ++i) {
    const RCPtr<LControlDescriptor> control =
        factory->FindControlDescriptor(WString(("c" + std::to_string(i)).c_str()));
    ASSERT_TRUE(control && control->GetSkin()) << i;
    EXPECT_EQ(control->GetSkin()->GetName().View(), names[i]) << i;
  }
}

TEST(SkinLoaderTest, ChildrenSortByLayoutOrderExceptASkinsTopLevelControls) {
  const std::string document = SkinDocument(R"(<Skins><Skin Name="S">
      <SubControl Class="C" Name="p" LayoutOrder="3"><Skin Name="p">
        <SubControl Class="C" Name="a" LayoutOrder="3"/>
        <SubControl Class="C" Name="b" LayoutOrder="1"/>
        <SubControl Class="C" Name="c" LayoutOrder="3"/>
        <SubControl Class="C" Name="d"/>
        <SubControl Class="C" Name="e" LayoutOrder="0x1"/>
      </Skin></SubControl>
      <SubControl Class="C" Name="q" LayoutOrder="1"/>
    </Skin></Skins>)");
  const RCPtr<LControlFactory> factory = LoadSkinText(document);
  const auto names = [](const LControlDescriptor& parent) {
    WString joined;
    for (uint32_t i = 0; i < parent.GetChildren().GetCount(); ++i) {
      joined += parent.GetChildren().GetAt(i)->GetName();
    }
    return joined;
  };
  EXPECT_EQ(names(*factory->GetSkins().GetAt(0)), WString(u"pq"));
  EXPECT_EQ(names(*factory->FindControlDescriptor(u"p")), WString(u"dbeac"));
}

TEST(SkinLoaderTest, AfterASkinLoadTheFirstSkinIsCurrent) {
  RCPtr<LControlFactory> factory(new LControlFactory(FixtureDocuments()));
  ASSERT_EQ(factory->LoadSkins(u"::APP_SKINS"), QZ_OK);
  EXPECT_EQ(factory->GetCurrentSkinIndex(), 0);
  factory->SetCurrentSkinIndex(1);
  // A second document adds its skins after the first's.
  ASSERT_EQ(factory->LoadSkins(u"::APP_SKINS"), QZ_OK);
  EXPECT_EQ(factory->GetSkinCount(), 4u);
  EXPECT_EQ(factory->GetCurrentSkinIndex(), 0);
}

TEST(SkinLoaderTest, ElementsOutOfPlaceChangeNothing) {
  const std::string document = SkinDocument(R"(
      <SubControl Class="C" Name="outside"><Skin Name="x"><SubControl Class="C" Name="inner"/></Skin></SubControl>
      <Colorizer Name="K" ColorType="SolidFill" Color="FF000000"/>
      <Part Name="P" Width="1" Height="1" ResizeType="Stretch" ColorizerName="K"/>
      <NonClientPart Name="P"/>
      <TextProperties TextLeftRel="0" TextLeftAbs="4" TextRightRel="1" TextRightAbs="-4" TextHAlign="0.5"
                      TextTopRel="0" TextTopAbs="0" TextBottomRel="1" TextBottomAbs="0" TextVAlign="0.5"
                      TextForegroundPart="P"/>
      <FontXLat Name="Arial" XLat="Other"/>
      <StringTable ID="PresetEditor|T"><String ID="S"><Locale LCID="0x0009">text</Locale></String></StringTable>
      <Skins><Skin><SubControl Class="C" Name="kept"><LookList Name="early" NumLooks="1"/><Skin/></SubControl></Skin></Skins>)");
  QZResult result = QZ_E_FAIL;
  const RCPtr<LControlFactory> factory = LoadSkinText(document, &result);
  ASSERT_EQ(result, QZ_OK);
  ASSERT_EQ(factory->GetSkinCount(), 1u);
  EXPECT_EQ(factory->GetSkins().GetAt(0)->GetChildren().GetCount(), 1u);
  const RCPtr<LControlDescriptor> kept = factory->FindControlDescriptor(u"kept");
  ASSERT_TRUE(kept && kept->GetSkin());
  EXPECT_TRUE(kept->GetSkin()->GetName().IsEmpty());
  EXPECT_FALSE(kept->GetSkin()->GetLookList());
  EXPECT_TRUE(factory->FindLookList(u"early"));
  EXPECT_FALSE(factory->FindControlDescriptor(u"outside"));
  EXPECT_FALSE(factory->GetStringTable(u"", u"T"));
}

TEST(SkinLoaderTest, FontTranslationsOfTheLoadLocaleRenameTheSkinsFaces) {
  const std::string document = SkinDocument(R"(<Skins>
      <Skin Name="S" FontName="Arial" FontSize="9">
        <FontLocale LCID="0x0412"/><FontXLat Name="Arial" XLat="Gulim"/>
        <FontLocale LCID="0x0411"/>
        <FontXLat Name="Arial" XLat="MS UI Gothic"/><FontXLat Name="Arial" XLat="second"/>
        <SubControl Class="C" Name="c" FontName="Arial" FontSize="10" FontSizeIsRelative="True"><Skin Name="c"/></SubControl>
        <SubControl Class="C" Name="d" FontName="Tahoma" FontSizeIsRelative="True" FontInheritsFromParent="True"><Skin Name="d"/></SubControl>
      </Skin>
      <Skin Name="T" FontName="Arial"><SubControl Class="C" Name="c" FontName="Arial"><Skin Name="c"/></SubControl></Skin>
    </Skins>)");
  InMemoryDocuments documents;
  documents.Add("APP_SKINS", document);
  RCPtr<LControlFactory> factory(new LControlFactory(documents.Module()));
  // Without string-table documents the requested locale is the load locale.
  ASSERT_EQ(factory->LoadStringTables(u"::NONE", u"::NONE", 0x0411), QZ_OK);
  EXPECT_EQ(factory->GetLoadLocale(), 0x0411u);
  ASSERT_EQ(factory->LoadSkins(u"::APP_SKINS"), QZ_OK);

  EXPECT_EQ(factory->GetSkins().GetAt(0)->GetSkin()->GetFont().name, WString(u"MS UI Gothic"));
  EXPECT_EQ(factory->FindControlDescriptor(u"c")->GetSkin()->GetFont(),
            (SkinFont{false, true, u"MS UI Gothic", 10.0f, -1}));
  // No FontSize: the size is not relative.
  EXPECT_EQ(factory->FindControlDescriptor(u"d")->GetSkin()->GetFont(), (SkinFont{true, false, u"Tahoma", 0.0f, -1}));
  // Each top-level skin starts without translations.
  factory->SetCurrentSkinIndex(1);
  EXPECT_EQ(factory->GetSkins().GetAt(1)->GetSkin()->GetFont().name, WString(u"Arial"));
  EXPECT_EQ(factory->FindControlDescriptor(u"c")->GetSkin()->GetFont().name, WString(u"Arial"));
}

} // namespace
} // namespace QZ
