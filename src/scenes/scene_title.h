#pragma once
// The title card: a background model with the logo model cut into it, seen
// by a camera that glides towards the card and rolls as "cur_t" runs from 0
// to 1. The brightest parts of the card are extracted, turned into light
// rays by the radial blur, and the sharp logo is laid over the rays.
//
// The meshes belong to the mesh cache; the scene owns only its parameter
// blocks and derived camera values. Every target a render borrows goes back
// to the pool except the returned picture.
#include <cstdint>
#include <string>

#include "post/post_blur.h"
#include "post/post_glow.h"
#include "scenes/scene.h"
#include "vec3.h"

class iMesh;

class cSceneTitle : public cScene {
public:
    // Builds the value tables; the radial blur is centred on its
    // intermediate picture. No GL.
    explicit cSceneTitle(cDemoClock* clock_);

    // The title shares its name with the greetings, which registers first.
    std::string get_name() override { return "greets"; }
    // The first call loads the two models, the effects and the shaders and
    // sets the camera and the glow; later calls change nothing.
    void load() override;
    // Recomputes the eye and roll from "cur_t"; runs no animators.
    bool update() override;
    // Card, glow mask, rays, sharp logo.
    cTmpRenderTarget render(int32_t time_ms) override;

    // Eye position and roll (degrees) for a progress value; progress outside
    // [0, 1] behaves like the nearer end.
    static Vec3<float> eye_at(float progress);
    static float roll_at(float progress);

    iMesh* background = nullptr;      // the card, from the mesh cache
    iMesh* logo = nullptr;            // the logo quad, from the mesh cache
    cLevelsParams levels;             // which part of the blurred card feeds the rays
    cRadialBlurParams rays;           // streaks of the masked picture
    float cur_t = 0.0f;               // "cur_t": progress of the glide, 0-1
    float roll_deg = 0.0f;            // camera roll derived from cur_t, degrees
    Vec3<float> eye{0.0f, 0.0f, 0.0f};  // camera eye derived from cur_t

private:
    void draw_card();
    void draw_logo();
    cTmpRenderTarget glow_mask(cRenderTarget_fbo& card);
    void draw_masked(cRenderTarget_fbo& into, cRenderTarget_fbo& card, cRenderTarget_fbo& mask);
};
