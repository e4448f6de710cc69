// Construction, contexts, frames and the drawing state of the OpenGL renderer.
#include "QZFramework/Renderer/OpenGL/GLRenderer.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <stdexcept>
#include <string>
#include <utility>

#include "QZFramework/Renderer/OpenGL/GLErrorStrings.h"

namespace QZ {

namespace {

constexpr const char* kRendererPath = R"(Renderer\OpenGL\GLRenderer)";

void DrainErrors() {
  while (glGetError() != GL_NO_ERROR) {
  }
}

// Whole pixels, rounded half away from zero; far beyond any viewport they saturate,
// wide enough that sums of them do not overflow.
int64_t Whole(double value) { return std::llround(std::clamp(value, -1e18, 1e18)); }

// The GL state every context starts with.
void SetInitialState() {
  glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
  glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
  for (GLenum capability : {GL_LIGHTING, GL_DITHER, GL_DEPTH_TEST, GL_CULL_FACE, GL_POLYGON_SMOOTH}) {
    glDisable(capability);
  }
  glShadeModel(GL_SMOOTH);
  for (GLenum capability : {GL_TEXTURE_2D, GL_BLEND, GL_ALPHA_TEST, GL_POINT_SMOOTH, GL_LINE_SMOOTH, GL_SCISSOR_TEST}) {
    glEnable(capability);
  }
  glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
  glHint(GL_LINE_SMOOTH_HINT, GL_NICEST);
  glHint(GL_PERSPECTIVE_CORRECTION_HINT, GL_NICEST);
  glHint(GL_POLYGON_SMOOTH_HINT, GL_NICEST);
  glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
  glAlphaFunc(GL_GREATER, 0.003921569f);
  glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
}

// Releases what construction made when it fails half-way.
struct HiddenWindow {
  Platform::Gl::WindowHandle window = nullptr;
  Platform::Gl::DeviceContext dc = nullptr;

