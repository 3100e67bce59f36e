// A repaint's text as Windows and the page draw it: plateforme/texte/'s TracerTexte
// for the game's two score lines, built natively over the system's FreeType (Debian
// 12's 2.12.1, the version the other two build). Counts FreeType's glyph loads too.
// Not a test.
#include "../plateforme/texte/texte.h"
#include "partie.h"

#include <benchmark/benchmark.h>
#include <dlfcn.h>
#include <ft2build.h>
#include FT_FREETYPE_H

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

long chargements = 0;

// The score of bench.cpp, so the lines are as long as there.
const char* const LIGNES[] = {"Points Max : 1000000", "1000000 points"};

void Repeint(benchmark::State& etat)
{
    TTF_Init();
    TTF_Font* police = TTF_OpenFont(FICHIER_POLICE, TAILLE_POLICE);
    if (!police) {
        etat.SkipWithError("no font: run from the source folder");
        return;
    }
    long avant = chargements, caracteres = 0;
    for (auto _ : etat)
        for (const char* ligne : LIGNES) {
            int largeur, hauteur;
            Uint8* encre = TracerTexte(police, ligne, &largeur, &hauteur);
            benchmark::DoNotOptimize(encre);
            free(encre);
            caracteres += long(strlen(ligne));
        }
    etat.counters["loads/char"] = double(chargements - avant) / double(caracteres ? caracteres : 1);
    TTF_CloseFont(police);
}
BENCHMARK(Repeint);

} // namespace

// Every glyph load of texte.cpp passes here on its way to FreeType.
extern "C" FT_Error FT_Load_Glyph(FT_Face face, FT_UInt glyphe, FT_Int32 options)
{
    using Charger = FT_Error (*)(FT_Face, FT_UInt, FT_Int32);
    static Charger suivant = reinterpret_cast<Charger>(dlsym(RTLD_NEXT, "FT_Load_Glyph"));
    ++chargements;
    return suivant(face, glyphe, options);
}

BENCHMARK_MAIN();
