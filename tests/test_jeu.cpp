#include "corpus.h"
#include "partie.h"
#include "tout_liberer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <malloc.h>
#include <string>
#include <unistd.h>

// The game-over screen blocks on the player's next event. Here a wait with
// nothing queued is answered at once by a key press, and every wait is counted.
static int attentes = 0;
extern "C" int SDL_WaitEvent(SDL_Event* e)
{
    ++attentes;
    if (SDL_PollEvent(e))
        return 1;
    *e = SDL_Event{};
    e->type = SDL_KEYDOWN;
    e->key.keysym.sym = SDLK_RETURN;
    return 1;
}

namespace {

// Opening the window may queue events of its own: the compatibility library over
// SDL 2 posts sixteen focus events even on the dummy driver, where the classic one
// posts none. Each test starts from an empty queue, since a pass takes one event.
void Vider()
{
    SDL_Event e;
    while (SDL_PollEvent(&e)) {
    }
}

struct Jeu : testing::Test {
    Partie p{};
    void SetUp() override
    {
        attentes = 0;
        ASSERT_EQ(Demarrer(p), 0);
        Vider();
    }
    void TearDown() override { ToutLiberer(p); }
};

void Pousser(SDL_Event e) { ASSERT_EQ(SDL_PushEvent(&e), 0); }

void Touche(Uint8 type, SDLKey touche)
{
    SDL_Event e{};
    e.type = type;
    e.key.type = type;
    e.key.keysym.sym = touche;
    Pousser(e);
}

void Bouton(int x, int y, Uint8 bouton = SDL_BUTTON_LEFT)
{
    SDL_Event e{};
    e.type = SDL_MOUSEBUTTONDOWN;
    e.button.button = bouton;
    e.button.x = Uint16(x);
    e.button.y = Uint16(y);
    Pousser(e);
}

void Mouvement(int x, int y)
{
    SDL_Event e{};
    e.type = SDL_MOUSEMOTION;
    e.motion.x = Uint16(x);
    e.motion.y = Uint16(y);
    Pousser(e);
}

SDL_Color Pixel(SDL_Surface* s, int x, int y)
{
    Uint32 v = static_cast<Uint32*>(s->pixels)[y * s->pitch / 4 + x];
    SDL_Color c{};
    SDL_GetRGB(v, s->format, &c.r, &c.g, &c.b);
    return c;
}

bool Egal(SDL_Color a, SDL_Color b) { return a.r == b.r && a.g == b.g && a.b == b.b; }

// Relocates the current target at once, free of charge.
void Replacer(Partie& p, int& t)
{
    t += p.difficultee + 1;
    p.trgt = 0;
    Passe(p, t);
}

} // namespace

TEST_F(Jeu, DemarrageEtScene)
{
    EXPECT_EQ(p.screen->w, LARGEUR);
    EXPECT_EQ(p.screen->h, HAUTEUR);
    EXPECT_EQ(p.screen->format->BitsPerPixel, PROFONDEUR);
    EXPECT_EQ(p.posTexte.y + p.texte->h, HAUTEUR);   // banner on the bottom edge
    char* titre = nullptr;
    SDL_WM_GetCaption(&titre, nullptr);
    EXPECT_STREQ(titre, "Gavremo /by Merulek");
    EXPECT_EQ(SDL_ShowCursor(SDL_QUERY), SDL_DISABLE);

    Passe(p, 51);
    EXPECT_STREQ(p.temp, "Points Max : 1");   // the best score starts at 1, not 0
    EXPECT_STREQ(p.ptn, "0 points");
    // The target at its first place, over a black background, the ground at the bottom.
    EXPECT_FALSE(Egal(Pixel(p.screen, 128 + 32, 128 + 32), NOIR));
    EXPECT_TRUE(Egal(Pixel(p.screen, 300, 300), NOIR));
    EXPECT_FALSE(Egal(Pixel(p.screen, 590, 590), NOIR));
}

