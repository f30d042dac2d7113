#include "audio/mp3_decoder.h"

#include "assets/regular_file.h"
#include "audio/stream.h"

#include <mpg123.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdint>
#include <cstring>
#include <utility>

// One MPEG-1 layer III frame of output: enough to prove the stream decodes.
static constexpr size_t kProbeBytes = 1152 * kStreamBytesPerFrame;
// mpg123_read calls that may return nothing (format announcements, skipped info frames)
// before a stream counts as undecodable.
static constexpr int kProbeReads = 64;

// The stream from its first frame on, for the library to read: bytes in memory, or the
// file itself, read as it plays, so that start-up reads only the file's head.
struct Mp3Decoder {
    std::vector<uint8_t> bytes;  // the stream, when opened from memory
    int fd = -1;                 // otherwise the file, the stream starting at streamStart
    uint64_t streamStart = 0;
    uint64_t streamBytes = 0;
    uint64_t readOffset = 0;  // the library's read position in the stream
    mpg123_handle* handle = nullptr;
    bool ended = false;
    bool gapless = true;  // false when the file's info tag cannot be trusted
};

static ssize_t readStream(void* io, void* out, size_t bytes) {
    Mp3Decoder* d = static_cast<Mp3Decoder*>(io);
    size_t n = size_t(std::min<uint64_t>(bytes, d->streamBytes - d->readOffset));
    if (d->fd < 0) {
        std::memcpy(out, d->bytes.data() + d->readOffset, n);
    } else {
        // A file cut short while playing ends the track where it now ends.
        const ssize_t got = readFileAt(d->fd, d->streamStart + d->readOffset, out, n);
        if (got < 0) return -1;
        n = size_t(got);
    }
    d->readOffset += n;
    return ssize_t(n);
}

static off_t seekInStream(void* io, off_t offset, int whence) {
    Mp3Decoder* d = static_cast<Mp3Decoder*>(io);
    const off_t size = off_t(d->streamBytes);
    off_t base = 0;
    if (whence == SEEK_CUR)
        base = off_t(d->readOffset);
    else if (whence == SEEK_END)
        base = size;
    else if (whence != SEEK_SET)
        return -1;
    if ((offset > 0 && base > size - offset) || base + offset < 0) return -1;
    d->readOffset = uint64_t(base + offset);
    return off_t(d->readOffset);
}

static bool check(int result, mpg123_handle* handle, std::string& reason) {
    if (result == MPG123_OK) return true;
    reason = std::string("not an MP3 stream: ") +
             (handle ? mpg123_strerror(handle) : mpg123_plain_strerror(result));
    return false;
}

// (Re)opens the library's stream from its start, configured for the one output format.
static bool openStream(Mp3Decoder* d, std::string& reason) {
    if (d->handle) mpg123_close(d->handle);
    if (d->fd >= 0) {
        // The library looks at the end of the stream as it opens: the end the file has now.
        const uint64_t size = currentFileSize(d->fd);
        d->streamBytes = size > d->streamStart ? size - d->streamStart : 0;
    }
    d->readOffset = 0;
    d->ended = false;
    mpg123_handle* h = d->handle;
    // Gaps of junk between frames are skipped up to a bound, as players do.
    if (!check(mpg123_param(h, MPG123_RESYNC_LIMIT, kMaxGapBytes, 0), h, reason)) return false;
    const long flags = MPG123_QUIET | MPG123_GAPLESS | MPG123_FORCE_STEREO | MPG123_AUTO_RESAMPLE |
                       MPG123_SKIP_ID3V2;
    // Only one format is allowed, so every rate is resampled to it and mono is doubled.
    return check(mpg123_param(h, MPG123_ADD_FLAGS, flags, 0), h, reason) &&
           (d->gapless ||
            check(mpg123_param(h, MPG123_REMOVE_FLAGS, MPG123_GAPLESS, 0), h, reason)) &&
           check(mpg123_format_none(h), h, reason) &&
           check(mpg123_format(h, kStreamRate, MPG123_STEREO, MPG123_ENC_SIGNED_16), h, reason) &&
           check(mpg123_replace_reader_handle(h, readStream, seekInStream, nullptr), h, reason) &&
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
    return claimed < 0 || uint64_t(claimed) <= d->streamBytes / 4;
}

