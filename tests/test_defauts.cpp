#include <gtest/gtest.h>
// After gtest: Xlib's macros would clash with its names.
#include "partie.h"
#include "sonde.h"

#include <cstdlib>
#include <fstream>
#include <regex>
#include <string>

namespace {

const char* const NOMS[] = {"SDL_RENDER_DRIVER", "SDL_FRAMEBUFFER_ACCELERATION", "SDL_VIDEODRIVER",
                            "DISPLAY", "WAYLAND_DISPLAY"};

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

bool Compat()
{
    return SDL_Linked_Version()->patch >= 50;
}

// Each case starts from an environment of its own and leaves the caller's as it was.
struct Defauts : testing::Test {
    std::string avant[5];
    void SetUp() override
    {
        for (int i = 0; i < 5; ++i) {
            avant[i] = Lire(NOMS[i]);
            Poser(NOMS[i], nullptr);
        }
    }
    void TearDown() override
    {
        for (int i = 0; i < 5; ++i)
            Poser(NOMS[i], avant[i] == "(unset)" ? nullptr : avant[i].c_str());
    }
};

} // namespace

// The compatibility library gets the software renderer; whatever the player has set,
// even empty, stays; the classic one gets nothing.
TEST_F(Defauts, SeulementSurLaCompatibiliteEtSansToucherAuChoixDuJoueur)
{
    Poser("SDL_VIDEODRIVER", "dummy");
    DefautsSDL();
    EXPECT_EQ(Lire("SDL_RENDER_DRIVER"), Compat() ? "software" : "(unset)");
    EXPECT_EQ(Lire("SDL_FRAMEBUFFER_ACCELERATION"), "(unset)");   // no X11 window

    Poser("SDL_RENDER_DRIVER", "opengl");
    DefautsSDL();
    EXPECT_EQ(Lire("SDL_RENDER_DRIVER"), "opengl");

    // The filter that keeps presses from overflowing the queue is there once the window
    // is open, on either library: the classic one drops a filter set before it starts.
    ASSERT_EQ(SDL_Init(SDL_INIT_VIDEO), 0);
    ASSERT_NE(SDL_SetVideoMode(64, 64, 32, SDL_SWSURFACE), nullptr);
    EXPECT_NE(SDL_GetEventFilter(), nullptr);
    SDL_Quit();
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

// The same in a real such session: weston, with X clients served by Xwayland.
TEST_F(Defauts, SessionWestonAvecXwayland)
{
    if (!Compat())
        GTEST_SKIP() << "the classic library takes none of these settings";
    char modele[] = "/tmp/gavremo_westonXXXXXX";
    std::string dossier = mkdtemp(modele), journal = dossier + "/weston.log";
    pid_t weston = fork();
    if (weston == 0) {
        setenv("XDG_RUNTIME_DIR", dossier.c_str(), 1);
        if (!freopen("/dev/null", "w", stderr))
            _exit(97);
        execlp("weston", "weston", "--backend=headless", "--xwayland", "--socket=wayland-gavremo",
               ("--log=" + journal).c_str(), (char*)nullptr);
        _exit(98);
    }
    // Weston says which X display Xwayland serves once it listens there.
    std::smatch m;
    for (int n = 0; n < 500 && m.empty(); ++n) {
        usleep(20000);
        std::ifstream f(journal);
        std::string texte((std::istreambuf_iterator<char>(f)), {});
        std::regex_search(texte, m, std::regex("xserver listening on display (:[0-9]+)"));
        if (!m.empty()) {
            Poser("DISPLAY", m.str(1).c_str());
            Poser("WAYLAND_DISPLAY", (dossier + "/wayland-gavremo").c_str());
        }
    }
    ASSERT_FALSE(m.empty()) << "weston with Xwayland did not start";
    DefautsSDL();
    EXPECT_EQ(Lire("SDL_FRAMEBUFFER_ACCELERATION"), "0");
    kill(weston, SIGTERM);
    waitpid(weston, nullptr, 0);
    std::system(("rm -rf " + dossier).c_str());
}
