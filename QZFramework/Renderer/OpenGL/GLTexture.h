#pragma once
// QZ::LGLTexture: an OpenGL texture made from an image in memory (a bitmap's pixels, a
// glyph atlas), and the textured quad that draws part of it.
//
//   QZ::RCPtr<QZ::LGLTexture> texture(new QZ::LGLTexture(bitmap));    // uploads at once
//   texture->DrawQuad({0, 0, 16, 16}, {10, 10, 16, 16});              // source pixels -> target
//
// Textures have the image's size (a power of two before OpenGL 2.0), at most 16384,
// halved while the driver refuses them (the image is then scaled down to fit); texture
// coordinates are worked out from image pixels. Needs the GL context current on the calling (main) thread,
// except that a texture never created may be made and destroyed without one.

#include <GL/gl.h>

#include <cstdint>
#include <vector>

#include "QZFramework/ObjectBase/RCPtr.h"
#include "QZFramework/Utilities/Graphics/Bitmap.h"
#include "QZFramework/Utilities/Graphics/Geometry.h"

namespace QZ {

// Texture flags: nearest filtering (else linear) and repeating (else clamped) edges.
inline constexpr uint32_t kTextureNearest = 0x1;
inline constexpr uint32_t kTextureRepeat = 0x2;

class LGLTexture : public virtual LRefCountedObject {
public:
  // The pixels a texture is made from.
  struct ImageRecord {
    GLenum format = GL_RGBA;
    GLenum type = GL_UNSIGNED_BYTE;
    std::vector<uint8_t> owned; // the data when the record owns it
    const uint8_t* data = nullptr;
    int32_t width = 0;
    int32_t height = 0;
    int32_t rowBytes = 0; // a multiple of 4
    int32_t bytesPerPixel = 4;

    // Describes outside data (not owned; it must outlive the upload).
    void SetExternal(GLenum format, GLenum type, const uint8_t* data, int32_t width, int32_t height, int32_t rowBytes,
                     int32_t bytesPerPixel);
    // Scales the image to width x height into data of its own (gluScaleImage).
    bool Scale(int32_t newWidth, int32_t newHeight);
    // Uploads into the bound texture at (0, 0); GL errors are drained.
    void Upload(GLenum target) const;
  };

  // A texture to be made later (CreateTexture).
  LGLTexture() = default;
  // A texture of the bitmap's native image (BGRA, linear, clamped), keeping a reference
  // to the bitmap. A bitmap without pixels, or a driver that refuses, gives none.
  explicit LGLTexture(const ConstRCPtr<LBitmap>& bitmap);
  ~LGLTexture() override;
  LGLTexture(const LGLTexture&) = delete;
  LGLTexture& operator=(const LGLTexture&) = delete;

  // Makes the texture for the image record (a name is generated when there is none) with
  // the flags, and uploads the image. The size reduction factor (1, 2, 4 ...), 0 when the
  // driver refuses even 1 x 1.
  int32_t CreateTexture(GLint internalFormat, uint32_t flags);
  // Uploads the image record again into the texture, which must have its size.
  void Update();
  // Whether the texture exists in the current context.
  bool IsValid() const { return mName != 0 && glIsTexture(mName) == GL_TRUE; }
  // Draws the source rectangle (image pixels) of the texture over the target rectangle,
  // in the current colour.
  void DrawQuad(const RectT<float>& source, const RectT<float>& target) const;

  const SizeT<int32_t>& GetTextureSize() const { return mTextureSize; }

protected:
  ImageRecord mImage;

private:
  GLenum mTarget = GL_TEXTURE_2D;
  GLuint mName = 0;
  SizeT<int32_t> mTextureSize{0, 0};
  float mScale = 1.0f; // texels per image pixel
  ConstRCPtr<LBitmap> mBitmap;
};

} // namespace QZ
