#include "partie.h"

#include <cstdlib>

// SDL 1.2 would rename this entry SDL_main on Windows, for its own SDLmain to call:
// the game has its own SDL_main, and the platform does what SDLmain did (DefautsSDL).
#ifdef main
#undef main
#endif

int main(int argc, char** argv)
{
    DefautsSDL();
    atexit(SDL_Quit);
    return SDL_main(argc, argv);
}
