#pragma once
// The files kept in tests/fuzz/corpus/, each of which once crashed or hung something,
// and what every build must do with each (corpus/attendus.txt): refuse it, or draw it.
#include "../plateforme/lisible.h"

#include <fstream>
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

// Whether the game takes the file, a font by its name.
inline bool Pris(const std::string& chemin)
{
    bool police = chemin.size() >= 4 && chemin.compare(chemin.size() - 4, 4, ".ttf") == 0;
    return Lisible(chemin.c_str(), police ? POLICE : IMAGE);
}
