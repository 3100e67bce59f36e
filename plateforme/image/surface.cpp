// A decoded picture as a 32-bit surface: how Windows serves every picture, and Linux a
// GIF, which SDL_image's own reader cannot be trusted with.
#include "image.h"

// A GIF keeps its transparent pixels as a colour key, on a colour no other pixel has.
static Uint32 CleLibre(const SDL_PixelFormat* format, const Image& image)
{
    for (Uint32 cle = SDL_MapRGB(format, 255, 0, 255);; --cle) {   // at most 256 colours: this ends soon
        bool prise = false;
        for (size_t k = 0; k < image.rgba.size() && !prise; k += 4) {
            const Uint8* p = &image.rgba[k];
            prise = p[3] != 0 && SDL_MapRGB(format, p[0], p[1], p[2]) == cle;
        }
        if (!prise)
            return cle;
    }
}

SDL_Surface* Surface(const Image& image)
{
    SDL_Surface* s = SDL_CreateRGBSurface(SDL_SWSURFACE, image.largeur, image.hauteur, 32, 0xFF0000, 0x00FF00,
                                          0x0000FF, 0);
    if (!s)
        return nullptr;
    Uint32 cle = image.transparent ? CleLibre(s->format, image) : 0;
    for (int y = 0; y < image.hauteur; ++y) {
        Uint32* ligne = reinterpret_cast<Uint32*>(static_cast<Uint8*>(s->pixels) + y * s->pitch);
        for (int x = 0; x < image.largeur; ++x) {
            const Uint8* p = &image.rgba[(size_t(y) * image.largeur + x) * 4];
            ligne[x] = p[3] == 0 ? cle : SDL_MapRGB(s->format, p[0], p[1], p[2]);
        }
    }
    if (image.transparent)
        SDL_SetColorKey(s, SDL_SRCCOLORKEY, cle);
    return s;
}
