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
    mRenderer->PushClip(descriptor.frame, descriptor.clip, descriptor.stencil, descriptor.relative != 0);
    break;
  case ClipFlavorOffset:
    mRenderer->PushClipOffset(descriptor.offset);
    break;
  default:
    Throw<std::runtime_error>({"QZ::CAutoClip::CAutoClip", R"(Renderer\Renderer)", 405}, "Unknown PushClip flavor");
  }
}

CAutoClip::~CAutoClip() { mRenderer->PopClip(); }

} // namespace QZ
