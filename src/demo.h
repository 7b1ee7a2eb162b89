#pragma once
// The one demo object. SDL's entry constructs it, calls init once and hands
// it to the frame loop; it is never destroyed (the process ends in exit()).
// A second demo object is a programming error and throws.
#include <cstdint>
#include <functional>
#include <string>

#include "values/gui_label.h"
#include "values/gui_var_list.h"

class cScene;
class cSceneManager;

// The tweak panel the demo carries: laid out by init, never drawn by the
// frame loop (a developer build may draw it to tweak values live).
struct cGuiPanel {
    struct cTextBlock {
        uint16_t count = 0;             // characters in use
        char text[1000] = {};           // text being edited
        char previous[1000] = {};       // text before the edit
        cGuiTxtLabel label;             // shows the text
        float box[4] = {0.9f, 0.2f, 0.05f, 0.75f};  // width, height, x, y (normalised screen units)
    } text_block;
    cGuiVarList var_list;               // the scenes' variables
    cGuiTxtLabel left_label;            // at (0.05, 0.7)
    cGuiTxtLabel right_label;           // at (0.83, 0.7)
    std::string status;                 // free text for the labels
};

class cDemo {
public:
    cDemo();
    virtual ~cDemo() = default;
    cDemo(const cDemo&) = delete;
    cDemo& operator=(const cDemo&) = delete;

    virtual void init() = 0;

    cGuiPanel gui;              // tweak panel, laid out by init
    bool vsync_on = true;       // swap interval currently 1
    int32_t last_frame_ms = 0;  // frame duration (ms) measured in the previous frame

    static inline int instances = 0;  // demo objects constructed in this process
};

class cQuorvane : public cDemo {
public:
    cQuorvane();
    // Scene manager, music, marker script, scenes, loading phase, MIDI and
    // beat events, in that order.
    void init() override;

    // The 5 s loading hold and the fade; tools that render offline skip them.
    bool hold_loading_screen = true;
    // The scene that plays, chosen after registration; empty: the first
    // registered (the composition). Tools use it to show one scene alone.
    std::function<cScene*(cSceneManager&)> pick_scene;
    // Called once the music is read and handed to the composition, which
    // calls it between the layers it loads (the frame pumps window events
    // there, so that a quit request ends loading); null: nothing.
    void (*between_layers)() = nullptr;

    static inline bool constructed = false;
};
