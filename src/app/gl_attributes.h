#pragma once
// The pixel format the window asks for: double-buffered RGBA with 8 bits a channel and a
// 16-bit depth buffer, in a compatibility context (the presenter draws with the fixed
// pipeline). Header-only, so the start-up benchmark's bare program asks for the same.
#include <SDL.h>

inline void requestGlAttributes() {
    SDL_GL_SetAttribute(SDL_GL_RED_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_GREEN_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_BLUE_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 16);
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_COMPATIBILITY);
}
