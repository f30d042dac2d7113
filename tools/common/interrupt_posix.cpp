#include "interrupt.h"

#include <csignal>
#include <initializer_list>

namespace {

// The signal that stopped the run, 0 while none has arrived. Written only by the handler.
volatile std::sig_atomic_t gStopSignal = 0;

extern "C" void noteStop(int signal) {
    gStopSignal = signal;
}

}  // namespace

void catchInterrupts() {
    struct sigaction action = {};
    action.sa_handler = noteStop;
    sigemptyset(&action.sa_mask);
    // No SA_RESTART: a blocked write returns early, and the loop notices the flag sooner.
    action.sa_flags = 0;
    for (int signal : {SIGINT, SIGTERM, SIGHUP}) sigaction(signal, &action, nullptr);
    std::signal(SIGPIPE, SIG_IGN);
}

bool interrupted() {
    return gStopSignal != 0;
}

int interruptedStatus() {
    return 128 + int(gStopSignal);
}
