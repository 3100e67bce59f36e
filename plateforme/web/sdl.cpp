// What Emscripten's SDL 1.2 lacks or serves differently from the desktop: the error
// text, waiting for an event, the flip that hands the frame to the browser, the hidden
// cursor, and the mixer's oldest channel.
#include "partie.h"

#include <emscripten.h>

#include <cstdarg>
#include <cstdio>

const int ATTENTE_EVENEMENT = 10;   // ms between two looks at the queue while waiting

// The browser's SDL reads nothing from an environment: there is nothing to set before it starts.
void DefautsSDL()
{
}

// The page's queue is filled by the browser's own handlers, one event each, at most one
// motion a frame: nothing to merge.
void FenetreSDL()
{
}

// The browser's SDL keeps no error text; the game's messages say why a file is refused.
static char erreur[512];

extern "C" void SDL_SetError(const char* format, ...)
{
    va_list args;
    va_start(args, format);
    vsnprintf(erreur, sizeof erreur, format, args);
    va_end(args);
}

extern "C" const char* SDL_GetError(void)
{
    return erreur;
}

static int passes = 0;   // flips: one a pass in play

// Yields to the browser until its next timer, or until a press comes (sdl.js).
extern "C" void Ceder(void);

// The page draws only once the program gives the browser its turn, and the game's
// loop never waits: each flip yields, so a pass ends with its frame on the canvas,
// but for the passes that hurry to a waiting press (sdl.js).
extern "C" int SDL_Flip(SDL_Surface*)
{
    ++passes;
    Ceder();
    return 0;
}

// Read by the page tests and by the count of passes a second.
extern "C" EMSCRIPTEN_KEEPALIVE int Passes()
{
    return passes;
}

// Only the game-over screen waits: the page then takes a tap for the key a phone lacks.
EM_JS(void, Attente, (int oui), {
    Module['attend'] = !!oui;
});

extern "C" int SDL_WaitEvent(SDL_Event* event)
{
    Attente(1);
    while (!SDL_PollEvent(event))
        emscripten_sleep(ATTENTE_EVENEMENT);
    Attente(0);
    return 1;
}

EM_JS(void, CacherCurseur, (int cacher), {
    Module['canvas'].style.cursor = cacher ? "none" : "";
});

// The built-in call hides the cursor only in full screen; a style hides it over the canvas.
extern "C" int SDL_ShowCursor(int toggle)
{
    static int montre = SDL_ENABLE;
    if (toggle != SDL_QUERY) {
        montre = toggle;
        CacherCurseur(toggle == SDL_DISABLE);
    }
    return montre;
}

// The playing channel that started first, or -1; a sound still being decoded has
// not started at all, so it counts as the oldest.
EM_JS(int, CanalLePlusAncien, (), {
    var canal = -1;
    var debut = Infinity;
    for (var i = 0; i < SDL.channels.length; i++) {
        var son = SDL.channels[i].audio;
        if (!son) continue;
        var t = son.startTime === undefined ? -Infinity : son.startTime;
        if (canal < 0 || t < debut) {
            canal = i;
            debut = t;
        }
    }
    return canal;
});

extern "C" int Mix_GroupOldest(int tag)
{
    // Channels are never tagged here: every one is in the group -1.
    return tag == -1 ? CanalLePlusAncien() : -1;
}
