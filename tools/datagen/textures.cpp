#include "textures.h"

#include <algorithm>
#include <cmath>
#include <iostream>

#include "canvas.h"
#include "noise.h"
#include "ornament.h"
#include "pixel_font.h"

// Sections: plain textures, loading picture, loading bar, family entry.

namespace {

bool save(const cCanvas& canvas, const std::string& dir, const std::string& name, const cSaveOptions& options)
{
    const std::string path = dir + "/" + name;
    if (save_canvas(canvas, path, options))
        return true;
    std::cerr << "quorvane-datagen: cannot write " << path << std::endl;
    return false;
}

// ---- loading picture: 1280x720, design pixels of the loading screen ---------

constexpr int LOADER_W = 1280;
constexpr int LOADER_H = 720;
constexpr float CENTRE_X = 640.0f;
constexpr float CENTRE_Y = 360.0f;
// The bar's band in picture rows (top-down): 720 - 396.9 to 720 - 340.
constexpr float BAR_TOP = 323.1f;
constexpr float BAR_BOTTOM = 380.0f;
constexpr float BAR_LEFT = 120.0f;
constexpr float BAR_RIGHT = 1144.0f;

cColor background(float x, float y)
{
    const float n = fbm(x / 260.0f, y / 260.0f, 5, 7);
    const float m = fbm(x / 180.0f + 40.0f, y / 180.0f, 4, 11);
    const float dx = (x - CENTRE_X) / CENTRE_X;
    const float dy = (y - CENTRE_Y) / CENTRE_Y;
    const float vignette = 1.0f - 0.55f * std::min(1.0f, 0.5f * (dx * dx + dy * dy));
    cColor c{0.018f, 0.010f, 0.045f, 1.0f};
    c += MAGENTA * (0.07f * smoothstep(0.45f, 0.8f, n));
    c += CYAN * (0.05f * smoothstep(0.5f, 0.85f, m));
    return c * vignette;
}

// Eight-pointed star {8/3} inside the innermost ring.
float star_light(float x, float y, float radius)
{
    float light = 0.0f;
    for (int k = 0; k < 8; ++k) {
        const float a0 = static_cast<float>(k) * PI / 4.0f;
        const float a1 = static_cast<float>(k + 3) * PI / 4.0f;
        const float d = segment_distance(x, y, radius * std::cos(a0), radius * std::sin(a0), radius * std::cos(a1),
                                         radius * std::sin(a1));
        light = std::max(light, line_glow(d, 0.9f));
    }
    return light;
}

cColor mandala(float x, float y)
{
    const float dx = x - CENTRE_X;
    const float dy = y - CENTRE_Y;
    const float r = std::sqrt(dx * dx + dy * dy);
    const float a = std::atan2(dy, dx);
    cColor c{0.0f, 0.0f, 0.0f, 1.0f};
    if (r > 430.0f)
        return c;

    // Rings, from the centre out.
    c += MAGENTA * (0.9f * line_glow(r - 60.0f, 0.8f) + 0.6f * line_glow(r - 64.0f, 0.6f));
    c += AMBER * (0.8f * line_glow(r - 120.0f, 0.9f));
    c += CYAN * (0.9f * line_glow(r - 200.0f, 0.8f) + 0.5f * line_glow(r - 205.0f, 0.6f));
    c += MAGENTA * (0.9f * line_glow(r - 280.0f, 1.0f));
    c += AMBER * (0.7f * line_glow(r - 330.0f, 0.7f));
    c += CYAN * (1.0f * line_glow(r - 337.0f, 0.9f));

    if (r < 125.0f)
        c += CYAN * (0.8f * star_light(dx, dy, 116.0f));
    const float a6 = fold_angle(a, 6);
    if (r < 62.0f)
        c += AMBER * (0.9f * line_glow(petal_distance(r, a6, 28.0f, 26.0f, 3.0f), 0.8f));

    // Twelve lotus petals between the amber and the cyan ring.
    const float a12 = fold_angle(a, 12);
    if (r > 110.0f && r < 210.0f) {
        c += MAGENTA * (1.0f * line_glow(petal_distance(r, a12, 120.0f, 78.0f, 6.0f), 0.9f));
        c += AMBER * (0.6f * line_glow(petal_distance(r, a12, 120.0f, 48.0f, 6.0f), 0.7f));
    }
    // Twenty-four narrower petals, offset half a step.
    const float a24 = fold_angle(a + PI / 24.0f, 24);
    if (r > 195.0f && r < 285.0f) {
        c += CYAN * (0.9f * line_glow(petal_distance(r, a24, 205.0f, 72.0f, 12.0f), 0.8f));
        c += CYAN * (0.4f * line_glow(petal_distance(r, a24, 205.0f, 40.0f, 12.0f), 0.6f));
    }
    // A chain of interlaced circles between the two outer rings.
    const float a32 = fold_angle(a, 32);
    if (r > 265.0f && r < 345.0f) {
        const float cx = r * std::cos(a32) - 305.0f;
        const float cy = r * std::sin(a32);
        c += AMBER * (0.75f * line_glow(std::sqrt(cx * cx + cy * cy) - 34.0f, 0.7f));
    }
    // Beads and rays beyond the outer ring.
    const float a48 = fold_angle(a, 48);
    const float bx = r * std::cos(a48) - 352.0f;
    const float by = r * std::sin(a48);
    c += AMBER * (1.2f * line_glow(std::max(0.0f, std::sqrt(bx * bx + by * by) - 1.8f), 1.0f));
    if (r > 345.0f) {
        const float ray = r * std::sin(fold_angle(a, 24));
        const float fade = 1.0f - smoothstep(360.0f, 430.0f, r);
        c += MAGENTA * (0.6f * fade * line_glow(ray, 0.7f));
    }
    return c;
}

// Quarter rosettes that frame the picture from its corners.
cColor corner_rosettes(float x, float y)
{
    const float cx = x < CENTRE_X ? x : static_cast<float>(LOADER_W) - x;
    const float cy = y < CENTRE_Y ? y : static_cast<float>(LOADER_H) - y;
    const float r = std::sqrt(cx * cx + cy * cy);
    if (r > 200.0f)
        return {0.0f, 0.0f, 0.0f, 1.0f};
    const float a = std::atan2(cy, cx);
    cColor c{0.0f, 0.0f, 0.0f, 1.0f};
    c += CYAN * (0.5f * line_glow(r - 150.0f, 0.7f) + 0.3f * line_glow(r - 158.0f, 0.6f));
    c += MAGENTA * (0.6f * line_glow(petal_distance(r, fold_angle(a, 16), 90.0f, 50.0f, 8.0f), 0.8f));
    c += AMBER * (0.4f * line_glow(r - 60.0f, 0.6f));
    return c;
}

// Thin rails and diamond end caps marking the bar's track.
cColor bar_track(float x, float y)
{
    cColor c{0.0f, 0.0f, 0.0f, 1.0f};
    if (x > BAR_LEFT - 14.0f && x < BAR_RIGHT + 14.0f) {
        const float rails = line_glow(y - (BAR_TOP - 3.0f), 0.6f) + line_glow(y - (BAR_BOTTOM + 3.0f), 0.6f);
        c += CYAN * (0.35f * rails);
    }
    const float mid = 0.5f * (BAR_TOP + BAR_BOTTOM);
    for (float end : {BAR_LEFT - 14.0f, BAR_RIGHT + 14.0f}) {
        const float diamond = std::fabs(x - end) + std::fabs(y - mid);
        c += AMBER * (0.9f * line_glow(diamond - 8.0f, 0.8f) + 1.2f * line_glow(std::max(0.0f, diamond - 2.0f), 1.0f));
    }
    return c;
}

// How strongly the ornaments show: the bar's band and the text stay calm.
float ornament_level(float x, float y)
{
    const float mid = 0.5f * (BAR_TOP + BAR_BOTTOM);
    const float band = 1.0f - smoothstep(30.0f, 52.0f, std::fabs(y - mid));
    const float inside = smoothstep(BAR_LEFT - 40.0f, BAR_LEFT, x) * (1.0f - smoothstep(BAR_RIGHT, BAR_RIGHT + 40.0f, x));
    return 1.0f - 0.85f * band * inside;
}

struct cTextLayers {
    cLayer core;   // lit font pixels, 0-1
    cLayer glow;   // blurred core: halo and dark backing
};

cTextLayers loader_text()
{
    cTextLayers text{cLayer(LOADER_W, LOADER_H), cLayer(LOADER_W, LOADER_H)};
    const cTextStyle title{7, 2};
    const std::string name = "QUORVANE";
    draw_text(text.core, name, (LOADER_W - text_width(name, title)) / 2, 190, title, 1.0f);
    const cTextStyle small{3, 3};
    const std::string group = "BY MORVIK";
    draw_text(text.core, group, (LOADER_W - text_width(group, small)) / 2, 262, small, 0.7f);
    const std::string loading = "LOADING";
    draw_text(text.core, loading, (LOADER_W - text_width(loading, small)) / 2, 420, small, 0.8f);
    text.glow = text.core;
    blur(text.glow, 6, 3);
    return text;
}

cColor loader_pixel(float x, float y, const cTextLayers& text, int px, int py)
{
    const float level = ornament_level(x, y);
    cColor c = background(x, y);
    c += (mandala(x, y) + corner_rosettes(x, y)) * level;
    c += bar_track(x, y);
    // Dark backing behind the letters keeps them legible over the lines.
    const float backing = std::min(1.0f, 2.5f * text.glow.at(px, py));
    c = c * (1.0f - 0.9f * backing);
    const float core = text.core.at(px, py);
    // Chromatic glow: magenta halo shifted left, cyan shifted right.
    const float left = text.glow.sample(static_cast<float>(px) + 3.0f, static_cast<float>(py));
    const float right = text.glow.sample(static_cast<float>(px) - 3.0f, static_cast<float>(py));
    c += MAGENTA * (1.6f * left) + CYAN * (1.6f * right);
    c += cColor{1.6f, 1.4f, 1.8f, 1.0f} * core;
    return c;
}

}  // namespace

