// One scroll step by a row in a list box of 100,000 items, against the same step in a list
// of 100 items, same view: the offset changes by a row (the vertical bar follows), the
// eight rows are refilled with the items they now show, and the rows are repainted through
// LGDIRenderer into an offscreen context. The steps go back and forth between rows 40 and
// 41, so both lists show the same texts and paint the same pixels: what differs is only the
// number of items, which a scroll step must not pay for (goal: a ratio of at most 1.2).
//
// Same work, same guarantees: both lists are made from one skin, hold "item <n>" texts,
// scroll through SetScrollOffset and paint the list's whole rectangle; each side checks
// after its first step that its top row shows "item 41" (a side that does not is not
// measured).

#include <span>
#include <string>

#include "Platform/Resources/Resources.h"
#include "QZFramework/ControlBase/ControlApplication.h"
#include "QZFramework/ControlBase/ControlCreate.h"
#include "QZFramework/ControlBase/ControlFactory.h"
#include "QZFramework/ControlBase/GlobalHotKeyManager.h"
#include "QZFramework/Controls/Button.h"
#include "QZFramework/Controls/ListBox.h"
#include "QZFramework/Controls/Panel.h"
#include "QZFramework/Controls/Scrollbar.h"
#include "QZFramework/Renderer/AutoClip.h"
#include "QZFramework/Renderer/Gdi/GDIRenderer.h"
#include "QZFramework/System/Clipboard.h"
#include "QZFramework/Utilities/Graphics/Font.h"
#include "QZFramework/Utilities/Storage/Wrapper.h"
#include "Support/RatioReporter.h"

namespace {

constexpr int32_t kWidth = 200;
constexpr int32_t kHeight = 160;
constexpr int32_t kRowHeight = 16;

constexpr char kSkin[] = R"(<?xml version="1.0" encoding="UTF-8"?>
<Vandrel_Skin_Definitions><Application Name="PresetEditor">
<Colorizers>
  <Colorizer Name="back" ColorType="SolidFill" Color="FFFFFFFF"/>
  <Colorizer Name="ink" ColorType="SolidFill" Color="FF101418"/>
  <Colorizer Name="selected" ColorType="SolidFill" Color="FF2F6FC0"/>
  <Colorizer Name="bar" ColorType="SolidFill" Color="FFD8D8D8"/>
  <Colorizer Name="thumb" ColorType="SolidFill" Color="FF505A70"/>
</Colorizers>
<Parts>
  <Part Name="back" Width="1" Height="1" ResizeType="Stretch" ColorizerName="back"/>
  <Part Name="ink" Width="1" Height="1" ResizeType="Stretch" ColorizerName="ink"/>
  <Part Name="selected" Width="1" Height="1" ResizeType="Stretch" ColorizerName="selected"/>
  <Part Name="bar" Width="1" Height="1" ResizeType="Stretch" ColorizerName="bar"/>
  <Part Name="thumb" Width="1" Height="1" ResizeType="Stretch" ColorizerName="thumb"/>
</Parts>
<Looks>
  <Look Name="back"><ClientPart Name="back" OffsetLeft="0" OffsetTop="0" OffsetRight="0" OffsetBottom="0"/></Look>
  <Look Name="row"><ClientPart Name="back" OffsetLeft="0" OffsetTop="0" OffsetRight="0" OffsetBottom="0"/>
    <TextProperties TextLeftRel="0" TextLeftAbs="3" TextRightRel="1" TextRightAbs="-3" TextHAlign="0" TextTopRel="0"
      TextTopAbs="0" TextBottomRel="1" TextBottomAbs="0" TextVAlign="0.5" TextForegroundPart="ink"/></Look>
  <Look Name="selected"><ClientPart Name="selected" OffsetLeft="0" OffsetTop="0" OffsetRight="0" OffsetBottom="0"/>
    <TextProperties TextLeftRel="0" TextLeftAbs="3" TextRightRel="1" TextRightAbs="-3" TextHAlign="0" TextTopRel="0"
      TextTopAbs="0" TextBottomRel="1" TextBottomAbs="0" TextVAlign="0.5" TextForegroundPart="back"/></Look>
  <Look Name="bar"><ClientPart Name="bar" OffsetLeft="0" OffsetTop="0" OffsetRight="0" OffsetBottom="0"/></Look>
  <Look Name="thumb"><ClientPart Name="thumb" OffsetLeft="0" OffsetTop="0" OffsetRight="0" OffsetBottom="0"/></Look>
</Looks>
<LookLists>
  <LookList Name="back" NumLooks="1"><Look Name="back" Index="0"/></LookList>
  <LookList Name="row" NumLooks="14"><Look Name="row" Index="0"/><Look Name="row" Index="1"/><Look Name="row" Index="2"/>
    <Look Name="row" Index="3"/><Look Name="row" Index="4"/><Look Name="row" Index="5"/><Look Name="row" Index="6"/>
    <Look Name="selected" Index="7"/><Look Name="selected" Index="8"/><Look Name="selected" Index="9"/>
    <Look Name="selected" Index="10"/><Look Name="selected" Index="11"/><Look Name="selected" Index="12"/>
    <Look Name="selected" Index="13"/></LookList>
  <LookList Name="bar" NumLooks="1"><Look Name="bar" Index="0"/></LookList>
  <LookList Name="thumb" NumLooks="1"><Look Name="thumb" Index="0"/></LookList>
</LookLists>
<Skins><Skin Name="Bench" FontName="Liberation Sans" FontSize="9">
  <SubControl Class="Framework.ListBox" Name="list" XPositionAbs="0" YPositionAbs="0" XSizeAbs="200" YSizeAbs="128">
    <Skin Name="Bench" LookList="back">
      <SubControl Class="Framework.ListBoxItem" Name="templateItem" XPositionAbs="0" YPositionAbs="0"
        XSizeToControl="Client" XSizeRel="1" XSizeAbs="0" YSizeAbs="16"><Skin Name="Bench" LookList="row"/></SubControl>
      <SubControl Class="Framework.ScrollBar" Name="vBar" XPositionRel="1" XPlacementAnchor="1" YPositionAbs="0"
        XSizeAbs="12" YSizeToControl="Client" YSizeRel="1" YSizeAbs="0" XIsDocked="True" YIsDocked="True">
        <Skin Name="Bench" LookList="bar">
          <SubControl Class="Framework.Button" Name="dec" XPositionAbs="0" YPositionAbs="0" XSizeAbs="12" YSizeAbs="12"><Skin Name="Bench" LookList="thumb"/></SubControl>
          <SubControl Class="Framework.Button" Name="inc" XPositionAbs="0" YPositionRel="1" YPlacementAnchor="1" XSizeAbs="12" YSizeAbs="12"><Skin Name="Bench" LookList="thumb"/></SubControl>
          <SubControl Class="Framework.ScrollChannel" Name="channel" XPositionAbs="0" YPositionAbs="12" XSizeToControl="Client"
            XSizeRel="1" XSizeAbs="0" YSizeToControl="inc" YSizeAbs="0">
            <Skin Name="Bench" LookList="bar">
              <SubControl Class="Framework.Button" Name="thumb" XPositionAbs="0" YPositionAbs="0" XSizeToControl="Client"
                XSizeRel="1" XSizeAbs="0" YSizeAbs="12"><Skin Name="Bench" LookList="thumb"/></SubControl>
            </Skin>
          </SubControl>
        </Skin>
      </SubControl>
    </Skin>
  </SubControl>
</Skin></Skins>
</Application></Vandrel_Skin_Definitions>
)";

