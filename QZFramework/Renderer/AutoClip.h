#pragma once
// QZ::CAutoClip: pushes a clip or state on a renderer for one scope and pops it
// (PopClip) when the scope ends, on every exit path.
//
//   {
//     QZ::CAutoClip clip(renderer, frame, clipRect, stencil);   // PushClip, relative
//     ... draw ...
//   }                                                         // PopClip
//
// The general form takes a QZ::ClipDescriptor, which painting builds once per pass of
// children. The renderer must outlive the scope (painting holds it for the whole paint):
// the scope takes no reference of its own, painting pushes several per control. Main
// thread, like the renderer.

#include <cstdint>

#include "QZFramework/Renderer/Renderer.h"

namespace QZ {

// What CAutoClip pushes.
enum ClipFlavor : int32_t {
  ClipFlavorState = 0,  // PushState
  ClipFlavorClip = 1,   // PushClip(frame, clip, stencil, relative)
  ClipFlavorOffset = 2, // PushClipOffset(offset)
};

struct ClipDescriptor {
  int32_t flavor = ClipFlavorState;
  RectT<double> frame; // x and y give the new origin (flavour 1)
  RectT<double> clip;  // flavour 1
  RCPtr<LStencil> stencil;
  int32_t relative = 1;  // flavour 1
  PointT<double> offset; // flavour 2
};

class CAutoClip {
public:
  // Flavour 0: PushState.
  explicit CAutoClip(const RCPtr<LRenderer>& renderer);
  // Flavour 1: PushClip(frame, clip, stencil, relative).
  CAutoClip(const RCPtr<LRenderer>& renderer, const RectT<double>& frame, const RectT<double>& clip,
            const RCPtr<LStencil>& stencil, bool relative = true);
  // Flavour 1, relative and without a stencil, only where it would change the state
  // (ClipLeavesStateAsIs): most clips of a paint change nothing, and then nothing is pushed
  // or popped.
  struct WhereItChanges {};
  CAutoClip(const RCPtr<LRenderer>& renderer, const RectT<double>& frame, const RectT<double>& clip, WhereItChanges)
      : mRenderer(renderer->ClipLeavesStateAsIs(frame, clip) ? nullptr : renderer.Get()) {
    if (mRenderer) {
      mRenderer->PushClip(frame, clip, nullptr, true);
    }
  }
  // By the descriptor's flavour; any other flavour throws Runtime Error "Unknown
  // PushClip flavor" and pushes nothing.
  CAutoClip(const RCPtr<LRenderer>& renderer, const ClipDescriptor& descriptor);
  CAutoClip(const CAutoClip&) = delete;
  CAutoClip& operator=(const CAutoClip&) = delete;
  // PopClip, when something was pushed.
  ~CAutoClip() {
    if (mRenderer) {
      mRenderer->PopClip();
    }
  }

private:
  LRenderer* mRenderer; // null when nothing was pushed
};

} // namespace QZ
