#pragma once
// The greetings: a camera backs away from a textured greetings card while a
// radial blur lays light streaks behind it; the sharp card is drawn again
// over its own streaks. "cur_t" (0 to 1) is the only thing the timeline
// drives. The mesh belongs to the mesh cache; render borrows two full-size
// targets and returns one.
#include <string>

#include "post/post_blur.h"
#include "scenes/scene.h"
#include "vec3.h"

class iMesh;

class cSceneGreets : public cScene {
public:
    // Builds the slider and published tables; makes no GL object.
    explicit cSceneGreets(cDemoClock* clock_);

    std::string get_name() override { return "greets"; }
    // Loads the card and its program, sets the camera; a second call changes
    // nothing.
    void load() override;
    // The camera's travel follows "cur_t"; the scene runs no animators.
    bool update() override;
    cTmpRenderTarget render(int32_t time_ms) override;

    static constexpr float TRAVEL_SHARE = 0.15f;  // part of the full travel that "cur_t" 1 reaches
    static constexpr float FULL_TRAVEL = 10000.0f;  // world units along -y

    iMesh* mesh = nullptr;       // the greetings card, from the mesh cache
    cRadialBlurParams streaks;   // radial blur block behind the card
    float bg_t = 0.0f;           // "bg_t": camera travel, 0.15 x clamped "cur_t" (derived)
    float cur_t = 0.0f;          // "cur_t": progress, 0 to 1
    Vec3<float> eye_bg{0.0f, 0.0f, 0.0f};  // camera eye, derived from bg_t

private:
    void draw_card();
};
