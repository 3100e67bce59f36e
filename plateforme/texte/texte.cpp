// SDL_ttf 2.0.11's Solid text over FreeType, for the platforms that lack SDL_ttf (Windows,
// the web), drawn as Debian 12's SDL_ttf draws it: each glyph hinted as FreeType does by
// default, rendered one bit a pixel, and placed by the same whole-pixel rounding.
#include "texte.h"

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_GLYPH_H

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

const int LARGEUR_MAX = 16384;   // a damaged font can ask for lines wider than any screen

struct _TTF_Font {
    FT_Face face;
    unsigned char* donnees;   // the font file, which FreeType reads in place
    int taille;               // for a font of bitmaps only: which of its sizes
    int ascent, hauteur;
};

// Where a glyph sits, in whole pixels from the pen on the baseline, y upwards.
struct Glyphe {
    FT_UInt index;
    int minx, maxx, miny, maxy, avance;
};

static FT_Library bibliotheque;

// FreeType's 26.6 fixed point to whole pixels, in 64 bits so no damaged metric overflows.
static int Plancher(long long x)
{
    return int(x >> 6);
}
static int Plafond(long long x)
{
    return int((x + 63) >> 6);
}

extern "C" int TTF_Init(void)
{
    if (!bibliotheque && FT_Init_FreeType(&bibliotheque)) {
        TTF_SetError("Couldn't init FreeType engine");
        return -1;
    }
    return 0;
}

static unsigned char* LireFichier(const char* fichier, long* taille)
{
    // Plain stdio, which every platform's SDL 1.2 sits beside.
    FILE* f = fopen(fichier, "rb");
    if (!f)
        return nullptr;
    fseek(f, 0, SEEK_END);
    *taille = ftell(f);
    fseek(f, 0, SEEK_SET);
    unsigned char* donnees = *taille > 0 ? static_cast<unsigned char*>(malloc(size_t(*taille))) : nullptr;
    if (donnees && fread(donnees, size_t(*taille), 1, f) != 1) {
        free(donnees);
        donnees = nullptr;
    }
    fclose(f);
    return donnees;
}

// The first Unicode character map, as SDL_ttf picks it; FreeType's own choice otherwise.
static void ChoisirCarte(FT_Face face)
{
    for (int i = 0; i < face->num_charmaps; ++i) {
        FT_CharMap c = face->charmaps[i];
        if ((c->platform_id == 3 && (c->encoding_id == 1 || c->encoding_id == 0))
            || (c->platform_id == 2 && c->encoding_id == 1) || c->platform_id == 0) {
            FT_Set_Charmap(face, c);
            return;
        }
    }
}

extern "C" TTF_Font* TTF_OpenFont(const char* fichier, int points)
{
    if (!bibliotheque) {
        TTF_SetError("Library not initialized");
        return nullptr;
    }
    long taille = 0;
    unsigned char* donnees = LireFichier(fichier, &taille);
    if (!donnees) {
        TTF_SetError("Couldn't open %s", fichier);
        return nullptr;
    }
    TTF_Font* police = static_cast<TTF_Font*>(calloc(1, sizeof(TTF_Font)));
    if (!police || FT_New_Memory_Face(bibliotheque, donnees, taille, 0, &police->face)) {
        free(police);
        free(donnees);
        TTF_SetError("Couldn't load font file");
        return nullptr;
    }
    police->donnees = donnees;
    FT_Face face = police->face;
    ChoisirCarte(face);
    if (FT_IS_SCALABLE(face)) {
        // SDL_ttf's point size at 72 dpi: as many pixels to the em.
        if (FT_Set_Char_Size(face, 0, points * 64, 0, 0)) {
            TTF_CloseFont(police);
            TTF_SetError("Couldn't set font size");
            return nullptr;
        }
        FT_Fixed echelle = face->size->metrics.y_scale;
        police->ascent = Plafond(FT_MulFix(face->ascender, echelle));
        police->hauteur = police->ascent - Plafond(FT_MulFix(face->descender, echelle)) + 1;
    } else if (face->num_fixed_sizes > 0) {
        // A font of bitmaps only: the point size picks one of its sizes.
        police->taille = SDL_max(0, SDL_min(points, face->num_fixed_sizes - 1));
        const FT_Bitmap_Size& b = face->available_sizes[police->taille];
        if (FT_Set_Pixel_Sizes(face, FT_UInt(b.height), FT_UInt(b.width))) {
            TTF_CloseFont(police);
            TTF_SetError("Couldn't set font size");
            return nullptr;
        }
        police->ascent = police->hauteur = b.height;
    } else {
        TTF_CloseFont(police);
        TTF_SetError("Couldn't load font file");
        return nullptr;
    }
    return police;
}

extern "C" int TTF_FontHeight(const TTF_Font* police)
{
    return police->hauteur;
}

extern "C" void TTF_CloseFont(TTF_Font* police)
{
    if (!police)
        return;
    FT_Done_Face(police->face);
    free(police->donnees);
    free(police);
}

// Loads a character's glyph, hinted, into the face's slot; false with the error set.
static bool Charger(TTF_Font* police, unsigned char c, Glyphe* g)
{
    FT_Face face = police->face;
    g->index = FT_Get_Char_Index(face, c);
    if (FT_Load_Glyph(face, g->index, FT_LOAD_DEFAULT)) {
        TTF_SetError("Couldn't find glyph");
        return false;
    }
    const FT_Glyph_Metrics& m = face->glyph->metrics;
    g->minx = Plancher(m.horiBearingX);
    g->maxy = Plancher(m.horiBearingY);
    g->avance = Plafond(m.horiAdvance);
    if (FT_IS_SCALABLE(face)) {
        g->maxx = g->minx + Plafond(m.width);
        g->miny = g->maxy - Plafond(m.height);
    } else {
        g->maxx = g->minx + Plafond(m.horiAdvance);
        g->miny = g->maxy - Plafond(face->available_sizes[police->taille].height);
    }
    return true;
}

