#include "partie.h"

#include <cstdlib>
#include <ctime>

const int RACCOURCI = 20;        // each hit takes this off a target's lifetime, ms
const int MS_PAR_POINT = 30;
const int PENALITE_RATE = 1;
const int PENALITE_FUITE = 15;
// Where a hit target waits for its next place: just outside the window, out of reach.
const Sint16 HORS_JEU = 600;

int Alea(int min, int max)
{
    static int rez = 0;
    if (!rez) {
        rez = 1;
        srand(unsigned(time(nullptr)));
    }
    return min + rand() % (max - min + 1);
}

int SourisDansIco(SDL_Rect posIco, dim dimIco, SDL_Event event)
{
    int mx = event.button.x, my = event.button.y;
    int px = posIco.x, py = posIco.y;
    if (!(px < mx && mx < px + dimIco.x))
        return 0;
    if (!(py < my && my < py + dimIco.y))
        return 0;
    return 1;
}

void Minuterie(Partie& p)
{
    if (p.ta - p.tp <= p.difficultee)
        return;
    if (p.trgt)
        p.points -= PENALITE_FUITE;
    p.trgt = 1;
    int w = p.target->w, h = p.target->h;
    p.posTarget.x = Sint16(Alea(w, LARGEUR - w));
    // The lower bound of y comes from the height but the upper from the width:
    // the game has always placed targets this way.
    p.posTarget.y = Sint16(Alea(2 * h, 2 * (HAUTEUR / 2 - w)));
    p.tp = p.ta;
}

void Tir(Partie& p)
{
    if (p.i != 1) {
        FMOD_System_PlaySound(p.system, FMOD_CHANNEL_FREE, p.tir, 0, nullptr);
    } else {
        // The flash leaves tpa alone: the next black repaint keeps its own rhythm.
        Repeindre(p, GRIS);
        SDL_Flip(p.screen);
    }
    if (SourisDansIco(p.posTarget, p.dimTarget, p.event)) {
        p.trgt = 0;
        p.points += (p.ta - p.tp) / MS_PAR_POINT;
        p.difficultee -= RACCOURCI;
        p.posTarget.x = p.posTarget.y = HORS_JEU;
    } else {
        p.points -= PENALITE_RATE;
    }
}
