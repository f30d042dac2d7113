// Every window of the show at its bounds and just inside them: at an excluded bound
// nothing of the row draws, at an included start it does. up(b) and down(b) are the
// nearest representable beats beside b.
#include "scenes_support.h"

using namespace scenes_test;

namespace {
const uint32_t kTitleBlue = 0x00FF8866;
const uint32_t kYellow = 0x0066FFFF;
const uint32_t kRed = 0x003333FF;
const uint32_t kNone = 0x002020FF;

Step title() {
    return [](ArgbGfx& c, double beat) {
        for (const Step& s :
             {plain(5, 8, "once upon", kTitleBlue), plain(14, 18, "a time", kTitleBlue),
              plain(8, 28, "in 64x64", kTitleBlue), plain(14, 38, "pixels", kTitleBlue)})
            s(c, beat);
    };
}
}  // namespace

TEST_F(Show, OpeningTitleFillsBlockZeroAndItsNegativeLeadIn) {
    expectCases({
        {-0.5, {title()}},
        {0, {title()}},
        {down(8), {title()}},
    });
}

// blockBeat > 2 and > 4 are strict.
TEST_F(Show, JamTheRadarAddsItsWordsAfterBeats10And12) {
    const Step J = plain(20, 17, "JAM", kYellow), T = plain(20, 25, "THE", kYellow),
               R = plain(14, 33, "RADAR", kYellow);
    expectCases({
        {8, {J}},
        {10, {J}},
        {up(10), {J, T}},
        {12, {J, T}},
        {up(12), {J, T, R}},
        {down(16), {J, T, R}},
    });
}

TEST_F(Show, FloorZoomRunsThroughBlocks2And3) {
    expectCases({{16, {floorZoom()}}, {24, {floorZoom()}}, {down(32), {floorZoom()}}});
}

// The blockBeat tests of block 4 are strict; block 5 shows all three from its start.
TEST_F(Show, OneManBuildsUpFromBeat35) {
    const Step one = outlined(24, 38, "one", kRed), man = outlined(24, 46, "man", kRed);
    const Step copy = helmetCopy();
    expectCases({
        {32, {}},
        {35, {}},
        {up(35), {copy}},
        {36, {copy}},
        {up(36), {copy, one}},
        {38, {copy, one}},
        {up(38), {copy, one, man}},
        {down(40), {copy, one, man}},
        {40, {copy, one, man}},
        {44, {copy, one, man}},
        {up(44), {copy, one, man, rasberryAt(20, 24)}},
        {down(48), {copy, one, man, rasberryAt(20, 24)}},
    });
}

// The green words belong to block 7 only: block 6 at the same blockBeat has none.
TEST_F(Show, ShitloadOfMoneyComesInBlock7AfterBeats60To62) {
    const Step S = spokes();
    expectCases({
        {48, {S}},
        {53.5, {S}},
        {55, {S}},
        {56, {S}},
        {60, {S}},
        {up(60), {S, shitload()}},
        {61, {S, shitload()}},
        {up(61), {S, shitload(), of()}},
        {62, {S, shitload(), of()}},
        {up(62), {S, shitload(), of(), money()}},
        {down(64), {S, shitload(), of(), money()}},
    });
}

TEST_F(Show, FirstJamWindowsAreStrict) {
    const Step S = spokes();
    expectCases({
        {64, {}},
        {65, {}},
        {up(65), {S, frame(0)}},
        {67, {S, frame(0)}},
        {up(67), {S, frame(0), jam()}},
        {68, {S, frame(0), jam()}},
        {up(68), {S, frame(0), jam(), it()}},
        {down(69), {S, frame(0), jam(), it()}},
        {69, {S}},
        {down(78), {S}},
        {78, {}},
        {up(78), {frame(0)}},
        {82, {frame(0)}},
        {up(82), {frame(0), jam()}},
        {83, {frame(0), jam()}},
        {up(83), {frame(0), jam(), it()}},
        {down(84), {frame(0), jam(), it()}},
        {84, {frame(0)}},
        {down(85), {frame(0)}},
        {85, {}},
        {up(85), {frame(0)}},
        {down(86), {frame(7)}},
        {86, {}},
        {87.5, {}},
        {up(87.5), {lonestar()}},
        {down(88), {lonestar()}},
    });
}

TEST_F(Show, FlashPairAlternatesWithBlackInstantsBetween) {
    expectCases({
        {88, {lonestar()}},
        {down(89), {lonestar()}},
        {89, {}},
        {up(89), {barf()}},
        {down(90), {barf()}},
        {90, {}},
        {up(90), {lonestar()}},
        {down(91.5), {lonestar()}},
        {91.5, {}},
        {up(91.5), {barf()}},
        {down(93), {barf()}},
        {93, {}},
        {up(93), {lonestar()}},
        {down(96), {lonestar()}},
    });
}

