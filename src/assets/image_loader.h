#pragma once
#include "gfx/argb_gfx.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// Largest picture accepted, as decoded bytes (width x height x 4); anything larger is
// refused from its header, before any decoding.
constexpr uint64_t kMaxDecodedBytes = uint64_t(64) << 20;

// Largest picture file read: more than any PNG or JPEG of at most 64 MiB decoded needs.
constexpr uint64_t kMaxPictureFileBytes = uint64_t(80) << 20;

// All pictures of the data pack together, as decoded bytes.
constexpr uint64_t kMaxPackDecodedBytes = uint64_t(256) << 20;

enum class PictureLoad { loaded, refused, overBudget };

// As tryLoadImageInto, with the picture's decoded bytes also held to budgetBytes, checked
// from its header: overBudget when it would take more, the slot untouched. decodedBytes
// is set to what the picture takes (or would take) once its header is read, 0 before.
PictureLoad loadPictureWithin(const char* path, ArgbGfx& slot, uint64_t budgetBytes,
                              uint64_t& decodedBytes, std::string& problem);

// The decoding behind loadPictureWithin, for a file's bytes already read whole (the web
// page hands them over): the same checks and slot contract, path naming the file in the
// problem. The bytes are released before the decoded copy is made.
PictureLoad decodePictureWithin(std::vector<uint8_t> bytes, const char* path, ArgbGfx& slot,
                                uint64_t budgetBytes, uint64_t& decodedBytes, std::string& problem);

// Decodes the PNG or JPEG at path (format recognised from the content, every cost bounded
// from its header before decoding) and makes slot a w x h picture whose pixels are the
// decoded R, G, B, A bytes unchanged (0xAABBGGRR); slot.color is untouched. On failure
// returns false and sets problem to "cannot load <path>: <reason>". A failure before the
// copy into the slot leaves the slot as it was (empty at start-up); a failed allocation
// leaves it empty.
bool tryLoadImageInto(const char* path, ArgbGfx& slot, std::string& problem);

// tryLoadImageInto for a file's bytes already in memory, name standing for the file in the
// problem.
bool tryDecodeImageInto(const uint8_t* bytes, size_t size, const char* name, ArgbGfx& slot,
                        std::string& problem);

// As tryLoadImageInto, printing the problem as one "assets: " line on stderr.
void loadImageInto(const char* path, ArgbGfx& slot);
