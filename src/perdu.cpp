#include "partie.h"

#include <SDL_image.h>

#include <cstdio>

void EcranPerdu(Partie& p)
{
    SDL_FreeSurface(p.target);
    p.target = IMG_Load(IMG_PERDU);
    if (!p.target)
        fprintf(stderr, "Incapable de charger %s: %s\n", IMG_PERDU, IMG_GetError());

    while (p.ctn) {
        if (p.target) {
            p.posTarget.x = Sint16(p.screen->w / 2 - p.target->w / 2);
            p.posTarget.y = Sint16(p.screen->h / 2 - p.target->h / 2);
        }
        SDL_FillRect(p.screen, nullptr, SDL_MapRGB(p.screen->format, 0, 0, 0));
        SDL_BlitSurface(p.target, nullptr, p.screen, &p.posTarget);
        // The best score as last rendered, not rendered anew: it may lag behind.
        SDL_BlitSurface(p.temps, nullptr, p.screen, &p.pos);
        SDL_Flip(p.screen);

        SDL_WaitEvent(&p.event);
        if (p.event.type == SDL_QUIT || p.event.type == SDL_KEYDOWN)
            p.ctn = 0;
    }
}
