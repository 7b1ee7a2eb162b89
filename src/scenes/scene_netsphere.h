#pragma once
// The net sphere: a wire-net sphere turns slowly about a vertical axis, drawn
// as a black silhouette on teal; the levels effect turns that into a mask
// (gaps white, net black) and the radial blur pours light rays from the
// gaps. The mesh belongs to the mesh cache; render borrows half-size targets
// and returns one. The scene publishes nothing.
#include <cstdint>
#include <string>

#include "post/post_blur.h"
#include "post/post_glow.h"
#include "scenes/scene.h"

class iMesh;

class cSceneNetSphere : public cScene {
public:
    // Builds the slider table; makes no GL object.
    explicit cSceneNetSphere(cDemoClock* clock_);

    std::string get_name() override { return "netsphere glowtest"; }
    // Loads the net, sets the camera and the mask and ray set-up; a second
    // call changes nothing.
    void load() override;
    // Lit, culled, alpha-blended drawing with no program bound.
    void begin() override;
    // Texture-coordinate generation and two-sided lighting off, depth test on.
    void end() override;
    cTmpRenderTarget render(int32_t time_ms) override;

    // The net turned to demo time time_ms, black on teal, in a half-size
    // target: the picture the mask and the rays are made from.
    cTmpRenderTarget draw_silhouette(int32_t time_ms);

    static constexpr float TURN_AXIS_X = 330.0f;     // the vertical axis the net turns about, world x
    static constexpr float DEGREES_PER_MS = 0.01f;  // ten degrees per second

    iMesh* mesh = nullptr;     // the net, from the mesh cache
    cLevelsParams mask;        // silhouette -> mask: teal to white, net to black
    cRadialBlurParams rays;    // rays from the mask's gaps, half-size
};
