#pragma once

// SIGINT and SIGTERM end the intro with status 0, as closing its window does. During
// start-up (opening the window, loading the pictures, opening the music) they end the
// process at once, whatever it is waiting on; once the frame loop runs, the event pump
// ends it between frames with the normal exit, so exit handlers run on a quiet thread.
// A signal the intro was started with ignored (nohup, a background job) stays ignored.

// Installs the handlers in their start-up behaviour. Call before the video system starts,
// which must then leave the two signals alone.
void catchQuitSignals();

// From now on a quit signal is only recorded, for quitSignalled.
void deferQuitSignals();

// Whether a quit signal arrived since deferQuitSignals.
bool quitSignalled();
