#pragma once

// Opens the window, loads the pictures, starts the music and renders for ever, at most
// one frame per refresh of the display; the process ends from the event pump (Escape,
// window closed, SIGINT, SIGTERM) or on a start-up failure.
[[noreturn]] void runDemo();