TEST_F(Jeu, RepeintSeulementApresPlusDe50ms)
{
    Passe(p, 50);
    EXPECT_EQ(p.temps, nullptr);
    EXPECT_EQ(p.tpa, 0);
    Passe(p, 51);
    ASSERT_NE(p.temps, nullptr);
    EXPECT_EQ(p.tpa, 51);

    p.points = 7;
    Passe(p, 101);
    EXPECT_STREQ(p.ptn, "0 points");
    Passe(p, 102);
    EXPECT_STREQ(p.ptn, "7 points");
    EXPECT_EQ(p.ptnMax, 7);
    EXPECT_STREQ(p.temp, "Points Max : 7");

    // A longer score line keeps its place under the best-score line.
    p.points = -0x7fffffff + 1;
    p.ptnMax = -0x7fffffff - 1;
    Repeindre(p, NOIR);
    EXPECT_STREQ(p.temp, "Points Max : -2147483648");
    EXPECT_EQ(p.posP.y, p.point->h);
    EXPECT_LE(p.temps->w, LARGEUR);
}

TEST_F(Jeu, UnEvenementParPasse)
{
    Mouvement(100, 200);
    Mouvement(300, 400);
    Passe(p, 10);
    EXPECT_EQ(p.posF.x, 100 - p.curseur->w / 2);
    EXPECT_EQ(p.posF.y, 200 - p.curseur->w / 2);
    Passe(p, 20);
    EXPECT_EQ(p.posF.x, 300 - p.curseur->w / 2);
    Passe(p, 30);
    EXPECT_EQ(p.posF.x, 300 - p.curseur->w / 2);
    EXPECT_EQ(p.posF.y, 400 - p.curseur->w / 2);
}

TEST_F(Jeu, EspaceRelacheeAllumeLeFlash)
{
    Touche(SDL_KEYDOWN, SDLK_SPACE);
    Touche(SDL_KEYUP, SDLK_a);
    Passe(p, 1);
    Passe(p, 2);
    EXPECT_EQ(p.i, 0);
    Touche(SDL_KEYUP, SDLK_SPACE);
    Passe(p, 3);
    EXPECT_EQ(p.i, 1);
    Touche(SDL_KEYDOWN, SDLK_SPACE);
    Touche(SDL_KEYUP, SDLK_SPACE);
    for (int t = 4; t < 8; ++t)
        Passe(p, t);
    EXPECT_EQ(p.i, 1);
}

TEST_F(Jeu, CurseurRogneAuCoin)
{
    ASSERT_EQ(p.curseur->w, 32);
    Mouvement(10, 10);
    Passe(p, 1);
    EXPECT_EQ(p.posF.x, -6);
    EXPECT_EQ(p.posF.y, -6);
    SDL_FillRect(p.screen, nullptr, 0);
    Passe(p, 2);   // the blit writes the clipped place back
    EXPECT_EQ(p.posF.x, 0);
    EXPECT_EQ(p.posF.y, 0);
    // The crosshair's centre column (x 15 of the sprite) now sits at x 9.
    bool vu = false;
    for (int y = 0; y < 26; ++y)
        vu = vu || !Egal(Pixel(p.screen, 9, y), NOIR);
    EXPECT_TRUE(vu);
}

TEST_F(Jeu, FermerLaFenetreQuitteAvecLeStatut1)
{
    SDL_Event e{};
    e.type = SDL_QUIT;
    Pousser(e);
    EXPECT_EXIT(Passe(p, 1), testing::ExitedWithCode(1), "");
}

TEST_F(Jeu, CibleEtTirs)
{
    // The first target was never live: its leaving is free.
    Passe(p, 3000);
    EXPECT_EQ(p.posTarget.x, 128);
    Passe(p, 3001);
    EXPECT_EQ(p.points, 0);
    EXPECT_EQ(p.trgt, 1);
    EXPECT_EQ(p.tp, 3001);
    int x = p.posTarget.x, y = p.posTarget.y;
    EXPECT_TRUE(x >= 64 && x <= 536 && y >= 128 && y <= 472) << x << "," << y;

    // 29 ms after placement: no points, yet a hit all the same.
    Bouton(x + 1, y + 1, SDL_BUTTON_RIGHT);
    Passe(p, 3030);
    EXPECT_EQ(p.points, 0);
    EXPECT_EQ(p.trgt, 0);
    EXPECT_EQ(p.difficultee, 2980);
    // A hit target leaves the window and cannot be hit again.
    EXPECT_EQ(p.posTarget.x, 600);
    EXPECT_EQ(p.posTarget.y, 600);
    p.points = 10;
    Bouton(599, 599);
    Passe(p, 3040);
    EXPECT_EQ(p.points, 9);

    // 2979 ms after placement, just within the shortened lifetime, scores 99.
    int t = 3040;
    Replacer(p, t);
    Bouton(p.posTarget.x + 63, p.posTarget.y + 63, SDL_BUTTON_MIDDLE);
    Passe(p, t + 2979);
    EXPECT_EQ(p.points, 9 + 99);
}

