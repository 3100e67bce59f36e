// A JPEG decoded by libjpeg-turbo with SDL_image's settings, so the pixels are those of
// the Linux game. libjpeg stops on an error by jumping out of the decoder: nothing in
// this file lives on the stack across that jump but plain data.
#include "image.h"

#include <csetjmp>
#include <cstdio>

#include <jpeglib.h>

namespace {

struct Erreurs {
    jpeg_error_mgr mgr;
    jmp_buf saut;
};

char raison[JMSG_LENGTH_MAX + 8];

void Sortir(j_common_ptr info)
{
    char message[JMSG_LENGTH_MAX];
    info->err->format_message(info, message);
    snprintf(raison, sizeof raison, "JPEG %s", message);
    longjmp(reinterpret_cast<Erreurs*>(info->err)->saut, 1);
}

// A damaged picture's warnings go nowhere: libjpeg draws on, as in SDL_image.
void Taire(j_common_ptr)
{
}

} // namespace

const char* LireJpeg(const Uint8* octets, size_t taille, Image* image)
{
    jpeg_decompress_struct info;
    Erreurs e;
    info.err = jpeg_std_error(&e.mgr);
    e.mgr.error_exit = Sortir;
    e.mgr.output_message = Taire;
    if (setjmp(e.saut)) {
        jpeg_destroy_decompress(&info);
        return raison;
    }
    jpeg_create_decompress(&info);
    jpeg_mem_src(&info, octets, static_cast<unsigned long>(taille));
    jpeg_read_header(&info, TRUE);
    if (info.image_width > unsigned(IMAGE_COTE_MAX) || info.image_height > unsigned(IMAGE_COTE_MAX)) {
        jpeg_destroy_decompress(&info);
        return "JPEG too large";
    }
    if (!image) {
        jpeg_destroy_decompress(&info);
        return nullptr;
    }
    // Four channels are CMYK, as Adobe writes it (inverted); libjpeg gives no RGB of it.
    bool cmyk = info.num_components == 4;
    info.out_color_space = cmyk ? JCS_CMYK : JCS_RGB;
    info.quantize_colors = FALSE;
    jpeg_start_decompress(&info);
    int l = int(info.output_width), h = int(info.output_height), n = info.output_components;
    image->largeur = l;
    image->hauteur = h;
    image->rgba.assign(size_t(l) * h * 4, 255);
    JSAMPARRAY ligne = (*info.mem->alloc_sarray)(reinterpret_cast<j_common_ptr>(&info), JPOOL_IMAGE, JDIMENSION(l * n), 1);
    while (info.output_scanline < info.output_height) {
        Uint8* p = &image->rgba[size_t(info.output_scanline) * l * 4];
        jpeg_read_scanlines(&info, ligne, 1);
        for (int x = 0; x < l; ++x, p += 4) {
            const JSAMPLE* s = ligne[0] + x * n;
            for (int c = 0; c < 3; ++c)
                p[c] = cmyk ? Uint8(s[c] * s[3] / 255) : s[c];
        }
    }
    jpeg_finish_decompress(&info);
    jpeg_destroy_decompress(&info);
    return nullptr;
}
