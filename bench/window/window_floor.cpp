// The floor for adv's start-up: the least any SDL program does to put a 640 x 480 red picture in
// a window through SDL's software renderer, then wait for events. scripts/bench-window measures it
// with the same probe as adv; adv's first picture cannot come sooner, nor its memory be smaller.
//
//   adv-window-floor [ANY...]   (arguments are ignored, so the probe can start it like adv)
#include <SDL.h>

int main(int, char**) {
  SDL_SetHint(SDL_HINT_RENDER_DRIVER, "software");
  SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
  if (SDL_Init(SDL_INIT_VIDEO) != 0) return 1;
  SDL_Window* window =
      SDL_CreateWindow("floor", SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, 640, 480, 0);
  if (window == nullptr) return 1;
  SDL_Renderer* renderer = SDL_CreateRenderer(window, -1, SDL_RENDERER_SOFTWARE);
  if (renderer == nullptr) return 1;
  SDL_Event event;
  bool quit = false;
  bool draw = true;
  while (!quit) {
    if (draw) {
      SDL_SetRenderDrawColor(renderer, 255, 0, 0, 255);
      SDL_RenderClear(renderer);
      SDL_RenderPresent(renderer);
      draw = false;
    }
    if (SDL_WaitEvent(&event) == 0) break;
    quit = event.type == SDL_QUIT;
    draw = event.type == SDL_WINDOWEVENT && event.window.event == SDL_WINDOWEVENT_EXPOSED;
  }
  SDL_DestroyRenderer(renderer);
  SDL_DestroyWindow(window);
  SDL_Quit();
  return 0;
}
