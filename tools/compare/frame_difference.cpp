#include "frame_difference.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include <FreeImage.h>

namespace {

// Frees a FreeImage bitmap on every path out.
struct cBitmap {
    explicit cBitmap(FIBITMAP* b_) : b(b_) {}
    ~cBitmap()
    {
        if (b)
            FreeImage_Unload(b);
    }
    cBitmap(const cBitmap&) = delete;
    cBitmap& operator=(const cBitmap&) = delete;

    FIBITMAP* b;
};

}  // namespace

cRgbPicture read_png(const std::string& path)
{
    cBitmap file(FreeImage_Load(FIF_PNG, path.c_str(), 0));
    if (!file.b)
        throw cCompareError("cannot read " + path + " as PNG");
    cBitmap rgb(FreeImage_ConvertTo24Bits(file.b));
    if (!rgb.b)
        throw cCompareError("cannot read " + path + " as RGB");
    cRgbPicture p;
    p.width = static_cast<int32_t>(FreeImage_GetWidth(rgb.b));
    p.height = static_cast<int32_t>(FreeImage_GetHeight(rgb.b));
    p.rgb.resize(static_cast<size_t>(p.width) * p.height * 3);
    // FreeImage keeps the bottom row first and blue in the lowest byte.
    for (int32_t y = 0; y < p.height; ++y) {
        const uint8_t* src = FreeImage_GetScanLine(rgb.b, p.height - 1 - y);
        uint8_t* dst = &p.rgb[static_cast<size_t>(y) * p.width * 3];
        for (int32_t x = 0; x < p.width; ++x, src += 3, dst += 3) {
            dst[0] = src[FI_RGBA_RED];
            dst[1] = src[FI_RGBA_GREEN];
            dst[2] = src[FI_RGBA_BLUE];
        }
    }
    return p;
}

void write_png(const cRgbPicture& p, const std::string& path)
{
    cBitmap bitmap(FreeImage_Allocate(p.width, p.height, 24));
    if (!bitmap.b)
        throw cCompareError("out of memory for " + path);
    for (int32_t y = 0; y < p.height; ++y) {
        const uint8_t* src = &p.rgb[static_cast<size_t>(y) * p.width * 3];
        uint8_t* dst = FreeImage_GetScanLine(bitmap.b, p.height - 1 - y);
        for (int32_t x = 0; x < p.width; ++x, src += 3, dst += 3) {
            dst[FI_RGBA_RED] = src[0];
            dst[FI_RGBA_GREEN] = src[1];
            dst[FI_RGBA_BLUE] = src[2];
        }
    }
    if (!FreeImage_Save(FIF_PNG, bitmap.b, path.c_str(), PNG_Z_BEST_COMPRESSION))
        throw cCompareError("cannot write " + path);
}

cFrameDifference measure(const cRgbPicture& reference, const cRgbPicture& captured)
{
    if (reference.width != captured.width || reference.height != captured.height)
        throw cCompareError("the sizes differ: " + std::to_string(reference.width) + "x" +
                            std::to_string(reference.height) + " against " + std::to_string(captured.width) + "x" +
                            std::to_string(captured.height));
    cFrameDifference d;
    const size_t pixels = static_cast<size_t>(reference.width) * reference.height;
    if (pixels == 0)
        return d;
    int64_t sum = 0, beyond = 0, off = 0;
    for (size_t i = 0; i < pixels; ++i) {
        int32_t largest = 0;
        for (size_t c = 0; c < 3; ++c) {
            const int32_t diff = std::abs(reference.rgb[i * 3 + c] - captured.rgb[i * 3 + c]);
            sum += diff;
            beyond += std::max(diff - ROUNDING_LEVELS, 0);
            largest = std::max(largest, diff);
        }
        off += largest > OFF_LEVELS;
        d.worst_levels = std::max(d.worst_levels, largest);
    }
    d.mean_levels = static_cast<double>(sum) / (pixels * 3);
    d.mean_beyond = static_cast<double>(beyond) / (pixels * 3);
    d.share_off = static_cast<double>(off) / pixels;
    return d;
}

bool same_look(const cFrameDifference& d)
{
    return d.mean_beyond <= MAX_MEAN_BEYOND && d.share_off <= MAX_SHARE_OFF;
}

cRgbPicture difference_strip(const cRgbPicture& reference, const cRgbPicture& captured)
{
    measure(reference, captured);  // the sizes
    cRgbPicture strip;
    strip.width = reference.width * 3;
    strip.height = reference.height;
    strip.rgb.resize(static_cast<size_t>(strip.width) * strip.height * 3);
    const size_t row = static_cast<size_t>(reference.width) * 3;
    for (int32_t y = 0; y < reference.height; ++y) {
        const uint8_t* a = &reference.rgb[y * row];
        const uint8_t* b = &captured.rgb[y * row];
        uint8_t* out = &strip.rgb[y * row * 3];
        std::memcpy(out, a, row);
        std::memcpy(out + row, b, row);
        for (size_t k = 0; k < row; ++k)
            out[2 * row + k] = static_cast<uint8_t>(std::min(255, 8 * std::abs(a[k] - b[k])));
    }
    return strip;
}
