// The real game in a real X window on a virtual display, played through
// xdotool as a person would, and watched through screenshots.
#include <gtest/gtest.h>
// After gtest: Xlib's macros would clash with its names.
#include <SDL.h>
#include <SDL_ttf.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include "flot.h"
#include "sonde.h"

#include <csignal>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

namespace {

const char* TITRE = "Gavremo /by Merulek";

struct Ecran : testing::Test {
    pid_t xvfb = 0, jeu = 0, flot = 0;
    std::string affichage, dossier;
    Display* d = nullptr;
    Window fenetre = 0;
    int statut = -1;

    void SetUp() override
    {
        xvfb = DemarrerXvfb(affichage);
        ASSERT_NE(xvfb, 0) << "Xvfb did not start";
        ASSERT_TRUE(Attendre([&] { return (d = OuvrirAffichage(affichage)) != nullptr; }))
            << "Xvfb did not start on " << affichage;
        char modele[] = "/tmp/gavremo_ecranXXXXXX";
        dossier = mkdtemp(modele);
        jeu = Engendrer();
        if (jeu == 0) {
            setenv("DISPLAY", affichage.c_str(), 1);
            setenv("SDL_VIDEODRIVER", "x11", 1);
            setenv("SDL_AUDIODRIVER", "dummy", 1);
            if (chdir(PROJET) != 0 || !freopen((dossier + "/sortie").c_str(), "w", stdout)
                || !freopen((dossier + "/erreurs").c_str(), "w", stderr))
                _exit(99);
            execl(GAVREMO, GAVREMO, (char*)nullptr);
            _exit(98);
        }
        ASSERT_TRUE(Attendre([&] { return (fenetre = Trouver(DefaultRootWindow(d))) != 0; }));
        XSelectInput(d, fenetre, StructureNotifyMask);
    }

    void TearDown() override
    {
        if (flot)
            Arreter(flot);
        if (jeu && statut < 0) {
            kill(jeu, SIGKILL);
            waitpid(jeu, nullptr, 0);
        }
        if (d)
            XCloseDisplay(d);
        if (xvfb)
            ArreterXvfb(xvfb);
        std::filesystem::remove_all(dossier);
    }

    // Polls `test` every 20 ms for up to 20 s.
    static bool Attendre(const std::function<bool()>& test)
    {
        for (int n = 0; n < 1000; ++n) {
            if (test())
                return true;
            usleep(20000);
        }
        return false;
    }

    Window Trouver(Window w)
    {
        char* nom = nullptr;
        if (XFetchName(d, w, &nom) && nom) {
            bool oui = std::string(nom) == TITRE;
            XFree(nom);
            if (oui)
                return w;
        }
        Window fond, parent, *enfants = nullptr;
        unsigned n = 0;
        Window trouve = 0;
        if (XQueryTree(d, w, &fond, &parent, &enfants, &n)) {
            for (unsigned k = 0; k < n && !trouve; ++k)
                trouve = Trouver(enfants[k]);
            if (enfants)
                XFree(enfants);
        }
        return trouve;
    }

    void Capture(Vue& im) { ASSERT_TRUE(im.Prendre(d, fenetre)); }

    void Xdotool(const std::string& args)
    {
        ASSERT_EQ(system(("DISPLAY=" + affichage + " xdotool " + args).c_str()), 0) << args;
    }

    // Reads the score line by matching the screen's pure red against the game
    // font's rendering of each candidate score.
    static TTF_Font* Police()
    {
        static TTF_Font* police = nullptr;
        if (!police) {
            TTF_Init();
            police = TTF_OpenFont(PROJET "/font/MorrisRomanBlack.ttf", 36);
        }
        return police;
    }

    int Score(const Vue& im, int y0)
    {
        // Kept for the whole run, and reachable to its end.
        static auto* rendus = new std::map<int, SDL_Surface*>;
        for (int k = -20; k <= 3000; ++k) {
            SDL_Surface*& s = (*rendus)[k];
            if (!s) {
                char texte[20];
                snprintf(texte, sizeof texte, "%d points", k);
                s = TTF_RenderText_Solid(Police(), texte, SDL_Color{255, 0, 0, 0});
            }
            bool pareil = true;
            for (int y = 0; y < s->h && pareil; ++y)
                for (int x = 0; x < s->w + 8 && pareil; ++x) {
                    bool rouge = x < s->w && static_cast<Uint8*>(s->pixels)[y * s->pitch + x] != 0;
                    pareil = rouge == im.Proche(x, y0 + y, 255, 0, 0, 0);
                }
            if (pareil)
                return k;
        }
        return -9999;
    }

    int HauteurLigne() { return TTF_FontHeight(Police()); }

    void Fermer()
    {
        XEvent e{};
        e.xclient.type = ClientMessage;
        e.xclient.window = fenetre;
        e.xclient.message_type = XInternAtom(d, "WM_PROTOCOLS", False);
        e.xclient.format = 32;
        e.xclient.data.l[0] = long(XInternAtom(d, "WM_DELETE_WINDOW", False));
        e.xclient.data.l[1] = CurrentTime;
        XSendEvent(d, fenetre, False, NoEventMask, &e);
        XFlush(d);
    }

