// SDL_ttf's Solid text over stb_truetype, for the platforms that lack SDL_ttf (Windows, the web):
// the font is scaled to its point size in pixels per em (72 dpi), lines are
// ascent - descent + 1 pixels high, and a pixel is ink where the outline covers half of it.
#include "texte.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

#define STB_TRUETYPE_IMPLEMENTATION
#include <stb_truetype.h>

const int ENCRE = 128;   // coverage from which a pixel is ink: solid text has no shades

struct _TTF_Font {
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

extern "C" int TTF_Init(void)
{
    return 0;
}

extern "C" TTF_Font* TTF_OpenFont(const char* fichier, int points)
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
    unsigned char* donnees = static_cast<unsigned char*>(malloc(taille > 0 ? size_t(taille) : 1));
    bool lu = police && donnees && taille > 0 && fread(donnees, size_t(taille), 1, f) == 1;
    fclose(f);
    int debut = lu ? stbtt_GetFontOffsetForIndex(donnees, 0) : -1;
    if (debut < 0 || !stbtt_InitFont(&police->info, donnees, debut) || points <= 0) {
        free(donnees);
        free(police);
        TTF_SetError("Couldn't load font file");
        return nullptr;
    }
    // SDL_ttf kerns through FreeType, which reads the kern table only, never GPOS.
    police->donnees = donnees;
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

extern "C" int TTF_FontHeight(const TTF_Font* police)
{
    return police->hauteur;
}

Uint8* TracerTexte(TTF_Font* police, const char* texte, int* largeur)
{
    if (!police || !texte) {
        TTF_SetError("Passed a NULL pointer");
        return nullptr;
    }
    // The width reaches the furthest of each glyph's advance and its ink.
    int x = 0, l = 0, avant = 0;
    for (const char* c = texte; *c; ++c) {
        Glyphe g = Mesurer(police, static_cast<unsigned char>(*c));
        x += Crenage(police, avant, g.index);
        l = SDL_max(l, x + SDL_max(g.avance, g.x1));
        x += g.avance;
        avant = g.index;
    }
    if (l <= 0) {
        TTF_SetError("Text has zero width");
        return nullptr;
    }
    Uint8* encre = static_cast<Uint8*>(calloc(size_t(l) * police->hauteur, 1));
    if (!encre) {
        TTF_SetError("Out of memory");
        return nullptr;
    }

    x = 0;
    avant = 0;
    Uint8* gris = nullptr;
    for (const char* c = texte; *c; ++c) {
        Glyphe g = Mesurer(police, static_cast<unsigned char>(*c));
        x += Crenage(police, avant, g.index);
        if (c == texte && g.x0 < 0)
            x -= g.x0;   // a first glyph reaching left of the pen is moved right into the line
        int lg = g.x1 - g.x0, hg = g.y1 - g.y0;
        // Without room for its pixels a glyph is left blank; its advance still counts.
        Uint8* plus = lg > 0 && hg > 0 ? static_cast<Uint8*>(realloc(gris, size_t(lg) * hg)) : nullptr;
        if (plus) {
            gris = plus;
            stbtt_MakeGlyphBitmap(&police->info, gris, lg, hg, lg, police->echelle, police->echelle, g.index);
            for (int y = 0; y < hg; ++y) {
                int ys = police->ascent + g.y0 + y;
                for (int xg = 0; xg < lg && ys >= 0 && ys < police->hauteur; ++xg) {
                    int xs = x + g.x0 + xg;
                    if (xs >= 0 && xs < l && gris[y * lg + xg] >= ENCRE)
                        encre[ys * l + xs] = 1;
                }
            }
        }
        x += g.avance;
        avant = g.index;
    }
    free(gris);
    *largeur = l;
    return encre;
}
