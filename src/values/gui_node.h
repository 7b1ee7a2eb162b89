#pragma once
// Tweak GUI nodes: the node interface and the plain rectangle that sliders and
// the variable list build on. Positions and sizes are normalised screen units
// (0 to 1, origin at the lower left), the space begin_screen_space() sets up;
// draw() expects that mode and a current GL context, everything else is plain
// arithmetic. Nodes are made at start-up (the demo object, the scenes'
// register_gui and get_vars) and live until the program ends; gui_var_list.h
// says who owns them.

// A colour with components 0 to 1.
struct cGuiColor {
    float r;  // red 0..1
    float g;  // green 0..1
    float b;  // blue 0..1
    float a;  // alpha 0..1
};

// Mouse events handed to handle_mouse.
enum : int {
    GUI_BUTTON_LEFT = 1,   // button events 1 to 3 only ask for a hit test
    GUI_BUTTON_MIDDLE = 2,
    GUI_BUTTON_RIGHT = 3,
    GUI_DRAG = 7,          // pointer moved while a button is held
    GUI_GRAB = 8,          // pointer is over the node with no button held
    GUI_RELEASE = 9,
};

class iGuiNode {
public:
    virtual ~iGuiNode() = default;
    virtual void idle() {}
    virtual void reset() {}
    virtual bool handle_mouse(int, float, float) { return false; }
    virtual void draw() = 0;
    virtual bool hit_test(const float&, const float&) { return false; }
    virtual void set_pos(const float& x, const float& y) = 0;
    virtual void get_pos(float& x, float& y) = 0;
    virtual bool is_grabbed() = 0;
};

class cGuiRectangle : public iGuiNode {
public:
    void draw() override;
    // Strictly inside: the border itself does not count.
    bool hit_test(const float& px, const float& py) override;
    void set_pos(const float& x_, const float& y_) override;
    void get_pos(float& x_, float& y_) override;
    bool is_grabbed() override { return false; }
    virtual void set_size(float w_, float h_);

    cGuiColor line_color{1, 1, 1, 0.25f};  // outline
    cGuiColor fill_color{1, 1, 1, 0.15f};  // inside
    float w = -1;                          // width, screen units; -1 until set
    float h = -1;                          // height, screen units; -1 until set
    float x = -1;                          // left edge
    float y = -1;                          // bottom edge
};

// Immediate-mode helpers shared by the GUI classes (GL, current colour).
void gui_color(const cGuiColor& c);
// Corners in any order; drawn counter-clockwise.
void gui_quad(float x0, float y0, float x1, float y1);
void gui_vertical_line(float x, float y0, float y1);
