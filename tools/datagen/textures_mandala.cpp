// Pictures of the mandala tunnel: the slice atlas (four ornamental discs,
// one per quadrant: filled, coloured shapes with transparent gaps), the beaded
// string of the circles, the logo at the tunnel's end, and the three
// colour-correction lookups (256 x 1 gradients, dark on the left, read at
// each pixel's luminance).
#include <algorithm>
#include <cmath>

#include "noise.h"
#include "ornament.h"
#include "pixel_font.h"
#include "textures_show.h"

namespace {

// ---- slice atlas: 1024 x 1024 RGBA, disc k centred in quadrant k -----------------

constexpr int ATLAS = 1024;
constexpr float DISC = 0.24f * ATLAS;  // disc radius in pixels; the slices' texture coordinates use 0.24

// Coverage of a filled shape at signed distance d (negative inside), with an
// edge about a pixel and a half wide so the fill stays smooth when mipmapped.
float fill(float d)
{
    return 1.0f - smoothstep(-1.5f, 1.5f, d);
}

// A band between radii lo and hi.
float band(float r, float lo, float hi)
{
    return fill(std::max(lo - r, r - hi));
}

// Signed distance to the polar curve r(a) = base + amp * cos(k * a), negative
// inside it; a is a folded angle.
float petal_side(float r, float a, float base, float amp, float k)
{
    const float curve = base + amp * std::cos(k * a);
    const float slope = -amp * k * std::sin(k * a) / std::max(r, 1.0f);
    return (r - curve) / std::sqrt(1.0f + slope * slope);
}

// Petals of the curve above, cut to the ring between lo and hi.
float petals(float r, float a, float base, float amp, float k, float lo, float hi)
{
    return std::min(fill(petal_side(r, a, base, amp, k)), band(r, lo, hi));
}

// Round dots of radius `size` spaced n-fold on the circle of radius ring.
float dots(float r, float a, int n, float ring, float size)
{
    const float f = fold_angle(a, n);
    const float dx = r * std::cos(f) - ring, dy = r * std::sin(f);
    return fill(std::sqrt(dx * dx + dy * dy) - size);
}

// Filled paint over what lies under it: coverage k of colour c hides the
// paint beneath by the same share.
cColor over(const cColor& under, const cColor& c, float k)
{
    return under * (1.0f - k) + c * k;
}

// The discs are filled, coloured ornament with open gaps between the
// rings, so a slice reads as a bold shape even far down the stack and the
// slices behind show through. Brightness runs up to about 2.5 before tone
// mapping: the fills come out nearly opaque, their soft rims translucent.
// r is in pixels from the disc's centre, a its angle.
cColor disc_lotus(float r, float a)
{
    cColor c{0.0f, 0.0f, 0.0f, 1.0f};
    c = over(c, AMBER * 2.4f, fill(r - 0.11f * DISC));
    c = over(c, MAGENTA * 2.2f, petals(r, fold_angle(a, 8), 0.14f * DISC, 0.24f * DISC, 8.0f, 0.12f * DISC, 0.42f * DISC));
    c = over(c, CYAN * 2.0f, band(r, 0.45f * DISC, 0.5f * DISC));
    c = over(c, MAGENTA * 1.8f, petals(r, fold_angle(a, 16), 0.52f * DISC, 0.2f * DISC, 16.0f, 0.52f * DISC, 0.74f * DISC));
    c = over(c, AMBER * 2.4f, petals(r, fold_angle(a, 16), 0.52f * DISC, 0.1f * DISC, 16.0f, 0.52f * DISC, 0.7f * DISC));
    c = over(c, CYAN * 2.2f, dots(r, a, 36, 0.83f * DISC, 0.035f * DISC));
    c = over(c, AMBER * 2.0f, band(r, 0.9f * DISC, 0.97f * DISC));
    return c;
}

cColor disc_beads(float r, float a)
{
    cColor c{0.0f, 0.0f, 0.0f, 1.0f};
    c = over(c, CYAN * 2.0f, band(r, 0.3f * DISC, 0.4f * DISC));
    c = over(c, MAGENTA * 2.2f, petals(r, fold_angle(a, 12), 0.42f * DISC, 0.36f * DISC, 12.0f, 0.4f * DISC, 0.8f * DISC));
    c = over(c, CYAN * 1.6f, petals(r, fold_angle(a + PI / 12.0f, 12), 0.42f * DISC, 0.2f * DISC, 12.0f, 0.42f * DISC, 0.62f * DISC));
    c = over(c, AMBER * 2.6f, dots(r, a, 36, 0.89f * DISC, 0.045f * DISC));
    c = over(c, CYAN * 1.8f, band(r, 0.95f * DISC, 0.99f * DISC));
    return c;
}

cColor disc_star(float r, float a)
{
    cColor c{0.0f, 0.0f, 0.0f, 1.0f};
    // Star polygon {8/3} as broad bars, and its inner twin.
    float star = 1e9f, inner = 1e9f;
    for (int k = 0; k < 8; ++k) {
        const float a0 = static_cast<float>(k) * PI / 4.0f, a1 = static_cast<float>(k + 3) * PI / 4.0f;
        const float R = 0.98f * DISC, Q = 0.66f * DISC;
        star = std::min(star, segment_distance(r * std::cos(a), r * std::sin(a), R * std::cos(a0), R * std::sin(a0),
                                               R * std::cos(a1), R * std::sin(a1)));
        inner = std::min(inner, segment_distance(r * std::cos(a), r * std::sin(a), Q * std::cos(a0 + PI / 8.0f),
                                                 Q * std::sin(a0 + PI / 8.0f), Q * std::cos(a1 + PI / 8.0f),
                                                 Q * std::sin(a1 + PI / 8.0f)));
    }
    c = over(c, MAGENTA * 1.6f, band(r, 0.62f * DISC, 0.72f * DISC));
    c = over(c, CYAN * 2.2f, fill(star - 0.035f * DISC));
    c = over(c, MAGENTA * 2.2f, fill(inner - 0.025f * DISC));
    c = over(c, AMBER * 2.4f, band(r, 0.2f * DISC, 0.27f * DISC));
    c = over(c, CYAN * 2.0f, petals(r, fold_angle(a, 8), 0.06f * DISC, 0.1f * DISC, 8.0f, 0.0f, 0.18f * DISC));
    return c;
}

cColor disc_chain(float r, float a)
{
    cColor c{0.0f, 0.0f, 0.0f, 1.0f};
    c = over(c, MAGENTA * 2.0f, band(r, 0.28f * DISC, 0.36f * DISC));
    c = over(c, MAGENTA * 2.0f, band(r, 0.82f * DISC, 0.88f * DISC));
    const float a24 = fold_angle(a, 24);
    const float cx = r * std::cos(a24) - 0.59f * DISC, cy = r * std::sin(a24);
    const float d = std::sqrt(cx * cx + cy * cy);
    c = over(c, CYAN * 2.2f, fill(d - 0.12f * DISC));
    c = over(c, AMBER * 2.6f, fill(d - 0.05f * DISC));
    c = over(c, AMBER * 2.2f, petals(r, fold_angle(a, 12), 0.9f * DISC, 0.1f * DISC, 12.0f, 0.88f * DISC, DISC));
    c = over(c, CYAN * 1.8f, fill(r - 0.18f * DISC));
    return c;
}

cColor slices_pixel(float x, float y)
{
    const float u = x / ATLAS, v = 1.0f - y / ATLAS;  // texture coordinates: v up
    const int q = (u >= 0.5f ? 1 : 0) + (v >= 0.5f ? 2 : 0);
    const float du = (u - (0.25f + 0.5f * static_cast<float>(q % 2))) * ATLAS;
    const float dv = (v - (0.25f + 0.5f * static_cast<float>(q / 2))) * ATLAS;
    const float r = std::sqrt(du * du + dv * dv);
    if (r > DISC + 6.0f)
        return {0.0f, 0.0f, 0.0f, 1.0f};
    const float a = std::atan2(dv, du);
    cColor c = q == 0 ? disc_lotus(r, a) : q == 1 ? disc_beads(r, a) : q == 2 ? disc_star(r, a) : disc_chain(r, a);
    // A faint tinted haze in the gaps so the slices read as coloured glass.
    const float haze = 0.08f * fbm(du / 60.0f + static_cast<float>(q) * 17.0f, dv / 60.0f, 3, 29);
    c += (q % 2 == 0 ? MAGENTA : CYAN) * haze;
    return c * (1.0f - smoothstep(DISC - 2.0f, DISC + 6.0f, r));
}

// ---- string: 512 x 64, repeats along u; v runs across the ring -------------------

cColor string_pixel(float x, float y)
{
    cColor c{0.0f, 0.0f, 0.0f, 1.0f};
    const float mid = 32.0f;
    c += AMBER * (0.9f * line_glow(y - mid, 0.8f));
    c += MAGENTA * (0.4f * (line_glow(y - 12.0f, 0.6f) + line_glow(y - 52.0f, 0.6f)));
    const float lx = std::fmod(x, 64.0f) - 32.0f;  // 8 beads per repeat
    const float bead = std::sqrt(lx * lx + (y - mid) * (y - mid));
    c += MAGENTA * (1.1f * line_glow(bead - 9.0f, 1.0f)) + CYAN * (1.2f * line_glow(std::max(0.0f, bead - 3.0f), 1.0f));
    const float dx = std::fmod(x + 32.0f, 64.0f) - 32.0f;
    const float diamond = std::fabs(dx) + std::fabs(y - mid);
    c += CYAN * (0.7f * line_glow(diamond - 5.0f, 0.6f));
    return c;
}

// ---- mandala logo: 512 x 512; the fade program hides its outer tenth -------------

// The logo's ornament as light, at (dx, dy) pixels from its centre.
cColor logo_ornament(float dx, float dy)
{
    const float r = std::sqrt(dx * dx + dy * dy);
    const float a = std::atan2(dy, dx);
    cColor c{0.0f, 0.0f, 0.0f, 1.0f};
    if (r < 205.0f) {
        c += MAGENTA * (line_glow(r - 200.0f, 1.0f) + 0.7f * line_glow(r - 120.0f, 0.8f));
        c += CYAN * (0.9f * line_glow(r - 190.0f, 0.8f));
        c += AMBER * line_glow(petal_distance(r, fold_angle(a, 16), 150.0f, 40.0f, 16.0f), 0.9f);
        c += CYAN * (0.8f * line_glow(petal_distance(r, fold_angle(a + PI / 16.0f, 16), 150.0f, 30.0f, 16.0f), 0.8f));
        if (r < 120.0f)
            c += MAGENTA * (0.6f * line_glow(petal_distance(r, fold_angle(a, 8), 70.0f, 40.0f, 8.0f), 0.8f));
    }
    return c;
}

cColor mandalogo_pixel(float x, float y, const cLayer& text, const cLayer& text_glow)
{
    cColor c = logo_ornament(x - 256.0f, y - 256.0f);
    const int px = static_cast<int>(x), py = static_cast<int>(y);
    const float backing = std::min(1.0f, 2.5f * text_glow.at(px, py));
    c = c * (1.0f - 0.9f * backing);
    c += AMBER * (1.2f * text_glow.at(px, py)) + cColor{1.6f, 1.5f, 1.4f, 1.0f} * text.at(px, py);
    return c;
}

// ---- colour lookups: 256 x 1 ------------------------------------------------------

struct cKey {
    float at;    // position 0-1
    cColor col;  // colour there
};

// Linear between keys whose luminance rises, so the lookup keeps the order
// of brightness and only changes hue.
cColor ramp(const cKey (&keys)[5], float t)
{
    for (int k = 0; k < 4; ++k)
        if (t <= keys[k + 1].at) {
            const float f = (t - keys[k].at) / (keys[k + 1].at - keys[k].at);
            return keys[k].col * (1.0f - f) + keys[k + 1].col * f;
        }
    return keys[4].col;
}

bool write_lookup(const std::string& dir, const std::string& name, const cKey (&keys)[5])
{
    cCanvas lut(256, 1, 24);
    for (int x = 0; x < 256; ++x) {
        cColor c = ramp(keys, static_cast<float>(x) / 255.0f);
        c.a = 1.0f;
        lut.at(x, 0) = c;
    }
    return save_texture(lut, dir, name, {});
}

}  // namespace

