// SDL_ttf's Solid text in the browser, drawn with the game's own font rather than a
// browser font. Emscripten's SDL 1.2 keeps every surface 32-bit and ignores colour
// keys, and takes pixels only between SDL_LockSurface and SDL_UnlockSurface: the
// background is transparent through alpha.
#include "../lisible.h"
#include "../texte/texte.h"
#include "partie.h"

#include <emscripten.h>

#include <cstdlib>
#include <cstring>

// At the game's start, lets the browser run first (sdl.js).
extern "C" int Etape(void);

extern "C" SDL_Surface* TTF_RenderText_Solid(TTF_Font* police, const char* texte, SDL_Color couleur)
{
    Etape();
    int largeur, hauteur;
    Uint8* encre = TracerTexte(police, texte, &largeur, &hauteur);
    if (!encre)
        return nullptr;
    SDL_Surface* s = SDL_CreateRGBSurface(SDL_SWSURFACE, largeur, hauteur, 32,
                                          0x000000ff, 0x0000ff00, 0x00ff0000, 0xff000000);
    if (s) {
        Uint32 plein = Uint32(couleur.r) | Uint32(couleur.g) << 8 | Uint32(couleur.b) << 16 | 0xff000000u;
        SDL_LockSurface(s);
        for (int y = 0; y < hauteur; ++y)
            for (int x = 0; x < largeur; ++x)
                static_cast<Uint32*>(s->pixels)[y * s->pitch / 4 + x] = encre[y * largeur + x] ? plein : 0;
        SDL_UnlockSurface(s);
    }
    free(encre);
    return s;
}

// Read by the page tests: a line's ink in the game's font, as its width, its height and
// a byte a pixel, held until the next call. The tests may ask before the game's start
// has reached TTF_Init, so it is asked here too (it does nothing the second time).
extern "C" EMSCRIPTEN_KEEPALIVE int* EncreDeLigne(const char* texte)
{
    static TTF_Font* police = nullptr;
    if (!police && TTF_Init() == 0)
        police = TTF_OpenFont(FICHIER_POLICE, TAILLE_POLICE);
    static int* ligne = nullptr;
    int largeur, hauteur;
    Uint8* encre = TracerTexte(police, texte, &largeur, &hauteur);
    free(ligne);
    ligne = encre ? static_cast<int*>(malloc(2 * sizeof(int) + size_t(largeur) * hauteur)) : nullptr;
    if (ligne) {
        ligne[0] = largeur;
        ligne[1] = hauteur;
        memcpy(ligne + 2, encre, size_t(largeur) * hauteur);
    }
    free(encre);
    return ligne;
}

// Read by the page tests: whether the game takes a font.
extern "C" EMSCRIPTEN_KEEPALIVE int PoliceLisible(const char* fichier)
{
    return Lisible(fichier, POLICE);
}
