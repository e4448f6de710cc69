#pragma once
// The program's own pictures that the skin-art program draws beside the skin's images:
// the application icon (the icon resource 4 of the window) and the two drag cursors (the
// cursor resources 102 "UI_CURSOR_DROP_MOVE" and 103 "UI_CURSOR_DROP_COPY"). They are
// compiled into the program's image resources (type "GDIPLUS") like every skin image,
// at 1x and at 2x.
//
//   auto bytes = QZ::Platform::Graphics::FindImageResource(QZ::SkinArt::kDropMoveCursor.Resource(scale));
//   auto image = QZ::Platform::Graphics::Image::FromPngMemory(*bytes);
//   SDL_CreateColorCursor(surface, kDropMoveCursor.hotSpotX * scale, kDropMoveCursor.hotSpotY * scale);
//
// Constant data; any thread.

#include <string_view>

namespace QZ::SkinArt {

struct ProgramPicture {
  // The resource names at 1x and at 2x.
  std::u16string_view resource;
  std::u16string_view resource2x;
  // The 1x size (the 2x image is twice as large).
  int width;
  int height;
  // The pointer's tip, in 1x pixels (0, 0 for the icon).
  int hotSpotX;
  int hotSpotY;

  // scale 2 gives the 2x image, any other scale the 1x image.
  std::u16string_view Resource(int scale) const { return scale == 2 ? resource2x : resource; }
};

inline constexpr ProgramPicture kApplicationIcon{u"APP_ICON_PNG", u"APP_ICON_2X_PNG", 64, 64, 0, 0};
inline constexpr ProgramPicture kDropMoveCursor{u"CURSOR_DROP_MOVE_PNG", u"CURSOR_DROP_MOVE_2X_PNG", 32, 32, 1, 1};
inline constexpr ProgramPicture kDropCopyCursor{u"CURSOR_DROP_COPY_PNG", u"CURSOR_DROP_COPY_2X_PNG", 32, 32, 1, 1};

} // namespace QZ::SkinArt