// The application a list box needs outside any window: a factory that has read the skin, the
// renderer that measures text, clocks that stand still.
class BenchApplication final : public QZ::IControlApplication {
public:
  explicit BenchApplication(const QZ::RCPtr<QZ::LRenderer>& renderer) : mRenderer(renderer) {
    QZ::InstallControlApplication(this);
    mFactory = QZ::RCPtr<QZ::LControlFactory>(new QZ::LControlFactory(QZ::Platform::Resources::Module(mResources)));
    mFactory->RegisterControlCreateFunction(u"Framework.ListBox", &QZ::CreateControlOf<QZ::LListBox>);
    mFactory->RegisterControlCreateFunction(u"Framework.ListBoxItem", &QZ::CreateControlOf<QZ::LListBoxItem>);
    mFactory->RegisterControlCreateFunction(u"Framework.ScrollBar", &QZ::CreateControlOf<QZ::LScrollbar>);
    mFactory->RegisterControlCreateFunction(u"Framework.Button", &QZ::CreateControlOf<QZ::LButton>);
    mFactory->RegisterControlCreateFunction(u"Framework.ScrollChannel", &QZ::CreateControlOf<QZ::LPanel>);
    loaded = mFactory->LoadSkins(u"::APP_SKINS");
  }
  ~BenchApplication() { QZ::UninstallControlApplication(this); }
  BenchApplication(const BenchApplication&) = delete;
  BenchApplication& operator=(const BenchApplication&) = delete;

