// SDL_ttf's Solid text in the browser, drawn with the game's own font rather than a
// browser font. Emscripten's SDL 1.2 keeps every surface 32-bit and ignores colour
// keys, and takes pixels only between SDL_LockSurface and SDL_UnlockSurface: the
// background is transparent through alpha.
#include "../texte/texte.h"

#include <cstdlib>

extern "C" SDL_Surface* TTF_RenderText_Solid(TTF_Font* police, const char* texte, SDL_Color couleur)
{
    int largeur;
    Uint8* encre = TracerTexte(police, texte, &largeur);
    if (!encre)
        return nullptr;
    int hauteur = TTF_FontHeight(police);
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
