#pragma once
// The game's pictures read by libraries made for files anyone may change: JPEG by
// libjpeg-turbo, GIF by giflib, BMP by the small reader of image.cpp. Windows and the
// web draw what they decode, and Linux a GIF; Linux checks any other picture here
// before SDL_image draws it.
#include <SDL.h>

#include <cstddef>
#include <vector>

const int IMAGE_COTE_MAX = 8192;   // pixels a side: far beyond any picture of the game

// The first picture of a file, as SDL_image draws it.
struct Image {
    int largeur = 0, hauteur = 0;
    std::vector<Uint8> rgba;    // 4 bytes a pixel, alpha 0 where transparent, else 255
    bool transparent = false;   // a GIF whose transparent colour is in use
};

// The whole file; false when it cannot be read.
bool LireFichier(const char* fichier, std::vector<Uint8>& octets);

// Reads and decodes a picture file: null once it is in *image, else why not.
const char* ChargerImage(const char* fichier, Image* image);

// Why the picture cannot be drawn, or null once it is decoded into *image. With no
// image, only checks what a library trusting the file could choke on, a JPEG or BMP
// to its size; a GIF always needs an image, as giflib alone decodes it.
const char* Decoder(const std::vector<Uint8>& octets, Image* image);

// The picture as a 32-bit surface; a GIF's transparent pixels on a colour key.
SDL_Surface* Surface(const Image& image);

const char* LireGif(const Uint8* octets, size_t taille, Image* image);
const char* LireJpeg(const Uint8* octets, size_t taille, Image* image);
const char* LireBmp(const Uint8* octets, size_t taille, Image* image);
