#include "partie.h"

#include <cstdlib>

// On Windows SDLmain provides this entry; elsewhere SDL 1.2 leaves it to us.
int main(int argc, char** argv)
{
    atexit(SDL_Quit);
    return SDL_main(argc, argv);
}
