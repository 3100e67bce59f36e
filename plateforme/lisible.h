#pragma once
// Whether the game can read a font or a picture, asked only through the SDL_ttf and
// SDL_image calls the game itself makes, which every platform serves: Debian's
// libraries on Linux, the stand-ins of windows/ and web/ elsewhere. The tests, the
// fuzzers and the page's own probes all ask here. The lines are plain C, for
// tests/bureau.c.
#include <SDL.h>
#include <SDL_image.h>
#include <SDL_ttf.h>

// Every line the game draws, once each: its banner, then "Points Max : %d" and
// "%d points" (src/boucle.cpp) at the first best score, the lowest and widest score,
// -1, 0 and one of four digits. tests/bureau.txt holds them as Debian 12 draws them.
static const char* const LIGNES_DU_JEU[] = {
    "Dunvexa !",      "Points Max : 1",     "Points Max : -2147483648", "Points Max : -1",
    "Points Max : 0", "Points Max : 1234",  "-2147483648 points",       "-1 points",
    "0 points",       "1234 points",
};

#ifdef __cplusplus
#include "../src/partie.h"

enum Genre { IMAGE, POLICE };

// Whether the game takes the file: a picture loads; a font opens at the game's size
// and draws each of its lines.
inline bool Lisible(const char* fichier, Genre genre)
{
    if (genre == IMAGE) {
        SDL_Surface* image = IMG_Load(fichier);
        SDL_FreeSurface(image);
        return image != nullptr;
    }
    static const int init = TTF_Init();
    TTF_Font* police = init == 0 ? TTF_OpenFont(fichier, TAILLE_POLICE) : nullptr;
    bool lisible = police != nullptr;
    for (const char* ligne : LIGNES_DU_JEU) {
        SDL_Surface* s = lisible ? TTF_RenderText_Solid(police, ligne, ROUGE) : nullptr;
        lisible = s != nullptr;
        SDL_FreeSurface(s);
    }
    if (police)
        TTF_CloseFont(police);
    return lisible;
}
#endif
