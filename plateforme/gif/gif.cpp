#include "gif.h"

#include <gif_lib.h>

#include <algorithm>
#include <cstring>
#include <vector>

namespace {

struct Lecture {
    const unsigned char* octets;
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

// Every block in turn; each frame decoded line by line, once it is known to lie
// within the screen (giflib checks neither that nor any size).
const char* Parcourir(GifFileType* gif)
{
    if (gif->SWidth <= 0 || gif->SHeight <= 0 || gif->SWidth > GIF_COTE_MAX || gif->SHeight > GIF_COTE_MAX)
        return "GIF screen of no size or too large";
    std::vector<GifPixelType> ligne;
    int images = 0;
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
            ligne.resize(size_t(im.Width));
            for (int y = 0; y < im.Height; ++y)
                if (DGifGetLine(gif, ligne.data(), im.Width) == GIF_ERROR)
                    return Erreur(gif->Error);
            ++images;
        } else if (type == EXTENSION_RECORD_TYPE) {
            int code;
            GifByteType* bloc;
            if (DGifGetExtension(gif, &code, &bloc) == GIF_ERROR)
                return Erreur(gif->Error);
            while (bloc)
                if (DGifGetExtensionNext(gif, &bloc) == GIF_ERROR)
                    return Erreur(gif->Error);
        }
    } while (type != TERMINATE_RECORD_TYPE);
    return images > 0 ? nullptr : "GIF without a picture";
}

} // namespace

const char* GifRefuse(const unsigned char* octets, size_t taille)
{
    Lecture l{octets, taille, 0};
    int erreur = 0;
    GifFileType* gif = DGifOpen(&l, Lire, &erreur);
    if (!gif)
        return Erreur(erreur);
    const char* raison = Parcourir(gif);
    DGifCloseFile(gif, &erreur);
    return raison;
}
