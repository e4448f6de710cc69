// The drawing slots of the OpenGL renderer.
#include "QZFramework/Renderer/OpenGL/GLRenderer.h"

#include <cmath>
#include <stdexcept>

#include "QZFramework/Renderer/OpenGL/GLPolygon.h"

namespace QZ {

namespace {

constexpr const char* kRendererPath = R"(Renderer\OpenGL\GLRenderer)";

void SetColor(const ColorT<float>& color) { glColor4f(color.red, color.green, color.blue, color.alpha); }

void Quad(float x, float y, float width, float height) {
  glBegin(GL_QUADS);
  glVertex2f(x, y);
  glVertex2f(x, y + height);
  glVertex2f(x + width, y + height);
  glVertex2f(x + width, y);
  glEnd();
}

void FilledQuad(const RectT<int32_t>& rect, const ColorT<float>& color) {
  SetColor(color);
  glDisable(GL_TEXTURE_2D);
  Quad(float(rect.x), float(rect.y), float(rect.width), float(rect.height));
}

// Emits the polyline's points as the shape.
void EmitShape(const PolylineT<float>& polyline, GLenum mode) {
  if (polyline.GetCount() == 0) {
    return;
  }
  glEnableClientState(GL_VERTEX_ARRAY);
  glVertexPointer(2, GL_FLOAT, sizeof(PointT<float>), polyline.GetPoints().data());
  glDrawArrays(mode, 0, GLsizei(polyline.GetCount()));
  glDisableClientState(GL_VERTEX_ARRAY);
}

} // namespace

QZResult LGLRenderer::DrawText(const WString& text, const LFont& font, const PointT<double>& position,
                               const ColorT<float>& color) {
  if (!mFontRenderer || text.IsEmpty() || !CurrentGLContext()) {
    return QZ_FALSE;
  }
  SetColor(color);
  Translate(position);
  mFontRenderer->RenderGlyphRun(text, font, mFontRenderer->GetDrawingProcessor().Get(), 0, 0.0f, 0xF);
  Translate(-position);
  return QZ_OK;
}

QZResult LGLRenderer::DrawRect(const RectT<int32_t>& rect, const ColorT<float>& color, float lineWidth) {
  if (!CurrentGLContext()) {
    return QZ_FALSE;
  }
  glLineWidth(lineWidth);
  SetColor(color);
  glDisable(GL_TEXTURE_2D);
  // Through the pixel centres of the rectangle's edge pixels.
  const float left = float(rect.x) + 0.5f;
  const float top = float(rect.y) + 0.5f;
  const float right = float(rect.x + rect.width) - 0.5f;
  const float bottom = float(rect.y + rect.height) - 0.5f;
  glBegin(GL_LINE_STRIP);
  glVertex2f(left, top);
  glVertex2f(right, top);
  glVertex2f(right, bottom);
  glVertex2f(left, bottom);
  glVertex2f(left, top);
  glEnd();
  return QZ_OK;
}

QZResult LGLRenderer::FillRect(const RectT<int32_t>& rect, const ColorT<float>& color, bool blend) {
  LGLRenderContextInfo* gl = CurrentGLContext();
  if (!gl) {
    return QZ_FALSE;
  }
  if (blend) {
    FilledQuad(rect, color);
    return QZ_OK;
  }
  const RenderState& state = gl->GetState();
  const PointT<int32_t> corner = PointT<double>{rect.x + state.origin.x, rect.y + state.origin.y}.Round();
  const int32_t viewportHeight = gl->GetBounds().height;
  glScissor(corner.x, viewportHeight - (corner.y + rect.height), std::max(rect.width, 0), std::max(rect.height, 0));
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  SetClipRect(state.clip);
  return QZ_OK;
}

QZResult LGLRenderer::DrawFilledRect(const RectT<int32_t>& rect, const ColorT<float>& fillColor,
                                     const ColorT<float>& lineColor, float lineWidth) {
  if (!CurrentGLContext()) {
    return QZ_FALSE;
  }
  if (fillColor.alpha > 0.0f) {
    FillRect(rect, fillColor, true);
  }
  if (lineColor.alpha > 0.0f) {
    DrawRect(rect, lineColor, lineWidth);
  }
  return QZ_OK;
}

QZResult LGLRenderer::DrawColorRectList(ColorRectListT<float>& list, const PointT<double>& origin, bool keep) {
  if (!CurrentGLContext()) {
    return QZ_FALSE;
  }
  RCPtr<LGLDisplayList>& entry = mRectLists.AcquireFor(list, list.TakeChanged());
  if (!entry || !entry->IsValid()) {
    entry = RCPtr<LGLDisplayList>(new LGLDisplayList);
    if (entry->Begin() == QZ_OK) {
      const auto& entries = list.GetEntries();
      const float sx = list.GetScaleX();
      const float sy = list.GetScaleY();
      for (auto it = entries.rbegin(); it != entries.rend(); ++it) {
        const RectT<float>& r = it->rect;
        FilledQuad(
            {RoundToInt32(r.x * sx), RoundToInt32(r.y * sy), RoundToInt32(r.width * sx), RoundToInt32(r.height * sy)},
            it->color);
      }
      entry->End();
    }
  }
  glPushMatrix();
  glTranslatef(float(origin.x), float(origin.y), 0.0f);
  entry->Call(); // a list that failed to record draws nothing
  glPopMatrix();
  if (!keep) {
    entry = nullptr;
  }
  return QZ_OK;
}

QZResult LGLRenderer::DrawLine(const PointT<double>& from, const PointT<double>& to, const ColorT<float>& color,
                               float lineWidth) {
  if (!CurrentGLContext()) {
    return QZ_FALSE;
  }
  glLineWidth(lineWidth);
  SetColor(color);
  glDisable(GL_TEXTURE_2D);
  glBegin(GL_LINES);
  glVertex2d(from.x, from.y);
  glVertex2d(to.x, to.y);
  glEnd();
  return QZ_OK;
}

QZResult LGLRenderer::DrawShape(PolylineT<float>& polyline, const ColorT<float>& color, const PointT<double>& origin,
                                const PointT<double>& scale, bool keep, Shape shape) {
  if (!CurrentGLContext()) {
    return QZ_FALSE;
  }
  PolylineListCache& cache = shape == Shape::Filled     ? mFilledPolygons
                             : shape == Shape::Polygon  ? mPolygons
                             : shape == Shape::Polyline ? mPolylines
                                                        : mLineSegments;
  RCPtr<LGLDisplayList>& entry = cache.AcquireFor(polyline, polyline.TakeChanged());
  if (!entry || !entry->IsValid()) {
    entry = RCPtr<LGLDisplayList>(new LGLDisplayList);
    if (entry->Begin() == QZ_OK) {
      glLineWidth(polyline.GetLineWidth());
      SetColor(color);
      glDisable(GL_TEXTURE_2D);
      switch (shape) {
      case Shape::LineSegments:
        EmitShape(polyline, GL_LINES);
        break;
      case Shape::Polyline:
        EmitShape(polyline, GL_LINE_STRIP);
        break;
      case Shape::Polygon:
        EmitShape(polyline, GL_LINE_LOOP);
        break;
      case Shape::Filled:
        CGLPolygon::Tessellate(polyline);
        break;
      }
      entry->End();
    }
  }
  glPushMatrix();
  glTranslatef(float(origin.x), float(origin.y), 0.0f);
  glScalef(float(scale.x), float(scale.y), 1.0f);
  entry->Call(); // a list that failed to record draws nothing
  glPopMatrix();
  if (!keep) {
    entry = nullptr;
  }
  return QZ_OK;
}

QZResult LGLRenderer::DrawLineSegments(PolylineT<float>& polyline, const ColorT<float>& color,
                                       const PointT<double>& origin, const PointT<double>& scale, bool keep) {
  return DrawShape(polyline, color, origin, scale, keep, Shape::LineSegments);
}

QZResult LGLRenderer::DrawPolyline(PolylineT<float>& polyline, const ColorT<float>& color, const PointT<double>& origin,
                                   const PointT<double>& scale, bool keep) {
  return DrawShape(polyline, color, origin, scale, keep, Shape::Polyline);
}

QZResult LGLRenderer::DrawPolygon(PolylineT<float>& polyline, const ColorT<float>& color, const PointT<double>& origin,
                                  const PointT<double>& scale, bool keep) {
  return DrawShape(polyline, color, origin, scale, keep, Shape::Polygon);
}

QZResult LGLRenderer::FillPolygon(PolylineT<float>& polyline, const ColorT<float>& color, const PointT<double>& origin,
                                  const PointT<double>& scale, bool keep) {
  return DrawShape(polyline, color, origin, scale, keep, Shape::Filled);
}

QZResult LGLRenderer::DrawBitmap(const ConstRCPtr<LBitmap>& bitmap, const RectT<int32_t>& destination,
                                 ResizeType resize) {
  if (!bitmap) {
    CheckResult(QZ_E_INVALIDARG, {"QZ::LGLRenderer::DrawBitmap", kRendererPath, 1104});
  }
  if (!CurrentGLContext() || !bitmap->GetNativeBitmap()) {
    return QZ_FALSE;
  }
  RCPtr<LGLTexture>& texture = mTextures.Acquire(reinterpret_cast<uintptr_t>(bitmap->GetNativeBitmap()));
  if (!texture || !texture->IsValid()) {
    texture = RCPtr<LGLTexture>(new LGLTexture(bitmap));
  }
  glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
  const RectT<int32_t>& source = bitmap->GetRect();
  const RectT<float> sourceF{float(source.x), float(source.y), float(source.width), float(source.height)};
  if (source.width == destination.width && source.height == destination.height) {
    resize = ResizeType::Stretch;
  }
  switch (resize) {
  case ResizeType::Stretch:
    texture->DrawQuad(
        sourceF, {float(destination.x), float(destination.y), float(destination.width), float(destination.height)});
    break;
  case ResizeType::Tile:
    if (source.width <= 0 || source.height <= 0) {
      break;
    }
    for (int64_t x = destination.x; x < int64_t(destination.x) + destination.width; x += source.width) {
      for (int64_t y = destination.y; y < int64_t(destination.y) + destination.height; y += source.height) {
        texture->DrawQuad(sourceF, {float(x), float(y), sourceF.width, sourceF.height});
      }
    }
    break;
  case ResizeType::Center:
    texture->DrawQuad(sourceF,
                      {float(destination.x + (destination.width - source.width) / 2),
                       float(destination.y + (destination.height - source.height) / 2), sourceF.width, sourceF.height});
    break;
  default:
    Throw<std::logic_error>({"QZ::LGLRenderer::DrawBitmap", kRendererPath, 1154},
                            "Invalid ResizeType passed to DrawBitmap!");
  }
  return QZ_OK;
}

QZResult LGLRenderer::DrawRenderContext(const RCPtr<LRenderContextInfo>& context, const PointT<int32_t>& point,
                                        const RectT<int32_t>& source) {
  const auto* offscreen = dynamic_cast<const LGLRenderContextInfo*>(context.Get());
  if (!offscreen || !offscreen->IsOffscreenOnly()) {
    return QZ_E_INVALIDARG;
  }
  const RectT<int32_t>& viewport = offscreen->GetBounds();
  if (viewport.width <= 0 || viewport.height <= 0) {
    return QZ_OK;
  }
  const float left = float(source.x) / float(viewport.width);
  const float right = float(source.x + source.width) / float(viewport.width);
  const float top = 1.0f - float(source.y) / float(viewport.height);
  const float bottom = 1.0f - float(source.y + source.height) / float(viewport.height);
  glEnable(GL_TEXTURE_2D);
  glBindTexture(GL_TEXTURE_2D, 0);
  glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
  glBegin(GL_QUADS);
  glTexCoord2f(left, top);
  glVertex2i(point.x, point.y);
  glTexCoord2f(left, bottom);
  glVertex2i(point.x, point.y + source.height);
  glTexCoord2f(right, bottom);
  glVertex2i(point.x + source.width, point.y + source.height);
  glTexCoord2f(right, top);
  glVertex2i(point.x + source.width, point.y);
  glEnd();
  return QZ_OK;
}

QZResult LGLRenderer::PresentRenderContext(const RCPtr<LRenderContextInfo>& context, const PointT<int32_t>& point) {
  const auto* offscreen = dynamic_cast<const LGLRenderContextInfo*>(context.Get());
  if (!offscreen || !offscreen->IsOffscreenOnly()) {
    return QZ_E_INVALIDARG;
  }
  const RectT<int32_t> viewport = offscreen->GetBounds();
  RenderStart(context);
  // A context is current: 0.
  PushClip({0.0, 0.0, double(viewport.width), double(viewport.height)}, RenderState::kUnclipped, nullptr, false);
  glBlendFunc(GL_ONE, GL_ZERO);
  glEnable(GL_TEXTURE_2D);
  glBindTexture(GL_TEXTURE_2D, 0);
  glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
  glBegin(GL_QUADS);
  glTexCoord2f(0.0f, 1.0f);
  glVertex2i(point.x, point.y);
  glTexCoord2f(0.0f, 0.0f);
  glVertex2i(point.x, point.y + viewport.height);
  glTexCoord2f(1.0f, 0.0f);
  glVertex2i(point.x + viewport.width, point.y + viewport.height);
  glTexCoord2f(1.0f, 1.0f);
  glVertex2i(point.x + viewport.width, point.y);
  glEnd();
  glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
  PopClip();
  RenderFinish(context);
  return QZ_OK;
}

} // namespace QZ
