#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// Decodes one MP3, held in memory or read from its file as it plays, to the stream's
// format (stream.h: 44100 Hz, 2-channel, signed 16-bit native-endian samples) whatever the
// file's own rate and channel count, without the encoder's delay and padding where the
// file records them. Plain reading: no sound output, no platform code; the player and
// intro-render share it.
struct Mp3Decoder;

// Takes the file's bytes. Accepted only when a run of MPEG audio frames starts within
// kMaxLeadingJunkBytes after any ID3v2 tags (junk, zeros or padding the tags do not count
// are skipped) and the stream decodes to at least one frame of audio; otherwise returns
// null with reason set ("not an MP3 stream: ..."). Audio often misnamed .mp3 is refused by
// what it is, whatever frames its data may hold by chance: "not an MP3 stream: this is
// AAC audio (ADTS)", "... this is an MP4/M4A file". Gaps of junk between frames, up
// to kMaxGapBytes each, are skipped while playing.
constexpr size_t kMaxLeadingJunkBytes = 64 * 1024;
constexpr long kMaxGapBytes = 1024 * 1024;
Mp3Decoder* openMp3(std::vector<uint8_t> fileBytes, std::string& reason);

// Largest music file accepted.
constexpr uint64_t kMaxMusicFileBytes = uint64_t(256) << 20;

// Opens the file at path as openMp3 would its bytes, reading only its head now and the
// rest as it plays (a file cut short meanwhile ends the track there); reason as for
// readRegularFile or openMp3. The file stays open until closeMp3.
Mp3Decoder* openMp3File(const char* path, std::string& reason);

// Writes up to `bytes` (a multiple of 4) decoded bytes to out and returns how many.
// Fewer only at the end of the track, which a damaged or truncated frame also ends;
// 0 from then on.
size_t decodeMp3(Mp3Decoder* decoder, uint8_t* out, size_t bytes);

// Back to the first sample. False (and at the end of the track) if the stream cannot be
// opened again.
bool rewindMp3(Mp3Decoder* decoder);

void closeMp3(Mp3Decoder* decoder);

// Bytes of the ID3v2 tag whose 10-byte header is at h; 0 when h starts no tag.
size_t id3v2TagLength(const uint8_t* h);

// Bytes taken by ID3v2 tags at the start of data, 0 when there is none.
size_t id3v2TagBytes(const uint8_t* data, size_t size);

// Where the first run of frames starts in data (after from, within kMaxLeadingJunkBytes):
// a frame header followed, at the lengths the headers give, by two more headers of the
// same version, layer and sampling rate, or by fewer whose last frame ends the data.
// SIZE_MAX when none.
size_t firstFrameOffset(const uint8_t* data, size_t size, size_t from);

// Where the stream starts in head (the file's bytes after its tags), as openMp3 finds it:
// audio of another kind is refused by its name, and a head with no run of frames in reach
// too; SIZE_MAX with reason ("not an MP3 stream: ...") then.
size_t mp3StreamStart(const uint8_t* head, size_t size, std::string& reason);

// The sampling rate and channel count (1 or 2) of the frame whose valid header is at h.
void mpegFrameFormat(const uint8_t* h, int& rate, int& channels);

// Bytes of the frame whose valid header is at data, 0 for a free-format frame.
size_t mpegFrameBytes(const uint8_t* header);

// True when the 4 bytes at data form a valid MPEG audio frame header: frame sync, a
// defined version, layer, bit rate and sampling rate.
bool isMpegFrameHeader(const uint8_t* data, size_t size);

// The file's own sampling rate and channel count (before conversion to the stream's
// format), as the frame last decoded gives them; false before any frame was decoded.
bool mp3SourceFormat(Mp3Decoder* decoder, int& rate, int& channels);

// Length of the decoded track in bytes, as the file's info tag or its size and bit rate
// tell without decoding it (an estimate for files without a tag); -1 when unknown.
int64_t mp3LengthBytes(Mp3Decoder* decoder);

// Length of the decoded track in bytes, exact: every frame header of the stream is read
// (its audio is not decoded), and the decoder stays where it was; -1 when unknown.
int64_t scanMp3LengthBytes(Mp3Decoder* decoder);
