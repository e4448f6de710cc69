#pragma once
// A renderer for tests: logs every slot call with its arguments as one line of text,
// keeps the base class's context and clip bookkeeping, and draws nothing.
//
//   QZ::RCPtr<QZTest::RecordingRenderer> renderer(new QZTest::RecordingRenderer);
//   auto context = renderer->StartFrame({0, 0, 100, 50});
//   renderer->FillRect({1, 2, 3, 4}, QZ::ColorT<float>::FromARGB(0xFFFF0000), true);
//   EXPECT_EQ(renderer->calls.back(), "FillRect({1,2,3,4}, {1,0,0,1}, true)");
//
// Line format: Name(arg, arg, ...). Numbers print with %g; points as (x,y), rectangles
// and colours as {..}, booleans as true/false, texts in double quotes (UTF-8). Objects
// (fonts, bitmaps, contexts, stencils, windows) print as "null" or as a label: the one
// given with Label(), else the kind and a number in order of first appearance
// ("font1", "context2"); labels go by address. A call made from inside another slot
// (SetClipRect from PushClip) is indented by two spaces per level: TopLevel() leaves
// those out.

#include <cstdio>
#include <map>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "QZFramework/Renderer/Renderer.h"
#include "QZFramework/Utilities/Storage/StringT.h"

namespace QZTest {

class RecordingRenderContext : public QZ::LRenderContextInfo {
public:
  RecordingRenderContext(const QZ::RectT<int32_t>& bounds, QZ::WindowHandle window, bool offscreenOnly,
                         QZ::SizeT<int32_t> maxSurface)
      : QZ::LRenderContextInfo(bounds, window, offscreenOnly), mMaxSurface(maxSurface) {}

  QZ::SizeT<int32_t> GetMaxSurfaceSize() const override { return mMaxSurface; }

private:
  QZ::SizeT<int32_t> mMaxSurface;
};

class RecordingRenderer : public QZ::LRenderer {
public:
  // The log, one line per call.
  std::vector<std::string> calls;

  // What the slots answer.
  int32_t rendererType = QZ::kRendererGDI;
  QZ::SizeT<int32_t> maxSurface{4096, 4096};
  int32_t fontHeight = 16;
  int32_t fontAscent = -12;
  int32_t fontDescent = 4;
  float charWidth = 7.0f;              // MeasureText: {0, ascent, length * charWidth, height}
  QZ::QZResult drawResult = QZ::QZ_OK; // every drawing slot

  // The lines of calls made directly by the test (not from inside another slot).
  std::vector<std::string> TopLevel() const {
    std::vector<std::string> top;
    for (const std::string& call : calls) {
      if (call.empty() || call[0] != ' ') {
        top.push_back(call);
      }
    }
    return top;
  }

  // Names an object in the log from now on.
  void Label(const void* object, std::string label) { mLabels[object] = std::move(label); }

  // Makes a context of bounds, enters it and clears the log.
  QZ::RCPtr<QZ::LRenderContextInfo> StartFrame(const QZ::RectT<int32_t>& bounds) {
    QZ::RCPtr<QZ::LRenderContextInfo> context;
    EXPECT_EQ(InitRenderContextInfo(bounds, nullptr, false, context), QZ::QZ_OK);
    EXPECT_EQ(RenderStart(context), QZ::QZ_OK);
    calls.clear();
    return context;
  }