    std::string Fin()
    {
        int etat = 0;
        bool fini = Attendre([&] { return waitpid(jeu, &etat, WNOHANG) == jeu; });
        EXPECT_TRUE(fini);
        statut = fini && WIFEXITED(etat) ? WEXITSTATUS(etat) : 128;
        std::ifstream f(dossier + "/sortie");
        return std::string(std::istreambuf_iterator<char>(f), {});
    }

    // Clicks the target and returns the score read after the click.
    int Toucher(Vue& im, int y0)
    {
        int cx = -1, cy = -1;
        EXPECT_TRUE(Attendre([&] { Capture(im); return im.Cible(cx, cy); }));
        Xdotool("mousemove --window " + std::to_string(fenetre) + " " + std::to_string(cx) + " "
                + std::to_string(cy) + " click 1");
        int score = -9999;
        Attendre([&] { Capture(im); score = Score(im, y0); return score > 0 || im.Perdu(); });
        return score;
    }
};

} // namespace

TEST_F(Ecran, FenetreSceneCurseurEtFermeture)
{
    XWindowAttributes a;
    XGetWindowAttributes(d, fenetre, &a);
    EXPECT_EQ(a.width, 600);
    EXPECT_EQ(a.height, 600);

    Vue im;
    int y0 = HauteurLigne();
    // The scene: score lines, the target, the ground and banner at the bottom.
    ASSERT_TRUE(Attendre([&] { Capture(im); return Score(im, y0) == 0; }));
    int cx, cy;
    EXPECT_TRUE(im.Cible(cx, cy));
    Rgb sol = im.Pixel(590, 590);
    EXPECT_TRUE(sol.g > 40 && sol.g > sol.b) << sol.r << "," << sol.g << "," << sol.b;

    // Keep the game going with a hit, then watch the sprite follow the pointer.
    EXPECT_GT(Toucher(im, y0), 0);
    for (auto [x, y] : {std::pair{300, 300}, std::pair{470, 90}}) {
        Xdotool("mousemove --window " + std::to_string(fenetre) + " " + std::to_string(x) + " " + std::to_string(y));
        EXPECT_TRUE(Attendre([&] { Capture(im); return im.Proche(x - 10, y, 0x40, 0xff, 0x40, 50); }))
            << x << "," << y;
    }

    Fermer();
    EXPECT_EQ(Fin(), "");
    EXPECT_EQ(statut, 1);
}

TEST_F(Ecran, ToucherPuisRater)
{
    Vue im;
    int y0 = HauteurLigne();
    int score = Toucher(im, y0);
    ASSERT_GT(score, 0);
    // A click beside the target costs exactly one point. No target box reaches x 40.
    Xdotool("mousemove --window " + std::to_string(fenetre) + " 40 300 click 1");
    int apres = -9999;
    ASSERT_TRUE(Attendre([&] { Capture(im); apres = Score(im, y0); return apres != score; }));
    if (!im.Perdu())
        EXPECT_TRUE(apres == score - 1 || apres == score - 16) << score << " -> " << apres;

    // The rest of a whole game, to its clean end, is the demo's.
}

TEST_F(Ecran, PartieLaisseeSeuleFermeeSurLePerdu)
{
    Vue im;
    ASSERT_TRUE(Attendre([&] { Capture(im); return im.Perdu(); }));
    Fermer();
    EXPECT_EQ(Fin(), "Exited cleanly\n");
    EXPECT_EQ(statut, 0);
}

TEST_F(Ecran, RateAZeroPuisTouche)
{
    Vue im;
    ASSERT_TRUE(Attendre([&] { Capture(im); return Score(im, HauteurLigne()) == 0; }));
    Xdotool("mousemove --window " + std::to_string(fenetre) + " 40 300 click 1");
    ASSERT_TRUE(Attendre([&] { Capture(im); return im.Perdu(); }));
    Xdotool("key a");   // through XTEST: with --window, the release would find no window
    EXPECT_EQ(Fin(), "Exited cleanly\n");
    EXPECT_EQ(statut, 0);
}

TEST_F(Ecran, RateAZeroSousLeFlot)
{
    Vue im;
    ASSERT_TRUE(Attendre([&] { Capture(im); return Score(im, HauteurLigne()) == 0; }));
    flot = Inonder(affichage.c_str(), fenetre);
    sleep(2);
    // A miss at score 0, clicked while the mouse keeps moving, loses the game
    // while the flood goes on; the key pressed then in the flood is not lost.
    XTestFakeButtonEvent(d, 1, True, CurrentTime);
    XTestFakeButtonEvent(d, 1, False, CurrentTime);
    XFlush(d);
    ASSERT_TRUE(Attendre([&] { Capture(im); return im.Perdu(); }));
    Xdotool("key a");
    sleep(1);
    Arreter(flot);
    flot = 0;
    EXPECT_EQ(Fin(), "Exited cleanly\n");
    EXPECT_EQ(statut, 0);
}
