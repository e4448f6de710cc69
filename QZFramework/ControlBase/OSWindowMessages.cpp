// The OS window's messages: what each becomes for the root window.

#include <utility>
#include <vector>

#include "Platform/Host/MessagePump.h"
#include "Platform/Window/Display.h"
#include "Platform/Window/Input.h"
#include "QZFramework/ControlBase/ControlApplication.h"
#include "QZFramework/ControlBase/KeyParam.h"
#include "QZFramework/ControlBase/OSWindow.h"
#include "QZFramework/Notification/Notification.h"
#include "QZFramework/Notification/NotificationCenter.h"
#include "QZFramework/Renderer/Gdi/GDIRenderContext.h"
#include "QZFramework/Renderer/Gdi/GDIRenderer.h"
#include "QZFramework/Services/ApplicationContext.h"
#include "QZFramework/Services/Trace/StartupTrace.h"

namespace QZ {

namespace Win = Platform::Window;

namespace {

bool IsDown(uint8_t virtualKey) { return Win::GetKeyState(virtualKey) < 0; }

// Whether the region is that rectangle alone: mostly what a paint is asked for again, which
// setting anew would take out and put back.
bool IsOnly(const RectListT<int32_t>& region, const EdgeRect& rect) {
  return region.IsSingle() && *region.begin() == rect;
}

// Alt as the context bit of a key message says it on Windows: held. The window layer sets
// KF_ALTDOWN for system keys only, so the key state answers for Ctrl+Alt keys.
bool AltHeld(Win::LPARAM lParam) {
  return (Win::HiWord(uintptr_t(lParam)) & Win::KF_ALTDOWN) != 0 || IsDown(Win::VK_MENU);
}

// The modifier mask of a key message, with the sides.
uint32_t KeyModifiers(Win::LPARAM lParam) {
  uint32_t mask = 0;
  if (IsDown(Win::VK_SHIFT)) {
    mask |= kModifierShift;
    mask |= IsDown(Win::VK_LSHIFT) ? kModifierLeftShift : 0;
    mask |= IsDown(Win::VK_RSHIFT) ? kModifierRightShift : 0;
  }
  if (IsDown(Win::VK_CONTROL)) {
    mask |= kModifierCtrl;
    mask |= IsDown(Win::VK_LCONTROL) ? kModifierLeftCtrl : 0;
    mask |= IsDown(Win::VK_RCONTROL) ? kModifierRightCtrl : 0;
  }
  if (IsDown(Win::VK_LWIN)) {
    mask |= kModifierCommand | kModifierLeftCommand;
  }
  if (IsDown(Win::VK_RWIN)) {
    mask |= kModifierCommand | kModifierRightCommand;
  }
  if (AltHeld(lParam)) {
    mask |= kModifierAlt;
    mask |= IsDown(Win::VK_LMENU) ? kModifierLeftAlt : 0;
    mask |= IsDown(Win::VK_RMENU) ? kModifierRightAlt : 0;
  }
  return mask;
}

// The modifier mask of a mouse message.
uint32_t MouseModifiers(Win::WPARAM wParam) {
  uint32_t mask = 0;
  mask |= (wParam & Win::MK_SHIFT) ? kModifierShift : 0;
  mask |= (wParam & Win::MK_CONTROL) ? kModifierCtrl : 0;
  mask |= IsDown(Win::VK_MENU) ? kModifierAlt : 0;
  return mask;
}

PointT<int32_t> PointOf(Win::LPARAM lParam) { return {Win::GetXLParam(lParam), Win::GetYLParam(lParam)}; }

// Whether the window is the one at a point of its client coordinates.
bool IsOver(Win::HWND hwnd, const PointT<int32_t>& point) {
  Win::POINT screen{point.x, point.y};
  Win::ClientToScreen(hwnd, &screen);
  return Win::WindowFromPoint(screen) == hwnd;
}

// The first frame of the process ends the start: the start-up trace notes it and what the
// pixels held then take.
[[gnu::cold, gnu::noinline]] void TraceFirstFrameFigures(const RCPtr<LRenderer>& renderer,
                                                         const RCPtr<LRenderContextInfo>& context) {
  TraceStartupStep("first frame");
  constexpr double kMegabyte = 1024.0 * 1024.0;
  if (const auto* gdi = dynamic_cast<const LGDIRenderContextInfo*>(context.Get())) {
    TraceStartupFigure("window surfaces", double(gdi->MemoryBytes()) / kMegabyte, "MB");
  }
  if (const auto* gdi = dynamic_cast<const LGDIRenderer*>(renderer.Get())) {
    TraceStartupFigure("scaled bitmaps", double(gdi->GetCachedBitmapBytes()) / kMegabyte, "MB");
  }
  TraceStartupFigure("decoded images", double(LBitmap::GetCachedBitmapBytes()) / kMegabyte, "MB");
  TraceStartupFigure("images loaded", double(LBitmap::GetCachedBitmapCount()), "images"); // decoded as first drawn
}

void TraceFirstFrame(const RCPtr<LRenderer>& renderer, const RCPtr<LRenderContextInfo>& context) {
  static bool traced = false;
  if (!traced) [[unlikely]] {
    traced = true;
    TraceFirstFrameFigures(renderer, context);
  }
}

} // namespace

Win::LRESULT OSWindow::WindowProc(HWND hwnd, uint32_t message, WPARAM wParam, LPARAM lParam) {
  CallScope scope(*this);
  return Dispatch(hwnd, message, wParam, lParam);
}

Win::LRESULT OSWindow::Dispatch(HWND hwnd, uint32_t message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
  case Win::WM_DESTROY:
    OnDestroy();
    return 0;
  case Win::WM_NCDESTROY:
    OnNcDestroy();
    return 0;
  default:
    break;
  }
  // Until the root window exists, every message has the default handling.
  const RCPtr<LRootWindow> root = mRootWindow;
  if (!root) {
    return Win::DefWindowProc(hwnd, message, wParam, lParam);
  }
  switch (message) {
  case Win::WM_PAINT:
    OnPaint(*root);
    return 0;
  case Win::WM_KEYDOWN:
  case Win::WM_KEYUP:
  case Win::WM_SYSKEYDOWN:
  case Win::WM_SYSKEYUP:
    OnKeyMessage(message, wParam, lParam);
    return 0;
  case Win::WM_CHAR:
    OnCharMessage(wParam, lParam);
    break;
  // The pointer's messages have no default handling: the default procedure is not asked.
  case Win::WM_LBUTTONDOWN:
  case Win::WM_LBUTTONDBLCLK:
    OnButtonDown(*root, kMouseButtonLeft, message == Win::WM_LBUTTONDBLCLK, wParam, lParam);
    return 0;
  case Win::WM_MBUTTONDOWN:
  case Win::WM_MBUTTONDBLCLK:
    OnButtonDown(*root, kMouseButtonMiddle, message == Win::WM_MBUTTONDBLCLK, wParam, lParam);
    return 0;
  case Win::WM_RBUTTONDOWN:
  case Win::WM_RBUTTONDBLCLK:
    OnButtonDown(*root, kMouseButtonRight, message == Win::WM_RBUTTONDBLCLK, wParam, lParam);
    return 0;
  case Win::WM_LBUTTONUP:
    OnButtonUp(*root, kMouseButtonLeft, wParam, lParam);
    return 0;
  case Win::WM_MBUTTONUP:
    OnButtonUp(*root, kMouseButtonMiddle, wParam, lParam);
    return 0;
  case Win::WM_RBUTTONUP:
    OnButtonUp(*root, kMouseButtonRight, wParam, lParam);
    return 0;
  case Win::WM_MOUSEMOVE:
    OnMouseMoveMessage(*root, wParam, lParam);
    return 0;
  case Win::WM_MOUSEWHEEL:
    OnWheel(true, wParam, lParam);
    break;
  case Win::WM_MOUSEHWHEEL:
    OnWheel(false, wParam, lParam);
    return 0;
  case Win::WM_SIZE:
    OnSize(wParam, lParam);
    break;
  case Win::WM_MOVE:
    OnMove();
    break;
  case Win::WM_CLOSE:
    DestroyNow(); // WM_DESTROY writes the placement
    return 0;
  case Win::WM_CAPTURECHANGED:
    if (reinterpret_cast<HWND>(lParam) != hwnd) {
      mButtonDownCount = 0;
      mHoldsCapture = false;
      root->OnCaptureLost();
    }
    return 0;
  case Win::WM_KICKIDLE:
    return OnKickIdle(lParam);
  case Win::WM_SETFOCUS:
    root->OnActivate();
    break;
  case Win::WM_KILLFOCUS:
    if (mHoldsCapture) {
      mHoldsCapture = false;
      Win::ReleaseCapture();
    }
    root->OnKillFocus();
    break;
  case Win::WM_SYSCOMMAND:
    if ((wParam & 0xFFF0) == Win::SC_CLOSE) {
      OnCloseCommand();
      return 0;
    }
    break;
  case Win::WM_COPYDATA:
    if (OnCopyData(reinterpret_cast<const Win::COPYDATASTRUCT*>(lParam))) {
      return 1;
    }
    break;
  case Win::WM_DROPFILES:
    OnDropFiles(wParam);
    return 0;
  case Win::WM_CLIPBOARDUPDATE:
    OnClipboardUpdate();
    return 0;
  case Win::WM_DISPLAYCHANGE: {
    const RectT<int32_t> client = root->GetClientRect();
    root->InvalidateRect({0, 0, client.width, client.height});
    return 1;
  }
  default:
    break;
  }
  return Win::DefWindowProc(hwnd, message, wParam, lParam);
}

