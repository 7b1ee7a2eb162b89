#pragma once
// Sliders of the tweak GUI: one float between min and max, and a triple of
// them for a Vec3. A slider only holds its own copy of the value; the
// variable list (gui_var_list.h) copies values between sliders and the
// variables they stand for. Grabbed from a GUI_GRAB event until GUI_RELEASE.
#include "values/gui_node.h"

class cGuiSlider : public cGuiRectangle {
public:
    // Button events answer a hit test; a drag while grabbed moves the value
    // to the pointer's place between the edges, limited to [min, max].
    bool handle_mouse(int event, float px, float py) override;
    void draw() override;
    bool is_grabbed() override { return grabbed; }
    // Moves the value by `fraction` of the range, limited to [min, max].
    void step(float fraction);

    float min = 0;         // value at the left edge
    float max = 1;         // value at the right edge
    float value = 0;       // current value, normally within [min, max]
    bool grabbed = false;  // follows drags while set
};

// Where a slider's marks fall, in screen units, and its bar colour.
struct cSliderMarks {
    float zero_x;   // the zero mark: 0 of the range, or the left edge when 0 lies left of it
    float value_x;  // the value mark; the bar runs from zero_x to here
    cGuiColor bar;  // black for values <= 0, white above; alpha 0.75 grabbed, 0.5 idle
};
cSliderMarks slider_marks(const cGuiSlider& s);

class cGuiVec3Slider : public cGuiRectangle {
public:
    // Release goes to all three; any other event to each in turn until one
    // takes it.
    bool handle_mouse(int event, float px, float py) override;
    void draw() override;
    bool hit_test(const float& px, const float& py) override;
    void set_pos(const float& x_, const float& y_) override;
    void set_size(float w_, float h_) override;
    bool is_grabbed() override;

    float min = 0;               // range shared by the three sliders
    float max = 1;
    cGuiSlider sliders[3];       // x, y, z side by side, a small gap between

private:
    void layout();
};
