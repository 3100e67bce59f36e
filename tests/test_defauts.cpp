#include "partie.h"

#include <gtest/gtest.h>

#include <cstdlib>
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

} // namespace

// The compatibility library gets the software renderer and, on X11 only, the plain
// framebuffer; whatever the player has set, even empty, stays; the classic one gets nothing.
TEST(Defauts, SeulementSurLaCompatibiliteEtSansToucherAuChoixDuJoueur)
{
    bool compat = SDL_Linked_Version()->patch >= 50;
    std::string avant[5];
    for (int i = 0; i < 5; ++i)
        avant[i] = Lire(NOMS[i]);

    Poser("SDL_RENDER_DRIVER", nullptr);
    Poser("SDL_FRAMEBUFFER_ACCELERATION", "");
    Poser("SDL_VIDEODRIVER", "x11");
    DefautsSDL();
    EXPECT_EQ(Lire("SDL_RENDER_DRIVER"), compat ? "software" : "(unset)");
    EXPECT_EQ(Lire("SDL_FRAMEBUFFER_ACCELERATION"), "");

    Poser("SDL_RENDER_DRIVER", "opengl");
    Poser("SDL_FRAMEBUFFER_ACCELERATION", nullptr);
    DefautsSDL();
    EXPECT_EQ(Lire("SDL_RENDER_DRIVER"), "opengl");
    EXPECT_EQ(Lire("SDL_FRAMEBUFFER_ACCELERATION"), compat ? "0" : "(unset)");

    // A Wayland session: no X11-only setting unless the player asked for x11.
    Poser("SDL_FRAMEBUFFER_ACCELERATION", nullptr);
    Poser("SDL_VIDEODRIVER", nullptr);
    Poser("DISPLAY", ":0");
    Poser("WAYLAND_DISPLAY", "wayland-0");
    DefautsSDL();
    EXPECT_EQ(Lire("SDL_FRAMEBUFFER_ACCELERATION"), "(unset)");

    for (int i = 0; i < 5; ++i)
        Poser(NOMS[i], avant[i] == "(unset)" ? nullptr : avant[i].c_str());

    // The filter that keeps presses from overflowing the queue must outlive start-up.
    ASSERT_EQ(SDL_Init(SDL_INIT_VIDEO), 0);
    EXPECT_EQ(SDL_GetEventFilter() != nullptr, compat);
    SDL_Quit();
}
