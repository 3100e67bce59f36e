// Today's distributions serve SDL 1.2 through a compatibility library over SDL 2, or
// over SDL 3 through SDL 2's own compatibility library. Both by default send every
// flipped frame through an OpenGL texture: some twenty times slower than the classic
// library under X, so far that a moving mouse builds a backlog of events. Under X the
// software renderer on X's own framebuffer is the fast path; Wayland has no such path
// without OpenGL, so where SDL 3 would take Wayland but Xwayland answers, the game asks
// for X as SDL 2 took it. A binary built against the classic library may meet the
// others at run time, so the choice is made here, not at build time. Whatever the
// player has set stands.
#include "partie.h"
#include "signaux.h"

#include <cstdlib>
#include <cstring>
#include <dlfcn.h>
#include <string>

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

// The video driver SDL 2 (or SDL 3 under it) will take, asked of it: only it knows its
// order and what the session offers. Asked of SDL 2 directly, under the compatibility
// library: a look through that library would leave it believing its video started
// when it did not.
static std::string Pilote()
{
    void* sdl2 = dlopen("libSDL2-2.0.so.0", RTLD_NOW);
    if (!sdl2)
        return "";
    auto demarrer = reinterpret_cast<int (*)(Uint32)>(dlsym(sdl2, "SDL_InitSubSystem"));
    auto arreter = reinterpret_cast<void (*)(Uint32)>(dlsym(sdl2, "SDL_QuitSubSystem"));
    auto pilote = reinterpret_cast<const char* (*)()>(dlsym(sdl2, "SDL_GetCurrentVideoDriver"));
    std::string nom;
    if (demarrer && arreter && pilote && demarrer(SDL_INIT_VIDEO) == 0) {
        nom = pilote() ? pilote() : "";
        arreter(SDL_INIT_VIDEO);
    }
    dlclose(sdl2);
    return nom;
}

void DefautsSDL()
{
    RetenirSignaux();
    if (!Compatible())
        return;
    capacite = FILE_COMPATIBLE;
    // Only where the player has not chosen: setenv's last 0 keeps their value.
    setenv("SDL_RENDER_DRIVER", "software", 0);
    if (getenv("SDL_FRAMEBUFFER_ACCELERATION"))
        return;
    std::string pilote = Pilote();
    // SDL 3 takes Wayland where a session offers both, as GNOME's and KDE's do.
    if (pilote == "wayland" && getenv("DISPLAY") && !getenv("SDL_VIDEODRIVER") && !getenv("SDL_VIDEO_DRIVER")) {
        setenv("SDL_VIDEODRIVER", "x11", 1);
        pilote = Pilote();
        if (pilote != "x11")
            unsetenv("SDL_VIDEODRIVER");
    }
    // The plain X framebuffer, which SDL refuses on Wayland.
    if (pilote == "x11")
        setenv("SDL_FRAMEBUFFER_ACCELERATION", "0", 0);
}
