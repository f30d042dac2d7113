#include "audio_mp3_maker.h"

#include <lame/lame.h>

#include <cmath>
#include <cstdio>
#include <stdexcept>

std::vector<int16_t> makeTonePcm(const TestTone& tone) {
    const size_t frames = size_t(std::lround(tone.seconds * tone.rate));
    const size_t click = size_t(std::lround(tone.clickAt * tone.rate));
    std::vector<int16_t> pcm(frames * size_t(tone.channels));
    for (size_t i = 0; i < frames; ++i) {
        double value = 1500.0 * std::sin(2.0 * 3.14159265358979 * 440.0 * double(i) / tone.rate);
        if (i == click) value = 30000.0;
        for (int c = 0; c < tone.channels; ++c)
            pcm[i * size_t(tone.channels) + size_t(c)] = int16_t(value);
    }
    return pcm;
}

std::vector<uint8_t> makeMp3(const TestTone& tone) {
    return encodeMp3(makeTonePcm(tone), tone.rate, tone.channels);
}

std::vector<uint8_t> encodeMp3(const std::vector<int16_t>& pcm, int rate, int channels) {
    TestTone tone;  // the format only
    tone.rate = rate;
    tone.channels = channels;
    const int frames = int(pcm.size() / size_t(tone.channels));
    lame_global_flags* lame = lame_init();
    if (!lame) throw std::runtime_error("lame_init failed");
    lame_set_in_samplerate(lame, tone.rate);
    lame_set_out_samplerate(lame, tone.rate);
    lame_set_num_channels(lame, tone.channels);
    lame_set_mode(lame, tone.channels == 1 ? MONO : JOINT_STEREO);
    lame_set_brate(lame, tone.rate > 32000 ? 128 : 64);
    lame_set_quality(lame, 5);
    lame_set_bWriteVbrTag(lame, 1);
    if (lame_init_params(lame) < 0) {
        lame_close(lame);
        throw std::runtime_error("lame_init_params failed");
    }
    std::vector<uint8_t> mp3(size_t(frames) * 5 / 4 + 7200 + 16384);
    int used =
        tone.channels == 1
            ? lame_encode_buffer(lame, pcm.data(), pcm.data(), frames, mp3.data(), int(mp3.size()))
            : lame_encode_buffer_interleaved(lame, const_cast<short*>(pcm.data()), frames,
                                             mp3.data(), int(mp3.size()));
    if (used < 0) throw std::runtime_error("lame_encode_buffer failed");
    const int flushed = lame_encode_flush(lame, mp3.data() + used, int(mp3.size()) - used);
    if (flushed < 0) throw std::runtime_error("lame_encode_flush failed");
    mp3.resize(size_t(used + flushed));
    // The first frame was written as a placeholder; the final tag tells decoders the delay.
    uint8_t tag[4096];
    const size_t tagBytes = lame_get_lametag_frame(lame, tag, sizeof tag);
    if (tagBytes == 0 || tagBytes > sizeof tag || tagBytes > mp3.size())
        throw std::runtime_error("no LAME tag frame");
    std::copy(tag, tag + tagBytes, mp3.begin());
    lame_close(lame);
    return mp3;
}

bool writeTestFile(const std::string& path, const std::vector<uint8_t>& bytes) {
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return false;
    const bool ok = bytes.empty() || std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    return std::fclose(f) == 0 && ok;
}
