#pragma once
// A mouse that never rests: a child process moves the pointer through XTEST, as a
// gaming mouse reports, 8,000 times a second unless told otherwise, over a strip at
// the window's left edge, where no target box reaches, until it is killed. Keys and
// clicks then land in the window.
#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>

#include "enfant.h"

#include <csignal>
#include <ctime>
#include <sys/wait.h>
#include <unistd.h>

const long FLOT_PAR_SECONDE = 8000;

// `envoyes`, when given, is shared with the child, which counts there what it sent.
inline pid_t Inonder(const char* affichage, Window fenetre, long par_seconde = FLOT_PAR_SECONDE,
                     long* envoyes = nullptr)
{
    pid_t pid = Engendrer();
    if (pid != 0)
        return pid;
    Display* d = XOpenDisplay(affichage);
    if (!d)
        _exit(97);
    int x0 = 0, y0 = 0;
    Window enfant;
    XTranslateCoordinates(d, fenetre, DefaultRootWindow(d), 0, 0, &x0, &y0, &enfant);
    timespec t;
    clock_gettime(CLOCK_MONOTONIC, &t);
    // Paced on the clock, so that a slow round trip does not thin the flood.
    for (long n = 0;; ++n) {
        XTestFakeMotionEvent(d, -1, x0 + 10 + int(n % 40), y0 + 280 + int(n % 37), CurrentTime);
        XFlush(d);
        if (envoyes)
            *envoyes = n + 1;
        t.tv_nsec += 1000000000 / par_seconde;
        if (t.tv_nsec >= 1000000000) {
            t.tv_nsec -= 1000000000;
            ++t.tv_sec;
        }
        clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &t, nullptr);
    }
}

inline void Arreter(pid_t flot)
{
    kill(flot, SIGKILL);
    waitpid(flot, nullptr, 0);
}
