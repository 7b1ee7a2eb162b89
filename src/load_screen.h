#pragma once
// Progress display while scenes load. Loading code reports progress through
// iLoadScreen; cLoadScreen_Img shows the picture "loader.jpg" with a bar cut
// from "loadbar.jpg" and eases the bar to each new value over 200 ms. An
// image screen lives only for the loading it reports on (the composition's
// load); its two textures stay in the texture manager's cache. Coordinates
// are designed for a 1280x720 frame in normalised screen units (origin lower
// left), so the screen scales with the viewport.
#include <cstdint>

#include "texture_manager.h"

class iLoadScreen {
public:
    virtual ~iLoadScreen() = default;
    // Shows `progress` (0-1); with `swap` each drawn frame is presented.
    virtual void update(float progress, bool swap) = 0;
};

// Draws nothing: the scene manager's loading phase reports to one.
class cLoadScreenDummy : public iLoadScreen {
public:
    void update(float, bool) override {}
};

class cLoadScreen_Img : public iLoadScreen {
public:
    static constexpr int32_t ANIMATION_MS = 200;  // length of one bar movement

    // Loads both pictures and sets up GL for the screen, including a pushed
    // pair of matrices that the destructor pops again.
    cLoadScreen_Img();
    ~cLoadScreen_Img() override;
    cLoadScreen_Img(const cLoadScreen_Img&) = delete;
    cLoadScreen_Img& operator=(const cLoadScreen_Img&) = delete;

    void update(float progress, bool swap) override;
    // Eases the bar from `from` to `to` for ANIMATION_MS, then one frame at `to`.
    void animate_to(float from, float to, bool swap);
    // One whole picture with the bar at `value`.
    void draw_frame(float value);
    // The revealed part of the bar, its frame lines and the leading edge.
    void draw_bar(float p);

    float progress = 0.0f;  // value last shown, 0-1
    cTexture background;    // "loader.jpg"
    cTexture bar;           // "loadbar.jpg"
};

// Bar position along one movement: smoothstep of the elapsed share of
// ANIMATION_MS, 0 at the start, 1 from ANIMATION_MS on.
float load_bar_ease(int32_t elapsed_ms);
