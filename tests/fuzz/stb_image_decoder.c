/* Fuzz builds only: the picture decoder compiled from the same header as the system's stb
   library, so that the sanitizers and the fuzzer's coverage reach inside it. Linked into
   a fuzz target, these definitions take the place of the shared library's. */
#define STB_IMAGE_IMPLEMENTATION
#include <stb/stb_image.h>
