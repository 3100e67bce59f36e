// A font as the game uses one: the game's probe, which opens it at the game's size and
// draws each of its lines. Built twice. The Linux path: SDL_ttf. The Windows
// and web path: plateforme/texte/ over FreeType, with the Windows surface.
#include "../../plateforme/lisible.h"

#include <cstdio>
#include <string>
#include <unistd.h>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* octets, size_t taille)
{
    static const std::string chemin = "/tmp/gavremo_fuzz_ttf_" + std::to_string(getpid());
    FILE* f = fopen(chemin.c_str(), "wb");
    if (!f)
        return 0;
    fwrite(octets, 1, taille, f);
    fclose(f);
    Lisible(chemin.c_str(), POLICE);
    return 0;
}
