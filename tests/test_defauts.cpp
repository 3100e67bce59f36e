#include <gtest/gtest.h>
// After gtest: Xlib's macros would clash with its names.
#include "partie.h"
#include "sonde.h"
#include "tout_liberer.h"

#include <SDL_syswm.h>
#include <X11/extensions/XTest.h>
#ifdef __SANITIZE_ADDRESS__
#include <sanitizer/lsan_interface.h>
#endif

#include <climits>
#include <cstdlib>
#include <dlfcn.h>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <regex>
#include <string>

namespace {

const char* const NOMS[] = {"SDL_RENDER_DRIVER", "SDL_FRAMEBUFFER_ACCELERATION", "SDL_VIDEODRIVER",
                            "DISPLAY",           "WAYLAND_DISPLAY",
                            "XDG_RUNTIME_DIR",   "SDL_AUDIODRIVER",
                            "SDL_MOUSE_FOCUS_CLICKTHROUGH"};
const int N = int(std::size(NOMS));

void Poser(const char* nom, const char* valeur)
{
    if (valeur)
        setenv(nom, valeur, 1);
    else
        unsetenv(nom);
}

std::string Lire(const char* nom)
{
    const char* v = getenv(nom);
    return v ? v : "(unset)";
}

// The three Linux libraries, each with its own right defaults.
enum Bibliotheque { CLASSIQUE, SUR_SDL2, SUR_SDL3 };

// The compatibility libraries count from .50: sdl12-compat from 1.2.50, and sdl2-compat,
// the SDL 2 that SDL 3 serves, from 2.30.50.
Bibliotheque Laquelle()
{
    if (SDL_Linked_Version()->patch < 50)
        return CLASSIQUE;
    void* sdl2 = dlopen("libSDL2-2.0.so.0", RTLD_NOW);
    auto version = sdl2 ? reinterpret_cast<void (*)(SDL_version*)>(dlsym(sdl2, "SDL_GetVersion")) : nullptr;
    SDL_version v{};
    if (version)
        version(&v);
    if (sdl2)
        dlclose(sdl2);
    EXPECT_EQ(v.major, 2) << "no SDL 2 under the compatibility library";
    return v.patch >= 50 ? SUR_SDL3 : SUR_SDL2;
}

bool Compat()
{
    return Laquelle() != CLASSIQUE;
}

// Each case starts from an environment of its own and leaves the caller's as it was.
struct Defauts : testing::Test {
    std::string avant[N];
    pid_t xvfb = 0;   // stopped at the end, however the case ends
    pid_t weston = 0;   // the same, with its folder
    std::string dossier;
    void Arreter()
    {
        if (weston) {
            kill(weston, SIGTERM);
            waitpid(weston, nullptr, 0);
            weston = 0;
        }
        if (!dossier.empty())
            std::filesystem::remove_all(dossier);
        dossier.clear();
    }
    void SetUp() override
    {
        for (int i = 0; i < N; ++i) {
            avant[i] = Lire(NOMS[i]);
            Poser(NOMS[i], nullptr);
        }
    }
    void TearDown() override
    {
        for (int i = 0; i < N; ++i)
            Poser(NOMS[i], avant[i] == "(unset)" ? nullptr : avant[i].c_str());
        if (xvfb)
            ArreterXvfb(xvfb);
        Arreter();
    }
};

// What waits in the library's queue, without pumping.
int EnAttente(Uint32 masque)
{
    SDL_Event attente[128];
    return SDL_PeepEvents(attente, 128, SDL_PEEKEVENT, masque);
}

// An event as the library brings it: through the game's filter, then queued.
int Arrive(Uint8 type, int x = 0, int y = 0)
{
    SDL_Event e{};
    e.type = type;
    if (type == SDL_MOUSEMOTION) {
        e.motion.x = Uint16(x);
        e.motion.y = Uint16(y);
    } else {
        e.button.x = Uint16(x);
        e.button.y = Uint16(y);
    }
    return SDL_GetEventFilter()(&e) ? SDL_PushEvent(&e) : 0;
}

} // namespace

