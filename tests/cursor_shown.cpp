// Tells whether the X server currently shows a mouse cursor: the cursor image at the
// pointer (XFixes) has at least one pixel that is not fully transparent. A program
// that hides the cursor over its window gives it a blank image there.
// usage: cursor_shown   (on the display in $DISPLAY)
// Prints the image's size and its count of visible pixels. Exit status: 0 a cursor is
// shown, 1 the cursor is blank, 2 no display or no XFixes.
#include <X11/Xlib.h>
#include <X11/extensions/Xfixes.h>

#include <cstdio>

int main() {
    Display* display = XOpenDisplay(nullptr);
    if (!display) {
        std::fputs("cursor_shown: cannot open the display\n", stderr);
        return 2;
    }
    int eventBase = 0, errorBase = 0;
    XFixesCursorImage* image = nullptr;
    if (XFixesQueryExtension(display, &eventBase, &errorBase))
        image = XFixesGetCursorImage(display);
    if (!image) {
        std::fputs("cursor_shown: no cursor image (XFixes missing)\n", stderr);
        XCloseDisplay(display);
        return 2;
    }
    // Pixels are 32-bit ARGB, one per unsigned long.
    long visible = 0;
    const long count = long(image->width) * long(image->height);
    for (long i = 0; i < count; ++i)
        if ((image->pixels[i] >> 24) & 0xFF) ++visible;
    std::printf("cursor %ux%u, %ld visible pixels\n", unsigned(image->width),
                unsigned(image->height), visible);
    XFree(image);
    XCloseDisplay(display);
    return visible > 0 ? 0 : 1;
}
