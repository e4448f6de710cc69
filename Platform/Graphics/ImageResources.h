#pragma once
// The program's own PNG images, compiled in at build time from the files in
// Resources/Images (cmake/QZEmbedImages.cmake). A file's resource name is its file name
// upper-cased, with every '.' and ' ' replaced by '_': "combobox_normal.png" is
// "COMBOBOX_NORMAL_PNG", "a b.png" is "A_B_PNG".

#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

namespace QZ::Gfx {

struct ImageResource {
  std::string_view name;
  std::span<const uint8_t> bytes;
};

// Every embedded image, ordered by name (defined by the generated table).
std::span<const ImageResource> ImageResources();

// The bytes of the resource with exactly this name (case matters: names are upper case),
// or nothing when there is none. The bytes live as long as the program.
std::optional<std::span<const uint8_t>> FindImageResource(std::u16string_view name);

} // namespace QZ::Gfx
