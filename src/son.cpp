#include "fmod.h"

#include <cstdio>

// Short enough that a shot is heard as the button goes down.
const int SON_TAMPON = 512;
const int SON_FREQUENCE = 44100;

FMOD_RESULT FMOD_System_Create(FMOD_SYSTEM** system)
{
    if (!system)
        return FMOD_ERR_INVALID_PARAM;
    *system = new FMOD_SYSTEM{false};
    return FMOD_OK;
}

FMOD_RESULT FMOD_System_Init(FMOD_SYSTEM* system, int maxchannels, FMOD_INITFLAGS, void*)
{
    if (!system || maxchannels < 1)
        return FMOD_ERR_INVALID_PARAM;
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) < 0
        || Mix_OpenAudio(SON_FREQUENCE, AUDIO_S16SYS, 2, SON_TAMPON) < 0) {
        fprintf(stderr, "Pas de son: %s\n", SDL_GetError());
        return FMOD_ERR_OUTPUT_INIT;
    }
    Mix_AllocateChannels(maxchannels);
    system->ouvert = true;
    return FMOD_OK;
}

FMOD_RESULT FMOD_System_CreateSound(FMOD_SYSTEM* system, const char* nom, FMOD_MODE,
                                    FMOD_CREATESOUNDEXINFO*, FMOD_SOUND** sound)
{
    if (!system || !nom || !sound)
        return FMOD_ERR_INVALID_PARAM;
    *sound = nullptr;
    if (!system->ouvert)
        return FMOD_ERR_INITIALIZATION;
    // Every sound is a sample here, decoded whole into memory, whatever the mode.
    Mix_Chunk* echantillon = Mix_LoadWAV(nom);
    if (!echantillon) {
        fprintf(stderr, "Son %s illisible, la partie sera muette: %s\n", nom, Mix_GetError());
        return FMOD_ERR_FILE_BAD;
    }
    *sound = new FMOD_SOUND{echantillon};
    return FMOD_OK;
}

FMOD_RESULT FMOD_System_PlaySound(FMOD_SYSTEM* system, FMOD_CHANNELINDEX channelid,
                                  FMOD_SOUND* sound, FMOD_BOOL paused, FMOD_CHANNEL** channel)
{
    if (channel)
        *channel = nullptr;
    if (!system || !system->ouvert || !sound)
        return FMOD_ERR_INVALID_PARAM;
    int canal = Mix_PlayChannel(channelid, sound->echantillon, 0);
    if (canal < 0 && channelid == FMOD_CHANNEL_FREE) {
        // Every channel is busy: the newest shot cuts the oldest sound, so none goes unheard.
        canal = Mix_GroupOldest(-1);
        Mix_HaltChannel(canal);
        canal = Mix_PlayChannel(canal, sound->echantillon, 0);
    }
    if (canal < 0)
        return FMOD_ERR_CHANNEL_ALLOC;
    if (paused)
        Mix_Pause(canal);
    return FMOD_OK;
}
