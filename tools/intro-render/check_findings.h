#pragma once
// What --check found, for the people who replace the pictures and the music.
#include "assets/data_pack.h"
#include "demo/timeline.h"

#include <functional>
#include <string>
#include <vector>

struct CheckFinding {
    enum Level { Ok, Note, Problem } level = Ok;  // Problem: the show will not play as meant
    std::string subject;                          // "pictures" or "music"
    std::string text;
};

using CheckFindings = std::vector<CheckFinding>;

// The pictures of the data folder dir (ending in '/'), slot by slot, loaded into their
// slots as the intro loads them.
CheckFindings checkPictures(const std::string& dir);

// The same check for pictures handed over one by one (the web page has their bytes): each
// is loaded by `load` into the pack, in the manifest's order, then looked at as it came out.
struct PictureCheck {
    PackLoad pack;
    CheckFindings findings;
};
void checkPicture(PictureCheck& check, const PackPicture& picture, const std::string& name,
                  const std::function<void(PackLoad&)>& load);
// The summary first and the budget's warning last, once every picture was handed over;
// check.pack.report is then the load's finished report.
CheckFindings finishPictureCheck(PictureCheck& check);

// The music is judged on what is heard up to the show's last change, and a little after.
constexpr double kHeardSeconds = kShowEndSeconds + 2;

// The music file at path against the show's length and beat.
CheckFindings checkMusic(const std::string& path);

// The same for a track already decoded (music.samples: its first kHeardSeconds or all of
// it), or one that could not be, named `name`, for the reason given.
struct DecodedMusic;
CheckFindings checkDecodedMusic(const DecodedMusic& music);
CheckFinding unreadableMusic(const std::string& name, const std::string& reason);

// One line per finding ("music: beats land 42 ms after the show's (150.0 BPM,
// confident)", problems and notes marked) and the summary line.
std::string checkText(const CheckFindings& findings);

// The findings as one JSON object.
std::string checkJson(const CheckFindings& findings);

bool playsAsMeant(const CheckFindings& findings);
