// The honest reference of the start-up and idle benchmarks: a bare SDL2 program that
// opens a window of the size it is given, draws one line of text with Cairo into the
// window's surface (so it pays fontconfig's and FreeType's start as the editor does),
// presents it, then wakes every 33 ms in SDL_WaitEventTimeout
// doing nothing else until SDL's quit event (SIGINT, SIGTERM).
//
//   SdlWindowReference 1200 850

#include <SDL2/SDL.h>
#include <cairo.h>

#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv) {
  const int width = argc > 2 ? std::atoi(argv[1]) : 640;
  const int height = argc > 2 ? std::atoi(argv[2]) : 480;
  SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
  if (SDL_Init(SDL_INIT_VIDEO) != 0) {
    std::fprintf(stderr, "%s\n", SDL_GetError());
    return 2;
  }
  SDL_Window* window =
      SDL_CreateWindow("reference", SDL_WINDOWPOS_UNDEFINED, SDL_WINDOWPOS_UNDEFINED, width, height, SDL_WINDOW_SHOWN);
  SDL_Surface* surface = window ? SDL_GetWindowSurface(window) : nullptr;
  if (!surface) {
    std::fprintf(stderr, "%s\n", SDL_GetError());
    return 2;
  }
  cairo_surface_t* target = cairo_image_surface_create_for_data(
      static_cast<unsigned char*>(surface->pixels), CAIRO_FORMAT_RGB24, surface->w, surface->h, surface->pitch);
  cairo_t* cairo = cairo_create(target);
  cairo_set_source_rgb(cairo, 0.17, 0.23, 0.28);
  cairo_paint(cairo);
  cairo_select_font_face(cairo, "Arial", CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_NORMAL);
  cairo_set_font_size(cairo, 12.0);
  cairo_set_source_rgb(cairo, 0.9, 0.9, 0.9);
  cairo_move_to(cairo, 20.0, 30.0);
  cairo_show_text(cairo, "Quorin ZTR Preset Editor");
  cairo_destroy(cairo);
  cairo_surface_flush(target);
  cairo_surface_destroy(target);
  SDL_UpdateWindowSurface(window);
  for (;;) {
    SDL_Event event;
    if (SDL_WaitEventTimeout(&event, 33) && event.type == SDL_QUIT) {
      break;
    }
  }
  SDL_DestroyWindow(window);
  SDL_Quit();
  return 0;
}
