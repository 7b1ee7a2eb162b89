#include "scenes/timeline.h"

#include <iostream>

#include "scene_manager.h"
#include "post/post_compositing.h"
#include "scenes/composition.h"
#include "scenes/scene_attractor.h"
#include "scenes/scene_cubetunnel.h"
#include "scenes/scene_flowerfield.h"
#include "scenes/scene_ganesh.h"
#include "scenes/scene_greets.h"
#include "scenes/scene_kaleido3d.h"
#include "scenes/scene_kaleido_tunnel.h"
#include "scenes/scene_mandala.h"
#include "scenes/scene_mushrooms.h"
#include "scenes/scene_netsphere.h"
#include "scenes/scene_particles.h"
#include "scenes/scene_rose.h"
#include "scenes/scene_spike.h"
#include "scenes/scene_title.h"
#include "values/interpolator.h"

namespace {

// The first registered scene of a class.
template <typename T>
cScene* first(const cSceneManager& manager)
{
    return manager.find<T>();
}

// The two roses are one class; the show tells them apart by their order
// among the roses: the first plays over the kaleidoscope tunnel, the second
// under the 3D kaleidoscope.
cScene* nth_rose(const cSceneManager& manager, int n)
{
    for (cScene* s : manager.scenes)
        if (dynamic_cast<cSceneRose*>(s) && n-- == 0)
            return s;
    return nullptr;
}

cScene* first_rose(const cSceneManager& manager)
{
    return nth_rose(manager, 0);
}

cScene* second_rose(const cSceneManager& manager)
{
    return nth_rose(manager, 1);
}

}  // namespace

// clang-format off
const std::array<cLayerRow, 19> SHOW_LAYERS = {{
    // key scene                         start     end  mode          fade in  out
    {5,   first<cSceneAttractor>,              0,  27000, COMP_BLEND,  10000,  3000},
    {10,  first<cSceneTitle>,              13200,  26500, COMP_BLEND,   5000,     0},
    {12,  first<cSceneFlowerField>,        25000,  40000, COMP_BLEND,      0,  2000},
    {15,  first<cSceneMandala>,            37000,  54500, COMP_BLEND,   2000,   250},
    {20,  first<cSceneCubeTunnel>,         52500,  79500, COMP_BLEND,   1000,  1000},
    {35,  first<cSceneParticles>,          47500,  79000, COMP_ADD,     1000,  2000},
    {25,  first<cSceneMushroomsJ>,         79500, 106000, COMP_BLEND,    500,   500},
    {65,  first<cSceneMandala>,           105000, 117500, COMP_BLEND,   2000,     0},
    {55,  first<cSceneNetSphere>,         112500, 140500, COMP_BLEND,   2000,  1000},
    {60,  first<cSceneGanesh>,            111500, 141300, COMP_BLEND,   2000,  2000},
    {57,  first<cSceneKaleidoTunnel>,     139250, 155000, COMP_SCREEN,  1000,  1000},
    {58,  first_rose,                     140000, 153500, COMP_BLEND,   1000,  1000},
    {56,  second_rose,                    151000, 168500, COMP_BLEND,   2000,  1500},
    {59,  first<cSceneKaleido3d>,         151500, 167500, COMP_BLEND,      0,  1000},
    {70,  first<cSceneMandala>,           166500, 169000, COMP_BLEND,   2000,     0},
    {68,  first<cSceneFlowerField>,       168000, 196000, COMP_BLEND,    500,     0},
    {80,  first<cSceneGreets>,            182000, 196000, COMP_BLEND,    500,  1000},
    {90,  first<cSceneSpike>,             194000, 224000, COMP_BLEND,   2000,  2000},
    {100, first<cSceneAttractor>,         193000, 233000, COMP_SCREEN,  2000,     0},
}};

