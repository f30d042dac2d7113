#pragma once
// What --check found, for the people who replace the pictures and the music.
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

// The music file at path against the show's length and beat.
CheckFindings checkMusic(const std::string& path);

// One line per finding ("music: beats land 42 ms after the show's (150.0 BPM,
// confident)", problems and notes marked) and the summary line.
std::string checkText(const CheckFindings& findings);

// The findings as one JSON object.
std::string checkJson(const CheckFindings& findings);

bool playsAsMeant(const CheckFindings& findings);
