// The score, block by block (8 beats = 3.2 s each), following what the show draws.
#include "song.h"
#include "song_score.h"

namespace {

// Low, middle and high tom pitches in Hz.
constexpr double kTomLow = 90, kTomMid = 125, kTomHigh = 165;

void tomFill(Score& s, double beat) {
    s.tom(beat, kTomHigh);
    s.tom(beat + 0.25, kTomHigh);
    s.tom(beat + 0.5, kTomMid);
    s.tom(beat + 0.75, kTomLow);
}

// The opening, beats 0 to 16: the title texts over a pad and slow bells, hits on the
// three words at beats 8, 10 and 12, then a roll into the kick.
void opening(Score& s) {
    s.pad(0, 16);
    s.bells(0, 16, 1);
    for (double word : {8.0, 10.0, 12.0}) {
        s.stab(word, 0.22);
        s.tom(word, kTomLow, 0.45);
    }
    s.hats(12, 16, false, 0.06);
    s.riser(12, 16);
    s.roll(15, 16, 0.25, 0.12, 0.4);
}

// Beats 16 to 64: the kick enters with the floor zoom; the drop to black and the helmet
// reveal at 35, 36 and 38; the hook from beat 40; hits on the green words at 60 to 62.
void firstGroove(Score& s) {
    s.crash(16);
    s.groove(16, 32);
    s.pad(16, 32);
    s.roll(23.5, 24, 0.25, 0.25, 0.4);
    s.roll(31, 32, 0.25, 0.25, 0.45);

    s.pad(32, 40);
    s.bassHold(32, 35);
    for (double reveal : {35.0, 36.0, 38.0}) {
        s.kick(reveal);
        s.stab(reveal, 0.3);
    }
    s.crash(35);
    s.roll(39, 40, 0.125, 0.12, 0.45);

    s.crash(40);
    s.groove(40, 64);
    s.pad(40, 64, 0.07);
    s.lead(40, 60, 0);
    s.bell(44, 81);
    s.roll(47.5, 48, 0.25, 0.3, 0.45);
    s.roll(55.5, 56, 0.25, 0.3, 0.45);
    for (double word : {60.0, 61.0, 62.0}) s.stab(word, 0.3);
    tomFill(s, 63);
}

// Beats 64 to 136: spokes and the radar with its captions; eight-frame bursts at 85 and
// 119 get 32nd rolls; the flashes of block 11 and the red cross at 100 get stabs.
void spokesAndFlashes(Score& s) {
    s.crash(64);
    s.groove(64, 88);
    s.pad(64, 88, 0.07);
    s.lead(64, 80, 1);
    s.lead(80, 84, 0);
    for (double caption : {67.0, 68.0, 82.0, 83.0}) s.bell(caption, 86, 0.12);
    s.roll(71.5, 72, 0.25, 0.3, 0.45);
    s.roll(79, 80, 0.25, 0.2, 0.45);
    s.riser(83, 85);
    s.roll(85, 86, 0.125, 0.2, 0.5);

    s.groove(88, 96);
    s.pad(88, 96, 0.06);
    for (double flash : {87.5, 89.0, 90.0, 91.5, 93.0}) s.stab(flash, 0.32);
    s.roll(95, 96, 0.25, 0.25, 0.45);

    s.crash(96);
    s.groove(96, 104);
    s.pad(96, 104, 0.07);
    s.lead(96, 100, 1);
    s.crash(100, 0.3);
    s.stab(100, 0.34, 0);
    s.stab(102, 0.3);
    s.stab(103, 0.3);
    s.roll(103.5, 104, 0.25, 0.3, 0.45);

    s.groove(104, 120);
    s.pad(104, 120, 0.07);
    s.lead(104, 118, 0);
    s.roll(111.5, 112, 0.25, 0.3, 0.45);
    s.riser(117, 119);
    s.roll(119, 120, 0.125, 0.2, 0.5);

    s.crash(120);
    s.groove(120, 136);
    s.pad(120, 136, 0.07);
    s.arpeggio(120, 128);
    s.roll(127.5, 128, 0.25, 0.3, 0.45);
    s.lead(128, 134, 1);
    s.bell(131, 86, 0.12);
    s.stab(134, 0.26);
    s.stab(135, 0.26);
    s.roll(135.5, 136, 0.25, 0.3, 0.45);
}

// Beats 136 to 178: the burst at 137, the flash sequence and the text hits; a dead stop
// at 153 while the canvas is black; back at 156, then the build from 170 into the warp.
void flashesAndBuild(Score& s) {
    s.groove(136, 153);
    s.pad(136, 153, 0.07);
    s.roll(137, 138, 0.125, 0.2, 0.5);
    for (double flash : {139.5, 141.0, 142.0, 143.5, 145.0}) s.stab(flash, 0.32);
    s.lead(145, 148, 0);
    for (double word : {148.0, 150.0, 151.0, 152.0}) s.stab(word, 0.3);
    s.roll(151.5, 152, 0.25, 0.3, 0.45);

    s.pad(153, 156, 0.08);
    s.riser(153, 156, 0.07);

    s.crash(156);
    s.stab(156, 0.3, 0);
    s.fourOnTheFloor(156, 176);
    s.hats(156, 176, false);
    s.bassOffbeat(156, 176);
    s.claps(160, 176);
    s.pad(156, 178, 0.08);
    s.bells(160, 170, 2, 0.08);
    s.roll(159.5, 160, 0.25, 0.3, 0.45);
    s.roll(167.5, 168, 0.25, 0.3, 0.45);

    // The lift: a roll that doubles its speed twice while noise rises; the kick drops out
    // for the last two beats.
    s.riser(170, 178, 0.1);
    s.roll(170, 174, 0.5, 0.15, 0.3);
    s.roll(174, 176, 0.25, 0.3, 0.4);
    s.roll(176, 178, 0.125, 0.35, 0.55);
    s.bassHold(176, 178);
}

// Beats 178 to 240: the warp at full drive; arpeggios, the hook an octave up and the
// answer; fills before block boundaries; a sweep as the helmet rises at 221 and hits as
// the star slides in at 234 and out at 239.
void warp(Score& s) {
    s.crash(178, 0.3);
    s.stab(178, 0.32, 0);
    s.drive(178, 240);
    s.pad(178, 240, 0.09);
    s.arpeggio(178, 192);
    s.lead(192, 208, 0, 12, 0.15);
    s.lead(208, 224, 1);
    s.arpeggio(224, 234);
    s.lead(235, 239, 0);
    for (double fill : {183.5, 191.5, 199.5, 215.5, 223.5, 231.5})
        s.roll(fill, fill + 0.5, 0.25, 0.3, 0.45);
    tomFill(s, 207);
    s.crash(208);
    s.riser(219, 221);
    s.crash(221);
    s.crash(224);
    s.stab(234, 0.32);
    tomFill(s, 239);
}

// Beats 240 to 278: the break with the warp running backwards (no drums, G minor to the
// dominant, bells), a build from 257, the return at 261 with hits on the flashes and on
// each word of the last lines at 274 to 276.
void breakAndReturn(Score& s) {
    s.crash(240, 0.25);
    s.pad(240, 261, 0.11);
    s.bassHold(240, 261);
    s.bells(240, 256, 2, 0.12);
    s.bells(251, 258, 0.5, 0.1);
    s.riser(257, 261);
    s.roll(259, 260, 0.25, 0.15, 0.3);
    s.roll(260, 261, 0.125, 0.3, 0.5);

    s.crash(261, 0.3);
    s.stab(261, 0.3, 0);
    s.drive(261, 278);
    s.pad(261, 278, 0.06);
    for (double flash : {261.5, 263.0, 264.0, 265.5, 267.0}) s.stab(flash, 0.32);
    s.lead(268, 274, 1);
    s.roll(271.5, 272, 0.25, 0.3, 0.45);
    int rise = 0;
    for (double word : {274.0, 274.5, 275.0, 275.5, 276.0}) s.stab(word, 0.26, 12 + 2 * rise++);
    tomFill(s, 276.5);
    s.roll(277, 278, 0.125, 0.3, 0.5);
}

// Beats 278 to the end: the radar animation over the hook, hits on its holds at 290, 294
// and 297; the brake at 302 (half-time), back for the event lines at 308; a stop at 312,
// the landing on D minor with the credits at 314 and a last hit at 320 that rings out.
void outro(Score& s) {
    s.crash(278);
    s.groove(278, 302);
    s.pad(278, 302, 0.07);
    s.lead(278, 290, 0);
    for (double fill : {279.5, 287.5, 295.5}) s.roll(fill, fill + 0.5, 0.25, 0.3, 0.45);
    s.crash(290);
    s.stab(290, 0.3);
    s.stab(294, 0.28);
    s.stab(297, 0.28);
    s.roll(301.5, 302, 0.25, 0.3, 0.45);

    s.crash(302, 0.25);
    s.stab(302, 0.3, 0);
    s.kick(302);
    s.kick(304);
    s.hats(302, 306, false, 0.08);
    s.pad(302, 312, 0.08);
    s.roll(305, 306, 0.25, 0.2, 0.45);

    s.groove(306, 312);
    s.crash(308);
    s.lead(306, 312, 0);

    s.riser(312, 314);
    s.roll(313, 314, 0.125, 0.2, 0.45);
    s.pad(312, 314, 0.08);

    s.crash(314, 0.3);
    s.kick(314);
    s.stab(314, 0.34, 0);
    s.pad(314, 320, 0.1);
    s.bassHold(314, 320);
    // D minor falling from D6 to F4, one bell per credit beat.
    const int falling[6] = {86, 81, 77, 74, 69, 65};
    for (int i = 0; i < 6; ++i) s.bell(314 + i, falling[i], 0.12);

    s.crash(320, 0.3);
    s.kick(320);
    s.stab(320, 0.3, 0);
    s.pad(320, 326, 0.1);
    s.bassHold(320, 324);
}

}  // namespace

void arrangeSong(SongParts& parts) {
    Score score{parts};
    opening(score);
    firstGroove(score);
    spokesAndFlashes(score);
    flashesAndBuild(score);
    warp(score);
    breakAndReturn(score);
    outro(score);
}
