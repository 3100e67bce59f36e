#include "partie.h"

#include <cstdio>
#include <cstdlib>

// Renders a line of text in place of the previous rendering, which is released.
static void Ecrire(Partie& p, SDL_Surface*& surface, const char* texte)
{
    SDL_FreeSurface(surface);
    surface = TTF_RenderText_Solid(p.police, texte, p.couleur);
}

void Repeindre(Partie& p, SDL_Color fond)
{
    SDL_FillRect(p.screen, nullptr, SDL_MapRGB(p.screen->format, fond.r, fond.g, fond.b));
    SDL_BlitSurface(p.bmp, nullptr, p.screen, &p.posTexte);
    SDL_BlitSurface(p.texte, nullptr, p.screen, &p.posTexte);

    sprintf(p.temp, "Points Max : %d", p.ptnMax);
    Ecrire(p, p.temps, p.temp);
    SDL_BlitSurface(p.temps, nullptr, p.screen, &p.pos);

    sprintf(p.ptn, "%d points", p.points);
    Ecrire(p, p.point, p.ptn);
    if (p.point)
        p.posP.y = Sint16(p.point->h);   // just under the best-score line
    SDL_BlitSurface(p.point, nullptr, p.screen, &p.posP);

    SDL_BlitSurface(p.target, nullptr, p.screen, &p.posTarget);
}

static void Evenement(Partie& p)
{
    switch (p.event.type) {
    case SDL_QUIT:
        // Closing the window mid-game abandons it: no clean-up, no message.
        exit(1);
    case SDL_KEYUP:
        if (p.event.key.keysym.sym == SDLK_SPACE)
            p.i = 1;
        break;
    case SDL_MOUSEMOTION:
        // The sprite is taken as square: its width centres it on both axes.
        p.posF.x = Sint16(p.event.motion.x - p.curseur->w / 2);
        p.posF.y = Sint16(p.event.motion.y - p.curseur->w / 2);
        break;
    case SDL_MOUSEBUTTONDOWN:
        Tir(p);
        break;
    }
}

void Passe(Partie& p, int maintenant)
{
    if (p.points >= p.ptnMax)
        p.ptnMax = p.points;
    p.ta = maintenant;

    // Blitting through posF lets SDL write a clipped position back into it.
    SDL_BlitSurface(p.curseur, nullptr, p.screen, &p.posF);
    if (p.ta - p.tpa > PERIODE_REPEINT) {
        Repeindre(p, NOIR);
        p.tpa = p.ta;
    }
    SDL_Flip(p.screen);

    Minuterie(p);
    if (SDL_PollEvent(&p.event))
        Evenement(p);

    // Checked on every pass: the target timer alone can make the score negative.
    if (p.points < 0)
        EcranPerdu(p);
}

void Boucle(Partie& p)
{
    while (p.ctn)
        Passe(p, int(SDL_GetTicks()));
}
