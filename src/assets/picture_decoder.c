/* The picture decoder from the system's stb_image header, built here for PNG and JPEG
   alone: every other format it knows has faults reachable from a data folder (16-bit PNM
   reads past its buffer, PNM widths overflow an int, header-only TGA, PSD and HDR files
   decode as huge blank pictures), and a data pack needs none of them. */
#include "assets/picture_decoder.h"

#include <limits.h>
#include <stdlib.h>
#include <string.h>

/* Every block the decoder allocates starts zeroed, so a JPEG scan naming a Huffman table
   that no segment defined decodes the same way every time instead of from stale memory. */
static void* zeroedAllocation(size_t bytes) {
    return calloc(1, bytes);
}

#define STB_IMAGE_STATIC
#define STB_IMAGE_IMPLEMENTATION
#define STBI_ONLY_PNG
#define STBI_ONLY_JPEG
#define STBI_NO_STDIO
#define STBI_NO_LINEAR
#define STBI_NO_HDR
#define STBI_MALLOC(bytes) zeroedAllocation(bytes)
#define STBI_REALLOC(block, bytes) realloc(block, bytes)
#define STBI_FREE(block) free(block)
/* Its own limit on a side; the pre-checks hold every picture far below it (64 MiB). */
#define STBI_MAX_DIMENSIONS (1 << 24)

#if defined(__GNUC__)
/* Declared functions of formats left out are never defined; that is reported at the end
   of the file, so this one stays off for all of it. */
#pragma GCC diagnostic ignored "-Wunused-function"
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wsign-compare"
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"
#pragma GCC diagnostic ignored "-Wimplicit-fallthrough"
#endif
#include <stb/stb_image.h>
#if defined(__GNUC__)
#pragma GCC diagnostic pop
#endif

uint8_t* decodePictureRgba(const uint8_t* data, size_t size, int* width, int* height) {
    if (size > (size_t)INT_MAX) {
        stbi__g_failure_reason = "file too large";
        return NULL;
    }
    int channels = 0;
    stbi__g_failure_reason = NULL;
    uint8_t* pixels = stbi_load_from_memory(data, (int)size, width, height, &channels, 4);
    /* It tries PNG first: a JPEG that fails without a reason of its own would otherwise
       carry the PNG test's. */
    if (!pixels && stbi__g_failure_reason && strcmp(stbi__g_failure_reason, "bad png sig") == 0)
        stbi__g_failure_reason = NULL;
    return pixels;
}

void freeDecodedPicture(uint8_t* pixels) {
    stbi_image_free(pixels);
}

const char* decodedPictureFailure(void) {
    return stbi_failure_reason();
}

int64_t inflatePictureData(const uint8_t* in, size_t size, uint8_t* out, size_t capacity,
                           int zlibHeader) {
    if (size > (size_t)INT_MAX || capacity > (size_t)INT_MAX) {
        stbi__g_failure_reason = "image data too large";
        return kInflateFailed;
    }
    stbi__g_failure_reason = NULL;
    const int produced =
        zlibHeader ? stbi_zlib_decode_buffer((char*)out, (int)capacity, (const char*)in, (int)size)
                   : stbi_zlib_decode_noheader_buffer((char*)out, (int)capacity, (const char*)in,
                                                      (int)size);
    if (produced >= 0) return produced;
    /* The inflater's own word for a full buffer it may not grow. */
    if (stbi__g_failure_reason && strcmp(stbi__g_failure_reason, "output buffer limit") == 0)
        return kInflateOverflow;
    return kInflateFailed;
}