// ---- plain textures -----------------------------------------------------------

bool write_default_textures(const std::string& dir)
{
    // 4x4 rather than 1x1: a one-row picture would become a 1D texture.
    const cCanvas white(4, 4, 24, {1.0f, 1.0f, 1.0f, 1.0f});
    const cCanvas black(4, 4, 24, {0.0f, 0.0f, 0.0f, 1.0f});
    return save(white, dir, "default_white.png", {}) && save(black, dir, "default_black.png", {});
}

bool write_checker(const std::string& dir)
{
    // Cells of 16 pixels align with the 8x8 blocks of the JPEG coder, so the
    // two greys survive compression exactly.
    constexpr int SIZE = 32;
    constexpr int CELL = 16;
    const cColor dark{80.0f / 255.0f, 80.0f / 255.0f, 80.0f / 255.0f, 1.0f};
    const cColor light{112.0f / 255.0f, 112.0f / 255.0f, 112.0f / 255.0f, 1.0f};
    cCanvas checker(SIZE, SIZE, 24);
    for (int y = 0; y < SIZE; ++y)
        for (int x = 0; x < SIZE; ++x)
            checker.at(x, y) = ((x / CELL + y / CELL) % 2 == 0) ? dark : light;
    return save(checker, dir, "checker.jpg", {eImageFile::JPEG, false, 0});
}

