/* Prints where the desktop SDL_ttf puts ink for a line: first and last inked
 * column and row, and the line's height. The page must match it within a few pixels. */
#include <SDL.h>
#include <SDL_ttf.h>
#include <stdio.h>
#include <stdlib.h>

int main(int argc, char** argv)
{
    if (argc != 4 || TTF_Init() < 0)
        return 2;
    TTF_Font* police = TTF_OpenFont(argv[1], atoi(argv[2]));
    SDL_Color rouge = {255, 0, 0, 0};
    SDL_Surface* s = police ? TTF_RenderText_Solid(police, argv[3], rouge) : NULL;
    if (!s)
        return 1;
    int premier = s->w, dernier = -1, haut = s->h, bas = -1;
    for (int y = 0; y < s->h; ++y)
        for (int x = 0; x < s->w; ++x)
            if (((Uint8*)s->pixels)[y * s->pitch + x]) {
                if (x < premier) premier = x;
                if (x > dernier) dernier = x;
                if (y < haut) haut = y;
                bas = y;
            }
    printf("%d %d %d %d %d\n", premier, dernier, haut, bas, s->h);
    return 0;
}
