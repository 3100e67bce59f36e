#include "partie.h"

void EcranPerdu(Partie& p)
{
    SDL_FreeSurface(p.target);
    // Without its picture the screen still shows the best score, and ends as usual.
    p.target = LireImage(IMG_PERDU);

    while (p.ctn) {
        if (p.target) {
            p.posTarget.x = Sint16(p.screen->w / 2 - p.target->w / 2);
            p.posTarget.y = Sint16(p.screen->h / 2 - p.target->h / 2);
        }
        SDL_FillRect(p.screen, nullptr, SDL_MapRGB(p.screen->format, NOIR.r, NOIR.g, NOIR.b));
        SDL_BlitSurface(p.target, nullptr, p.screen, &p.posTarget);
        // The best score as last rendered, not rendered anew: it may lag behind.
        SDL_BlitSurface(p.temps, nullptr, p.screen, &p.pos);
        SDL_Flip(p.screen);

        SDL_WaitEvent(&p.event);
        if (p.event.type == SDL_QUIT || p.event.type == SDL_KEYDOWN)
            p.ctn = 0;
    }
}