// =============================================================================================
// Painting
// =============================================================================================

namespace {

// A window rectangle the root's dirty region lacks (an expose, mostly): the region takes it,
// and dirty keeps what the root had.
[[gnu::noinline]] void AddWindowRect(RectListT<int32_t>& region, RectListT<int32_t>& dirty, bool& rootsOnly,
                                     const EdgeRect& rect) {
  if (rootsOnly) {
    dirty = region;
    rootsOnly = false;
  }
  region.AddRect(rect);
}

// Several dirty rectangles, or the window's besides: each whose alternating pixels are kept
// is restored, and the region becomes those left to paint.
[[gnu::noinline]] void RestoreEachAlternating(LRootWindow& root, RectListT<int32_t>& region, RectListT<int32_t>& dirty,
                                              bool rootsOnly, const GDIWindowPixels& window) {
  if (rootsOnly) {
    dirty = std::move(region);
  }
  region.Clear();
  for (const EdgeRect& rect : dirty) {
    if (!root.RestoreAlternating(rect, window)) {
      region.AddRect(rect);
    }
  }
}

} // namespace

void OSWindow::OnPaint(LRootWindow& root) {
  const HWND hwnd = mHwnd.load();
  const RCPtr<LRenderer> renderer = mRenderer;
  const RCPtr<LRenderContextInfo> context = mRenderContext;
  // The window's own rectangles, not their bounding one: a click that changes two distant
  // controls must not repaint and copy everything between them.
  std::vector<Win::RECT>& updates = mPaintUpdates;
  Win::TakeUpdateRects(hwnd, updates);
  if (!renderer || !context) {
    return;
  }
  RectListT<int32_t>& region = context->GetUpdateRegion();
  root.TakeDirtyRegion(region);
  // The root's own rectangles: the region itself until the window's rectangles add to it,
  // which they mostly do not (a copy is then made of what the root had).
  RectListT<int32_t> dirty;
  bool rootsOnly = true;
  for (const Win::RECT& update : updates) {
    const EdgeRect rect{update.left, update.top, update.right, update.bottom};
    if (!IsOnly(region, rect)) [[unlikely]] { // mostly the root's own dirty rectangle again
      AddWindowRect(region, dirty, rootsOnly, rect);
    }
  }
  if (region.IsEmpty()) {
    return;
  }
  // The GDI renderer draws into the window's pixels, lent anew for each frame.
  LGDIRenderContextInfo* gdi = mGdiContext;
  Win::WindowPixels pixels;
  const bool lent = gdi && Win::GetWindowPixels(hwnd, pixels);
  const GDIWindowPixels window =
      lent ? GDIWindowPixels{pixels.pixels, pixels.width, pixels.height, pixels.pitch} : GDIWindowPixels{};
  if (gdi) {
    gdi->SetWindowPixels(window);
  }
  std::vector<Win::RECT>& presented = mPaintPresented;
  presented.clear();
  for (const EdgeRect& rect : region) {
    presented.push_back({rect.left, rect.top, rect.right, rect.bottom});
  }
  const RectT<int32_t>& bounds = context->GetBounds();
  const bool wholeWindow = IsOnly(region, {bounds.x, bounds.y, bounds.x + bounds.width, bounds.y + bounds.height});
  // Other than the whole window, the dirty rectangles are one frame, which the renderer draws
  // straight into the window's pixels, each drawing confined to one of them: the tree is
  // walked once for all. What was only uncovered is in those pixels already.
  const bool direct = lent && !wholeWindow;
  if (direct) {
    // A caret's blink shows pixels painted before, while nothing else changed them.
    if (rootsOnly ? region.IsSingle() : dirty.IsSingle() && IsOnly(region, *dirty.begin())) {
      // Mostly one dirty rectangle, the whole region already: it stays unless restored.
      if (root.RestoreAlternating(*region.begin(), window)) {
        region.Clear();
      }
    } else {
      RestoreEachAlternating(root, region, dirty, rootsOnly, window);
    }
  }
  if (!direct || !region.IsEmpty()) {
    if (direct) {
      gdi->SetEachDrawingInOneRect(true); // the tree draws each piece under one rectangle's clip
    }
    renderer->RenderStart(context);
    root.Paint(direct || wholeWindow || rootsOnly ? region : dirty);
    renderer->RenderFinish(context);
    if (direct) {
      gdi->SetEachDrawingInOneRect(false);
      for (const EdgeRect& rect : region) {
        root.KeepAlternating(rect, window);
      }
    }
  }
  if (gdi) {
    // A failed frame shows next time.
    Win::PresentWindowPixels(hwnd, pixels, presented.data(), presented.size());
    gdi->SetWindowPixels({});
  }
  region.Clear();
  TraceFirstFrame(renderer, context);
}

