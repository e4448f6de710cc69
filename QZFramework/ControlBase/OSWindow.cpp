// The OS window's life (creation, renderer, root window, destruction and self-deletion),
// its services to the root window and its modal loop.

#include "QZFramework/ControlBase/OSWindow.h"

#include <array>

#include "Platform/Host/MessageLoop.h"
#include "Platform/Host/ModalLoop.h"
#include "Platform/Window/Input.h"
#include "QZFramework/ControlBase/ControlApplication.h"

namespace QZ {

namespace Win = Platform::Window;
namespace Host = Platform::Host;

namespace {

Win::RECT ToRECT(const RectT<int32_t>& rect) { return {rect.x, rect.y, rect.x + rect.width, rect.y + rect.height}; }

RectT<int32_t> FromRECT(const Win::RECT& rect) {
  return {rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top};
}

// The placement record as the profile keeps it: eleven little-endian 32-bit words.
std::array<uint8_t, sizeof(Win::WINDOWPLACEMENT)> PlacementBytes(const Win::WINDOWPLACEMENT& placement) {
  const uint32_t words[] = {placement.length,
                            placement.flags,
                            placement.showCmd,
                            uint32_t(placement.ptMinPosition.x),
                            uint32_t(placement.ptMinPosition.y),
                            uint32_t(placement.ptMaxPosition.x),
                            uint32_t(placement.ptMaxPosition.y),
                            uint32_t(placement.rcNormalPosition.left),
                            uint32_t(placement.rcNormalPosition.top),
                            uint32_t(placement.rcNormalPosition.right),
                            uint32_t(placement.rcNormalPosition.bottom)};
  std::array<uint8_t, sizeof(Win::WINDOWPLACEMENT)> bytes{};
  for (size_t i = 0; i < std::size(words); ++i) {
    for (size_t b = 0; b < 4; ++b) {
      bytes[i * 4 + b] = uint8_t(words[i] >> (8 * b));
    }
  }
  return bytes;
}

} // namespace

// =============================================================================================
// Life
// =============================================================================================

OSWindow::CallScope::~CallScope() {
  if (--mWindow.mCallDepth == 0 && mWindow.mDeleteWhenUnwound) {
    delete &mWindow;
  }
}

OSWindow::OSWindow() = default;

OSWindow::~OSWindow() {
  if (const HWND hwnd = mHwnd.load()) {
    // Never the path of a window that is still in use: its handlers must not delete it again.
    ++mCallDepth;
    mDeleteWhenUnwound = false;
    Win::DestroyWindow(hwnd);
  }
}

bool OSWindow::CreateEx(uint32_t exStyle, const WString& className, const WString& title, uint32_t style, int32_t x,
                        int32_t y, int32_t width, int32_t height, HWND owner) {
  if (mHwnd.load()) {
    return false;
  }
  mClassName = className;
  const HWND hwnd = Win::CreateWindowEx(exStyle, title.View(), style | Win::WS_CLIPSIBLINGS | Win::WS_CLIPCHILDREN, x,
                                        y, width, height, owner, this);
  mHwnd = hwnd;
  // Every window hears the clipboard's updates: the process owns the clipboard, not a window.
  (void)(hwnd && Win::AddClipboardFormatListener(hwnd)); // true for a window that exists
  return hwnd != nullptr;
}

QZResult OSWindow::CreateRenderer(int32_t kind) {
  const HWND hwnd = mHwnd.load();
  RectT<int32_t> client;
  // The OpenGL renderer draws into GL windows of SDL's own, which the window layer's are not.
  if (!hwnd || kind == kRendererOpenGL || GetClientRect(client) != QZ_OK) {
    return QZ_E_FAIL;
  }
  const RCPtr<LRenderer> renderer = LRenderer::Create(kind, client, hwnd);
  Host::SetTimer(hwnd, kIdleTimerId, kIdleTimerMs);
  return OnCreateRootWindow(renderer);
}

QZResult OSWindow::OnCreateRootWindow(const RCPtr<LRenderer>& renderer) {
  const HWND hwnd = mHwnd.load();
  RectT<int32_t> client;
  if (!hwnd || !renderer || GetClientRect(client) != QZ_OK) {
    return QZ_E_FAIL;
  }
  mRenderer = renderer;
  RCPtr<LRenderContextInfo> context;
  if (const QZResult made = renderer->InitRenderContextInfo(client, hwnd, false, context); made != QZ_OK) {
    return made;
  }
  mRenderContext = context;
  mGdiContext = dynamic_cast<LGDIRenderContextInfo*>(context.Get());
  mRootWindow = LRootWindow::Create(renderer, this);
  if (IControlApplication* application = GetControlApplication()) {
    application->AddRootWindow(mRootWindow);
  }
  return QZ_OK;
}

void OSWindow::OnDestroy() { SavePlacement(); }

void OSWindow::OnNcDestroy() {
  const RCPtr<LRootWindow> root = std::move(mRootWindow);
  if (root) {
    root->SetOSServices(nullptr);
    if (IControlApplication* application = GetControlApplication()) {
      application->RemoveRootWindow(root);
    }
  }
  mRenderContext = nullptr;
  mGdiContext = nullptr;
  mRenderer = nullptr;
  mHwnd = nullptr;
  mDeleteWhenUnwound = true;
}

void OSWindow::DestroyNow() {
  if (const HWND hwnd = mHwnd.load()) {
    Win::DestroyWindow(hwnd);
  }
}

bool OSWindow::IsMainRootWindow() const {
  IControlApplication* application = GetControlApplication();
  return mRootWindow && application &&
         application->GetRootWindowAt(0).Get() == static_cast<IRootWindow*>(mRootWindow.Get());
}

void OSWindow::SavePlacement() {
  const HWND hwnd = mHwnd.load();
  IControlApplication* application = GetControlApplication();
  Win::WINDOWPLACEMENT placement;
  if (!hwnd || !application || !IsMainRootWindow() || Win::GetParent(hwnd) ||
      !Win::GetWindowPlacement(hwnd, &placement)) {
    return;
  }
  // Read back at start-up: a window closed while minimised opens restored.
  if (placement.showCmd != Win::SW_SHOWMAXIMIZED) {
    placement.showCmd = Win::SW_SHOWNORMAL;
  }
  const auto bytes = PlacementBytes(placement);
  (void)application->WriteProfileBinary(mClassName, u"WP",
                                        bytes); // a profile that cannot be written keeps the old place
}

void OSWindow::EnableInput() {
  if (const HWND hwnd = mHwnd.load()) {
    Win::EnableWindow(hwnd, true);
  }
}

void OSWindow::DisableInput() {
  if (const HWND hwnd = mHwnd.load()) {
    Win::EnableWindow(hwnd, false);
  }
}

bool OSWindow::AdjustToClientSize(Win::RECT& rect) {
  const HWND hwnd = mHwnd.load();
  Win::RECT window;
  Win::RECT client;
  if (!mRootWindow || !hwnd || !Win::GetWindowRect(hwnd, &window) || !Win::GetClientRect(hwnd, &client)) {
    return false;
  }
  const int32_t frameWidth = (window.right - window.left) - (client.right - client.left);
  const int32_t frameHeight = (window.bottom - window.top) - (client.bottom - client.top);
  SizeT<int32_t> size{rect.right - rect.left - frameWidth, rect.bottom - rect.top - frameHeight};
  if (!mRootWindow->AdjustClientSize(size)) {
    return false;
  }
  rect.right = rect.left + size.width + frameWidth;
  rect.bottom = rect.top + size.height + frameHeight;
  return true;
}

void OSWindow::CorrectClientSize() {
  const HWND hwnd = mHwnd.load();
  Win::RECT window;
  if (!hwnd || !Win::GetWindowRect(hwnd, &window)) {
    return;
  }
  Win::RECT adjusted = window;
  if (AdjustToClientSize(adjusted)) {
    Win::SetWindowPos(hwnd, nullptr, adjusted.left, adjusted.top, adjusted.right - adjusted.left,
                      adjusted.bottom - adjusted.top, Win::SWP_NOZORDER | Win::SWP_NOACTIVATE | Win::SWP_NOMOVE);
  }
}

// =============================================================================================
// IWindowOSServices
// =============================================================================================

QZResult OSWindow::SetTitle(const WString& title) {
  const HWND hwnd = mHwnd.load();
  return hwnd && Win::SetWindowText(hwnd, title.View()) ? QZ_OK : QZ_E_FAIL;
}

QZResult OSWindow::InvalidateAll() {
  const HWND hwnd = mHwnd.load();
  return hwnd && Win::InvalidateRect(hwnd, nullptr, true) ? QZ_OK : QZ_E_FAIL;
}

QZResult OSWindow::InvalidateRect(const RectT<int32_t>& rect) {
  const HWND hwnd = mHwnd.load();
  const Win::RECT area = ToRECT(rect);
  return hwnd && Win::InvalidateRect(hwnd, &area, false) ? QZ_OK : QZ_E_FAIL;
}

QZResult OSWindow::GetClientRect(RectT<int32_t>& rect) {
  const HWND hwnd = mHwnd.load();
  Win::RECT client;
  if (!hwnd || !Win::GetClientRect(hwnd, &client)) {
    return QZ_E_FAIL;
  }
  if (client.right >= client.left && client.bottom >= client.top) {
    rect = FromRECT(client);
  }
  return QZ_OK;
}

QZResult OSWindow::GetClientScreenRect(RectT<int32_t>& rect) {
  const HWND hwnd = mHwnd.load();
  Win::RECT client;
  if (!hwnd || !Win::GetClientScreenRect(hwnd, &client)) {
    return QZ_E_FAIL;
  }
  const bool ordered = client.right >= client.left && client.bottom >= client.top;
  rect = {client.left, client.top, ordered ? client.right - client.left : 0, ordered ? client.bottom - client.top : 0};
  return QZ_OK;
}

QZResult OSWindow::ScreenToClient(PointT<int32_t>& point) {
  const HWND hwnd = mHwnd.load();
  Win::POINT converted{point.x, point.y};
  if (!hwnd || !Win::ScreenToClient(hwnd, &converted)) {
    return QZ_E_FAIL;
  }
  point = {converted.x, converted.y};
  return QZ_OK;
}

QZResult OSWindow::ClientToScreen(PointT<int32_t>& point) {
  const HWND hwnd = mHwnd.load();
  Win::POINT converted{point.x, point.y};
  if (!hwnd || !Win::ClientToScreen(hwnd, &converted)) {
    return QZ_E_FAIL;
  }
  point = {converted.x, converted.y};
  return QZ_OK;
}

QZResult OSWindow::SetClientRect(const RectT<int32_t>& rect) {
  const HWND hwnd = mHwnd.load();
  Win::RECT window;
  Win::RECT client;
  Win::POINT origin;
  if (!hwnd || !Win::GetWindowRect(hwnd, &window) || !Win::GetClientRect(hwnd, &client) ||
      !Win::ClientToScreen(hwnd, &origin)) {
    return QZ_E_FAIL;
  }
  const int32_t frameWidth = (window.right - window.left) - client.right;
  const int32_t frameHeight = (window.bottom - window.top) - client.bottom;
  Win::SetWindowPos(hwnd, nullptr, window.left + rect.x - origin.x, window.top + rect.y - origin.y,
                    rect.width + frameWidth, rect.height + frameHeight, Win::SWP_NOZORDER);
  return QZ_OK;
}

bool OSWindow::Show(int32_t command) {
  const HWND hwnd = mHwnd.load();
  return hwnd && Win::ShowWindow(hwnd, command);
}

QZResult OSWindow::Redraw() {
  const HWND hwnd = mHwnd.load();
  return hwnd && Win::RedrawWindow(hwnd, nullptr, Win::RDW_INVALIDATE | Win::RDW_ERASE | Win::RDW_UPDATENOW)
             ? QZ_OK
             : QZ_E_FAIL;
}

QZResult OSWindow::BringToTop() {
  const HWND hwnd = mHwnd.load();
  return hwnd && Win::BringWindowToTop(hwnd) ? QZ_OK : QZ_E_FAIL;
}

QZResult OSWindow::SetTopMost(bool topMost) {
  const HWND hwnd = mHwnd.load();
  return hwnd && Win::SetWindowPos(hwnd, topMost ? Win::HWND_TOPMOST : Win::HWND_NOTOPMOST, 0, 0, 0, 0,
                                   Win::SWP_NOMOVE | Win::SWP_NOSIZE)
             ? QZ_OK
             : QZ_E_FAIL;
}

QZResult OSWindow::EndModal(int32_t result) {
  CallScope scope(*this);
  if (!mHwnd.load()) {
    return QZ_E_FAIL;
  }
  if (mInModalLoop) {
    mInModalLoop = false;
    Host::EndModalLoop(mHwnd.load(), result);
    return QZ_OK;
  }
  DestroyNow();
  return QZ_OK;
}

int32_t OSWindow::RunModalLoop() {
  CallScope scope(*this);
  const HWND hwnd = mHwnd.load();
  if (!hwnd || mInModalLoop) {
    return -1;
  }
  mInModalLoop = true;
  const HWND parent = Win::GetParent(hwnd);
  const bool disableParent = parent && Win::IsWindowEnabled(parent);
  if (disableParent) {
    Win::EnableWindow(parent, false); // it was enabled
  }
  Win::EnableWindow(hwnd, true);
  const int32_t result = Host::RunModalLoop(hwnd);
  mInModalLoop = false;
  // The owner becomes active unless another window of ours took over; what the window
  // system said last may lag (the dialog's focus not read yet, a message box's read).
  const HWND active = Win::GetActiveWindow();
  const bool activateParent = disableParent && mHwnd.load() && (!active || active == hwnd || active == parent);
  if (disableParent && Win::IsWindow(parent)) {
    Win::EnableWindow(parent, true); // it was disabled here
  }
  DestroyNow();
  if (activateParent && Win::IsWindow(parent)) {
    // Active at once, before the window system says so: the user's next click on it counts.
    Win::SetActiveWindow(parent);
  }
  return result;
}

bool OSWindow::IsActive() {
  const HWND hwnd = mHwnd.load();
  if (!hwnd) {
    return false;
  }
  const HWND active = Win::GetActiveWindow();
  if (active == hwnd) {
    return true;
  }
  return IsMainRootWindow() && active && active == Win::GetParent(hwnd);
}

bool OSWindow::HasFocus() {
  const HWND hwnd = mHwnd.load();
  return hwnd && Win::GetFocus() == hwnd;
}

QZResult OSWindow::Activate() {
  const HWND hwnd = mHwnd.load();
  if (!hwnd) {
    return QZ_E_FAIL;
  }
  Win::SetFocus(hwnd);
  return QZ_OK;
}

CursorHandle OSWindow::SetCursor(CursorHandle cursor) {
  const Win::HCURSOR previous = Win::GetCursor();
  const auto wanted = reinterpret_cast<Win::HCURSOR>(cursor);
  if (wanted != previous) {
    Win::SetCursor(wanted);
  }
  return reinterpret_cast<CursorHandle>(previous);
}

PointT<int32_t> OSWindow::GetCursorPos() {
  const HWND hwnd = mHwnd.load();
  if (hwnd && !mHoldsCapture) {
    Win::POINT point;
    if (Win::GetCursorPos(&point) && Win::ScreenToClient(hwnd, &point)) {
      mLastPoint = {point.x, point.y};
    }
  }
  return mLastPoint;
}

uint32_t OSWindow::GetMouseButtons() {
  if (!mHoldsCapture) {
    uint32_t buttons = 0;
    buttons |= Win::GetKeyState(Win::VK_LBUTTON) < 0 ? kMouseButtonLeft : 0;
    buttons |= Win::GetKeyState(Win::VK_MBUTTON) < 0 ? kMouseButtonMiddle : 0;
    buttons |= Win::GetKeyState(Win::VK_RBUTTON) < 0 ? kMouseButtonRight : 0;
    mButtonsDown = buttons;
  }
  return mButtonsDown;
}

QZResult OSWindow::GetWindowRect(RectT<int32_t>& rect) {
  const HWND hwnd = mHwnd.load();
  Win::RECT window;
  if (!hwnd || !Win::GetWindowRect(hwnd, &window)) {
    return QZ_E_FAIL;
  }
  rect = FromRECT(window);
  return QZ_OK;
}

QZResult OSWindow::SetWindowRect(const RectT<int32_t>& rect) {
  const HWND hwnd = mHwnd.load();
  return hwnd && Win::SetWindowPos(hwnd, nullptr, rect.x, rect.y, rect.width, rect.height,
                                   Win::SWP_NOZORDER | Win::SWP_NOACTIVATE)
             ? QZ_OK
             : QZ_E_FAIL;
}

QZResult OSWindow::UpdateSizeLimits() {
  const HWND hwnd = mHwnd.load();
  if (!hwnd || !mRootWindow) {
    return QZ_E_FAIL;
  }
  SizeT<int32_t> minimum;
  SizeT<int32_t> maximum;
  mRootWindow->GetClientSizeLimits(minimum, maximum);
  return Win::SetClientSizeLimits(hwnd, {minimum.width, minimum.height}, {maximum.width, maximum.height}) ? QZ_OK
                                                                                                          : QZ_E_FAIL;
}

} // namespace QZ
