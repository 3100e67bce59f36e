// The stand-ins for SDL_image and SDL_ttf, on what the game relies on: the pixels
// and lines of the Linux game (tests/bureau.txt), transparency, refusals. Run in a
// folder with the game's pictures and font.
#include <gtest/gtest.h>

#include "../corpus.h"

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>

namespace {

std::string Lire(const char* chemin)
{
    std::ifstream f(chemin, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(f), {});
}

// Loads the first `octets` bytes of a picture, or all but the last -octets.
SDL_Surface* Tronquee(const char* chemin, long octets)
{
    std::string d = Lire(chemin);
    d.resize(octets > 0 ? size_t(octets) : d.size() + octets);
    std::ofstream("coupe.img", std::ios::binary) << d;
    SDL_Surface* s = IMG_Load("coupe.img");
    std::remove("coupe.img");
    return s;
}

Uint32 Pixel(SDL_Surface* s, int x, int y)
{
    Uint8* p = static_cast<Uint8*>(s->pixels) + y * s->pitch + x * s->format->BytesPerPixel;
    return s->format->BytesPerPixel == 1 ? *p : *reinterpret_cast<Uint32*>(p);
}

// As tests/bureau.c hashes a picture: FNV-1a over each pixel's red, green and blue.
Uint32 Empreinte(SDL_Surface* s)
{
    Uint32 h = 2166136261u;
    for (int y = 0; y < s->h; ++y)
        for (int x = 0; x < s->w; ++x) {
            Uint8 rvb[3];
            SDL_GetRGB(Pixel(s, x, y), s->format, &rvb[0], &rvb[1], &rvb[2]);
            for (Uint8 c : rvb)
                h = (h ^ c) * 16777619u;
        }
    return h;
}

} // namespace

TEST(Image, LesPixelsDuJeuSousLinuxEtLaTransparence)
{
    // Every picture as SDL_image gives it on Debian 12.
    std::istringstream bureau(Lire("bureau.txt"));
    std::string nom;
    int largeur, hauteur, images = 0;
    unsigned empreinte;
    while (bureau >> nom >> largeur >> hauteur >> std::hex >> empreinte >> std::dec && nom.rfind("rsrc_img/", 0) == 0) {
        SDL_Surface* s = IMG_Load(nom.c_str());
        ASSERT_NE(s, nullptr) << nom << ": " << IMG_GetError();
        EXPECT_EQ(s->w, largeur) << nom;
        EXPECT_EQ(s->h, hauteur) << nom;
        EXPECT_EQ(Empreinte(s), empreinte) << nom;
        SDL_FreeSurface(s);
        ++images;
    }
    EXPECT_EQ(images, 4);

    // The sprite over grey: its corner shows the grey, its crosshair its green.
    SDL_Surface* curseur = IMG_Load("rsrc_img/curseur.gif");
    ASSERT_NE(curseur, nullptr);
    SDL_Surface* fond = SDL_CreateRGBSurface(SDL_SWSURFACE, 32, 32, 32, 0xFF0000, 0xFF00, 0xFF, 0);
    Uint32 gris = SDL_MapRGB(fond->format, 100, 100, 100);
    SDL_FillRect(fond, nullptr, gris);
    SDL_BlitSurface(curseur, nullptr, fond, nullptr);
    EXPECT_EQ(Pixel(fond, 0, 0), gris);
    EXPECT_EQ(Pixel(fond, 31, 31), gris);
    Uint8 r, v, b;
    SDL_GetRGB(Pixel(fond, 15, 2), fond->format, &r, &v, &b);
    EXPECT_GT(v, 200);
    EXPECT_LT(r, 100);
    SDL_FreeSurface(fond);
    SDL_FreeSurface(curseur);

    // A GIF cut anywhere, even just before its trailer, is refused with a reason; a
    // JPEG cut after its header is drawn as far as it goes, as SDL_image does (the
    // game's own check refuses it), and one cut inside its header is refused.
    for (long octets : {-1L, 60L, 20L})
        EXPECT_EQ(Tronquee("rsrc_img/curseur.gif", octets), nullptr) << octets;
    for (long octets : {-2L, 2000L}) {
        SDL_Surface* s = Tronquee("rsrc_img/perdu.jpg", octets);
        EXPECT_NE(s, nullptr) << octets;
        SDL_FreeSurface(s);
    }
    EXPECT_EQ(Tronquee("rsrc_img/perdu.jpg", 400), nullptr);
    EXPECT_EQ(Tronquee("bureau.txt", 100), nullptr);
    EXPECT_NE(std::string(IMG_GetError()), "");
    EXPECT_EQ(IMG_Load("rsrc_img/absente.jpg"), nullptr);
}