const std::array<cAnimRow, 79> SHOW_ANIMATORS = {{
    // layer var                 kind            start    end      from    to
    // intro: one attractor cloud drifting closer, its logo coming and going
    {5,   "cur_config",       SET_INT,            0,  27000,     0,     0},
    {5,   "ifsconfig",        SET_INT,            0,  27000,     0,     0},
    {5,   "cur_anim",         SET_INT,            0,  27000,     1,     0},
    {5,   "distscale",        SET_FLOAT,          0,  10000,   1.0,     0},
    {5,   "distscale",        LERP_FLOAT,     15000,  27000,   1.0,   0.4},
    {5,   "logo_its",         SMOOTH_FLOAT,    3000,   9000,   0.0,   0.6},
    {5,   "logo_its",         SMOOTH_FLOAT,   10500,  13200,   0.6,   0.0},
    // title card
    {10,  "cur_t",            LERP_FLOAT,     13313,  26500,   0.0,   1.0},
    // build-up: dusk over the flower field, its glow peaking on the drop
    {12,  "cur_config",       SET_INT,        24000,  40000,     1,     0},
    {12,  "cur_t",            LERP_FLOAT,     25000,  38000,   1.0,   0.0},
    {12,  "lighten_strength", SMOOTH_FLOAT,   25000,  31000,   0.2,   0.8},
    {12,  "lighten_strength", SMOOTH_FLOAT,   33500,  36400,   0.8,   1.6},
    // first drop: down the mandala
    {15,  "cur_config",       SET_INT,        37000,  54500,     2,     0},
    {15,  "render_circles",   SET_INT,        37000,  54500,     0,     0},
    {15,  "render_logo",      SET_INT,        37000,  54500,     1,     0},
    {15,  "cur_t",            LERP_FLOAT,     37000,  55000,  0.33,  0.85},
    // cube tunnel, faster in its second half
    {20,  "cur_t",            LERP_FLOAT,     52500,  66000,   0.0,   0.4},
    {20,  "cur_t",            LERP_FLOAT,     66000,  79500,   0.4,   1.0},
    // the fountain over the tunnel
    {35,  "kaleidotype",      SET_INT,        45000,  49000,     7,     0},
    {35,  "camfov",           SET_FLOAT,      45000,  49000, 120.0,     0},
    {35,  "emits_pf",         SET_INT,        45000,  49000,   100,     0},
    {35,  "camroll",          LERP_DOUBLE,    47000,  54000,   0.0,  90.0},
    {35,  "camfov",           SMOOTH_FLOAT,   49000,  60000, 120.0,  70.0},
    {35,  "emits_pf",         LERP_INT,       49000,  72500,   100,    40},
    {35,  "kaleidotype",      SET_INT,        60000,  72500,     3,     0},
    {35,  "camroll",          LERP_DOUBLE,    54000,  79000,  90.0, 270.0},
    {35,  "emits_pf",         SET_INT,        72500,  80000,     0,     0},
    // the cave: a slow orbit, a little faster in its deeper half
    {25,  "rotation",         LERP_FLOAT,     79500,  93000,   0.0,  45.0},
    {25,  "rotation",         LERP_FLOAT,     93000, 106000,  45.0, 110.0},
    // mandala again, with its circles, before the statue
    {65,  "render_circles",   SET_INT,       105000, 117500,     1,     0},
    {65,  "render_logo",      SET_INT,       105000, 117500,     0,     0},
    {65,  "cur_config",       SET_INT,       105000, 117500,     1,     0},
    {65,  "cur_t",            LERP_FLOAT,    105000, 117500,   0.2,   0.6},
    // the statue: five camera paths in turn, the light sweeping across
    {60,  "campath",          SET_INT,       111500, 119000,     4,     0},
    {60,  "campath_t",        LERP_FLOAT,    111500, 119000,   0.0,   1.0},
    {60,  "campath",          SET_INT,       119000, 125600,     1,     0},
    {60,  "campath_t",        LERP_FLOAT,    119000, 125600,   0.0,   1.0},
    {60,  "campath",          SET_INT,       125600, 132100,     5,     0},
    {60,  "campath_t",        LERP_FLOAT,    125600, 132100,   0.0,   1.0},
    {60,  "campath",          SET_INT,       132100, 135500,     3,     0},
    {60,  "campath_t",        LERP_FLOAT,    132100, 135500,   0.0,   1.0},
    {60,  "campath",          SET_INT,       135500, 141800,     6,     0},
    {60,  "campath_t",        LERP_FLOAT,    135500, 141800,   0.0,   1.0},
    {60,  "scene_t",          LERP_FLOAT,    111500, 141300,   0.0,   1.0},
    // kaleidoscope section: the first rose unfolds and folds away
    {58,  "kaleido2d",        SET_INT,       140000, 153000,     0,     0},
    {58,  "half_res",         SET_INT,       140000, 153000,     0,     0},
    {58,  "scale",            SET_FLOAT,     140000, 142000,  -0.4,     0},
    {58,  "scale",            SMOOTH_FLOAT,  142000, 147000,  -0.4,   2.2},
    {58,  "scale",            SMOOTH_FLOAT,  151000, 153500,  2.25,  -0.5},
    // the second rose, mirrored five times
    {56,  "kaleido2d",        SET_INT,       150500, 167500,     5,     0},
    {56,  "half_res",         SET_INT,       151000, 167500,     1,     0},
    {56,  "scale",            SET_FLOAT,     151000, 160000,   1.8,     0},
    {56,  "scale",            SMOOTH_FLOAT,  165000, 167500,   1.8,   6.0},
    // the crystal over the second rose
    {59,  "cur_config",       SET_INT,       151500, 159500,     1,     0},
    {59,  "cur_config",       SET_INT,       159500, 167500,     2,     0},
    {59,  "cur_t",            SMOOTH_FLOAT,  151500, 156000,   0.0,   1.0},
    {59,  "cur_t",            SMOOTH_FLOAT,  164000, 167500,   1.0,   0.3},
    {59,  "cam_t",            SMOOTH_FLOAT,  151500, 159500,   0.0,   0.6},
    {59,  "cam_t",            SMOOTH_FLOAT,  159500, 167500,   0.6,   0.0},
    {59,  "rot",              LERP_FLOAT,    151500, 167500,   0.0, 240.0},
    // a glimpse of the mandala into the breakdown
    {70,  "cur_config",       SET_INT,       166500, 169000,     3,     0},
    {70,  "render_logo",      SET_INT,       166500, 169000,     0,     0},
    {70,  "cur_t",            LERP_FLOAT,    166500, 169000,   0.6,   0.9},
    // breakdown: the field by night, opening wide, then closing
    {68,  "cur_config",       SET_INT,       168000, 196000,     2,     0},
    {68,  "cur_t",            LERP_FLOAT,    168000, 196000,   0.0,   1.0},
    {68,  "lighten_strength", SMOOTH_FLOAT,  168000, 176000,   0.3,   1.0},
    {68,  "fov",              SMOOTH_FLOAT,  168000, 169000,  15.0,  60.0},
    {68,  "fov",              SMOOTH_FLOAT,  179000, 183000,  60.0,  80.0},
    {68,  "fov",              SMOOTH_FLOAT,  193000, 195000,  80.0,  50.0},
    {68,  "outtro_t",         SET_FLOAT,     168000, 190000,   0.0,     0},
    {68,  "outtro_t",         SMOOTH_FLOAT,  190000, 196000,   0.0,   1.0},
    // greetings
    {80,  "cur_t",            LERP_FLOAT,    182000, 196000,   0.0,   1.0},
    // finale: the ring of attractors, spinning away at the end
    {100, "cur_config",       SET_INT,       193000, 233000,     1,     0},
    {100, "pause_anim",       SET_INT,       194000, 220000,     0,     0},
    {100, "pause_anim",       SET_INT,       221500, 230000,     1,     0},
    {100, "lightscale",       SMOOTH_FLOAT,  193000, 196000,   0.0,   1.0},
    {100, "logo_its",         SMOOTH_FLOAT,  224000, 227000,   0.0,   1.0},
    {100, "rot",              EASE_OUT_FLOAT, 222000, 235000,  0.0, 500.0},
    {100, "distscale",        EASE_OUT_FLOAT, 222000, 235000,  1.0,   5.0},
}};
// clang-format on

