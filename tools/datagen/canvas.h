#pragma once
// Pictures of the data generator. A canvas holds linear float colour, row 0
// at the TOP of the picture (as one reads it); saving flips it into
// FreeImage's bottom-up rows, so a texture's texel row 0 is the picture's
// bottom and pictures appear upright on screen. A layer is one float channel
// (masks, glow). Everything is plain memory owned by its object.
#include <cstdint>
#include <string>
#include <vector>

struct cColor {
    float r = 0.0f;  // 0-1 after tone mapping; may exceed 1 while accumulating
    float g = 0.0f;
    float b = 0.0f;
    float a = 1.0f;  // 0-1, written only to 32-bit pictures

    cColor operator*(float k) const { return {r * k, g * k, b * k, a}; }
    cColor operator+(const cColor& o) const { return {r + o.r, g + o.g, b + o.b, a}; }
    cColor& operator+=(const cColor& o);
};

struct cCanvas {
    int width = 0;                // pixels
    int height = 0;               // pixels
    int bpp = 24;                 // 24 (RGB) or 32 (RGBA) when saved
    std::vector<cColor> pixels;   // width * height, row 0 = top row

    cCanvas(int w, int h, int bits_per_pixel, cColor fill = {});
    cColor& at(int x, int y) { return pixels[static_cast<size_t>(y) * width + x]; }
    const cColor& at(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }
};

struct cLayer {
    int width = 0;             // pixels
    int height = 0;            // pixels
    std::vector<float> value;  // width * height, row 0 = top row

    cLayer(int w, int h);
    float& at(int x, int y) { return value[static_cast<size_t>(y) * width + x]; }
    float at(int x, int y) const { return value[static_cast<size_t>(y) * width + x]; }
    // Bilinear read with clamped edges.
    float sample(float x, float y) const;
};

// Repeated box blur (3 passes approach a Gaussian) of radius r pixels.
void blur(cLayer& layer, int radius, int passes);

// 1 - exp(-c) per channel: bright sums saturate smoothly instead of clipping.
cColor tone_map(const cColor& c);
float smoothstep(float e0, float e1, float x);

// Ways a picture is written. Dithering adds at most one step of
// deterministic noise so dark gradients do not band.
enum class eImageFile { PNG, JPEG };
struct cSaveOptions {
    eImageFile type = eImageFile::PNG;  // file format
    bool dither = false;                // hash noise before rounding to 8 bits
    uint32_t seed = 0;                  // dither pattern
};

// Writes the canvas through FreeImage; false when FreeImage refuses.
bool save_canvas(const cCanvas& canvas, const std::string& path, const cSaveOptions& options);
