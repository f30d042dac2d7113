#pragma once
#include "demo/frame_time.h"
#include "options.h"
#include "progress.h"

#include <cstdint>
#include <functional>
#include <string>

class ArgbGfx;

enum class RunEnd { Done, Failed, Interrupted };

// Receives each finished canvas with its time values and its index in the run; returns
// false with a message in error to stop the run.
using TakeFrame = std::function<bool(const ArgbGfx& canvas, const FrameTime& time, int64_t index,
                                     std::string& error)>;

// Draws every moment of the run in order, each on a fresh frame canvas exactly as the live
// intro does, and hands it to take. Stops when take fails, or between two moments once the
// run is interrupted. Progress is updated after every moment.
RunEnd drawMoments(const RenderOptions& options, Progress& progress, const TakeFrame& take,
                   std::string& error);

// Seconds of show a capture spans (its frames / fps) when the run is a single --fps
// capture; 0 otherwise.
double captureSeconds(const RenderOptions& options);

// Prints "intro-render: <message>" on stderr below any progress line; returns exit status 1.
int failRun(Progress& progress, const std::string& message);

// Reports a run stopped by a signal ("interrupted; <outcome>"); returns its exit status
// (130 for Ctrl-C).
int stopRun(Progress& progress, const std::string& outcome);

// A step before or after the drawing failed: reported as the interrupt when one cut it
// short (a blocked open of a FIFO, say), otherwise as the failure.
int stepFailed(Progress& progress, const std::string& error, const std::string& outcome);

// The exit status of a run that ended early: 1 after a failure (error printed), the
// signal's status after an interrupt (outcome printed).
int endedEarly(RunEnd end, Progress& progress, const std::string& error,
               const std::string& outcome);
