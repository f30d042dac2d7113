#pragma once
#include <cstdint>
#include <string>
#include <vector>

// A fresh folder under the system temporary directory, removed with all its contents.
class TempFolder {
public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;
    // path + "/" + name
    std::string file(const std::string& name) const;
    std::string path;
};

// Writes w x h pixels of comp channels (1 grey, 2 grey+alpha, 3 RGB, 4 RGBA) as a PNG.
void writePng(const std::string& path, int w, int h, int comp, const std::vector<uint8_t>& bytes);
// A PNG of w x h RGBA pixels all of the value 0xAABBGGRR.
void writeSolidPng(const std::string& path, int w, int h, uint32_t pixel);
void writeBytes(const std::string& path, const std::vector<uint8_t>& bytes);
std::vector<uint8_t> readBytes(const std::string& path);
// A PNG signature and a valid IHDR chunk (8-bit RGBA) claiming w x h, then IEND: no pixel data.
std::vector<uint8_t> pngHeaderOnly(uint32_t w, uint32_t h);
