#include "scenes/scene_logo_light.h"

#include <cmath>

#include "gl.h"
#include "post/post_compositing.h"
#include "post/post_sliders.h"
#include "render_target.h"
#include "resource_path.h"
#include "screen_space.h"
#include "shader_manager.h"
#include "state_manager.h"

// Sections: data, load, render.

// ---- data ------------------------------------------------------------------------

namespace {

constexpr float LOGO_WIDTH = 0.62f;           // screen widths
constexpr float LOGO_ASPECT = 2.0f;           // the picture is twice as wide as high
constexpr float SCREEN_ASPECT = 16.0f / 9.0f;
constexpr float LIGHT_SIZE = 0.22f;           // glow sprite, screen heights
constexpr float LIGHT_REACH = 0.18f;          // distance at which the light's effect falls to 1/e
constexpr float TINT[3] = {1.0f, 0.78f, 0.45f};  // warm light

}  // namespace

cSceneLogoLight::cSceneLogoLight(cDemoClock* clock_) : cScene(clock_)
{
    const tVarTable published = {
        {"light_x", &light_x, 0, 1},
        {"light_y", &light_y, 0, 1},
        {"path", &path, 0, 1},
        {"rays", &ray_length, 0, 2},
    };
    publish(published);
    sliders = published;
    tVarTable blur = slider_rows(rays);
    // The centre follows the light and the length is "rays": the rest of the block is tweakable.
    blur.erase(blur.begin(), blur.begin() + 2);
    append_rows(sliders, blur);
}

// ---- load ------------------------------------------------------------------------

void cSceneLogoLight::load()
{
    if (!first_load())
        return;
    cResourcePath::get_instance()->add("../data/textures");
    cTextureManager* textures = cTextureManager::get_instance();
    logo = textures->get_texture("intro_logo.png", false, GL_CLAMP_TO_EDGE, 0);
    glow = textures->get_texture("particleglow.jpg", false, GL_CLAMP_TO_EDGE, 0);
    cPostRadialBlur::get_instance();
    cPostCompositing::get_instance();
}

// ---- render ----------------------------------------------------------------------

cTmpRenderTarget cSceneLogoLight::render(int32_t time_ms)
{
    move_light(static_cast<float>(time_ms) / 1000.0f);
    cShaderManager_GLSL::get_instance()->unbind();
    glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
    cTmpRenderTarget lit = get_tmp_render_target(RTT_FULL);
    lit->bind(true);
    begin_screen_space();
    draw_lit_logo();
    draw_light();
    end_screen_space();
    lit->unbind();

    // Soft rays need no full resolution: half size streaks cost a quarter.
    cTmpRenderTarget streaks = get_tmp_render_target(RTT_HALF);
    streaks->bind(true);  // the blur draws without clearing
    streaks->unbind();
    const cRenderTargetSize size = rtt_size(rays.size_class, lit->width, lit->height);
    cRadialBlurParams block = rays;
    block.center_x = lx * static_cast<float>(size.width);
    block.center_y = ly * static_cast<float>(size.height);
    block.propagation = ray_length;
    cPostRadialBlur::get_instance()->apply(*streaks.target, *lit.target, block);

    cTmpRenderTarget result = get_tmp_render_target(RTT_FULL);
    cPostCompositing::get_instance()->apply(*result.target, *streaks.target, *lit.target, COMP_ADD, 1.0f);
    return result;
}

// A slow figure of eight round the chosen centre.
void cSceneLogoLight::move_light(float seconds)
{
    lx = light_x + path * 0.32f * std::sin(seconds * 0.7f);
    ly = light_y + path * 0.22f * std::sin(seconds * 1.4f + 0.5f);
}

// The logo as a grid of cells whose corners are lit by their distance to the
// light: the letters catch the light as it passes.
void cSceneLogoLight::draw_lit_logo()
{
    cStateManager* state = cStateManager::get_instance();
    state->set_blend(true);
    state->set_blend_func(gs::BLEND_ADD_BY_ALPHA_KEEP);
    state->apply();
    glActiveTexture(GL_TEXTURE0);
    glEnable(logo.target);
    glBindTexture(logo.target, logo.name);
    // Rectangle textures are addressed in texels, 2D ones in 0-1.
    const float su = logo.target == GL_TEXTURE_RECTANGLE_ARB ? static_cast<float>(logo.width) : 1.0f;
    const float sv = logo.target == GL_TEXTURE_RECTANGLE_ARB ? static_cast<float>(logo.height) : 1.0f;
    const float w = LOGO_WIDTH, h = LOGO_WIDTH / LOGO_ASPECT * SCREEN_ASPECT;
    const float x0 = 0.5f - w / 2.0f, y0 = 0.5f - h / 2.0f;
    constexpr int rows = GRID / 2;
    glBegin(GL_QUADS);
    for (int j = 0; j < rows; ++j)
        for (int i = 0; i < GRID; ++i)
            for (const auto& [di, dj] : {std::pair{0, 0}, {1, 0}, {1, 1}, {0, 1}}) {
                const float u = static_cast<float>(i + di) / GRID, v = static_cast<float>(j + dj) / rows;
                const float x = x0 + u * w, y = y0 + v * h;
                const float dx = (x - lx) * SCREEN_ASPECT, dy = y - ly;
                const float light = 0.3f + 1.4f * std::exp(-(dx * dx + dy * dy) / (LIGHT_REACH * LIGHT_REACH));
                glColor4f(TINT[0] * light, TINT[1] * light, TINT[2] * light, 1.0f);
                glTexCoord2f(u * su, v * sv);
                glVertex2f(x, y);
            }
    glEnd();
    glBindTexture(logo.target, 0);
    glDisable(logo.target);
}

void cSceneLogoLight::draw_light()
{
    glEnable(glow.target);
    glBindTexture(glow.target, glow.name);
    cStateManager::get_instance()->set_blend_func(gs::BLEND_ADD_KEEP);
    cStateManager::get_instance()->apply();
    const float half_w = LIGHT_SIZE / SCREEN_ASPECT / 2.0f, half_h = LIGHT_SIZE / 2.0f;
    glColor4f(TINT[0], TINT[1], TINT[2], 1.0f);
    glBegin(GL_QUADS);
    glTexCoord2f(0, 0); glVertex2f(lx - half_w, ly - half_h);
    glTexCoord2f(1, 0); glVertex2f(lx + half_w, ly - half_h);
    glTexCoord2f(1, 1); glVertex2f(lx + half_w, ly + half_h);
    glTexCoord2f(0, 1); glVertex2f(lx - half_w, ly + half_h);
    glEnd();
    glBindTexture(glow.target, 0);
    glDisable(glow.target);
}
