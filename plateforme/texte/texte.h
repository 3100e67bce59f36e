#pragma once
// SDL_ttf's Solid text over FreeType, for the platforms that lack SDL_ttf (Windows, the web).
// texte.cpp serves TTF_Init, TTF_OpenFont, TTF_FontHeight and TTF_CloseFont as declared
// in SDL_ttf.h; each platform makes its own surface from TracerTexte's ink.
#include <SDL.h>
#include <SDL_ttf.h>

// The text's ink, one byte a pixel (1 ink, 0 background), *hauteur rows of *largeur
// bytes; nullptr with the error set when it cannot be drawn. Freed with free().
Uint8* TracerTexte(TTF_Font* police, const char* texte, int* largeur, int* hauteur);
