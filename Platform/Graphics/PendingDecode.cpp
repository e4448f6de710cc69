#include "Platform/Graphics/PendingDecode.h"

#include <cairo.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <thread>
#include <vector>

#include "Platform/Graphics/PixelConversion.h"
#include "Platform/Graphics/PngDecoder.h"

namespace QZ::Platform::Graphics {

namespace {

// The process's decoding workers. They take the newest decode first: images are asked for
// in the order the first frame draws them, which takes the oldest ones itself.
class DecodeWorkers {
public:
  DecodeWorkers() {
    const unsigned cores = std::thread::hardware_concurrency();
    const unsigned count = std::clamp(cores > 1 ? cores - 1 : 1u, 1u, kMaxWorkers);
    try {
      for (unsigned i = 0; i < count; ++i) {
        mThreads.emplace_back([this] { Work(); });
      }
    } catch (...) {
      Stop(); // no thread may outlive a construction that failed
      throw;
    }
  }
  ~DecodeWorkers() { Stop(); }
  DecodeWorkers(const DecodeWorkers&) = delete;
  DecodeWorkers& operator=(const DecodeWorkers&) = delete;

  void Post(std::shared_ptr<PendingDecode> decode) {
    {
      std::lock_guard lock(mMutex);
      mQueue.push_back(std::move(decode));
    }
    mWake.notify_one();
  }

private:
  void Stop() {
    {
      std::lock_guard lock(mMutex);
      mStopping = true;
    }
    mWake.notify_all();
    for (std::thread& thread : mThreads) {
      thread.join();
    }
  }

  // With the images' own thread taking the oldest decodes, two workers keep three cores
  // decoding; each more would add its stack and heap arena to the resident memory.
  static constexpr unsigned kMaxWorkers = 2;

  void Work() {
    for (;;) {
      std::shared_ptr<PendingDecode> decode;
      {
        std::unique_lock lock(mMutex);
        mWake.wait(lock, [this] { return mStopping || !mQueue.empty(); });
        if (mStopping) {
          return;
        }
        decode = std::move(mQueue.back());
        mQueue.pop_back();
      }
      decode->Run();
    }
  }

  std::mutex mMutex;
  std::condition_variable mWake;
  std::deque<std::shared_ptr<PendingDecode>> mQueue;
  bool mStopping = false;
  std::vector<std::thread> mThreads;
};

} // namespace

Status DecodePremultiplied(std::span<const uint8_t> png, int width, int height, cairo_surface_t* surface) {
  cairo_surface_flush(surface);
  uint8_t* data = cairo_image_surface_get_data(surface);
  const size_t stride = size_t(cairo_image_surface_get_stride(surface));
  const Status decoded = DecodePngInto(png, width, height, data, stride);
  if (decoded == Status::Ok) {
    for (int y = 0; y < height; ++y) {
      uint8_t* pixel = data + size_t(y) * stride;
      for (int x = 0; x < width; ++x, pixel += 4) {
        // Opaque pixels are their own premultiplied form, transparent ones all 0.
        if (pixel[3] == 0xFF) {
          continue;
        }
        const uint32_t word = pixel[3] == 0 ? 0 : Premultiply(pixel);
        std::memcpy(pixel, &word, 4);
      }
    }
  } else if (decoded != Status::OutOfMemory) {
    std::memset(data, 0, stride * size_t(height));
  }
  cairo_surface_mark_dirty(surface);
  return decoded == Status::Ok || decoded == Status::OutOfMemory ? decoded : Status::GenericError;
}

CairoSurface CreateDecodeSurface(int width, int height) {
  // Cairo's own surfaces come cleared, which costs the image's thread a pass over pixels
  // the decode overwrites at once.
  static const cairo_user_data_key_t kPixels{};
  const int stride = cairo_format_stride_for_width(CAIRO_FORMAT_ARGB32, width);
  if (stride <= 0 || height <= 0) {
    return nullptr;
  }
  auto* pixels = static_cast<unsigned char*>(std::malloc(size_t(stride) * size_t(height)));
  if (pixels == nullptr) {
    return nullptr;
  }
  CairoSurface surface(cairo_image_surface_create_for_data(pixels, CAIRO_FORMAT_ARGB32, width, height, stride));
  if (cairo_surface_status(surface.get()) != CAIRO_STATUS_SUCCESS ||
      cairo_surface_set_user_data(surface.get(), &kPixels, pixels, std::free) != CAIRO_STATUS_SUCCESS) {
    std::free(pixels);
    return nullptr;
  }
  return surface;
}

void PendingDecode::Post(std::shared_ptr<PendingDecode> decode) {
  static DecodeWorkers workers;
  workers.Post(std::move(decode));
}

PendingDecode::PendingDecode(std::span<const uint8_t> png, int width, int height)
    : mPng(png), mWidth(width), mHeight(height), mSurface(CreateDecodeSurface(width, height)) {}

Status PendingDecode::Decode() {
  const Status status = DecodePremultiplied(mPng, mWidth, mHeight, mSurface.get());
  if (status == Status::OutOfMemory) {
    mSurface.reset();
  }
  return status;
}

void PendingDecode::Run() {
  {
    std::lock_guard lock(mMutex);
    if (mPhase != Phase::Queued || !mSurface) {
      return;
    }
    mPhase = Phase::Running;
  }
  const Status status = Decode();
  {
    std::lock_guard lock(mMutex);
    mStatus = status;
    mPhase = Phase::Done;
  }
  mDone.notify_all();
}

CairoSurface PendingDecode::Take(Status& status) {
  std::unique_lock lock(mMutex);
  if (mPhase == Phase::Queued) {
    mPhase = Phase::Dropped;
    lock.unlock();
    status = mSurface ? Decode() : Status::OutOfMemory;
    return std::move(mSurface);
  }
  mDone.wait(lock, [this] { return mPhase != Phase::Running; });
  mPhase = Phase::Dropped;
  status = mSurface ? mStatus : Status::OutOfMemory;
  return std::move(mSurface);
}

void PendingDecode::Cancel() {
  std::unique_lock lock(mMutex);
  mDone.wait(lock, [this] { return mPhase != Phase::Running; });
  mPhase = Phase::Dropped;
  mSurface.reset();
}

} // namespace QZ::Platform::Graphics
