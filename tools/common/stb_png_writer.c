/* Windows: stb's PNG writer compiled here, from the header Debian's libstb-dev ships (the
   Linux build links the compiled libstb instead). */
#define STB_IMAGE_WRITE_IMPLEMENTATION
#include <stb/stb_image_write.h>
