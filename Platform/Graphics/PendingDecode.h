#pragma once
// Decoding an embedded PNG's premultiplied pixels on a worker thread before an image's first
// drawing needs them (internal; Image::DecodeAhead is the public face).
//
//   auto ahead = std::make_shared<PendingDecode>(png, width, height);
//   PendingDecode::Post(ahead);                          // a worker decodes it soon
//   CairoSurface surface = ahead->Take(status);        // later, on the image's thread
//
// The surface is made by the constructing thread, so that the pixels live where the image's
// own decode would have put them; workers only fill it.
// Take decodes on the calling thread when no worker has started yet, waits for one that
// has, and hands the result over; a worker that comes later does nothing. Cancel makes
// workers skip it and waits for one already decoding. The PNG's bytes must outlive Take or
// Cancel: no worker reads them after either returned.

#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <span>

#include "Platform/Graphics/CairoHandles.h"
#include "Platform/Graphics/GraphicsTypes.h"

namespace QZ::Platform::Graphics {

// Decodes png (width x height) into surface, premultiplying, or, when the PNG is damaged,
// makes the surface transparent and gives GenericError. OutOfMemory leaves it undefined.
Status DecodePremultiplied(std::span<const uint8_t> png, int width, int height, cairo_surface_t* surface);

// A premultiplied ARGB32 surface for DecodePremultiplied to fill, its pixels not cleared
// first (a decode writes or clears them all; only OutOfMemory leaves them undefined); null
// when there is no memory. The pixels are allocated on the calling thread and go with the
// surface.
CairoSurface CreateDecodeSurface(int width, int height);

class PendingDecode {
public:
  // Makes the surface to decode into; HasSurface tells whether Cairo could.
  PendingDecode(std::span<const uint8_t> png, int width, int height);

  bool HasSurface() const { return mSurface != nullptr; }

  // Queues the decode for the process's decoding workers (started at the first call; they
  // wait for work without waking until the process ends).
  static void Post(std::shared_ptr<PendingDecode> decode);

  // The decoded surface and DecodePremultiplied's status; null (status OutOfMemory) when
  // no surface or memory could be had. Once.
  CairoSurface Take(Status& status);
  // Drops the decode: see above.
  void Cancel();
  // A worker's turn (any thread): decodes unless it was taken or cancelled first.
  void Run();

private:
  enum class Phase { Queued, Running, Done, Dropped };

  // Decodes into the surface on the calling thread; drops the surface on OutOfMemory.
  Status Decode();

  std::span<const uint8_t> mPng;
  int mWidth;
  int mHeight;
  std::mutex mMutex;
  std::condition_variable mDone;
  Phase mPhase = Phase::Queued;
  // Filled by the one thread that decodes (a worker while Running, or the taker of a
  // Queued decode); handed over under the mutex.
  CairoSurface mSurface;
  Status mStatus = Status::Ok;
};

} // namespace QZ::Platform::Graphics
