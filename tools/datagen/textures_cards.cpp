// Pictures of the card models: the greetings wall (2048 x 1024 RGBA, drawn
// with alpha blending, so the dark panel behind the lines is translucent),
// the title card (1024 x 1024, its brightness is its coverage) and the
// title logo (512 x 256 RGBA: its alpha cuts it out of the card, then it is
// laid sharp over the light rays). Greetings name no one: they go to the
// crafts and the people of the demo scene in general.
#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "card_names.h"
#include "noise.h"
#include "ornament.h"
#include "pixel_font.h"
#include "textures_show.h"

namespace {

// ---- greetings ---------------------------------------------------------------------

constexpr int GREET_W = 2048;
constexpr int GREET_H = 1024;

struct cGreetLine {
    const char* text;  // the line
    int scale;         // canvas pixels per font pixel
    int top;           // picture row of the line's top
    int tint;          // 0 magenta, 1 cyan, 2 amber
};

const cGreetLine GREET_LINES[] = {
    {"GREETINGS", 14, 110, 0},
    {"to every coder chasing one more frame", 5, 300, 1},
    {"to every pixel artist and every musician", 5, 390, 2},
    {"to the organisers who keep the parties alive", 5, 480, 1},
    {"to everyone still releasing demos", 5, 570, 2},
    {"to the sceners of every era, old and new", 5, 660, 1},
    {"and to you, watching this now", 5, 780, 0},
};

struct cGreetText {
    cLayer core;  // lit letters of every line
    cLayer glow;  // their blurred halo
};

cGreetText greet_text()
{
    cGreetText t{cLayer(GREET_W, GREET_H), cLayer(GREET_W, GREET_H)};
    for (const cGreetLine& line : GREET_LINES) {
        const cTextStyle style{line.scale, 1};
        draw_text(t.core, line.text, (GREET_W - text_width(line.text, style)) / 2, line.top, style, 1.0f);
    }
    t.glow = t.core;
    blur(t.glow, 7, 3);
    return t;
}

// Tint of the line nearest to picture row y: lines lie far enough apart
// that each halo belongs to one line.
cColor greet_tint(float y)
{
    const cColor tints[3] = {MAGENTA, CYAN, AMBER};
    const cGreetLine* nearest = &GREET_LINES[0];
    float best = 1e9f;
    for (const cGreetLine& line : GREET_LINES) {
        const float centre = static_cast<float>(line.top) + 3.5f * static_cast<float>(line.scale);
        if (std::fabs(y - centre) < best) {
            best = std::fabs(y - centre);
            nearest = &line;
        }
    }
    return tints[nearest->tint];
}

// Double frame with rosettes in the corners and a bead line under the title.
cColor greet_frame(float x, float y)
{
    cColor c{0.0f, 0.0f, 0.0f, 1.0f};
    const float inset = 40.0f;
    const float fx = std::min(x - inset, GREET_W - inset - x);
    const float fy = std::min(y - inset, GREET_H - inset - y);
    const float edge = std::min(fx, fy);
    if (fx > -10.0f && fy > -10.0f) {
        c += CYAN * (0.9f * line_glow(edge, 1.2f));
        c += MAGENTA * (0.7f * line_glow(edge - 14.0f, 1.0f));
    }
    for (float cx : {inset, GREET_W - inset})
        for (float cy : {inset, GREET_H - inset}) {
            const float dx = x - cx, dy = y - cy;
            const float r = std::sqrt(dx * dx + dy * dy);
            if (r < 38.0f) {
                const float a = fold_angle(std::atan2(dy, dx), 12);
                c += AMBER * line_glow(petal_distance(r, a, 16.0f, 12.0f, 12.0f), 1.0f);
                c += MAGENTA * (0.8f * line_glow(r - 31.0f, 1.0f));
            }
        }
    const float bead_y = 250.0f;
    if (std::fabs(x - GREET_W / 2.0f) < 700.0f) {
        c += AMBER * (0.6f * line_glow(y - bead_y, 0.9f));
        const float bead = std::fabs(std::fmod(x, 48.0f) - 24.0f) + std::fabs(y - bead_y);
        c += MAGENTA * (0.9f * line_glow(bead - 6.0f, 0.8f));
    }
    return c;
}

// A faint mandala watermark behind the lines.
cColor greet_watermark(float x, float y)
{
    const float dx = x - GREET_W / 2.0f, dy = y - GREET_H / 2.0f;
    const float r = std::sqrt(dx * dx + dy * dy);
    if (r > 470.0f)
        return {0.0f, 0.0f, 0.0f, 1.0f};
    const float a = std::atan2(dy, dx);
    cColor c{0.0f, 0.0f, 0.0f, 1.0f};
    c += MAGENTA * (0.18f * line_glow(petal_distance(r, fold_angle(a, 24), 330.0f, 120.0f, 24.0f), 1.2f));
    c += CYAN * (0.15f * (line_glow(r - 450.0f, 1.0f) + line_glow(r - 210.0f, 1.0f)));
    return c;
}

cColor greet_pixel(const cGreetText& t, int px, int py)
{
    const float x = static_cast<float>(px) + 0.5f, y = static_cast<float>(py) + 0.5f;
    cColor c = greet_frame(x, y) + greet_watermark(x, y);
    c += greet_tint(y) * (1.5f * t.glow.at(px, py)) + cColor{1.5f, 1.4f, 1.6f, 1.0f} * t.core.at(px, py);
    return c;
}

// ---- title card: 1024 x 1024, a mandala round the hole the logo leaves -----------

cColor title_bg_pixel(float x, float y)
{
    const float dx = x - 512.0f, dy = y - 512.0f;
    const float r = std::sqrt(dx * dx + dy * dy);
    const float a = std::atan2(dy, dx);
    const float fade = 1.0f - smoothstep(380.0f, 500.0f, r);
    cColor c{0.02f, 0.01f, 0.04f, 1.0f};
    c += MAGENTA * (0.08f * fbm(x / 90.0f, y / 90.0f, 4, 61));
    // A broad luminous ring round the logo's box (about 136 x 68 px): wide
    // enough to stay brighter than the rays' threshold after the blurs.
    c += cColor{1.0f, 0.72f, 0.9f, 1.0f} * (2.4f * std::exp(-(r - 100.0f) * (r - 100.0f) / 260.0f));
    // Rings and petals outside it.
    c += CYAN * (1.2f * line_glow(r - 130.0f, 1.1f) + 0.8f * line_glow(r - 136.0f, 0.8f));
    c += AMBER * (1.1f * line_glow(petal_distance(r, fold_angle(a, 16), 190.0f, 50.0f, 16.0f), 1.1f));
    c += MAGENTA * (1.0f * line_glow(petal_distance(r, fold_angle(a + PI / 16.0f, 16), 190.0f, 40.0f, 16.0f), 1.0f));
    c += CYAN * (0.9f * line_glow(r - 250.0f, 1.0f));
    const float a32 = fold_angle(a, 32);
    const float bx = r * std::cos(a32) - 290.0f, by = r * std::sin(a32);
    c += AMBER * (1.3f * line_glow(std::max(0.0f, std::sqrt(bx * bx + by * by) - 5.0f), 1.3f));
    if (r > 300.0f)
        c += MAGENTA * (0.6f * line_glow(r * std::sin(fold_angle(a, 48)), 0.9f));
    c += MAGENTA * (0.9f * line_glow(r - 330.0f, 1.0f));
    return c * fade;
}

// ---- title logo: 512 x 256 RGBA ------------------------------------------------------

struct cTitleText {
    cLayer core;  // lit letters
    cLayer glow;  // halo
};

cTitleText title_text()
{
    cTitleText t{cLayer(512, 256), cLayer(512, 256)};
    const cTextStyle style{9, 1};
    const std::string name = "QUORVANE";
    draw_text(t.core, name, (512 - text_width(name, style)) / 2, 128 - 32, style, 1.0f);
    t.glow = t.core;
    blur(t.glow, 5, 3);
    return t;
}

cColor title_logo_pixel(const cTitleText& t, int px, int py)
{
    const float x = static_cast<float>(px) + 0.5f, y = static_cast<float>(py) + 0.5f;
    cColor c{0.0f, 0.0f, 0.0f, 1.0f};
    for (float ly : {72.0f, 184.0f}) {
        const float span = 1.0f - smoothstep(150.0f, 230.0f, std::fabs(x - 256.0f));
        c += CYAN * (0.9f * span * line_glow(y - ly, 0.8f));
        const float diamond = std::fabs(x - 256.0f) + std::fabs(y - ly);
        c += AMBER * (1.2f * line_glow(diamond - 7.0f, 0.8f));
    }
    const float left = t.glow.sample(x + 3.0f, y), right = t.glow.sample(x - 3.0f, y);
    c += MAGENTA * (1.5f * left) + CYAN * (1.5f * right);
    c += cColor{1.8f, 1.7f, 1.9f, 1.0f} * t.core.at(px, py);
    return c;
}

}  // namespace

