// SDL_image 1.2 trusts the files it reads: its GIF reader hangs on some damaged GIFs and
// reads out of its buffers on others, and it would try any of a dozen formats. The
// game's IMG_Load is served here, ahead of SDL_image's: a picture must be one of the
// game's three formats and pass the checks of ../image/ (a GIF read to its end by
// giflib, a JPEG's or BMP's size within bounds) before SDL_image draws it.
#include "../image/image.h"

#include <SDL_image.h>

extern "C" SDL_Surface* IMG_Load(const char* fichier)
{
    std::vector<Uint8> octets;
    if (!LireFichier(fichier, octets) || octets.empty())
        return IMG_Load_RW(SDL_RWFromFile(fichier, "rb"), 1);   // SDL says why
    if (const char* raison = Decoder(octets, nullptr)) {
        IMG_SetError("%s", raison);
        return nullptr;
    }
    return IMG_Load_RW(SDL_RWFromConstMem(octets.data(), int(octets.size())), 1);
}
