/* The bare Emscripten SDL 1.2 page the game's page is measured beside: a 600 x 600
   screen filled once a frame by a main loop, built with the page's compiler and -O2. */
#include <SDL/SDL.h>
#include <emscripten.h>

static SDL_Surface *ecran;
static int n;

static void passe(void)
{
    SDL_Event e;
    while (SDL_PollEvent(&e))
        ;
    SDL_FillRect(ecran, NULL, SDL_MapRGB(ecran->format, n % 256, 64, 128));
    SDL_Flip(ecran);
    n++;
}

int main(void)
{
    SDL_Init(SDL_INIT_VIDEO);
    ecran = SDL_SetVideoMode(600, 600, 32, SDL_SWSURFACE);
    emscripten_set_main_loop(passe, 0, 0);
    return 0;
}
