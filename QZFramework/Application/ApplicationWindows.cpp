// The application base's windows: the main window with its remembered place, and the
// other root windows.

#include <algorithm>
#include <climits>
#include <memory>

#include "Platform/Window/Window.h"
#include "QZFramework/Application/ApplicationBase.h"
#include "QZFramework/Application/WindowLayout.h"
#include "QZFramework/ControlBase/OSWindow.h"
#include "QZFramework/Utilities/Graphics/Bitmap.h"

namespace QZ {

namespace Win = Platform::Window;

namespace {

constexpr std::string_view kSourceName = "Application/ApplicationBaseWin";
constexpr char16_t kRootWindowClass[] = u"QZFrameworkWindow";

MFCFrameworkAppBase* GetHost() { return dynamic_cast<MFCFrameworkAppBase*>(HostApp::Get()); }

RectT<int32_t> FromRECT(const Win::RECT& rect) {
  return {rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top};
}

Win::RECT ToRECT(const RectT<int32_t>& rect) { return {rect.x, rect.y, rect.x + rect.width, rect.y + rect.height}; }

// The placement record as the OS window writes it: eleven little-endian 32-bit words.
bool ReadPlacement(const std::vector<uint8_t>& bytes, Win::WINDOWPLACEMENT& placement) {
  constexpr size_t kWords = 11;
  if (bytes.size() != kWords * 4) {
    return false;
  }
  uint32_t words[kWords];
  for (size_t i = 0; i < kWords; ++i) {
    words[i] = uint32_t(bytes[i * 4]) | uint32_t(bytes[i * 4 + 1]) << 8 | uint32_t(bytes[i * 4 + 2]) << 16 |
               uint32_t(bytes[i * 4 + 3]) << 24;
  }
  placement.length = words[0];
  placement.flags = words[1];
  placement.showCmd = words[2];
  placement.ptMinPosition = {int32_t(words[3]), int32_t(words[4])};
  placement.ptMaxPosition = {int32_t(words[5]), int32_t(words[6])};
  placement.rcNormalPosition = {int32_t(words[7]), int32_t(words[8]), int32_t(words[9]), int32_t(words[10])};
  return placement.length == kWords * 4 && placement.rcNormalPosition.right > placement.rcNormalPosition.left &&
         placement.rcNormalPosition.bottom > placement.rcNormalPosition.top;
}

// The descriptor's position and size, each truncated to whole pixels.
RectT<int32_t> DescriptorRect(const LControlDescriptor& descriptor) {
  const RCPtr<LLayoutDescriptor>& layout = descriptor.GetLayout();
  if (!layout) {
    return {};
  }
  return {int32_t(layout->position[0].abs), int32_t(layout->position[1].abs), int32_t(layout->size[0].abs),
          int32_t(layout->size[1].abs)};
}

// Moves the window to rect (screen coordinates, frame included), repainting it.
void MoveTo(Win::HWND hwnd, const RectT<int32_t>& rect) {
  Win::MoveWindow(hwnd, rect.x, rect.y, rect.width, rect.height, true);
}

// The window rectangle (frame included) whose client size went through root's limits.
RectT<int32_t> WithinLimits(Win::HWND hwnd, LRootWindow& root, RectT<int32_t> window) {
  Win::RECT bounds;
  Win::RECT client;
  if (!Win::GetWindowRect(hwnd, &bounds) || !Win::GetClientRect(hwnd, &client)) {
    return window;
  }
  const int32_t frameWidth = (bounds.right - bounds.left) - client.right;
  const int32_t frameHeight = (bounds.bottom - bounds.top) - client.bottom;
  SizeT<int32_t> size{window.width - frameWidth, window.height - frameHeight};
  if (root.AdjustClientSize(size)) {
    window.width = size.width + frameWidth;
    window.height = size.height + frameHeight;
  }
  return window;
}

} // namespace

void LApplicationBaseCommon::SetWindowIcons(Win::HWND hwnd) {
  const RCPtr<LBitmap> icon = GetAppIcon();
  const RCPtr<LBitmapData> pixels = icon ? icon->LockPixels() : nullptr;
  if (!pixels || pixels->GetWidth() <= 0) {
    return;
  }
  // The window system keeps one picture per window for both of the Windows sizes.
  Win::SetWindowIcon(hwnd, pixels->GetPixelAddress(0, 0), pixels->GetWidth(), pixels->GetHeight(),
                     pixels->GetRowLength() * 4); // a window without an icon still works
}

QZResult LApplicationBaseCommon::CreateMainWindow(int32_t rendererType) {
  auto window = std::make_unique<OSWindow>();
  const WString title = GetCompanyName();
  const RCPtr<LControlFactory> factory = GetControlFactory();
  const RCPtr<LControlDescriptor> descriptor = factory ? factory->FindControlDescriptor(GetMainControlName()) : nullptr;
  if (!descriptor) {
    Throw<std::runtime_error>({MethodName("CreateMainWindow"), kSourceName, 1272},
                              "Null Pointer : Invalid Control Name");
  }
  const uint32_t style = MainWindowStyle(descriptor->GetLayout().Get());
  const RectT<int32_t> rect = DescriptorRect(*descriptor);
  if (!window->CreateEx(0, MFCFrameworkAppBase::GetAppId(), title, style, rect.x, rect.y, rect.width, rect.height,
                        nullptr)) {
    return QZ_E_FAIL;
  }
  OSWindow& made = *window.release(); // the window's from now on
  const Win::HWND hwnd = made.GetSafeHwnd();
  SetWindowIcons(hwnd);
  if (MFCFrameworkAppBase* host = GetHost()) {
    host->SetMainWindow(hwnd);
  }
  const QZResult result = made.CreateRenderer(rendererType);
  PlaceMainWindow(made);
  return result;
}

void LApplicationBaseCommon::PlaceMainWindow(OSWindow& window) {
  const Win::HWND hwnd = window.GetSafeHwnd();
  if (const MFCFrameworkAppBase* host = GetHost()) {
    Win::WINDOWPLACEMENT placement;
    const auto stored = host->GetProfileBinary(MFCFrameworkAppBase::GetAppId(), WString(u"WP"));
    if (stored && ReadPlacement(*stored, placement)) {
      // Whatever the entry says, the window opens shown, and maximised only when it can be.
      const uint32_t style = Win::GetWindowStyle(hwnd);
      if (placement.showCmd != Win::SW_SHOWMAXIMIZED || !(style & Win::WS_MAXIMIZEBOX)) {
        placement.showCmd = Win::SW_SHOWNORMAL;
      }
      // A window of fixed size keeps its skin's size: the entry may be another skin's.
      Win::RECT client;
      if (!(style & Win::WS_THICKFRAME) && Win::GetClientRect(hwnd, &client)) {
        Win::RECT& normal = placement.rcNormalPosition;
        normal.right = int32_t(std::clamp<int64_t>(int64_t(normal.left) + client.right, INT32_MIN, INT32_MAX));
        normal.bottom = int32_t(std::clamp<int64_t>(int64_t(normal.top) + client.bottom, INT32_MIN, INT32_MAX));
      }
      Win::SetWindowPlacement(hwnd, &placement);
    }
  }
  if (Win::IsIconic(hwnd)) {
    Win::ShowWindow(hwnd, Win::SW_RESTORE); // it was visible
  }
  if (Win::IsZoomed(hwnd)) {
    return; // the window system holds a maximised window on the screen
  }
  Win::RECT bounds;
  if (!Win::GetWindowRect(hwnd, &bounds)) {
    return;
  }
  const RectT<int32_t> area = GetDesktopWorkArea();
  Win::RECT wanted = ToRECT(ShrinkToArea(FromRECT(bounds), area));
  window.AdjustToClientSize(wanted);
  MoveTo(hwnd, FitInsideArea(FromRECT(wanted), area));
}

QZResult LApplicationBaseCommon::SetMainRootControl(const WString& name) {
  const RCPtr<LRootWindow> root = GetMainRootWindow();
  const QZResult result = root->SetRootControl(name);
  // The top control gave the window its size (a placement of another skin or screen had
  // another): held on the work area again at that size.
  IWindowOSServices* os = root->GetOSServices();
  const Win::HWND hwnd = os ? static_cast<Win::HWND>(os->GetHandle()) : nullptr;
  Win::RECT bounds;
  if (hwnd && !Win::IsZoomed(hwnd) && Win::GetWindowRect(hwnd, &bounds)) {
    const RectT<int32_t> area = GetDesktopWorkArea();
    // A window its limits keep larger than the area keeps its size, its caption inside.
    MoveTo(hwnd, MoveInsideArea(WithinLimits(hwnd, *root, ShrinkToArea(FromRECT(bounds), area)), area));
  }
  return result;
}

int32_t LApplicationBaseCommon::CreateRootWindowForControl(const RCPtr<LControl>& control, bool systemMenu) {
  const int32_t index = CreateRootWindow(control, false, systemMenu, false, false, false, WString());
  if (Failed(index)) {
    return index;
  }
  const RCPtr<LRootWindow> window = DynamicCast<LRootWindow>(GetRootWindowAt(uint32_t(index)));
  IWindowOSServices* os = window ? window->GetOSServices() : nullptr;
  return os ? os->RunModalLoop() : QZ_E_FAIL;
}

int32_t LApplicationBaseCommon::CreateRootWindowAt(const RCPtr<LControl>& control, bool systemMenu, bool minimizeBox,
                                                   bool maximizeBox) {
  return CreateRootWindow(control, true, systemMenu, minimizeBox, maximizeBox, false, WString());
}

int32_t LApplicationBaseCommon::CreateRootWindow(const RCPtr<LControl>& control, bool ownWindow, bool systemMenu,
                                                 bool minimizeBox, bool maximizeBox, bool fromName,
                                                 const WString& name) {
  auto window = std::make_unique<OSWindow>();
  const uint32_t previousCount = GetRootWindowCount();
  const RCPtr<LControlFactory> factory = GetControlFactory();
  const RCPtr<LControlDescriptor> named = fromName && factory ? factory->FindControlDescriptor(name) : nullptr;

  bool resizable = false;
  if (fromName || ownWindow) {
    const RCPtr<LControlDescriptor> sizing = named ? named : (control ? control->GetControlDescriptor() : nullptr);
    if (!sizing) {
      Throw<std::runtime_error>({MethodName("CreateRootWindow"), kSourceName, 981},
                                "Null Pointer : Control descriptor is null");
    }
    resizable = IsResizable(sizing->GetLayout().Get());
  }
  const uint32_t style = RootWindowStyle(resizable, systemMenu, minimizeBox, maximizeBox);

  WString title;
  RectT<int32_t> rect;
  RCPtr<LRootWindow> owner;
  if (fromName) {
    if (!named) {
      Throw<std::runtime_error>({MethodName("CreateRootWindow"), kSourceName, 1039},
                                "Null Pointer : Invalid Control Name");
    }
    LookupString(named->GetCreateParams().Get(), u"LABEL", title);
    rect = DescriptorRect(*named);
  } else {
    owner = FindActiveRootWindow();
    if (!owner) {
      owner = GetMainRootWindow();
    }
    if (control) {
      title = control->GetText();
      const RectT<double>& bounds = control->GetRect();
      PointT<int32_t> origin = PointT<double>{bounds.x, bounds.y}.Round();
      if (IWindowOSServices* os = owner->GetOSServices()) {
        os->ClientToScreen(origin);
      }
      rect = {origin.x, origin.y, RoundToInt32(bounds.width), RoundToInt32(bounds.height)};
    }
  }
  Win::HWND ownerWindow = nullptr;
  if (!ownWindow && owner && owner->GetOSServices()) {
    ownerWindow = static_cast<Win::HWND>(owner->GetOSServices()->GetHandle());
  }
  const uint32_t exStyle = ownWindow ? 0u : Win::WS_EX_DLGMODALFRAME;
  if (!window->CreateEx(exStyle, WString(kRootWindowClass), title, style, rect.x, rect.y, rect.width, rect.height,
                        ownerWindow)) {
    return QZ_E_FAIL;
  }
  OSWindow& made = *window.release(); // the window's from now on
  const Win::HWND hwnd = made.GetSafeHwnd();
  SetWindowIcons(hwnd);

  if (fromName) {
    (void)made.CreateRenderer(GetRendererType()); // a failure shows as the missing root window below
  } else {
    const RCPtr<LRootWindow> active = FindActiveRootWindow();
    const RCPtr<LRootWindow>& rendererSource = active ? active : owner;
    made.OnCreateRootWindow(rendererSource ? rendererSource->GetRenderer() : nullptr);
  }
  const RCPtr<LRootWindow> root = made.GetRootWindow();
  if (!root || GetRootWindowCount() != previousCount + 1) {
    Win::DestroyWindow(hwnd); // the object goes with its window
    return QZ_E_FAIL;
  }
  if (fromName) {
    root->SetRootControl(name); // a skin without it leaves the window empty
  } else {
    // The control becomes the window's top control, which loads its hot keys.
    root->InstallRootControl(control);
  }

  // Held on the work area once the top control's limits have had their say.
  Win::RECT bounds;
  if (Win::GetWindowRect(hwnd, &bounds)) {
    made.AdjustToClientSize(bounds);
    MoveTo(hwnd, MoveInsideArea(FromRECT(bounds), GetDesktopWorkArea()));
  }
  if (fromName) {
    if (MFCFrameworkAppBase* host = GetHost()) {
      host->SetMainWindow(hwnd);
    }
    Win::ShowWindow(hwnd, Win::SW_SHOW);
    Win::UpdateWindow(hwnd);
  }
  return int32_t(previousCount);
}

} // namespace QZ
