#pragma once
// QZ::LD3D9Renderer: the stand-by renderer (kind 2). It fills the renderer interface
// without touching any graphics device: it makes contexts, keeps no context stack
// (RenderStart and RenderFinish only return 0), draws nothing, and answers the copy
// slots with "not implemented". Since no context is ever current, the state and clip
// operations of the base do nothing here. Main thread, like every renderer.

#include "QZFramework/Renderer/Renderer.h"

namespace QZ {

class LD3D9RenderContextInfo : public LRenderContextInfo {
public:
  using LRenderContextInfo::LRenderContextInfo;

  // {0, 0}: the stand-by renderer makes no surfaces.
  SizeT<int32_t> GetMaxSurfaceSize() const override { return {0, 0}; }
};

class LD3D9Renderer : public LRenderer {
public:
  // Returns 0 and writes nothing.
  QZResult GetFontMetrics(const LFont& font, int32_t& height, int32_t& ascent, int32_t& descent) override;
  // All zero.
  RectT<float> MeasureText(const LFont& font, const WString& text) override;
  // kRendererStandBy.
  int32_t GetRendererType() override;
  // Makes an LD3D9RenderContextInfo; 0.
  [[nodiscard]] QZResult InitRenderContextInfo(const RectT<int32_t>& bounds, WindowHandle window, bool offscreenOnly,
                                               RCPtr<LRenderContextInfo>& out) override;
  // 0, with the context stack untouched: no context is ever entered, none is checked.
  QZResult RenderStart(const RCPtr<LRenderContextInfo>& context) override;
  QZResult RenderFinish(const RCPtr<LRenderContextInfo>& context) override;

  // Drawing: nothing is drawn; 0.
  QZResult DrawText(const WString& text, const LFont& font, const PointT<double>& position,
                    const ColorT<float>& color) override;
  QZResult DrawRect(const RectT<int32_t>& rect, const ColorT<float>& color, float lineWidth) override;
  QZResult FillRect(const RectT<int32_t>& rect, const ColorT<float>& color, bool blend) override;
  QZResult DrawFilledRect(const RectT<int32_t>& rect, const ColorT<float>& fillColor, const ColorT<float>& lineColor,
                          float lineWidth) override;
  QZResult DrawColorRectList(ColorRectListT<float>& list, const PointT<double>& origin, bool keep) override;
  QZResult DrawLine(const PointT<double>& from, const PointT<double>& to, const ColorT<float>& color,
                    float lineWidth) override;
  QZResult DrawLineSegments(PolylineT<float>& polyline, const ColorT<float>& color, const PointT<double>& origin,
                            const PointT<double>& scale, bool keep) override;
  QZResult DrawPolyline(PolylineT<float>& polyline, const ColorT<float>& color, const PointT<double>& origin,
                        const PointT<double>& scale, bool keep) override;
  QZResult DrawPolygon(PolylineT<float>& polyline, const ColorT<float>& color, const PointT<double>& origin,
                       const PointT<double>& scale, bool keep) override;
  QZResult FillPolygon(PolylineT<float>& polyline, const ColorT<float>& color, const PointT<double>& origin,
                       const PointT<double>& scale, bool keep) override;
  QZResult DrawBitmap(const ConstRCPtr<LBitmap>& bitmap, const RectT<int32_t>& destination, ResizeType resize) override;
  // QZ_E_NOTIMPL (not implemented).
  QZResult DrawRenderContext(const RCPtr<LRenderContextInfo>& context, const PointT<int32_t>& point,
                             const RectT<int32_t>& source) override;
  QZResult PresentRenderContext(const RCPtr<LRenderContextInfo>& context, const PointT<int32_t>& point) override;
};

} // namespace QZ
