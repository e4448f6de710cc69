// The root window's life, its tree, its rectangles, idle work, drops and hot keys; the wait
// cursor.

#include "QZFramework/ControlBase/RootWindow.h"

#include <algorithm>
#include <limits>

#include "QZFramework/ControlBase/ControlApplication.h"
#include "QZFramework/ControlBase/ControlFactory.h"
#include "QZFramework/ControlBase/ControlRoles.h"
#include "QZFramework/ControlBase/StringTable.h"
#include "QZFramework/Notification/Notification.h"

namespace QZ {

namespace {

// The hot keys of a root window when no application makes them: bound, but raising nothing.
RCPtr<LGlobalHotKeyManager> MakeHotKeys() {
  IControlApplication* application = GetControlApplication();
  RCPtr<LGlobalHotKeyManager> keys = application ? application->CreateGlobalHotKeyManager() : nullptr;
  return keys ? keys : RCPtr<LGlobalHotKeyManager>(new LGlobalHotKeyManager(nullptr));
}

// Larger than any client area: a wanted size that only the largest-size rule can reduce.
constexpr int32_t kUnlimitedSide = 16384;

} // namespace

// =============================================================================================
// Life
// =============================================================================================

LRootWindow::LRootWindow(const RCPtr<LRenderer>& renderer, IWindowOSServices* os)
    : mRenderer(renderer), mOS(os), mHotKeys(MakeHotKeys()) {}

RCPtr<LRootWindow> LRootWindow::Create(const RCPtr<LRenderer>& renderer, IWindowOSServices* os) {
  RCPtr<LRootWindow> window(new LRootWindow(renderer, os));
  window->AttachDistributor(window);
  return window;
}

LRootWindow::~LRootWindow() {
  mHotKeys = nullptr;
  mFocusedControl = nullptr;
  mMouseOverControl = nullptr;
  mCaptureControl = nullptr;
  mRootControl = nullptr; // not detached: a tree that still holds the window would keep it alive
  mRenderer = nullptr;
  mDropTarget = nullptr;
  mDraggedFiles = nullptr;
  mPreviousFocusedControl = nullptr;
  mToolTipOwner = nullptr;
}

void LRootWindow::SetOSServices(IWindowOSServices* os) {
  std::unique_lock exclusive(mOSLink);
  mOS = os;
}

bool LRootWindow::IsInputActive() const { return mOS && mOS->IsActive(); }

QZResult LRootWindow::ReleaseInternalReferences() {
  InstallRootControl(nullptr);
  UnregisterAllClients();
  Shutdown();
  return LRefCountedObject::ReleaseInternalReferences();
}

// =============================================================================================
// The tree
// =============================================================================================

QZResult LRootWindow::SetRootControl(const WString& name) {
  if (name.IsEmpty()) {
    return InstallRootControl(nullptr);
  }
  IControlApplication* application = GetControlApplication();
  const RCPtr<LControlFactory> factory = application ? application->GetControlFactory() : nullptr;
  if (!factory) {
    return QZ_E_FAIL;
  }
  const RCPtr<LRootWindow> self(this);
  const RCPtr<LControl> control = factory->CreateControlByName(name, self); // installs it
  return control ? QZ_OK : QZ_E_FAIL;
}

QZResult LRootWindow::InstallRootControl(const RCPtr<LControl>& control) {
  // A control that learns its window from here installs itself again: nothing to do then.
  if (control && control == mRootControl) {
    return QZ_OK;
  }
  const RCPtr<LRootWindow> self(this);
  mFocusedControl = nullptr;
  mPreviousFocusedControl = nullptr;
  mMouseOverControl = nullptr;
  mCaptureControl = nullptr;
  mDropTarget = nullptr;
  if (mRootControl) {
    AddInternalReferences(-1);
    const RCPtr<LControl> old = std::move(mRootControl);
    old->Detach();
    mHotKeys->GetHotKeyMap().Clear();
  }
  mTimedIdleRequests.clear(); // the old tree let go of its requests as it left
  if (!control) {
    return QZ_OK;
  }
  mRootControl = control;
  LoadGlobalHotKeys(control);
  if (!control->GetRootWindowRef()) {
    control->SetRootWindow(self); // it calls back here, and finds itself installed
  }

  // The top control fills the client area, whatever its skin entry says about its place.
  if (const RCPtr<LLayoutDescriptor>& layout = control->GetLayoutDescriptor()) {
    LayoutPosition position[2];
    LayoutSize size[2];
    for (int32_t axis = 0; axis < 2; ++axis) {
      layout->GetAxis(axis, position[axis], size[axis]);
      position[axis].anchor = 0.0f;
      position[axis].kind = kPositionToClient;
      position[axis].rel = 0.0f;
      position[axis].abs = 0.0;
      size[axis].kind = kSizeToClient;
      size[axis].rel = 1.0f;
      size[axis].abs = 0.0;
    }
    control->SetPlacement(position[0], size[0], position[1], size[1]);
  }
  if (mOS) {
    mOS->UpdateSizeLimits();
  }
  if (!mFocusedControl && mOS) {
    if (mOS->HasFocus()) {
      control->SetFocus(true); // a failure leaves the focus where it is
    } else {
      mOS->Activate(); // the focus message comes back as OnActivate
    }
  }
  AddInternalReferences(1);
  const RectT<int32_t> client = GetClientRect();
  InvalidateRect({0, 0, client.width, client.height});
  // The tree hangs under its window now: what it hears from the window (its commands, the
  // idle ticks) can be subscribed.
  control->SubscribeNotifications();
  return QZ_OK;
}

QZResult LRootWindow::LoadGlobalHotKeys(const RCPtr<LControl>& control) {
  const RCPtr<LStringTable> table = control ? control->GetStringTable() : nullptr;
  if (!table) {
    return QZ_FALSE;
  }
  return mHotKeys->GetHotKeyMap().ParseDefinitions(table.Get(), u"GHK");
}

// =============================================================================================
// Rectangles
// =============================================================================================

RectT<int32_t> LRootWindow::GetClientRect() {
  if (mOS) {
    RectT<int32_t> client;
    if (mOS->GetClientScreenRect(client) == QZ_OK) {
      // Only this thread writes the rectangle: it reads it without the lock, and takes the
      // lock only to change it (mostly it is as it was).
      if (!(client == mClientRect)) {
        std::lock_guard hold(mRegionLock);
        mClientRect = client;
      }
      return client;
    }
  }
  return LockedClientRect();
}

RectT<int32_t> LRootWindow::LockedClientRect() {
  std::lock_guard hold(mRegionLock);
  return mClientRect;
}

QZResult LRootWindow::SetClientRect(const RectT<int32_t>& rect) {
  if (!mOS || rect == GetClientRect()) {
    return QZ_FALSE;
  }
  mOS->SetClientRect(rect); // the size message lays the tree out again
  if (const RCPtr<LControl> root = mRootControl) {
    const RCPtr<LLayoutDescriptor>& layout = root->GetLayoutDescriptor();
    root->InvalidateChildRect({0.0, 0.0, root->GetRect().width, root->GetRect().height},
                              !layout || layout->clipToParent);
  }
  return QZ_OK;
}

RectT<int32_t> LRootWindow::GetFrameRect() {
  RectT<int32_t> frame;
  if (mOS && mOS->GetWindowRect(frame) == QZ_OK) {
    return frame;
  }
  return GetClientRect();
}

QZResult LRootWindow::SetFrameRect(const RectT<int32_t>& rect) {
  if (!mOS || rect == GetFrameRect()) {
    return QZ_FALSE;
  }
  return mOS->SetWindowRect(rect) == QZ_OK ? QZ_OK : QZ_FALSE;
}

void LRootWindow::SetCaption(const WString& text) {
  if (mOS) {
    mOS->SetTitle(text);
  }
}

bool LRootWindow::AdjustClientSize(SizeT<int32_t>& size) {
  const SizeT<int32_t> wanted = size;
  const RCPtr<LControl> root = mRootControl;
  if (root && root->GetLayoutDescriptor()) {
    IControlApplication* application = GetControlApplication();
    const RectT<int32_t> client = GetClientRect();
    const RectT<int32_t> desktop = application ? application->GetScreenRect() : RectT<int32_t>{};
    const PointT<int32_t> pointer = application ? application->GetMouseScreenPosition() : PointT<int32_t>{};
    const RectT<double> screen{-double(client.x), -double(client.y), double(desktop.width), double(desktop.height)};
    RectT<double> placed;
    if (root->LayoutAxisFromReference(root->GetLayoutDescriptor(), nullptr, screen,
                                      {double(size.width), double(size.height)}, {double(pointer.x), double(pointer.y)},
                                      placed) == QZ_OK) {
      PointT<double> position{placed.x, placed.y};
      SizeT<double> placedSize{placed.width, placed.height};
      root->LayoutSizeFromText(position, placedSize); // an anchor may forbid the change
      root->LayoutSizeFromChildren(position, placedSize);
      size = {RoundToInt32(placedSize.width), RoundToInt32(placedSize.height)};
    }
  }
  size.width = std::max(size.width, 1);
  size.height = std::max(size.height, 1);
  return !(size == wanted);
}

void LRootWindow::GetClientSizeLimits(SizeT<int32_t>& minimum, SizeT<int32_t>& maximum) {
  minimum = {1, 1};
  AdjustClientSize(minimum);
  maximum = {kUnlimitedSide, kUnlimitedSide};
  AdjustClientSize(maximum);
  maximum.width = maximum.width >= kUnlimitedSide ? 0 : maximum.width;
  maximum.height = maximum.height >= kUnlimitedSide ? 0 : maximum.height;
}

void LRootWindow::UpdateLayout() {
  const RectT<int32_t> client = GetClientRect();
  InvalidateRect({0, 0, client.width, client.height});
  if (mOS) {
    mOS->Redraw();
  }
}

// =============================================================================================
// Cursor and modifiers
// =============================================================================================

CursorHandle LRootWindow::SetCursor(CursorHandle cursor) {
  if (!mOS) {
    return 0;
  }
  if (!cursor) {
    IControlApplication* application = GetControlApplication();
    cursor = application ? application->GetApplicationCursor(u"UI_CURSOR_ARROW") : 0;
  }
  return mOS->SetCursor(cursor);
}

uint32_t LRootWindow::GetModifierState() {
  IControlApplication* application = GetControlApplication();
  if (!application) {
    return 0;
  }
  constexpr int32_t kShiftKey = 0x10;
  constexpr int32_t kControlKey = 0x11;
  constexpr int32_t kAltKey = 0x12;
  uint32_t modifiers = 0;
  modifiers |= application->IsKeyDown(kControlKey) ? kModifierCtrl : 0;
  modifiers |= application->IsKeyDown(kShiftKey) ? kModifierShift : 0;
  modifiers |= application->IsKeyDown(kAltKey) ? kModifierAlt : 0;
  return modifiers;
}

// =============================================================================================
// Modal end and idle work
// =============================================================================================

QZResult LRootWindow::EndModal(int32_t result) {
  if (!mOS) {
    return QZ_E_FAIL;
  }
  mModalResult = result;
  mEndModalPending = true;
  return QZ_OK;
}

void LRootWindow::Close() {
  // The root control is held while it ends: its listeners may replace it.
  if (const RCPtr<LControl> root = mRootControl; auto* const dialog = dynamic_cast<IDialogRole*>(root.Get())) {
    dialog->CancelFromWindow();
    return;
  }
  if (mOS) {
    EndModal(0);
  }
}

bool LRootWindow::ProcessKeyQueue(bool sendIdle) {
  const RCPtr<LRootWindow> self(this);
  if (sendIdle && !mTimedIdleRequests.empty()) {
    WakeIdleRequests(); // before "NID_IDLE", which the woken then receive
  }
  const bool more = ProcessNotifications(sendIdle);
  if (mEndModalPending && mOS) {
    mEndModalPending = false;
    // The OS window may close and let go of this root window: self keeps it.
    mOS->EndModal(mModalResult);
  }
  return more;
}

// =============================================================================================
// Files dragged from the desktop
// =============================================================================================

void LRootWindow::SetDraggedFiles(const RCPtr<LDraggedFiles>& files) { mDraggedFiles = files; }

bool LRootWindow::CanDropAt(const PointT<int32_t>& point) {
  PointT<int32_t> local;
  const RCPtr<LControl> target = SetMouseOverAt(point, local, false);
  if (target != mDropTarget) {
    mDropTarget = target;
    mDropAccepted = target && target->CanDropFiles(mDraggedFiles);
  }
  if (!target) {
    mDropAccepted = false;
  }
  return mDropAccepted;
}

QZResult LRootWindow::DropFiles() {
  const RCPtr<LControl> target = mDropTarget;
  return target ? target->DropFiles(mDraggedFiles) : QZResult(QZ_FALSE);
}

void LRootWindow::ClearDrag() {
  mDraggedFiles = nullptr;
  mDropTarget = nullptr;
  mDropAccepted = false;
}

// =============================================================================================
// Commands and idle ticks
// =============================================================================================

QZResult LRootWindow::HandleCommand(const RCPtr<LNotification>& command) {
  const RCPtr<LRootWindow> self(this);
  return SendNotification(command);
}

RCPtr<LNotificationDistributor> LRootWindow::GetIdleDistributor() { return RCPtr<LNotificationDistributor>(this); }

QZResult LRootWindow::AddIdleRequestAt(const RCPtr<LControl>& control, double seconds) {
  if (!control) {
    return QZ_E_INVALIDARG;
  }
  auto kept = std::find_if(mTimedIdleRequests.begin(), mTimedIdleRequests.end(),
                           [&](const TimedIdleRequest& request) { return request.control == control; });
  if (kept == mTimedIdleRequests.end()) {
    mTimedIdleRequests.push_back({seconds, control});
  } else {
    kept->seconds = seconds;
  }
  mEarliestIdleRequest = std::numeric_limits<double>::infinity();
  for (const TimedIdleRequest& request : mTimedIdleRequests) {
    mEarliestIdleRequest = std::min(mEarliestIdleRequest, request.seconds);
  }
  return QZ_OK;
}

bool LRootWindow::CancelIdleRequestAt(const LControl* control) {
  const auto kept = std::find_if(mTimedIdleRequests.begin(), mTimedIdleRequests.end(),
                                 [&](const TimedIdleRequest& request) { return request.control.Get() == control; });
  if (kept == mTimedIdleRequests.end()) {
    return false;
  }
  mTimedIdleRequests.erase(kept); // the earliest time may now be early: a pass then finds none due
  return true;
}

void LRootWindow::WakeIdleRequests() {
  // As the widgets' clock counts a step due: a microsecond short is due.
  constexpr double kDueTolerance = 1e-6;
  IControlApplication* application = GetControlApplication();
  const double now = application ? application->GetElapsedSeconds() : 0.0;
  if (mEarliestIdleRequest - now > kDueTolerance) {
    return;
  }
  std::vector<RCPtr<LControl>> due;
  double earliest = std::numeric_limits<double>::infinity();
  for (auto request = mTimedIdleRequests.begin(); request != mTimedIdleRequests.end();) {
    if (request->seconds - now <= kDueTolerance) {
      due.push_back(std::move(request->control));
      request = mTimedIdleRequests.erase(request);
    } else {
      earliest = std::min(earliest, request->seconds);
      ++request;
    }
  }
  mEarliestIdleRequest = earliest;
  for (const RCPtr<LControl>& control : due) {
    control->AddIdleRequest(); // outside this window's tree only counted
  }
}

// =============================================================================================
// Wait cursor
// =============================================================================================

LWaitCursorScope::LWaitCursorScope(const WString& statusText) {
  IControlApplication* application = GetControlApplication();
  if (!application) {
    return;
  }
  mWindow = application->GetActiveRootWindow();
  if (!mWindow) {
    mWindow = application->GetRootWindowAt(0);
  }
  if (mWindow) {
    mPreviousCursor = mWindow->SetCursor(application->GetApplicationCursor(u"UI_CURSOR_WAIT"));
  }
  application->SetStatusText(statusText);
  application->DoIdleWork(true);
}

LWaitCursorScope::~LWaitCursorScope() {
  IControlApplication* application = GetControlApplication();
  if (mWindow) {
    mWindow->SetCursor(mPreviousCursor); // the wait cursor it replaces
  }
  if (application) {
    application->RestoreStatusText();
  }
  mWindow = nullptr;
}

} // namespace QZ
