// The game's pictures in the browser, decoded by ../image/ (libjpeg-turbo, giflib, the
// BMP reader) in WebAssembly, never by the browser's own decoders. Emscripten's SDL 1.2
// ignores colour keys: a GIF's transparent pixels are transparent through alpha.
#include "../image/image.h"
#include "../lisible.h"

#include <SDL_image.h>
#include <emscripten.h>

#include <cstring>

// At the game's start, lets the browser run first (sdl.js).
extern "C" int Etape(void);

extern "C" SDL_Surface* IMG_Load(const char* fichier)
{
    Etape();
    Image image;
    if (const char* raison = ChargerImage(fichier, &image)) {
        IMG_SetError("%s", raison);
        return nullptr;
    }
    SDL_Surface* s = SDL_CreateRGBSurface(SDL_SWSURFACE, image.largeur, image.hauteur, 32, 0x000000ff,
                                          0x0000ff00, 0x00ff0000, 0xff000000);
    if (!s)
        return nullptr;
    // The browser's SDL takes pixels only between these two calls.
    SDL_LockSurface(s);
    for (int y = 0; y < image.hauteur; ++y)
        memcpy(static_cast<Uint8*>(s->pixels) + y * s->pitch, &image.rgba[size_t(y) * image.largeur * 4],
               size_t(image.largeur) * 4);
    SDL_UnlockSurface(s);
    return s;
}

// Read by the page tests: whether the game takes a picture.
extern "C" EMSCRIPTEN_KEEPALIVE int ImageLisible(const char* fichier)
{
    return Lisible(fichier, IMAGE);
}
