// Region work of a busy repaint: 1,000 invalidated rectangles (8 to 64 pixels, over a
// 1280 x 800 window) added, subtracted and normalised, against the same work on a plain
// std::vector of rectangles with brute-force splitting. Figures are per rectangle.

#include <algorithm>
#include <map>
#include <random>
#include <tuple>
#include <vector>

#include "QZFramework/Utilities/Graphics/RectList.h"
#include "Support/RatioReporter.h"

namespace {

using QZ::EdgeRect;
using Region = QZ::RectListT<int32_t>;
using Rects = std::vector<EdgeRect>;

constexpr int kRects = 1000;
constexpr EdgeRect kWindow{0, 0, 1280, 800};

const Rects& Invalidations() {
  static const Rects rects = [] {
    std::mt19937 engine(20240611);
    std::uniform_int_distribution<int32_t> x(0, 1279), y(0, 799), size(8, 64);
    Rects made;
    for (int i = 0; i < kRects; ++i) {
      const int32_t left = x(engine), top = y(engine);
      made.push_back({left, top, std::min(left + size(engine), 1280), std::min(top + size(engine), 800)});
    }
    return made;
  }();
  return rects;
}

// --- The reference: a vector of disjoint rectangles, split by brute force ------------

void VectorSubtract(Rects& rects, const EdgeRect& r) {
  Rects kept;
  kept.reserve(rects.size() + 4);
  for (EdgeRect e : rects) {
    if (!e.Overlaps(r)) {
      kept.push_back(e);
      continue;
    }
    if (e.top < r.top) {
      kept.push_back({e.left, e.top, e.right, r.top});
      e.top = r.top;
    }
    if (e.bottom > r.bottom) {
      kept.push_back({e.left, r.bottom, e.right, e.bottom});
      e.bottom = r.bottom;
    }
    if (e.left < r.left) {
      kept.push_back({e.left, e.top, r.left, e.bottom});
      e.left = r.left;
    }
    if (e.right > r.right) {
      kept.push_back({r.right, e.top, e.right, e.bottom});
    }
  }
  rects.swap(kept);
}

void VectorAdd(Rects& rects, const EdgeRect& r) {
  VectorSubtract(rects, r);
  rects.push_back(r);
}

// Bands cut at every edge, merged along each band, then down equal columns.
void VectorNormalize(Rects& rects) {
  std::vector<int32_t> edges;
  for (const EdgeRect& r : rects) {
    edges.push_back(r.top);
    edges.push_back(r.bottom);
  }
  std::sort(edges.begin(), edges.end());
  edges.erase(std::unique(edges.begin(), edges.end()), edges.end());
  Rects pieces;
  for (const EdgeRect& r : rects) {
    auto edge = std::upper_bound(edges.begin(), edges.end(), r.top);
    int32_t top = r.top;
    for (; edge != edges.end() && *edge < r.bottom; ++edge) {
      pieces.push_back({r.left, top, r.right, *edge});
      top = *edge;
    }
    pieces.push_back({r.left, top, r.right, r.bottom});
  }
  std::sort(pieces.begin(), pieces.end(),
            [](const EdgeRect& a, const EdgeRect& b) { return a.top != b.top ? a.top < b.top : a.left < b.left; });
  Rects merged;
  for (const EdgeRect& p : pieces) {
    if (!merged.empty() && merged.back().top == p.top && merged.back().right == p.left) {
      merged.back().right = p.right;
    } else {
      merged.push_back(p);
    }
  }
  // Columns by (bottom, left, right): a piece absorbs the one ending where it starts.
  std::map<std::tuple<int32_t, int32_t, int32_t>, size_t> columns;
  for (size_t i = 0; i < merged.size(); ++i) {
    EdgeRect& lower = merged[i];
    auto upper = columns.find({lower.top, lower.left, lower.right});
    if (upper != columns.end()) {
      lower.top = merged[upper->second].top;
      merged[upper->second] = {};
      columns.erase(upper);
    }
    columns[{lower.bottom, lower.left, lower.right}] = i;
  }
  std::erase_if(merged, [](const EdgeRect& r) { return r.IsEmpty(); });
  rects.swap(merged);
}

// --- Benchmarks ---------------------------------------------------------------------

void BM_RegionAdd(benchmark::State& state) {
  for (auto _ : state) {
    Region region;
    for (const EdgeRect& r : Invalidations()) {
      region.AddRect(r);
    }
    benchmark::DoNotOptimize(region.IsEmpty());
  }
  state.SetItemsProcessed(state.iterations() * kRects);
}
BENCHMARK(BM_RegionAdd);

void BM_VectorAdd(benchmark::State& state) {
  for (auto _ : state) {
    Rects rects;
    for (const EdgeRect& r : Invalidations()) {
      VectorAdd(rects, r);
    }
    benchmark::DoNotOptimize(rects.data());
  }
  state.SetItemsProcessed(state.iterations() * kRects);
}
BENCHMARK(BM_VectorAdd);

void BM_RegionSubtract(benchmark::State& state) {
  for (auto _ : state) {
    Region region;
    region.AddRect(kWindow);
    for (const EdgeRect& r : Invalidations()) {
      region.SubtractRect(r);
    }
    benchmark::DoNotOptimize(region.IsEmpty());
  }
  state.SetItemsProcessed(state.iterations() * kRects);
}
BENCHMARK(BM_RegionSubtract);

void BM_VectorSubtract(benchmark::State& state) {
  for (auto _ : state) {
    Rects rects{kWindow};
    for (const EdgeRect& r : Invalidations()) {
      VectorSubtract(rects, r);
    }
    benchmark::DoNotOptimize(rects.data());
  }
  state.SetItemsProcessed(state.iterations() * kRects);
}
BENCHMARK(BM_VectorSubtract);

void BM_RegionNormalize(benchmark::State& state) {
  Region added;
  for (const EdgeRect& r : Invalidations()) {
    added.AddRect(r);
  }
  for (auto _ : state) {
    state.PauseTiming();
    Region region(added);
    state.ResumeTiming();
    region.Normalize();
    benchmark::DoNotOptimize(region.IsEmpty());
    state.PauseTiming();
    region.Clear();
    state.ResumeTiming();
  }
  state.SetItemsProcessed(state.iterations() * kRects);
}
BENCHMARK(BM_RegionNormalize);

void BM_VectorNormalize(benchmark::State& state) {
  Rects added;
  for (const EdgeRect& r : Invalidations()) {
    VectorAdd(added, r);
  }
  for (auto _ : state) {
    state.PauseTiming();
    Rects rects(added);
    state.ResumeTiming();
    VectorNormalize(rects);
    benchmark::DoNotOptimize(rects.data());
    state.PauseTiming();
    rects = Rects();
    state.ResumeTiming();
  }
  state.SetItemsProcessed(state.iterations() * kRects);
}
BENCHMARK(BM_VectorNormalize);

} // namespace

int main(int argc, char** argv) {
  return QZBench::RunWithRatios(argc, argv,
                                {{"BM_RegionAdd", "BM_VectorAdd"},
                                 {"BM_RegionSubtract", "BM_VectorSubtract"},
                                 {"BM_RegionNormalize", "BM_VectorNormalize"}});
}
