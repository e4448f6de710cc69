#include "Platform/Window/Window.h"

#include <algorithm>
#include <vector>

#include "Platform/Window/Input.h"
#include "Platform/Window/TextConversion.h"
#include "Platform/Window/WindowState.h"

namespace QZ::Platform::Window {

using namespace Detail;

namespace {

// Runs `use` on hwnd's record under the lock; false when hwnd names no window.
template <class Use>
bool WithRecord(HWND hwnd, Use&& use) {
  State& state = GetState();
  std::lock_guard hold(state.lock);
  WindowRecord* record = IsUiThread() ? FindRemembered(state, hwnd) : FindLocked(state, hwnd);
  if (!record) {
    return false;
  }
  use(*record);
  return true;
}

// Runs `read` on hwnd's record for reading all but its update region: on the UI thread,
// which alone changes those fields and the table, without the lock (a click asks several
// times); elsewhere under it. False when hwnd names no window.
// The locked read of another thread, out of line: the UI thread's read then needs no
// registers saved.
template <class Read>
[[gnu::noinline]] bool ReadLocked(HWND hwnd, Read& read) {
  return WithRecord(hwnd, [&](const WindowRecord& record) { read(record); });
}

template <class Read>
bool ReadRecord(HWND hwnd, Read&& read) {
  if (!IsUiThread()) {
    return ReadLocked(hwnd, read);
  }
  const WindowRecord* record = FindOnUiThread(GetState(), hwnd);
  if (!record) {
    return false;
  }
  read(*record);
  return true;
}

uint32_t SdlIdOf(HWND hwnd) {
  uint32_t id = 0;
  ReadRecord(hwnd, [&](const WindowRecord& record) { id = record.sdlId; });
  return id;
}

VideoBackend& Backend() { return *GetState().backend; }

bool IsNormal(uint32_t sdlFlags) { return !(sdlFlags & (SDL_WINDOW_MINIMIZED | SDL_WINDOW_MAXIMIZED)); }

// Takes the client area's size, and its position when the layer moved the window (SDL
// reads a window's position back only when it moves it), from SDL after the layer moved or
// sized the window; a window neither minimised nor maximised keeps them as its normal
// rectangle.
void RefreshGeometry(HWND hwnd, uint32_t id, bool moved) {
  POINT origin;
  SIZE size;
  Backend().GetWindowPosition(id, origin.x, origin.y);
  Backend().GetWindowSize(id, size.cx, size.cy);
  const bool normal = IsNormal(Backend().GetWindowFlags(id));
  WithRecord(hwnd, [&](WindowRecord& record) {
    const POINT shift = ReportedPositionShift(record);
    origin = moved ? POINT{origin.x + shift.x, origin.y + shift.y} : record.origin;
    record.origin = origin;
    record.size = size;
    if (normal) {
      record.normal = {origin.x, origin.y, origin.x + size.cx, origin.y + size.cy};
    }
  });
}

struct Frame {
  int top = 0;
  int left = 0;
  int bottom = 0;
  int right = 0;
};

Frame FrameOf(uint32_t id) {
  Frame frame;
  if (!Backend().GetWindowBordersSize(id, frame.top, frame.left, frame.bottom, frame.right)) {
    frame = {};
  }
  return frame;
}

// The frame of a window: SDL's once SDL knows one, else the one learnt before it showed.
Frame FrameOf(uint32_t id, const WindowRecord& record) {
  const Frame known = FrameOf(id);
  if (!record.frameLearnt || known.top != 0 || known.left != 0 || known.bottom != 0 || known.right != 0) {
    return known;
  }
  const RECT& learnt = record.learntFrame;
  return Frame{learnt.top, learnt.left, learnt.bottom, learnt.right};
}

// The window's frame, and how far left of and above the client area SDL must be asked to
// put the window: SDL takes off the frame it knows, and the window manager puts the frame's
// corner where the window is asked to go.
struct Placing {
  Frame frame;
  POINT shift;
};

bool PlacingOf(HWND hwnd, uint32_t id, Placing& placing) {
  return WithRecord(hwnd, [&](WindowRecord& record) {
    const Frame known = FrameOf(id);
    placing.frame = FrameOf(id, record);
    placing.shift = {placing.frame.left - known.left, placing.frame.top - known.top};
  });
}

} // namespace

uint32_t GetBackendWindowId(HWND hwnd) { return SdlIdOf(hwnd); }

bool IsWindow(HWND hwnd) {
  return hwnd && WithRecord(hwnd, [](WindowRecord&) {});
}

HWND CreateWindowEx(uint32_t exStyle, std::u16string_view title, uint32_t style, int32_t x, int32_t y, int32_t width,
                    int32_t height, HWND owner, WindowProcedure* procedure) {
  State& state = GetState();
  if (!IsUiThread() || !procedure) {
    return nullptr;
  }
  uint32_t ownerId = 0;
  if (owner && !WithRecord(owner, [&](WindowRecord& record) { ownerId = record.sdlId; })) {
    return nullptr;
  }
  // Made hidden, so that its record exists before SDL reports anything about it.
  uint32_t flags = SDL_WINDOW_HIDDEN;
  if (!(style & (WS_CAPTION | WS_THICKFRAME))) {
    flags |= SDL_WINDOW_BORDERLESS;
  }
  if (style & WS_THICKFRAME) {
    flags |= SDL_WINDOW_RESIZABLE;
  }
  if (exStyle & WS_EX_TOPMOST) {
    flags |= SDL_WINDOW_ALWAYS_ON_TOP;
  }
  const bool defaultPlace = x == CW_USEDEFAULT;
  const uint32_t id = Backend().CreateWindow(ToUtf8(title).c_str(), defaultPlace ? int(SDL_WINDOWPOS_UNDEFINED) : x,
                                             defaultPlace ? int(SDL_WINDOWPOS_UNDEFINED) : y, std::max(width, 1),
                                             std::max(height, 1), flags);
  if (id == 0) {
    return nullptr;
  }
  if (ownerId != 0) {
    Backend().SetWindowModalFor(id, ownerId);
  }
  WindowRecord record;
  record.sdlId = id;
  record.procedure = procedure;
  record.owner = owner;
  record.style = style;
  record.exStyle = exStyle;
  record.title = title;
  record.enabled = !(style & WS_DISABLED);
  Backend().GetWindowPosition(id, record.origin.x, record.origin.y);
  Backend().GetWindowSize(id, record.size.cx, record.size.cy);
  record.normal = {record.origin.x, record.origin.y, record.origin.x + record.size.cx,
                   record.origin.y + record.size.cy};
  record.sizeSent = record.size;
  HWND hwnd = nullptr;
  {
    std::lock_guard hold(state.lock);
    hwnd = ToHandle(state.nextHandle++);
    state.windows.emplace(ToSerial(hwnd), std::move(record));
    state.bySdlId.emplace(id, ToSerial(hwnd));
  }
  if (style & WS_CAPTION) {
    VideoBackend& backend = Backend();
    backend.SetWindowActions(id, style & WS_THICKFRAME, style & WS_MINIMIZEBOX, style & WS_MAXIMIZEBOX);
    RECT frame{};
    if (backend.LearnWindowFrame(id, frame.top, frame.left, frame.bottom, frame.right)) {
      WithRecord(hwnd, [&](WindowRecord& made) {
        made.learntFrame = frame;
        made.frameLearnt = true;
      });
      // The window manager puts the frame's corner where the window stands when it shows.
      if (!defaultPlace) {
        backend.SetWindowPosition(id, x - frame.left, y - frame.top);
      }
    }
  }
  if (style & WS_MAXIMIZE) {
    Backend().MaximizeWindow(id);
  } else if (style & WS_MINIMIZE) {
    Backend().MinimizeWindow(id);
  }
  if (style & WS_VISIBLE) {
    ShowWindow(hwnd, SW_SHOW);
  }
  return hwnd;
}

bool DestroyWindow(HWND hwnd) {
  State& state = GetState();
  if (!IsUiThread()) {
    return false;
  }
  std::vector<HWND> owned;
  {
    std::lock_guard hold(state.lock);
    WindowRecord* record = FindLocked(state, hwnd);
    if (!record || record->destroying) {
      return false;
    }
    record->destroying = true;
    for (auto& [serial, other] : state.windows) {
      if (other.owner == hwnd) {
        owned.push_back(ToHandle(serial));
      }
    }
  }
  for (HWND window : owned) {
    DestroyWindow(window); // one already being destroyed finishes on its own
  }
  if (state.capture == hwnd) {
    state.capture = nullptr;
    StopMouseCapture(state);
  }
  if (state.focus == hwnd) {
    state.focus = nullptr;
  }
  SendMessage(hwnd, WM_DESTROY, 0, 0);
  SendMessage(hwnd, WM_NCDESTROY, 0, 0);
  uint32_t id = 0;
  {
    std::lock_guard hold(state.lock);
    WindowRecord* record = FindLocked(state, hwnd);
    if (!record) {
      return true; // the layer was shut down from the window's own procedure
    }
    id = record->sdlId;
    state.bySdlId.erase(id);
    state.windows.erase(ToSerial(hwnd));
    if (state.lastHandle == hwnd) {
      state.lastHandle = nullptr;
      state.lastSdlId = 0;
      state.lastRecord = nullptr;
    }
  }
  Backend().DestroyWindow(id);
  return true;
}

HWND GetParent(HWND hwnd) {
  HWND owner = nullptr;
  WithRecord(hwnd, [&](WindowRecord& record) { owner = record.owner; });
  return owner;
}

uint32_t GetWindowStyle(HWND hwnd) {
  uint32_t style = 0;
  WithRecord(hwnd, [&](WindowRecord& record) { style = record.style; });
  return style;
}

LRESULT SendMessage(HWND hwnd, uint32_t message, WPARAM wParam, LPARAM lParam) {
  State& state = GetState();
  if (!OnUiThread(state)) {
    return 0;
  }
  const WindowRecord* record = FindOnUiThread(state, hwnd);
  WindowProcedure* procedure = record ? record->procedure : nullptr;
  return procedure ? procedure->WindowProc(hwnd, message, wParam, lParam) : 0;
}

LRESULT DefWindowProc(HWND hwnd, uint32_t message, WPARAM wParam, LPARAM lParam) {
  (void)lParam; // no default handling reads it
  switch (message) {
  case WM_SYSCOMMAND:
    if ((wParam & 0xFFF0) == SC_CLOSE) {
      SendMessage(hwnd, WM_CLOSE, 0, 0);
    }
    break;
  case WM_CLOSE:
    DestroyWindow(hwnd);
    break;
  case WM_PAINT:
    ValidateRect(hwnd, nullptr);
    break;
  case WM_DROPFILES:
    DragFinish(reinterpret_cast<HDROP>(wParam));
    break;
  default:
    break;
  }
  return 0;
}

bool SetWindowText(HWND hwnd, std::u16string_view text) {
  uint32_t id = 0;
  if (!IsUiThread() || !WithRecord(hwnd, [&](WindowRecord& record) {
        record.title = text;
        id = record.sdlId;
      })) {
    return false;
  }
  Backend().SetWindowTitle(id, ToUtf8(text).c_str());
  return true;
}

bool SetWindowIcon(HWND hwnd, const uint32_t* pixels, int32_t width, int32_t height, int32_t pitch) {
  uint32_t id = 0;
  if (!pixels || width <= 0 || height <= 0 || !IsUiThread() ||
      !WithRecord(hwnd, [&](WindowRecord& record) { id = record.sdlId; })) {
    return false;
  }
  return Backend().SetWindowIcon(id, pixels, width, height, pitch);
}

std::u16string GetWindowText(HWND hwnd) {
  std::u16string title;
  WithRecord(hwnd, [&](WindowRecord& record) { title = record.title; });
  return title;
}

bool ShowWindow(HWND hwnd, int32_t command) {
  uint32_t id = 0;
  bool wasVisible = false;
  bool firstFramed = false;
  if (!IsUiThread() || !WithRecord(hwnd, [&](WindowRecord& record) {
        id = record.sdlId;
        wasVisible = record.visible;
        record.visible = command != SW_HIDE;
        // From its first showing on, SDL reports where the client area is.
        firstFramed = record.frameLearnt && !record.shown && command != SW_HIDE;
        record.shown = record.shown || command != SW_HIDE;
      })) {
    return false;
  }
  VideoBackend& backend = Backend();
  switch (command) {
  case SW_HIDE:
    backend.HideWindow(id);
    break;
  case SW_SHOWMINIMIZED:
  case SW_MINIMIZE:
  case SW_SHOWMINNOACTIVE:
    backend.ShowWindow(id);
    backend.MinimizeWindow(id);
    break;
  case SW_SHOWMAXIMIZED:
    backend.ShowWindow(id);
    backend.MaximizeWindow(id);
    backend.RaiseWindow(id);
    break;
  case SW_SHOWNOACTIVATE:
    backend.ShowWindow(id);
    backend.RestoreWindow(id);
    break;
  case SW_SHOWNA:
    backend.ShowWindow(id);
    break;
  case SW_SHOW:
    backend.ShowWindow(id);
    backend.RaiseWindow(id);
    break;
  default: // SW_SHOWNORMAL, SW_RESTORE, SW_SHOWDEFAULT
    backend.ShowWindow(id);
    backend.RestoreWindow(id);
    backend.RaiseWindow(id);
    break;
  }
  if (firstFramed) {
    // Until SDL knows the frame, it would place the window by its client area's corner.
    backend.AwaitWindowFrame(id);
  }
  if (!wasVisible && command != SW_HIDE) {
    InvalidateRect(hwnd, nullptr, false);
  }
  return wasVisible;
}

bool IsWindowVisible(HWND hwnd) {
  bool visible = false;
  WithRecord(hwnd, [&](WindowRecord& record) { visible = record.visible; });
  return visible;
}

bool IsIconic(HWND hwnd) {
  const uint32_t id = SdlIdOf(hwnd);
  return id != 0 && (Backend().GetWindowFlags(id) & SDL_WINDOW_MINIMIZED);
}

bool IsZoomed(HWND hwnd) {
  const uint32_t id = SdlIdOf(hwnd);
  return id != 0 && (Backend().GetWindowFlags(id) & SDL_WINDOW_MAXIMIZED);
}

bool EnableWindow(HWND hwnd, bool enable) {
  bool wasDisabled = false;
  WithRecord(hwnd, [&](WindowRecord& record) {
    wasDisabled = !record.enabled;
    record.enabled = enable;
  });
  return wasDisabled;
}

bool IsWindowEnabled(HWND hwnd) {
  bool enabled = false;
  WithRecord(hwnd, [&](WindowRecord& record) { enabled = record.enabled; });
  return enabled;
}

bool GetClientRect(HWND hwnd, RECT* rect) {
  return rect && ReadRecord(hwnd, [&](const WindowRecord& record) { *rect = {0, 0, record.size.cx, record.size.cy}; });
}

bool GetClientScreenRect(HWND hwnd, RECT* rect) {
  return rect && ReadRecord(hwnd, [&](const WindowRecord& record) {
           *rect = {record.origin.x, record.origin.y, record.origin.x + record.size.cx,
                    record.origin.y + record.size.cy};
         });
}

bool GetWindowRect(HWND hwnd, RECT* rect) {
  uint32_t id = 0;
  POINT origin;
  SIZE size;
  Frame frame;
  if (!rect || !IsUiThread() || !WithRecord(hwnd, [&](WindowRecord& record) {
        id = record.sdlId;
        origin = record.origin;
        size = record.size;
        frame = FrameOf(id, record);
      })) {
    return false;
  }
  *rect = {origin.x - frame.left, origin.y - frame.top, origin.x + size.cx + frame.right,
           origin.y + size.cy + frame.bottom};
  return true;
}

bool ClientToScreen(HWND hwnd, POINT* point) {
  return point && ReadRecord(hwnd, [&](const WindowRecord& record) {
           point->x += record.origin.x;
           point->y += record.origin.y;
         });
}

bool ScreenToClient(HWND hwnd, POINT* point) {
  return point && ReadRecord(hwnd, [&](const WindowRecord& record) {
           point->x -= record.origin.x;
           point->y -= record.origin.y;
         });
}

bool SetWindowPos(HWND hwnd, HWND insertAfter, int32_t x, int32_t y, int32_t width, int32_t height, uint32_t flags) {
  const uint32_t id = IsUiThread() ? SdlIdOf(hwnd) : 0;
  if (id == 0) {
    return false;
  }
  VideoBackend& backend = Backend();
  Placing placing;
  PlacingOf(hwnd, id, placing);
  const Frame& frame = placing.frame;
  if (!(flags & SWP_NOMOVE)) {
    backend.SetWindowPosition(id, x + frame.left - placing.shift.x, y + frame.top - placing.shift.y);
  }
  if (!(flags & SWP_NOSIZE)) {
    backend.SetWindowSize(id, std::max(width - frame.left - frame.right, 1),
                          std::max(height - frame.top - frame.bottom, 1));
  }
  if (!(flags & SWP_NOZORDER)) {
    if (insertAfter == HWND_TOPMOST || insertAfter == HWND_NOTOPMOST) {
      backend.SetWindowAlwaysOnTop(id, insertAfter == HWND_TOPMOST);
    }
    if (!(flags & SWP_NOACTIVATE) && insertAfter != HWND_NOTOPMOST) {
      backend.RaiseWindow(id);
    }
  }
  RefreshGeometry(hwnd, id, !(flags & SWP_NOMOVE));
  if (flags & SWP_SHOWWINDOW) {
    ShowWindow(hwnd, SW_SHOWNA);
  } else if (flags & SWP_HIDEWINDOW) {
    ShowWindow(hwnd, SW_HIDE);
  }
  return true;
}

bool MoveWindow(HWND hwnd, int32_t x, int32_t y, int32_t width, int32_t height, bool repaint) {
  if (!SetWindowPos(hwnd, nullptr, x, y, width, height, SWP_NOZORDER | SWP_NOACTIVATE)) {
    return false;
  }
  if (repaint) {
    InvalidateRect(hwnd, nullptr, false);
  }
  return true;
}

bool BringWindowToTop(HWND hwnd) {
  const uint32_t id = IsUiThread() ? SdlIdOf(hwnd) : 0;
  if (id == 0) {
    return false;
  }
  Backend().RaiseWindow(id);
  return true;
}

unsigned long GetXWindowId(HWND hwnd) {
  const uint32_t id = IsUiThread() ? SdlIdOf(hwnd) : 0;
  return id != 0 ? Backend().GetXWindow(id) : 0;
}

int32_t OwnProcessWindows(HWND hwnd, int32_t pid) {
  const uint32_t id = IsUiThread() && pid > 0 ? SdlIdOf(hwnd) : 0;
  return id != 0 ? Backend().OwnProcessWindows(id, pid) : 0;
}

bool SetClientSizeLimits(HWND hwnd, SIZE minimum, SIZE maximum) {
  const uint32_t id = IsUiThread() ? SdlIdOf(hwnd) : 0;
  constexpr int kUnlimited = 16384;
  const int minWidth = std::max(minimum.cx, 1);
  const int minHeight = std::max(minimum.cy, 1);
  const int maxWidth = maximum.cx > 0 ? maximum.cx : kUnlimited;
  const int maxHeight = maximum.cy > 0 ? maximum.cy : kUnlimited;
  if (id == 0 || minWidth > maxWidth || minHeight > maxHeight) {
    return false;
  }
  // SDL refuses a minimum above the maximum in force and the other way round.
  Backend().SetWindowMinimumSize(id, 1, 1);
  Backend().SetWindowMaximumSize(id, maxWidth, maxHeight);
  Backend().SetWindowMinimumSize(id, minWidth, minHeight);
  return true;
}

bool GetWindowPlacement(HWND hwnd, WINDOWPLACEMENT* placement) {
  const uint32_t id = IsUiThread() && placement ? SdlIdOf(hwnd) : 0;
  if (id == 0) {
    return false;
  }
  const uint32_t flags = Backend().GetWindowFlags(id);
  *placement = WINDOWPLACEMENT{};
  placement->showCmd = (flags & SDL_WINDOW_MAXIMIZED)   ? SW_SHOWMAXIMIZED
                       : (flags & SDL_WINDOW_MINIMIZED) ? SW_SHOWMINIMIZED
                                                        : SW_SHOWNORMAL;
  WithRecord(hwnd, [&](WindowRecord& record) { placement->rcNormalPosition = record.normal; });
  return true;
}

bool SetWindowPlacement(HWND hwnd, const WINDOWPLACEMENT* placement) {
  const uint32_t id = IsUiThread() && placement ? SdlIdOf(hwnd) : 0;
  const RECT normal = placement ? placement->rcNormalPosition : RECT{};
  // A rectangle read from a file may be anything: X places windows with 16-bit coordinates.
  constexpr int32_t kLargest = 32767;
  auto representable = [&](int32_t value) { return value >= -kLargest && value <= kLargest; };
  if (id == 0 || IsEmpty(normal) || !representable(normal.left) || !representable(normal.top) ||
      !representable(normal.right) || !representable(normal.bottom)) {
    return false;
  }
  VideoBackend& backend = Backend();
  Placing placing;
  PlacingOf(hwnd, id, placing);
  backend.RestoreWindow(id);
  backend.SetWindowPosition(id, normal.left - placing.shift.x, normal.top - placing.shift.y);
  backend.SetWindowSize(id, normal.right - normal.left, normal.bottom - normal.top);
  RefreshGeometry(hwnd, id, true);
  WithRecord(hwnd, [&](WindowRecord& record) { record.normal = normal; });
  ShowWindow(hwnd, int32_t(placement->showCmd));
  return true;
}

namespace {

bool Contains(const RECT& outer, const RECT& inner) {
  return inner.left >= outer.left && inner.top >= outer.top && inner.right <= outer.right &&
         inner.bottom <= outer.bottom;
}

// A part inside another adds nothing; parts inside the new one go (a whole window
// invalidated stays one rectangle, which the paint recognises as the whole window).
void AddUpdatePart(std::vector<RECT>& parts, const RECT& part, const RECT& bounds) {
  if (parts.empty()) [[likely]] { // mostly: the last paint took them all
    parts.push_back(part);
    return;
  }
  if (std::any_of(parts.begin(), parts.end(), [&](const RECT& kept) { return Contains(kept, part); })) {
    return;
  }
  std::erase_if(parts, [&](const RECT& kept) { return Contains(part, kept); });
  if (parts.size() >= kMaxUpdateParts) {
    parts.assign(1, bounds);
  } else {
    parts.push_back(part);
  }
}

} // namespace

bool InvalidateRect(HWND hwnd, const RECT* rect, bool erase) {
  (void)erase; // there is no background to erase
  bool added = false;
  if (!WithRecord(hwnd, [&](WindowRecord& record) {
        const RECT client{0, 0, record.size.cx, record.size.cy};
        const RECT clipped = rect ? Intersect(*rect, client) : client;
        if (!IsEmpty(clipped)) {
          record.update = Union(record.update, clipped);
          AddUpdatePart(record.updateParts, clipped, record.update);
          record.hasUpdate.Set(true);
          GetState().paintPending.store(true);
          added = true;
        }
      })) {
    return false;
  }
  // A wake from the UI thread does nothing: each invalidation there spares the call.
  if (added && !IsUiThread()) {
    RequestWake();
  }
  return true;
}

bool ValidateRect(HWND hwnd, const RECT* rect) {
  return WithRecord(hwnd, [&](WindowRecord& record) {
    RECT& update = record.update;
    if (!rect) {
      update = {};
      record.updateParts.clear();
      record.hasUpdate.Set(false);
      return;
    }
    const RECT& r = *rect;
    const bool fullWidth = r.left <= update.left && r.right >= update.right;
    const bool fullHeight = r.top <= update.top && r.bottom >= update.bottom;
    if (fullWidth && r.top <= update.top && r.bottom > update.top) {
      update.top = std::min(r.bottom, update.bottom);
    } else if (fullWidth && r.bottom >= update.bottom && r.top < update.bottom) {
      update.bottom = std::max(r.top, update.top);
    } else if (fullHeight && r.left <= update.left && r.right > update.left) {
      update.left = std::min(r.right, update.right);
    } else if (fullHeight && r.right >= update.right && r.left < update.right) {
      update.right = std::max(r.left, update.left);
    }
    if (IsEmpty(update)) {
      update = {};
    }
    record.hasUpdate.Set(!IsEmpty(update));
    std::vector<RECT>& parts = record.updateParts;
    for (RECT& part : parts) {
      part = Intersect(part, update);
      if (Contains(r, part)) {
        part = {};
      }
    }
    std::erase_if(parts, [](const RECT& part) { return IsEmpty(part); });
  });
}

bool GetUpdateRect(HWND hwnd, RECT* rect, bool erase) {
  (void)erase; // there is no background to erase
  RECT update;
  WithRecord(hwnd, [&](WindowRecord& record) { update = record.update; });
  if (rect) {
    *rect = update;
  }
  return !IsEmpty(update);
}

bool GetUpdateRects(HWND hwnd, std::vector<RECT>& rects) {
  rects.clear();
  WithRecord(hwnd, [&](WindowRecord& record) { rects = record.updateParts; });
  return !rects.empty();
}

bool TakeUpdateRects(HWND hwnd, std::vector<RECT>& rects) {
  rects.clear();
  WithRecord(hwnd, [&](WindowRecord& record) {
    rects.swap(record.updateParts); // each keeps the other's storage
    record.update = {};
    record.hasUpdate.Set(false);
  });
  return !rects.empty();
}

bool UpdateWindow(HWND hwnd) {
  bool due = false;
  if (!IsUiThread() ||
      !WithRecord(hwnd, [&](WindowRecord& record) { due = record.visible && !IsEmpty(record.update); })) {
    return false;
  }
  if (due) {
    SendMessage(hwnd, WM_PAINT, 0, 0);
  }
  return true;
}

bool RedrawWindow(HWND hwnd, const RECT* rect, uint32_t flags) {
  if (!IsWindow(hwnd)) {
    return false;
  }
  if (flags & RDW_INVALIDATE) {
    InvalidateRect(hwnd, rect, flags & RDW_ERASE);
  }
  return !(flags & RDW_UPDATENOW) || UpdateWindow(hwnd);
}

bool GetWindowPixels(HWND hwnd, WindowPixels& pixels) {
  const uint32_t id = IsUiThread() ? SdlIdOf(hwnd) : 0;
  SDL_Surface* surface = id ? Backend().GetWindowSurface(id) : nullptr;
  if (!surface || !surface->format ||
      (surface->format->format != SDL_PIXELFORMAT_ARGB8888 && surface->format->format != SDL_PIXELFORMAT_RGB888)) {
    return false;
  }
  pixels = {surface->pixels, surface->w, surface->h, surface->pitch};
  return true;
}

bool PresentWindowPixels(HWND hwnd, const WindowPixels& lent, const RECT* rects, size_t count) {
  // The frame's pixels tell the surface's size: the surface is not looked up again.
  const uint32_t id = IsUiThread() ? SdlIdOf(hwnd) : 0;
  if (!id || !lent.pixels || (count > 0 && !rects)) {
    return false;
  }
  const RECT bounds{0, 0, lent.width, lent.height};
  // A frame's few rectangles stay on the stack: a click's repaint allocates nothing here.
  constexpr size_t kOnStack = 8;
  SDL_Rect few[kOnStack];
  std::vector<SDL_Rect> many;
  SDL_Rect* parts = few;
  if (count > kOnStack) {
    many.resize(count);
    parts = many.data();
  }
  int kept = 0;
  for (size_t i = 0; i < count; ++i) {
    const RECT part = Intersect(rects[i], bounds);
    if (!IsEmpty(part)) {
      parts[kept++] = {part.left, part.top, part.right - part.left, part.bottom - part.top};
    }
  }
  return kept == 0 || Backend().UpdateWindowSurfaceRects(id, parts, kept);
}

HWND GetFocus() { return IsUiThread() ? GetState().focus : nullptr; }

HWND GetActiveWindow() { return GetFocus(); }

HWND SetFocus(HWND hwnd) {
  const HWND previous = GetFocus();
  // The focus window again (each click asks for it) needs no look at the table.
  const uint32_t id = IsUiThread() && hwnd != previous ? SdlIdOf(hwnd) : 0;
  if (id != 0 && hwnd != previous && !Backend().SetWindowInputFocus(id)) {
    Backend().RaiseWindow(id);
  }
  return previous;
}

HWND SetActiveWindow(HWND hwnd) {
  State& state = GetState();
  const HWND previous = GetFocus();
  const uint32_t id = IsUiThread() ? SdlIdOf(hwnd) : 0;
  if (id == 0) {
    return nullptr;
  }
  Backend().RaiseWindow(id);
  // Without a window manager only a focus request moves the focus; with one, its answer
  // comes a round trip later, and input meanwhile must already reach the window.
  Backend().SetWindowInputFocus(id); // the window system's answer follows as a focus event
  if (previous != hwnd) {
    state.focus = hwnd;
    if (previous) {
      SendMessage(previous, WM_KILLFOCUS, reinterpret_cast<WPARAM>(hwnd), 0);
    }
    SendMessage(hwnd, WM_SETFOCUS, reinterpret_cast<WPARAM>(previous), 0);
  }
  return previous;
}

HWND SetCapture(HWND hwnd) {
  State& state = GetState();
  if (!IsUiThread() || !IsWindow(hwnd)) {
    return nullptr;
  }
  const HWND previous = state.capture;
  if (previous == hwnd) {
    return previous;
  }
  state.capture = hwnd;
  // As on Windows, the mouse outside our windows is captured only while a button is held
  // (a global grab would take the clicks meant for other programs). Our windows' mouse
  // events go to the capture window in any case, also where the driver cannot capture.
  if (AnyButtonDown(state) && !state.mouseCaptured) {
    state.mouseCaptured = Backend().CaptureMouse(true);
  }
  if (previous) {
    SendMessage(previous, WM_CAPTURECHANGED, 0, reinterpret_cast<LPARAM>(hwnd));
  }
  return previous;
}

bool ReleaseCapture() {
  State& state = GetState();
  if (!IsUiThread()) {
    return false;
  }
  const HWND previous = state.capture;
  if (previous) {
    state.capture = nullptr;
    StopMouseCapture(state);
    SendMessage(previous, WM_CAPTURECHANGED, 0, 0);
  }
  return true;
}

HWND GetCapture() { return IsUiThread() ? GetState().capture : nullptr; }

HWND WindowFromPoint(POINT point) {
  State& state = GetState();
  if (!IsUiThread()) {
    return nullptr;
  }
  const uint32_t mouseWindow = Backend().GetMouseFocus();
  // The table and the fields read here change on the UI thread alone: read without the lock.
  auto contains = [&](const WindowRecord& record) {
    // The frame costs the window system a round trip: a point in the client area needs none.
    if (point.x >= record.origin.x && point.y >= record.origin.y && point.x < record.origin.x + record.size.cx &&
        point.y < record.origin.y + record.size.cy) {
      return true;
    }
    const Frame frame = FrameOf(record.sdlId);
    return point.x >= record.origin.x - frame.left && point.y >= record.origin.y - frame.top &&
           point.x < record.origin.x + record.size.cx + frame.right &&
           point.y < record.origin.y + record.size.cy + frame.bottom;
  };
  // The window under the pointer, else the focus window: each found by what names it.
  auto holds = [&](HWND hwnd) {
    const WindowRecord* record = hwnd ? FindOnUiThread(state, hwnd) : nullptr;
    return record && record->visible && contains(*record);
  };
  if (const HWND under = mouseWindow != 0 ? FindBySdlId(state, mouseWindow) : nullptr; holds(under)) {
    return under;
  }
  if (holds(state.focus)) {
    return state.focus;
  }
  for (const auto& [serial, record] : state.windows) {
    if (record.visible && contains(record)) {
      return ToHandle(serial);
    }
  }
  return nullptr;
}

} // namespace QZ::Platform::Window
