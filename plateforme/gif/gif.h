#pragma once
// A GIF read to its end by giflib, a library made for files anyone may change, before
// anything draws it: a reader that trusts the file can hang on a damaged one or read
// out of its buffers.
#include <cstddef>

const int GIF_COTE_MAX = 8192;   // pixels a side: far beyond any picture of the game

// Why the GIF cannot be drawn, or null when it can.
const char* GifRefuse(const unsigned char* octets, size_t taille);
