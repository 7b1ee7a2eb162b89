#pragma once
// The kaleidoscope tunnel: a flight down a bending tube whose walls carry a
// folded picture. Every frame the mandala atlas and the mandala emblem are
// turned into a half-size picture, folded by one of the 2D kaleidoscope's
// mirror planes, wrapped round the tube with mirrored repeats and finally
// shifted in hue; the plucks turn the picture and step the hue, the claps
// flash, the acid line's cutoff opens the colour. Black where the tube is
// far away, so the show's screen compositing lets it glow over the layers
// below. The tube's vertex arrays are plain memory sized by the constructor;
// the textures and planes are fetched by the first load().
#include <cstdint>
#include <string>
#include <vector>

#include "scenes/scene.h"
#include "texture_manager.h"

class cSceneKaleidoTunnel : public cScene {
public:
    // Builds the slider table and the tube's index list; makes no GL object.
    explicit cSceneKaleidoTunnel(cDemoClock* clock_);

    std::string get_name() override { return "kaleidotunnel"; }
    // Fetches the two pictures and the kaleidoscope planes (once).
    void load() override;
    // Plucks (track 2) turn the picture and step the hue, claps (track 4)
    // flash, controller 74 of the acid line (track 8) sets the saturation.
    void handle_event(cEvent* e) override;
    // The tunnel at demo time time_ms, opaque, black in the distance.
    cTmpRenderTarget render(int32_t time_ms) override;
    // The tunnel keeps no second picture for callers to blend: always an
    // empty handle.
    virtual cTmpRenderTarget render_secondary() { return {}; }

    static constexpr int SIDES = 48;          // vertices round a ring (the last meets the first)
    static constexpr int RINGS = 64;          // rings from the eye into the distance
    static constexpr float DEPTH = 30.0f;     // length of the visible tube, world units
    static constexpr int PLUCK_TRACK = 2;
    static constexpr int CLAP_TRACK = 4;
    static constexpr int ACID_TRACK = 8;
    static constexpr int ACID_CUTOFF = 74;    // controller number of the acid filter

    float speed = 4.0f;          // "speed": flight, world units per second
    float turn_speed = 12.0f;    // "turn": degrees per second the walls turn
    float hue_speed = 9.0f;      // "hue speed": degrees per second of hue drift
    float fold_seconds = 6.62f;  // "fold time": seconds per mirror plane (four bars)
    float bend = 0.6f;           // "bend": sideways bend of the tube, world units

    int32_t plucks = 0;          // note-ons of the plucks so far: each steps hue and turn
    int32_t clap_ms = -100000;   // demo time of the last clap
    float cutoff = 0.5f;         // acid cutoff, 0-1
    cTexture slices;             // the mandala atlas
    cTexture emblem;             // the mandala emblem

    std::vector<float> positions;     // SIDES x RINGS x 3, refilled per frame
    std::vector<float> texcoords;     // SIDES x RINGS x 2, refilled per frame
    std::vector<uint16_t> indices;    // triangles between neighbouring rings

private:
    int32_t plane_at(int32_t time_ms) const;
    void draw_source(float seconds);
    void draw_picture(const cTexture& picture, float degrees, float size, float alpha);
    void shape_tube(float seconds);
    void draw_tube(cRenderTarget_fbo& walls);
};