TEST_F(Jeu, PremierTirSurLaPremiereCible)
{
    Bouton(129, 129);
    Passe(p, 2999);
    EXPECT_EQ(p.points, 2999 / 30);
    EXPECT_EQ(p.trgt, 0);
}

TEST(Regles, BordsStrictsDeLaCible)
{
    SDL_Rect pos{100, 200, 0, 0};
    dim d{64, 64};
    struct { int x, y, dedans; } cas[] = {
        {100, 230, 0}, {101, 230, 1}, {163, 230, 1}, {164, 230, 0},
        {130, 200, 0}, {130, 201, 1}, {130, 263, 1}, {130, 264, 0},
        {101, 201, 1}, {163, 263, 1}, {0, 0, 0}, {65535, 65535, 0},
    };
    for (auto c : cas) {
        SDL_Event e{};
        e.type = SDL_MOUSEBUTTONDOWN;
        e.button.x = Uint16(c.x);
        e.button.y = Uint16(c.y);
        EXPECT_EQ(SourisDansIco(pos, d, e), c.dedans) << c.x << "," << c.y;
    }
    // The box is the fixed 64 x 64 from the top-left, even at a negative place.
    SDL_Rect coin{-10, -10, 0, 0};
    SDL_Event e{};
    e.button.x = 53;
    e.button.y = 53;
    EXPECT_EQ(SourisDansIco(coin, d, e), 1);
    e.button.x = 54;
    EXPECT_EQ(SourisDansIco(coin, d, e), 0);
}

TEST(Regles, AleaBornesEtGraineUnique)
{
    EXPECT_EQ(Alea(5, 5), 5);
    int bas = 1000, haut = -1000;
    for (int n = 0; n < 20000; ++n) {
        int v = Alea(-3, 7);
        ASSERT_TRUE(v >= -3 && v <= 7) << v;
        bas = std::min(bas, v);
        haut = std::max(haut, v);
    }
    EXPECT_EQ(bas, -3);
    EXPECT_EQ(haut, 7);
    // Already seeded: re-seeding by hand replays the same draws, so Alea never seeds again.
    srand(42);
    int a = Alea(0, 1000000), b = Alea(0, 1000000);
    srand(42);
    EXPECT_EQ(Alea(0, 1000000), a);
    EXPECT_EQ(Alea(0, 1000000), b);
}

TEST_F(Jeu, PlacesDeLaCible)
{
    int xmin = 9999, xmax = -1, ymin = 9999, ymax = -1, t = 0;
    for (int n = 0; n < 20000; ++n) {
        t += p.difficultee + 1;
        p.ta = t;
        p.trgt = 0;
        Minuterie(p);
        xmin = std::min(xmin, int(p.posTarget.x));
        xmax = std::max(xmax, int(p.posTarget.x));
        ymin = std::min(ymin, int(p.posTarget.y));
        ymax = std::max(ymax, int(p.posTarget.y));
    }
    EXPECT_EQ(xmin, 64);
    EXPECT_EQ(xmax, 536);
    EXPECT_EQ(ymin, 128);
    EXPECT_EQ(ymax, 472);
}

TEST_F(Jeu, CentCinquanteTouchesPuisCibleAChaquePasse)
{
    Bouton(129, 129);
    Passe(p, 2999);
    int t = 2999;
    for (int n = 1; n < 150; ++n) {
        Replacer(p, t);
        Bouton(p.posTarget.x + 1, p.posTarget.y + 1);
        Passe(p, t);
    }
    EXPECT_EQ(p.difficultee, 0);
    EXPECT_EQ(p.points, 99);
    Passe(p, ++t);   // leaves unhit-free, as the last one was hit
    EXPECT_EQ(p.tp, t);
    Passe(p, t);     // the clock stood still: the target stays
    EXPECT_EQ(p.tp, t);
    Passe(p, ++t);
    EXPECT_EQ(p.tp, t);
    EXPECT_EQ(p.points, 99 - 15);

    // Below zero the target moves even when the clock stands still.
    Bouton(p.posTarget.x + 1, p.posTarget.y + 1);
    Passe(p, t);
    EXPECT_EQ(p.difficultee, -20);
    p.tp = t - 1;
    Passe(p, t);
    EXPECT_EQ(p.tp, t);
    p.tp = t - 1;
    Passe(p, t);
    EXPECT_EQ(p.tp, t);
}