// =============================================================================================
// Keys
// =============================================================================================

void OSWindow::OnKeyMessage(uint32_t message, WPARAM wParam, LPARAM lParam) {
  const bool down = message == Win::WM_KEYDOWN || message == Win::WM_SYSKEYDOWN;
  const bool system = message == Win::WM_SYSKEYDOWN || message == Win::WM_SYSKEYUP;
  const uint32_t mask = KeyModifiers(lParam);
  const uint8_t virtualKey = uint8_t(wParam & 0xFF);
  KeyCode key;
  if (virtualKey != 0) {
    const bool wasDown = (Win::HiWord(uintptr_t(lParam)) & Win::KF_REPEAT) != 0;
    key = KeyCode(virtualKey, down, uint8_t(down ? wasDown : 1), mask);
  } else if (system) {
    key = KeyCode(uint8_t(0), false, 0, mask); // the modifiers alone
  } else if ((mask & kModifierCtrl) && (mask & kModifierAlt)) {
    key = KeyCode(char16_t(0), mask);
  } else {
    return;
  }
  mRootWindow->OnKey(LKeyParam::Create(key, true));
}

void OSWindow::OnCharMessage(WPARAM wParam, LPARAM lParam) {
  if (IsDown(Win::VK_LWIN) || IsDown(Win::VK_RWIN)) {
    return;
  }
  uint32_t mask = 0;
  mask |= IsDown(Win::VK_SHIFT) ? kModifierShift : 0;
  mask |= IsDown(Win::VK_CONTROL) ? kModifierCtrl : 0;
  mask |= AltHeld(lParam) ? kModifierAlt : 0;
  mRootWindow->OnKey(LKeyParam::Create(KeyCode(char16_t(wParam), mask), true));
}