bool var_fits(eAnimKind kind, iVar* var)
{
    switch (kind) {
    case SET_INT:
    case LERP_INT:
        return dynamic_cast<cVar<int>*>(var) != nullptr;
    case LERP_DOUBLE:
        return dynamic_cast<cVar<double>*>(var) != nullptr;
    default:
        return dynamic_cast<cVar<float>*>(var) != nullptr;
    }
}

cInterpolator* make_animator(const cAnimRow& row, iVar* var)
{
    const auto i = [](double v) { return static_cast<int>(v); };
    const auto f = [](double v) { return static_cast<float>(v); };
    switch (row.kind) {
    case SET_INT:
        return new cSetVar<int>(var, row.start, row.end, i(row.from));
    case SET_FLOAT:
        return new cSetVar<float>(var, row.start, row.end, f(row.from));
    case LERP_INT:
        return new cLerp<int>(var, row.start, row.end, i(row.from), i(row.to));
    case LERP_FLOAT:
        return new cLerp<float>(var, row.start, row.end, f(row.from), f(row.to));
    case LERP_DOUBLE:
        return new cLerp<double>(var, row.start, row.end, row.from, row.to);
    case SMOOTH_FLOAT:
        return new cSmoothStep<float>(var, row.start, row.end, f(row.from), f(row.to));
    case EASE_OUT_FLOAT:
        return new cEaseOut<float>(var, row.start, row.end, f(row.from), f(row.to));
    }
    return nullptr;
}

void build_show_timeline(cSceneComposition& composition, const cSceneManager& manager)
{
    for (const cLayerRow& row : SHOW_LAYERS) {
        cScene* scene = row.scene(manager);
        if (!scene) {
            // The build registers every scene the timeline names; a layer
            // without one is skipped rather than drawn through a null scene.
            std::cerr << "## ERROR: no scene for layer " << row.key << " of the timeline" << std::endl;
            continue;
        }
        composition.add_layer(row.key, {row.start, row.end, scene, 1.0f, row.blend_mode}, row.fade_in, row.fade_out);
        for (const cAnimRow& anim : SHOW_ANIMATORS)
            if (anim.layer == row.key)
                composition.animators.push_back(make_animator(anim, find_var(anim.var, scene)));
    }
}
