#pragma once
// QZ::Platform::Gl: the window-system side of the OpenGL renderer: device contexts of windows,
// pixel formats, rendering contexts, making a context current, buffer swaps and GL
// entry points, over SDL2's GL contexts and Mesa.
//
//   QZ::Platform::Gl::DeviceContext dc = QZ::Platform::Gl::GetDC(window);      // window: an SDL_Window*
//   int format = QZ::Platform::Gl::ChoosePixelFormat(dc, descriptor);
//   QZ::Platform::Gl::SetPixelFormat(dc, format, descriptor);
//   QZ::Platform::Gl::RenderingContext rc = QZ::Platform::Gl::CreateContext(dc);
//   QZ::Platform::Gl::MakeCurrent(dc, rc);  ... draw ...  QZ::Platform::Gl::SwapLayerBuffers(dc,
//   QZ::Platform::Gl::kSwapMainPlane); QZ::Platform::Gl::MakeCurrent(nullptr, nullptr);
//   QZ::Platform::Gl::DeleteContext(rc);
//   QZ::Platform::Gl::ReleaseDC(dc);
//
// Windows are SDL windows made with SDL_WINDOW_OPENGL; their GL configuration is fixed
// when SDL makes them, so SetPixelFormat only records the format and checks the window
// can take GL. Null stands for the screen: formats can be chosen and described on it,
// not set. One context can be made current on any window that has the format it was
// made for (SDL gives every GL window the same configuration).
//
// Two formats exist, 1 double-buffered and 2 single-buffered, both RGBA with 32 colour
// bits, drawing to windows. No format swaps by copy: a renderer that needs the back
// buffer kept after a swap copies it itself. SDL's offscreen driver gives pbuffers,
// which have one buffer only: a context made current there reports GL_DOUBLEBUFFER
// false whatever the format said.
//
// Failures return 0, null or false and leave an error number and its text, read with
// GetLastError and GetErrorText (per thread). SDL's video subsystem is held from
// CreateHiddenWindow to DestroyWindow and from CreateContext to DeleteContext; callers
// that make windows of their own start it themselves. Main thread only.

#include <cstdint>
#include <string>

namespace QZ::Platform::Gl {

// An SDL_Window* made with SDL_WINDOW_OPENGL; null stands for the screen.
using WindowHandle = void*;

struct DeviceContextRecord;
struct RenderingContextRecord;
using DeviceContext = DeviceContextRecord*;
using RenderingContext = RenderingContextRecord*;

// Pixel-format flags.
inline constexpr uint32_t kPfdDoubleBuffer = 0x1;
inline constexpr uint32_t kPfdDrawToWindow = 0x4;
inline constexpr uint32_t kPfdSupportOpenGL = 0x20;
inline constexpr uint32_t kPfdGenericFormat = 0x40;
inline constexpr uint32_t kPfdSwapCopy = 0x400;
inline constexpr uint32_t kPfdSupportComposition = 0x8000;
inline constexpr uint8_t kPfdTypeRGBA = 0;

// SwapLayerBuffers' plane of the window itself.
inline constexpr uint32_t kSwapMainPlane = 1;

// Error numbers left for GetLastError.
inline constexpr uint32_t kErrorInvalidHandle = 6;
inline constexpr uint32_t kErrorProcNotFound = 127;
inline constexpr uint32_t kErrorInvalidPixelFormat = 2000;
inline constexpr uint32_t kErrorSystem = 0x80004005; // SDL or the GL driver refused

struct PixelFormatDescriptor {
  uint16_t size = 40;
  uint16_t version = 1;
  uint32_t flags = 0;
  uint8_t pixelType = kPfdTypeRGBA;
  uint8_t colorBits = 0;
  uint8_t alphaBits = 0;
  uint8_t depthBits = 0;
  uint8_t stencilBits = 0;
};

// Attributes of ChoosePixelFormatARB, each followed by its value; the list ends in 0.
inline constexpr int kAttribDrawToWindow = 0x2001;
inline constexpr int kAttribSwapMethod = 0x2007;
inline constexpr int kAttribDoubleBuffer = 0x2011;
inline constexpr int kAttribPixelType = 0x2013;
inline constexpr int kSwapMethodCopy = 0x2029;
inline constexpr int kPixelTypeRGBA = 0x202B;

// Extension entry points, found through GetProcAddress by the names
// "wglGetExtensionsStringARB" and "wglChoosePixelFormatARB".
using GetExtensionsStringARBProc = const char* (*)(DeviceContext dc);
// Writes up to maxFormats matching format numbers; true with their count (possibly 0).
using ChoosePixelFormatARBProc = bool (*)(DeviceContext dc, const int* intAttributes, const float* floatAttributes,
                                          uint32_t maxFormats, int* formats, uint32_t* count);

// A device context of window (null: the screen). The caller owns it: ReleaseDC.
DeviceContext GetDC(WindowHandle window);
// Frees a device context from GetDC; null is ignored.
void ReleaseDC(DeviceContext dc);

// The number of the format closest to the descriptor: 1 when it asks for double
// buffering, else 2; 0 when it asks for no OpenGL or no RGBA.
int ChoosePixelFormat(DeviceContext dc, const PixelFormatDescriptor& descriptor);
// Gives the window its format, once: setting another format later fails, the same one
// again succeeds. Fails for the screen, an unknown format or a window without GL.
bool SetPixelFormat(DeviceContext dc, int format, const PixelFormatDescriptor& descriptor);
// The format a window was given; 0 when none.
int GetPixelFormat(DeviceContext dc);
// Fills out for format and returns the number of formats; 0 for an unknown format.
int DescribePixelFormat(DeviceContext dc, int format, PixelFormatDescriptor& out);

// A context for the window's format; the current context stays current. Null when the
// window has no format or the driver refuses.
RenderingContext CreateContext(DeviceContext dc);
// Deletes a context; it must not be current on another thread. false for null.
bool DeleteContext(RenderingContext rc);
// Makes rc current on the window of dc, which must have the format rc was made for.
// Both null: no context stays current.
bool MakeCurrent(DeviceContext dc, RenderingContext rc);
// The GL (or extension) entry point of name; null when there is none.
void* GetProcAddress(const char* name);
// Shows the back buffer of the window of dc (a single-buffered window shows what is
// drawn already). false for the screen.
bool SwapLayerBuffers(DeviceContext dc, uint32_t planes);

// Gives the GL windows SDL makes from now on the buffers of the formats: 8 bits for
// each colour and alpha, 24 for depth, 8 for stencil, double-buffered where the driver
// can. SDL's video subsystem must be up; call it before making the first GL window
// (SDL fixes the configuration of all its GL windows then).
void PrepareWindowFormat();

// A hidden 1 x 1 GL window, starting SDL's video subsystem; null when it cannot be made.
WindowHandle CreateHiddenWindow();
// Destroys a window from CreateHiddenWindow and stops the subsystem it started.
bool DestroyWindow(WindowHandle window);

// The error number of the last failure on this thread, 0 when none.
uint32_t GetLastError();
// The text of the last failure on this thread (the driver's or SDL's words).
std::string GetErrorText(uint32_t error);

} // namespace QZ::Platform::Gl
