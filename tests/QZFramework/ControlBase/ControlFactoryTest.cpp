#include <gtest/gtest.h>

#include "FactoryTestSupport.h"
#include "Support/StringPrinter.h"

namespace QZ {
namespace {

using QZTest::FixtureDocuments;
using QZTest::LoadSkinText;
using QZTest::SkinDocument;

// Distinct create functions; the control class comes later, so nothing calls them here.
template <int N>
RCPtr<LControl> CreateFake(const RCPtr<LControl>&, const RCPtr<LControlDescriptor>&) {
  throw std::logic_error("not called");
}

TEST(ControlFactoryTest, AClassKeepsItsFirstFunctionAndAnUnknownOneThrows) {
  RCPtr<LControlFactory> factory(new LControlFactory(FixtureDocuments()));
  EXPECT_EQ(factory->RegisterControlCreateFunction(u"Framework.Button", &CreateFake<1>), QZ_OK);
  EXPECT_EQ(factory->RegisterControlCreateFunction(u"Framework.Button", &CreateFake<2>), QZ_OK);
  EXPECT_EQ(factory->RegisterControlCreateFunction(u"Framework.button", &CreateFake<3>), QZ_OK);
  ControlCreateFunction function = nullptr;
  EXPECT_EQ(factory->GetControlCreateFunction(u"Framework.Button", function), QZ_OK);
  EXPECT_EQ(function, &CreateFake<1>);
  EXPECT_EQ(factory->GetControlCreateFunction(u"Framework.button", function), QZ_OK);
  EXPECT_EQ(function, &CreateFake<3>);

  try {
    factory->GetControlCreateFunction(u"Framework.Nope", function);
    ADD_FAILURE() << "no exception";
  } catch (const std::runtime_error& error) {
    EXPECT_STREQ(
        error.what(),
        "Runtime Error : QZ::LControlFactory::GetControlCreateFunction : ControlBase\\ControlFactory : Line 51");
  }
  EXPECT_EQ(function, &CreateFake<3>);
}

TEST(ControlFactoryTest, TopLevelDescriptorsAreFoundInTheCurrentSkinLastFirst) {
  const RCPtr<LControlFactory> factory = LoadSkinText(SkinDocument(R"(<Skins>
      <Skin Name="A">
        <SubControl Class="C" Name="mainControl" XSizeAbs="1"/>
        <SubControl Class="C" Name="mainControl" XSizeAbs="2"><Skin Name="s">
          <SubControl Class="C" Name="inner"/>
        </Skin></SubControl>
      </Skin>
      <Skin Name="B"><SubControl Class="C" Name="mainControl" XSizeAbs="3"/></Skin>
    </Skins>)"));
  EXPECT_EQ(factory->FindControlDescriptor(u"mainControl")->GetLayout()->size[0].abs, 2.0);
  EXPECT_FALSE(factory->FindControlDescriptor(u"inner")); // deeper ones through their parents
  factory->SetCurrentSkinIndex(1);
  EXPECT_EQ(factory->FindControlDescriptor(u"mainControl")->GetLayout()->size[0].abs, 3.0);
  for (int32_t index : {2, -1}) {
    factory->SetCurrentSkinIndex(index);
    EXPECT_FALSE(factory->FindControlDescriptor(u"mainControl"));
    WString name = u"kept";
    float size = 5.0f;
    int32_t style = 7;
    EXPECT_EQ(factory->GetSkinFont(name, size, style), QZ_FALSE);
    EXPECT_EQ(name, WString(u"kept"));
  }
}

TEST(ControlFactoryTest, ADerivedDescriptorSharesAllButItsNameAndLayout) {
  RCPtr<LControlFactory> factory(new LControlFactory(FixtureDocuments()));
  ASSERT_EQ(factory->LoadSkins(u"::APP_SKINS"), QZ_OK);
  const RCPtr<LControlDescriptor> main = factory->FindControlDescriptor(u"mainControl");
  const RCPtr<LLayoutDescriptor> templateLayout = main->GetLayout();
  RCPtr<LLayoutDescriptor> layout = templateLayout->Clone();
  layout->position[0].abs = 12.0;

  const RCPtr<LControlDescriptor> derived = factory->DeriveControlDescriptor(main, u"item7", layout);
  ASSERT_TRUE(derived);
  EXPECT_NE(derived.Get(), main.Get());
  EXPECT_EQ(derived->GetName(), WString(u"item7"));
  EXPECT_EQ(derived->GetClass(), main->GetClass());
  EXPECT_EQ(derived->GetLayout().Get(), layout.Get());
  EXPECT_EQ(derived->GetSkin().Get(), main->GetSkin().Get());
  EXPECT_EQ(derived->GetCreateParams().Get(), main->GetCreateParams().Get());
  ASSERT_EQ(derived->GetChildren().GetCount(), main->GetChildren().GetCount());
  EXPECT_EQ(derived->GetChildren().GetAt(1).Get(), main->GetChildren().GetAt(1).Get());
  EXPECT_EQ(main->GetLayout().Get(), templateLayout.Get());
  EXPECT_EQ(main->GetLayout()->position[0].abs, 0.0);
  EXPECT_EQ(main->GetName(), WString(u"mainControl"));
  EXPECT_FALSE(factory->DeriveControlDescriptor(nullptr, u"item8", layout));
}

TEST(ControlFactoryTest, TheSkinFontHandsOutWhatTheCurrentSkinGives) {
  struct Case {
    const char* attributes;
    QZResult result;
    WString name;
    float size;
    int32_t style;
  };
  const Case cases[] = {
      {R"(FontSize="0.75")", QZ_FALSE, u"System", 9.0f, 0},
      {R"(FontName="" FontSize="1" FontStyle="-1")", QZ_OK, u"System", 1.0f, 0},
      {R"(FontName="Arial" FontSize="15.75")", QZ_OK, u"Arial", 15.75f, 0},
      {R"(FontStyle="0x2")", QZ_OK, u"System", 9.0f, 2},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.attributes);
    const RCPtr<LControlFactory> factory =
        LoadSkinText(SkinDocument(std::string(R"(<Skins><Skin Name="S" )") + c.attributes + "/></Skins>"));
    WString name = u"System";
    float size = 9.0f;
    int32_t style = 0;
    EXPECT_EQ(factory->GetSkinFont(name, size, style), c.result);
    EXPECT_EQ(name, c.name);
    EXPECT_EQ(size, c.size);
    EXPECT_EQ(style, c.style);
  }
}

} // namespace
} // namespace QZ
