#include "spectrogram.h"

#include <algorithm>
#include <cmath>
#include <complex>

#include "canvas.h"
#include "pixel_font.h"

namespace {

constexpr int PIXELS_PER_SECOND = 8;
constexpr int SPECTRUM_H = 480;
constexpr int STRIP_H = 40;
constexpr int FFT_SIZE = 4096;
constexpr float LOW_HZ = 30.0f;
constexpr float HIGH_HZ = 18000.0f;
constexpr float RANGE_DB = 90.0f;

// In-place iterative radix-2 transform.
void fft(std::vector<std::complex<float>>& a)
{
    const size_t n = a.size();
    for (size_t i = 1, j = 0; i < n; ++i) {
        size_t bit = n >> 1;
        for (; j & bit; bit >>= 1)
            j ^= bit;
        j ^= bit;
        if (i < j)
            std::swap(a[i], a[j]);
    }
    for (size_t len = 2; len <= n; len <<= 1) {
        const double angle = -2.0 * 3.14159265358979323846 / static_cast<double>(len);
        const std::complex<float> root(static_cast<float>(std::cos(angle)), static_cast<float>(std::sin(angle)));
        for (size_t i = 0; i < n; i += len) {
            std::complex<float> w(1.0f, 0.0f);
            for (size_t k = 0; k < len / 2; ++k) {
                const std::complex<float> u = a[i + k], v = a[i + k + len / 2] * w;
                a[i + k] = u + v;
                a[i + k + len / 2] = u - v;
                w *= root;
            }
        }
    }
}

// Black through violet and orange to pale yellow.
cColor heat(float v)
{
    static const cColor STOPS[5] = {
        {0.0f, 0.0f, 0.02f}, {0.25f, 0.05f, 0.45f}, {0.75f, 0.15f, 0.35f}, {0.98f, 0.55f, 0.1f}, {1.0f, 1.0f, 0.7f}};
    const float x = std::clamp(v, 0.0f, 1.0f) * 4.0f;
    const int i = std::min(3, static_cast<int>(x));
    const float f = x - i;
    return STOPS[i] * (1.0f - f) + STOPS[i + 1] * f;
}

// dB magnitude per output row for one column.
void column_levels(const cStereo& audio, long centre, std::vector<float>& levels)
{
    std::vector<std::complex<float>> buf(FFT_SIZE);
    const long size = static_cast<long>(audio.left.size());
    for (int i = 0; i < FFT_SIZE; ++i) {
        const long s = centre - FFT_SIZE / 2 + i;
        const float w = 0.5f - 0.5f * std::cos(2.0f * 3.14159265f * i / (FFT_SIZE - 1));
        const float x = s >= 0 && s < size ? 0.5f * (audio.left[s] + audio.right[s]) : 0.0f;
        buf[i] = {x * w, 0.0f};
    }
    fft(buf);
    for (int y = 0; y < SPECTRUM_H; ++y) {
        const float hz = LOW_HZ * std::pow(HIGH_HZ / LOW_HZ, 1.0f - static_cast<float>(y) / (SPECTRUM_H - 1));
        const float bin = hz * FFT_SIZE / SAMPLE_RATE;
        const int b = static_cast<int>(bin);
        const float f = bin - b;
        const float mag = std::abs(buf[b]) * (1.0f - f) + std::abs(buf[b + 1]) * f;
        levels[y] = 20.0f * std::log10(mag / (FFT_SIZE / 4.0f) + 1e-9f);
    }
}

}  // namespace

bool write_spectrogram(const cStereo& audio, const std::vector<cSpectrogramMark>& marks, const std::string& path)
{
    const double seconds = static_cast<double>(audio.left.size()) / SAMPLE_RATE;
    const int width = static_cast<int>(seconds * PIXELS_PER_SECOND);
    cCanvas canvas(width, SPECTRUM_H + STRIP_H, 24);
    std::vector<float> levels(SPECTRUM_H);
    for (int x = 0; x < width; ++x) {
        column_levels(audio, static_cast<long>((x + 0.5) * SAMPLE_RATE / PIXELS_PER_SECOND), levels);
        for (int y = 0; y < SPECTRUM_H; ++y)
            canvas.at(x, y) = heat(1.0f + levels[y] / RANGE_DB);
    }
    // Section starts: a tick through the strip and a faint line over the spectrum.
    cLayer text(width, STRIP_H);
    const cTextStyle style{1, 1};
    for (const cSpectrogramMark& m : marks) {
        const int x = std::clamp(static_cast<int>(m.seconds * PIXELS_PER_SECOND), 0, width - 1);
        for (int y = 0; y < SPECTRUM_H; y += 3)
            canvas.at(x, y) = canvas.at(x, y) * 0.5f + cColor{0.5f, 0.5f, 0.5f};
        for (int y = 0; y < 10; ++y)
            text.at(x, y) = 1.0f;
        draw_text(text, m.label, std::min(x + 2, width - text_width(m.label, style)), 12, style, 1.0f);
    }
    // Minute ticks along the bottom edge.
    for (int s = 0; s < seconds; s += 30) {
        const int x = s * PIXELS_PER_SECOND;
        for (int y = STRIP_H - 6; y < STRIP_H; ++y)
            text.at(x, y) = 0.6f;
        draw_text(text, std::to_string(s / 60) + ":" + (s % 60 ? "30" : "00"), x + 2, STRIP_H - 9, style, 0.6f);
    }
    for (int y = 0; y < STRIP_H; ++y)
        for (int x = 0; x < width; ++x) {
            const float v = text.at(x, y);
            canvas.at(x, SPECTRUM_H + y) = {v, v, v};
        }
    return save_canvas(canvas, path, {});
}
