// The game's pictures as SDL_image gives them on Linux, decoded by ../image/ (libjpeg-turbo,
// giflib, the BMP reader) into 32-bit surfaces.
#include "../image/image.h"

#include "SDL_image.h"

SDL_Surface* IMG_Load(const char* fichier)
{
    Image image;
    if (const char* raison = ChargerImage(fichier, &image)) {
        IMG_SetError("%s", raison);
        return nullptr;
    }
    return Surface(image);
}
