// SIGTERM and SIGINT, which end the game as closing its window does. The classic
// library queues its quit event from inside its signal handler: the handler takes the
// event queue's lock, and runs the game's filter, which takes it again to read the
// queue. A signal that lands while the game's own pass is taking or giving back that
// lock finds it half-held by its own thread, and the game hangs for good; and one that
// lands as the video starts finds no queue yet, and is dropped. So no handler ever
// takes these signals here: they are blocked before SDL starts, and every thread SDL
// starts inherits that, and one thread of ours waits for them once the window is open
// and queues the quit as any other event comes. One sent before then waits for it.
#include "partie.h"
#include "signaux.h"

#include <csignal>
#include <pthread.h>

static sigset_t arrets;

void RetenirSignaux()
{
    sigemptyset(&arrets);
    sigaddset(&arrets, SIGTERM);
    sigaddset(&arrets, SIGINT);
    pthread_sigmask(SIG_BLOCK, &arrets, nullptr);
}

static void* Ecouter(void*)
{
    int signal;
    while (sigwait(&arrets, &signal) == 0) {
        SDL_Event quitter{};
        quitter.type = SDL_QUIT;
        // A full queue refuses it: the game takes an event a pass, so room comes soon.
        while (SDL_PushEvent(&quitter) != 0)
            SDL_Delay(10);
    }
    return nullptr;
}

void EcouterSignaux()
{
    pthread_t fil;
    if (pthread_create(&fil, nullptr, Ecouter, nullptr) == 0)
        pthread_detach(fil);
    else
        pthread_sigmask(SIG_UNBLOCK, &arrets, nullptr);   // SDL's own handler, as a last resort
}
