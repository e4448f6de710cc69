// The root window's dirty region (shared with other threads) and the painting of its tree.

#include <algorithm>
#include <mutex>
#include <vector>

#include "QZFramework/ControlBase/RootWindow.h"
#include "QZFramework/Renderer/AutoClip.h"

namespace QZ {

void LRootWindow::InvalidateRect(const RectT<int32_t>& rect) {
  RectT<int32_t> clipped;
  {
    Mutex::ScopedLock hold(mRegionLock);
    // The rectangle is in client coordinates: it is cut to the client area's size, wherever
    // the client area lies on the screen.
    const int64_t left = std::max<int64_t>(rect.x, 0);
    const int64_t top = std::max<int64_t>(rect.y, 0);
    const int64_t right = std::min<int64_t>(int64_t(rect.x) + rect.width, mClientRect.width);
    const int64_t bottom = std::min<int64_t>(int64_t(rect.y) + rect.height, mClientRect.height);
    if (right - left < 1 || bottom - top < 1) {
      return;
    }
    clipped = {int32_t(left), int32_t(top), int32_t(right - left), int32_t(bottom - top)};
    mDirtyRegion.AddRect({clipped.x, clipped.y, clipped.x + clipped.width, clipped.y + clipped.height});
  }
  std::shared_lock link(mOSLink);
  if (mOS) {
    mOS->InvalidateRect(clipped);
  }
}

void LRootWindow::TakeDirtyRegion(RectListT<int32_t>& out) {
  if (mWholeWindowDirty) {
    mWholeWindowDirty = false;
    // Painted now: the OS window needs no request of its own for it.
    const RectT<int32_t> client = GetClientRect();
    Mutex::ScopedLock hold(mRegionLock);
    mDirtyRegion.AddRect({0, 0, client.width, client.height});
  }
  Mutex::ScopedLock hold(mRegionLock);
  out = std::move(mDirtyRegion);
  mDirtyRegion.Clear();
}

void LRootWindow::Paint(const RectListT<int32_t>& region) {
  const RCPtr<LControl> root = mRootControl;
  EdgeRect bounds;
  if (!root || !mRenderer || !region.GetBounds(bounds)) {
    return;
  }
  const RCPtr<LRootWindow> self(this);
  RectT<double> clip;
  if (!RectT<double>::Intersect(clip, root->GetRect(), bounds.ToRect().ToDouble())) {
    return;
  }
  // The window's own coordinates, cut to what is to be painted.
  CAutoClip frame(mRenderer, {0.0, 0.0, clip.x + clip.width, clip.y + clip.height}, clip, nullptr);
  PaintControl(root, region, false);
}

void LRootWindow::PaintControl(const RCPtr<LControl>& control, const RectListT<int32_t>& region, bool deferredPass) {
  RCPtrArray<LControl, 1, 0> deferred;
  if (deferredPass) {
    // A floating control paints from its parent's content origin in window coordinates.
    const PointT<double> origin =
        control->GetWindowPosition() - PointT<double>{control->GetRect().x, control->GetRect().y};
    ClipDescriptor offset;
    offset.flavor = ClipFlavorOffset;
    offset.offset = origin;
    CAutoClip parentContent(mRenderer, offset);
    control->Paint(mRenderer, region, deferred, true);
  } else {
    control->Paint(mRenderer, region, deferred, false);
  }
  const uint32_t count = deferred.GetCount();
  if (count == 0) {
    return;
  }
  std::vector<RCPtr<LControl>> ordered;
  ordered.reserve(count);
  for (uint32_t i = 0; i < count; ++i) {
    ordered.push_back(deferred.GetAt(i));
  }
  auto zOrder = [](const RCPtr<LControl>& floating) {
    const RCPtr<LLayoutDescriptor>& layout = floating->GetLayoutDescriptor();
    return layout ? layout->zOrder : 0;
  };
  std::stable_sort(ordered.begin(), ordered.end(),
                   [&](const RCPtr<LControl>& a, const RCPtr<LControl>& b) { return zOrder(a) < zOrder(b); });
  for (const RCPtr<LControl>& floating : ordered) {
    PaintControl(floating, region, true);
  }
}

} // namespace QZ
