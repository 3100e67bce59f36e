// A picture as the game reads one: nothing may crash, hang or read out of bounds.
// Built twice. The Linux path (LINUX): the game's IMG_Load, which checks the file
// and hands it to SDL_image. The Windows and web path: plateforme/image/'s decoders.
#include "../../plateforme/image/image.h"

#ifdef LINUX
#include <SDL_image.h>

#include <cstdio>
#include <string>
#include <unistd.h>
#endif

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* octets, size_t taille)
{
#ifdef LINUX
    // The game names a file: each input becomes one.
    static const std::string chemin = "/tmp/gavremo_fuzz_" + std::to_string(getpid());
    FILE* f = fopen(chemin.c_str(), "wb");
    if (!f)
        return 0;
    fwrite(octets, 1, taille, f);
    fclose(f);
    SDL_FreeSurface(IMG_Load(chemin.c_str()));
#else
    Image image;
    Decoder(std::vector<Uint8>(octets, octets + taille), &image);
#endif
    return 0;
}
