#include "values/gui_slider.h"

#include <algorithm>
#include <iterator>

#include "gl.h"

namespace {

constexpr cGuiColor ZERO_MARK{1, 0, 0, 0.5f};
constexpr cGuiColor VALUE_MARK{1, 1, 1, 1};

float limited(float v, float lo, float hi)
{
    return std::max(std::min(v, hi), lo);
}

}  // namespace

// ---- cGuiSlider --------------------------------------------------------------

bool cGuiSlider::handle_mouse(int event, float px, float py)
{
    switch (event) {
    case GUI_BUTTON_LEFT:
    case GUI_BUTTON_MIDDLE:
    case GUI_BUTTON_RIGHT:
        return hit_test(px, py);
    case GUI_DRAG: {
        // A slider without width cannot place the pointer; it never gets
        // grabbed through a hit test either.
        if (!grabbed || !(w > 0))
            return false;
        const float t = (px - x) / w;
        value = limited((1 - t) * min + t * max, min, max);
        return true;
    }
    case GUI_GRAB:
        if (!hit_test(px, py))
            return false;
        grabbed = true;
        return true;
    case GUI_RELEASE:
        grabbed = false;
        return true;
    default:
        return false;
    }
}

void cGuiSlider::step(float fraction)
{
    value = limited(value + fraction * (max - min), min, max);
}

cSliderMarks slider_marks(const cGuiSlider& s)
{
    const float range = s.max - s.min;
    // An empty range has no scale: both marks stay at the left edge.
    const float z = range != 0 ? std::max(-s.min / range, 0.0f) : 0.0f;
    const float v = range != 0 ? (s.value - s.min) / range : 0.0f;
    const float alpha = s.grabbed ? 0.75f : 0.5f;
    const float shade = s.value <= 0 ? 0.0f : 1.0f;
    return {s.x + s.w * z, s.x + s.w * v, {shade, shade, shade, alpha}};
}

void cGuiSlider::draw()
{
    cGuiRectangle::draw();
    const cSliderMarks m = slider_marks(*this);
    gui_color(m.bar);
    gui_quad(m.zero_x, y, m.value_x, y + h);
    gui_color(ZERO_MARK);
    gui_vertical_line(m.zero_x, y, y + h);
    gui_color(VALUE_MARK);
    gui_vertical_line(m.value_x, y, y + h);
}

// ---- cGuiVec3Slider ----------------------------------------------------------

bool cGuiVec3Slider::handle_mouse(int event, float px, float py)
{
    if (event == GUI_RELEASE) {
        for (cGuiSlider& s : sliders)
            s.handle_mouse(GUI_RELEASE, -1, -1);
        return true;
    }
    for (cGuiSlider& s : sliders)
        if (s.handle_mouse(event, px, py))
            return true;
    return false;
}

void cGuiVec3Slider::draw()
{
    for (cGuiSlider& s : sliders)
        s.draw();
}

bool cGuiVec3Slider::hit_test(const float& px, const float& py)
{
    return std::any_of(std::begin(sliders), std::end(sliders),
                       [&](cGuiSlider& s) { return s.hit_test(px, py); });
}

bool cGuiVec3Slider::is_grabbed()
{
    return std::any_of(std::begin(sliders), std::end(sliders), [](const cGuiSlider& s) { return s.grabbed; });
}

void cGuiVec3Slider::set_pos(const float& x_, const float& y_)
{
    cGuiRectangle::set_pos(x_, y_);
    layout();
}

void cGuiVec3Slider::set_size(float w_, float h_)
{
    cGuiRectangle::set_size(w_, h_);
    layout();
}

void cGuiVec3Slider::layout()
{
    const float sw = w / 3.1f;
    const float gap = (w - 3 * sw) / 2;
    for (int k = 0; k < 3; ++k) {
        sliders[k].set_pos(x + k * (sw + gap), y);
        sliders[k].set_size(sw, h);
    }
}
