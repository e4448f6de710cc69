// The window layer without its display: windows answer from what the layer knew, nothing
// reaches the window system any more, and a window can still be destroyed in order.

#include <gmock/gmock.h>

#include "Platform/Window/DisplayConnection.h"
#include "Platform/Window/MessageBox.h"
#include "WindowTestSupport.h"

namespace QZTest {
namespace {

using DisplayConnectionTest = WindowLayerTest;

TEST_F(DisplayConnectionTest, WithoutTheDisplayWindowsAnswerFromWhatTheLayerKnewAndNothingReachesIt) {
  const Win::HWND hwnd = MakeWindow(100, 50, 200, 100);
  ASSERT_NE(hwnd, nullptr);
  const uint32_t id = ScriptedVideoBackend::SdlIdOf(hwnd);
  script->windowStates[id] = SDL_WINDOW_MAXIMIZED;
  const size_t presented = script->presented.size();
  const size_t raised = script->raised.size();
  const size_t focusRequests = script->focusRequests.size();

  Win::Detail::DoWithoutDisplay();

  Win::WINDOWPLACEMENT placement;
  ASSERT_TRUE(Win::GetWindowPlacement(hwnd, &placement));
  EXPECT_EQ(placement.showCmd, uint32_t(Win::SW_SHOWMAXIMIZED));
  const Win::RECT normal = placement.rcNormalPosition;
  EXPECT_EQ((std::vector{normal.left, normal.top, normal.right, normal.bottom}), (std::vector{100, 50, 300, 150}));
  Win::RECT client;
  ASSERT_TRUE(Win::GetClientRect(hwnd, &client));
  EXPECT_EQ((std::vector{client.right, client.bottom}), (std::vector{200, 100}));

  EXPECT_TRUE(Win::BringWindowToTop(hwnd));
  Win::SetFocus(hwnd);
  EXPECT_TRUE(Win::InvalidateRect(hwnd, nullptr, false));
  Win::UpdateWindow(hwnd); // paints into nothing
  EXPECT_EQ(script->presented.size(), presented);
  EXPECT_EQ(script->raised.size(), raised);
  EXPECT_EQ(script->focusRequests.size(), focusRequests);
  EXPECT_EQ(MakeWindow(), nullptr) << "no new window without a display";

  testing::internal::CaptureStderr();
  EXPECT_EQ(Win::ShowMessageBox(u"Saved.", u"Editor", Win::MB_ICONINFORMATION), Win::IDOK);
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "Editor: Saved.\n");

  recorder.received.clear();
  EXPECT_TRUE(Win::DestroyWindow(hwnd));
  EXPECT_THAT(recorder.Messages(), testing::ElementsAre(Win::WM_DESTROY, Win::WM_NCDESTROY));
  EXPECT_FALSE(Win::IsWindow(hwnd));
}

} // namespace
} // namespace QZTest
