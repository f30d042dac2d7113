#pragma once
#include "assets/image_slots.h"  // kAnimFrameCount
#include "picture.h"

// Every picture of the data folder, drawn from code. Each call gives the same pixels.

// Full 64 x 64 opaque picture in warm colours: a shaggy creature grinning on a sunburst.
Picture drawBarf();
// 64 x 64: a bevelled deep-blue star with a bright rim; transparent around it.
Picture drawLonestar();
// 128 x 128 opaque floor texture: bevelled glass tiles in a two-colour checker.
Picture drawGlasses();
// 64 x 64 opaque: the armoured character under a huge black helmet.
Picture drawDarkHelmet();
// 64 x 64 opaque: the same character and background, helmet off.
Picture drawDarkHelmetNoMask();
// 24 x 24 sprite: a raspberry with leaves; transparent around it.
Picture drawRasberry();

// Animation frame 0 to 34 (file numbers 1 to 35), 64 x 64 with a transparent background:
// a radar station that gets jammed. Frames 0 to 7 are a burst of jamming waves, 8 to 31
// sweep and pulse once per four frames, 32 to 34 are the overload, the droop and the wreck.
Picture drawRadarFrame(int frame);

// The text of the final picture's QR code.
inline constexpr char kQrText[] = "#quarkfest 2016-11-05";
// 64 x 64 opaque: kQrText as a QR code, black modules on white. Empty picture on failure.
Picture drawLowrezQr();
