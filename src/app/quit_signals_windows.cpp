// Windows: Ctrl-C, Ctrl-Break and the closing of the console the intro runs in end it with
// status 0, as closing its window does (see quit_signals.h). The system calls the handler
// on a thread of its own.
#include "app/quit_signals.h"

#include <windows.h>

#include <atomic>
#include <cstdlib>

// Written by the handler's thread, read by the frame loop's thread.
static std::atomic<bool> quitDeferred{false};
static std::atomic<bool> quitArrived{false};

static BOOL WINAPI onConsoleEvent(DWORD event) {
    if (event != CTRL_C_EVENT && event != CTRL_BREAK_EVENT && event != CTRL_CLOSE_EVENT)
        return FALSE;
    // Start-up may be deep in a decoder or the C allocator, on the other thread: nothing
    // loaded so far needs its exit handler.
    if (!quitDeferred.load()) _exit(0);
    quitArrived.store(true);
    // A closing console ends the process as soon as the handler returns; the frame loop
    // ends it first, with the normal exit.
    if (event == CTRL_CLOSE_EVENT) Sleep(INFINITE);
    return TRUE;
}

void catchQuitSignals() {
    // A process may start with Ctrl-C ignored (a new process group, a program started
    // without a console); this one takes it.
    SetConsoleCtrlHandler(nullptr, FALSE);
    SetConsoleCtrlHandler(onConsoleEvent, TRUE);
}

void deferQuitSignals() {
    quitDeferred.store(true);
}

bool quitSignalled() {
    return quitArrived.load();
}