TEST(Texte, LesLignesDuJeuSousLinuxEtLeFond)
{
    ASSERT_EQ(TTF_Init(), 0);
    EXPECT_EQ(TTF_OpenFont("font/absente.ttf", 36), nullptr);
    EXPECT_EQ(TTF_OpenFont("bureau.txt", 36), nullptr);
    TTF_Font* police = TTF_OpenFont("font/MorrisRomanBlack.ttf", 36);
    ASSERT_NE(police, nullptr) << TTF_GetError();

    // Each line's ink, pixel for pixel, as SDL_ttf draws it on Debian 12.
    std::istringstream bureau(Lire("bureau.txt"));
    std::string texte;
    int lignes = 0;
    SDL_Color rouge{255, 0, 0, 0};
    while (std::getline(bureau, texte)) {
        int largeur, hauteur;
        if (texte.rfind("rsrc_img/", 0) == 0 || !(bureau >> largeur >> hauteur))
            continue;
        SDL_Surface* s = TTF_RenderText_Solid(police, texte.c_str(), rouge);
        ASSERT_NE(s, nullptr) << texte;
        EXPECT_EQ(s->format->BitsPerPixel, 8);
        ASSERT_EQ(s->w, largeur) << texte;
        ASSERT_EQ(s->h, hauteur) << texte;
        int faux = 0;
        std::string rang;
        for (int y = 0; y < hauteur && bureau >> rang; ++y)
            for (int x = 0; x < largeur; ++x)
                faux += (Pixel(s, x, y) != 0) != (rang[size_t(x)] == '#');
        EXPECT_EQ(faux, 0) << texte;
        bureau.ignore();
        ++lignes;

        // Over blue: the background stays blue, the text is red where it was drawn.
        SDL_Surface* fond = SDL_CreateRGBSurface(SDL_SWSURFACE, s->w, s->h, 32, 0xFF0000, 0xFF00, 0xFF, 0);
        Uint32 bleu = SDL_MapRGB(fond->format, 0, 0, 255), rouge32 = SDL_MapRGB(fond->format, 255, 0, 0);
        SDL_FillRect(fond, nullptr, bleu);
        SDL_BlitSurface(s, nullptr, fond, nullptr);
        faux = 0;
        for (int y = 0; y < s->h; ++y)
            for (int x = 0; x < s->w; ++x)
                faux += Pixel(fond, x, y) != (Pixel(s, x, y) ? rouge32 : bleu);
        EXPECT_EQ(faux, 0) << texte;
        SDL_FreeSurface(fond);
        SDL_FreeSurface(s);
    }
    EXPECT_EQ(lignes, 10);
    EXPECT_EQ(TTF_RenderText_Solid(police, "", rouge), nullptr);
    TTF_CloseFont(police);
}

// Each file kept from the fuzzing is refused, or drawn, as on Linux.
TEST(Fichiers, CorpusRefuseOuDessine)
{
    std::vector<Attendu> attendus = Attendus("corpus");
    ASSERT_GE(attendus.size(), 5u);
    for (const Attendu& a : attendus)
        EXPECT_EQ(Pris("corpus/" + a.fichier), !a.refuse) << a.fichier;
}
