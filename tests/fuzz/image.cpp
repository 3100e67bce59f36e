// A picture as the Linux game reads one, through its own IMG_Load: a GIF is checked
// by giflib before SDL_image draws it. Nothing may crash, hang or read out of bounds.
#include <SDL_image.h>

#include <cstdint>
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
    SDL_FreeSurface(IMG_Load(chemin.c_str()));
    return 0;
}
