#pragma once
// The tweak list: named variables shown one per row with a slider (or, for
// read-only values, a text label), and the functions that make its entries.
// The list copies every variable into its slider at the start of each draw,
// so values animated elsewhere show, and copies a dragged slider back into
// its variable. Mouse input comes through handle_mouse with the button state
// of cMouse; the list clears the wheel flags it consumes.
//
// Ownership: the variables and nodes made by add_* belong to the list that
// they were added to and go with it (reset() forgets the rows, not the
// objects). make_* hands its pair to the caller; append() shows a pair the
// list does not own, adopt() one it takes over.
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "values/gui_label.h"
#include "values/gui_slider.h"
#include "values/var.h"

constexpr float GUI_ROW_PITCH = 0.03f;     // distance between rows, screen units
constexpr float GUI_SLIDER_HEIGHT = 0.025f;
constexpr int GUI_NAME_CHARS = 20;         // longest name shown
constexpr float GUI_WHEEL_STEP = 0.01f;    // fraction of a slider's range per wheel notch

class cGuiVarList : public cGuiRectangle {
public:
    // Forgets the rows and darkens the panel.
    void reset() override;
    // Layout when dirty, variables into sliders, then the panel and its rows.
    void draw() override;
    // With no button held the node under the pointer becomes the grabbed one;
    // a drag with a button held moves it and writes its variable. A wheel
    // notch steps the slider under the pointer.
    bool handle_mouse(int event, float px, float py) override;

    // Row i at (x + 0.2, h - 0.03 i + 0.02): the height field is the y of
    // the first row.
    void layout();
    // Copies each variable into the slider that shows it.
    void sync_from_vars();
    // Adds a row; a slider row gets the row size (the list's height by
    // 0.025). append leaves ownership with the caller, adopt takes it.
    void append(const tGuiEntry& entry);
    void adopt(const tGuiEntry& entry);

    bool dirty = true;                               // rows need a layout before the next draw
    std::vector<tGuiEntry> entries;                  // rows in display order; not owned through here
    cGuiTxtLabel label;                              // prints names and values
    std::vector<std::unique_ptr<iVar>> owned_vars;   // made by add_* / adopted; freed with the list
    std::vector<std::unique_ptr<iGuiNode>> owned_nodes;

private:
    void draw_entry(const tGuiEntry& entry);
    bool consume_wheel(float px, float py);
};

// Slider value to int: nearest, halves away from below (2.5 -> 3, -2.5 -> -2).
int slider_to_int(float value);
// Writes a slider's (or Vec3 slider's) value into its variable; false when
// the pair has no such conversion.
bool write_to_var(iVar* var, iGuiNode* node);
// Reads the variable into the slider; false when the pair has no conversion.
bool read_from_var(iVar* var, iGuiNode* node);

tGuiEntry make_float_var(const std::string& name, float* value, const float& min, const float& max);
tGuiEntry make_int_var(const std::string& name, int* value, const int& min, const int& max);
tGuiEntry make_double_var(const std::string& name, double* value, const double& min, const double& max);
tGuiEntry make_vec3_var(const std::string& name, Vec3<float>* value, const float& min, const float& max);

void add_float_var(cGuiVarList* list, const std::string& name, float* value, const float& min, const float& max);
void add_int_var(cGuiVarList* list, const std::string& name, int* value, const int& min, const int& max);
void add_double_var(cGuiVarList* list, const std::string& name, double* value, const double& min,
                    const double& max);
void add_vec3_var(cGuiVarList* list, const std::string& name, Vec3<float>* value, const float& min,
                  const float& max);
// A read-only row: the value as text.
void add_double_label(cGuiVarList* list, const std::string& name, double* value);
