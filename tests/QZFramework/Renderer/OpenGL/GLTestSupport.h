#pragma once
// A GL window for renderer tests: SDL's offscreen driver (EGL pbuffers over Mesa's
// software rasteriser) unless the test chose another driver, and reading back pixels.

#include <GL/gl.h>
#include <SDL2/SDL.h>
#include <dlfcn.h>
#include <stdlib.h>

#include <cstdint>
#include <initializer_list>
#include <stdexcept>

#include "Platform/Gl/Wgl.h"

namespace QZTest {

class GLTestWindow {
public:
  // driver: the SDL video driver; it replaces any set in the environment.
  GLTestWindow(int width, int height, const char* driver = "offscreen") : mWidth(width), mHeight(height) {
    // Kept loaded to the end, so that what they leak can be told apart by name.
    for (const char* library :
         {"/usr/lib/x86_64-linux-gnu/dri/swrast_dri.so", "libEGL_mesa.so.0", "libGLX_mesa.so.0"}) {
      dlopen(library, RTLD_NOW | RTLD_NODELETE);
    }
    // Mesa's shader cache writes from a thread of its own, which a program's end can catch
    // still exiting, where the leak checker's thread-stopping tracer then crashes.
    setenv("MESA_SHADER_CACHE_DISABLE", "true", 1);
    setenv("SDL_VIDEODRIVER", driver, 1);
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
      throw std::runtime_error(SDL_GetError());
    }
    QZ::Platform::Gl::PrepareWindowFormat();
    mWindow = SDL_CreateWindow("QZ GL test", 0, 0, width, height, SDL_WINDOW_OPENGL | SDL_WINDOW_BORDERLESS);
    if (!mWindow) {
      throw std::runtime_error(SDL_GetError());
    }
  }
  ~GLTestWindow() {
    SDL_DestroyWindow(mWindow);
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
    SDL_Quit();
  }
  GLTestWindow(const GLTestWindow&) = delete;
  GLTestWindow& operator=(const GLTestWindow&) = delete;

  SDL_Window* Get() const { return mWindow; }
  int Width() const { return mWidth; }
  int Height() const { return mHeight; }

  // Pixel (x, y) (y down) of the buffer the current GL context draws to, as 0xAARRGGBB.
  uint32_t ReadPixel(int x, int y) const {
    GLint drawBuffer = GL_BACK;
    glGetIntegerv(GL_DRAW_BUFFER, &drawBuffer);
    glReadBuffer(GLenum(drawBuffer));
    uint8_t rgba[4] = {};
    glReadPixels(x, mHeight - 1 - y, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, rgba);
    return uint32_t(rgba[3]) << 24 | uint32_t(rgba[0]) << 16 | uint32_t(rgba[1]) << 8 | rgba[2];
  }

private:
  SDL_Window* mWindow = nullptr;
  int mWidth;
  int mHeight;
};

} // namespace QZTest
