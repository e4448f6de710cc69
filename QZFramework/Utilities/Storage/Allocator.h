#pragma once
// The allocator interface through which every buffer allocates, and the process-wide
// allocator over the C heap. Buffers take the allocator as a template argument in the
// form of a function returning it, so tests can substitute one that fails or counts.

#include <cstdint>

namespace QZ {

class IAllocator {
public:
  virtual ~IAllocator() = default;
  virtual void* Malloc(uint32_t size) = 0;
  virtual void* Calloc(uint32_t count, uint32_t size) = 0;
  // Resizing to 0 bytes releases the block and returns null.
  virtual void* Realloc(void* block, uint32_t size) = 0;
  virtual void Free(void* block) = 0;
};

// Forwards to malloc, calloc, realloc and free; null results pass through.
class SystemAllocator final : public IAllocator {
public:
  void* Malloc(uint32_t size) override;
  void* Calloc(uint32_t count, uint32_t size) override;
  void* Realloc(void* block, uint32_t size) override;
  void Free(void* block) override;
};

// The one process-wide system allocator; never null, safe from any thread.
IAllocator* GetSystemAllocator();

using AllocatorSource = IAllocator* (*)();

} // namespace QZ
