// Text as SDL_ttf 2.0 renders it in Solid mode, over stb_truetype: the font is
// scaled to its point size in pixels per em (72 dpi), lines are ascent - descent + 1
// pixels high, and a glyph's pixel is set where the outline covers half of it.
// Only plain SDL 1.2 surface calls, so any platform's SDL 1.2 can use it.
#include "SDL_ttf.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#define STB_TRUETYPE_IMPLEMENTATION
#define STBTT_STATIC
#include <stb_truetype.h>

struct TTF_Font {
    stbtt_fontinfo info;
    unsigned char* donnees;   // the font file, which stb_truetype reads in place
    float echelle;            // font units to pixels
    int points, em;           // pixels and font units to the em
    int ascent, hauteur;
};

// Where a glyph sits, in whole pixels from the pen on the baseline, y downwards.
struct Glyphe {
    int index, avance, x0, y0, x1, y1;
};

static Glyphe Mesurer(const TTF_Font* police, unsigned char c)
{
    Glyphe g;
    g.index = stbtt_FindGlyphIndex(&police->info, c);
    int avance, gauche;
    stbtt_GetGlyphHMetrics(&police->info, g.index, &avance, &gauche);
    // In whole numbers, as FreeType does: a scaled float can land just under a half.
    g.avance = int((2L * avance * police->points + police->em) / (2L * police->em));
    stbtt_GetGlyphBitmapBox(&police->info, g.index, police->echelle, police->echelle, &g.x0, &g.y0, &g.x1, &g.y1);
    return g;
}

static int Crenage(const TTF_Font* police, int avant, int apres)
{
    if (!avant || !apres)
        return 0;
    return int(std::lround(stbtt_GetGlyphKernAdvance(&police->info, avant, apres) * police->echelle));
}

int TTF_Init(void)
{
    return 0;
}

TTF_Font* TTF_OpenFont(const char* fichier, int points)
{
    // Plain stdio, which every platform's SDL 1.2 sits beside.
    FILE* f = fopen(fichier, "rb");
    if (!f) {
        TTF_SetError("Couldn't open %s", fichier);
        return nullptr;
    }
    fseek(f, 0, SEEK_END);
    long taille = ftell(f);
    fseek(f, 0, SEEK_SET);
    TTF_Font* police = static_cast<TTF_Font*>(calloc(1, sizeof(TTF_Font)));
    police->donnees = static_cast<unsigned char*>(malloc(taille > 0 ? size_t(taille) : 1));
    bool lu = taille > 0 && fread(police->donnees, size_t(taille), 1, f) == 1;
    fclose(f);
    int debut = lu ? stbtt_GetFontOffsetForIndex(police->donnees, 0) : -1;
    if (debut < 0 || !stbtt_InitFont(&police->info, police->donnees, debut) || points <= 0) {
        free(police->donnees);
        free(police);
        TTF_SetError("Couldn't load font file");
        return nullptr;
    }
    // SDL_ttf kerns through FreeType, which reads the kern table only, never GPOS.
    police->info.gpos = 0;
    police->echelle = stbtt_ScaleForMappingEmToPixels(&police->info, float(points));
    police->points = points;
    police->em = police->info.data[police->info.head + 18] << 8 | police->info.data[police->info.head + 19];
    int ascent, descent, ecart;
    stbtt_GetFontVMetrics(&police->info, &ascent, &descent, &ecart);
    police->ascent = int(std::ceil(ascent * police->echelle));
    police->hauteur = police->ascent - int(std::ceil(descent * police->echelle)) + 1;
    return police;
}

int TTF_FontHeight(const TTF_Font* police)
{
    return police->hauteur;
}

SDL_Surface* TTF_RenderText_Solid(TTF_Font* police, const char* texte, SDL_Color couleur)
{
    if (!police || !texte)
        return nullptr;
    // The width reaches the furthest of each glyph's advance and its ink.
    int x = 0, largeur = 0, avant = 0;
    for (const char* c = texte; *c; ++c) {
        Glyphe g = Mesurer(police, static_cast<unsigned char>(*c));
        x += Crenage(police, avant, g.index);
        largeur = SDL_max(largeur, x + SDL_max(g.avance, g.x1));
        x += g.avance;
        avant = g.index;
    }
    if (largeur <= 0) {
        TTF_SetError("Text has zero width");
        return nullptr;
    }
    SDL_Surface* s = SDL_CreateRGBSurface(SDL_SWSURFACE, largeur, police->hauteur, 8, 0, 0, 0, 0);
    if (!s)
        return nullptr;
    SDL_Color couleurs[2] = {{Uint8(255 - couleur.r), Uint8(255 - couleur.g), Uint8(255 - couleur.b), 0}, couleur};
    SDL_SetColors(s, couleurs, 0, 2);
    SDL_SetColorKey(s, SDL_SRCCOLORKEY, 0);
    SDL_FillRect(s, nullptr, 0);

    x = 0;
    avant = 0;
    Uint8* gris = nullptr;
    for (const char* c = texte; *c; ++c) {
        Glyphe g = Mesurer(police, static_cast<unsigned char>(*c));
        x += Crenage(police, avant, g.index);
        if (c == texte && g.x0 < 0)
            x -= g.x0;   // a first glyph reaching left of the pen is moved right into the surface
        int l = g.x1 - g.x0, h = g.y1 - g.y0;
        if (l > 0 && h > 0) {
            gris = static_cast<Uint8*>(realloc(gris, size_t(l) * h));
            stbtt_MakeGlyphBitmap(&police->info, gris, l, h, l, police->echelle, police->echelle, g.index);
            for (int y = 0; y < h; ++y) {
                int ys = police->ascent + g.y0 + y;
                for (int xg = 0; xg < l && ys >= 0 && ys < s->h; ++xg) {
                    int xs = x + g.x0 + xg;
                    if (xs >= 0 && xs < s->w && gris[y * l + xg] >= 128)
                        static_cast<Uint8*>(s->pixels)[ys * s->pitch + xs] = 1;
                }
            }
        }
        x += g.avance;
        avant = g.index;
    }
    free(gris);
    return s;
}
