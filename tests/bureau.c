/* Prints what the desktop game draws, against which the Windows and web builds are
 * checked: each picture's size and a hash of its pixels as SDL_image decodes them,
 * then each of the game's lines (plateforme/lisible.h) as SDL_ttf draws it, its text,
 * width and height and a row of '#' (ink) and '.' per pixel row. tests/bureau.txt is
 * its output on Debian 12:
 *   cc tests/bureau.c $(pkg-config --cflags --libs SDL_image SDL_ttf sdl) && ./a.out > tests/bureau.txt
 * "bureau tests/bureau.txt" compares instead, within what another FreeType draws
 * otherwise (Comparer), and says where it differs. */
#include "../plateforme/lisible.h"

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

/* Later FreeTypes hint a glyph's edges otherwise: a pixel may differ from Debian 12's
 * only on an edge there (ink and no ink among it and its eight neighbours), and no more
 * of them than this share of the line's ink. Debian 13's FreeType 2.13 and unstable's
 * 2.14 differ by 2 to 6 pixels a line, 0.3 % of its ink at most; one glyph drawn as
 * another differs by 11 %, the line a pixel higher by 25 %, a pixel aside by 44 %. */
#define PART_DES_BORDS 0.02

static char* Ligne(FILE* f, char* tampon, int taille)
{
    if (!fgets(tampon, taille, f))
        return NULL;
    tampon[strcspn(tampon, "\n")] = 0;
    return tampon;
}

/* Every picture line alike; every text the same, at the same size, its ink the same
 * but on its edges. Returns the number of faults, each printed. */
static int Comparer(FILE* ref, FILE* mien)
{
    static char a[4096], b[4096], texte[4096];
    static char encre[64][1024], autre[64][1024];
    int fautes = 0;
    for (int i = 0; i < 4; ++i)
        if (!Ligne(ref, a, sizeof a) || !Ligne(mien, b, sizeof b) || strcmp(a, b) != 0) {
            printf("picture: %s\n   here: %s\n", a, b);
            ++fautes;
        }
    while (Ligne(ref, a, sizeof a)) {
        int l, h, l2, h2;
        if (!Ligne(mien, b, sizeof b) || strcmp(a, b) != 0) {
            printf("text \"%s\" where \"%s\" was drawn\n", b, a);
            return fautes + 1;
        }
        strcpy(texte, a);
        if (!Ligne(ref, a, sizeof a) || !Ligne(mien, b, sizeof b) || sscanf(a, "%d %d", &l, &h) != 2 ||
            sscanf(b, "%d %d", &l2, &h2) != 2 || l != l2 || h != h2 || h > 64 || l > 1000) {
            printf("size %s here, %s on Debian 12\n", b, a);
            return fautes + 1;
        }
        int ink = 0, ecarts = 0, hors_bord = 0;
        for (int y = 0; y < h; ++y)
            if (!Ligne(ref, encre[y], sizeof encre[y]) || !Ligne(mien, autre[y], sizeof autre[y]))
                return fautes + 1;
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < l; ++x) {
                ink += encre[y][x] == '#';
                if (encre[y][x] == autre[y][x])
                    continue;
                ++ecarts;
                int vu[2] = {0, 0};
                for (int j = y - 1; j <= y + 1; ++j)
                    for (int i = x - 1; i <= x + 1; ++i)
                        if (j >= 0 && j < h && i >= 0 && i < l)
                            vu[encre[j][i] == '#'] = 1;
                if (!(vu[0] && vu[1])) {
                    printf("\"%s\": pixel %d,%d off any edge\n", texte, x, y);
                    ++hors_bord;
                }
            }
        printf("\"%s\": %d of %d ink pixels differ (%.1f %%)\n", texte, ecarts, ink,
               100.0 * ecarts / (ink ? ink : 1));
        if (hors_bord || ecarts > PART_DES_BORDS * ink)
            ++fautes;
    }
    if (Ligne(mien, b, sizeof b)) {
        printf("more lines than on Debian 12: %s\n", b);
        ++fautes;
    }
    return fautes;
}

/* FNV-1a over the red, green and blue of every pixel, row by row. */
static Uint32 Empreinte(SDL_Surface* s)
{
    Uint32 h = 2166136261u;
    for (int y = 0; y < s->h; ++y)
        for (int x = 0; x < s->w; ++x) {
            Uint8* p = (Uint8*)s->pixels + y * s->pitch + x * s->format->BytesPerPixel;
            Uint32 v = 0;
            memcpy(&v, p, s->format->BytesPerPixel);
            Uint8 rvb[3];
            SDL_GetRGB(v, s->format, &rvb[0], &rvb[1], &rvb[2]);
            for (int c = 0; c < 3; ++c)
                h = (h ^ rvb[c]) * 16777619u;
        }
    return h;
}

static int Dessiner(FILE* f)
{
    static const char* images[] = {"rsrc_img/target.jpg", "rsrc_img/terrain.jpg", "rsrc_img/perdu.jpg",
                                   "rsrc_img/curseur.bmp"};
    for (size_t i = 0; i < sizeof images / sizeof *images; ++i) {
        SDL_Surface* s = IMG_Load(images[i]);
        if (!s)
            return 1;
        fprintf(f, "%s %d %d %08x\n", images[i], s->w, s->h, Empreinte(s));
        SDL_FreeSurface(s);
    }
    TTF_Font* police = TTF_Init() == 0 ? TTF_OpenFont("font/MorrisRomanBlack.ttf", 36) : NULL;
    if (!police)
        return 1;
    for (size_t i = 0; i < sizeof LIGNES_DU_JEU / sizeof *LIGNES_DU_JEU; ++i) {
        SDL_Color rouge = {255, 0, 0, 0};
        SDL_Surface* s = TTF_RenderText_Solid(police, LIGNES_DU_JEU[i], rouge);
        if (!s)
            return 1;
        fprintf(f, "%s\n%d %d\n", LIGNES_DU_JEU[i], s->w, s->h);
        for (int y = 0; y < s->h; ++y) {
            for (int x = 0; x < s->w; ++x)
                fputc(((Uint8*)s->pixels)[y * s->pitch + x] ? '#' : '.', f);
            fputc('\n', f);
        }
        SDL_FreeSurface(s);
    }
    TTF_CloseFont(police);
    TTF_Quit();
    return 0;
}

int main(int argc, char** argv)
{
    if (argc == 1)
        return Dessiner(stdout);
    char* texte = NULL;
    size_t taille = 0;
    FILE* ref = fopen(argv[1], "r");
    FILE* dessin = open_memstream(&texte, &taille);
    if (!ref || !dessin || Dessiner(dessin) != 0)
        return 2;
    fclose(dessin);
    FILE* mien = fmemopen(texte, taille, "r");
    int fautes = Comparer(ref, mien);
    printf(fautes ? "%d faults\n" : "the same, within the edges\n", fautes);
    return fautes != 0;
}
