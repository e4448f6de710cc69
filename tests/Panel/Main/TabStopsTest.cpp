// Tab through the editor's pages in the shipped skins, both of them: every stop is a shown,
// enabled control that looks different with the focus, and no stop comes twice before the
// round is back at its first.

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "EditorAppTestSupport.h"
#include "QZFramework/ControlBase/RootWindow.h"
#include "QZFramework/Controls/TabControl.h"
#include "QZFramework/Renderer/AutoClip.h"
#include "QZFramework/Renderer/Gdi/GDIRenderer.h"
#include "Support/FontconfigInit.h"

namespace QZTest {
namespace {

class TabStopsTest : public EditorAppFixture {
protected:
  // The pixels of rect (window coordinates) as the window's renderer paints the window there.
  std::vector<uint32_t> Paint(const QZ::RCPtr<QZ::LControl>& top, const QZ::RectT<int32_t>& rect) {
    const QZ::RCPtr<QZ::LRenderer> renderer = app->GetMainRootWindow()->GetRenderer();
    const QZ::RectT<int32_t> area{0, 0, QZ::RoundToInt32(top->GetRect().width),
                                  QZ::RoundToInt32(top->GetRect().height)};
    QZ::RCPtr<QZ::LRenderContextInfo> context;
    EXPECT_EQ(renderer->InitRenderContextInfo(area, nullptr, true, context), QZ::QZ_OK);
    context->GetUpdateRegion().AddRect({rect.x, rect.y, rect.x + rect.width, rect.y + rect.height});
    renderer->RenderStart(context);
    QZ::RCPtrArray<QZ::LControl, 1, 0> deferred;
    {
      const QZ::RectT<double> frame{0, 0, double(area.width), double(area.height)};
      QZ::CAutoClip window(renderer, frame, frame, nullptr);
      EXPECT_EQ(top->Paint(renderer, context->GetUpdateRegion(), deferred, false), QZ::QZ_OK);
    }
    renderer->RenderFinish(context);
    QZ::Platform::Graphics::Image& image =
        *dynamic_cast<QZ::LGDIRenderContextInfo&>(*context).GetCurrentSurface()->GetImage();
    std::vector<uint32_t> pixels;
    for (int y = std::max(rect.y, 0); y < std::min(rect.y + rect.height, image.Height()); ++y) {
      for (int x = std::max(rect.x, 0); x < std::min(rect.x + rect.width, image.Width()); ++x) {
        QZ::Platform::Graphics::Color pixel;
        (void)image.GetPixel(x, y, pixel); // inside the image
        pixels.push_back(pixel.argb);
      }
    }
    return pixels;
  }
};

// The control's path of names below the top control.
std::string PathOf(const QZ::RCPtr<QZ::LControl>& control) {
  std::string path;
  for (QZ::RCPtr<QZ::LControl> at = control; at && at->GetParent(); at = at->GetParent()) {
    path = "/" + std::string(at->GetName().ToUTF8().GetBuffer()) + path;
  }
  return path;
}

// One stop of a round: the control, its pixels with the focus and with the focus gone on.
struct Stop {
  QZ::RCPtr<QZ::LControl> control;
  QZ::RectT<int32_t> rect;
  std::vector<uint32_t> focused;
  std::vector<uint32_t> left;
};

TEST_F(TabStopsTest, EveryStopOfEveryPageIsShownEnabledAndLooksFocusedOnceARound) {
  for (const char* dpi : {"96", "192"}) {
    SCOPED_TRACE(std::string("QZ_DPI ") + dpi);
    environment.Set("QZ_DPI", dpi);
    backend->usableBounds = {0, 0, 3840, 2160}; // holds the large skin's window
    // The program's own skins, string tables and images, as the program reads them.
    const QZ::RCPtr<QZ::LControlFactory> factory(new QZ::LControlFactory());
    ASSERT_EQ(factory->LoadResources(QZ::WString(u"::"), 0x0409), QZ::QZ_OK);
    app = QZ::RCPtr<LApplication>(new LApplication(factory, nullptr, QZ::WString(u"editor")));
    ASSERT_EQ(app->RunApplicationStartup(), QZ::QZ_OK);
    ASSERT_EQ(app->CreateMainWindow(QZ::kRendererGDI), QZ::QZ_OK);
    ASSERT_EQ(app->SetMainRootControl(app->GetMainControlName()), QZ::QZ_OK);
    const QZ::RCPtr<QZ::LRootWindow> root = app->GetMainRootWindow();
    const QZ::RCPtr<QZ::LControl> top = root->GetRootControl();
    // The window shown and active, as the user has it.
    const Win::HWND hwnd = host->GetMainWindow();
    Win::ShowWindow(hwnd, Win::SW_SHOW);
    backend->keyboardFocus = backend->SdlIdOf(hwnd);
    backend->Push(WindowEvent(backend->SdlIdOf(hwnd), SDL_WINDOWEVENT_FOCUS_GAINED));
    Win::MSG msg;
    while (Host::PeekMessage(&msg, Win::PM_REMOVE) && msg.message != Win::WM_QUIT) {
      Host::TranslateMessage(&msg);
      Host::DispatchMessage(&msg);
    }
    const QZ::RCPtr<QZ::LControl> device = top->FindChildByName(u"viewDevice");
    const QZ::RCPtr<QZ::LTabControl> pages = QZ::DynamicCast<QZ::LTabControl>(device->FindChildByName(u"tabControl"));
    ASSERT_TRUE(pages);
    for (const char16_t* page : {u"userPresetEditor", u"globalPresetEditor"}) {
      SCOPED_TRACE(QZ::WString(page).ToUTF8().GetBuffer());
      ASSERT_EQ(pages->SelectTab(QZ::WString(page)), QZ::QZ_OK);
      app->DoIdleWork(true);
      device->FindChildByName(u"deviceSelectionComboBox")->SetFocus(true);
      std::vector<Stop> round;
      constexpr size_t kMostStops = 200;
      QZ::KeyCode tab;
      tab.code = 0x20090000; // Tab pressed
      while (round.size() < kMostStops) {
        root->GetFocusedControl()->OnKey(QZ::LKeyParam::Create(tab, false));
        const QZ::RCPtr<QZ::LControl> stop = root->GetFocusedControl();
        ASSERT_TRUE(stop) << "a Tab lost the focus";
        if (!round.empty()) {
          round.back().left = Paint(top, round.back().rect);
        }
        if (!round.empty() && stop == round.front().control) {
          break;
        }
        for (const Stop& earlier : round) {
          ASSERT_NE(earlier.control, stop) << PathOf(stop) << " came twice in one round";
        }
        EXPECT_TRUE(stop->IsShown(true) && stop->IsEnabled(true)) << PathOf(stop) << " is not a shown, enabled stop";
        const QZ::RectT<int32_t> rect = ControlWindowRect(*stop);
        round.push_back({stop, rect, Paint(top, rect), {}});
      }
      ASSERT_LT(round.size(), kMostStops) << "the round never came back to its first stop";
      EXPECT_GT(round.size(), 5u);
      for (const Stop& stop : round) {
        // The edit panel before any element is chosen holds no control: a panel keeps the
        // focus itself then, and a panel's look does not follow the focus.
        if (stop.control->GetName() != QZ::WString(u"editPanel")) {
          EXPECT_NE(stop.focused, stop.left) << PathOf(stop.control) << " looks the same with and without the focus";
        }
      }
    }
    DropApplication();
  }
}

} // namespace
} // namespace QZTest
