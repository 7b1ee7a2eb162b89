#pragma once
// The intro attractor: the point cloud of a Pickover attractor, drawn as one
// slowly turning cloud (mode 0) or as a six-fold ring of squashed clouds
// (mode 1), tinted, hue-rotated, folded by the 2D kaleidoscope, given a glow
// and, in the ring mode, a feedback trail; the group's logo strip lies over
// the bottom of the frame. Nine parameter presets, each with its own slow
// drift, and three larger configurations are switched by the timeline and by
// notes.
//
// The scene owns its point buffer (made by the first load()), the feedback
// history while the ring mode runs, and four animators made at construction
// and reused by every note, so the animator list never grows during the show.
#include <cstdint>
#include <memory>
#include <string>

#include "post/post_color.h"
#include "post/post_compositing.h"
#include "post/post_glow.h"
#include "scenes/scene.h"
#include "texture_manager.h"
#include "values/interpolator.h"
#include "vbo.h"
#include "vec3.h"

class cSceneAttractor : public cScene {
public:
    // Builds the value tables and the reusable note animators; no GL.
    explicit cSceneAttractor(cDemoClock* clock_);

    std::string get_name() override { return "attractors"; }
    // The first call makes the point buffer and the effects and loads the
    // logo; every call resets the tweakable values and refills the buffer.
    void load() override;
    // Additive point drawing without depth, textures or a shader program.
    void begin() override;
    // Switches point and line smoothing off and the point size back to 1:
    // the state cache does not track them, so they would reach the scenes
    // drawn after this one.
    void end() override;
    // Mode 0: a track-2 note pulses the cloud. Mode 1: note 48 of track 1
    // steps the preset and swings the camera; a track-18 note swaps the tint.
    void handle_event(cEvent* e) override;
    // Runs the animators, applies a newly chosen configuration and, while
    // paused, holds the second tint.
    bool update() override;
    // Mode 0 or 1 with the logo on top; any other mode gives no target.
    cTmpRenderTarget render(int32_t time_ms) override;

    static constexpr int PRESET_COUNT = 9;
    static constexpr int SKIPPED_PRESET = 6;     // the note step never lands here
    static constexpr int32_t PRESET_NOTE = 48;   // track 1 note that steps the preset
    static constexpr int32_t PULSE_TRACK = 2;
    static constexpr int32_t PRESET_TRACK = 1;
    static constexpr int32_t TINT_TRACK = 18;

    // The configuration last applied by any instance; -1 before the first.
    static inline int32_t last_config = -1;
    // Set and cleared by track-18 notes (shared by every instance): set
    // draws with the second tint.
    static inline bool tint_toggled = false;

    float params[4] = {0, 0, 0, 0};                 // "p0".."p3": a, b, c, d of the attractor
    float noise_scale = 0.25f;                      // jitter of the orbit, units of 0.0001
    Vec3<float> color0{1.0f, 0.196078f, 0.564706f};    // first tint
    Vec3<float> color1{0.215686f, 0.807843f, 1.0f};    // "col1": second tint
    Vec3<float> draw_color = color0;                // the tint in use
    float alpha = 0.015475f;                        // "a1": opacity of one point
    float point_size = 3.98535f;                    // "pts-size1": GL point size, pixels
    int32_t pause = 0;                              // "pause_anim": stops the drift, zooms the trail out
    int32_t mode = 0;                               // "cur_config": 0 one cloud, 1 six-fold ring
    float pulse = 0.0f;                             // added to the alpha by notes
    cHSBParams hsb;                                 // the hue turns with time
    int32_t kaleido_plane = 3;                      // 2D kaleidoscope plane, 0-7
    cCutParams cut{RTT_HALF, 190.0f, 255.0f};       // glow of mode 0
    int32_t preset = 3;                             // "cur_anim" / "preset": 0-8
    int32_t applied_preset = -1;                    // preset whose values are in place
    float light_scale = 0.0f;                       // "lightscale": opacity factor of the ring
    float rotation = 0.0f;                          // "rot": extra turn about y, degrees
    float camera_distance = 2.0f;                   // eye distance before "distscale"
    float distance_scale = 1.0f;                    // "distscale"
    Vec3<float> cloud_offset{0.0f, -0.5f, 0.0f};    // moves each cloud's centre into view
    float ring_fov = 40.0f;                         // field of view of the ring mode, degrees
    int32_t config = 0;                             // "ifsconfig": 0-2, 3 keeps everything
    float ring_offset = 0.35f;                      // "offset": z distance of each ring cloud
    float logo_opacity = 0.0f;                      // "logo_its": 0-1
    cTexture logo;                                  // the logo strip, from the first load
    cFeedbackParams trail_params;                   // zoom, blur and fade of the ring's trail

    std::unique_ptr<cVBO> points;                   // the attractor's point ring
    cTmpRenderTarget trail;                         // feedback history, held while mode 1 runs

    cSmoothStep<float>* pulse_animator;             // in `animators`; restarted per note
    cEaseIn<float>* fov_animator;                   // in `animators`; restarted per preset note
    cEaseIn<float>* light_animator;
    cEaseIn<float>* rotation_animator;

private:
    void reset_values();
    void refill();
    void apply_preset(int32_t index);
    void apply_config(int32_t index);
    void drift();
    void step_preset(int32_t at_ms);
    cTmpRenderTarget render_cloud(int32_t time_ms);
    cTmpRenderTarget render_ring(int32_t time_ms);
    void draw_ring();
    void draw_logo();
};
