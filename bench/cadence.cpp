// Passes of the frame loop per second: the game started as usual in a real
// window, then its loop run for a few seconds of its own clock with no input, a
// repaint every 51 ms as in play. Built for Linux and Windows alike; not a test.
#include "partie.h"

#include <climits>
#include <cstdio>
#include <cstdlib>

#ifdef main
#undef main   // SDL's entry shim would bring a second SDL_main
#endif

int main()
{
    DefautsSDL();   // as the game's own entry does
    atexit(SDL_Quit);
    static Partie p;
    if (Demarrer(p) != 0)
        return 1;
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
