// Pictures as SDL_image loads them: BMP through SDL itself, JPEG and GIF through
// stb_image into 24- and 32-bit surfaces.
#include "SDL_image.h"

#include <cstdio>
#include <cstring>
#include <vector>

#define STB_IMAGE_IMPLEMENTATION
#define STB_IMAGE_STATIC
#define STBI_ONLY_JPEG
#define STBI_ONLY_GIF
#define STBI_NO_STDIO
#include <stb_image.h>

// stb_image draws a cut-off GIF as far as it goes: walk its blocks to the trailer.
static bool GifEntier(const std::vector<Uint8>& d)
{
    size_t n = d.size(), i = 13;
    if (n < i)
        return false;
    if (d[10] & 0x80)
        i += 3u << ((d[10] & 7) + 1);   // global colour table
    // Sub-blocks: a length byte and its data, up to a length of zero.
    auto Sauter = [&] {
        while (i < n && d[i] != 0)
            i += d[i] + 1u;
        return ++i <= n;
    };
    while (i < n) {
        Uint8 bloc = d[i++];
        if (bloc == 0x3B)
            return true;
        if (bloc == 0x21) {
            ++i;   // extension label
        } else if (bloc == 0x2C) {
            if (i + 9 > n)
                return false;
            if (d[i + 8] & 0x80)
                i += 3u << ((d[i + 8] & 7) + 1);   // local colour table
            i += 10;                               // descriptor, LZW code size
        } else {
            return false;
        }
        if (!Sauter())
            return false;
    }
    return false;
}

static SDL_Surface* Jpeg(const Uint8* rgb, int w, int h)
{
    SDL_Surface* s = SDL_CreateRGBSurface(SDL_SWSURFACE, w, h, 24,
#if SDL_BYTEORDER == SDL_LIL_ENDIAN
                                          0x0000FF, 0x00FF00, 0xFF0000, 0);
#else
                                          0xFF0000, 0x00FF00, 0x0000FF, 0);
#endif
    if (s)
        for (int y = 0; y < h; ++y)
            memcpy(static_cast<Uint8*>(s->pixels) + y * s->pitch, rgb + y * w * 3, size_t(w) * 3);
    return s;
}

// A GIF keeps its transparent pixels as a colour key, on a colour no other pixel has.
static SDL_Surface* Gif(const Uint8* rgba, int w, int h)
{
    SDL_Surface* s = SDL_CreateRGBSurface(SDL_SWSURFACE, w, h, 32, 0xFF0000, 0x00FF00, 0x0000FF, 0);
    if (!s)
        return nullptr;
    Uint32 cle = SDL_MapRGB(s->format, 255, 0, 255);
    bool transparent = false, libre = false;
    while (!libre) {
        libre = true;
        for (int k = 0; k < w * h && libre; ++k) {
            const Uint8* p = rgba + 4 * k;
            transparent = transparent || p[3] < 128;
            libre = p[3] < 128 || SDL_MapRGB(s->format, p[0], p[1], p[2]) != cle;
        }
        if (!libre)
            --cle;   // at most 256 colours in a GIF: this ends soon
    }
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const Uint8* p = rgba + 4 * (y * w + x);
            reinterpret_cast<Uint32*>(static_cast<Uint8*>(s->pixels) + y * s->pitch)[x] =
                p[3] < 128 ? cle : SDL_MapRGB(s->format, p[0], p[1], p[2]);
        }
    if (transparent)
        SDL_SetColorKey(s, SDL_SRCCOLORKEY, cle);
    return s;
}

SDL_Surface* IMG_Load(const char* fichier)
{
    FILE* f = fopen(fichier, "rb");
    if (!f) {
        IMG_SetError("Couldn't open %s", fichier);
        return nullptr;
    }
    fseek(f, 0, SEEK_END);
    long taille = ftell(f);
    fseek(f, 0, SEEK_SET);
    std::vector<Uint8> d(taille > 0 ? size_t(taille) : 0);
    bool lu = taille > 0 && fread(d.data(), d.size(), 1, f) == 1;
    fclose(f);
    if (!lu) {
        IMG_SetError("Couldn't read %s", fichier);
        return nullptr;
    }
    if (d.size() >= 2 && d[0] == 'B' && d[1] == 'M')
        return SDL_LoadBMP_RW(SDL_RWFromConstMem(d.data(), int(taille)), 1);
    bool gif = d.size() >= 6 && memcmp(d.data(), "GIF8", 4) == 0;
    bool jpeg = d.size() >= 3 && d[0] == 0xFF && d[1] == 0xD8 && d[2] == 0xFF;
    if (!gif && !jpeg) {
        IMG_SetError("Unsupported image format");
        return nullptr;
    }
    if (gif && !GifEntier(d)) {
        IMG_SetError("GIF cut off before its end");
        return nullptr;
    }
    // Later stb_image releases draw a cut-off JPEG as far as it goes: it must end
    // with its closing mark, padding aside.
    size_t fin = d.size();
    while (fin > 0 && d[fin - 1] == 0)
        --fin;
    if (jpeg && !(fin >= 4 && d[fin - 2] == 0xFF && d[fin - 1] == 0xD9)) {
        IMG_SetError("JPEG cut off before its end");
        return nullptr;
    }
    int w, h, canaux;
    Uint8* pixels = stbi_load_from_memory(d.data(), int(taille), &w, &h, &canaux, gif ? 4 : 3);
    if (!pixels) {
        IMG_SetError("%s %s", gif ? "GIF" : "JPEG", stbi_failure_reason());
        return nullptr;
    }
    SDL_Surface* s = gif ? Gif(pixels, w, h) : Jpeg(pixels, w, h);
    stbi_image_free(pixels);
    return s;
}
