#include "QZFramework/Renderer/AutoClip.h"

#include <stdexcept>

namespace QZ {

CAutoClip::CAutoClip(const RCPtr<LRenderer>& renderer) : mRenderer(renderer.Get()) { mRenderer->PushState(); }

CAutoClip::CAutoClip(const RCPtr<LRenderer>& renderer, const RectT<double>& frame, const RectT<double>& clip,
                     const RCPtr<LStencil>& stencil, bool relative)
    : mRenderer(renderer.Get()) {
  mRenderer->PushClip(frame, clip, stencil, relative);
}

CAutoClip::CAutoClip(const RCPtr<LRenderer>& renderer, const ClipDescriptor& descriptor) : mRenderer(renderer.Get()) {
  switch (descriptor.flavor) {
  case ClipFlavorState:
    mRenderer->PushState();
    break;
  case ClipFlavorClip:
    // 1 only without a context, when there is nothing to clip.
    mRenderer->PushClip(descriptor.frame, descriptor.clip, descriptor.stencil, descriptor.relative != 0);
    break;
  case ClipFlavorOffset:
    // 1 only without a saved state, which the destructor's pop then also finds.
    mRenderer->PushClipOffset(descriptor.offset);
    break;
  default:
    Throw<std::runtime_error>({"QZ::CAutoClip::CAutoClip", R"(Renderer\Renderer)", 405}, "Unknown PushClip flavor");
  }
}

} // namespace QZ
