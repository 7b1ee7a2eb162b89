#include "load_screen.h"

#include <algorithm>

#include "demo_clock.h"
#include "screen_space.h"
#include "state_manager.h"
#include "video.h"

namespace {

// The bar in design pixels of a 1280x720 frame, measured from the bottom left.
constexpr float DESIGN_W = 1280.0f;
constexpr float DESIGN_H = 720.0f;
constexpr float BAR_X = 120.0f;
constexpr float BAR_Y = 340.0f;
constexpr float BAR_LENGTH = 1024.0f;
constexpr float BAR_HEIGHT = 512.0f / 9.0f;

// A swap paces the loop. Without one nothing would: frames nobody sees
// would pile up in the driver's queue faster than they are drawn and stall
// the next read-back or swap for seconds, so each is waited for instead.
void present(bool swap)
{
    if (swap)
        cVideo_SDL::get_instance()->swap_buffers();
    else
        glFinish();
}

}  // namespace

float load_bar_ease(int32_t elapsed_ms)
{
    const float u = std::clamp(static_cast<float>(elapsed_ms) / cLoadScreen_Img::ANIMATION_MS, 0.0f, 1.0f);
    return (3.0f - 2.0f * u) * u * u;
}

cLoadScreen_Img::cLoadScreen_Img()
{
    cTextureManager* textures = cTextureManager::get_instance();
    background = textures->get_texture("loader.jpg", false, GL_CLAMP, 0);
    bar = textures->get_texture("loadbar.jpg", false, GL_CLAMP, 0);

    cStateManager* sm = cStateManager::get_instance();
    sm->set_blend(false);
    sm->set_blend_func(gs::BLEND_ALPHA);
    sm->set_lighting(false);
    glDisable(GL_TEXTURE_2D);
    glDisable(GL_TEXTURE_RECTANGLE_ARB);
    sm->apply();

    cVideo_SDL::get_instance()->apply_viewport();
    glClearColor(0.0f, 0.0f, 0.0f, 1.0f);

    push_unit_square_matrices();
}

// Each screen gives back the matrix levels it took: the stacks are only a
// few levels deep, and a second loading screen must not overflow them.
cLoadScreen_Img::~cLoadScreen_Img()
{
    pop_unit_square_matrices();
}

void cLoadScreen_Img::update(float new_progress, bool swap)
{
    animate_to(progress, new_progress, swap);
    progress = new_progress;
}

void cLoadScreen_Img::animate_to(float from, float to, bool swap)
{
    cDemoClock clock;
    clock.tick();
    clock.start = clock.now;
    // No sleep: present() paces the loop.
    do {
        draw_frame(from + load_bar_ease(clock.now - clock.start) * (to - from));
        present(swap);
        clock.tick();
    } while (clock.now - clock.start < ANIMATION_MS);
    draw_frame(to);
    present(swap);
}

void cLoadScreen_Img::draw_frame(float value)
{
    cStateManager* sm = cStateManager::get_instance();
    sm->push();
    sm->set_depth_test(false);
    sm->apply();
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    draw_texture_fullscreen_2d(background.target, background.name, background.width, background.height);
    draw_bar(value);
    sm->pop();
}

void cLoadScreen_Img::draw_bar(float p)
{
    const float x_left = BAR_X / DESIGN_W;
    const float x_right = (BAR_X + BAR_LENGTH) / DESIGN_W;
    const float x_end = (p * BAR_LENGTH + BAR_X) / DESIGN_W;
    const float y_bottom = BAR_Y / DESIGN_H;
    const float y_top = (BAR_HEIGHT + BAR_Y) / DESIGN_H;

    glLineWidth(2.0f);
    begin_screen_space();
    cStateManager* sm = cStateManager::get_instance();
    sm->set_blend(true);
    // Additive by alpha for colour; the alpha factors stay as they were.
    sm->set_blend_func(gs::BF_SRC_ALPHA, gs::BF_ONE, sm->pending.get(gs::BLEND_SRC_ALPHA),
                       sm->pending.get(gs::BLEND_DST_ALPHA));
    sm->apply();

    // The picture is revealed from the left, not stretched.
    glColor4f(1.0f, 1.0f, 1.0f, 0.4f);
    glActiveTexture(GL_TEXTURE0);
    glEnable(bar.target);
    glBindTexture(bar.target, bar.name);
    glBegin(GL_QUADS);
    glTexCoord2f(0.0f, 0.0f), glVertex4f(x_left, y_bottom, 0.0f, 1.0f);
    glTexCoord2f(p, 0.0f), glVertex4f(x_end, y_bottom, 0.0f, 1.0f);
    glTexCoord2f(p, 1.0f), glVertex4f(x_end, y_top, 0.0f, 1.0f);
    glTexCoord2f(0.0f, 1.0f), glVertex4f(x_left, y_top, 0.0f, 1.0f);
    glEnd();
    glDisable(bar.target);
    glBindTexture(bar.target, 0);

    glColor4f(1.0f, 1.0f, 1.0f, 0.05f);
    glBegin(GL_LINES);
    glVertex2f(x_left, y_bottom), glVertex2f(x_right, y_bottom);
    glVertex2f(x_right, y_top), glVertex2f(x_left, y_top);
    glEnd();
    if (p > 0.0f) {
        glColor4f(1.0f, 1.0f, 1.0f, 0.05f);
        glBegin(GL_LINES);
        glVertex2f(x_end, y_bottom), glVertex2f(x_end, y_top);
        glEnd();
    }
    end_screen_space();
}
