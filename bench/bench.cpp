// Each step of the game beside a bare loop making the same SDL calls, in the
// same run, with the ratio game / bare printed at the end. Not a test.
#include "partie.h"
#include "tout_liberer.h"

#include <SDL_image.h>
#include <benchmark/benchmark.h>

#include <climits>
#include <cstdio>
#include <cstring>
#include <map>
#include <string>
#include <tuple>
#include <sys/resource.h>

namespace {

// Both sides render this score, so their text lines are as long.
const int SCORE = 1000000;

// A started game that never relocates nor ends while it is measured.
struct Jeu {
    Partie p{};
    Jeu()
    {
        Demarrer(p);
        p.difficultee = INT_MAX;
        p.points = SCORE;
        Passe(p, 51);
    }
    ~Jeu() { ToutLiberer(p); }
};

// The same files and window, with nothing of the game around them.
struct Nu {
    SDL_Surface *ecran, *sol = nullptr, *banniere = nullptr, *cible = nullptr, *curseur = nullptr, *icone;
    TTF_Font* police = nullptr;
    Mix_Chunk* son = nullptr;
    SDL_Rect posSol, posCible{128, 128, 0, 0}, posCurseur{300, 300, 0, 0}, zero{0, 0, 0, 0};
    SDL_Surface *ligne1 = nullptr, *ligne2 = nullptr;
    Nu()
    {
        SDL_Init(SDL_INIT_VIDEO);
        icone = IMG_Load(IMG_ICONE);
        SDL_WM_SetIcon(icone, nullptr);
        ecran = SDL_SetVideoMode(LARGEUR, HAUTEUR, PROFONDEUR, SDL_HWSURFACE | SDL_DOUBLEBUF);
        if (!ecran)
            return;   // a renderer this session lacks
        TTF_Init();
        sol = IMG_Load(IMG_TERRAIN);
        cible = IMG_Load(IMG_CIBLE);
        police = TTF_OpenFont(FICHIER_POLICE, TAILLE_POLICE);
        banniere = TTF_RenderText_Solid(police, "Dunvexa !", ROUGE);
        posSol = SDL_Rect{0, Sint16(HAUTEUR - banniere->h), 0, 0};
        if (SDL_InitSubSystem(SDL_INIT_AUDIO) == 0 && Mix_OpenAudio(44100, AUDIO_S16SYS, 2, 512) == 0) {
            Mix_AllocateChannels(1);
            son = Mix_LoadWAV(SON_TIR);
        }
        SDL_EnableKeyRepeat(100, 100);
        SDL_ShowCursor(SDL_DISABLE);
        SDL_WM_SetCaption("Gavremo /by Merulek", nullptr);
        curseur = IMG_Load(IMG_CURSEUR);
    }
    void Repeindre(SDL_Color fond)
    {
        char texte[25];
        SDL_FillRect(ecran, nullptr, SDL_MapRGB(ecran->format, fond.r, fond.g, fond.b));
        SDL_BlitSurface(sol, nullptr, ecran, &posSol);
        SDL_BlitSurface(banniere, nullptr, ecran, &posSol);
        sprintf(texte, "Points Max : %d", SCORE);
        SDL_FreeSurface(ligne1);
        ligne1 = TTF_RenderText_Solid(police, texte, ROUGE);
        SDL_BlitSurface(ligne1, nullptr, ecran, &zero);
        sprintf(texte, "%d points", SCORE);
        SDL_FreeSurface(ligne2);
        ligne2 = TTF_RenderText_Solid(police, texte, ROUGE);
        SDL_Rect pos{0, Sint16(ligne2->h), 0, 0};
        SDL_BlitSurface(ligne2, nullptr, ecran, &pos);
        SDL_BlitSurface(cible, nullptr, ecran, &posCible);
    }
    void Passe(bool repeint)
    {
        SDL_Event e;
        SDL_GetTicks();
        SDL_BlitSurface(curseur, nullptr, ecran, &posCurseur);
        if (repeint)
            Repeindre(NOIR);
        SDL_Flip(ecran);
        SDL_PollEvent(&e);
    }
    ~Nu()
    {
        for (SDL_Surface* s : {sol, banniere, cible, curseur, icone, ligne1, ligne2})
            SDL_FreeSurface(s);
        if (police)
            TTF_CloseFont(police);
        Mix_FreeChunk(son);
        Mix_CloseAudio();
        TTF_Quit();
        SDL_Quit();
    }
};

void PasseJeu(benchmark::State& s)
{
    Jeu j;
    for (auto _ : s)
        Passe(j.p, 51);   // the clock stands: no repaint
}
void PasseNue(benchmark::State& s)
{
    Nu n;
    for (auto _ : s)
        n.Passe(false);
}
// The bare loop under the video driver, renderer and window framebuffer given (nullptr:
// SDL's own choice), whatever the game would set: the best of these is the game's floor.
const char* pilote_de_session;   // SDL_VIDEODRIVER as the game found it, or nullptr

void PasseNueSous(benchmark::State& s, const char* pilote, const char* rendu, const char* acceleration)
{
    const char* noms[3] = {"SDL_VIDEODRIVER", "SDL_RENDER_DRIVER", "SDL_FRAMEBUFFER_ACCELERATION"};
    const char* valeurs[3] = {pilote ? pilote : pilote_de_session, rendu, acceleration};
    std::string avant[3];
    bool pose[3];
    for (int i = 0; i < 3; ++i) {
        pose[i] = getenv(noms[i]) != nullptr;
        avant[i] = pose[i] ? getenv(noms[i]) : "";
        if (valeurs[i])
            setenv(noms[i], valeurs[i], 1);
        else
            unsetenv(noms[i]);
    }
    {
        Nu nu;
        if (!nu.ecran)
            s.SkipWithError(("no window there: " + std::string(SDL_GetError())).c_str());
        else
            for (auto _ : s)
                nu.Passe(false);
    }
    for (int i = 0; i < 3; ++i)
        if (pose[i])
            setenv(noms[i], avant[i].c_str(), 1);
        else
            unsetenv(noms[i]);
}
void RepeintJeu(benchmark::State& s)
{
    Jeu j;
    int t = 51;
    for (auto _ : s)
        Passe(j.p, t += 51);
}
void RepeintNu(benchmark::State& s)
{
    Nu n;
    for (auto _ : s)
        n.Passe(true);
}
void FlashJeu(benchmark::State& s)
{
    Jeu j;
    j.p.i = 1;
    j.p.event.button.x = j.p.event.button.y = 5;
    for (auto _ : s)
        Tir(j.p);
}
void FlashNu(benchmark::State& s)
{
    Nu n;
    for (auto _ : s) {
        n.Repeindre(GRIS);
        SDL_Flip(n.ecran);
    }
}
void DemarrageJeu(benchmark::State& s)
{
    for (auto _ : s) {
        Partie p{};
        Demarrer(p);
        Passe(p, 51);
        s.PauseTiming();
        ToutLiberer(p);
        s.ResumeTiming();
    }
}
void DemarrageNu(benchmark::State& s)
{
    for (auto _ : s) {
        Nu* n = new Nu;
        n->Passe(true);
        s.PauseTiming();
        delete n;
        s.ResumeTiming();
    }
}

BENCHMARK(PasseJeu);
BENCHMARK(PasseNue);
BENCHMARK(RepeintJeu);
BENCHMARK(RepeintNu);
BENCHMARK(FlashJeu);
BENCHMARK(FlashNu);
BENCHMARK(DemarrageJeu)->Unit(benchmark::kMillisecond)->MinTime(0.5);
BENCHMARK(DemarrageNu)->Unit(benchmark::kMillisecond)->MinTime(0.5);

// Prints, after the usual table, each game case over its bare twin.
// With repetitions, the medians are compared.
struct Rapport : benchmark::ConsoleReporter {
    Rapport() : ConsoleReporter(OO_Tabular) {}
    std::map<std::string, double> temps, mur;
    void ReportRuns(const std::vector<Run>& runs) override
    {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& r : runs)
            if (r.iterations > 0 && (r.run_type == Run::RT_Iteration || r.aggregate_name == "median")) {
                temps[r.run_name.function_name] = r.GetAdjustedCPUTime();
                mur[r.run_name.function_name] = r.GetAdjustedRealTime();
            }
    }
    void Finalize() override
    {
        ConsoleReporter::Finalize();
        const char* paires[][2] = {{"PasseJeu", "PasseNue"}, {"RepeintJeu", "RepeintNu"},
                                   {"FlashJeu", "FlashNu"}, {"DemarrageJeu", "DemarrageNu"}};
        for (auto& p : paires)
            if (temps.count(p[0]) && temps.count(p[1]))
                printf("%-14s game / bare = %.3f\n", p[0], temps[p[0]] / temps[p[1]]);
        // The fastest bare loop by its CPU, steadier than the clock on a shared machine;
        // the passes a second are the clock's.
        std::string meilleur;
        for (auto& [nom, t] : temps)
            if (nom.rfind("PasseNue", 0) == 0 && (meilleur.empty() || t < temps[meilleur]))
                meilleur = nom;
        if (temps.count("PasseJeu") && !meilleur.empty())
            printf("plain pass against the fastest bare loop, %s: game / bare = %.3f (CPU); passes a second: "
                   "game %.0f, bare %.0f, bare / game = %.3f (clock)\n",
                   meilleur.c_str(), temps["PasseJeu"] / temps[meilleur], 1e9 / mur["PasseJeu"], 1e9 / mur[meilleur],
                   mur[meilleur] / mur["PasseJeu"]);
    }
};

