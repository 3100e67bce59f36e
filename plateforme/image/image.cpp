// Which reader a picture goes to, by its first bytes, and the BMP reader: the window's
// icon, a format simple enough to read here. It reads what SDL's own BMP reader does,
// uncompressed pictures of 1 to 32 bits a pixel, and refuses anything that does not
// hold together.
#include "image.h"

#include <cstdio>
#include <cstring>

bool LireFichier(const char* fichier, std::vector<Uint8>& octets)
{
    FILE* f = fopen(fichier, "rb");
    if (!f)
        return false;
    Uint8 bloc[4096];
    size_t n;
    while ((n = fread(bloc, 1, sizeof bloc, f)) > 0)
        octets.insert(octets.end(), bloc, bloc + n);
    bool lu = !ferror(f);
    fclose(f);
    return lu;
}

const char* ChargerImage(const char* fichier, Image* image)
{
    static char raison[320];
    std::vector<Uint8> octets;
    if (!LireFichier(fichier, octets) || octets.empty()) {
        snprintf(raison, sizeof raison, "Couldn't read %s", fichier);
        return raison;
    }
    return Decoder(octets, image);
}

// SDL_image takes a file for a JPEG only when its segments hold together up to its
// first scan: each a mark (0xFF, then its kind, any number of 0xFF before it) and,
// but for the marks that stand alone, a big-endian length that stays within the file.
static bool JpegEnOrdre(const Uint8* d, size_t n)
{
    size_t i = 2;
    for (;;) {
        if (i + 2 > n || d[i] != 0xFF)
            return false;
        Uint8 genre = d[i + 1];
        if (genre == 0xFF) {
            i += 1;   // padding
        } else if (genre == 0xD9 || genre == 0xDA) {
            return true;   // the end, or the first scan
        } else if (genre >= 0xD0 && genre < 0xD9) {
            i += 2;
        } else {
            if (i + 4 > n)
                return false;
            size_t longueur = size_t(d[i + 2] << 8 | d[i + 3]);
            if (i + 2 + longueur > n)
                return false;
            i += 2 + longueur;
        }
    }
}

const char* Decoder(const std::vector<Uint8>& octets, Image* image)
{
    const Uint8* d = octets.data();
    size_t n = octets.size();
    if (n >= 2 && d[0] == 'B' && d[1] == 'M')
        return LireBmp(d, n, image);
    if (n >= 6 && memcmp(d, "GIF8", 4) == 0)
        return LireGif(d, n, image);
    if (n >= 3 && d[0] == 0xFF && d[1] == 0xD8 && d[2] == 0xFF)
        return JpegEnOrdre(d, n) ? LireJpeg(d, n, image) : "JPEG marks broken before its first scan";
    return "Unsupported image format";
}

namespace {

Uint32 Lire16(const Uint8* p)
{
    return Uint32(p[0] | p[1] << 8);
}

Uint32 Lire32(const Uint8* p)
{
    return Uint32(p[0]) | Uint32(p[1]) << 8 | Uint32(p[2]) << 16 | Uint32(p[3]) << 24;
}

// A channel's value under its mask, in 8 bits as SDL 1.2 gives it: a narrower channel's
// bits repeated down (31 of 5 bits is 255, 12 is 99).
Uint8 Canal(Uint32 pixel, Uint32 masque)
{
    if (!masque)
        return 0;
    int decalage = 0, bits = 0;
    while (!(masque >> decalage & 1))
        ++decalage;
    while (decalage + bits < 32 && masque >> (decalage + bits) & 1)
        ++bits;
    Uint32 v = (pixel & masque) >> decalage;
    if (bits >= 8)
        return Uint8(v >> (bits - 8));
    Uint32 octet = 0;
    for (int d = 8 - bits; d > -bits; d -= bits)
        octet |= d >= 0 ? v << d : v >> -d;
    return Uint8(octet);
}

} // namespace

