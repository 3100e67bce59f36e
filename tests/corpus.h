#pragma once
// The files kept in tests/fuzz/corpus/, each of which once crashed or hung something,
// and what every build must do with each (corpus/attendus.txt): refuse it, or draw it.
#include <SDL_image.h>
#include <SDL_ttf.h>

#include <fstream>
#include <initializer_list>
#include <string>
#include <vector>

struct Attendu {
    std::string fichier;   // from the corpus folder
    bool refuse;
};

inline std::vector<Attendu> Attendus(const std::string& corpus)
{
    std::vector<Attendu> attendus;
    std::ifstream f(corpus + "/attendus.txt");
    std::string ligne;
    while (std::getline(f, ligne))
        if (!ligne.empty() && ligne[0] != '#')
            attendus.push_back({ligne.substr(ligne.find(' ') + 1), ligne.rfind("refused ", 0) == 0});
    return attendus;
}

// Whether the game takes the file: a picture loads; a font opens at the game's size
// and draws its lines.
inline bool Pris(const std::string& chemin)
{
    if (chemin.size() < 4 || chemin.compare(chemin.size() - 4, 4, ".ttf") != 0) {
        SDL_Surface* image = IMG_Load(chemin.c_str());
        SDL_FreeSurface(image);
        return image != nullptr;
    }
    static const int init = TTF_Init();
    TTF_Font* police = init == 0 ? TTF_OpenFont(chemin.c_str(), 36) : nullptr;
    bool pris = police != nullptr;
    for (const char* ligne : {"Dunvexa !", "Points Max : -2147483648", "1234 points"}) {
        SDL_Surface* s = pris ? TTF_RenderText_Solid(police, ligne, SDL_Color{255, 0, 0, 0}) : nullptr;
        pris = s != nullptr;
        SDL_FreeSurface(s);
    }
    if (police)
        TTF_CloseFont(police);
    return pris;
}