static int Crenage(FT_Face face, FT_UInt avant, FT_UInt apres)
{
    FT_Vector delta;
    if (!FT_HAS_KERNING(face) || !avant || !apres || FT_Get_Kerning(face, avant, apres, FT_KERNING_DEFAULT, &delta))
        return 0;
    return int(delta.x >> 6);
}

// Whether pixel x of a rendered row is ink: set bits of a one-bit glyph, the upper half
// of the scale for the grey bitmaps some fonts embed.
static bool Encre(const FT_Bitmap& b, const unsigned char* ligne, unsigned x)
{
    switch (b.pixel_mode) {
    case FT_PIXEL_MODE_MONO:
        return ligne[x / 8] & (0x80 >> x % 8);
    case FT_PIXEL_MODE_GRAY2:
        return (ligne[x / 4] >> (6 - 2 * (x % 4)) & 3) >= 2;
    case FT_PIXEL_MODE_GRAY4:
        return (ligne[x / 2] >> (4 - 4 * (x % 2)) & 15) >= 8;
    case FT_PIXEL_MODE_GRAY:
        return ligne[x] >= 0x80;
    default:
        return false;   // colour glyphs have no place in a one-colour line
    }
}

// Gives back the glyphs kept from the measure, and returns what the caller returns.
static Uint8* Rendre(std::vector<FT_Glyph>& glyphes, Uint8* encre)
{
    for (FT_Glyph g : glyphes)
        FT_Done_Glyph(g);
    return encre;
}

Uint8* TracerTexte(TTF_Font* police, const char* texte, int* largeur, int* hauteur)
{
    if (!police || !texte) {
        TTF_SetError("Passed a NULL pointer");
        return nullptr;
    }
    // The line reaches the furthest of each glyph's advance and ink, and from the first
    // glyph's ink left of the pen; it is at least the font's height, more if a glyph
    // reaches below. Each glyph is loaded once, and kept unrendered until the line's
    // size is known to be sane: a damaged font's glyph can be huge.
    size_t n = strlen(texte);
    std::vector<Glyphe> places(n);
    std::vector<FT_Glyph> glyphes;
    glyphes.reserve(n);
    long long x = 0, minx = 0, maxx = 0;
    int miny = 0;
    FT_UInt avant = 0;
    for (size_t i = 0; i < n; ++i) {
        Glyphe& g = places[i];
        if (!Charger(police, static_cast<unsigned char>(texte[i]), &g))
            return Rendre(glyphes, nullptr);
        FT_Glyph copie;
        if (FT_Get_Glyph(police->face->glyph, &copie)) {
            TTF_SetError("Couldn't find glyph");
            return Rendre(glyphes, nullptr);
        }
        glyphes.push_back(copie);
        x += Crenage(police->face, avant, g.index);
        minx = SDL_min(minx, x + g.minx);
        maxx = SDL_max(maxx, x + SDL_max(g.avance, g.maxx));
        miny = SDL_min(miny, g.miny);
        x += g.avance;
        avant = g.index;
    }
    long long l = maxx - minx, h = SDL_max(police->hauteur, police->ascent - (long long)miny);
    if (l <= 0) {
        TTF_SetError("Text has zero width");
        return Rendre(glyphes, nullptr);
    }
    // A damaged font's metrics can make a line of no height, or one higher than any screen.
    if (h <= 0 || l > LARGEUR_MAX || h > LARGEUR_MAX) {
        TTF_SetError("Text of no height or too large");
        return Rendre(glyphes, nullptr);
    }
    Uint8* encre = static_cast<Uint8*>(calloc(size_t(l * h), 1));
    if (!encre) {
        TTF_SetError("Out of memory");
        return Rendre(glyphes, nullptr);
    }

    x = 0;
    avant = 0;
    for (size_t i = 0; i < n; ++i) {
        const Glyphe& g = places[i];
        // The same rasterizer as FT_Render_Glyph on the slot; the copy is replaced by its bitmap.
        if (FT_Glyph_To_Bitmap(&glyphes[i], FT_RENDER_MODE_MONO, nullptr, 1)) {
            TTF_SetError("Couldn't find glyph");
            free(encre);
            return Rendre(glyphes, nullptr);
        }
        const FT_Bitmap& b = reinterpret_cast<FT_BitmapGlyph>(glyphes[i])->bitmap;
        x += Crenage(police->face, avant, g.index);
        if (i == 0 && g.minx < 0)
            x -= g.minx;   // a first glyph reaching left of the pen is moved right into the line
        // FreeType can give a glyph more columns than its box: the box wins.
        long long colonnes = SDL_min((long long)b.width, (long long)g.maxx - g.minx);
        for (unsigned rang = 0; rang < b.rows; ++rang) {
            long long ys = police->ascent - g.maxy + (long long)rang;
            if (ys < 0 || ys >= h)
                continue;
            const unsigned char* ligne = b.buffer + (long long)rang * b.pitch;
            for (long long xg = 0; xg < colonnes; ++xg) {
                long long xs = x + g.minx + xg;
                if (xs >= 0 && xs < l && Encre(b, ligne, unsigned(xg)))
                    encre[ys * l + xs] = 1;
            }
        }
        x += g.avance;
        avant = g.index;
    }
    *largeur = int(l);
    *hauteur = int(h);
    return Rendre(glyphes, encre);
}
