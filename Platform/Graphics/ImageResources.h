#pragma once
// The program's own PNG images, compiled in at build time from the files in
// Resources/Images as resources of type "GDIPLUS" (Platform/Resources/Resources.h). A
// file's resource name is its file name upper-cased, with every '.' and ' ' replaced by
// '_': "combobox_normal.png" is "COMBOBOX_NORMAL_PNG", "a b.png" is "A_B_PNG".

#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

namespace QZ::Platform::Graphics {

// The bytes of the image resource with exactly this name (case matters: names are upper
// case), or nothing when there is none. The bytes live as long as the program.
std::optional<std::span<const uint8_t>> FindImageResource(std::u16string_view name);

} // namespace QZ::Platform::Graphics