TEST_F(Jeu, CibleEnfuieCoute15EtFinitLaPartie)
{
    Passe(p, 3001);
    Passe(p, 6002);
    EXPECT_EQ(attentes, 1);
    EXPECT_EQ(p.points, -15);
    EXPECT_EQ(p.ctn, 0);
}

TEST_F(Jeu, PremierRateAZeroFinitLaPartie)
{
    Bouton(5, 5);
    Passe(p, 100);
    EXPECT_EQ(attentes, 1);
    EXPECT_EQ(p.points, -1);
    EXPECT_EQ(p.ctn, 0);
}

TEST_F(Jeu, FlashGrisSansToucherAuRythme)
{
    Passe(p, 51);
    p.points = 5;
    Touche(SDL_KEYUP, SDLK_SPACE);
    Passe(p, 60);
    Bouton(300, 20);
    Passe(p, 70);
    EXPECT_EQ(p.points, 4);
    EXPECT_TRUE(Egal(Pixel(p.screen, 590, 10), GRIS));
    EXPECT_STREQ(p.ptn, "5 points");   // the flash renders the score as it stood before the shot
    EXPECT_EQ(p.tpa, 51);
    Passe(p, 101);
    EXPECT_TRUE(Egal(Pixel(p.screen, 590, 10), GRIS));
    Passe(p, 102);
    EXPECT_TRUE(Egal(Pixel(p.screen, 590, 10), NOIR));
}

TEST_F(Jeu, UnTirCoupeLeSonQuiOccupeLeCanal)
{
    ASSERT_NE(p.tir, nullptr);
    EXPECT_EQ(FMOD_System_PlaySound(p.system, FMOD_CHANNEL_FREE, p.tir, 0, nullptr), FMOD_OK);
    // The one channel is busy for a quarter of a second: the new shot takes it over.
    EXPECT_EQ(FMOD_System_PlaySound(p.system, FMOD_CHANNEL_FREE, p.tir, 0, nullptr), FMOD_OK);
    EXPECT_EQ(Mix_Playing(-1), 1);
    EXPECT_EQ(Mix_Paused(-1), 0);
}

TEST(Son, UnTirSansFlashSeFaitEntendre)
{
    std::string fichier = testing::TempDir() + "gavremo_son.raw";
    remove(fichier.c_str());
    setenv("SDL_AUDIODRIVER", "disk", 1);
    setenv("SDL_DISKAUDIOFILE", fichier.c_str(), 1);
    setenv("SDL_DISKAUDIODELAY", "5", 1);
    static Partie p;
    ASSERT_EQ(Demarrer(p), 0);
    ASSERT_NE(p.tir, nullptr);
    Vider();

    // Reads the samples written so far, waiting until at least `octets` are there.
    auto Lire = [&](size_t octets) {
        std::string s;
        for (int n = 0; n < 2000 && s.size() < octets; ++n) {
            SDL_Delay(5);
            std::ifstream f(fichier, std::ios::binary);
            s.assign(std::istreambuf_iterator<char>(f), {});
        }
        return s;
    };
    auto Muet = [](const std::string& s, size_t depuis) {
        return s.find_first_not_of('\0', depuis) == std::string::npos;
    };

    p.points = 100;
    p.i = 1;
    Bouton(5, 5);
    Passe(p, 10);
    EXPECT_TRUE(Egal(Pixel(p.screen, 590, 300), GRIS));
    std::string apresFlash = Lire(200000);   // more than a second of output
    ASSERT_GE(apresFlash.size(), 200000u);
    EXPECT_TRUE(Muet(apresFlash, 0));

    p.i = 0;
    Bouton(5, 5);
    Passe(p, 20);
    std::string apresTir = Lire(apresFlash.size() + 200000);
    EXPECT_FALSE(Muet(apresTir, apresFlash.size()));

    Mix_CloseAudio();
    SDL_Quit();
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    remove(fichier.c_str());
}

