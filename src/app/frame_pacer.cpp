#include "app/frame_pacer.h"

FramePacer makeFramePacer(int32_t refreshHz) {
    const int64_t hz = refreshHz > 0 ? refreshHz : 60;
    return {1000000000 / hz, 0};
}

int64_t frameSleepUntil(FramePacer& pacer, int64_t workStartNs, int64_t swappedNs) {
    if (pacer.dueNs == 0) pacer.dueNs = workStartNs;
    const int64_t next = pacer.dueNs + pacer.periodNs;
    if (next > swappedNs) {
        pacer.dueNs = next;
        return next;
    }
    // Late by less than two refreshes: start at once and keep the schedule, so the rate
    // holds on a busy machine (at most one frame follows straight after), and a swap that
    // waits for the refresh is never delayed.
    if (swappedNs - next < 2 * pacer.periodNs) {
        pacer.dueNs = next;
        return 0;
    }
    // Later still (a stall, or frames slower than the refresh): a schedule afresh from
    // this frame's start, with no burst of frames to catch up.
    const int64_t afresh = workStartNs + pacer.periodNs;
    pacer.dueNs = afresh > swappedNs ? afresh : swappedNs;
    return afresh > swappedNs ? afresh : 0;
}