bool write_mandala_textures(const std::string& dir)
{
    cCanvas slices(ATLAS, ATLAS, 32);
    paint(slices, slices_pixel);
    cCanvas string(512, 64, 24);
    paint(string, string_pixel);

    cLayer text(512, 512);
    const cTextStyle style{5, 2};
    draw_text(text, "QUORVANE", (512 - text_width("QUORVANE", style)) / 2, 256 - 17, style, 1.0f);
    cLayer text_glow = text;
    blur(text_glow, 4, 3);
    cCanvas logo(512, 512, 24);
    paint(logo, [&](float x, float y) { return mandalogo_pixel(x, y, text, text_glow); });

    // The lookup the mandala uses lifts the dark end: the slices deep in the
    // fog still glow red instead of sinking into black.
    const cKey red_yellow[5] = {{0.0f, {0.0f, 0.0f, 0.0f}},       {0.15f, {0.45f, 0.02f, 0.08f}},
                                {0.35f, {0.95f, 0.15f, 0.2f}},    {0.6f, {1.0f, 0.6f, 0.1f}},
                                {1.0f, {1.0f, 0.95f, 0.65f}}};
    const cKey blue_green[5] = {{0.0f, {0.0f, 0.0f, 0.0f}},       {0.25f, {0.02f, 0.05f, 0.35f}},
                                {0.5f, {0.1f, 0.35f, 0.9f}},      {0.75f, {0.1f, 0.85f, 0.7f}},
                                {1.0f, {0.8f, 1.0f, 0.75f}}};
    const cKey green_blue[5] = {{0.0f, {0.0f, 0.0f, 0.0f}},       {0.25f, {0.0f, 0.25f, 0.1f}},
                                {0.5f, {0.2f, 0.8f, 0.3f}},       {0.75f, {0.2f, 0.9f, 1.0f}},
                                {1.0f, {0.8f, 0.9f, 1.0f}}};
    return save_texture(slices, dir, "Mandala_slices.png", {}) &&
           save_texture(string, dir, "mandala_string.jpg", {eImageFile::JPEG, false, 0}) &&
           save_texture(logo, dir, "mandalogo.jpg", {eImageFile::JPEG, false, 0}) &&
           write_lookup(dir, "Mandala_slices_color_correction_redyellow.png", red_yellow) &&
           write_lookup(dir, "Mandala_slices_color_correction_bluegreen.png", blue_green) &&
           write_lookup(dir, "Mandala_slices_color_correction_greenblue.png", green_blue);
}

// The desktop icon: the logo's ornament without its lettering, which would
// not read at icon sizes, on a dark disc so that it stands on light and dark
// desktops alike; transparent outside the disc. The ornament's lines are
// widened (summed over a small neighbourhood) so that they still show when
// a desktop shrinks the icon to 48 pixels.
bool write_icon(const std::string& path)
{
    const int size = 256;
    const float scale = 512.0f / size;
    const float spread = 3.0f;  // logo pixels between the summed samples
    cCanvas icon(size, size, 32);
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
            const float dx = (x + 0.5f - size / 2.0f) * scale, dy = (y + 0.5f - size / 2.0f) * scale;
            cColor light{0.05f, 0.015f, 0.09f, 1.0f};
            for (int j = -2; j <= 2; ++j)
                for (int i = -2; i <= 2; ++i)
                    light += logo_ornament(dx + i * spread, dy + j * spread) * 0.35f;
            cColor c = tone_map(light);
            c.a = 1.0f - smoothstep(244.0f, 252.0f, std::sqrt(dx * dx + dy * dy));
            icon.at(x, y) = c;
        }
    return save_canvas(icon, path, {});
}
