// The game's pictures in the browser, decoded by ../image/ (libjpeg-turbo, giflib, the
// BMP reader) in WebAssembly, never by the browser's own decoders. Emscripten's SDL 1.2
// ignores colour keys: a GIF's transparent pixels are transparent through alpha.
#include "../image/image.h"
#include "../lisible.h"

#include <SDL_image.h>
#include <dirent.h>
#include <emscripten.h>

#include <cstring>
#include <set>
#include <string>

// At the game's start, lets the browser run first (sdl.js).
extern "C" int Etape(void);

// A picture decoded ahead, with the bytes it came from.
struct Prevue {
    std::string fichier;
    std::vector<Uint8> octets;
    Image image;
};
static std::vector<Prevue> prevues;
static std::set<std::string> lues, dossiers;   // the pictures asked for, and their folders

extern "C" SDL_Surface* IMG_Load(const char* fichier)
{
    Etape();
    std::string nom = fichier;
    lues.insert(nom);
    dossiers.insert(nom.substr(0, nom.find_last_of('/') + 1));

    // The file is read all the same, and a picture decoded ahead taken only for the
    // very same bytes.
    Image image;
    std::vector<Uint8> octets;
    auto p = prevues.begin();
    while (p != prevues.end() && p->fichier != nom)
        ++p;
    if (p != prevues.end() && LireFichier(fichier, octets) && octets == p->octets) {
        image = std::move(p->image);
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
    for (const std::string& dossier : dossiers) {
        DIR* d = opendir(dossier.empty() ? "." : dossier.c_str());
        if (!d)
            continue;
        while (dirent* e = readdir(d)) {
            Prevue p;
            p.fichier = dossier + e->d_name;
            if (e->d_type == DT_REG && lues.insert(p.fichier).second && LireFichier(p.fichier.c_str(), p.octets)
                && !Decoder(p.octets, &p.image))
                prevues.push_back(std::move(p));
        }
        closedir(d);
    }
}

// Read by the page tests: whether the game takes a picture.
extern "C" EMSCRIPTEN_KEEPALIVE int ImageLisible(const char* fichier)
{
    return Lisible(fichier, IMAGE);
}