long PicMemoire()
{
    rusage r;
    getrusage(RUSAGE_SELF, &r);
    return r.ru_maxrss;
}

// Peak memory over a long game of repaints, and how many passes input takes to show.
void MemoireEtLatence()
{
    Jeu j;
    int t = 51;
    long apres1000 = 0;
    for (int n = 1; n <= 100000; ++n) {
        Passe(j.p, t += (n % 3 == 0 ? 51 : 1));
        if (n == 1000)
            apres1000 = PicMemoire();
    }
    printf("peak memory: %ld KiB after 1,000 passes, %ld KiB after 100,000\n", apres1000, PicMemoire());

    SDL_Event e{};
    e.type = SDL_MOUSEMOTION;
    e.motion.x = 400;
    e.motion.y = 400;
    SDL_PushEvent(&e);
    int passes = 0;
    Uint32* px = static_cast<Uint32*>(j.p.screen->pixels);
    for (px[400 * j.p.screen->pitch / 4 + 390] = 0; passes < 10 && !px[400 * j.p.screen->pitch / 4 + 390];)
        Passe(j.p, t), ++passes;
    printf("pointer motion shown after %d pass(es)\n", passes);
}

} // namespace

int main(int argc, char** argv)
{
    pilote_de_session = getenv("SDL_VIDEODRIVER") ? strdup(getenv("SDL_VIDEODRIVER")) : nullptr;
    DefautsSDL();   // as the game's own entry does
    // The compatibility libraries' renderers, for the bare loop's best.
    if (SDL_Linked_Version()->patch >= 50)
        for (auto [nom, pilote, rendu, acceleration] :
             {std::tuple<const char*, const char*, const char*, const char*>{"PasseNue/sdl", nullptr, nullptr, nullptr},
              {"PasseNue/software", nullptr, "software", nullptr},
              {"PasseNue/software_fb0", nullptr, "software", "0"},
              {"PasseNue/opengl", nullptr, "opengl", nullptr},
              {"PasseNue/opengles2", nullptr, "opengles2", nullptr},
              {"PasseNue/gpu", nullptr, "gpu", nullptr},
              {"PasseNue/x11_software_fb0", "x11", "software", "0"}})
            benchmark::RegisterBenchmark(nom, PasseNueSous, pilote, rendu, acceleration);
    benchmark::Initialize(&argc, argv);
    Rapport rapport;
    benchmark::RunSpecifiedBenchmarks(&rapport);
    // Not for a case picked out (scripts/mesurer.sh in a Wayland session).
    std::string filtre = benchmark::GetBenchmarkFilter();
    if (filtre.empty() || filtre == "." || filtre == "all")
        MemoireEtLatence();
    return 0;
}
