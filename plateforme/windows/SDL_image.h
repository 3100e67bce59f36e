#pragma once
// The one SDL_image call the game makes, served by image.cpp over ../image/
// where SDL_image itself cannot be built.
#include <SDL.h>

#ifdef __cplusplus
extern "C" {
#endif

// BMP, JPEG or GIF; a GIF's transparent pixels get a colour key.
SDL_Surface* IMG_Load(const char* fichier);

#define IMG_SetError SDL_SetError
#define IMG_GetError SDL_GetError

#ifdef __cplusplus
}
#endif