// Decodes the first audio and checks its format, then goes back to the start.
static bool probeStream(Mp3Decoder* d, std::string& reason) {
    long rate = 0;
    int channels = 0, encoding = 0;
    // Only an info frame, or frames the library cannot decode: it has no format to give.
    if (mpg123_getformat(d->handle, &rate, &channels, &encoding) != MPG123_OK) {
        reason = "not an MP3 stream: no decodable audio";
        return false;
    }
    if (rate != kStreamRate || channels != kStreamChannels || encoding != MPG123_ENC_SIGNED_16) {
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

// Opens the library on the stream d holds; takes d, deleting it on failure.
static Mp3Decoder* openDecoder(Mp3Decoder* d, std::string& reason) {
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

Mp3Decoder* openMp3(std::vector<uint8_t> fileBytes, std::string& reason) {
    const size_t tags = id3v2TagBytes(fileBytes.data(), fileBytes.size());
    size_t start = mp3StreamStart(fileBytes.data() + tags, fileBytes.size() - tags, reason);
    if (start == SIZE_MAX) return nullptr;
    start += tags;
    Mp3Decoder* d = new Mp3Decoder;
    d->bytes = std::move(fileBytes);
    // The library is given the stream from its first frame: what comes before (tags, and
    // junk or padding the tags do not count) is no audio.
    d->bytes.erase(d->bytes.begin(), d->bytes.begin() + long(start));
    d->streamBytes = d->bytes.size();
    return openDecoder(d, reason);
}

// Where the stream starts in the file, as openMp3 finds it in memory: after the tags,
// within kMaxLeadingJunkBytes. Reads the tag headers and the bytes that search can reach
// (a run of three frames after its last candidate). False with reason when there is none.
static bool findStreamInFile(int fd, uint64_t size, uint64_t& start, std::string& reason) {
    uint64_t tags = 0;
    uint8_t header[10];
    while (size - tags >= sizeof header &&
           readFileAt(fd, tags, header, sizeof header) == ssize_t(sizeof header)) {
        const size_t tag = id3v2TagLength(header);
        if (tag == 0 || tag > size - tags) break;
        tags += tag;
    }
    constexpr size_t kRunBytes = 16 * 1024;  // three of the longest frames and a header
    std::vector<uint8_t> head(
        size_t(std::min<uint64_t>(size - tags, kMaxLeadingJunkBytes + kRunBytes)));
    const ssize_t got = readFileAt(fd, tags, head.data(), head.size());
    if (got < 0) {
        reason = std::strerror(errno);
        return false;
    }
    const size_t offset = mp3StreamStart(head.data(), size_t(got), reason);
    if (offset == SIZE_MAX) return false;
    start = tags + offset;
    return true;
}

Mp3Decoder* openMp3File(const char* path, std::string& reason) {
    uint64_t size = 0;
    const int fd = openRegularFile(path, kMaxMusicFileBytes, size, reason);
    if (fd < 0) return nullptr;
    uint64_t start = 0;
    if (!findStreamInFile(fd, size, start, reason)) {
        closeRegularFile(fd);
        return nullptr;
    }
    // The rest is read while playing; have the system fetch it ahead of the reads.
    readAheadFrom(fd, start);
    Mp3Decoder* d = new Mp3Decoder;
    d->fd = fd;
    d->streamStart = start;
    d->streamBytes = size - start;
    return openDecoder(d, reason);
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
    if (d->fd >= 0) closeRegularFile(d->fd);
    delete d;
}

bool mp3SourceFormat(Mp3Decoder* d, int& rate, int& channels) {
    mpg123_frameinfo2 info;
    if (mpg123_info2(d->handle, &info) != MPG123_OK || info.rate <= 0) return false;
    rate = int(info.rate);
    channels = info.mode == MPG123_M_MONO ? 1 : 2;
    return true;
}

int64_t mp3LengthBytes(Mp3Decoder* d) {
    // A forged frame count is unknown length: asking the library would resample the claim,
    // seconds per billion frames (gapless is off exactly when the claim is forged).
    if (!d->gapless) return -1;
    const off_t frames = mpg123_length(d->handle);
    return frames < 0 ? -1 : int64_t(frames) * kStreamBytesPerFrame;
}

int64_t scanMp3LengthBytes(Mp3Decoder* d) {
    // The scan reads every frame's header, not its audio, and returns to where it was.
    if (mpg123_scan(d->handle) != MPG123_OK) return -1;
    const off_t frames = mpg123_length(d->handle);
    return frames < 0 ? -1 : int64_t(frames) * kStreamBytesPerFrame;
}
