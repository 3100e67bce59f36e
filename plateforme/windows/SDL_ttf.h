#pragma once
// The few SDL_ttf calls the game makes, served over FreeType by plateforme/texte/
// and the 8-bit surface of texte.cpp, where SDL_ttf itself cannot be built.
#include <SDL.h>

#ifdef __cplusplus
extern "C" {
#endif

// The same name as SDL_ttf's, so that one font record serves every platform.
typedef struct _TTF_Font TTF_Font;

int TTF_Init(void);
TTF_Font* TTF_OpenFont(const char* fichier, int points);
// An 8-bit surface: index 0 the transparent background, index 1 the text.
SDL_Surface* TTF_RenderText_Solid(TTF_Font* police, const char* texte, SDL_Color couleur);
int TTF_FontHeight(const TTF_Font* police);
void TTF_CloseFont(TTF_Font* police);

#define TTF_SetError SDL_SetError
#define TTF_GetError SDL_GetError

#ifdef __cplusplus
}
#endif
