#include "Platform/Gl/Wgl.h"

#include <SDL2/SDL.h>

#include <cstring>

namespace QZ::Platform::Gl {

struct DeviceContextRecord {
  SDL_Window* window = nullptr;
};

struct RenderingContextRecord {
  SDL_GLContext context = nullptr;
  int format = 0;
};

namespace {

constexpr int kDoubleBufferedFormat = 1;
constexpr int kSingleBufferedFormat = 2;
constexpr int kFormatCount = 2;
// Where SetPixelFormat keeps a window's format.
constexpr const char* kFormatKey = "QZ.Gl.PixelFormat";

thread_local uint32_t tLastError = 0;
thread_local std::string tLastErrorText;

template <class Result>
Result Fail(uint32_t error, const char* text, Result result) {
  tLastError = error;
  tLastErrorText = text;
  return result;
}

template <class Result>
Result FailFromSdl(Result result) {
  return Fail(kErrorSystem, SDL_GetError(), result);
}

bool IsFormat(int format) { return format >= 1 && format <= kFormatCount; }

int FormatOf(SDL_Window* window) {
  return window ? int(reinterpret_cast<intptr_t>(SDL_GetWindowData(window, kFormatKey))) : 0;
}

const char* GetExtensionsStringARB(DeviceContext /*dc*/) { return "WGL_ARB_extensions_string WGL_ARB_pixel_format"; }

bool ChoosePixelFormatARB(DeviceContext /*dc*/, const int* intAttributes, const float* /*floatAttributes*/,
                          uint32_t maxFormats, int* formats, uint32_t* count) {
  bool wantsWindow = true;
  bool rgba = true;
  int doubleBuffer = -1; // either
  bool swapCopy = false;
  for (const int* attribute = intAttributes; attribute && attribute[0] != 0; attribute += 2) {
    const int value = attribute[1];
    switch (attribute[0]) {
    case kAttribDrawToWindow:
      wantsWindow = value != 0;
      break;
    case kAttribPixelType:
      rgba = value == kPixelTypeRGBA;
      break;
    case kAttribDoubleBuffer:
      doubleBuffer = value != 0 ? 1 : 0;
      break;
    case kAttribSwapMethod:
      swapCopy = value == kSwapMethodCopy;
      break;
    default:
      break;
    }
  }
  uint32_t found = 0;
  if (wantsWindow && rgba && !swapCopy) {
    for (int format : {kDoubleBufferedFormat, kSingleBufferedFormat}) {
      const bool isDouble = format == kDoubleBufferedFormat;
      if ((doubleBuffer < 0 || (doubleBuffer == 1) == isDouble) && found < maxFormats) {
        formats[found++] = format;
      }
    }
  }
  *count = found;
  return true;
}

} // namespace

DeviceContext GetDC(WindowHandle window) { return new DeviceContextRecord{static_cast<SDL_Window*>(window)}; }

void ReleaseDC(DeviceContext dc) { delete dc; }

int ChoosePixelFormat(DeviceContext dc, const PixelFormatDescriptor& descriptor) {
  if (!dc) {
    return Fail(kErrorInvalidHandle, "no device context", 0);
  }
  if (!(descriptor.flags & kPfdSupportOpenGL) || descriptor.pixelType != kPfdTypeRGBA) {
    return Fail(kErrorInvalidPixelFormat, "only RGBA formats with OpenGL exist", 0);
  }
  return (descriptor.flags & kPfdDoubleBuffer) ? kDoubleBufferedFormat : kSingleBufferedFormat;
}

bool SetPixelFormat(DeviceContext dc, int format, const PixelFormatDescriptor& /*descriptor*/) {
  if (!dc || !dc->window) {
    return Fail(kErrorInvalidHandle, "a pixel format is set on a window", false);
  }
  if (!IsFormat(format)) {
    return Fail(kErrorInvalidPixelFormat, "unknown pixel format", false);
  }
  if (!(SDL_GetWindowFlags(dc->window) & SDL_WINDOW_OPENGL)) {
    return Fail(kErrorInvalidPixelFormat, "the window was not made for OpenGL", false);
  }
  const int current = FormatOf(dc->window);
  if (current != 0 && current != format) {
    return Fail(kErrorInvalidPixelFormat, "the window has another pixel format", false);
  }
  SDL_SetWindowData(dc->window, kFormatKey, reinterpret_cast<void*>(intptr_t(format)));
  return true;
}

int GetPixelFormat(DeviceContext dc) { return dc ? FormatOf(dc->window) : 0; }

int DescribePixelFormat(DeviceContext /*dc*/, int format, PixelFormatDescriptor& out) {
  if (!IsFormat(format)) {
    return Fail(kErrorInvalidPixelFormat, "unknown pixel format", 0);
  }
  out = PixelFormatDescriptor{};
  out.flags = kPfdDrawToWindow | kPfdSupportOpenGL | (format == kDoubleBufferedFormat ? kPfdDoubleBuffer : 0);
  out.colorBits = 32;
  out.alphaBits = 8;
  out.depthBits = 24;
  out.stencilBits = 8;
  return kFormatCount;
}

RenderingContext CreateContext(DeviceContext dc) {
  const int format = GetPixelFormat(dc);
  if (format == 0) {
    return Fail(kErrorInvalidPixelFormat, "the window has no pixel format", nullptr);
  }
  // A context keeps SDL's video subsystem (and with it the GL library) up while it lives.
  if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
    return FailFromSdl(nullptr);
  }
  SDL_Window* previousWindow = SDL_GL_GetCurrentWindow();
  SDL_GLContext previous = SDL_GL_GetCurrentContext();
  SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, format == kDoubleBufferedFormat ? 1 : 0);
  SDL_GLContext context = SDL_GL_CreateContext(dc->window); // SDL makes it current
  if (!context) {
    FailFromSdl(nullptr);
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
    return nullptr;
  }
  SDL_GL_MakeCurrent(previousWindow, previous);
  return new RenderingContextRecord{context, format};
}

