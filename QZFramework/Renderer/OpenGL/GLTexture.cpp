#include "QZFramework/Renderer/OpenGL/GLTexture.h"

#include <GL/glu.h>

#include <algorithm>

namespace QZ {

namespace {

constexpr int32_t kMaxTextureSize = 16384;

// The texture size for an image side: the side itself where the driver takes any size
// (OpenGL 2.0 and later), so that filtering never reaches texels outside the image;
// else the power of two holding it.
int32_t TextureSide(int32_t value) {
  const auto* version = reinterpret_cast<const char*>(glGetString(GL_VERSION));
  if (version && version[0] >= '2' && version[0] <= '9') {
    return std::min(value, kMaxTextureSize);
  }
  int32_t size = 1;
  while (size < value && size < kMaxTextureSize) {
    size *= 2;
  }
  return size;
}

void DrainErrors() {
  while (glGetError() != GL_NO_ERROR) {
  }
}

} // namespace

void LGLTexture::ImageRecord::SetExternal(GLenum pixelFormat, GLenum componentType, const uint8_t* pixels,
                                          int32_t imageWidth, int32_t imageHeight, int32_t rowLength,
                                          int32_t pixelBytes) {
  owned.clear();
  format = pixelFormat;
  type = componentType;
  data = pixels;
  width = imageWidth;
  height = imageHeight;
  rowBytes = (rowLength + 3) / 4 * 4;
  bytesPerPixel = pixelBytes;
}

bool LGLTexture::ImageRecord::Scale(int32_t newWidth, int32_t newHeight) {
  const int32_t newRowBytes = (newWidth * bytesPerPixel + 3) / 4 * 4;
  std::vector<uint8_t> scaled(size_t(newRowBytes) * size_t(newHeight));
  glPixelStorei(GL_PACK_ALIGNMENT, 4);
  glPixelStorei(GL_UNPACK_ROW_LENGTH, rowBytes / bytesPerPixel);
  const GLint result = gluScaleImage(format, width, height, type, data, newWidth, newHeight, type, scaled.data());
  glPixelStorei(GL_UNPACK_ROW_LENGTH, 0);
  if (result != 0) {
    return false;
  }
  owned = std::move(scaled);
  data = owned.data();
  width = newWidth;
  height = newHeight;
  rowBytes = newRowBytes;
  return true;
}

void LGLTexture::ImageRecord::Upload(GLenum target) const {
  glPixelStorei(GL_UNPACK_ROW_LENGTH, rowBytes / bytesPerPixel);
  GLint alignment = 1;
  while (alignment <= rowBytes % bytesPerPixel) {
    alignment *= 2;
  }
  glPixelStorei(GL_UNPACK_ALIGNMENT, alignment);
  glTexSubImage2D(target, 0, 0, 0, width, height, format, type, data);
  glPixelStorei(GL_UNPACK_ROW_LENGTH, 0);
  glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
  DrainErrors();
}

LGLTexture::LGLTexture(const ConstRCPtr<LBitmap>& bitmap) : mBitmap(bitmap) {
  if (!bitmap) {
    return;
  }
  const RCPtr<LBitmapData> pixels = bitmap->LockPixels();
  if (pixels->GetWidth() <= 0 || pixels->GetHeight() <= 0) {
    return;
  }
  mImage.SetExternal(GL_BGRA, GL_UNSIGNED_BYTE, reinterpret_cast<const uint8_t*>(pixels->GetPixelAddress(0, 0)),
                     pixels->GetWidth(), pixels->GetHeight(), pixels->GetRowLength() * 4, 4);
  CreateTexture(GL_RGBA8, 0);
  mImage.SetExternal(GL_BGRA, GL_UNSIGNED_BYTE, nullptr, 0, 0, 0, 4); // the lock ends here
}

LGLTexture::~LGLTexture() {
  if (IsValid()) {
    glDeleteTextures(1, &mName);
  }
}

int32_t LGLTexture::CreateTexture(GLint internalFormat, uint32_t flags) {
  if (mImage.width <= 0 || mImage.height <= 0) {
    return 0;
  }
  if (mName == 0) {
    glGenTextures(1, &mName);
  }
  glBindTexture(mTarget, mName);
  const GLint filter = (flags & kTextureNearest) ? GL_NEAREST : GL_LINEAR;
  // Clamped to the edge texels: clamping to the border would blend edges with black.
  const GLint wrap = (flags & kTextureRepeat) ? GL_REPEAT : GL_CLAMP_TO_EDGE;
  glTexParameteri(mTarget, GL_TEXTURE_MIN_FILTER, filter);
  glTexParameteri(mTarget, GL_TEXTURE_MAG_FILTER, filter);
  glTexParameteri(mTarget, GL_TEXTURE_WRAP_S, wrap);
  glTexParameteri(mTarget, GL_TEXTURE_WRAP_T, wrap);

  int32_t width = TextureSide(mImage.width);
  int32_t height = TextureSide(mImage.height);
  int32_t factor = 1;
  for (;;) {
    glTexImage2D(GL_PROXY_TEXTURE_2D, 0, internalFormat, width, height, 0, mImage.format, mImage.type, nullptr);
    GLint accepted = 0;
    glGetTexLevelParameteriv(GL_PROXY_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &accepted);
    if (accepted != 0) {
      break;
    }
    if (width == 1 && height == 1) {
      DrainErrors();
      return 0;
    }
    width = std::max(width / 2, 1);
    height = std::max(height / 2, 1);
    factor *= 2;
  }
  if (factor > 1 && !mImage.Scale(std::max(mImage.width / factor, 1), std::max(mImage.height / factor, 1))) {
    DrainErrors();
    return 0;
  }
  mScale = 1.0f / float(factor);
  mTextureSize = {width, height};
  glTexImage2D(mTarget, 0, internalFormat, width, height, 0, mImage.format, mImage.type, nullptr);
  mImage.Upload(mTarget);
  return factor;
}

void LGLTexture::Update() {
  glBindTexture(mTarget, mName);
  mImage.Upload(mTarget);
}

void LGLTexture::DrawQuad(const RectT<float>& source, const RectT<float>& target) const {
  if (mTextureSize.width <= 0 || mTextureSize.height <= 0) {
    return;
  }
  const float sx = mScale / float(mTextureSize.width);
  const float sy = mScale / float(mTextureSize.height);
  const float left = source.x * sx;
  const float top = source.y * sy;
  const float right = (source.x + source.width) * sx;
  const float bottom = (source.y + source.height) * sy;
  glEnable(mTarget);
  glBindTexture(mTarget, mName);
  glBegin(GL_QUADS);
  glTexCoord2f(left, top);
  glVertex2f(target.x, target.y);
  glTexCoord2f(left, bottom);
  glVertex2f(target.x, target.y + target.height);
  glTexCoord2f(right, bottom);
  glVertex2f(target.x + target.width, target.y + target.height);
  glTexCoord2f(right, top);
  glVertex2f(target.x + target.width, target.y);
  glEnd();
  glDisable(mTarget);
}

} // namespace QZ
