// The images a window's new top control shows are decoded ahead while the window opens.

#include <gtest/gtest.h>

#include "Platform/Graphics/Image.h"
#include "QZFramework/ControlBase/ControlCreate.h"
#include "QZFramework/ControlBase/ControlFactory.h"
#include "QZFramework/ControlBase/FactoryTestSupport.h"
#include "QZFramework/ControlBase/RootWindowTestSupport.h"
#include "QZFramework/Utilities/Graphics/Bitmap.h"

namespace QZ {
namespace {

class ControlImagesAheadTest : public QZTest::RootWindowFixture {};

// A control made from its descriptor as the program's are: looks and layout applied.
class SkinnedControl : public QZTest::TestControl {
public:
  SkinnedControl(const RCPtr<LControl>& parent, const WString& name) : TestControl(parent, name, nullptr) {}
};

// Bytes the named embedded image holds decoded: a decode ahead under way is waited for.
size_t DecodedBytes(const char16_t* name) {
  return LBitmap::GetBitmap(WString(name))->GetNativeBitmap()->MemoryBytes();
}

TEST_F(ControlImagesAheadTest, AWindowsNewTopControlHasTheImagesItsShownControlsDrawDecodedAhead) {
  QZTest::InMemoryDocuments documents;
  documents.Add("APP_SKINS", QZTest::SkinDocument(R"(
      <Colorizers><Colorizer Name="Grey" ColorType="SolidFill" Color="FF808080"/></Colorizers>
      <Parts>
        <Part Name="grey" Width="1" Height="1" ResizeType="Stretch" ColorizerName="Grey"/>
        <Part Name="combo" Width="40" Height="20" ResizeType="Stretch" ImageFile="::combobox_normal.png"
              ImageLocX="0" ImageLocY="0"/>
        <Part Name="semi" Width="3" Height="2" ResizeType="Stretch" ImageFile="::semi_transparent.png"
              ImageLocX="0" ImageLocY="0"/>
        <Part Name="spaced" Width="3" Height="3" ResizeType="Stretch" ImageFile="::a b.png" ImageLocX="0" ImageLocY="0"/>
      </Parts>
      <Looks>
        <Look Name="grey"><ClientPart Name="grey" OffsetLeft="0" OffsetTop="0" OffsetRight="0" OffsetBottom="0"/></Look>
        <Look Name="combo"><ClientPart Name="combo" OffsetLeft="0" OffsetTop="0" OffsetRight="0" OffsetBottom="0"/></Look>
        <Look Name="semi"><ClientPart Name="semi" OffsetLeft="0" OffsetTop="0" OffsetRight="0" OffsetBottom="0"/></Look>
        <Look Name="spaced">
          <NonClientParts Name="edge"><NonClientPart Name="spaced" OffsetLeft="0" OffsetTop="0"/></NonClientParts>
        </Look>
      </Looks>
      <LookLists>
        <LookList Name="grey" NumLooks="1"><Look Name="grey" Index="0"/></LookList>
        <LookList Name="combo" NumLooks="1"><Look Name="combo" Index="0"/></LookList>
        <LookList Name="semi" NumLooks="1"><Look Name="semi" Index="0"/></LookList>
        <LookList Name="spaced" NumLooks="1"><Look Name="spaced" Index="0"/></LookList>
      </LookLists>
      <Skins><Skin Name="Main">
        <SubControl Class="Test.Skinned" Name="mainControl"><Skin Name="s" LookList="grey">
          <SubControl Class="Test.Skinned" Name="shown" XPositionAbs="10" YPositionAbs="10" XSizeAbs="40" YSizeAbs="20">
            <Skin Name="Main" LookList="combo"/>
          </SubControl>
          <SubControl Class="Test.Skinned" Name="hidden" IsVisible="false" XSizeAbs="30" YSizeAbs="20">
            <Skin Name="Main" LookList="semi"/>
          </SubControl>
          <SubControl Class="Test.Skinned" Name="beyond" XPositionAbs="250" XSizeAbs="30" YSizeAbs="20">
            <Skin Name="Main" LookList="spaced"/>
          </SubControl>
        </Skin></SubControl>
      </Skin></Skins>)"));
  application.factory = RCPtr<LControlFactory>(new LControlFactory(documents.Module()));
  ASSERT_EQ(application.factory->LoadSkins(u"::APP_SKINS"), QZ_OK);
  application.factory->RegisterControlCreateFunction(u"Test.Skinned", &CreateControlOf<SkinnedControl>);

  // Made for no window, nothing is decoded before it is drawn.
  const RCPtr<LControl> alone = application.factory->CreateControlByName(u"mainControl", nullptr);
  ASSERT_TRUE(alone);
  EXPECT_EQ(DecodedBytes(u"::combobox_normal.png"), 0u);

  // For a window: the image of the shown control alone, in the form drawing uses.
  const RCPtr<LControl> made = application.factory->CreateControlByName(u"mainControl", root);
  ASSERT_TRUE(made);
  EXPECT_EQ(DecodedBytes(u"::combobox_normal.png"), 40u * 20u * 4u);
  EXPECT_EQ(DecodedBytes(u"::semi_transparent.png"), 0u) << "a hidden control";
  EXPECT_EQ(DecodedBytes(u"::a b.png"), 0u) << "a control outside its parent";
}

} // namespace
} // namespace QZ
