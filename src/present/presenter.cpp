#include "present/presenter.h"

#include "gfx/argb_gfx.h"

#include <GL/gl.h>

PresenterState presenterState = {};

void setPresenterViewport(int32_t width, int32_t height) {
    presenterState.viewportWidth = width;
    presenterState.viewportHeight = height;
    presenterState.aspect = float(width) / float(height);
    presenterState.viewportSet = false;
}

static void uploadCanvas(const ArgbGfx& canvas) {
    // pitch equals width, so the rows are tightly packed as GL expects.
    if (presenterState.textureName == 0) {
        GLuint name = 0;
        glGenTextures(1, &name);
        presenterState.textureName = name;
        glBindTexture(GL_TEXTURE_2D, name);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
        glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, canvas.width, canvas.height, 0, GL_RGBA,
                     GL_UNSIGNED_BYTE, canvas.pixels);
    } else {
        glBindTexture(GL_TEXTURE_2D, presenterState.textureName);
        glTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, canvas.width, canvas.height, GL_RGBA,
                        GL_UNSIGNED_BYTE, canvas.pixels);
    }
}

void presentCanvas(const ArgbGfx& canvas) {
    glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
    uploadCanvas(canvas);

    if (!presenterState.viewportSet) {
        glViewport(0, 0, presenterState.viewportWidth, presenterState.viewportHeight);
        presenterState.viewportSet = true;
    }

    glClearColor(0.3137255f, 0.3137255f, 0.3137255f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);

    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glMatrixMode(GL_TEXTURE);
    glLoadIdentity();

    glEnable(GL_TEXTURE_2D);
    glDisable(GL_LIGHTING);
    glDisable(GL_DEPTH_TEST);
    glColor3f(1.0f, 1.0f, 1.0f);

    // A square of the window's height: canvas row 0 at the top.
    const float half = 1.0f / presenterState.aspect;
    glBegin(GL_QUADS);
    glTexCoord2f(0.0f, 1.0f);
    glVertex3f(-half, -1.0f, 0.0f);
    glTexCoord2f(1.0f, 1.0f);
    glVertex3f(half, -1.0f, 0.0f);
    glTexCoord2f(1.0f, 0.0f);
    glVertex3f(half, 1.0f, 0.0f);
    glTexCoord2f(0.0f, 0.0f);
    glVertex3f(-half, 1.0f, 0.0f);
    glEnd();

    while (glGetError() != GL_NO_ERROR) {}
}
