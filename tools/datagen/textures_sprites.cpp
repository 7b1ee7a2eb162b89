// Sprites and the group logo: the particles' soft glow, the expanding light
// ring of the spike ball, and "morvik_fz2009.jpg", the wide logo strip laid
// over the bottom of the intro. All on black, since all are added.
#include <algorithm>
#include <cmath>
#include <iostream>

#include "noise.h"
#include "ornament.h"
#include "pixel_font.h"
#include "textures_show.h"

bool save_texture(const cCanvas& canvas, const std::string& dir, const std::string& name, const cSaveOptions& options)
{
    const std::string path = dir + "/" + name;
    if (save_canvas(canvas, path, options))
        return true;
    std::cerr << "quorvane-datagen: cannot write " << path << std::endl;
    return false;
}

cColor light_to_rgba(const cColor& light)
{
    const cColor c = tone_map(light);
    const float a = std::max({c.r, c.g, c.b});
    if (a < 0.5f / 255.0f)
        return {0.0f, 0.0f, 0.0f, 0.0f};
    return {c.r / a, c.g / a, c.b / a, a};
}

namespace {

// ---- particle glow: 64 x 64, a soft, dim core fading to black at the rim -------
// The fountain piles thousands of these onto the same few pixels and then
// glows the sum, so one sprite stays faint and wide, and coloured: the pile
// builds up to a bright pink and violet body instead of a white blot.

cColor glow_pixel(float x, float y)
{
    const float dx = (x - 32.0f) / 32.0f, dy = (y - 32.0f) / 32.0f;
    const float r = std::sqrt(dx * dx + dy * dy);
    const float rim = 1.0f - smoothstep(0.6f, 1.0f, r);
    const float core = std::exp(-r * r / 0.04f);
    const float halo = std::exp(-r * r / 0.2f);
    const cColor pink{1.0f, 0.4f, 0.85f, 1.0f};
    const cColor violet{0.45f, 0.35f, 1.0f, 1.0f};
    return (pink * (1.6f * core) + violet * (0.6f * halo)) * rim;
}

// ---- dodge ring: 512 x 512, a thin ring a tenth of the picture wide ------------
// The scene scales the quad from one to 27 screens, so the ring starts small.

cColor ring_pixel(float x, float y)
{
    const float dx = x - 256.0f, dy = y - 256.0f;
    const float r = std::sqrt(dx * dx + dy * dy);
    const float fade = 1.0f - smoothstep(180.0f, 250.0f, r);
    cColor c{0.0f, 0.0f, 0.0f, 1.0f};
    c += cColor{0.85f, 0.95f, 1.0f, 1.0f} * (1.6f * line_glow(r - 51.0f, 2.2f));
    c += CYAN * (0.5f * line_glow(r - 46.0f, 1.2f));
    c += MAGENTA * (0.35f * line_glow(r - 57.0f, 1.5f));
    c += CYAN * (0.12f * std::exp(-r / 60.0f));
    return c * fade;
}

// ---- logo strip: 1024 x 128 ------------------------------------------------------

constexpr int LOGO_W = 1024;
constexpr int LOGO_H = 128;

struct cLogoText {
    cLayer core;  // lit letters
    cLayer glow;  // their blurred halo
    cLayer haze;  // a wide, faint halo round the whole line
};

cLogoText logo_text()
{
    cLogoText t{cLayer(LOGO_W, LOGO_H), cLayer(LOGO_W, LOGO_H), cLayer(LOGO_W, LOGO_H)};
    const cTextStyle big{8, 2};
    const std::string name = "MORVIK";
    draw_text(t.core, name, (LOGO_W - text_width(name, big)) / 2, 26, big, 1.0f);
    const cTextStyle small{2, 2};
    const std::string line = "presents quorvane";
    draw_text(t.core, line, (LOGO_W - text_width(line, small)) / 2, 96, small, 0.7f);
    t.glow = t.core;
    blur(t.glow, 5, 3);
    t.haze = t.core;
    blur(t.haze, 18, 3);
    return t;
}

// Hairlines with diamond beads running out from both sides of the name, and
// a small rosette at each end.
cColor logo_ornament(float x, float y)
{
    cColor c{0.0f, 0.0f, 0.0f, 1.0f};
    const float mid = 54.0f;
    const float from_centre = std::fabs(x - 512.0f);
    if (from_centre > 230.0f && from_centre < 440.0f) {
        const float fade = 1.0f - smoothstep(380.0f, 440.0f, from_centre);
        c += CYAN * (0.8f * fade * line_glow(y - mid, 0.7f));
        c += MAGENTA * (0.5f * fade * (line_glow(y - mid + 9.0f, 0.5f) + line_glow(y - mid - 9.0f, 0.5f)));
        const float bead = std::fabs(std::fmod(from_centre, 40.0f) - 20.0f) + std::fabs(y - mid);
        c += AMBER * (0.9f * fade * line_glow(bead - 5.0f, 0.6f));
    }
    for (float cx : {512.0f - 470.0f, 512.0f + 470.0f}) {
        const float dx = x - cx, dy = y - mid;
        const float r = std::sqrt(dx * dx + dy * dy);
        if (r < 40.0f) {
            const float a = fold_angle(std::atan2(dy, dx), 8);
            c += MAGENTA * (0.9f * line_glow(petal_distance(r, a, 14.0f, 12.0f, 8.0f), 0.7f));
            c += AMBER * (0.8f * line_glow(r - 28.0f, 0.6f));
        }
    }
    return c;
}

cColor logo_pixel(const cLogoText& t, int px, int py)
{
    const float x = static_cast<float>(px) + 0.5f, y = static_cast<float>(py) + 0.5f;
    cColor c = logo_ornament(x, y);
    const float left = t.glow.sample(x + 4.0f, y);
    const float right = t.glow.sample(x - 4.0f, y);
    c += MAGENTA * (2.0f * left) + CYAN * (2.0f * right);
    c += cColor{0.55f, 0.3f, 0.8f, 1.0f} * (4.0f * t.haze.at(px, py));
    // Letters near white, warm towards their feet: the logo is laid over
    // the dark ends of the show at partial opacity and must still read.
    const float shade = 0.75f + 0.5f * (y - 26.0f) / 56.0f;
    c += cColor{2.8f * shade, 2.4f, 3.2f - 0.8f * shade, 1.0f} * t.core.at(px, py);
    return c;
}

}  // namespace

bool write_sprites(const std::string& dir)
{
    cCanvas glow(64, 64, 24);
    paint(glow, glow_pixel);
    cCanvas ring(512, 512, 24);
    paint(ring, ring_pixel);
    const cLogoText text = logo_text();
    cCanvas logo(LOGO_W, LOGO_H, 24);
    for (int y = 0; y < LOGO_H; ++y)
        for (int x = 0; x < LOGO_W; ++x)
            logo.at(x, y) = tone_map(logo_pixel(text, x, y));
    return save_texture(glow, dir, "particleglow.jpg", {eImageFile::JPEG, false, 0}) &&
           save_texture(ring, dir, "dodgecircle.jpg", {eImageFile::JPEG, false, 0}) &&
           save_texture(logo, dir, "morvik_fz2009.jpg", {eImageFile::JPEG, false, 0});
}
