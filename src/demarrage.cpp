#include "partie.h"

#include <SDL_image.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

const int REPETITION_TOUCHE = 100;   // key repeat delay and interval, ms
const int CIBLE_MAX = 300;           // width + height of the target, so both placement ranges hold
const int COTE_BOITE = 64;           // the hit box, whatever the size of the target picture

// SDL_image draws a cut-off JPEG or GIF as far as it goes and calls it loaded,
// so a picture must also end with its format's closing mark.
static bool Entiere(const char* chemin)
{
    FILE* f = fopen(chemin, "rb");
    if (!f)
        return true;   // IMG_Load will say why
    unsigned char debut[3] = {0}, fin[64];
    size_t n = fread(debut, 1, sizeof debut, f);
    fseek(f, 0, SEEK_END);
    long taille = ftell(f);
    long queue = taille < long(sizeof fin) ? taille : long(sizeof fin);
    fseek(f, taille - queue, SEEK_SET);
    size_t m = queue > 0 ? fread(fin, 1, size_t(queue), f) : 0;
    fclose(f);
    while (m > 0 && fin[m - 1] == 0)
        --m;   // padding after the mark is harmless
    if (n == 3 && debut[0] == 0xFF && debut[1] == 0xD8)
        return m >= 2 && fin[m - 2] == 0xFF && fin[m - 1] == 0xD9;
    if (n == 3 && memcmp(debut, "GIF", 3) == 0)
        return m >= 1 && fin[m - 1] == 0x3B;
    return true;
}

SDL_Surface* LireImage(const char* chemin)
{
    bool entiere = Entiere(chemin);
    SDL_Surface* image = entiere ? IMG_Load(chemin) : nullptr;
    if (!image)
        fprintf(stderr, "Incapable de charger %s: %s\n", chemin, entiere ? IMG_GetError() : "fichier tronque");
    return image;
}

// A picture the game cannot do without: a missing one would crash the first
// frame that reads its size, so stop here.
static SDL_Surface* Charger(const char* chemin)
{
    SDL_Surface* image = LireImage(chemin);
    if (!image)
        exit(1);
    return image;
}

int Demarrer(Partie& p)
{
    if (SDL_Init(SDL_INIT_VIDEO) < 0) {
        printf("Unable to init SDL: %s\n", SDL_GetError());
        return 1;
    }
    p.icone = Charger(IMG_ICONE);
    SDL_WM_SetIcon(p.icone, nullptr);

    p.screen = SDL_SetVideoMode(LARGEUR, HAUTEUR, PROFONDEUR, SDL_HWSURFACE | SDL_DOUBLEBUF);
    if (!p.screen) {
        printf("Incapable d'ouvrir une fenetre: %s\n", SDL_GetError());
        return 1;
    }
    FenetreSDL();
    if (TTF_Init() == -1) {
        fprintf(stderr, "Erreur de Font: %s \n", SDL_GetError());
        exit(1);
    }

    p.bmp = Charger(IMG_TERRAIN);
    p.target = Charger(IMG_CIBLE);
    if (p.target->w + p.target->h > CIBLE_MAX) {
        fprintf(stderr, "Incapable de charger %s: cible de %d x %d, largeur + hauteur au-dela de %d\n",
                IMG_CIBLE, p.target->w, p.target->h, CIBLE_MAX);
        exit(1);
    }
    p.temps = nullptr;
    p.point = nullptr;

    p.police = TTF_OpenFont(FICHIER_POLICE, TAILLE_POLICE);
    if (!p.police) {
        fprintf(stderr, "Incapable de charger %s: %s\n", FICHIER_POLICE, TTF_GetError());
        exit(1);
    }
    p.couleur = ROUGE;
    p.texte = TTF_RenderText_Solid(p.police, "Dunvexa !", p.couleur);
    if (!p.texte) {
        fprintf(stderr, "Incapable d'ecrire avec %s: %s\n", FICHIER_POLICE, TTF_GetError());
        exit(1);
    }
    p.posTexte.x = 0;
    p.posTexte.y = Sint16(HAUTEUR - p.texte->h);   // the banner's bottom on the window's bottom

    p.posTarget.x = CIBLE_X;
    p.posTarget.y = CIBLE_Y;
    p.pos.x = p.pos.y = 0;
    p.posP.x = p.posP.y = 0;

    FMOD_System_Create(&p.system);
    FMOD_System_Init(p.system, 1, FMOD_INIT_NORMAL, nullptr);
    p.resultat = FMOD_System_CreateSound(p.system, SON_TIR, FMOD_CREATESAMPLE, nullptr, &p.tir);

    p.ctn = 1;
    p.i = p.ta = p.tp = p.tpa = p.trgt = p.points = 0;
    p.difficultee = DUREE_CIBLE;
    p.ptnMax = 1;
    memset(p.temp, 0, sizeof p.temp);
    memset(p.ptn, 0, sizeof p.ptn);
    p.dimTarget = {COTE_BOITE, COTE_BOITE};

    SDL_EnableKeyRepeat(REPETITION_TOUCHE, REPETITION_TOUCHE);
    SDL_ShowCursor(SDL_DISABLE);
    SDL_WM_SetCaption("Gavremo /by Merulek", nullptr);

    p.curseur = Charger(IMG_CURSEUR);
    // Until the mouse first moves, the sprite waits in the middle of the window.
    p.posF.x = Sint16(LARGEUR / 2 - p.curseur->w / 2);
    p.posF.y = Sint16(HAUTEUR / 2 - p.curseur->w / 2);
    return 0;
}

int Terminer(Partie& p)
{
    SDL_FreeSurface(p.bmp);
    SDL_FreeSurface(p.target);
    SDL_FreeSurface(p.texte);
    SDL_FreeSurface(p.temps);
    SDL_FreeSurface(p.point);
    puts("Exited cleanly");
    fflush(stdout);
    return 0;
}

extern "C" int SDL_main(int, char**)
{
    // Static, so that what the game keeps to the end (font, sprite, icon, sound)
    // stays reachable after this returns.
    static Partie p;
    int statut = Demarrer(p);
    if (statut != 0)
        return statut;
    Boucle(p);
    return Terminer(p);
}
