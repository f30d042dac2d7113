#pragma once
// The project's own build of the picture decoder (PNG and JPEG only), compiled with the
// project's flags so that the sanitizer and fuzz builds instrument it. Its functions are
// private to picture_decoder.c; these are the only way in. Callers run the pre-checks of
// picture_check.h first: the decoder trusts sizes and tables they have bounded.
#include <stddef.h>
#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

// Decodes a PNG or JPEG held in memory to width x height R, G, B, A bytes, or returns
// null with decodedPictureFailure() telling why. Free the result with freeDecodedPicture.
uint8_t* decodePictureRgba(const uint8_t* data, size_t size, int* width, int* height);
void freeDecodedPicture(uint8_t* pixels);

// The decoder's terse reason for the last failure in this thread ("outofdata", "bad huffman
// code", ...); may be null.
const char* decodedPictureFailure(void);

// Inflates a zlib stream (zlibHeader 1) or raw deflate data (0) from `in` into out, with
// the inflater the decoder itself uses, writing at most capacity bytes. Returns the bytes
// produced; kInflateOverflow when the stream yields more than capacity; kInflateFailed
// when it does not inflate (decodedPictureFailure() tells why).
int64_t inflatePictureData(const uint8_t* in, size_t size, uint8_t* out, size_t capacity,
                           int zlibHeader);
#define kInflateFailed (-1)
#define kInflateOverflow (-2)

#ifdef __cplusplus
}
#endif