const char* LireBmp(const Uint8* d, size_t n, Image* image)
{
    const size_t ENTETE = 14;   // "BM", the file's size, two reserved words, where the pixels start
    if (n < ENTETE + 16)
        return "BMP header cut off";
    size_t donnees = Lire32(d + 10), taille = Lire32(d + 14);
    long long l, h;
    int bits, compression = 0;
    if (taille == 12) {   // OS/2's header: sizes in 16 bits, three bytes a colour
        l = Lire16(d + 18);
        h = Lire16(d + 20);
        bits = int(Lire16(d + 24));
    } else if (taille >= 40 && n >= ENTETE + 40) {
        l = Sint32(Lire32(d + 18));
        h = Sint32(Lire32(d + 22));
        bits = int(Lire16(d + 28));
        compression = int(Lire32(d + 30));
    } else {
        return "BMP header cut off or of no known kind";
    }
    bool descend = h < 0;   // rows from the top, where a BMP usually starts from the bottom
    h = descend ? -h : h;
    if (l <= 0 || h <= 0 || l > IMAGE_COTE_MAX || h > IMAGE_COTE_MAX)
        return "BMP of no size or too large";
    if (bits != 1 && bits != 4 && bits != 8 && bits != 16 && bits != 24 && bits != 32)
        return "BMP of an unknown number of bits a pixel";
    // No compression, or plain pixels under masks given after the header.
    Uint32 masques[3] = {0x7C00, 0x03E0, 0x001F};
    if (bits == 32 || bits == 24) {
        masques[0] = 0xFF0000;
        masques[1] = 0x00FF00;
        masques[2] = 0x0000FF;
    }
    if (compression == 3 && (bits == 16 || bits == 32)) {
        if (taille < 40 || n < ENTETE + 52)
            return "BMP masks cut off";
        for (int c = 0; c < 3; ++c)
            masques[c] = Lire32(d + ENTETE + 40 + 4 * c);
    } else if (compression != 0) {
        return "Compressed BMP files not supported";
    }
    if (!image)
        return nullptr;

    // The colours of a picture of 8 bits or fewer follow the header.
    size_t couleurs = 0, octetsCouleur = taille == 12 ? 3 : 4;
    if (bits <= 8) {
        couleurs = taille >= 40 && Lire32(d + 46) ? Lire32(d + 46) : 1u << bits;
        if (couleurs > (1u << bits))
            return "BMP with more colours than its bits allow";
        if (ENTETE + taille > n || couleurs * octetsCouleur > n - ENTETE - taille)
            return "BMP colours cut off";
    }
    const Uint8* palette = bits <= 8 ? d + ENTETE + taille : nullptr;
    size_t ligne = (size_t(l) * bits + 31) / 32 * 4;
    if (donnees > n || ligne * size_t(h) > n - donnees)
        return "BMP pixels cut off";

    image->largeur = int(l);
    image->hauteur = int(h);
    image->rgba.assign(size_t(l) * h * 4, 255);
    for (long long y = 0; y < h; ++y) {
        const Uint8* s = d + donnees + ligne * size_t(descend ? y : h - 1 - y);
        Uint8* p = &image->rgba[size_t(y) * l * 4];
        for (long long x = 0; x < l; ++x, p += 4) {
            if (bits <= 8) {
                size_t i = s[x * bits / 8] >> (8 - bits - x * bits % 8) & ((1u << bits) - 1);
                // An index past the colours given is black, as SDL's palette of zeros makes it.
                static const Uint8 noir[3] = {0, 0, 0};
                const Uint8* c = i < couleurs ? palette + i * octetsCouleur : noir;
                p[0] = c[2];
                p[1] = c[1];
                p[2] = c[0];
            } else {
                const Uint8* q = s + x * (bits / 8);
                Uint32 v = bits == 16 ? Lire16(q) : bits == 24 ? Uint32(q[0] | q[1] << 8 | q[2] << 16) : Lire32(q);
                for (int c = 0; c < 3; ++c)
                    p[c] = Canal(v, masques[c]);
            }
        }
    }
    return nullptr;
}
