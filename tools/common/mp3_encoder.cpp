#include "mp3_encoder.h"

#include <algorithm>
#include <cstring>
#include <lame/lame.h>

namespace {

// The music stream's format, which every track the tools write has.
constexpr int kSampleRate = 44100;
constexpr int kBitRate = 192;
// 2 = high quality, 5 = the encoder's default speed.
constexpr int kEncoderQuality = 3;
constexpr int kChunkFrames = 1152 * 32;
// The encoder's own bound for its output buffer.
constexpr size_t outputBound(size_t frames) {
    return frames * 5 / 4 + 7200;
}

}  // namespace

bool encodeMp3(const std::vector<int16_t>& interleaved, std::vector<uint8_t>& mp3,
               std::string& error) {
    mp3.clear();
    lame_global_flags* lame = lame_init();
    if (!lame) {
        error = "cannot start the MP3 encoder";
        return false;
    }
    lame_set_in_samplerate(lame, kSampleRate);
    lame_set_out_samplerate(lame, kSampleRate);
    lame_set_num_channels(lame, 2);
    lame_set_mode(lame, JOINT_STEREO);
    lame_set_VBR(lame, vbr_off);
    lame_set_brate(lame, kBitRate);
    lame_set_quality(lame, kEncoderQuality);
    // The tag frame carries the encoder delay and padding that gapless decoders remove.
    lame_set_bWriteVbrTag(lame, 1);
    lame_set_write_id3tag_automatic(lame, 0);
    if (lame_init_params(lame) < 0) {
        lame_close(lame);
        error = "the MP3 encoder rejected its settings";
        return false;
    }

    size_t frames = interleaved.size() / 2;
    std::vector<unsigned char> out(outputBound(kChunkFrames));
    for (size_t at = 0; at < frames; at += kChunkFrames) {
        size_t n = std::min<size_t>(kChunkFrames, frames - at);
        // The encoder reads but does not modify the samples.
        short* pcm = const_cast<short*>(interleaved.data() + 2 * at);
        int got = lame_encode_buffer_interleaved(lame, pcm, static_cast<int>(n), out.data(),
                                                 static_cast<int>(out.size()));
        if (got < 0) {
            lame_close(lame);
            error = "the MP3 encoder failed (" + std::to_string(got) + ")";
            return false;
        }
        mp3.insert(mp3.end(), out.begin(), out.begin() + got);
    }
    int got = lame_encode_flush(lame, out.data(), static_cast<int>(out.size()));
    if (got < 0) {
        lame_close(lame);
        error = "the MP3 encoder failed to flush (" + std::to_string(got) + ")";
        return false;
    }
    mp3.insert(mp3.end(), out.begin(), out.begin() + got);

    // The first frame written was a placeholder; overwrite it with the final tag.
    unsigned char tag[2880];
    size_t tagSize = lame_get_lametag_frame(lame, tag, sizeof tag);
    lame_close(lame);
    if (tagSize == 0 || tagSize > sizeof tag || tagSize > mp3.size()) {
        error = "the MP3 encoder gave no usable tag frame";
        return false;
    }
    std::memcpy(mp3.data(), tag, tagSize);
    return true;
}
