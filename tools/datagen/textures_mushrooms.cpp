// Textures of the mushroom cave: "mushroom_glow.png", the mushrooms' colours
// (four bands side by side, teal, violet, amber and a pale ice blue for
// the small ones, laid out as the
// mushroom models address them: across a band the angle round the stem,
// upwards the stem, the gills, the rim and the top of the cap), and
// "mushroom_rock.jpg", dark wet rock with sparse glowing specks, seamless so
// the cave can repeat it.
#include <algorithm>
#include <cmath>

#include "noise.h"
#include "ornament.h"
#include "textures_show.h"

namespace {

constexpr uint32_t SEED = 0x676c6f77u;

// ---- mushroom colours: 1024 x 256, four bands of 256 ----------------------------

constexpr int BAND = 256;
const cColor TEAL{0.12f, 1.0f, 0.78f, 1.0f};
const cColor VIOLET{0.62f, 0.26f, 1.0f, 1.0f};
const cColor ICE{0.45f, 0.75f, 1.0f, 1.0f};
constexpr int BAND_COUNT = 4;
const cColor BANDS[BAND_COUNT] = {TEAL, VIOLET, AMBER, ICE};
const cColor PALE{0.55f, 0.52f, 0.6f, 1.0f};

cColor mix(const cColor& a, const cColor& b, float t)
{
    return a * (1.0f - t) + b * t;
}

// Round glowing spots on the cap: `cells` per turn (so the pattern closes
// round the cap) and ten up the cap.
float cap_spots(float turn, float v, int band)
{
    const int cells = 7;
    const float fx = turn * cells, fy = v * 10.0f;
    float best = 0.0f;
    for (int dx = -1; dx <= 1; ++dx)
        for (int dy = -1; dy <= 1; ++dy) {
            const int cx = static_cast<int>(std::floor(fx)) + dx, cy = static_cast<int>(std::floor(fy)) + dy;
            const int wrapped = ((cx % cells) + cells) % cells;
            const float px = static_cast<float>(cx) + 0.2f + 0.6f * hash_unit(wrapped, cy, SEED + band);
            const float py = static_cast<float>(cy) + 0.2f + 0.6f * hash_unit(wrapped, cy, SEED + 3 + band);
            const float size = 0.12f + 0.2f * hash_unit(wrapped, cy, SEED + 6 + band);
            const float d = std::sqrt((fx - px) * (fx - px) + (fy - py) * (fy - py));
            best = std::max(best, 1.0f - smoothstep(size * 0.6f, size, d));
        }
    return best;
}

cColor mushroom_pixel(float x, float y)
{
    const int band = std::min(static_cast<int>(x) / BAND, BAND_COUNT - 1);
    const float across = (x - static_cast<float>(band * BAND)) / BAND;
    const float turn = (across - 0.03f) / 0.94f;  // 0-1 round the stem, as the models place it
    const float v = 1.0f - y / BAND;             // texture rows count from the bottom
    const cColor tint = BANDS[band];
    if (v < 0.45f) {  // stem: pale, faintly tinted, fibrous, brighter towards the cap
        const float fibres = 0.5f + 0.5f * std::cos(2.0f * PI * turn * 21.0f + 3.0f * v);
        return mix(PALE, tint, 0.4f) * ((0.2f + 0.6f * v / 0.45f) * (0.8f + 0.35f * fibres));
    }
    if (v < 0.62f) {  // gills: bright lines radiating to the rim
        const float g = std::cos(2.0f * PI * turn * 28.0f);
        return tint * (1.0f + 1.4f * g * g);
    }
    if (v < 0.69f)  // the rim glows hottest
        return (tint + cColor{0.5f, 0.5f, 0.5f, 1.0f}) * 2.2f;
    const float top = (v - 0.69f) / 0.31f;
    const float mottle = fbm(turn * 7.0f, v * 9.0f, 3, SEED + band);
    const cColor base = tint * ((1.5f - 0.7f * top) * (0.75f + 0.5f * mottle));
    return mix(base, mix(tint, cColor{1.0f, 1.0f, 1.0f, 1.0f}, 0.55f) * 2.4f, cap_spots(turn, v, band));
}

// ---- rock: 512 x 512, seamless ----------------------------------------------------

constexpr int ROCK = 512;

float rock_noise(float x, float y)
{
    return fbm(x / 70.0f, y / 70.0f, 5, SEED + 20);
}

// The noise blended with its copies one period away, so opposite edges meet.
float seamless(float x, float y)
{
    const float wx = x / ROCK, wy = y / ROCK;
    const float a = rock_noise(x, y) * (1.0f - wx) + rock_noise(x - ROCK, y) * wx;
    const float b = rock_noise(x, y - ROCK) * (1.0f - wx) + rock_noise(x - ROCK, y - ROCK) * wx;
    return a * (1.0f - wy) + b * wy;
}

cColor rock_pixel(float x, float y)
{
    const float n = seamless(x, y);
    const float cracks = smoothstep(0.04f, 0.0f, std::fabs(n - 0.5f));
    cColor c = cColor{0.16f, 0.15f, 0.22f, 1.0f} * (0.4f + 1.3f * n * n) * (1.0f - 0.7f * cracks);
    // Sparse specks of glowing moss, teal and violet, on a 16-pixel lattice.
    const int cx = static_cast<int>(x) / 16, cy = static_cast<int>(y) / 16;
    if (hash_unit(cx, cy, SEED + 30) < 0.22f) {
        const float px = cx * 16.0f + 3.0f + 10.0f * hash_unit(cx, cy, SEED + 31);
        const float py = cy * 16.0f + 3.0f + 10.0f * hash_unit(cx, cy, SEED + 32);
        const float d = std::sqrt((x - px) * (x - px) + (y - py) * (y - py));
        const cColor moss = hash_unit(cx, cy, SEED + 33) < 0.6f ? TEAL : VIOLET;
        c += moss * (1.6f * std::exp(-d * d / 2.5f));
    }
    return c;
}

}  // namespace

bool write_mushroom_textures(const std::string& dir)
{
    cCanvas glow(BAND_COUNT * BAND, BAND, 24);
    paint(glow, mushroom_pixel);
    cCanvas rock(ROCK, ROCK, 24);
    paint(rock, rock_pixel);
    return save_texture(glow, dir, "mushroom_glow.png", {eImageFile::PNG, true, 11}) &&
           save_texture(rock, dir, "mushroom_rock.jpg", {eImageFile::JPEG, false, 0});
}