// The compatibility libraries get the software renderer; whatever the player has set,
// even empty, stays; the classic one gets nothing.
TEST_F(Defauts, SeulementSurLaCompatibiliteEtSansToucherAuChoixDuJoueur)
{
    Poser("SDL_VIDEODRIVER", "dummy");
    DefautsSDL();
    EXPECT_EQ(Lire("SDL_RENDER_DRIVER"), Compat() ? "software" : "(unset)");
    EXPECT_EQ(Lire("SDL_FRAMEBUFFER_ACCELERATION"), "(unset)");   // no X11 window

    // The filter that keeps presses from overflowing the queue is there once the window
    // is open, on either library: the classic one drops a filter set before it starts.
    ASSERT_EQ(SDL_Init(SDL_INIT_VIDEO), 0);
    ASSERT_NE(SDL_SetVideoMode(64, 64, 32, SDL_SWSURFACE), nullptr);
    FenetreSDL();
    EXPECT_NE(SDL_GetEventFilter(), nullptr);
    SDL_Quit();

    // Read back only, never tried: SDL 3 takes the renderer named or none, and the
    // dummy driver has no OpenGL.
    Poser("SDL_RENDER_DRIVER", "opengl");
    DefautsSDL();
    EXPECT_EQ(Lire("SDL_RENDER_DRIVER"), "opengl");
    Poser("SDL_RENDER_DRIVER", "");
    DefautsSDL();
    EXPECT_EQ(Lire("SDL_RENDER_DRIVER"), "");
}

// The X11 fast path goes by the window SDL will really open. A desktop session that
// offers both X and Wayland, as GNOME's and KDE's do, sets both variables, and SDL 2
// opens an X window there; with no X server to reach, no X11-only setting.
TEST_F(Defauts, LaVoieX11SelonLaFenetreQueSDLOuvrira)
{
    std::string affichage;
    pid_t xvfb = DemarrerXvfb(affichage);
    ASSERT_NE(xvfb, 0) << "Xvfb did not start";
    Poser("DISPLAY", affichage.c_str());
    Poser("WAYLAND_DISPLAY", "wayland-gavremo");
    DefautsSDL();
    EXPECT_EQ(Lire("SDL_FRAMEBUFFER_ACCELERATION"), Compat() ? "0" : "(unset)");

    Poser("SDL_FRAMEBUFFER_ACCELERATION", "");
    DefautsSDL();
    EXPECT_EQ(Lire("SDL_FRAMEBUFFER_ACCELERATION"), "");
    ArreterXvfb(xvfb);

    Poser("SDL_FRAMEBUFFER_ACCELERATION", nullptr);
    Poser("DISPLAY", nullptr);
    DefautsSDL();
    EXPECT_EQ(Lire("SDL_FRAMEBUFFER_ACCELERATION"), "(unset)");
}

// SDL 2's Wayland driver keeps some of what it allocates past SDL_Quit, some in modules
// it has unloaded by then: not the game's, so not counted by the leak check.
#ifdef __SANITIZE_ADDRESS__
using SansFuites = __lsan::ScopedDisabler;
#else
struct [[maybe_unused]] SansFuites {};
#endif

// The session's driver as SDL 2, or SDL 3 under it, really takes it for the game's window.
std::string PiloteOuvert()
{
    SansFuites hors_compte;
    EXPECT_EQ(SDL_Init(SDL_INIT_VIDEO), 0);
    EXPECT_NE(SDL_SetVideoMode(64, 64, 32, SDL_SWSURFACE), nullptr) << SDL_GetError();
    void* sdl2 = dlopen("libSDL2-2.0.so.0", RTLD_NOW);
    auto pilote = reinterpret_cast<const char* (*)()>(dlsym(sdl2, "SDL_GetCurrentVideoDriver"));
    std::string nom = pilote && pilote() ? pilote() : "(none)";
    dlclose(sdl2);
    SDL_Quit();
    return nom;
}

