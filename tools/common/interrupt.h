#pragma once

// Ctrl-C (SIGINT), SIGTERM and SIGHUP only raise a flag that the tools read between steps,
// so every run stops at a point where it can clean up after itself. Blocking calls return
// early (no SA_RESTART) and the file edges give up once the flag is up. SIGPIPE is
// ignored: a closed pipe shows up as a write error (EPIPE) instead.
void catchInterrupts();

// True once one of the signals above has arrived.
bool interrupted();

// The conventional exit status of a run stopped by the signal: 128 + its number.
int interruptedStatus();
