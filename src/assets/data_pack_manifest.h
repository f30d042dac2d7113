#pragma once
// The data pack: every file the show reads from its data folder, the slot each picture
// fills and the size the show needs of it. The loader, make-data, intro-render, the tests
// and the benchmarks all take the pack's names from here.
#include "assets/image_slots.h"

#include <cstdio>
#include <string>
#include <vector>

// The size a picture needs for the show to draw it as meant; other sizes still load, with
// a warning.
enum class PictureSize {
    Any,
    AtLeast128,  // the floor samples its columns and rows 0 to 127
    Exactly64,   // copied whole as the 64 x 64 background
};

// One picture: its file, relative to the data folder, the slot it fills, and how the show
// draws it.
struct PackPicture {
    std::string fileName;
    ArgbGfx* slot;
    PictureSize size;
    // The size that fits on the canvas from the farthest place the picture rests at (slides
    // in and out aside); 0 x 0 for a picture not drawn as a sprite (the floor's texture).
    int roomWidth = 64, roomHeight = 64;
    // Drawn with its mask over other drawing: its transparent parts show what lies beneath.
    bool cutOut = false;
};

// The data folder, relative to the working directory; ends in '/'.
constexpr char kDataFolder[] = "../data/";

// The music, relative to the data folder.
constexpr char kMusicFileName[] = "vorb_06_mp3.mp3";

// Animation frame i (element i of animFrames) is file number i + 1, with two digits.
constexpr char kAnimFrameNameFormat[] = "jtranim/jtr%2.2d.png";
constexpr char kAnimFrameFolder[] = "jtranim";

inline std::string animFrameFileName(int index) {
    char name[32];
    std::snprintf(name, sizeof name, kAnimFrameNameFormat, index + 1);
    return name;
}

// The warning for a picture loaded into its slot at a size the show does not expect,
// `name` standing for the file ("<name> is 64x64 pixels; the show needs at least
// 128x128"); "" when the size suits.
inline std::string pictureSizeWarning(const PackPicture& picture, const std::string& name) {
    const ArgbGfx& slot = *picture.slot;
    const char* needs = nullptr;
    // The floor samples columns and rows 0 to 127; the background is copied whole.
    if (picture.size == PictureSize::AtLeast128 && (slot.width < 128 || slot.height < 128))
        needs = "at least 128x128";
    if (picture.size == PictureSize::Exactly64 && (slot.width != 64 || slot.height != 64))
        needs = "exactly 64x64";
    if (!needs) return "";
    return name + " is " + std::to_string(slot.width) + "x" + std::to_string(slot.height) +
           " pixels; the show needs " + needs;
}

// Every picture of the pack in loading order (the order of the warnings): the stills,
// the 35 animation frames among them, 42 in all.
inline std::vector<PackPicture> packPictures() {
    std::vector<PackPicture> pictures = {
        {"barf.png", &imgBarf, PictureSize::Any},
        // Over the animation's first frame and its red cross, and over the warp.
        {"lonestar.png", &imgLonestar, PictureSize::Any, 64, 64, true},
        {"glasses.png", &imgGlasses, PictureSize::AtLeast128, 0, 0},
        {"darkhelmet.png", &imgDarkHelmet, PictureSize::Exactly64},
        // Over the spokes and the warp; its swing reaches column 30 and row 28.
        {"rasberry.png", &imgRasberry, PictureSize::Any, 34, 36, true},
    };
    for (int i = 0; i < kAnimFrameCount; ++i) {
        // The first frame is drawn over the spokes; the others over black.
        const bool overSpokes = i == 0;
        pictures.push_back(
            {animFrameFileName(i), &animFrames[i], PictureSize::Any, 64, 64, overSpokes});
    }
    pictures.push_back({"darkhelmetnomask.png", &imgDarkHelmetNoMask, PictureSize::Any});
    pictures.push_back({"lowrezqr.png", &imgLowrezQr, PictureSize::Any});
    return pictures;
}
