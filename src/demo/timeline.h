#pragma once
#include "demo/frame_time.h"

#include <cstddef>
#include <cstdint>

class ArgbGfx;

// The time values of the moment `seconds` after the start of the music.
FrameTime frameTimeAtSeconds(double seconds);
// The time values of a moment given directly as a beat.
FrameTime frameTimeAtBeat(double beat);

// One branch of the show: the blocks it covers and the function that draws it onto the
// freshly cleared frame canvas.
struct ShowBranch {
    int32_t firstBlock;
    int32_t lastBlock;
    void (*draw)(ArgbGfx& canvas, const FrameTime& time);
};

// The block switch in show order: blocks 0 to 29, each in exactly one row.
extern const ShowBranch kBlockBranches[];
extern const size_t kBlockBranchCount;

// Every other block (beat 240 on, or below -1) is the end section, whose halves split on
// the beat itself.
constexpr double kEndSecondHalfBeat = 278;
extern const ShowBranch kEndFirstHalf;
extern const ShowBranch kEndSecondHalf;

const ShowBranch& showBranchFor(const FrameTime& time);

// The show's last change, at beat 322 (128.8 s): from there on the final picture stands.
constexpr double kShowEndBeat = 322;
constexpr double kShowEndSeconds = kShowEndBeat * 60 / kBeatsPerMinute;

// Draws the moment onto a freshly cleared 64 x 64 canvas: a pure function of the time
// values and the image slots.
void drawFrame(ArgbGfx& canvas, const FrameTime& time);