TEST_F(Jeu, EcranPerduCentreEtAttendUneTouche)
{
    char modele[] = "/tmp/gavremo_perduXXXXXX";
    ASSERT_NE(mkdtemp(modele), nullptr);
    std::string dossier = modele;
    ASSERT_EQ(system(("mkdir -p " + dossier + "/rsrc_img").c_str()), 0);
    SDL_Surface* image = SDL_CreateRGBSurface(SDL_SWSURFACE, 200, 100, 32, 0xff0000, 0xff00, 0xff, 0);
    SDL_FillRect(image, nullptr, SDL_MapRGB(image->format, 0, 200, 0));
    // The loader knows a picture by its content, not its name.
    ASSERT_EQ(SDL_SaveBMP(image, (dossier + "/" IMG_PERDU).c_str()), 0);
    SDL_FreeSurface(image);

    Passe(p, 51);   // renders the best-score line
    SDL_Surface* ligne = p.temps;
    p.ptnMax = 50;
    Touche(SDL_KEYUP, SDLK_a);
    Mouvement(10, 10);
    Bouton(10, 10);
    Touche(SDL_KEYDOWN, SDLK_a);
    Touche(SDL_KEYUP, SDLK_b);   // still queued afterwards: the press ended the screen
    ASSERT_EQ(chdir(dossier.c_str()), 0);
    EcranPerdu(p);
    EXPECT_EQ(attentes, 4);
    ASSERT_EQ(chdir(PROJET), 0);
    EXPECT_EQ(p.ctn, 0);
    EXPECT_EQ(p.event.type, SDL_KEYDOWN);
    SDL_Event reste;
    ASSERT_EQ(SDL_PollEvent(&reste), 1);
    EXPECT_EQ(reste.key.keysym.sym, SDLK_b);

    EXPECT_EQ(p.posTarget.x, 200);
    EXPECT_EQ(p.posTarget.y, 250);
    EXPECT_TRUE(Egal(Pixel(p.screen, 200, 250), SDL_Color{0, 200, 0, 0}));
    EXPECT_TRUE(Egal(Pixel(p.screen, 399, 349), SDL_Color{0, 200, 0, 0}));
    EXPECT_TRUE(Egal(Pixel(p.screen, 199, 250), NOIR));
    EXPECT_TRUE(Egal(Pixel(p.screen, 400, 350), NOIR));
    // The best-score line as last rendered, not the newer best score.
    EXPECT_EQ(p.temps, ligne);
    EXPECT_STREQ(p.temp, "Points Max : 1");
    bool rouge = false;
    for (int x = 0; x < p.temps->w; ++x)
        for (int y = 0; y < p.temps->h; ++y)
            rouge = rouge || Egal(Pixel(p.screen, x, y), ROUGE);
    EXPECT_TRUE(rouge);
    EXPECT_TRUE(Egal(Pixel(p.screen, 300, 590), NOIR));   // no ground, no banner

    std::filesystem::remove_all(dossier);
}

TEST_F(Jeu, EcranPerduSansImageNiLigne)
{
    p.ctn = 1;
    ASSERT_EQ(chdir("/"), 0);
    SDL_Event e{};
    e.type = SDL_QUIT;
    Pousser(e);
    testing::internal::CaptureStderr();
    EcranPerdu(p);
    std::string erreurs = testing::internal::GetCapturedStderr();
    ASSERT_EQ(chdir(PROJET), 0);
    EXPECT_EQ(p.ctn, 0);
    EXPECT_EQ(p.target, nullptr);
    EXPECT_NE(erreurs.find(IMG_PERDU), std::string::npos) << erreurs;
    EXPECT_EQ(std::count(erreurs.begin(), erreurs.end(), '\n'), 1);
    for (int y = 0; y < HAUTEUR; y += 7)
        for (int x = 0; x < LARGEUR; x += 7)
            ASSERT_TRUE(Egal(Pixel(p.screen, x, y), NOIR)) << x << "," << y;
}

TEST_F(Jeu, FinLibereEtSalue)
{
    Passe(p, 51);
    SDL_Surface* surfaces[] = {p.bmp, p.target, p.texte, p.temps, p.point};
    for (SDL_Surface* s : surfaces)
        s->refcount++;   // so that the frees can be counted
    testing::internal::CaptureStdout();
    EXPECT_EQ(Terminer(p), 0);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "Exited cleanly\n");
    for (SDL_Surface* s : surfaces) {
        EXPECT_EQ(s->refcount, 1);
        SDL_FreeSurface(s);
    }
    p.bmp = p.target = p.texte = p.temps = p.point = nullptr;
}