TEST_F(Show, RedCrossBlockLayersFrameCrossPictureAndCaptions) {
    expectCases({
        {96, {}},
        {up(96), {frame(0)}},
        {100, {frame(0)}},
        {up(100), {frame(0), redCross()}},
        {102, {frame(0), redCross()}},
        {up(102), {frame(0), redCross(), lonestar(), jam()}},
        {103, {frame(0), redCross(), lonestar(), jam()}},
        {up(103), {frame(0), redCross(), lonestar(), jam(), it()}},
        {down(104), {frame(0), redCross(), lonestar(), jam(), it()}},
    });
}

TEST_F(Show, SecondJamWindowsAreStrict) {
    expectCases({
        {104, {}},
        {up(104), {spokes()}},
        {down(112), {spokes()}},
        {112, {}},
        {113, {}},
        {up(113), {frame(0)}},
        {117, {frame(0)}},
        {up(117), {frame(0), jam()}},
        {118, {frame(0), jam()}},
        {up(118), {frame(0), jam(), it()}},
        {down(119), {frame(0), jam(), it()}},
        {119, {}},
        {up(119), {frame(0)}},
        {119.5, {frame(4)}},
        {down(120), {frame(7)}},
    });
}

TEST_F(Show, ThirdJamWindowsAreStrict) {
    expectCases({
        {120, {}},
        {up(120), {spokes()}},
        {down(128), {spokes()}},
        {128, {}},
        {131, {}},
        {up(131), {frame(0)}},
        {134, {frame(0)}},
        {up(134), {frame(0), jam()}},
        {135, {frame(0), jam()}},
        {up(135), {frame(0), jam(), it()}},
        {down(136), {frame(0), jam(), it()}},
    });
}

TEST_F(Show, WeDoItBlocksRunBurstFlashesAndTexts) {
    const Step weDoIt = outlined(8, 34, "we do it", kRed), forA = outlined(11, 44, " for a", kRed);
    expectCases({
        {136, {frame(0)}},
        {down(137), {frame(0)}},
        {137, {}},
        {up(137), {frame(0)}},
        {137.5, {frame(4)}},
        {down(138), {frame(7)}},
        {138, {}},
        {139.5, {}},
        {up(139.5), {lonestar()}},
        {down(141), {lonestar()}},
        {141, {}},
        {up(141), {barf()}},
        {down(142), {barf()}},
        {142, {}},
        {up(142), {lonestar()}},
        {down(143.5), {lonestar()}},
        {143.5, {}},
        {up(143.5), {barf()}},
        {down(145), {barf()}},
        {145, {}},
        {up(145), {lonestar()}},
        {148, {lonestar()}},
        {up(148), {lonestar(), weDoIt, forA}},
        {down(150), {lonestar(), weDoIt, forA}},
        {150, {lonestar()}},
        {up(150), {lonestar(), shitload()}},
        {151, {lonestar(), shitload()}},
        {up(151), {lonestar(), shitload(), of()}},
        {down(152), {lonestar(), shitload(), of()}},
    });
}

TEST_F(Show, Block19ShowsMoneyThenBlackThenTheUnmaskedHelmet) {
    const Step noMask = picture(imgDarkHelmetNoMask);
    expectCases({
        {152, {lonestar(), shitload(), of(), money()}},
        {down(153), {lonestar(), shitload(), of(), money()}},
        {153, {}},
        {156, {}},
        {up(156), {noMask}},
        {down(160), {noMask}},
    });
}

TEST_F(Show, HelmetsGiveWayToTheWarpAtBeat178) {
    const Step noMask = picture(imgDarkHelmetNoMask), helmet = picture(imgDarkHelmet);
    expectCases({
        {160, {noMask}},
        {down(170), {noMask}},
        {170, {}},
        {up(170), {helmet}},
        {down(178), {helmet}},
        {178, {}},
        {up(178), {warpFrom178()}},
        {down(184), {warpFrom178()}},
        {184, {warpFrom178()}},
        {196, {warpFrom178()}},
        {down(208), {warpFrom178()}},
    });
}

// Inclusive starts. At 221, 234 and 251 the entering picture lies just off the canvas
// (row or column 64), so the start shows only one step later.
TEST_F(Show, WarpSwingWindowsIncludeTheirStart) {
    const Step W = warpFrom178(), R = swing();
    const Step helmetAtBottom = picture(imgDarkHelmet, 0, 63);
    expectCases({
        {208, {W, R}},
        {down(221), {W, R}},
        {221, {W, R, picture(imgDarkHelmet, 0, 64), R}},
        {up(221), {W, R, helmetAtBottom, R}},
        {down(225), {W, R, picture(imgDarkHelmet, 0, 64), R}},
        {225, {W, R}},
        {down(234), {W, R}},
        {234, {W, R}},
        {up(234), {W, R, lonestar(63, 0)}},
        {down(235), {W, R, lonestar(0, 0)}},
        {235, {W, R, lonestar()}},
        {down(239), {W, R, lonestar()}},
        {239, {W, R, lonestar(0, 0)}},
        {down(240), {W, R, lonestar(0, 63)}},
    });
}

