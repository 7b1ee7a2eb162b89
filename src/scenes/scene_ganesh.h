#pragma once
// The statue: a seated, four-armed Ganesha of bronze-brown stone with gold
// trim on a lotus pedestal, lit by a light that sweeps across it with the
// scene's progress, its gold flaring on the claps, its outline wrapped in a
// saffron halo. The camera rides one of a handful of spline paths around the
// figure. The mesh and textures belong to their caches and are fetched by
// the first load(); render() draws into pooled targets and leaves the
// picture transparent beyond the statue and its halo, so the layer below
// (the net sphere's rays) shows through.
#include <array>
#include <cstdint>
#include <string>

#include "post/post_glow.h"
#include "scenes/scene.h"
#include "texture_manager.h"

class iMesh;

class cSceneGanesh : public cScene {
public:
    // Builds the tables; makes no GL object.
    explicit cSceneGanesh(cDemoClock* clock_);

    std::string get_name() override { return "ganesh"; }
    // Fetches the statue, its two textures and the programs (once).
    void load() override;
    // A clap (track 4) flares the gold trim.
    void handle_event(cEvent* e) override;
    // Halo, statue and the glow of its trim over transparent black.
    cTmpRenderTarget render(int32_t time_ms) override;

    static constexpr int CLAP_TRACK = 4;
    static constexpr int PATH_COUNT = 7;  // paths 0..6; others fall back to DEFAULT_PATH
    static constexpr int DEFAULT_PATH = 4;

    // Where the camera stands and looks on path `path` at t (0-1, clamped),
    // in the statue's frame: z up, the figure facing -y, 2.1 units tall.
    struct cPose {
        Vec3<float> eye;
        Vec3<float> centre;
    };
    static cPose camera_pose(int path, float t);

    float scene_t = 0.5f;    // "scene_t": the light's sweep, 0 from the figure's right, 1 from its left
    int campath = DEFAULT_PATH;  // "campath": which camera path
    float campath_t = 0.0f;  // "campath_t": 0-1 along the path
    float halo = 0.85f;      // opacity of the outline's halo
    cCutParams glow{RTT_QUATER, 205.0f, 150.0f};  // the gold trim's glow

    int32_t clap_ms = -100000;  // demo time of the last clap
    iMesh* statue = nullptr;    // mesh cache's, not owned
    cTexture stone;             // albedo palette, texture manager's
    cTexture shine;             // specular strength palette, texture manager's

private:
    void set_camera();
    void draw_halo(cRenderTarget_fbo& target);
    void draw_statue(cRenderTarget_fbo& target, int32_t time_ms);
};
