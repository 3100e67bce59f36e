// Passes of the frame loop per second: the game started as usual in a real
// window, then its loop run for a few seconds of its own clock with no input, a
// repaint every 51 ms as in play. Built for Linux and Windows alike; not a test.
// "cadence souris": the game played as usual until it ends, counting the pointer
// motions its passes take and the passes themselves, up to the pass that ends the
// game (scripts/mesurer.sh souris).
// "cadence son": the game played with points to spare, so that every miss is heard and
// none ends it; "cadence son-nu": SDL_mixer's floor, a bare loop that plays the same
// sound, opened as the game opens it, at each press (scripts/mesurer.sh son-bureau).
#include "partie.h"

#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#ifdef main
#undef main   // SDL's entry shim would bring a second SDL_main
#endif

// Counted from the first motion taken, or from the start while the mouse stays still.
// The pass that takes the press losing the game also shows the game-over screen and
// waits there for a key, so it is the last one.
static void Souris(Partie& p)
{
    long mouvements = 0, passes = 0;
    int debut = int(SDL_GetTicks()), maintenant = debut;
    while (p.ctn) {
        maintenant = int(SDL_GetTicks());
        p.event.type = SDL_NOEVENT;
        Passe(p, maintenant);
        ++passes;
        if (p.event.type == SDL_MOUSEMOTION && ++mouvements == 1) {
            debut = maintenant;
            passes = 0;
        }
    }
    double s = (maintenant - debut) / 1000.0;
    printf("%ld motions taken in %.0f ms: %.0f a second, %.0f passes a second\n", mouvements, s * 1000,
           s > 0 ? mouvements / s : 0, s > 0 ? passes / s : 0);
}

static int SonNu()
{
    // As src/son.cpp opens it.
    if (SDL_Init(SDL_INIT_VIDEO | SDL_INIT_AUDIO) < 0 || Mix_OpenAudio(44100, AUDIO_S16SYS, 2, 512) < 0)
        return 1;
    SDL_Surface* ecran = SDL_SetVideoMode(LARGEUR, HAUTEUR, PROFONDEUR, SDL_HWSURFACE | SDL_DOUBLEBUF);
    Mix_Chunk* son = Mix_LoadWAV(SON_TIR);
    if (!ecran || !son)
        return 1;
    SDL_WM_SetCaption("nu", nullptr);
    for (SDL_Event e{}; e.type != SDL_QUIT;) {
        SDL_Flip(ecran);
        if (SDL_PollEvent(&e) && e.type == SDL_MOUSEBUTTONDOWN)
            Mix_PlayChannel(-1, son, 0);
    }
    return 0;
}

int main(int argc, char** argv)
{
    DefautsSDL();   // as the game's own entry does
    atexit(SDL_Quit);
    if (argc > 1 && strcmp(argv[1], "son-nu") == 0)
        return SonNu();
    static Partie p;
    if (Demarrer(p) != 0)
        return 1;
    if (argc > 1 && strcmp(argv[1], "souris") == 0) {
        Souris(p);
        return 0;
    }
    if (argc > 1 && strcmp(argv[1], "son") == 0) {
        p.points = 1000000;
        p.difficultee = INT_MAX;
        Boucle(p);
        return 0;
    }
    p.difficultee = INT_MAX;   // the target stays: the game is never over
    const int DUREE = 5000;
    int debut = int(SDL_GetTicks()), maintenant = debut;
    long passes = 0;
    for (; maintenant - debut < DUREE; ++passes) {
        maintenant = int(SDL_GetTicks());
        Passe(p, maintenant);
    }
    printf("%ld passes in %d ms: %.0f passes/s\n", passes, maintenant - debut, passes * 1000.0 / (maintenant - debut));
    return 0;
}
