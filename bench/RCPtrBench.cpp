// Copy, assignment and release of RCPtr against std::shared_ptr doing the same work.
// Both sides count atomically (the process has started a thread, so libstdc++ does too),
// any thread may take and drop references, and the last release destroys the object;
// RCPtr also keeps the internal-reference rule and copy-on-write of unshareable objects.

#include <memory>
#include <thread>
#include <vector>

#include "QZFramework/ObjectBase/RCPtr.h"
#include "Support/RatioReporter.h"

namespace {

class Shared : public virtual QZ::LRefCountedObject {
public:
  int value = 0;
};

struct Plain {
  int value = 0;
};

constexpr int kHolders = 64;

template <class Pointer>
void CopyAssignRelease(benchmark::State& state, Pointer first, Pointer second) {
  std::vector<Pointer> holders(kHolders);
  for (auto _ : state) {
    for (int i = 0; i < kHolders; ++i) {
      holders[i] = (i & 1) ? first : second; // copy-assign: one new reference, one release
    }
    Pointer copy = holders[kHolders / 2]; // copy-construct
    benchmark::DoNotOptimize(copy);
    for (auto& holder : holders) {
      holder = nullptr; // release
    }
  }
  state.SetItemsProcessed(state.iterations() * (2 * kHolders + 1));
}

void BM_RCPtrCopyAssignRelease(benchmark::State& state) {
  CopyAssignRelease(state, QZ::RCPtr<Shared>(new Shared), QZ::RCPtr<Shared>(new Shared));
}
BENCHMARK(BM_RCPtrCopyAssignRelease);

void BM_SharedPtrCopyAssignRelease(benchmark::State& state) {
  CopyAssignRelease(state, std::make_shared<Plain>(), std::make_shared<Plain>());
}
BENCHMARK(BM_SharedPtrCopyAssignRelease);

} // namespace

int main(int argc, char** argv) {
  // libstdc++ skips atomic counts while a process has never started a thread; our counts
  // are always atomic, so the reference must run multi-threaded too.
  std::thread([] {}).join();
  return QZBench::RunWithRatios(argc, argv, {{"BM_RCPtrCopyAssignRelease", "BM_SharedPtrCopyAssignRelease"}});
}
