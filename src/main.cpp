#include "partie.h"

#include <cstdlib>

// SDL 1.2 supplies this entry on Windows only (SDLmain); elsewhere it is ours.
#ifndef _WIN32
int main(int argc, char** argv)
{
    DefautsSDL();
    atexit(SDL_Quit);
    return SDL_main(argc, argv);
}
#endif