// A real desktop session: weston, with X clients served by Xwayland or not, its
// variables set as a session sets them. SDL 2 opens an X window through Xwayland
// there; SDL 3 would open a Wayland one, and is asked for X, unless the player chose.
// Alone, weston gets a Wayland window, where SDL refuses the X11-only setting.
TEST_F(Defauts, SessionWayland)
{
    if (!Compat())
        GTEST_SKIP() << "the classic library takes none of these settings";
    const Bibliotheque b = Laquelle();
    for (bool xwayland : {true, false}) {
        SCOPED_TRACE(xwayland ? "weston with Xwayland" : "weston alone");
        char modele[] = "/tmp/gavremo_westonXXXXXX";
        dossier = mkdtemp(modele);
        std::string journal = dossier + "/weston.log";
        weston = Engendrer();
        if (weston == 0) {
            setenv("XDG_RUNTIME_DIR", dossier.c_str(), 1);
            if (!freopen("/dev/null", "w", stderr))
                _exit(97);
            execlp("weston", "weston", "--backend=headless", "--socket=wayland-gavremo",
                   ("--log=" + journal).c_str(), xwayland ? "--xwayland" : nullptr, (char*)nullptr);
            _exit(98);
        }
        // Weston says which X display Xwayland serves once it listens there.
        std::string prise = dossier + "/wayland-gavremo";
        std::string affichage;
        bool pret = false;
        for (int n = 0; n < 500 && !pret; ++n) {
            usleep(20000);
            std::ifstream f(journal);
            std::string texte((std::istreambuf_iterator<char>(f)), {});
            std::smatch m;
            if (xwayland && std::regex_search(texte, m, std::regex("xserver listening on display (:[0-9]+)")))
                affichage = m.str(1);
            pret = std::filesystem::exists(prise) && (!xwayland || !affichage.empty());
        }
        ASSERT_TRUE(pret) << "weston did not start";
        Poser("XDG_RUNTIME_DIR", dossier.c_str());
        Poser("WAYLAND_DISPLAY", "wayland-gavremo");
        Poser("DISPLAY", xwayland ? affichage.c_str() : nullptr);
        for (const char* choix : {"", "wayland"}) {
            SCOPED_TRACE(std::string("SDL_VIDEODRIVER chosen: ") + choix);
            Poser("SDL_VIDEODRIVER", *choix ? choix : nullptr);
            Poser("SDL_RENDER_DRIVER", nullptr);
            Poser("SDL_FRAMEBUFFER_ACCELERATION", nullptr);
            {
                SansFuites hors_compte;   // DefautsSDL asks SDL 2 which driver it takes
                DefautsSDL();
            }
            bool x11 = xwayland && !*choix;
            EXPECT_EQ(Lire("SDL_RENDER_DRIVER"), "software");
            EXPECT_EQ(Lire("SDL_FRAMEBUFFER_ACCELERATION"), x11 ? "0" : "(unset)");
            EXPECT_EQ(Lire("SDL_VIDEODRIVER"), *choix ? choix : x11 && b == SUR_SDL3 ? "x11" : "(unset)");
            EXPECT_EQ(PiloteOuvert(), x11 ? "x11" : "wayland");
        }
        Arreter();
    }
}

// A new motion takes the place of the waiting ones, even behind a press, which keeps
// its own place; a full queue makes room for a press with its motion.
TEST_F(Defauts, LeFiltreGardeUnSeulMouvement)
{
    Poser("SDL_VIDEODRIVER", "dummy");
    DefautsSDL();
    ASSERT_EQ(SDL_Init(SDL_INIT_VIDEO), 0);
    ASSERT_NE(SDL_SetVideoMode(64, 64, 32, SDL_SWSURFACE), nullptr);
    FenetreSDL();
    ASSERT_NE(SDL_GetEventFilter(), nullptr);
    SDL_PumpEvents();
    SDL_Event e;
    while (SDL_PollEvent(&e)) {
    }
    Arrive(SDL_MOUSEMOTION, 1, 1);
    Arrive(SDL_MOUSEMOTION, 2, 2);
    EXPECT_EQ(EnAttente(SDL_ALLEVENTS), 1);
    Arrive(SDL_MOUSEBUTTONDOWN, 2, 2);
    Arrive(SDL_MOUSEMOTION, 3, 3);
    Arrive(SDL_MOUSEMOTION, 4, 4);
    ASSERT_EQ(SDL_PeepEvents(&e, 1, SDL_GETEVENT, SDL_ALLEVENTS), 1);
    EXPECT_EQ(e.type, SDL_MOUSEBUTTONDOWN);
    EXPECT_EQ(e.button.x, 2);
    ASSERT_EQ(SDL_PeepEvents(&e, 1, SDL_GETEVENT, SDL_ALLEVENTS), 1);
    EXPECT_EQ(e.type, SDL_MOUSEMOTION);
    EXPECT_EQ(e.motion.x, 4);
    EXPECT_EQ(EnAttente(SDL_ALLEVENTS), 0);

    Arrive(SDL_MOUSEMOTION, 5, 5);
    SDL_Event touche{};
    touche.type = SDL_KEYDOWN;
    int places = 1;
    while (SDL_PushEvent(&touche) == 0)
        ++places;
    EXPECT_GE(places, 127);
    Arrive(SDL_MOUSEBUTTONDOWN, 5, 5);
    EXPECT_EQ(EnAttente(SDL_MOUSEMOTIONMASK), 0);
    EXPECT_EQ(EnAttente(SDL_MOUSEBUTTONDOWNMASK), 1);
    SDL_Quit();
}

