// make_hostile_picture NAME FILE: writes the hostile picture case NAME to FILE and prints
// the loader's expected reason for it (an empty line when it loads).
//   make_hostile_picture --list   prints every case name
#include "picture_cases.h"

#include <cstdio>
#include <cstring>

int main(int argc, char** argv) {
    if (argc == 2 && std::strcmp(argv[1], "--list") == 0) {
        for (const PictureCase& c : hostilePictureCases()) std::printf("%s\n", c.name.c_str());
        return 0;
    }
    if (argc != 3 || std::strcmp(argv[1], "--help") == 0) {
        std::fprintf(stderr, "usage: make_hostile_picture NAME FILE | --list\n");
        return argc == 2 && std::strcmp(argv[1], "--help") == 0 ? 0 : 2;
    }
    PictureCase c;
    if (!hostilePictureCase(argv[1], c)) {
        std::fprintf(stderr, "make_hostile_picture: no case %s\n", argv[1]);
        return 2;
    }
    FILE* out = std::fopen(argv[2], "wb");
    if (!out || std::fwrite(c.bytes.data(), 1, c.bytes.size(), out) != c.bytes.size() ||
        std::fclose(out) != 0) {
        std::fprintf(stderr, "make_hostile_picture: cannot write %s\n", argv[2]);
        return 1;
    }
    std::printf("%s\n", c.reason.c_str());
    return 0;
}
