#pragma once
// Small measures over RGBA8 pictures read back from render targets (bottom
// row first), for the scene tests that compare pictures.
#include <cstdint>
#include <cstdlib>
#include <vector>

using tPixels = std::vector<uint8_t>;

// Mean absolute difference of the colour channels, 0-255.
inline double mean_difference(const tPixels& a, const tPixels& b)
{
    double sum = 0.0;
    for (size_t i = 0; i < a.size() && i < b.size(); ++i)
        if (i % 4 != 3)
            sum += std::abs(int(a[i]) - int(b[i]));
    return sum / (0.75 * static_cast<double>(a.size()));
}

// Brightness of pixel i (index of its red byte): the mean of its colour, 0-255.
inline double brightness_at(const tPixels& p, size_t i)
{
    return (p[i] + p[i + 1] + p[i + 2]) / 3.0;
}

// Share of pixels brighter than `threshold` (0-255).
inline double lit_share(const tPixels& p, double threshold = 20.0)
{
    size_t lit = 0;
    for (size_t i = 0; i < p.size(); i += 4)
        lit += brightness_at(p, i) > threshold;
    return static_cast<double>(lit) / static_cast<double>(p.size() / 4);
}
