#include "demo/timeline.h"

#include "demo/scenes.h"
#include "gfx/argb_gfx.h"

#include <climits>

FrameTime frameTimeAtBeat(double beat) {
    FrameTime time;
    time.beat = beat;
    // Truncation toward zero; beats outside the 32-bit range (and NaN) cannot be
    // converted, so they are pinned to values that still select the end section.
    if (beat >= -2147483648.0 && beat < 2147483648.0)
        time.wholeBeat = int32_t(beat);
    else
        time.wholeBeat = beat > 0 ? INT32_MAX : INT32_MIN;
    time.block = time.wholeBeat >> 3;
    time.blockBeat = beat - 8.0 * time.block;
    time.beatFraction = beat - time.wholeBeat;
    return time;
}

FrameTime frameTimeAtSeconds(double seconds) {
    return frameTimeAtBeat(seconds * kBeatsPerMinute / 60);
}

const ShowBranch kBlockBranches[] = {
    {0, 0, drawOpeningTitle},      {1, 1, drawJamTheRadar},
    {2, 3, drawFloorZoom},         {4, 5, drawOneMan},
    {6, 7, drawShitloadOfMoney},   {8, 10, drawFirstJam},
    {11, 11, drawFlashPair},       {12, 12, drawRedCross},
    {13, 14, drawSecondJam},       {15, 16, drawThirdJam},
    {17, 18, drawWeDoIt},          {19, 19, drawMoneyAndHelmet},
    {20, 22, drawHelmetsIntoWarp}, {23, 25, drawWarp},
    {26, 29, drawWarpSwing},
};
const size_t kBlockBranchCount = sizeof kBlockBranches / sizeof kBlockBranches[0];

const ShowBranch kEndFirstHalf = {INT32_MIN, INT32_MAX, drawEndFirstHalf};
const ShowBranch kEndSecondHalf = {INT32_MIN, INT32_MAX, drawEndSecondHalf};

const ShowBranch& showBranchFor(const FrameTime& time) {
    for (size_t i = 0; i < kBlockBranchCount; ++i)
        if (kBlockBranches[i].firstBlock <= time.block && time.block <= kBlockBranches[i].lastBlock)
            return kBlockBranches[i];
    return time.beat < kEndSecondHalfBeat ? kEndFirstHalf : kEndSecondHalf;
}

void drawFrame(ArgbGfx& canvas, const FrameTime& time) {
    showBranchFor(time).draw(canvas, time);
}