// A burst of real motions, then a press, through X into the game as it runs. The
// library may bring the burst over more than one pump: after every pass at most one
// motion waits, so the press never waits behind more, the last motion the game takes
// before it is the burst's newest position, and the sprite ends there.
TEST_F(Defauts, RafaleDeMouvementsPuisClic)
{
    std::string affichage;
    xvfb = DemarrerXvfb(affichage);
    ASSERT_NE(xvfb, 0) << "Xvfb did not start";
    Poser("DISPLAY", affichage.c_str());
    Poser("SDL_VIDEODRIVER", "x11");
    Poser("SDL_AUDIODRIVER", "dummy");
    // SDL 2 takes a click within 10 ms of the window's focus for the click that gave it,
    // and drops it; the burst comes that soon after the window opens.
    Poser("SDL_MOUSE_FOCUS_CLICKTHROUGH", "1");
    Display* d = OuvrirAffichage(affichage);
    ASSERT_NE(d, nullptr);
    char ici[4096];
    ASSERT_NE(getcwd(ici, sizeof ici), nullptr);
    ASSERT_EQ(chdir(PROJET), 0);
    DefautsSDL();
    Partie p{};
    ASSERT_EQ(Demarrer(p), 0);
    p.points = 1000;           // a miss does not end the game
    p.difficultee = INT_MAX;   // nor does an escape cost
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    ASSERT_EQ(SDL_GetWMInfo(&info), 1);
    int x0 = 0, y0 = 0;
    Window enfant;
    XTranslateCoordinates(d, info.info.x11.window, DefaultRootWindow(d), 0, 0, &x0, &y0, &enfant);

    const int RAFALE = 400;   // 50 ms of a mouse at 8,000 a second, beyond either queue
    int x = 0, y = 0;
    for (int n = 0; n < RAFALE; ++n) {
        x = 100 + n % 200;
        y = 200 + n % 150;
        XTestFakeMotionEvent(d, -1, x0 + x, y0 + y, CurrentTime);
    }
    XTestFakeButtonEvent(d, 1, True, CurrentTime);
    XTestFakeButtonEvent(d, 1, False, CurrentTime);
    XSync(d, False);

    int t = 0, dernier_x = -1, dernier_y = -1;
    bool tir = false;
    for (int passe = 0; !tir && passe < 10000; ++passe) {
        p.event.type = SDL_NOEVENT;
        Passe(p, ++t);
        if (p.event.type == SDL_MOUSEMOTION) {
            dernier_x = p.event.motion.x;
            dernier_y = p.event.motion.y;
        }
        if (p.event.type == SDL_MOUSEBUTTONDOWN) {
            tir = true;
            EXPECT_EQ(p.event.button.x, x);   // made where the pointer was
            EXPECT_EQ(p.event.button.y, y);
        }
        ASSERT_LE(EnAttente(SDL_MOUSEMOTIONMASK), 1) << "after pass " << passe;
    }
    EXPECT_TRUE(tir) << "the press was lost";
    EXPECT_EQ(dernier_x, x);
    EXPECT_EQ(dernier_y, y);
    for (int passe = 0; passe < 10; ++passe)
        Passe(p, ++t);
    EXPECT_EQ(p.posF.x, x - p.curseur->w / 2);
    EXPECT_EQ(p.posF.y, y - p.curseur->w / 2);

    ToutLiberer(p);
    XCloseDisplay(d);
    EXPECT_EQ(chdir(ici), 0);
}
