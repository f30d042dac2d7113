#include "app/quit_signals.h"

#include <csignal>
#include <unistd.h>

// Written by the handler, read by the frame loop's thread; nothing else touches them.
static volatile sig_atomic_t quitDeferred = 0;
static volatile sig_atomic_t quitArrived = 0;

static void onQuitSignal(int) {
    // Start-up may be deep in a decoder or the C allocator: only _exit is safe there, and
    // nothing loaded so far needs its exit handler.
    if (!quitDeferred) _exit(0);
    quitArrived = 1;
}

static void catchUnlessIgnored(int signal) {
    struct sigaction current = {};
    if (sigaction(signal, nullptr, &current) != 0 || current.sa_handler == SIG_IGN) return;
    struct sigaction action = {};
    action.sa_handler = onQuitSignal;
    sigemptyset(&action.sa_mask);
    // Other threads' reads go on; a sleep is never restarted, so a pacing sleep ends at
    // once and the pump sees the signal.
    action.sa_flags = SA_RESTART;
    sigaction(signal, &action, nullptr);
}

void catchQuitSignals() {
    catchUnlessIgnored(SIGINT);
    catchUnlessIgnored(SIGTERM);
}

void deferQuitSignals() {
    quitDeferred = 1;
}

bool quitSignalled() {
    return quitArrived != 0;
}
