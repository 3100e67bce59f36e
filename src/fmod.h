#pragma once
// The four calls of the sound library the game was written against, kept with
// their names and types but played through SDL_mixer.
#include <SDL.h>
#include <SDL_mixer.h>

enum FMOD_RESULT { FMOD_OK = 0, FMOD_ERR_INITIALIZATION, FMOD_ERR_OUTPUT_INIT, FMOD_ERR_FILE_BAD,
                   FMOD_ERR_INVALID_PARAM, FMOD_ERR_CHANNEL_ALLOC };

typedef unsigned int FMOD_INITFLAGS;
typedef unsigned int FMOD_MODE;
typedef int FMOD_CHANNELINDEX;
typedef int FMOD_BOOL;

const FMOD_INITFLAGS FMOD_INIT_NORMAL = 0x0;
const FMOD_MODE FMOD_CREATESAMPLE = 0x100;
const FMOD_CHANNELINDEX FMOD_CHANNEL_FREE = -1;

struct FMOD_SYSTEM {
    bool ouvert;   // the mixer is open: without it every call stays silent
};

struct FMOD_SOUND {
    Mix_Chunk* echantillon;
};

struct FMOD_CHANNEL;
struct FMOD_CREATESOUNDEXINFO;

FMOD_RESULT FMOD_System_Create(FMOD_SYSTEM** system);
FMOD_RESULT FMOD_System_Init(FMOD_SYSTEM* system, int maxchannels, FMOD_INITFLAGS flags,
                             void* extradriverdata);
FMOD_RESULT FMOD_System_CreateSound(FMOD_SYSTEM* system, const char* nom, FMOD_MODE mode,
                                    FMOD_CREATESOUNDEXINFO* exinfo, FMOD_SOUND** sound);
FMOD_RESULT FMOD_System_PlaySound(FMOD_SYSTEM* system, FMOD_CHANNELINDEX channelid,
                                  FMOD_SOUND* sound, FMOD_BOOL paused, FMOD_CHANNEL** channel);
