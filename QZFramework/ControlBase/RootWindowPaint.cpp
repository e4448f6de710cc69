// The root window's dirty region (shared with other threads) and the painting of its tree.

#include <algorithm>
#include <atomic>
#include <cstring>
#include <mutex>
#include <vector>

#include "Platform/Window/EventSource.h"
#include "QZFramework/ControlBase/RootWindow.h"
#include "QZFramework/Renderer/AutoClip.h"
#include "QZFramework/Renderer/ClipIntersection.h"

namespace QZ {

void LRootWindow::InvalidateRect(const RectT<int32_t>& rect) {
  RectT<int32_t> clipped;
  {
    std::lock_guard hold(mRegionLock);
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
    const EdgeRect edges{clipped.x, clipped.y, clipped.x + clipped.width, clipped.y + clipped.height};
    mDirtyRegion.AddRect(edges);
    NoteAlternating(edges);
  }
  // The link changes on the UI thread alone, which therefore reads it without the lock.
  std::shared_lock link(mOSLink, std::defer_lock);
  if (!Platform::Window::IsUiThread()) {
    link.lock();
  }
  if (mOS) {
    mOS->InvalidateRect(clipped);
  }
}

void LRootWindow::NoteAlternating(const EdgeRect& rect) {
  Alternating& alternating = mAlternating;
  if (alternating.marker && alternating.markingThread == std::this_thread::get_id()) {
    if (alternating.owner != alternating.marker || !(alternating.rect == rect)) {
      alternating.owner = alternating.marker;
      alternating.rect = rect;
      alternating.pixels.clear();
      ++alternating.changes;
    }
    alternating.nextKnown = true;
    mAlternatingKnown.store(true, std::memory_order_release);
    alternating.next = alternating.markedState;
  } else if (alternating.nextKnown && rect.Overlaps(alternating.rect)) {
    // What it shows in a state may have changed, also in a frame being painted now.
    alternating.pixels.clear();
    ++alternating.changes;
  }
}

void LRootWindow::MarkAlternating(const void* owner, uint32_t state) {
  std::lock_guard hold(mRegionLock);
  mAlternating.marker = owner;
  mAlternating.markingThread = std::this_thread::get_id();
  mAlternating.markedState = state;
}

namespace {

// The address of the first pixel of rect's row y in the window's pixels.
uint8_t* RowOf(const GDIWindowPixels& window, const EdgeRect& rect, int32_t y) {
  return static_cast<uint8_t*>(window.pixels) + size_t(y) * size_t(window.pitch) + size_t(rect.left) * sizeof(uint32_t);
}

size_t RowBytes(const EdgeRect& rect) { return size_t(rect.right - rect.left) * sizeof(uint32_t); }

bool Fits(const EdgeRect& rect, const GDIWindowPixels& pixels) {
  return pixels.pixels && rect.left >= 0 && rect.top >= 0 && rect.right <= pixels.width &&
         rect.bottom <= pixels.height && rect.left < rect.right && rect.top < rect.bottom &&
         int64_t(rect.right - rect.left) * (rect.bottom - rect.top) <= LRootWindow::kAlternatingPixels;
}

} // namespace

bool LRootWindow::RestoreAlternating(const EdgeRect& rect, const GDIWindowPixels& pixels) {
  // Until a state is known there is nothing to restore, nor a frame's start to note: the
  // first marking counts a change, which no frame begun before it has seen.
  if (!mAlternatingKnown.load(std::memory_order_acquire)) {
    return false;
  }
  std::lock_guard hold(mRegionLock);
  Alternating& alternating = mAlternating;
  alternating.paintedAt = alternating.changes; // a frame of rect may begin now
  if (!alternating.nextKnown || !(alternating.rect == rect) || !Fits(rect, pixels)) {
    return false;
  }
  for (const auto& [state, kept] : alternating.pixels) {
    if (state == alternating.next) {
      const size_t width = size_t(rect.right - rect.left);
      for (int32_t y = rect.top; y < rect.bottom; ++y) {
        std::memcpy(RowOf(pixels, rect, y), kept.data() + size_t(y - rect.top) * width, RowBytes(rect));
      }
      return true;
    }
  }
  return false;
}

void LRootWindow::KeepAlternating(const EdgeRect& rect, const GDIWindowPixels& pixels) {
  if (!mAlternatingKnown.load(std::memory_order_acquire)) {
    return;
  }
  std::lock_guard hold(mRegionLock);
  Alternating& alternating = mAlternating;
  // Pixels painted before a change that met them show nothing worth keeping.
  if (!alternating.nextKnown || !(alternating.rect == rect) || !Fits(rect, pixels) ||
      alternating.paintedAt != alternating.changes) {
    return;
  }
  const size_t width = size_t(rect.right - rect.left);
  std::vector<uint32_t> kept(width * size_t(rect.bottom - rect.top));
  for (int32_t y = rect.top; y < rect.bottom; ++y) {
    std::memcpy(kept.data() + size_t(y - rect.top) * width, RowOf(pixels, rect, y), RowBytes(rect));
  }
  for (auto& [state, old] : alternating.pixels) {
    if (state == alternating.next) {
      old = std::move(kept);
      return;
    }
  }
  alternating.pixels.emplace_back(alternating.next, std::move(kept));
}

void LRootWindow::TakeDirtyRegion(RectListT<int32_t>& out) {
  if (mWholeWindowDirty) {
    mWholeWindowDirty = false;
    {
      std::lock_guard hold(mRegionLock);
      mAlternating.pixels.clear(); // the whole window changes
      ++mAlternating.changes;
    }
    // Painted now: the OS window needs no request of its own for it.
    const RectT<int32_t> client = GetClientRect();
    std::lock_guard hold(mRegionLock);
    mDirtyRegion.AddRect({0, 0, client.width, client.height});
  }
  std::lock_guard hold(mRegionLock);
  out = std::move(mDirtyRegion); // takes the list's nodes: the region is left empty
}

void LRootWindow::Paint(const RCPtr<LRenderer>& renderer, const RectListT<int32_t>& region) {
  const RCPtr<LControl> root = mRootControl;
  EdgeRect bounds;
  if (!root || !renderer || !region.GetBounds(bounds)) {
    return;
  }
  RectT<double> clip;
  if (!IntersectClip(clip, root->GetRect(), bounds.ToRect().ToDouble())) {
    return;
  }
  // The window's own coordinates, cut to what is to be painted.
  CAutoClip frame(renderer, {0.0, 0.0, clip.x + clip.width, clip.y + clip.height}, clip, nullptr);
  PaintControl(renderer, root, region, false);
}

void LRootWindow::PaintControl(const RCPtr<LRenderer>& renderer, const RCPtr<LControl>& control,
                               const RectListT<int32_t>& region, bool deferredPass) {
  RCPtrArray<LControl, 1, 0> deferred;
  if (deferredPass) {
    // A floating control paints from its parent's content origin in window coordinates.
    const PointT<double> origin =
        control->GetWindowPosition() - PointT<double>{control->GetRect().x, control->GetRect().y};
    ClipDescriptor offset;
    offset.flavor = ClipFlavorOffset;
    offset.offset = origin;
    CAutoClip parentContent(renderer, offset);
    control->Paint(renderer, region, deferred, true);
  } else {
    control->Paint(renderer, region, deferred, false);
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
    PaintControl(renderer, floating, region, true);
  }
}

} // namespace QZ
