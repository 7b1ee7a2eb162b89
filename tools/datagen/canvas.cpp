#include "canvas.h"

#include <algorithm>
#include <cmath>

#include <FreeImage.h>

#include "noise.h"

cColor& cColor::operator+=(const cColor& o)
{
    r += o.r;
    g += o.g;
    b += o.b;
    return *this;
}

cCanvas::cCanvas(int w, int h, int bits_per_pixel, cColor fill)
    : width(w), height(h), bpp(bits_per_pixel), pixels(static_cast<size_t>(w) * h, fill)
{
}

cLayer::cLayer(int w, int h) : width(w), height(h), value(static_cast<size_t>(w) * h, 0.0f) {}

float cLayer::sample(float x, float y) const
{
    x = std::clamp(x, 0.0f, static_cast<float>(width - 1));
    y = std::clamp(y, 0.0f, static_cast<float>(height - 1));
    const int x0 = static_cast<int>(x);
    const int y0 = static_cast<int>(y);
    const int x1 = std::min(x0 + 1, width - 1);
    const int y1 = std::min(y0 + 1, height - 1);
    const float tx = x - static_cast<float>(x0);
    const float ty = y - static_cast<float>(y0);
    const float top = at(x0, y0) + (at(x1, y0) - at(x0, y0)) * tx;
    const float bottom = at(x0, y1) + (at(x1, y1) - at(x0, y1)) * tx;
    return top + (bottom - top) * ty;
}

namespace {

// One box pass along a line of n values spaced `stride` apart.
void box_line(float* data, int n, int stride, int radius, std::vector<float>& scratch)
{
    scratch.assign(static_cast<size_t>(n), 0.0f);
    float sum = 0.0f;
    for (int i = -radius; i <= radius; ++i)
        sum += data[std::clamp(i, 0, n - 1) * stride];
    const float scale = 1.0f / static_cast<float>(2 * radius + 1);
    for (int i = 0; i < n; ++i) {
        scratch[static_cast<size_t>(i)] = sum * scale;
        sum += data[std::min(i + radius + 1, n - 1) * stride] - data[std::max(i - radius, 0) * stride];
    }
    for (int i = 0; i < n; ++i)
        data[i * stride] = scratch[static_cast<size_t>(i)];
}

uint8_t quantise(float v, float offset)
{
    const float scaled = std::floor(std::clamp(v, 0.0f, 1.0f) * 255.0f + offset);
    return static_cast<uint8_t>(std::clamp(scaled, 0.0f, 255.0f));
}

}  // namespace

void blur(cLayer& layer, int radius, int passes)
{
    std::vector<float> scratch;
    for (int p = 0; p < passes; ++p) {
        for (int y = 0; y < layer.height; ++y)
            box_line(&layer.at(0, y), layer.width, 1, radius, scratch);
        for (int x = 0; x < layer.width; ++x)
            box_line(&layer.at(x, 0), layer.height, layer.width, radius, scratch);
    }
}

cColor tone_map(const cColor& c)
{
    return {1.0f - std::exp(-c.r), 1.0f - std::exp(-c.g), 1.0f - std::exp(-c.b), c.a};
}

float smoothstep(float e0, float e1, float x)
{
    const float t = std::clamp((x - e0) / (e1 - e0), 0.0f, 1.0f);
    return t * t * (3.0f - 2.0f * t);
}

bool save_canvas(const cCanvas& canvas, const std::string& path, const cSaveOptions& options)
{
    FIBITMAP* image = FreeImage_Allocate(canvas.width, canvas.height, canvas.bpp,
                                         FI_RGBA_RED_MASK, FI_RGBA_GREEN_MASK, FI_RGBA_BLUE_MASK);
    if (!image)
        return false;
    const int step = canvas.bpp / 8;
    for (int y = 0; y < canvas.height; ++y) {
        BYTE* row = FreeImage_GetScanLine(image, canvas.height - 1 - y);
        for (int x = 0; x < canvas.width; ++x) {
            const cColor& c = canvas.at(x, y);
            const float offset = options.dither ? hash_unit(x, y, options.seed) : 0.5f;
            BYTE* px = row + x * step;
            px[FI_RGBA_RED] = quantise(c.r, offset);
            px[FI_RGBA_GREEN] = quantise(c.g, offset);
            px[FI_RGBA_BLUE] = quantise(c.b, offset);
            if (step == 4)
                px[FI_RGBA_ALPHA] = quantise(c.a, 0.5f);
        }
    }
    const bool jpeg = options.type == eImageFile::JPEG;
    const int flags = jpeg ? (JPEG_QUALITYSUPERB | JPEG_SUBSAMPLING_444 | JPEG_BASELINE) : PNG_Z_DEFAULT_COMPRESSION;
    const bool saved = FreeImage_Save(jpeg ? FIF_JPEG : FIF_PNG, image, path.c_str(), flags) != 0;
    FreeImage_Unload(image);
    return saved;
}