  QZ::QZResult GetFontMetrics(const QZ::LFont& font, int32_t& height, int32_t& ascent, int32_t& descent) override {
    Scope call(*this, "GetFontMetrics", {Object(&font, "font")});
    height = fontHeight;
    ascent = fontAscent;
    descent = fontDescent;
    return QZ::QZ_OK;
  }
  QZ::RectT<float> MeasureText(const QZ::LFont& font, const QZ::WString& text) override {
    Scope call(*this, "MeasureText", {Object(&font, "font"), Text(text)});
    if (text.IsEmpty()) {
      return {};
    }
    return {0.0f, float(fontAscent), float(text.GetLength()) * charWidth, float(fontHeight)};
  }
  int32_t GetRendererType() override {
    Scope call(*this, "GetRendererType", {});
    return rendererType;
  }
  [[nodiscard]] QZ::QZResult InitRenderContextInfo(const QZ::RectT<int32_t>& bounds, QZ::WindowHandle window,
                                                   bool offscreenOnly,
                                                   QZ::RCPtr<QZ::LRenderContextInfo>& out) override {
    Scope call(*this, "InitRenderContextInfo", {Rect(bounds), Object(window, "window"), Bool(offscreenOnly)});
    out = QZ::RCPtr<QZ::LRenderContextInfo>(new RecordingRenderContext(bounds, window, offscreenOnly, maxSurface));
    call.Append(" -> " + Object(out.Get(), "context"));
    return QZ::QZ_OK;
  }
  QZ::QZResult SetViewport(const QZ::RectT<int32_t>& viewport) override {
    Scope call(*this, "SetViewport", {Rect(viewport)});
    return LRenderer::SetViewport(viewport);
  }
  QZ::QZResult SetStencil(const QZ::RCPtr<QZ::LStencil>& stencil) override {
    Scope call(*this, "SetStencil", {Object(stencil.Get(), "stencil")});
    return LRenderer::SetStencil(stencil);
  }
  QZ::QZResult RenderStart(const QZ::RCPtr<QZ::LRenderContextInfo>& context) override {
    Scope call(*this, "RenderStart", {Object(context.Get(), "context")});
    return LRenderer::RenderStart(context);
  }
  QZ::QZResult RenderFinish(const QZ::RCPtr<QZ::LRenderContextInfo>& context) override {
    Scope call(*this, "RenderFinish", {Object(context.Get(), "context")});
    return LRenderer::RenderFinish(context);
  }
  QZ::QZResult DrawText(const QZ::WString& text, const QZ::LFont& font, const QZ::PointT<double>& position,
                        const QZ::ColorT<float>& color) override {
    Scope call(*this, "DrawText", {Text(text), Object(&font, "font"), Point(position), Color(color)});
    return drawResult;
  }
  QZ::QZResult DrawRect(const QZ::RectT<int32_t>& rect, const QZ::ColorT<float>& color, float lineWidth) override {
    Scope call(*this, "DrawRect", {Rect(rect), Color(color), Number(lineWidth)});
    return drawResult;
  }
  QZ::QZResult FillRect(const QZ::RectT<int32_t>& rect, const QZ::ColorT<float>& color, bool blend) override {
    Scope call(*this, "FillRect", {Rect(rect), Color(color), Bool(blend)});
    return drawResult;
  }
  QZ::QZResult DrawFilledRect(const QZ::RectT<int32_t>& rect, const QZ::ColorT<float>& fillColor,
                              const QZ::ColorT<float>& lineColor, float lineWidth) override {
    Scope call(*this, "DrawFilledRect", {Rect(rect), Color(fillColor), Color(lineColor), Number(lineWidth)});
    return drawResult;
  }
  QZ::QZResult DrawColorRectList(QZ::ColorRectListT<float>& list, const QZ::PointT<double>& origin,
                                 bool keep) override {
    std::string entries = "[";
    for (const auto& entry : list.GetEntries()) {
      entries += (entries.size() > 1 ? ", " : "") + Rect(entry.rect) + ":" + Color(entry.color);
    }
    entries += "] scale " + Point(QZ::PointT<float>{list.GetScaleX(), list.GetScaleY()});
    Scope call(*this, "DrawColorRectList", {entries, Point(origin), Bool(keep)});
    return drawResult;
  }
  QZ::QZResult DrawLine(const QZ::PointT<double>& from, const QZ::PointT<double>& to, const QZ::ColorT<float>& color,
                        float lineWidth) override {
    Scope call(*this, "DrawLine", {Point(from), Point(to), Color(color), Number(lineWidth)});
    return drawResult;
  }
  QZ::QZResult DrawLineSegments(QZ::PolylineT<float>& polyline, const QZ::ColorT<float>& color,
                                const QZ::PointT<double>& origin, const QZ::PointT<double>& scale, bool keep) override {
    return LogPolyline("DrawLineSegments", polyline, color, origin, scale, keep);
  }
  QZ::QZResult DrawPolyline(QZ::PolylineT<float>& polyline, const QZ::ColorT<float>& color,
                            const QZ::PointT<double>& origin, const QZ::PointT<double>& scale, bool keep) override {
    return LogPolyline("DrawPolyline", polyline, color, origin, scale, keep);
  }
  QZ::QZResult DrawPolygon(QZ::PolylineT<float>& polyline, const QZ::ColorT<float>& color,
                           const QZ::PointT<double>& origin, const QZ::PointT<double>& scale, bool keep) override {
    return LogPolyline("DrawPolygon", polyline, color, origin, scale, keep);
  }
  QZ::QZResult FillPolygon(QZ::PolylineT<float>& polyline, const QZ::ColorT<float>& color,
                           const QZ::PointT<double>& origin, const QZ::PointT<double>& scale, bool keep) override {
    return LogPolyline("FillPolygon", polyline, color, origin, scale, keep);
  }
  QZ::QZResult DrawBitmap(const QZ::ConstRCPtr<QZ::LBitmap>& bitmap, const QZ::RectT<int32_t>& destination,
                          QZ::ResizeType resize) override {
    Scope call(*this, "DrawBitmap", {Object(bitmap.Get(), "bitmap"), Rect(destination), Number(int32_t(resize))});
    return drawResult;
  }
  QZ::QZResult DrawRenderContext(const QZ::RCPtr<QZ::LRenderContextInfo>& context, const QZ::PointT<int32_t>& point,
                                 const QZ::RectT<int32_t>& source) override {
    Scope call(*this, "DrawRenderContext", {Object(context.Get(), "context"), Point(point), Rect(source)});
    return drawResult;
  }
  QZ::QZResult PresentRenderContext(const QZ::RCPtr<QZ::LRenderContextInfo>& context,
                                    const QZ::PointT<int32_t>& point) override {
    Scope call(*this, "PresentRenderContext", {Object(context.Get(), "context"), Point(point)});
    return drawResult;
  }
  QZ::QZResult PushClipOffset(const QZ::PointT<double>& offset) override {
    Scope call(*this, "PushClipOffset", {Point(offset)});
    return LRenderer::PushClipOffset(offset);
  }
  QZ::QZResult PushClip(const QZ::RectT<double>& frame, const QZ::RectT<double>& clip,
                        const QZ::RCPtr<QZ::LStencil>& stencil, bool relative) override {
    Scope call(*this, "PushClip", {Rect(frame), Rect(clip), Object(stencil.Get(), "stencil"), Bool(relative)});
    return LRenderer::PushClip(frame, clip, stencil, relative);
  }
  QZ::QZResult PushState() override {
    Scope call(*this, "PushState", {});
    return LRenderer::PushState();
  }
  QZ::QZResult PopClip() override {
    Scope call(*this, "PopClip", {});
    return LRenderer::PopClip();
  }
  QZ::QZResult SetClipRect(const QZ::RectT<double>& clip) override {
    Scope call(*this, "SetClipRect", {Rect(clip)});
    return LRenderer::SetClipRect(clip);
  }
  QZ::QZResult Translate(const QZ::PointT<double>& offset) override {
    Scope call(*this, "Translate", {Point(offset)});
    return LRenderer::Translate(offset);
  }

