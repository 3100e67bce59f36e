// SDL_image 1.2 trusts the files it reads: its GIF reader hangs on some damaged GIFs
// (even some that giflib reads whole) and reads out of its buffers on others, and it
// would try any of a dozen formats. The game's IMG_Load is served here, ahead of
// SDL_image's: a GIF is read by giflib alone (../image/), as on Windows and in the page;
// a JPEG or a BMP must pass the checks of ../image/ before SDL_image draws it.
#include "../image/image.h"

#include <SDL_image.h>

#include <cstring>

extern "C" SDL_Surface* IMG_Load(const char* fichier)
{
    std::vector<Uint8> octets;
    if (!LireFichier(fichier, octets) || octets.empty())
        return IMG_Load_RW(SDL_RWFromFile(fichier, "rb"), 1);   // SDL says why
    bool gif = octets.size() >= 4 && memcmp(octets.data(), "GIF8", 4) == 0;
    Image image;
    if (const char* raison = Decoder(octets, gif ? &image : nullptr)) {
        IMG_SetError("%s", raison);
        return nullptr;
    }
    if (gif)
        return Surface(image);
    return IMG_Load_RW(SDL_RWFromConstMem(octets.data(), int(octets.size())), 1);
}