bool write_card_textures(const std::string& dir)
{
    const cGreetText text = greet_text();
    cCanvas greet(GREET_W, GREET_H, 32);
    for (int y = 0; y < GREET_H; ++y)
        for (int x = 0; x < GREET_W; ++x) {
            cColor c = light_to_rgba(greet_pixel(text, x, y));
            // A dark translucent panel keeps the lines legible over the streaks.
            const float panel = 0.55f;
            const float a = c.a + panel * (1.0f - c.a);
            const float k = a > 0.0f ? c.a / a : 0.0f;
            greet.at(x, y) = {c.r * k, c.g * k, c.b * k, a};
        }
    cCanvas bg(1024, 1024, 24);
    paint(bg, title_bg_pixel);
    const cTitleText title = title_text();
    cCanvas logo(512, 256, 32);
    for (int y = 0; y < 256; ++y)
        for (int x = 0; x < 512; ++x)
            logo.at(x, y) = light_to_rgba(title_logo_pixel(title, x, y));
    return save_texture(greet, dir, GREETINGS_TEXTURE, {}) &&
           save_texture(bg, dir, TITLE_BG_TEXTURE, {eImageFile::JPEG, true, 71}) &&
           save_texture(logo, dir, TITLE_LOGO_TEXTURE, {});
}

bool write_show_textures(const std::string& dir)
{
    return write_fontlist(dir) && write_sprites(dir) && write_mandala_textures(dir) && write_card_textures(dir) &&
           write_flower_textures(dir) &&
           write_mushroom_textures(dir) &&
           write_ganesh_textures(dir);
}
