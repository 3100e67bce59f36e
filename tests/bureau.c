/* Prints what the desktop game draws, against which the Windows and web builds are
 * checked: each picture's size and a hash of its pixels as SDL_image decodes them,
 * then each of the game's lines (plateforme/lisible.h) as SDL_ttf draws it, its text,
 * width and height and a row of '#' (ink) and '.' per pixel row. tests/bureau.txt is
 * its output on Debian 12:
 *   cc tests/bureau.c $(pkg-config --cflags --libs SDL_image SDL_ttf sdl) && ./a.out > tests/bureau.txt */
#include "../plateforme/lisible.h"

#include <stdio.h>
#include <string.h>

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

int main(void)
{
    static const char* images[] = {"rsrc_img/target.jpg", "rsrc_img/terrain.jpg", "rsrc_img/perdu.jpg",
                                   "rsrc_img/curseur.bmp"};
    for (size_t i = 0; i < sizeof images / sizeof *images; ++i) {
        SDL_Surface* s = IMG_Load(images[i]);
        if (!s)
            return 1;
        printf("%s %d %d %08x\n", images[i], s->w, s->h, Empreinte(s));
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
        printf("%s\n%d %d\n", LIGNES_DU_JEU[i], s->w, s->h);
        for (int y = 0; y < s->h; ++y) {
            for (int x = 0; x < s->w; ++x)
                putchar(((Uint8*)s->pixels)[y * s->pitch + x] ? '#' : '.');
            putchar('\n');
        }
        SDL_FreeSurface(s);
    }
    TTF_CloseFont(police);
    TTF_Quit();
    return 0;
}
