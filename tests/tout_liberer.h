#pragma once
#include "partie.h"

#include <initializer_list>

// Releases what the game itself keeps to the end of its process, and closes the
// libraries, so that a test or benchmark can start a fresh game after it and
// leak checkers see only the game's own losses.
inline void ToutLiberer(Partie& p)
{
    for (SDL_Surface* s : {p.bmp, p.texte, p.target, p.temps, p.point, p.curseur, p.icone})
        SDL_FreeSurface(s);
    TTF_CloseFont(p.police);
    if (p.tir)
        Mix_FreeChunk(p.tir->echantillon);
    delete p.tir;
    delete p.system;
    Mix_CloseAudio();
    TTF_Quit();
    SDL_Quit();
}