// =============================================================================================
// Pointer
// =============================================================================================

void OSWindow::OnButtonDown(LRootWindow& root, uint32_t button, bool doubleClick, WPARAM wParam, LPARAM lParam) {
  const HWND hwnd = mHwnd.load();
  mLastPoint = PointOf(lParam);
  if (!root.GetFocusedControl()) {
    Win::SetFocus(hwnd);
  }
  mButtonsDown |= button;
  if (mButtonDownCount++ == 0 && !mHoldsCapture) {
    Win::SetCapture(hwnd);
    mHoldsCapture = true;
  }
  root.OnMouseButton(doubleClick ? LRootWindow::kDoubleClick : LRootWindow::kPress, button, MouseModifiers(wParam),
                     mLastPoint, 0);
}

void OSWindow::OnButtonUp(LRootWindow& root, uint32_t button, WPARAM wParam, LPARAM lParam) {
  const HWND hwnd = mHwnd.load();
  mButtonsDown &= ~button;
  mLastPoint = PointOf(lParam);
  const uint32_t modifiers = MouseModifiers(wParam);
  if (mButtonsDown == 0 && mButtonDownCount != 0 && !IsOver(hwnd, mLastPoint)) {
    // Released elsewhere after a drag: the control that holds the capture still hears of it.
    mButtonDownCount = 0;
    mHoldsCapture = false;
    root.OnMouseButton(LRootWindow::kRelease, button, modifiers, mLastPoint, 0);
    Win::ReleaseCapture();
    return;
  }
  root.OnMouseButton(LRootWindow::kRelease, button, modifiers, mLastPoint, 0);
}

