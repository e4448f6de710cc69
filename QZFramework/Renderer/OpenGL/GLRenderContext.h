#pragma once
// QZ::LGLRenderContextInfo: the render context of a window for the OpenGL renderer: the
// window's device context (of the GL window layer, Platform/Gl) and the largest viewport
// the driver allows. One GL rendering context, the renderer's, serves every window.
//
// Made by LGLRenderer::InitRenderContextInfo. Main thread only.

#include <cstdint>

#include "Platform/Gl/Wgl.h"
#include "QZFramework/Renderer/RenderContext.h"

namespace QZ {

class LGLRenderContextInfo : public LRenderContextInfo {
public:
  // window: an SDL window made for OpenGL, or null.
  LGLRenderContextInfo(const RectT<int32_t>& bounds, WindowHandle window, bool offscreenOnly)
      : LRenderContextInfo(bounds, window, offscreenOnly), mDeviceContext(Platform::Gl::GetDC(window)) {}
  ~LGLRenderContextInfo() override { Platform::Gl::ReleaseDC(mDeviceContext); }
  LGLRenderContextInfo(const LGLRenderContextInfo&) = delete;
  LGLRenderContextInfo& operator=(const LGLRenderContextInfo&) = delete;

  // GL_MAX_VIEWPORT_DIMS, as read when the context was made.
  SizeT<int32_t> GetMaxSurfaceSize() const override { return mMaxViewport; }
  void SetMaxViewport(const SizeT<int32_t>& size) { mMaxViewport = size; }

  Platform::Gl::DeviceContext GetDeviceContext() const { return mDeviceContext; }
  // Shows the back buffer in the window; nothing for an offscreen-only context.
  void SwapBuffers() const {
    if (!IsOffscreenOnly()) {
      Platform::Gl::SwapLayerBuffers(mDeviceContext, Platform::Gl::kSwapMainPlane);
    }
  }

private:
  Platform::Gl::DeviceContext mDeviceContext;
  SizeT<int32_t> mMaxViewport{0, 0};
};

} // namespace QZ
