#pragma once
#include <SDL.h>
#include <SDL_ttf.h>

#include "fmod.h"

const int LARGEUR = 600;
const int HAUTEUR = 600;
const int PROFONDEUR = 32;
const int PERIODE_REPEINT = 50;   // ms between two periodic repaints, strictly more
const int DUREE_CIBLE = 3000;     // first lifetime of a target, ms
const int TAILLE_POLICE = 36;
const Sint16 CIBLE_X = 128, CIBLE_Y = 128;

const SDL_Color ROUGE = {255, 0, 0, 0};
const SDL_Color NOIR = {0, 0, 0, 0};
const SDL_Color GRIS = {100, 100, 100, 0};

#define IMG_ICONE "rsrc_img/curseur.bmp"
#define IMG_TERRAIN "rsrc_img/terrain.jpg"
#define IMG_CIBLE "rsrc_img/target.jpg"
#define IMG_CURSEUR "rsrc_img/curseur.gif"
#define IMG_PERDU "rsrc_img/perdu.jpg"
#define FICHIER_POLICE "font/MorrisRomanBlack.ttf"
#define SON_TIR "son/pan.wav"

struct dim {
    int x, y;
};

struct Partie {
    SDL_Surface* screen;
    SDL_Surface* bmp;       // ground
    SDL_Surface* texte;     // banner
    SDL_Surface* target;    // the target, then the game-over picture
    SDL_Surface* temps;     // last rendering of the best-score line
    SDL_Surface* point;     // last rendering of the score line
    SDL_Surface* curseur;
    SDL_Surface* icone;     // kept so the window icon stays reachable to the end
    TTF_Font* police;
    SDL_Color couleur;
    FMOD_SYSTEM* system;
    FMOD_SOUND* tir;
    FMOD_RESULT resultat;

    SDL_Rect posTexte, posTarget, pos, posP, posF;
    dim dimTarget;

    int ctn, i, ta, tp, tpa, trgt, difficultee, ptnMax, points;
    char temp[25], ptn[20];
    SDL_Event event;
};

extern "C" int SDL_main(int argc, char** argv);
// What this platform does before SDL starts: the settings its SDL needs, unless the
// player set them; on Linux, SIGTERM and SIGINT kept from SDL's handler; on Windows,
// where the game's output goes.
void DefautsSDL();
// What this platform does once the game's window is open: on Linux, the filter that
// merges a gaming mouse's motions, so that a press never waits behind them, and the
// thread that turns SIGTERM and SIGINT into the quit event.
void FenetreSDL();

// Start-up and shutdown
int Demarrer(Partie& p);
int Terminer(Partie& p);
SDL_Surface* LireImage(const char* chemin);   // null, and a line on stderr, when unusable

// Frame loop and repaint
void Boucle(Partie& p);
void Passe(Partie& p, int maintenant);
void Repeindre(Partie& p, SDL_Color fond);

// Rules
int Alea(int min, int max);
int SourisDansIco(SDL_Rect posIco, dim dimIco, SDL_Event event);
void Minuterie(Partie& p);
void Tir(Partie& p);

// Game over
void EcranPerdu(Partie& p);
