#pragma once
// QZ::Platform::Resources: the program's compiled-in resources, found by type and name,
// standing in for a module's resource section. The build step of
// cmake/QZEmbedResources.cmake compiles the files under Resources/ into the program's
// table: PNG images of type "GDIPLUS" and XML documents of type "QZXML".
//
//   const auto skins = QZ::Platform::Resources::Module::Program().Find(u"APP_SKINS", "QZXML");
//   if (skins && !skins->empty()) Parse(skins->data(), skins->size());
//
// A table is constant data that lives as long as the program: any thread may search it.

#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

namespace QZ::Platform::Resources {

inline constexpr std::string_view kImageType = "GDIPLUS";
inline constexpr std::string_view kDocumentType = "QZXML";

struct Resource {
  std::string_view type;
  // Upper case ASCII: the file name with '.' and ' ' made '_', or one of the
  // application's fixed document names (APP_SKINS, APP_STRINGS, FRAMEWORK_STRINGS).
  std::string_view name;
  // May be empty (a file of 0 bytes).
  std::span<const uint8_t> bytes;
};

// The program's own table, ordered by type, then name (generated at build time).
std::span<const Resource> ProgramResources();

// Lets the memory pages wholly inside the bytes of the program's own resources of this
// type leave the process's resident set, as for documents read once at start. The bytes
// stay as they are: the system reads them back from the program's file when they are
// next used. Any thread.
void ReleaseProgramPages(std::string_view type);

// A set of resources searched together: the program's, or a table a test compiled in.
class Module {
public:
  explicit Module(std::span<const Resource> resources) : mResources(resources) {}
  // The program's own resources.
  static Module Program() { return Module(ProgramResources()); }

  // The bytes of the resource of this type whose name is exactly name (case matters),
  // or nothing when there is none. The bytes live as long as the table.
  std::optional<std::span<const uint8_t>> Find(std::u16string_view name, std::string_view type) const;

  std::span<const Resource> GetResources() const { return mResources; }

private:
  std::span<const Resource> mResources;
};

} // namespace QZ::Platform::Resources
