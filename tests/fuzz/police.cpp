// A font as the game uses one: opened at the game's size, then each of its lines
// drawn. Built twice. The Linux path (LINUX): SDL_ttf. The Windows and web path:
// plateforme/texte/ over FreeType.
#ifdef LINUX
#include <SDL_ttf.h>
#else
#include "../../plateforme/texte/texte.h"
#endif

#include <cstdio>
#include <cstdlib>
#include <initializer_list>
#include <string>
#include <unistd.h>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* octets, size_t taille)
{
    static const std::string chemin = "/tmp/gavremo_fuzz_ttf_" + std::to_string(getpid());
    static const int init = TTF_Init();
    FILE* f = fopen(chemin.c_str(), "wb");
    if (!f || init < 0)
        return 0;
    fwrite(octets, 1, taille, f);
    fclose(f);
    TTF_Font* police = TTF_OpenFont(chemin.c_str(), 36);
    if (!police)
        return 0;
    for (const char* ligne : {"Dunvexa !", "Points Max : -2147483648", "-1 points", "1234 points"}) {
#ifdef LINUX
        SDL_Color rouge = {255, 0, 0, 0};
        SDL_FreeSurface(TTF_RenderText_Solid(police, ligne, rouge));
#else
        int largeur, hauteur;
        free(TracerTexte(police, ligne, &largeur, &hauteur));
#endif
    }
    TTF_CloseFont(police);
    return 0;
}