// A long game of random input through the real pass, checking after every pass
// what must always hold. GAVREMO_GRAINE replays a failing run; GAVREMO_PASSES
// shortens it where every pass is slow (valgrind).
TEST_F(Jeu, LonguePartieAuHasard)
{
    const char* g = getenv("GAVREMO_GRAINE");
    unsigned graine = g ? unsigned(strtoul(g, nullptr, 10)) : unsigned(time(nullptr));
    SCOPED_TRACE("GAVREMO_GRAINE=" + std::to_string(graine));
    srand(graine);   // Alea's draws too, once it has seeded itself: it seeds only once
    Alea(0, 0);
    srand(graine);
    auto Hasard = [](int n) { return rand() % n; };

    const char* combien = getenv("GAVREMO_PASSES");
    const int passes = combien ? atoi(combien) : 100000;
    int t = 0, touches = 0;
    p.points = 2000;   // a head start, so that the first misses do not end the game
    long tas1000 = 0;
    int n = 0;
    for (; n < passes + 1000 && p.ctn; ++n) {
        bool jouer = n < passes;   // afterwards only misses and escapes, towards the end
        if (n == passes)
            p.points = 10;
        // A fresh lifetime now and then: past 150 hits no target can be caught, and
        // one long run should cover many games' worth of passes.
        if (jouer && p.difficultee < 100)
            p.difficultee = 3000;
        int r = Hasard(100);
        if (r < 30 && jouer) {
            int x = p.posTarget.x + 1 + Hasard(63), y = p.posTarget.y + 1 + Hasard(63);
            Bouton(x, y, Uint8(1 + Hasard(5)));
        } else if (r < 40) {
            Bouton(Hasard(600), Hasard(600), Uint8(1 + Hasard(5)));
        } else if (r < 60) {
            int bords[] = {0, 1, 599, 65535};
            Mouvement(Hasard(2) ? Hasard(600) : bords[Hasard(4)], Hasard(2) ? Hasard(600) : bords[Hasard(4)]);
        } else if (r < 65) {
            Touche(Hasard(2) ? SDL_KEYDOWN : SDL_KEYUP, Hasard(2) ? SDLK_SPACE : SDLKey(Hasard(300)));
        } else if (r < 68) {
            SDL_Event e{};
            e.type = Uint8(SDL_ACTIVEEVENT + Hasard(3) * 10);   // focus, joystick, resize
            Pousser(e);
        }
        int pas[] = {0, 1, 2, 5, 17, 30, 49, 50, 51, 200, 3001, 6000};
        t += Hasard(10) < 8 ? Hasard(6) : pas[Hasard(12)];

        Partie avant = p;
        Passe(p, t);
        if (!p.ctn)
            break;
        bool touche = p.difficultee == avant.difficultee - 20;
        ASSERT_TRUE(touche || p.difficultee == avant.difficultee);
        touches += touche;
        bool fuite = t - avant.tp > avant.difficultee && avant.trgt;
        int ecart = p.points - avant.points + (fuite ? 15 : 0);
        if (touche)
            ASSERT_GE(ecart, 0);
        else
            ASSERT_TRUE(ecart == 0 || ecart == -1) << ecart;
        ASSERT_GE(p.ptnMax, avant.ptnMax);
        ASSERT_GE(p.ptnMax, avant.points);
        ASSERT_GE(p.i, avant.i);
        int x = p.posTarget.x, y = p.posTarget.y;
        ASSERT_TRUE((x >= 64 && x <= 536 && y >= 128 && y <= 472) || (x == 600 && y == 600)
                    || (x == 128 && y == 128)) << x << "," << y;
        if (n == 1000)
            tas1000 = mallinfo2().uordblks;
        if (n == passes - 1 && tas1000 && passes >= 100000) {
            // Every replaced rendering was released: the heap has not grown.
            EXPECT_LT(long(mallinfo2().uordblks) - tas1000, 64 * 1024);
        }
    }
    EXPECT_EQ(p.ctn, 0);
    EXPECT_GT(touches, passes / 100);
    EXPECT_GE(n, passes);   // the game lasted through the random part
    EXPECT_EQ(p.event.type, SDL_KEYDOWN);
    testing::internal::CaptureStdout();
    EXPECT_EQ(Terminer(p), 0);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "Exited cleanly\n");
    p.bmp = p.target = p.texte = p.temps = p.point = nullptr;
}

// Each file kept from the fuzzing is refused, or drawn, as every build must.
TEST(Fichiers, CorpusRefuseOuDessine)
{
    const std::string corpus = PROJET "/tests/fuzz/corpus";
    std::vector<Attendu> attendus = Attendus(corpus);
    ASSERT_GE(attendus.size(), 5u);
    for (const Attendu& a : attendus)
        EXPECT_EQ(Pris(corpus + "/" + a.fichier), !a.refuse) << a.fichier;
}
