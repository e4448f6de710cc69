#include "QZFramework/Renderer/D3D9/D3D9Renderer.h"

namespace QZ {

QZResult LD3D9Renderer::GetFontMetrics(const LFont&, int32_t&, int32_t&, int32_t&) { return QZ_OK; }

RectT<float> LD3D9Renderer::MeasureText(const LFont&, const WString&) { return {}; }

int32_t LD3D9Renderer::GetRendererType() { return kRendererStandBy; }

QZResult LD3D9Renderer::InitRenderContextInfo(const RectT<int32_t>& bounds, WindowHandle window, bool offscreenOnly,
                                              RCPtr<LRenderContextInfo>& out) {
  out = RCPtr<LRenderContextInfo>(new LD3D9RenderContextInfo(bounds, window, offscreenOnly));
  return QZ_OK;
}

QZResult LD3D9Renderer::RenderStart(const RCPtr<LRenderContextInfo>&) { return QZ_OK; }

QZResult LD3D9Renderer::RenderFinish(const RCPtr<LRenderContextInfo>&) { return QZ_OK; }

QZResult LD3D9Renderer::DrawText(const WString&, const LFont&, const PointT<double>&, const ColorT<float>&) {
  return QZ_OK;
}

QZResult LD3D9Renderer::DrawRect(const RectT<int32_t>&, const ColorT<float>&, float) { return QZ_OK; }

QZResult LD3D9Renderer::FillRect(const RectT<int32_t>&, const ColorT<float>&, bool) { return QZ_OK; }

QZResult LD3D9Renderer::DrawFilledRect(const RectT<int32_t>&, const ColorT<float>&, const ColorT<float>&, float) {
  return QZ_OK;
}

QZResult LD3D9Renderer::DrawColorRectList(ColorRectListT<float>&, const PointT<double>&, bool) { return QZ_OK; }

QZResult LD3D9Renderer::DrawLine(const PointT<double>&, const PointT<double>&, const ColorT<float>&, float) {
  return QZ_OK;
}

QZResult LD3D9Renderer::DrawLineSegments(PolylineT<float>&, const ColorT<float>&, const PointT<double>&,
                                         const PointT<double>&, bool) {
  return QZ_OK;
}

QZResult LD3D9Renderer::DrawPolyline(PolylineT<float>&, const ColorT<float>&, const PointT<double>&,
                                     const PointT<double>&, bool) {
  return QZ_OK;
}

QZResult LD3D9Renderer::DrawPolygon(PolylineT<float>&, const ColorT<float>&, const PointT<double>&,
                                    const PointT<double>&, bool) {
  return QZ_OK;
}

QZResult LD3D9Renderer::FillPolygon(PolylineT<float>&, const ColorT<float>&, const PointT<double>&,
                                    const PointT<double>&, bool) {
  return QZ_OK;
}

QZResult LD3D9Renderer::DrawBitmap(const ConstRCPtr<LBitmap>&, const RectT<int32_t>&, ResizeType) { return QZ_OK; }

QZResult LD3D9Renderer::DrawRenderContext(const RCPtr<LRenderContextInfo>&, const PointT<int32_t>&,
                                          const RectT<int32_t>&) {
  return QZ_E_NOTIMPL;
}

QZResult LD3D9Renderer::PresentRenderContext(const RCPtr<LRenderContextInfo>&, const PointT<int32_t>&) {
  return QZ_E_NOTIMPL;
}

} // namespace QZ