bool write_loader(const std::string& dir)
{
    const cTextLayers text = loader_text();
    cCanvas loader(LOADER_W, LOADER_H, 24);
    for (int y = 0; y < LOADER_H; ++y)
        for (int x = 0; x < LOADER_W; ++x)
            loader.at(x, y) = tone_map(loader_pixel(static_cast<float>(x) + 0.5f, static_cast<float>(y) + 0.5f, text, x, y));
    return save(loader, dir, "loader.jpg", {eImageFile::JPEG, true, 21});
}

// ---- loading bar: 1024x64, revealed from the left by the loading screen -------

namespace {

constexpr int BAR_W = 1024;
constexpr int BAR_H = 64;

// Magenta at the start, amber halfway, cyan when loading ends.
cColor bar_tint(float u)
{
    if (u < 0.5f) {
        const float t = u * 2.0f;
        return MAGENTA * (1.0f - t) + AMBER * t;
    }
    const float t = (u - 0.5f) * 2.0f;
    return AMBER * (1.0f - t) + CYAN * t;
}

cColor loadbar_pixel(float x, float y)
{
    const float mid = 0.5f * BAR_H;
    const cColor tint = bar_tint(x / BAR_W);
    const float shimmer = fbm(x / 40.0f, y / 12.0f, 3, 5);
    cColor c = tint * (0.6f + 0.4f * shimmer);
    // Bright hairlines at the edges and the centre.
    const float edges = line_glow(y - 4.0f, 0.8f) + line_glow(y - (BAR_H - 4.0f), 0.8f);
    c += cColor{0.7f, 0.9f, 1.0f, 1.0f} * (0.9f * edges);
    c += tint * (1.1f * line_glow(y - mid, 0.7f));
    // Chevrons pointing the way loading goes, one every 32 pixels.
    const float local = std::fmod(x, 32.0f) - 22.0f;
    const float chevron = std::fabs(local + 0.55f * std::fabs(y - mid));
    const float inside = 1.0f - smoothstep(20.0f, 26.0f, std::fabs(y - mid));
    c += tint * (0.5f * inside * line_glow(chevron, 0.8f));
    // Diamond beads on the centre line every 64 pixels.
    const float bead = std::fabs(std::fmod(x, 64.0f) - 32.0f) + std::fabs(y - mid);
    c += cColor{1.0f, 0.9f, 0.7f, 1.0f} * (0.9f * line_glow(bead - 7.0f, 0.7f) + line_glow(std::max(0.0f, bead - 2.0f), 0.8f));
    return c;
}

}  // namespace

bool write_loadbar(const std::string& dir)
{
    cCanvas bar(BAR_W, BAR_H, 24);
    for (int y = 0; y < BAR_H; ++y)
        for (int x = 0; x < BAR_W; ++x)
            bar.at(x, y) = tone_map(loadbar_pixel(static_cast<float>(x) + 0.5f, static_cast<float>(y) + 0.5f));
    return save(bar, dir, "loadbar.jpg", {eImageFile::JPEG, true, 33});
}

// ---- family entry ---------------------------------------------------------------

bool write_textures(const std::string& dir)
{
    return write_default_textures(dir) && write_checker(dir) && write_loader(dir) && write_loadbar(dir);
}