bool DeleteContext(RenderingContext rc) {
  if (!rc) {
    return Fail(kErrorInvalidHandle, "no rendering context", false);
  }
  if (SDL_GL_GetCurrentContext() == rc->context) {
    SDL_GL_MakeCurrent(SDL_GL_GetCurrentWindow(), nullptr);
  }
  SDL_GL_DeleteContext(rc->context);
  delete rc;
  SDL_QuitSubSystem(SDL_INIT_VIDEO);
  return true;
}

bool MakeCurrent(DeviceContext dc, RenderingContext rc) {
  if (!rc) {
    if (SDL_GL_GetCurrentContext() && SDL_GL_MakeCurrent(SDL_GL_GetCurrentWindow(), nullptr) != 0) {
      return FailFromSdl(false);
    }
    return true;
  }
  if (!dc || !dc->window) {
    return Fail(kErrorInvalidHandle, "a context is made current on a window", false);
  }
  if (GetPixelFormat(dc) != rc->format) {
    return Fail(kErrorInvalidPixelFormat, "the window's pixel format differs from the context's", false);
  }
  if (SDL_GL_MakeCurrent(dc->window, rc->context) != 0) {
    return FailFromSdl(false);
  }
  return true;
}

void* GetProcAddress(const char* name) {
  if (!name) {
    return Fail(kErrorProcNotFound, "no name", nullptr);
  }
  if (std::strcmp(name, "wglGetExtensionsStringARB") == 0) {
    return reinterpret_cast<void*>(&GetExtensionsStringARB);
  }
  if (std::strcmp(name, "wglChoosePixelFormatARB") == 0) {
    return reinterpret_cast<void*>(&ChoosePixelFormatARB);
  }
  void* entry = SDL_GL_GetProcAddress(name);
  return entry ? entry : Fail(kErrorProcNotFound, "the driver has no such entry point", nullptr);
}

bool SwapLayerBuffers(DeviceContext dc, uint32_t /*planes*/) {
  if (!dc || !dc->window) {
    return Fail(kErrorInvalidHandle, "buffers are swapped on a window", false);
  }
  SDL_GL_SwapWindow(dc->window);
  return true;
}

void PrepareWindowFormat() {
  for (SDL_GLattr bits :
       {SDL_GL_RED_SIZE, SDL_GL_GREEN_SIZE, SDL_GL_BLUE_SIZE, SDL_GL_ALPHA_SIZE, SDL_GL_STENCIL_SIZE}) {
    SDL_GL_SetAttribute(bits, 8);
  }
  SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 24);
  SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
}

WindowHandle CreateHiddenWindow() {
  if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
    return FailFromSdl(nullptr);
  }
  PrepareWindowFormat();
  SDL_Window* window = SDL_CreateWindow("", 0, 0, 1, 1, SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN | SDL_WINDOW_BORDERLESS);
  if (!window) {
    FailFromSdl(nullptr);
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
  }
  return window;
}

bool DestroyWindow(WindowHandle window) {
  if (!window) {
    return Fail(kErrorInvalidHandle, "no window", false);
  }
  SDL_DestroyWindow(static_cast<SDL_Window*>(window));
  SDL_QuitSubSystem(SDL_INIT_VIDEO);
  return true;
}

uint32_t GetLastError() { return tLastError; }

std::string GetErrorText(uint32_t error) {
  if (error == tLastError && !tLastErrorText.empty()) {
    return tLastErrorText;
  }
  return error == 0 ? "no error" : "unknown error";
}

} // namespace QZ::Platform::Gl
