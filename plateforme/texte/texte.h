#pragma once
// SDL_ttf's Solid text over stb_truetype, for the platforms that lack SDL_ttf (Windows, the web).
// texte.cpp serves TTF_Init, TTF_OpenFont and TTF_FontHeight as declared in the platform's
// SDL_ttf.h; each platform makes its own surface from TracerTexte's ink.
#include <SDL.h>
#include <SDL_ttf.h>

// The text's ink, one byte a pixel (1 ink, 0 background), TTF_FontHeight rows of
// *largeur bytes; nullptr with the error set for a text of no width. Freed with free().
Uint8* TracerTexte(TTF_Font* police, const char* texte, int* largeur);