void OSWindow::OnMouseMoveMessage(LRootWindow& root, WPARAM wParam, LPARAM lParam) {
  const HWND hwnd = mHwnd.load();
  const PointT<int32_t> point = PointOf(lParam);
  Win::RECT client;
  Win::GetClientRect(hwnd, &client);
  const bool outside = point.x < 0 || point.y < 0 || point.x >= client.right || point.y >= client.bottom;
  if (mHoldsCapture) {
    const bool buttonDown = (wParam & (Win::MK_LBUTTON | Win::MK_MBUTTON | Win::MK_RBUTTON)) != 0;
    if (!buttonDown && (outside || !IsOver(hwnd, point))) {
      mHoldsCapture = false;
      Win::ReleaseCapture();
    }
  } else if (Win::GetActiveWindow() == hwnd && !outside) {
    // Holding the capture over the client area is what lets the tree see the pointer leave.
    Win::SetCapture(hwnd);
    mHoldsCapture = true;
  }
  mLastPoint = point;
  root.OnMouseMove(point, MouseModifiers(wParam), 0);
}

void OSWindow::OnWheel(bool vertical, WPARAM wParam, LPARAM lParam) {
  int32_t& sum = mWheelAccumulator[vertical ? 0 : 1];
  sum += Win::GetWheelDeltaWParam(wParam);
  uint32_t direction = 0;
  if (sum >= Win::WHEEL_DELTA) {
    direction = vertical ? kWheelUp : kWheelRight;
  } else if (sum <= -Win::WHEEL_DELTA) {
    direction = vertical ? kWheelDown : kWheelLeft;
  } else {
    return;
  }
  sum %= Win::WHEEL_DELTA; // one event, however many notches
  Win::POINT point{Win::GetXLParam(lParam), Win::GetYLParam(lParam)};
  Win::ScreenToClient(mHwnd.load(), &point);
  mLastPoint = {point.x, point.y};
  mRootWindow->OnMouseWheel(mLastPoint, MouseModifiers(Win::LoWord(wParam)), direction);
}

// =============================================================================================
// The window
// =============================================================================================