  uint32_t GetTickCountMs() override { return 0; }
  double GetElapsedSeconds() override { return 0.0; }
  QZ::RCPtr<QZ::LControlFactory> GetControlFactory() override { return mFactory; }
  QZ::QZResult GetDefaultFont(QZ::WString& face, float& size, int32_t& style) override {
    face = u"Liberation Sans";
    size = 9.0f;
    style = 0;
    return QZ::QZ_OK;
  }
  QZ::RCPtr<QZ::LMeasurementRenderer> GetMeasurementRenderer() override { return mRenderer; }
  QZ::CursorHandle GetApplicationCursor(const QZ::WString&) override { return 0; }
  QZ::PointT<int32_t> GetMouseScreenPosition() override { return {}; }
  uint32_t GetMouseButtons() override { return 0; }
  bool IsKeyDown(int32_t) override { return false; }
  QZ::RCPtr<QZ::IRootWindow> GetActiveRootWindow() override { return nullptr; }
  uint32_t GetRootWindowCount() override { return 0; }
  QZ::RCPtr<QZ::IRootWindow> GetRootWindowAt(uint32_t) override { return nullptr; }
  QZ::RectT<int32_t> GetScreenRect() override { return {0, 0, 1920, 1080}; }
  int32_t AddRootWindow(const QZ::RCPtr<QZ::LRootWindow>&) override { return 0; }
  int32_t RemoveRootWindow(const QZ::RCPtr<QZ::LRootWindow>&) override { return -1; }
  int32_t GetRendererType() override { return QZ::kRendererGDI; }
  bool DoIdleWork(bool) override { return false; }
  QZ::RCPtr<QZ::LGlobalHotKeyManager> CreateGlobalHotKeyManager() override { return nullptr; }
  void OnCommandLineFromAnotherInstance(const QZ::WString&) override {}
  bool WriteProfileBinary(const QZ::WString&, const QZ::WString&, std::span<const uint8_t>) override { return false; }
  int32_t CreateRootWindowForControl(const QZ::RCPtr<QZ::LControl>&, bool) override { return QZ::QZ_E_FAIL; }
  QZ::RCPtr<QZ::LGlobalHotKeyManager> GetGlobalHotKeyManager() override { return nullptr; }
  QZ::RCPtr<QZ::LClipboard> GetClipboard() override { return nullptr; }
  void OnClipboardUpdate() override {}
  QZ::QZResult SetStatusText(const QZ::WString&) override { return QZ::QZ_OK; }
  QZ::QZResult RestoreStatusText() override { return QZ::QZ_OK; }
  int32_t ShowMessageBox(const QZ::WString&, const QZ::WString&, uint32_t) override { return 1; }

  QZ::QZResult loaded = QZ::QZ_E_FAIL;

private:
  const QZ::Platform::Resources::Resource mResources[1] = {
      {"QZXML", "APP_SKINS", {reinterpret_cast<const uint8_t*>(kSkin), sizeof(kSkin) - 1}}};
  QZ::RCPtr<QZ::LRenderer> mRenderer;
  QZ::RCPtr<QZ::LControlFactory> mFactory;
};

// The window's content, placed by hand: the list's parent.
class Host : public QZ::LControl {
public:
  Host() : LControl(nullptr, u"host") {
    mLayout = QZ::LLayoutDescriptor::Create();
    mRect = {0.0, 0.0, double(kWidth), double(kHeight)};
  }
};

void BM_ScrollStep(benchmark::State& state) {
  const QZ::RCPtr<QZ::LRenderer> renderer(new QZ::LGDIRenderer);
  QZ::LFont::SetMeasurementRendererSource([renderer] { return QZ::RCPtr<QZ::LMeasurementRenderer>(renderer); });
  BenchApplication application(renderer);
  const QZ::RCPtr<QZ::LControl> host(new Host);
  const QZ::RCPtr<QZ::LListBox> list = QZ::DynamicCast<QZ::LListBox>(application.GetControlFactory()->CreateControl(
      host, application.GetControlFactory()->FindControlDescriptor(u"list")));
  if (Failed(application.loaded) || !list) {
    state.SkipWithError("the list box cannot be made");
    return;
  }
  for (int32_t i = 0; i < int32_t(state.range(0)); ++i) {
    list->InsertItem(i, QZ::MakeTaggableString(QZ::WString::Format(u"item %d", i)));
  }
  list->SelectItems(41, -1, true);
  QZ::RCPtr<QZ::LRenderContextInfo> context;
  (void)renderer->InitRenderContextInfo({0, 0, kWidth, kHeight}, nullptr, true, context); // offscreen: cannot fail
  const QZ::RectT<double> area{0.0, 0.0, double(kWidth), 128.0};
  context->GetUpdateRegion().AddRect({0, 0, kWidth, 128});
  int32_t row = 40;
  auto step = [&]() __attribute__((noinline)) {
    row = row == 40 ? 41 : 40;
    list->SetScrollOffset({0.0, double(row * kRowHeight)});
    renderer->RenderStart(context);
    {
      QZ::CAutoClip window(renderer, area, area, nullptr);
      QZ::RCPtrArray<QZ::LControl, 1, 0> deferred;
      list->Paint(renderer, context->GetUpdateRegion(), deferred, false); // a renderer and a list
    }
    renderer->RenderFinish(context);
  };
  step();
  if (list->GetRowControl(0)->GetText() != QZ::WString(u"item 41") || list->GetRowCount() != 8) {
    state.SkipWithError("the step did not show item 41 in the top row");
  }
  for (auto _ : state) {
    step();
  }
  state.counters["items"] = double(list->GetItemCount());
  host->DetachChildren();
  QZ::LFont::SetMeasurementRendererSource({});
}
BENCHMARK(BM_ScrollStep)->Arg(100)->Arg(100000)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char** argv) {
  return QZBench::RunWithRatios(argc, argv, {{"BM_ScrollStep/100000", "BM_ScrollStep/100"}});
}