  // Argument texts, public so that tests can build expected lines the same way.
  static std::string Number(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%g", value);
    return text;
  }
  static std::string Bool(bool value) { return value ? "true" : "false"; }
  template <class T>
  static std::string Point(const QZ::PointT<T>& p) {
    return "(" + Number(double(p.x)) + "," + Number(double(p.y)) + ")";
  }
  template <class T>
  static std::string Rect(const QZ::RectT<T>& r) {
    return "{" + Number(double(r.x)) + "," + Number(double(r.y)) + "," + Number(double(r.width)) + "," +
           Number(double(r.height)) + "}";
  }
  static std::string Color(const QZ::ColorT<float>& c) {
    return "{" + Number(c.red) + "," + Number(c.green) + "," + Number(c.blue) + "," + Number(c.alpha) + "}";
  }
  static std::string Text(const QZ::WString& text) { return "\"" + std::string(text.ToUTF8().GetBuffer()) + "\""; }

private:
  // Logs a call on construction, indented by the depth of calls in progress.
  class Scope {
  public:
    Scope(RecordingRenderer& owner, std::string_view name, const std::vector<std::string>& args)
        : mOwner(owner), mIndex(owner.calls.size()) {
      std::string line(2 * owner.mDepth, ' ');
      line.append(name).append("(");
      for (size_t i = 0; i < args.size(); ++i) {
        line.append(i ? ", " : "").append(args[i]);
      }
      line.append(")");
      owner.calls.push_back(std::move(line));
      ++owner.mDepth;
    }
    Scope(const Scope&) = delete;
    Scope& operator=(const Scope&) = delete;
    ~Scope() { --mOwner.mDepth; }

    void Append(const std::string& text) { mOwner.calls[mIndex] += text; }

  private:
    RecordingRenderer& mOwner;
    size_t mIndex;
  };

  QZ::QZResult LogPolyline(std::string_view name, QZ::PolylineT<float>& polyline, const QZ::ColorT<float>& color,
                           const QZ::PointT<double>& origin, const QZ::PointT<double>& scale, bool keep) {
    std::string points = "[";
    for (const auto& point : polyline.GetPoints()) {
      points += (points.size() > 1 ? "," : "") + Point(point);
    }
    points += "] width " + Number(polyline.GetLineWidth());
    Scope call(*this, name, {points, Color(color), Point(origin), Point(scale), Bool(keep)});
    return drawResult;
  }

  std::string Object(const void* object, const std::string& kind) {
    if (!object) {
      return "null";
    }
    auto found = mLabels.find(object);
    if (found != mLabels.end()) {
      return found->second;
    }
    std::string label = kind + std::to_string(++mCounters[kind]);
    mLabels[object] = label;
    return label;
  }

  std::map<const void*, std::string> mLabels;
  std::map<std::string, int> mCounters;
  size_t mDepth = 0;
};

} // namespace QZTest