TEST_F(Show, EndFirstHalfWindowsIncludeTheirStart) {
    const Step W = endWarp(), R = swing();
    expectCases({
        {240, {W, R}},
        {down(251), {W, R}},
        {up(251), {W, R, lonestar(0, 63)}},
        {down(252), {W, R, lonestar(0, 0)}},
        {252, {W, R, lonestar()}},
        {down(257), {W, R, lonestar()}},
        {257, {W, R, lonestar(0, 0)}},
        {down(258), {W, R, lonestar(63, 0)}},
        {258, {W, R}},
        {down(261), {W, R}},
        {261, {W, R}},
        {261.5, {W, R}},
        {up(261.5), {W, R, lonestar()}},
        {down(263), {W, R, lonestar()}},
        {263, {W, R}},
        {up(263), {W, R, barf()}},
        {down(264), {W, R, barf()}},
        {264, {W, R}},
        {up(264), {W, R, lonestar()}},
        {down(265.5), {W, R, lonestar()}},
        {265.5, {W, R}},
        {up(265.5), {W, R, barf()}},
        {down(267), {W, R, barf()}},
        {267, {W, R}},
        {up(267), {W, R, lonestar()}},
        {down(268), {W, R, lonestar()}},
        {268, {W, R, lonestar()}},
        {down(269), {W, R, lonestar()}},
        {269, {W, R, lonestar(0, 0)}},
        {down(270), {W, R, lonestar(0, 63)}},
        {270, {W, R}},
        {down(274), {W, R}},
    });
}

TEST_F(Show, ClosingWordsOfTheFirstHalfAppearLineByLine) {
    const Step W = endWarp(), R = swing();
    const Step none = outlined(8, 14, " none", kNone), ifs = outlined(8, 24, " if", kNone),
               we = outlined(8, 34, " we", kNone), jamLine = outlined(8, 44, " jam", kNone),
               itLine = outlined(8, 44, "     it", kNone);
    expectCases({
        {274, {W, R, none}},
        {down(274.5), {W, R, none}},
        {274.5, {W, R, none, ifs}},
        {down(275), {W, R, none, ifs}},
        {275, {W, R, none, ifs, we}},
        {down(275.5), {W, R, none, ifs, we}},
        {275.5, {W, R, none, ifs, we, jamLine}},
        {down(276), {W, R, none, ifs, we, jamLine}},
        {276, {W, R, none, ifs, we, jamLine, itLine}},
        {down(278), {W, R, none, ifs, we, jamLine, itLine}},
    });
}

// Only the very first window of the second half includes its start.
TEST_F(Show, EndSecondHalfWindowsAreStrictAfterTheFirst) {
    const uint32_t white = 0x00FFFFFF;
    const std::vector<Step> brake = {outlined(2, 24, "we brake", white),
                                     outlined(2, 34, "for nobody", white)};
    const std::vector<Step> event = {outlined(2, 24, "#quarkfest", kYellow),
                                     outlined(2, 34, "@vantrope", kYellow),
                                     outlined(2, 44, "2016-11-05", kYellow)};
    const std::vector<Step> credits = {
        outlined(2, 4, "code:", kYellow),   outlined(2, 10, "  tavo", kYellow),
        outlined(2, 24, "gfx:", kYellow),   outlined(2, 30, "  pirum", kYellow),
        outlined(2, 44, "music:", kYellow), outlined(2, 50, "  belorand", kYellow)};
    const Step qr = picture(imgLowrezQr);
    expectCases({
        {278, {frame(0)}},
        {down(282), {frame(0)}},
        {282, {}},
        {up(282), {frame(0)}},
        {down(290), {frame(31)}},
        {290, {frame(32)}},
        {294, {frame(32)}},
        {up(294), {frame(33)}},
        {297, {frame(33)}},
        {up(297), {frame(34)}},
        {down(300), {frame(34)}},
        {300, {}},
        {302, {}},
        {up(302), brake},
        {down(306), brake},
        {306, {}},
        {308, {}},
        {up(308), event},
        {down(312), event},
        {312, {}},
        {314, {}},
        {up(314), credits},
        {down(320), credits},
        {320, {}},
        {322, {}},
        {up(322), {qr}},
    });
}
