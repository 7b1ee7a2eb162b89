#pragma once
// Encodes small MP3 files in tests with LAME (linked into the test programs).
#include <lame/lame.h>

#include <cmath>
#include <cstdint>
#include <vector>

// Interleaved 16-bit samples (`channels` 1 or 2) to MP3 bytes at the same rate.
inline std::vector<uint8_t> encode_mp3(const std::vector<int16_t>& samples, int rate, int channels)
{
    lame_t lame = lame_init();
    lame_set_in_samplerate(lame, rate);
    lame_set_out_samplerate(lame, rate);
    lame_set_num_channels(lame, channels);
    lame_set_mode(lame, channels == 1 ? MONO : JOINT_STEREO);
    lame_set_quality(lame, 7);
    lame_set_bWriteVbrTag(lame, 0);
    lame_init_params(lame);
    int frames = int(samples.size()) / channels;
    std::vector<uint8_t> out(size_t(frames) * 5 / 4 + 7200);
    int n = channels == 2
                ? lame_encode_buffer_interleaved(lame, const_cast<short*>(samples.data()), frames, out.data(), int(out.size()))
                : lame_encode_buffer(lame, samples.data(), samples.data(), frames, out.data(), int(out.size()));
    int total = n < 0 ? 0 : n;
    std::vector<uint8_t> tail(7200);
    int m = lame_encode_flush(lame, tail.data(), int(tail.size()));
    out.resize(size_t(total));
    if (m > 0)
        out.insert(out.end(), tail.begin(), tail.begin() + m);
    lame_close(lame);
    return out;
}

// A loud signal that never repeats within a few seconds (two detuned tones
// and a slow chirp), so that any stretch of it identifies its position.
inline std::vector<int16_t> test_signal(int rate, int channels, double seconds)
{
    int frames = int(rate * seconds);
    std::vector<int16_t> s(size_t(frames) * channels);
    for (int i = 0; i < frames; ++i) {
        double t = double(i) / rate;
        double v = 0.35 * std::sin(2 * M_PI * 441.3 * t) + 0.25 * std::sin(2 * M_PI * 1234.5 * t) +
                   0.25 * std::sin(2 * M_PI * (200 + 150 * t) * t);
        for (int c = 0; c < channels; ++c)
            s[size_t(i) * channels + c] = int16_t(v * (c ? 20000 : 24000));
    }
    return s;
}
