// A GIF is read to its end by giflib before anything draws it: a reader that trusts the
// file can hang on a damaged one or read out of its buffers. Its first frame is the
// picture, as SDL_image takes it: the frame's own size, its colours, the transparent
// colour of the control block before it.
#include "image.h"

#include <gif_lib.h>

#include <algorithm>
#include <cstring>

namespace {

struct Lecture {
    const Uint8* octets;
    size_t taille, lu;
};

int Lire(GifFileType* gif, GifByteType* dest, int voulu)
{
    Lecture* l = static_cast<Lecture*>(gif->UserData);
    size_t n = std::min(size_t(voulu), l->taille - l->lu);
    memcpy(dest, l->octets + l->lu, n);
    l->lu += n;
    return int(n);
}

// giflib's own words for what went wrong; some of its failures leave no code.
const char* Erreur(int code)
{
    const char* texte = GifErrorString(code);
    return texte ? texte : "GIF unreadable";
}

// The frame's pixels in colours, its rows given in the file's order: an interlaced
// frame comes as every eighth row, then the fourth ones between, then the others.
void Peindre(const GifFileType* gif, const std::vector<GifPixelType>& indices, int transparent, Image* image)
{
    const GifImageDesc& im = gif->Image;
    const ColorMapObject* carte = im.ColorMap ? im.ColorMap : gif->SColorMap;
    image->largeur = im.Width;
    image->hauteur = im.Height;
    image->rgba.assign(size_t(im.Width) * im.Height * 4, 0);
    static const int debut[] = {0, 4, 2, 1}, pas[] = {8, 8, 4, 2};
    int rang = 0;
    for (int passe = im.Interlace ? 0 : 3; passe < 4; ++passe)
        for (int y = im.Interlace ? debut[passe] : 0; y < im.Height; y += im.Interlace ? pas[passe] : 1, ++rang)
            for (int x = 0; x < im.Width; ++x) {
                int i = indices[size_t(rang) * im.Width + x];
                Uint8* p = &image->rgba[(size_t(y) * im.Width + x) * 4];
                if (i == transparent) {
                    image->transparent = true;
                    continue;
                }
                // A colour beyond the map is black, as in SDL_image's palette of 256.
                if (carte && i < carte->ColorCount) {
                    p[0] = carte->Colors[i].Red;
                    p[1] = carte->Colors[i].Green;
                    p[2] = carte->Colors[i].Blue;
                }
                p[3] = 255;
            }
}

// Every block in turn; each frame decoded, once it is known to lie within the screen
// (giflib checks neither that nor any size).
const char* Parcourir(GifFileType* gif, Image* image)
{
    if (gif->SWidth <= 0 || gif->SHeight <= 0 || gif->SWidth > IMAGE_COTE_MAX || gif->SHeight > IMAGE_COTE_MAX)
        return "GIF screen of no size or too large";
    std::vector<GifPixelType> indices;
    int images = 0, transparent = -1;
    GifRecordType type;
    do {
        if (DGifGetRecordType(gif, &type) == GIF_ERROR)
            return Erreur(gif->Error);
        if (type == IMAGE_DESC_RECORD_TYPE) {
            if (DGifGetImageDesc(gif) == GIF_ERROR)
                return Erreur(gif->Error);
            const GifImageDesc& im = gif->Image;
            if (im.Width <= 0 || im.Height <= 0 || im.Left < 0 || im.Top < 0 || im.Left + im.Width > gif->SWidth
                || im.Top + im.Height > gif->SHeight)
                return "GIF frame outside its screen";
            indices.resize(size_t(im.Width) * (images == 0 ? im.Height : 1));
            for (int y = 0; y < im.Height; ++y)
                if (DGifGetLine(gif, &indices[images == 0 ? size_t(y) * im.Width : 0], im.Width) == GIF_ERROR)
                    return Erreur(gif->Error);
            if (images++ == 0)
                Peindre(gif, indices, transparent, image);
        } else if (type == EXTENSION_RECORD_TYPE) {
            int code;
            GifByteType* bloc;
            if (DGifGetExtension(gif, &code, &bloc) == GIF_ERROR)
                return Erreur(gif->Error);
            // The graphic control block: its flag and colour say which pixels are see-through.
            if (code == GRAPHICS_EXT_FUNC_CODE && bloc && bloc[0] >= 4 && images == 0)
                transparent = bloc[1] & 1 ? bloc[4] : -1;
            while (bloc)
                if (DGifGetExtensionNext(gif, &bloc) == GIF_ERROR)
                    return Erreur(gif->Error);
        }
    } while (type != TERMINATE_RECORD_TYPE);
    return images > 0 ? nullptr : "GIF without a picture";
}

} // namespace

const char* LireGif(const Uint8* octets, size_t taille, Image* image)
{
    Lecture l{octets, taille, 0};
    int erreur = 0;
    GifFileType* gif = DGifOpen(&l, Lire, &erreur);
    if (!gif)
        return Erreur(erreur);
    const char* raison = Parcourir(gif, image);
    DGifCloseFile(gif, &erreur);
    return raison;
}
