// The game's pictures in the browser, decoded by ../image/ (libjpeg-turbo, giflib, the
// BMP reader) in WebAssembly, never by the browser's own decoders. Emscripten's SDL 1.2
// ignores colour keys: a GIF's transparent pixels are transparent through alpha.
#include "../image/image.h"
#include "../lisible.h"

#include <SDL_image.h>
#include <dirent.h>
#include <emscripten.h>

#include <cstring>
#include <map>
#include <set>
#include <string>

// At the game's start, lets the browser run first (sdl.js).
extern "C" int Etape(void);

// The pictures decoded ahead, each with the bytes it came from, by file; and every
// file asked for or decoded ahead, whose folders are those the game reads pictures from.
struct Prevue {
    std::vector<Uint8> octets;
    Image image;
};
static std::map<std::string, Prevue> prevues;
static std::set<std::string> lues;

extern "C" SDL_Surface* IMG_Load(const char* fichier)
{
    Etape();
    lues.insert(fichier);

    // The file is read all the same, and a picture decoded ahead taken only for the
    // very same bytes.
    Image image;
    std::vector<Uint8> octets;
    auto p = prevues.find(fichier);
    if (p != prevues.end() && LireFichier(fichier, octets) && octets == p->second.octets) {
        image = std::move(p->second.image);
    } else if (const char* raison = ChargerImage(fichier, &image)) {
        IMG_SetError("%s", raison);
        return nullptr;
    }
    if (p != prevues.end())
        prevues.erase(p);

    SDL_Surface* s = SDL_CreateRGBSurface(SDL_SWSURFACE, image.largeur, image.hauteur, 32, 0x000000ff,
                                          0x0000ff00, 0x00ff0000, 0xff000000);
    if (!s)
        return nullptr;
    // The browser's SDL takes pixels only between these two calls.
    SDL_LockSurface(s);
    for (int y = 0; y < image.hauteur; ++y)
        memcpy(static_cast<Uint8*>(s->pixels) + y * s->pitch, &image.rgba[size_t(y) * image.largeur * 4],
               size_t(image.largeur) * 4);
    SDL_UnlockSurface(s);
    return s;
}

// Once the game has started, while the page is idle (sdl.js): decodes each picture not
// yet asked for in the folders the game reads pictures from. The game-over picture is
// then on the screen in the press that ends the game without waiting for its decoding,
// which took most of that press's work.
extern "C" EMSCRIPTEN_KEEPALIVE void Prevoir()
{
    std::set<std::string> dossiers;
    for (const std::string& f : lues)
        dossiers.insert(f.substr(0, f.find_last_of('/') + 1));
    for (const std::string& dossier : dossiers) {
        DIR* d = opendir(dossier.empty() ? "." : dossier.c_str());
        if (!d)
            continue;
        while (dirent* e = readdir(d)) {
            std::string f = dossier + e->d_name;
            Prevue p;
            if (e->d_type == DT_REG && lues.insert(f).second && LireFichier(f.c_str(), p.octets)
                && !Decoder(p.octets, &p.image))
                prevues[f] = std::move(p);
        }
        closedir(d);
    }
}

// Read by the page tests: whether the game takes a picture.
extern "C" EMSCRIPTEN_KEEPALIVE int ImageLisible(const char* fichier)
{
    return Lisible(fichier, IMAGE);
}
