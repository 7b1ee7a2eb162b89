// The flower field's two textures. "flower_petals.png" is added light: five
// columns, four petal colours and the cores' warm white, each column across
// a petal (u) and along it from base to tip (v up); dark at the base, a
// glowing rim and tip, a faint vein. "flower_stems.png" is opaque: from the
// bottom, the ground's moss (0-0.1), the stem (0.1-0.55) and the leaf
// (0.55-1), all in the blue-green of a meadow at night.
#include <algorithm>
#include <cmath>

#include "noise.h"
#include "ornament.h"
#include "textures_show.h"

namespace {

constexpr int PETAL_W = 256, PETAL_H = 128;
constexpr int COLUMNS = 5;
constexpr float COLUMN_W = static_cast<float>(PETAL_W) / COLUMNS;  // texels, not whole

struct cPetalColours {
    cColor base;  // deep colour near the head
    cColor tip;   // bright colour at rim and tip
};

constexpr cPetalColours PALETTES[] = {
    {{0.55f, 0.06f, 0.35f}, {1.6f, 0.55f, 1.2f}},   // rose
    {{0.22f, 0.08f, 0.65f}, {0.9f, 0.6f, 1.8f}},    // violet
    {{0.04f, 0.30f, 0.60f}, {0.5f, 1.5f, 1.9f}},    // ice blue
    {{0.55f, 0.22f, 0.04f}, {1.9f, 1.1f, 0.4f}},    // amber
};

cColor petal_pixel(float x, float y)
{
    const int column = std::min(static_cast<int>(x / COLUMN_W), COLUMNS - 1);
    const float across = x / COLUMN_W - static_cast<float>(column);
    const float along = 1.0f - y / PETAL_H;  // 0 at the petal's base
    const float edge = std::fabs(2.0f * across - 1.0f);
    if (column == COLUMNS - 1) {
        // The core: warm white, brightest at its tip.
        const float k = 0.6f + 1.6f * along * along;
        return {1.4f * k, 1.1f * k, 0.55f * k};
    }
    const cPetalColours& p = PALETTES[column];
    const float body = 0.35f + 0.65f * along;
    const float rim = smoothstep(0.55f, 1.0f, edge) * (0.4f + 0.6f * along);
    const float tip = smoothstep(0.55f, 1.0f, along);
    const float vein = std::exp(-edge * edge / 0.01f) * (1.0f - along) * 0.6f;
    const float ripple = 0.85f + 0.15f * std::sin(along * 40.0f + edge * 9.0f);
    return p.base * (body * ripple) + p.tip * (0.8f * rim + 0.7f * tip + vein);
}

cColor stem_pixel(float x, float y, float w, float h)
{
    const float v = 1.0f - y / h;
    const float across = x / w;
    if (v < 0.1f) {
        // Moss: the mesh picks a shade through v; fine grain across u.
        const float g = 0.8f + 0.4f * value_noise(x * 0.5f, y * 0.5f, 11u);
        const float k = 0.5f + 5.0f * v;
        return cColor{0.025f, 0.06f, 0.16f} * (k * g);
    }
    if (v < 0.55f) {
        const float t = (v - 0.1f) / 0.45f;
        const float shade = 0.7f + 0.3f * std::sin(across * 2.0f * PI);
        return cColor{0.02f + 0.08f * t, 0.10f + 0.30f * t, 0.12f + 0.22f * t} * shade;
    }
    const float t = (v - 0.55f) / 0.45f;
    const float vein = std::exp(-(across - 0.5f) * (across - 0.5f) / 0.004f);
    return cColor{0.02f, 0.12f + 0.10f * t, 0.12f + 0.06f * t} + cColor{0.05f, 0.25f, 0.2f} * vein;
}

}  // namespace

bool write_flower_textures(const std::string& dir)
{
    cCanvas petals(PETAL_W, PETAL_H, 32);
    paint(petals, petal_pixel);
    cCanvas stems(64, 256, 24);
    paint(stems, [&](float x, float y) { return stem_pixel(x, y, 64.0f, 256.0f); });
    return save_texture(petals, dir, "flower_petals.png", {}) &&
           save_texture(stems, dir, "flower_stems.png", {eImageFile::PNG, true, 3u});
}
