// Windows: Ctrl-C, Ctrl-Break and the console being closed raise the flag the tools read
// between steps, with the statuses the POSIX signals would give.
#include "interrupt.h"

#include <windows.h>

namespace {

// The POSIX signal number the console event stands for, 0 while none has arrived.
volatile LONG gStopSignal = 0;

BOOL WINAPI noteStop(DWORD event) {
    constexpr LONG kInterrupt = 2, kTerminate = 15;
    InterlockedExchange(&gStopSignal, event == CTRL_C_EVENT ? kInterrupt : kTerminate);
    return TRUE;
}

}  // namespace

void catchInterrupts() {
    SetConsoleCtrlHandler(noteStop, TRUE);
}

bool interrupted() {
    return gStopSignal != 0;
}

int interruptedStatus() {
    return 128 + int(gStopSignal);
}
