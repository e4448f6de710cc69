#include "QZFramework/Utilities/Storage/Allocator.h"

#include <cstdlib>

namespace QZ {

void* SystemAllocator::Malloc(uint32_t size) { return std::malloc(size); }

void* SystemAllocator::Calloc(uint32_t count, uint32_t size) { return std::calloc(count, size); }

void* SystemAllocator::Realloc(void* block, uint32_t size) {
  if (size == 0) {
    std::free(block);
    return nullptr;
  }
  return std::realloc(block, size);
}

void SystemAllocator::Free(void* block) { std::free(block); }

IAllocator* GetSystemAllocator() {
  // Never destroyed: buffers held by static objects are freed after exit-time destructors.
  static SystemAllocator* const allocator = new SystemAllocator;
  return allocator;
}

} // namespace QZ
