#pragma once
// The logo light: the group's logo lit by a light that wanders in front of
// it, with rays streaming from the letters away from the light (a radial
// blur centred on the light). Not part of the show; tools show it by name.
// The two pictures are the texture manager's, fetched by the first load();
// render() borrows three pooled targets and returns one.
#include <cstdint>
#include <string>

#include "post/post_blur.h"
#include "scenes/scene.h"
#include "texture_manager.h"

class cSceneLogoLight : public cScene {
public:
    // Builds the tables; makes no GL object.
    explicit cSceneLogoLight(cDemoClock* clock_);

    std::string get_name() override { return "logolight"; }
    // Fetches the logo and the light's glow, creates the effects (once).
    void load() override;
    // The lit logo over black with its rays added.
    cTmpRenderTarget render(int32_t time_ms) override;

    static constexpr int GRID = 24;  // the logo is drawn as GRID x GRID/2 cells, lit per corner

    float light_x = 0.5f;    // "light_x": centre of the light's path, screen units
    float light_y = 0.5f;    // "light_y"
    float path = 1.0f;       // "path": how far the light wanders (0 = held at its centre)
    float ray_length = 1.2f; // "rays": streak length relative to the distance to the light (0-2)

    cRadialBlurParams rays{0, 0, 120.0f, 24.0f, 1.2f, 1.6f, RTT_QUATER};  // centre follows the light
    cTexture logo;        // the logo, cut out by its alpha
    cTexture glow;        // soft round glow for the light itself
    float lx = 0.5f;      // light position this frame, screen units
    float ly = 0.5f;

private:
    void move_light(float seconds);
    void draw_lit_logo();
    void draw_light();
};
