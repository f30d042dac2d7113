#pragma once

// Ctrl-C (SIGINT), SIGTERM and SIGHUP only raise a flag that the drawing loop reads
// between moments, so every run stops at a point where it can clean up after itself.
// SIGPIPE is ignored: a closed pipe shows up as a write error with its reason instead.
void catchInterrupts();

// True once one of the signals above has arrived.
bool interrupted();

// The conventional exit status of a run stopped by the signal: 128 + its number.
int interruptedStatus();
