#pragma once
// The game's window on a virtual X display, as the tests and benchmarks see it: a
// display of their own, and the probes that read the screen as a player would.
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include "enfant.h"

#include <cstdio>
#include <cstdlib>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

// Starts Xvfb on a display it picks itself and returns its pid, or 0; `affichage`
// gets ":N". Xvfb writes the number down the pipe once it takes clients: lock files
// in /tmp would miss displays started from a chroot.
inline pid_t DemarrerXvfb(std::string& affichage)
{
    int tuyau[2];
    if (pipe(tuyau) != 0)
        return 0;
    pid_t xvfb = Engendrer();
    if (xvfb == 0) {
        close(tuyau[0]);
        if (!freopen("/dev/null", "w", stderr))
            _exit(97);
        execlp("Xvfb", "Xvfb", "-displayfd", std::to_string(tuyau[1]).c_str(), "-noreset", "-nolisten", "tcp",
               "-screen", "0", "800x700x24", (char*)nullptr);
        _exit(98);
    }
    close(tuyau[1]);
    affichage.clear();
    char c;
    while (read(tuyau[0], &c, 1) == 1 && c != '\n')
        affichage += c;
    close(tuyau[0]);
    if (affichage.empty()) {
        waitpid(xvfb, nullptr, 0);
        return 0;
    }
    affichage = ":" + affichage;
    return xvfb;
}

// A window that goes while a probe reads it (one SDL opens for a moment as it starts,
// the game's own as it ends) is an answer, not a fault: Xlib's default would end the
// test there, and leave the game running.
inline int Ignorer(Display*, XErrorEvent*) { return 0; }

inline Display* OuvrirAffichage(const std::string& affichage)
{
    XSetErrorHandler(Ignorer);
    return XOpenDisplay(affichage.c_str());
}

inline void ArreterXvfb(pid_t xvfb)
{
    kill(xvfb, SIGTERM);
    waitpid(xvfb, nullptr, 0);
}

struct Rgb {
    int r, g, b;
};

// A picture of the whole window.
struct Vue {
    XImage* x = nullptr;
    Vue() = default;
    Vue(const Vue&) = delete;
    Vue& operator=(const Vue&) = delete;
    ~Vue()
    {
        if (x)
            XDestroyImage(x);
    }
    bool Prendre(Display* d, Window fenetre)
    {
        if (x)
            XDestroyImage(x);
        x = XGetImage(d, fenetre, 0, 0, 600, 600, AllPlanes, ZPixmap);
        return x != nullptr;
    }
    Rgb Pixel(int px, int py) const
    {
        unsigned long v = XGetPixel(x, px, py);
        return Rgb{int(v >> 16 & 0xff), int(v >> 8 & 0xff), int(v & 0xff)};
    }
    // The colour at (px, py) is within `marge` of (r, g, b) on each channel.
    bool Proche(int px, int py, int r, int g, int b, int marge = 40) const
    {
        Rgb c = Pixel(px, py);
        return abs(c.r - r) <= marge && abs(c.g - g) <= marge && abs(c.b - b) <= marge;
    }
    // The game-over screen: no ground at the bottom, the picture's dark red in the middle.
    bool Perdu() const { return Proche(300, 590, 0, 0, 0, 0) && Proche(110, 210, 48, 0, 0, 30); }
    // Where the target stands: the middle of its blue ring; false when none shows.
    bool Cible(int& cx, int& cy) const
    {
        int n = 0, sx = 0, sy = 0;
        for (int y = 0; y < 600; y += 2)
            for (int px = 0; px < 600; px += 2)
                if (Proche(px, y, 0, 80, 255, 60)) {
                    ++n;
                    sx += px;
                    sy += y;
                }
        if (n < 20)
            return false;
        cx = sx / n;
        cy = sy / n;
        return true;
    }
};
