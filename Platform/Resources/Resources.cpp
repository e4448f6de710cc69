#include "Platform/Resources/Resources.h"

#include <sys/mman.h>
#include <unistd.h>

#include <algorithm>

namespace QZ::Platform::Resources {

std::optional<std::span<const uint8_t>> Module::Find(std::u16string_view name, std::string_view type) const {
  const auto sameName = [name](std::string_view stored) {
    return std::equal(stored.begin(), stored.end(), name.begin(), name.end(),
                      [](char unit, char16_t asked) { return char16_t(static_cast<unsigned char>(unit)) == asked; });
  };
  for (const Resource& resource : mResources) {
    if (resource.type == type && sameName(resource.name)) {
      return resource.bytes;
    }
  }
  return std::nullopt;
}

void ReleaseProgramPages(std::string_view type) {
  static const uintptr_t pageSize = uintptr_t(::sysconf(_SC_PAGESIZE));
  for (const Resource& resource : ProgramResources()) {
    if (resource.type != type) {
      continue;
    }
    // The table is constant data mapped from the program's file, so dropped pages are
    // read back from it, unchanged; only pages no other data shares are dropped.
    const uintptr_t begin = (uintptr_t(resource.bytes.data()) + pageSize - 1) & ~(pageSize - 1);
    const uintptr_t end = (uintptr_t(resource.bytes.data()) + resource.bytes.size()) & ~(pageSize - 1);
    if (end > begin) {
      (void)::madvise(reinterpret_cast<void*>(begin), end - begin, MADV_DONTNEED); // advice only
    }
  }
}

} // namespace QZ::Platform::Resources
