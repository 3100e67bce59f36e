// SDL_ttf's Solid surface as the game's blits expect it on Windows: 8 bits, the
// background on index 0 as colour key, the text on index 1.
#include "../texte/texte.h"

#include <cstdlib>
#include <cstring>

extern "C" SDL_Surface* TTF_RenderText_Solid(TTF_Font* police, const char* texte, SDL_Color couleur)
{
    int largeur, hauteur;
    Uint8* encre = TracerTexte(police, texte, &largeur, &hauteur);
    if (!encre)
        return nullptr;
    SDL_Surface* s = SDL_CreateRGBSurface(SDL_SWSURFACE, largeur, hauteur, 8, 0, 0, 0, 0);
    if (s) {
        SDL_Color couleurs[2] = {{Uint8(255 - couleur.r), Uint8(255 - couleur.g), Uint8(255 - couleur.b), 0}, couleur};
        SDL_SetColors(s, couleurs, 0, 2);
        SDL_SetColorKey(s, SDL_SRCCOLORKEY, 0);
        for (int y = 0; y < hauteur; ++y)
            memcpy(static_cast<Uint8*>(s->pixels) + y * s->pitch, encre + y * largeur, size_t(largeur));
    }
    free(encre);
    return s;
}
