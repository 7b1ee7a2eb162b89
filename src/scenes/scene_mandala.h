#pragma once
// The mandala flight: the camera flies down a stack of transparent mandala
// slices spaced along z, cycling through five plane shapes, with beaded
// string circles between some slices and the mandala logo near the end, all
// fogged into the distance and pulsing with one MIDI track. "cur_t" carries
// the flight from 0 to 1; "cur_config" picks one of three looks that map it
// onto the stack's turn and the colour grading.
//
// Meshes and textures belong to their caches; the scene holds pointers to
// them from the first load() on and owns its parameter blocks.
#include <array>
#include <cstdint>
#include <string>

#include "midi_events.h"
#include "post/post_color.h"
#include "post/post_glow.h"
#include "scenes/scene.h"
#include "texture_manager.h"

class iMesh;

class cSceneMandala : public cScene {
public:
    // Builds the value tables and the camera; no GL.
    explicit cSceneMandala(cDemoClock* clock_);

    std::string get_name() override { return "mandala"; }
    // The first call loads the meshes, textures, colour lookup and shaders;
    // later calls change nothing.
    void load() override;
    // Applies the look for "cur_t" (unless the clock is paused) and reads
    // the pulse of track 4's notes.
    bool update() override;
    // The fogged stack, colour-corrected, graded and given a glow.
    cTmpRenderTarget render(int32_t time_ms) override;

    static constexpr int PLANE_COUNT = 5;
    static constexpr int32_t MAX_LAYERS = 100;  // more slices than this are not drawn

    int32_t config = 0;            // "cur_config": look 0-2; others keep the last look
    float cur_t = 0.0f;            // "cur_t": flight progress, used clamped to 0-1
    int32_t render_circles = 1;    // "render_circles": draw the string circles
    int32_t render_logo = 1;       // "render_logo": draw the logo near the end
    float logo_scale = 385.0f;     // "logoscale": half-size of the logo quad, world units
    int32_t num_layers = 21;       // "num_layers": slices in the stack
    float layer_dist = 493.0f;     // "layerdist": z spacing of the slices
    float alpha = 0.4f;            // "alpha": slice opacity
    float rot = 17.0f;             // "rot": turn of the stack about z, degrees
    float wave_phase = 0.0f;       // opacity wave along the stack: phase, slices
    float wave_amplitude = 0.0f;   //   and height (0 = none)
    float pulse = 0.0f;            // track-4 pulse, 0-1
    cHSBParams hsb{24.0f, -10.0f, 0.0f, nullptr};  // grading
    cCutParams cut{RTT_QUATER, 250.0f, 255.0f};    // glow
    cEventWindow beat{0.0f, 100.0f, 4};            // pulse window: no attack, 100 ms release, track 4

    std::array<iMesh*, PLANE_COUNT> planes{};   // slice shapes, from the mesh cache
    iMesh* circle = nullptr;                    // string circle, from the mesh cache
    cTexture string_texture;                    // beads of the circles
    cTexture slices_texture;                    // atlas of the slices
    cTexture logo_texture;                      // the mandala emblem

private:
    void apply_look(int32_t look, float u);
    float read_pulse() const;
    void draw_stack();
    void draw_slice(int i, int& plane, float angle);
    void draw_logo();
};
