#pragma once
#include "gfx/argb_gfx.h"

#include <cstddef>
#include <cstdint>
#include <string>

// Largest picture accepted, as decoded bytes (width x height x 4); anything larger is
// refused from its header, before any decoding.
constexpr uint64_t kMaxDecodedBytes = uint64_t(64) << 20;

// Decodes the file at path (format recognised from the content) and makes slot a
// w x h picture whose pixels are the decoded R, G, B, A bytes unchanged (0xAABBGGRR);
// slot.color is untouched. On failure returns false and sets problem to
// "cannot load <path>: <reason>". A failure before the picture is decoded leaves the slot
// as it was (empty at start-up); a failed allocation leaves it empty.
bool tryLoadImageInto(const char* path, ArgbGfx& slot, std::string& problem);

// The decoding behind tryLoadImageInto, for a picture already in memory (the file's bytes,
// read whole): the same checks, the same slot contract, and problem set to
// "cannot load <name>: <reason>", name standing for the file in the message.
bool tryDecodeImageInto(const uint8_t* bytes, size_t size, const char* name, ArgbGfx& slot,
                        std::string& problem);

// As tryLoadImageInto, printing the problem as one "assets: " line on stderr.
void loadImageInto(const char* path, ArgbGfx& slot);

// Fills every image slot from the pictures under dataDir ("../data/" or any folder; a
// missing trailing slash is added). One warning per picture that cannot be loaded, or a
// single line naming the resolved folder when none can; slots that fail stay empty.
void loadImagesFrom(const char* dataDir);

// loadImagesFrom("../data/"), relative to the working directory.
void loadImages();
