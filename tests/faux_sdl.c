/* Preloaded under the game to make one library call fail on demand:
 * GAVREMO_FAUX=mode refuses the video mode, GAVREMO_FAUX=ttf the text library;
 * GAVREMO_FAUX=vite runs the game's clock fifty times fast, and says "perdu" on
 * standard error once the game-over screen waits for a key. */
#ifndef _GNU_SOURCE
#define _GNU_SOURCE
#endif
#include <SDL.h>
#include <dlfcn.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

static int icone_posee = 0;

static int Faux(const char* quoi)
{
    const char* v = getenv("GAVREMO_FAUX");
    return v && strcmp(v, quoi) == 0;
}

void SDL_WM_SetIcon(SDL_Surface* icon, Uint8* mask)
{
    void (*vrai)(SDL_Surface*, Uint8*) = (void (*)(SDL_Surface*, Uint8*))dlsym(RTLD_NEXT, "SDL_WM_SetIcon");
    icone_posee = icon != NULL;
    vrai(icon, mask);
}

SDL_Surface* SDL_SetVideoMode(int width, int height, int bpp, Uint32 flags)
{
    SDL_Surface* (*vrai)(int, int, int, Uint32) =
        (SDL_Surface * (*)(int, int, int, Uint32)) dlsym(RTLD_NEXT, "SDL_SetVideoMode");
    if (Faux("mode")) {
        SDL_SetError("mode refused, icon %s", icone_posee ? "already set" : "not set");
        return NULL;
    }
    return vrai(width, height, bpp, flags);
}

int TTF_Init(void)
{
    int (*vrai)(void) = (int (*)(void))dlsym(RTLD_NEXT, "TTF_Init");
    if (Faux("ttf")) {
        SDL_SetError("no text today");
        return -1;
    }
    return vrai();
}

Uint32 SDL_GetTicks(void)
{
    static Uint32 (*vrai)(void) = NULL;
    static Uint32 fois = 1;
    if (!vrai) {
        vrai = (Uint32(*)(void))dlsym(RTLD_NEXT, "SDL_GetTicks");
        fois = Faux("vite") ? 50 : 1;
    }
    return vrai() * fois;
}

int SDL_WaitEvent(SDL_Event* event)
{
    static int dit = 0;
    int (*vrai)(SDL_Event*) = (int (*)(SDL_Event*))dlsym(RTLD_NEXT, "SDL_WaitEvent");
    if (Faux("vite") && !dit) {
        fputs("perdu\n", stderr);
        dit = 1;
    }
    return vrai(event);
}
