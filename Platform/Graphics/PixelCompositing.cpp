#include "Platform/Graphics/PixelCompositing.h"

#if defined(__SSE2__)
#include <immintrin.h>
#endif

namespace QZ::Platform::Graphics {

namespace {

// a * b / 255 for each of the two bytes at 0x00ff00ff, rounded as Cairo's pixel library rounds.
uint32_t MultiplyPair(uint32_t pair, uint32_t b) {
  uint32_t t = pair * b + 0x00800080u;
  t += (t >> 8) & 0x00ff00ffu;
  return (t >> 8) & 0x00ff00ffu;
}

// The two bytes at 0x00ff00ff added, each held at 255.
uint32_t AddPairSaturated(uint32_t a, uint32_t b) {
  uint32_t t = a + b;
  t |= 0x01000100u - ((t >> 8) & 0x00010001u);
  return t & 0x00ff00ffu;
}

void OverRowByPixel(const uint32_t* in, uint32_t* out, size_t width) {
  for (size_t x = 0; x < width; ++x) {
    out[x] = OverPixel(in[x], out[x]);
  }
}

// Row by row; inlined into a function per step, so that the widest (built for processors
// that have it) runs every row without a call between.
template <void (*Row)(const uint32_t*, uint32_t*, size_t)>
[[gnu::always_inline]] inline void EachRow(const uint8_t* source, size_t sourceStride, uint8_t* destination,
                                           size_t destinationStride, size_t width, size_t height) {
  for (; height > 0; --height, source += sourceStride, destination += destinationStride) {
    Row(reinterpret_cast<const uint32_t*>(source), reinterpret_cast<uint32_t*>(destination), width);
  }
}

#if defined(__SSE2__)
// Four pixels, with OverPixel's arithmetic in 16-bit lanes: false, with result untouched,
// when all four sources are transparent black and the destination stays as it is.
bool OverFour(const uint32_t* source, const uint32_t* destination, __m128i& result) {
  const __m128i zero = _mm_setzero_si128();
  const __m128i alphas = _mm_set1_epi32(int32_t(0xff000000u));
  const __m128i in = _mm_loadu_si128(reinterpret_cast<const __m128i*>(source));
  if (_mm_movemask_epi8(_mm_cmpeq_epi32(_mm_and_si128(in, alphas), alphas)) == 0xffff) {
    result = in;
    return true;
  }
  if (_mm_movemask_epi8(_mm_cmpeq_epi32(in, zero)) == 0xffff) {
    return false;
  }
  const __m128i out = _mm_loadu_si128(reinterpret_cast<const __m128i*>(destination));
  const auto multiplyByInverse = [&](__m128i sourceHalf, __m128i destinationHalf) {
    __m128i alpha = _mm_shufflelo_epi16(sourceHalf, _MM_SHUFFLE(3, 3, 3, 3));
    alpha = _mm_shufflehi_epi16(alpha, _MM_SHUFFLE(3, 3, 3, 3));
    const __m128i inverse = _mm_xor_si128(alpha, _mm_set1_epi16(0x00ff));
    const __m128i product = _mm_add_epi16(_mm_mullo_epi16(destinationHalf, inverse), _mm_set1_epi16(0x0080));
    return _mm_mulhi_epu16(product, _mm_set1_epi16(0x0101)); // (p + (p >> 8)) >> 8
  };
  const __m128i low = multiplyByInverse(_mm_unpacklo_epi8(in, zero), _mm_unpacklo_epi8(out, zero));
  const __m128i high = multiplyByInverse(_mm_unpackhi_epi8(in, zero), _mm_unpackhi_epi8(out, zero));
  result = _mm_adds_epu8(_mm_packus_epi16(low, high), in);
  return true;
}

// A row, four pixels at a time. Its last four are composited first, from the destination
// as it is, and stored last: where they overlap the four before them, each pixel gets the
// same value twice instead of being composited twice, and no pixel is left over.
void OverRowByFour(const uint32_t* in, uint32_t* out, size_t width) {
  if (width < 4) {
    OverRowByPixel(in, out, width);
    return;
  }
  const size_t last = width - 4;
  __m128i lastPixels;
  const bool lastChanges = OverFour(in + last, out + last, lastPixels);
  for (size_t x = 0; x < last; x += 4) {
    __m128i pixels;
    if (OverFour(in + x, out + x, pixels)) {
      _mm_storeu_si128(reinterpret_cast<__m128i*>(out + x), pixels);
    }
  }
  if (lastChanges) {
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out + last), lastPixels);
  }
}

