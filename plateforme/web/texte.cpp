// The few SDL_ttf calls the game makes, drawn with the game's own font file: the
// browser's built-in version would draw with a browser font. Measures follow the
// desktop SDL_ttf, so the lines keep their size and place.
#include <SDL.h>
#include <SDL_ttf.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#define STB_TRUETYPE_IMPLEMENTATION
#include <stb_truetype.h>

const int ENCRE = 128;   // coverage from which a pixel is drawn: solid text has no shades

struct _TTF_Font {
    unsigned char* donnees;
    stbtt_fontinfo info;
    float echelle;
    int ascent, hauteur;
};

extern "C" int TTF_Init(void)
{
    return 0;
}

extern "C" TTF_Font* TTF_OpenFont(const char* fichier, int taille)
{
    FILE* f = fopen(fichier, "rb");
    if (!f) {
        SDL_SetError("Couldn't open %s", fichier);
        return nullptr;
    }
    fseek(f, 0, SEEK_END);
    long n = ftell(f);
    fseek(f, 0, SEEK_SET);
    auto* police = new _TTF_Font{};
    police->donnees = static_cast<unsigned char*>(malloc(size_t(n > 0 ? n : 1)));
    bool lue = n > 0 && fread(police->donnees, 1, size_t(n), f) == size_t(n);
    fclose(f);
    if (!lue || !stbtt_InitFont(&police->info, police->donnees, stbtt_GetFontOffsetForIndex(police->donnees, 0))) {
        SDL_SetError("Couldn't load font file %s", fichier);
        free(police->donnees);
        delete police;
        return nullptr;
    }
    // A size in points at 72 dpi is the em in pixels, as FreeType takes it.
    police->echelle = stbtt_ScaleForMappingEmToPixels(&police->info, float(taille));
    int asc, desc, interligne;
    stbtt_GetFontVMetrics(&police->info, &asc, &desc, &interligne);
    police->ascent = int(std::ceil(asc * police->echelle));
    int descent = int(std::ceil(desc * police->echelle));
    police->hauteur = police->ascent - descent + 1;   // the baseline's own row
    return police;
}

// Advance and kerning in whole pixels, as a hinted FreeType gives them.
static int Avance(TTF_Font* police, int c, int suivant)
{
    int avance, gauche;
    stbtt_GetCodepointHMetrics(&police->info, c, &avance, &gauche);
    int k = suivant ? stbtt_GetCodepointKernAdvance(&police->info, c, suivant) : 0;
    return int(std::lround(avance * police->echelle)) + int(std::lround(k * police->echelle));
}

extern "C" SDL_Surface* TTF_RenderText_Solid(TTF_Font* police, const char* texte, SDL_Color fg)
{
    if (!police || !texte) {
        SDL_SetError("Passed a NULL pointer");
        return nullptr;
    }
    const unsigned char* t = reinterpret_cast<const unsigned char*>(texte);
    size_t n = strlen(texte);

    // The box spans from the leftmost ink to the farthest of ink and advance.
    int x = 0, minx = 0, maxx = 0;
    for (size_t i = 0; i < n; ++i) {
        int x0, y0, x1, y1;
        stbtt_GetCodepointBitmapBox(&police->info, t[i], police->echelle, police->echelle, &x0, &y0, &x1, &y1);
        int avance = Avance(police, t[i], 0);
        if (x + x0 < minx)
            minx = x + x0;
        int droite = x + (avance > x1 ? avance : x1);
        if (droite > maxx)
            maxx = droite;
        x += Avance(police, t[i], i + 1 < n ? t[i + 1] : 0);
    }
    int largeur = maxx - minx;
    if (largeur <= 0) {
        SDL_SetError("Text has zero width");
        return nullptr;
    }

    SDL_Surface* s = SDL_CreateRGBSurface(SDL_SWSURFACE, largeur, police->hauteur, 32,
                                          0x000000ff, 0x0000ff00, 0x00ff0000, 0xff000000);
    if (!s)
        return nullptr;
    SDL_LockSurface(s);
    memset(s->pixels, 0, size_t(s->pitch) * size_t(s->h));   // transparent where no ink
    Uint32 encre = Uint32(fg.r) | Uint32(fg.g) << 8 | Uint32(fg.b) << 16 | 0xff000000u;
    x = -minx;
    for (size_t i = 0; i < n; ++i) {
        int w, h, dx, dy;
        unsigned char* glyphe = stbtt_GetCodepointBitmap(&police->info, police->echelle, police->echelle,
                                                         t[i], &w, &h, &dx, &dy);
        for (int gy = 0; gy < h; ++gy)
            for (int gx = 0; gx < w; ++gx) {
                int px = x + dx + gx, py = police->ascent + dy + gy;
                if (glyphe[gy * w + gx] >= ENCRE && px >= 0 && px < s->w && py >= 0 && py < s->h)
                    static_cast<Uint32*>(s->pixels)[py * s->pitch / 4 + px] = encre;
            }
        stbtt_FreeBitmap(glyphe, nullptr);
        x += Avance(police, t[i], i + 1 < n ? t[i + 1] : 0);
    }
    SDL_UnlockSurface(s);
    return s;
}
