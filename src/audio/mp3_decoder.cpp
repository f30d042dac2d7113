#include "audio/mp3_decoder.h"

#include "audio/music_file.h"

#include <mpg123.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <utility>

static constexpr long kOutputRate = 44100;
// One MPEG-1 layer III frame of output: enough to prove the stream decodes.
static constexpr size_t kProbeBytes = 1152 * 4;
// mpg123_read calls that may return nothing (format announcements, skipped info frames)
// before a stream counts as undecodable.
static constexpr int kProbeReads = 64;

struct Mp3Decoder {
    std::vector<uint8_t> file;
    size_t readOffset = 0;   // the library's read position in file
    mpg123_handle* handle = nullptr;
    bool ended = false;
    bool gapless = true;     // false when the file's info tag cannot be trusted
};

static ssize_t readFromMemory(void* io, void* out, size_t bytes) {
    Mp3Decoder* d = static_cast<Mp3Decoder*>(io);
    const size_t left = d->file.size() - d->readOffset;
    const size_t n = std::min(bytes, left);
    std::memcpy(out, d->file.data() + d->readOffset, n);
    d->readOffset += n;
    return ssize_t(n);
}

static off_t seekInMemory(void* io, off_t offset, int whence) {
    Mp3Decoder* d = static_cast<Mp3Decoder*>(io);
    off_t base = 0;
    if (whence == SEEK_CUR) base = off_t(d->readOffset);
    else if (whence == SEEK_END) base = off_t(d->file.size());
    else if (whence != SEEK_SET) return -1;
    if ((offset > 0 && base > off_t(d->file.size()) - offset) || base + offset < 0) return -1;
    d->readOffset = size_t(base + offset);
    return off_t(d->readOffset);
}

size_t id3v2TagBytes(const uint8_t* data, size_t size) {
    size_t total = 0;
    // Tags may follow one another; each is a 10-byte header, a synchsafe body size and an
    // optional 10-byte footer.
    while (size - total >= 10) {
        const uint8_t* h = data + total;
        if (h[0] != 'I' || h[1] != 'D' || h[2] != '3' || h[3] == 0xFF || h[4] == 0xFF) break;
        if ((h[6] | h[7] | h[8] | h[9]) & 0x80) break;
        const size_t body = size_t(h[6]) << 21 | size_t(h[7]) << 14 | size_t(h[8]) << 7 | h[9];
        const size_t tag = 10 + body + ((h[5] & 0x10) ? 10 : 0);
        if (tag > size - total) break;
        total += tag;
    }
    return total;
}

bool isMpegFrameHeader(const uint8_t* data, size_t size) {
    if (size < 4) return false;
    const unsigned version = (data[1] >> 3) & 3;    // 1 is reserved
    const unsigned layer = (data[1] >> 1) & 3;      // 0 is reserved
    const unsigned bitrate = data[2] >> 4;          // 15 is invalid
    const unsigned samplingRate = (data[2] >> 2) & 3;  // 3 is reserved
    return data[0] == 0xFF && (data[1] & 0xE0) == 0xE0 && version != 1 && layer != 0 &&
           bitrate != 15 && samplingRate != 3;
}

static bool check(int result, mpg123_handle* handle, std::string& reason) {
    if (result == MPG123_OK) return true;
    reason = std::string("not an MP3 stream: ") +
             (handle ? mpg123_strerror(handle) : mpg123_plain_strerror(result));
    return false;
}

// (Re)opens the library's stream on the bytes in memory, configured for the one output format.
static bool openStream(Mp3Decoder* d, std::string& reason) {
    if (d->handle) mpg123_close(d->handle);
    d->readOffset = 0;
    d->ended = false;
    mpg123_handle* h = d->handle;
    const long flags = MPG123_QUIET | MPG123_GAPLESS | MPG123_FORCE_STEREO |
                       MPG123_AUTO_RESAMPLE | MPG123_SKIP_ID3V2;
    // Only one format is allowed, so every rate is resampled to it and mono is doubled.
    return check(mpg123_param(h, MPG123_ADD_FLAGS, flags, 0), h, reason) &&
           (d->gapless ||
            check(mpg123_param(h, MPG123_REMOVE_FLAGS, MPG123_GAPLESS, 0), h, reason)) &&
           check(mpg123_format_none(h), h, reason) &&
           check(mpg123_format(h, kOutputRate, MPG123_STEREO, MPG123_ENC_SIGNED_16), h, reason) &&
           check(mpg123_replace_reader_handle(h, readFromMemory, seekInMemory, nullptr), h,
                 reason) &&
           check(mpg123_open_handle(h, d), h, reason);
}

