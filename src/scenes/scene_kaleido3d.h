#pragma once
// The 3D kaleidoscope: a few solids (strings of octahedra and a spiked ball)
// drawn once per element of a group of mirror planes through the crystal's
// axis, so they join into a symmetric crystal that turns and breathes with
// the claps. The mirror matrices are computed by the constructor; the meshes
// belong to the mesh cache and are fetched by the first load(). render()
// draws into a pooled target that stays transparent where nothing is drawn,
// so the layer below shows through.
#include <array>
#include <cstdint>
#include <string>

#include "post/post_glow.h"
#include "scenes/scene.h"

class iMesh;

class cSceneKaleido3d : public cScene {
public:
    // Builds the tables and the mirror matrices; makes no GL object.
    explicit cSceneKaleido3d(cDemoClock* clock_);

    std::string get_name() override { return "kaleido3d"; }
    // Fetches the meshes and creates the glow effect (once).
    void load() override;
    // A clap (track 4) makes the crystal breathe out.
    void handle_event(cEvent* e) override;
    // The crystal over transparent black, with its glow.
    cTmpRenderTarget render(int32_t time_ms) override;

    static constexpr int MAX_MIRRORS = 24;  // matrices of the largest arrangement
    static constexpr int CLAP_TRACK = 4;

    // One mirror arrangement: the dihedral group of `folds` mirror planes
    // through the z axis, optionally doubled by the plane z = 0.
    struct cArrangement {
        int folds;          // mirror planes through the axis; the picture repeats 2 x folds times
        bool floor_mirror;  // also mirrored in z = 0
    };
    static constexpr std::array<cArrangement, 4> ARRANGEMENTS = {{{2, true}, {3, true}, {4, true}, {6, false}}};

    int cur_config = 1;      // "cur_config": index into ARRANGEMENTS (clamped)
    float cur_t = 0.5f;      // "cur_t": 0 = folded into the centre, 1 = fully unfolded
    float cam_t = 0.3f;      // "cam_t": 0 = on the crystal's axis, 1 = low and close
    float rot = 0.0f;        // "rot": degrees the solids turn inside their mirror cell
    cCutParams glow{RTT_QUATER, 175.0f, 235.0f};  // soft glow of the bright faces

    int32_t clap_ms = -100000;  // demo time of the last clap
    iMesh* octahedra = nullptr; // mesh cache's, not owned
    iMesh* spikeball = nullptr; // mesh cache's, not owned

    // Column-major matrices of each arrangement and how many it uses.
    std::array<std::array<std::array<float, 16>, MAX_MIRRORS>, ARRANGEMENTS.size()> mirrors{};
    std::array<int, ARRANGEMENTS.size()> mirror_count{};

private:
    void build_mirrors();
    void set_state();
    void set_camera();
    void draw_crystal(int32_t time_ms);
    void draw_cell(float breath, float spin);
};
