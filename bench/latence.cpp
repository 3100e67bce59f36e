// How long a click takes to show under a flood of pointer motions: the game,
// already started at score 0 in the window given, is flooded for 2 s, then a
// miss is clicked and the game-over screen is awaited. Prints the milliseconds.
#include "flot.h"
#include "sonde.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv)
{
    Display* d = XOpenDisplay(nullptr);
    if (argc != 2 || !d) {
        fprintf(stderr, "usage: DISPLAY=... latence WINDOW\n");
        return 2;
    }
    Window fenetre = Window(strtoul(argv[1], nullptr, 0));
    pid_t flot = Inonder(nullptr, fenetre);
    sleep(2);
    auto debut = std::chrono::steady_clock::now();
    XTestFakeButtonEvent(d, 1, True, CurrentTime);
    XTestFakeButtonEvent(d, 1, False, CurrentTime);
    XSync(d, False);
    Vue vue;
    bool vu = false;
    while (!(vu = vue.Prendre(d, fenetre) && vue.Perdu()) && std::chrono::steady_clock::now() - debut < std::chrono::seconds(20))
        usleep(500);
    auto ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - debut).count();
    Arreter(flot);
    if (!vu) {
        printf("no game-over screen after 20 s\n");
        return 1;
    }
    printf("%.0f\n", ms);
    return 0;
}