// Gapless decoding of a resampled stream costs time in proportion to the frame count that
// the stream's info tag claims: some seconds per billion frames at every open and at the
// end of the track, and a damaged or forged tag claims four billion in a few hundred
// bytes. False when the claim is more than the file can hold (every frame has at least its
// 4-byte header); such a file plays without gapless trimming. The library reads the claim
// itself, with gapless decoding off, wherever it finds the tag's frame after any junk.
static bool frameCountIsPlausible(Mp3Decoder* d) {
    d->gapless = false;
    std::string ignored;
    long rate = 0;
    int channels = 0, encoding = 0;
    if (!openStream(d, ignored) ||
        mpg123_getformat(d->handle, &rate, &channels, &encoding) != MPG123_OK)
        return true;  // the real open reports what is wrong
    const off_t claimed = mpg123_framelength(d->handle);
    return claimed < 0 || uint64_t(claimed) <= d->file.size() / 4;
}

// Decodes the first audio and checks its format, then goes back to the start.
static bool probeStream(Mp3Decoder* d, std::string& reason) {
    long rate = 0;
    int channels = 0, encoding = 0;
    if (!check(mpg123_getformat(d->handle, &rate, &channels, &encoding), d->handle, reason))
        return false;
    if (rate != kOutputRate || channels != 2 || encoding != MPG123_ENC_SIGNED_16) {
        reason = "not an MP3 stream: cannot be converted to 44100 Hz 16-bit stereo";
        return false;
    }
    uint8_t probe[kProbeBytes];
    size_t decoded = 0;
    for (int i = 0; i < kProbeReads && decoded == 0; ++i) {
        size_t done = 0;
        const int result = mpg123_read(d->handle, probe, sizeof probe, &done);
        decoded += done;
        if (result != MPG123_OK && result != MPG123_NEW_FORMAT) break;
    }
    if (decoded == 0) {
        reason = "not an MP3 stream: no decodable audio";
        return false;
    }
    return openStream(d, reason);
}

Mp3Decoder* openMp3(std::vector<uint8_t> fileBytes, std::string& reason) {
    const size_t tags = id3v2TagBytes(fileBytes.data(), fileBytes.size());
    if (!isMpegFrameHeader(fileBytes.data() + tags, fileBytes.size() - tags)) {
        reason = "not an MP3 stream: no MPEG audio frame at the start";
        return nullptr;
    }
    Mp3Decoder* d = new Mp3Decoder;
    d->file = std::move(fileBytes);
    int error = MPG123_OK;
    d->handle = mpg123_new(nullptr, &error);
    if (!d->handle) {
        check(error, nullptr, reason);
        closeMp3(d);
        return nullptr;
    }
    d->gapless = frameCountIsPlausible(d);
    if (!openStream(d, reason) || !probeStream(d, reason)) {
        closeMp3(d);
        return nullptr;
    }
    return d;
}

Mp3Decoder* openMp3File(const char* path, std::string& reason) {
    std::vector<uint8_t> bytes;
    if (!readMusicFile(path, bytes, reason)) return nullptr;
    return openMp3(std::move(bytes), reason);
}

size_t decodeMp3(Mp3Decoder* d, uint8_t* out, size_t bytes) {
    size_t filled = 0;
    int idleReads = 0;
    while (!d->ended && filled < bytes) {
        size_t done = 0;
        const int result = mpg123_read(d->handle, out + filled, bytes - filled, &done);
        filled += done;
        idleReads = done ? 0 : idleReads + 1;
        // The format never changes, as only one is allowed; anything else ends the track.
        if ((result != MPG123_OK && result != MPG123_NEW_FORMAT) || idleReads > kProbeReads)
            d->ended = true;
    }
    return filled;
}

bool rewindMp3(Mp3Decoder* d) {
    std::string reason;
    if (openStream(d, reason)) return true;
    d->ended = true;
    return false;
}

void closeMp3(Mp3Decoder* d) {
    if (!d) return;
    if (d->handle) mpg123_delete(d->handle);
    delete d;
}

int64_t mp3LengthBytes(Mp3Decoder* d) {
    const off_t frames = mpg123_length(d->handle);
    return frames < 0 ? -1 : int64_t(frames) * 4;
}