// Each destination channel times 255 - its pixel's source alpha, over 255, in 16-bit lanes.
[[gnu::target("avx2")]] __m256i MultiplyByInverse(__m256i source, __m256i destination) {
  __m256i alpha = _mm256_shufflelo_epi16(source, _MM_SHUFFLE(3, 3, 3, 3));
  alpha = _mm256_shufflehi_epi16(alpha, _MM_SHUFFLE(3, 3, 3, 3));
  const __m256i inverse = _mm256_xor_si256(alpha, _mm256_set1_epi16(0x00ff));
  const __m256i product = _mm256_add_epi16(_mm256_mullo_epi16(destination, inverse), _mm256_set1_epi16(0x0080));
  return _mm256_mulhi_epu16(product, _mm256_set1_epi16(0x0101));
}

// OverFour on eight pixels: the 256-bit unpacks and packs work within each 128-bit half,
// so each half is OverFour's.
[[gnu::target("avx2")]] bool OverEight(const uint32_t* source, const uint32_t* destination, __m256i& result) {
  const __m256i zero = _mm256_setzero_si256();
  const __m256i alphas = _mm256_set1_epi32(int32_t(0xff000000u));
  const __m256i in = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(source));
  if (_mm256_movemask_epi8(_mm256_cmpeq_epi32(_mm256_and_si256(in, alphas), alphas)) == -1) {
    result = in;
    return true;
  }
  if (_mm256_movemask_epi8(_mm256_cmpeq_epi32(in, zero)) == -1) {
    return false;
  }
  const __m256i out = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(destination));
  const __m256i low = MultiplyByInverse(_mm256_unpacklo_epi8(in, zero), _mm256_unpacklo_epi8(out, zero));
  const __m256i high = MultiplyByInverse(_mm256_unpackhi_epi8(in, zero), _mm256_unpackhi_epi8(out, zero));
  result = _mm256_adds_epu8(_mm256_packus_epi16(low, high), in);
  return true;
}

// OverRowByFour, eight pixels at a time.
[[gnu::target("avx2")]] void OverRowByEight(const uint32_t* in, uint32_t* out, size_t width) {
  if (width < 8) {
    OverRowByFour(in, out, width);
    return;
  }
  const size_t last = width - 8;
  __m256i lastPixels;
  const bool lastChanges = OverEight(in + last, out + last, lastPixels);
  for (size_t x = 0; x < last; x += 8) {
    __m256i pixels;
    if (OverEight(in + x, out + x, pixels)) {
      _mm256_storeu_si256(reinterpret_cast<__m256i*>(out + x), pixels);
    }
  }
  if (lastChanges) {
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(out + last), lastPixels);
  }
}

[[gnu::target("avx2")]] void OverRowsByEight(const uint8_t* source, size_t sourceStride, uint8_t* destination,
                                             size_t destinationStride, size_t width, size_t height) {
  EachRow<OverRowByEight>(source, sourceStride, destination, destinationStride, width, height);
}
#endif

} // namespace

uint32_t OverPixel(uint32_t source, uint32_t destination) {
  const uint32_t alpha = source >> 24;
  if (alpha == 0xff) {
    return source;
  }
  if (source == 0) {
    return destination;
  }
  const uint32_t inverse = 0xff - alpha;
  const uint32_t rb = AddPairSaturated(source & 0x00ff00ffu, MultiplyPair(destination & 0x00ff00ffu, inverse));
  const uint32_t ag =
      AddPairSaturated((source >> 8) & 0x00ff00ffu, MultiplyPair((destination >> 8) & 0x00ff00ffu, inverse));
  return rb | (ag << 8);
}

Lanes WidestLanes() {
#if defined(__SSE2__)
  static const Lanes widest = __builtin_cpu_supports("avx2") ? Lanes::kEight : Lanes::kFour;
  return widest;
#else
  return Lanes::kOne;
#endif
}

void OverRows(const uint8_t* source, size_t sourceStride, uint8_t* destination, size_t destinationStride, size_t width,
              size_t height, Lanes lanes) {
  switch (lanes) {
#if defined(__SSE2__)
  case Lanes::kEight:
    OverRowsByEight(source, sourceStride, destination, destinationStride, width, height);
    return;
  case Lanes::kFour:
    EachRow<OverRowByFour>(source, sourceStride, destination, destinationStride, width, height);
    return;
#endif
  default:
    EachRow<OverRowByPixel>(source, sourceStride, destination, destinationStride, width, height);
  }
}

} // namespace QZ::Platform::Graphics
