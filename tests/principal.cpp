#include <gtest/gtest.h>

#include <cstdlib>
#include <unistd.h>

// Every test runs from the project root, where the game finds its files, with
// SDL's dummy drivers unless the caller chose others.
int main(int argc, char** argv)
{
    setenv("SDL_VIDEODRIVER", "dummy", 0);
    setenv("SDL_AUDIODRIVER", "dummy", 0);
    if (chdir(PROJET) != 0)
        return 2;
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
