// SDL_image 1.2's own GIF reader hangs on some damaged GIFs and reads out of its
// buffers on others. The game's IMG_Load is served here, ahead of SDL_image's: a GIF
// is read first by giflib (../gif/), and SDL_image draws only what giflib accepts.
// Every other picture goes to SDL_image as it is.
#include "../gif/gif.h"

#include <SDL_image.h>

#include <cstdio>
#include <cstring>
#include <vector>

static bool LireTout(const char* fichier, std::vector<unsigned char>& octets)
{
    FILE* f = fopen(fichier, "rb");
    if (!f)
        return false;
    unsigned char bloc[4096];
    size_t n;
    while ((n = fread(bloc, 1, sizeof bloc, f)) > 0)
        octets.insert(octets.end(), bloc, bloc + n);
    bool lu = !ferror(f);
    fclose(f);
    return lu;
}

extern "C" SDL_Surface* IMG_Load(const char* fichier)
{
    std::vector<unsigned char> octets;
    if (!LireTout(fichier, octets) || octets.empty())
        return IMG_Load_RW(SDL_RWFromFile(fichier, "rb"), 1);   // SDL says why
    if (octets.size() >= 6 && memcmp(octets.data(), "GIF8", 4) == 0) {
        if (const char* raison = GifRefuse(octets.data(), octets.size())) {
            IMG_SetError("%s", raison);
            return nullptr;
        }
    }
    return IMG_Load_RW(SDL_RWFromConstMem(octets.data(), int(octets.size())), 1);
}
