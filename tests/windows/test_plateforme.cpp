// The stand-ins for SDL_image and SDL_ttf, on what the game relies on. Run in
// the unpacked game's folder, whose pictures and font they read.
#include <gtest/gtest.h>

#include <SDL_image.h>
#include <SDL_ttf.h>

#include <cstdio>
#include <fstream>
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

} // namespace

TEST(Image, TransparenceEtImagesCoupees)
{
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

    // Cut anywhere, even just before the trailer, and garbage: refused, with a reason.
    for (long octets : {-1L, 60L, 20L})
        EXPECT_EQ(Tronquee("rsrc_img/curseur.gif", octets), nullptr) << octets;
    for (long octets : {-2L, 2000L, 400L})
        EXPECT_EQ(Tronquee("rsrc_img/perdu.jpg", octets), nullptr) << octets;
    EXPECT_EQ(Tronquee("LISEZ-MOI.txt", 100), nullptr);
    EXPECT_NE(std::string(IMG_GetError()), "");
    EXPECT_EQ(IMG_Load("rsrc_img/absente.jpg"), nullptr);
}

TEST(Texte, HauteurLargeurEtFond)
{
    ASSERT_EQ(TTF_Init(), 0);
    EXPECT_EQ(TTF_OpenFont("font/absente.ttf", 36), nullptr);
    EXPECT_EQ(TTF_OpenFont("LISEZ-MOI.txt", 36), nullptr);
    TTF_Font* police = TTF_OpenFont("font/MorrisRomanBlack.ttf", 36);
    ASSERT_NE(police, nullptr) << TTF_GetError();

    // SDL_ttf 2.0.11 over FreeType 2.12 (Debian 12) gives these sizes; its hinting
    // moves some glyph edges by a pixel, hence the margin on the width.
    SDL_Color rouge{255, 0, 0, 0};
    for (auto [texte, largeur] : {std::pair{"Points Max : -2147483648", 299}, std::pair{"Dunvexa !", 118}}) {
        SDL_Surface* s = TTF_RenderText_Solid(police, texte, rouge);
        ASSERT_NE(s, nullptr) << texte;
        EXPECT_EQ(s->h, 41) << texte;
        EXPECT_NEAR(s->w, largeur, 3) << texte;
        EXPECT_EQ(s->format->BitsPerPixel, 8);

        // Over blue: the background stays blue, the text is red where it was drawn.
        SDL_Surface* fond = SDL_CreateRGBSurface(SDL_SWSURFACE, s->w, s->h, 32, 0xFF0000, 0xFF00, 0xFF, 0);
        Uint32 bleu = SDL_MapRGB(fond->format, 0, 0, 255), rouge32 = SDL_MapRGB(fond->format, 255, 0, 0);
        SDL_FillRect(fond, nullptr, bleu);
        SDL_BlitSurface(s, nullptr, fond, nullptr);
        int encre = 0, faux = 0;
        for (int y = 0; y < s->h; ++y)
            for (int x = 0; x < s->w; ++x) {
                bool ici = Pixel(s, x, y) != 0;
                encre += ici;
                faux += Pixel(fond, x, y) != (ici ? rouge32 : bleu);
            }
        EXPECT_EQ(faux, 0) << texte;
        EXPECT_GT(encre, s->w * 3) << texte;
        SDL_FreeSurface(fond);
        SDL_FreeSurface(s);
    }
    EXPECT_EQ(TTF_RenderText_Solid(police, "", rouge), nullptr);
}
