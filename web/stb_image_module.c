// The picture decoder inside the web module: Debian's stb_image.h compiled here with the
// project's flags. The module has no files; pictures arrive as bytes from JavaScript.
#define STB_IMAGE_IMPLEMENTATION
#define STBI_NO_STDIO
#include <stb/stb_image.h>
