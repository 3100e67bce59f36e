// How long a click takes to show while the mouse moves: the game, already started at
// score 0 in the window given, sees the pointer moved through XTEST RATE times a
// second for 1.5 s (RATE 0: moved once into the window, then still), then a miss is
// clicked while the motion goes on, and the game-over screen is awaited; a key then
// ends the game. Prints the milliseconds and the motions a second really sent.
#include "flot.h"
#include "sonde.h"

#include <X11/keysym.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <sys/mman.h>

int main(int argc, char** argv)
{
    Display* d = XOpenDisplay(nullptr);
    if (argc < 2 || argc > 3 || !d) {
        fprintf(stderr, "usage: DISPLAY=... latence WINDOW [RATE]\n");
        return 2;
    }
    Window fenetre = Window(strtoul(argv[1], nullptr, 0));
    long par_seconde = argc == 3 ? atol(argv[2]) : 2000;
    auto envoyes = static_cast<long*>(mmap(nullptr, sizeof(long), PROT_READ | PROT_WRITE, MAP_SHARED | MAP_ANONYMOUS, -1, 0));
    *envoyes = 0;
    pid_t flot = 0;
    auto debut = std::chrono::steady_clock::now();
    if (par_seconde > 0) {
        flot = Inonder(nullptr, fenetre, par_seconde, envoyes);
    } else {
        int x0, y0;
        Window enfant;
        XTranslateCoordinates(d, fenetre, DefaultRootWindow(d), 0, 0, &x0, &y0, &enfant);
        XTestFakeMotionEvent(d, -1, x0 + 30, y0 + 300, CurrentTime);
        XSync(d, False);
    }
    usleep(1500000);
    auto clic = std::chrono::steady_clock::now();
    long envoyes_au_clic = *envoyes;
    XTestFakeButtonEvent(d, 1, True, CurrentTime);
    XTestFakeButtonEvent(d, 1, False, CurrentTime);
    XSync(d, False);
    Vue vue;
    bool vu = false;
    while (!(vu = vue.Prendre(d, fenetre) && vue.Perdu()) && std::chrono::steady_clock::now() - clic < std::chrono::seconds(20))
        usleep(500);
    auto ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - clic).count();
    if (flot)
        Arreter(flot);
    KeyCode a = XKeysymToKeycode(d, XK_a);
    XTestFakeKeyEvent(d, a, True, CurrentTime);
    XTestFakeKeyEvent(d, a, False, CurrentTime);
    XSync(d, False);
    if (!vu) {
        printf("no game-over screen after 20 s\n");
        return 1;
    }
    printf("%.1f %.0f\n", ms, envoyes_au_clic / std::chrono::duration<double>(clic - debut).count());
    return 0;
}
