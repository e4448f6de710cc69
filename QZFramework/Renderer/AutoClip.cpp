#include "QZFramework/Renderer/AutoClip.h"

#include <stdexcept>

namespace QZ {

CAutoClip::CAutoClip(const RCPtr<LRenderer>& renderer) : mRenderer(renderer.Get()) {
  (void)mRenderer->PushState(); // always 0
}

CAutoClip::CAutoClip(const RCPtr<LRenderer>& renderer, const RectT<double>& frame, const RectT<double>& clip,
                     const RCPtr<LStencil>& stencil, bool relative)
    : mRenderer(renderer.Get()) {
  (void)mRenderer->PushClip(frame, clip, stencil, relative); // 1 only without a context, when there is nothing to clip
}

CAutoClip::CAutoClip(const RCPtr<LRenderer>& renderer, const ClipDescriptor& descriptor) : mRenderer(renderer.Get()) {
  switch (descriptor.flavor) {
  case ClipFlavorState:
    (void)mRenderer->PushState(); // always 0
    break;
  case ClipFlavorClip:
    // 1 only without a context, when there is nothing to clip.
    (void)mRenderer->PushClip(descriptor.frame, descriptor.clip, descriptor.stencil, descriptor.relative != 0);
    break;
  case ClipFlavorOffset:
    // 1 only without a saved state, which the destructor's pop then also finds.
    (void)mRenderer->PushClipOffset(descriptor.offset);
    break;
  default:
    Throw<std::runtime_error>({"QZ::CAutoClip::CAutoClip", R"(Renderer\Renderer)", 405}, "Unknown PushClip flavor");
  }
}

CAutoClip::~CAutoClip() {
  (void)mRenderer->PopClip(); // 1 when the push found nothing to save
}

} // namespace QZ