void OSWindow::OnSize(WPARAM kind, LPARAM lParam) {
  const SizeT<int32_t> size{int32_t(Win::LoWord(uintptr_t(lParam))), int32_t(Win::HiWord(uintptr_t(lParam)))};
  if (kind == Win::SIZE_MINIMIZED) {
    return; // nothing shows; the size comes back with the restore
  }
  const RCPtr<LRootWindow> root = mRootWindow;
  if (const RCPtr<LControl> top = root->GetRootControl()) {
    top->OnRootResized(size);
  }
  root->SetWholeWindowDirty();
  UpdateSizeLimits();
  CorrectClientSize();
  if (mRenderContext) {
    RectT<int32_t> client;
    if (GetClientRect(client) == QZ_OK) {
      mRenderContext->SetBounds({0, 0, client.width, client.height});
    }
  }
}

void OSWindow::OnMove() {
  if (mOffWorkArea) {
    mRootWindow->SetWholeWindowDirty();
    mOffWorkArea = false;
  }
  IControlApplication* application = GetControlApplication();
  RectT<int32_t> window;
  if (!application || GetWindowRect(window) != QZ_OK) {
    return;
  }
  const RectT<int32_t> area = application->GetScreenRect();
  const bool inside = window.x >= area.x && window.y >= area.y &&
                      int64_t(window.x) + window.width <= int64_t(area.x) + area.width &&
                      int64_t(window.y) + window.height <= int64_t(area.y) + area.height;
  mOffWorkArea = !inside;
}

void OSWindow::OnCloseCommand() {
  if (IsMainRootWindow()) {
    // The application ends, in order; the window stays until it closes it.
    if (LNotificationCenter* centre = GetApplicationNotificationCenter()) {
      (void)centre->PostNotification(LNotification::Create(u"NID_APP_EXIT_REQ")); // a centre shutting down drops it
    }
    return;
  }
  mRootWindow->Close();
}

Win::LRESULT OSWindow::OnCopyData(const Win::COPYDATASTRUCT* data) {
  const HWND hwnd = mHwnd.load();
  IControlApplication* application = GetControlApplication();
  if (!data || data->dwData != kCommandLineCopyData || !application || !Win::IsWindowEnabled(hwnd)) {
    return 0;
  }
  // The payload's length bounds the text: the sender need not end it with a NUL.
  WString commandLine;
  if (data->lpData && data->cbData > 0) {
    commandLine.AssignUTF8(static_cast<const char*>(data->lpData), data->cbData);
  }
  application->OnCommandLineFromAnotherInstance(commandLine);
  return 1;
}

void OSWindow::OnClipboardUpdate() {
  if (IControlApplication* application = GetControlApplication()) {
    application->OnClipboardUpdate();
  }
}

void OSWindow::OnDropFiles(WPARAM wParam) {
  const auto drop = reinterpret_cast<Win::HDROP>(wParam);
  const RCPtr<LRootWindow> root = mRootWindow;
  const uint32_t count = Win::DragQueryFileCount(drop);
  if (count > 0) {
    RCPtr<LDraggedFiles> files(new LDraggedFiles);
    for (uint32_t i = 0; i < count; ++i) {
      const std::u16string path = Win::DragQueryFile(drop, i); // whole, however long
      files->AddItem(WString(path.c_str(), uint32_t(path.size())));
    }
    root->SetDraggedFiles(files);
  }
  Win::POINT at;
  Win::DragQueryPoint(drop, &at);
  Win::DragFinish(drop);
  if (root->CanDropAt({at.x, at.y})) {
    root->DropFiles();
  }
  root->ClearDrag();
}

Win::LRESULT OSWindow::OnKickIdle(LPARAM idleCount) {
  IControlApplication* application = GetControlApplication();
  if (!application) {
    return 0;
  }
  // The first pass of an idle period raises "NID_IDLE"; at most two passes while work remains.
  return Platform::Host::RunIdlePass(int32_t(idleCount),
                                     [application](bool firstPass) { return application->DoIdleWork(firstPass); })
             ? 1
             : 0;
}

} // namespace QZ
