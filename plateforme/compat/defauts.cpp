// Today's distributions serve SDL 1.2 through a compatibility library over SDL 2,
// which by default sends every flipped frame through an OpenGL texture: some
// twenty times slower than the classic library under X, so far that a moving
// mouse builds a backlog of events. A binary built against the classic library
// may meet the other at run time, so the choice is made here, not at build time.
#include "partie.h"
#include "signaux.h"

#include <cstdlib>
#include <cstring>
#include <dlfcn.h>

// Each library's queue of events, which drops whatever comes when it is full.
const int FILE_COMPATIBLE = 128;
const int FILE_CLASSIQUE = 127;   // a ring of 128 that keeps one place empty

static int capacite = FILE_CLASSIQUE;

// The compatibility library counts from 1.2.50; the classic one ended at 1.2.15.
static bool Compatible()
{
    const SDL_version* v = SDL_Linked_Version();
    return v->major == 1 && v->minor == 2 && v->patch >= 50;
}

// Run by the library for each event it is about to queue. The game takes one event a
// pass, and a gaming mouse reports up to 8,000 positions a second: every motion waiting
// ahead of a press would hold it back a pass. So a new motion takes the place of those
// waiting, and the queue holds at most one, at the newest position. A press queued
// between the two then comes first: it carries where it was made (button.x, button.y),
// and the motion after it still brings the sprite to where the pointer is now. Only the
// way there is lost, xrel and yrel with it; the game reads neither.
// A full queue would drop what comes next, a press too: the waiting motion makes room.
static int Filtre(const SDL_Event* e)
{
    SDL_Event attente[FILE_COMPATIBLE];   // not static: a quit comes through from another thread
    if (e->type == SDL_MOUSEMOTION)
        SDL_PeepEvents(attente, capacite, SDL_GETEVENT, SDL_MOUSEMOTIONMASK);
    else if (SDL_PeepEvents(attente, capacite, SDL_PEEKEVENT, SDL_ALLEVENTS) >= capacite)
        SDL_PeepEvents(attente, 1, SDL_GETEVENT, SDL_MOUSEMOTIONMASK);
    return 1;
}

// The classic library forgets any filter when its video starts, so the filter is set
// once the game's window is open, on either library.
void FenetreSDL()
{
    SDL_SetEventFilter(Filtre);
    EcouterSignaux();
}

// The video driver SDL 2 will take, asked of SDL 2 itself: only it knows its order and
// what the session offers. GNOME's and KDE's sessions set both DISPLAY and
// WAYLAND_DISPLAY, and SDL 2 then opens an X window, through XWayland. Asked of SDL 2
// directly, under the compatibility library: a look through that library would leave
// it believing its video started when it did not.
static bool FenetreX11()
{
    void* sdl2 = dlopen("libSDL2-2.0.so.0", RTLD_NOW);
    if (!sdl2)
        return false;
    auto demarrer = reinterpret_cast<int (*)(Uint32)>(dlsym(sdl2, "SDL_InitSubSystem"));
    auto arreter = reinterpret_cast<void (*)(Uint32)>(dlsym(sdl2, "SDL_QuitSubSystem"));
    auto pilote = reinterpret_cast<const char* (*)()>(dlsym(sdl2, "SDL_GetCurrentVideoDriver"));
    bool x11 = false;
    if (demarrer && arreter && pilote && demarrer(SDL_INIT_VIDEO) == 0) {
        x11 = pilote() && strcmp(pilote(), "x11") == 0;
        arreter(SDL_INIT_VIDEO);
    }
    dlclose(sdl2);
    return x11;
}

void DefautsSDL()
{
    RetenirSignaux();
    if (!Compatible())
        return;
    capacite = FILE_COMPATIBLE;
    // Only where the player has not chosen: setenv's last 0 keeps their value.
    setenv("SDL_RENDER_DRIVER", "software", 0);
    // The plain X framebuffer; Wayland has no such path without OpenGL.
    if (!getenv("SDL_FRAMEBUFFER_ACCELERATION") && FenetreX11())
        setenv("SDL_FRAMEBUFFER_ACCELERATION", "0", 0);
}
