#include "demo/timeline.h"

#include "demo/scenes.h"
#include "gfx/argb_gfx.h"

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
    return frameTimeAtBeat(seconds * 150 / 60);
}

ShowBranch showBranchFor(const FrameTime& time) {
    switch (time.block) {
    case 0: return ShowBranch::OpeningTitle;
    case 1: return ShowBranch::JamTheRadar;
    case 2: case 3: return ShowBranch::FloorZoom;
    case 4: case 5: return ShowBranch::OneMan;
    case 6: case 7: return ShowBranch::ShitloadOfMoney;
    case 8: case 9: case 10: return ShowBranch::FirstJam;
    case 11: return ShowBranch::FlashPair;
    case 12: return ShowBranch::RedCross;
    case 13: case 14: return ShowBranch::SecondJam;
    case 15: case 16: return ShowBranch::ThirdJam;
    case 17: case 18: return ShowBranch::WeDoIt;
    case 19: return ShowBranch::MoneyAndHelmet;
    case 20: case 21: case 22: return ShowBranch::HelmetsIntoWarp;
    case 23: case 24: case 25: return ShowBranch::Warp;
    case 26: case 27: case 28: case 29: return ShowBranch::WarpSwing;
    default: return time.beat < 278 ? ShowBranch::EndFirstHalf : ShowBranch::EndSecondHalf;
    }
}

void drawFrame(ArgbGfx& canvas, const FrameTime& time) {
    switch (showBranchFor(time)) {
    case ShowBranch::OpeningTitle: drawOpeningTitle(canvas, time); break;
    case ShowBranch::JamTheRadar: drawJamTheRadar(canvas, time); break;
    case ShowBranch::FloorZoom: drawFloorZoom(canvas, time); break;
    case ShowBranch::OneMan: drawOneMan(canvas, time); break;
    case ShowBranch::ShitloadOfMoney: drawShitloadOfMoney(canvas, time); break;
    case ShowBranch::FirstJam: drawFirstJam(canvas, time); break;
    case ShowBranch::FlashPair: drawFlashPair(canvas, time); break;
    case ShowBranch::RedCross: drawRedCross(canvas, time); break;
    case ShowBranch::SecondJam: drawSecondJam(canvas, time); break;
    case ShowBranch::ThirdJam: drawThirdJam(canvas, time); break;
    case ShowBranch::WeDoIt: drawWeDoIt(canvas, time); break;
    case ShowBranch::MoneyAndHelmet: drawMoneyAndHelmet(canvas, time); break;
    case ShowBranch::HelmetsIntoWarp: drawHelmetsIntoWarp(canvas, time); break;
    case ShowBranch::Warp: drawWarp(canvas, time); break;
    case ShowBranch::WarpSwing: drawWarpSwing(canvas, time); break;
    case ShowBranch::EndFirstHalf: drawEndFirstHalf(canvas, time); break;
    case ShowBranch::EndSecondHalf: drawEndSecondHalf(canvas, time); break;
    }
}