  ~HiddenWindow() {
    Platform::Gl::MakeCurrent(nullptr, nullptr);
    Platform::Gl::ReleaseDC(dc);
    if (window) {
      Platform::Gl::DestroyWindow(window);
    }
  }
};

} // namespace

LGLRenderer::LGLRenderer(WindowHandle window, const RCPtr<LFontRenderer>& fontRenderer, MillisecondClock clock,
                         uint32_t purgeInterval)
    : mFontRenderer(fontRenderer), mWindow(window), mClock(std::move(clock)), mPurgeInterval(purgeInterval),
      mLastPurge(mClock()) {
  mDescriptor.flags = Platform::Gl::kPfdDrawToWindow | Platform::Gl::kPfdSupportOpenGL | Platform::Gl::kPfdSwapCopy |
                      (mDoubleBuffered ? Platform::Gl::kPfdDoubleBuffer : 0);
  mDescriptor.pixelType = Platform::Gl::kPfdTypeRGBA;
  mDescriptor.colorBits = 32;
  {
    Platform::Gl::DeviceContext windowDc = Platform::Gl::GetDC(mWindow);
    mPixelFormat = Platform::Gl::ChoosePixelFormat(windowDc, mDescriptor);
    Platform::Gl::ReleaseDC(windowDc);
  }
  if (mPixelFormat == 0) {
    FailConstruction("GL_ERROR_MESSAGE_CHOOSE_PIXEL_FORMAT", 146);
  }
  HiddenWindow hidden;
  hidden.window = Platform::Gl::CreateHiddenWindow();
  if (!hidden.window) {
    Throw<std::runtime_error>({"QZ::LGLRenderer::LGLRenderer", kRendererPath, 152});
  }
  hidden.dc = Platform::Gl::GetDC(hidden.window);
  if (!Platform::Gl::SetPixelFormat(hidden.dc, mPixelFormat, mDescriptor)) {
    FailConstruction("GL_ERROR_MESSAGE_SET_PIXEL_FORMAT", 163);
  }
  mContext = Platform::Gl::CreateContext(hidden.dc);
  if (!mContext) {
    FailConstruction("GL_ERROR_MESSAGE_CREATE_CONTEXT", 173);
  }
  Platform::Gl::DescribePixelFormat(hidden.dc, mPixelFormat, mDescriptor);
  mDoubleBuffered = (mDescriptor.flags & Platform::Gl::kPfdDoubleBuffer) != 0;
  mSwapCopies =
      (mDescriptor.flags & Platform::Gl::kPfdSwapCopy) && !(mDescriptor.flags & Platform::Gl::kPfdSupportComposition);
  Platform::Gl::MakeCurrent(hidden.dc, mContext);
  if (!mDoubleBuffered || !mSwapCopies) {
    PreferCopySwapFormat();
  }
}

LGLRenderer::~LGLRenderer() {
  Platform::Gl::MakeCurrent(nullptr, nullptr);
  if (mContext) {
    Platform::Gl::DeleteContext(mContext);
  }
}

void LGLRenderer::FailConstruction(const char* messageKey, int line) {
  ReportGLFailure(messageKey);
  if (mContext) {
    Platform::Gl::MakeCurrent(nullptr, nullptr);
    Platform::Gl::DeleteContext(std::exchange(mContext, nullptr));
  }
  Throw<std::runtime_error>({"QZ::LGLRenderer::LGLRenderer", kRendererPath, line});
}

bool LGLRenderer::HasExtension(const char* name) {
  if (!name || name[0] == '\0' || std::strchr(name, ' ')) {
    return false;
  }
  const auto getExtensions = reinterpret_cast<Platform::Gl::GetExtensionsStringARBProc>(
      Platform::Gl::GetProcAddress("wglGetExtensionsStringARB"));
  if (!getExtensions) {
    const uint32_t error = Platform::Gl::GetLastError();
    ReportGLProcAddressFailure(error, Platform::Gl::GetErrorText(error));
    return false;
  }
  Platform::Gl::DeviceContext dc = Platform::Gl::GetDC(mWindow);
  const std::string extensions = getExtensions(dc) ? getExtensions(dc) : "";
  Platform::Gl::ReleaseDC(dc);
  const size_t length = std::strlen(name);
  for (size_t at = extensions.find(name); at != std::string::npos; at = extensions.find(name, at + 1)) {
    const bool startsWord = at == 0 || extensions[at - 1] == ' ';
    const bool endsWord = at + length == extensions.size() || extensions[at + length] == ' ';
    if (startsWord && endsWord) {
      return true;
    }
  }
  return false;
}

void LGLRenderer::PreferCopySwapFormat() {
  if (!HasExtension("WGL_ARB_pixel_format")) {
    return;
  }
  const auto choose =
      reinterpret_cast<Platform::Gl::ChoosePixelFormatARBProc>(Platform::Gl::GetProcAddress("wglChoosePixelFormatARB"));
  if (!choose) {
    return;
  }
  const int attributes[] = {Platform::Gl::kAttribDrawToWindow,
                            1,
                            Platform::Gl::kAttribPixelType,
                            Platform::Gl::kPixelTypeRGBA,
                            Platform::Gl::kAttribDoubleBuffer,
                            1,
                            Platform::Gl::kAttribSwapMethod,
                            Platform::Gl::kSwapMethodCopy,
                            0};
  int formats[64] = {};
  uint32_t count = 0;
  Platform::Gl::DeviceContext dc = Platform::Gl::GetDC(mWindow);
  if (choose(dc, attributes, nullptr, 64, formats, &count) && count > 0) {
    Platform::Gl::PixelFormatDescriptor descriptor;
    Platform::Gl::DescribePixelFormat(dc, formats[0], descriptor);
    if (!(descriptor.flags & Platform::Gl::kPfdGenericFormat)) {
      if (!Platform::Gl::SetPixelFormat(dc, formats[0], descriptor)) {
        Platform::Gl::ReleaseDC(dc);
        FailConstruction("GL_ERROR_MESSAGE_SET_PIXEL_FORMAT", 249);
      }
      if (Platform::Gl::RenderingContext context = Platform::Gl::CreateContext(dc)) {
        Platform::Gl::MakeCurrent(nullptr, nullptr);
        Platform::Gl::DeleteContext(mContext);
        mContext = context;
        mPixelFormat = formats[0];
        mDescriptor = descriptor;
        mDoubleBuffered = (descriptor.flags & Platform::Gl::kPfdDoubleBuffer) != 0;
        mSwapCopies = (descriptor.flags & Platform::Gl::kPfdSwapCopy) != 0;
      }
    }
  }
  Platform::Gl::ReleaseDC(dc);
}

QZResult LGLRenderer::GetFontMetrics(const LFont& font, int32_t& height, int32_t& ascent, int32_t& descent) {
  return mFontRenderer ? mFontRenderer->GetFontMetrics(font, height, ascent, descent) : QZResult(QZ_E_FAIL);
}

RectT<float> LGLRenderer::MeasureText(const LFont& font, const WString& text) {
  if (!mFontRenderer || text.IsEmpty()) {
    return {0.0f, 0.0f, 0.0f, 0.0f};
  }
  return mFontRenderer->MeasureText(text, font);
}

QZResult LGLRenderer::InitRenderContextInfo(const RectT<int32_t>& bounds, WindowHandle window, bool offscreenOnly,
                                            RCPtr<LRenderContextInfo>& out) {
  RCPtr<LGLRenderContextInfo> context(new LGLRenderContextInfo(bounds, window, offscreenOnly));
  if (!Platform::Gl::SetPixelFormat(context->GetDeviceContext(), mPixelFormat, mDescriptor) ||
      !Platform::Gl::MakeCurrent(context->GetDeviceContext(), mContext)) {
    ReportGLFailure("GL_ERROR_MESSAGE_SET_PIXEL_FORMAT");
    Throw<std::runtime_error>({"QZ::LGLRenderer::InitRenderContextInfo", kRendererPath, 336});
  }
  GLint dims[2] = {0, 0};
  glGetIntegerv(GL_MAX_VIEWPORT_DIMS, dims);
  context->SetMaxViewport({dims[0], dims[1]});
  SetInitialState();
  DrainErrors();
  // The context stays current only inside frames.
  if (LGLRenderContextInfo* current = CurrentGLContext()) {
    Platform::Gl::MakeCurrent(current->GetDeviceContext(), mContext);
  } else {
    Platform::Gl::MakeCurrent(nullptr, nullptr);
  }
  out = context;
  return QZ_OK;
}

LGLRenderContextInfo* LGLRenderer::CurrentGLContext() const {
  return dynamic_cast<LGLRenderContextInfo*>(GetCurrentContext());
}

QZResult LGLRenderer::SetViewport(const RectT<int32_t>& viewport) {
  const QZResult result = LRenderer::SetViewport(viewport);
  if (!CurrentGLContext()) {
    return result;
  }
  glViewport(viewport.x, viewport.y, viewport.width, viewport.height);
  GLint applied[4] = {0, 0, 0, 0};
  glGetIntegerv(GL_VIEWPORT, applied);
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  glOrtho(0.0, applied[2], applied[3], 0.0, -1.0, 1.0);
  glMatrixMode(GL_MODELVIEW);
  return result;
}

QZResult LGLRenderer::RenderStart(const RCPtr<LRenderContextInfo>& context) {
  LRenderer::RenderStart(context);
  LGLRenderContextInfo* gl = CurrentGLContext();
  if (!gl) {
    return QZ_OK;
  }
  Platform::Gl::MakeCurrent(gl->GetDeviceContext(), mContext);
  SetViewport(gl->GetBounds());
  // The scissor box belongs to the one GL context: each frame sets its own.
  SetClipRect(gl->GetState().clip);
  glPushMatrix();
  return QZ_OK;
}

QZResult LGLRenderer::RenderFinish(const RCPtr<LRenderContextInfo>& context) {
  LGLRenderContextInfo* gl = context.Get() == GetCurrentContext() ? CurrentGLContext() : nullptr;
  if (gl) {
    DrainErrors();
    glPopMatrix();
    if (gl->IsOffscreenOnly()) {
      glFlush();
    } else {
      if (!mDoubleBuffered) {
        glFlush();
      } else if (mSwapCopies) {
        gl->SwapBuffers();
      } else {
        glFlush();
        CopyBackToFront(gl->GetBounds());
      }
      DrainErrors();
      Platform::Gl::MakeCurrent(nullptr, nullptr);
    }
  }
  LRenderer::RenderFinish(context);
  if (LGLRenderContextInfo* top = CurrentGLContext()) {
    Platform::Gl::MakeCurrent(top->GetDeviceContext(), mContext);
    SetViewport(top->GetBounds());
  } else if (GetContextDepth() == 0) {
    PurgeWhenDue();
  }
  return QZ_OK;
}

void LGLRenderer::CopyBackToFront(const RectT<int32_t>& viewport) {
  glPushAttrib(GL_COLOR_BUFFER_BIT | GL_ENABLE_BIT | GL_PIXEL_MODE_BIT | GL_CURRENT_BIT);
  glMatrixMode(GL_PROJECTION);
  glPushMatrix();
  glLoadIdentity();
  glOrtho(0.0, viewport.width, 0.0, viewport.height, -1.0, 1.0);
  glMatrixMode(GL_MODELVIEW);
  glPushMatrix();
  glLoadIdentity();
  for (GLenum capability : {GL_BLEND, GL_ALPHA_TEST, GL_SCISSOR_TEST, GL_TEXTURE_2D, GL_DITHER}) {
    glDisable(capability);
  }
  glReadBuffer(GL_BACK);
  glDrawBuffer(GL_FRONT);
  glRasterPos2i(0, 0);
  glEnable(GL_COLOR_LOGIC_OP);
  glLogicOp(GL_COPY);
  glCopyPixels(0, 0, viewport.width, viewport.height, GL_COLOR);
  glFlush();
  glPopMatrix();
  glMatrixMode(GL_PROJECTION);
  glPopMatrix();
  glMatrixMode(GL_MODELVIEW);
  glPopAttrib();
}

void LGLRenderer::PurgeWhenDue() {
  const uint32_t now = mClock();
  if (now - mLastPurge <= mPurgeInterval) {
    return;
  }
  mLastPurge = now;
  mFilledPolygons.Purge();
  mPolygons.Purge();
  mLineSegments.Purge();
  mPolylines.Purge();
  mRectLists.Purge();
  mTextures.Purge();
}

QZResult LGLRenderer::SetClipRect(const RectT<double>& clip) {
  const QZResult result = LRenderer::SetClipRect(clip);
  LGLRenderContextInfo* gl = CurrentGLContext();
  if (!gl) {
    return result;
  }
  const RenderState& state = gl->GetState();
  const RectT<double> moved = clip.Offset(state.origin.x, state.origin.y);
  const RectT<int32_t>& viewport = gl->GetBounds();
  int64_t x = Whole(moved.x);
  int64_t y = Whole(double(viewport.height) - (moved.y + moved.height));
  int64_t width = Whole(moved.width);
  int64_t height = Whole(moved.height);
  if (x < 0) {
    width += x;
    x = 0;
  }
  if (y < 0) {
    height += y;
    y = 0;
  }
  if (width <= 0 || height <= 0) {
    glScissor(viewport.width, 0, 1, 1);
  } else {
    glScissor(int32_t(x), int32_t(y), int32_t(std::min<int64_t>(width, INT32_MAX)),
              int32_t(std::min<int64_t>(height, INT32_MAX)));
  }
  return result;
}

QZResult LGLRenderer::Translate(const PointT<double>& offset) {
  const QZResult result = LRenderer::Translate(offset);
  if (CurrentGLContext() && (offset.x != 0.0 || offset.y != 0.0)) {
    glTranslatef(float(offset.x), float(offset.y), 0.0f);
  }
  return result;
}

} // namespace QZ
