// A picture as the game reads one, through the game's probe: nothing may crash, hang or
// read out of bounds. Built twice. The Linux path: the game's IMG_Load, which
// checks the file and hands it to SDL_image. The Windows and web path: plateforme/image/'s
// decoders, with the Windows surface.
#include "../../plateforme/lisible.h"

#include <cstdio>
#include <string>
#include <unistd.h>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* octets, size_t taille)
{
    // The game names a file: each input becomes one.
    static const std::string chemin = "/tmp/gavremo_fuzz_" + std::to_string(getpid());
    FILE* f = fopen(chemin.c_str(), "wb");
    if (!f)
        return 0;
    fwrite(octets, 1, taille, f);
    fclose(f);
    Lisible(chemin.c_str(), IMAGE);
    return 0;
}
