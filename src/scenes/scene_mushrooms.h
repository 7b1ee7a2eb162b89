#pragma once
// The mushroom cave: a cave of glowing mushrooms seen from a camera that
// orbits its axis ("rotation", degrees). The mushrooms breathe — one morph
// between two generated states of the whole field — their caps glow with
// the acid line's filter (controller 74 of track 8), spores rise through
// the haze and the cave falls off into dark fog; the bright parts bloom.
// The meshes and textures belong to their caches; the scene owns the morph
// and the spores (system, emitter, updater, renderer with its buffers),
// made by the first load() and kept until the scene goes. render borrows
// full-size targets and returns one, opaque.
#include <cstdint>
#include <memory>
#include <string>

#include "particles/particle_effect.h"
#include "post/post_glow.h"
#include "scenes/scene.h"
#include "texture_manager.h"
#include "values/var.h"

class iMesh;
class cMeshMorph;

class cSceneMushroomsJ : public cScene {
public:
    // Builds the slider and published tables; makes no GL object.
    explicit cSceneMushroomsJ(cDemoClock* clock_);
    ~cSceneMushroomsJ() override;

    std::string get_name() override { return "mushrooms"; }
    // Loads the cave, the two mushroom states and their textures, registers
    // the programs and makes the spores; a second call changes nothing.
    void load() override;
    // Runs the animators and lets the spores rise one step.
    bool update() override;
    // Takes the acid line's cutoff (controller 74 on track 8).
    void handle_event(cEvent* e) override;
    cTmpRenderTarget render(int32_t time_ms) override;

    static constexpr int32_t ACID_TRACK = 8;
    static constexpr int32_t ACID_CUTOFF = 74;
    static constexpr int32_t SPORE_CAPACITY = 20000;
    static constexpr float BREATH_MS = 6620.0f;  // one breath in and out: four bars

    float rotation = 0.0f;  // "rotation": the camera's angle round the cave, degrees
    float cutoff = 0.3f;    // the acid's filter, 0 closed - 1 open: the caps' glow
    float orbit = 375.0f;   // camera's distance from the cave's axis
    float eye_height = 125.0f;  // above the floor at the cave's middle
    cCutParams bloom{RTT_QUATER, 150.0f, 190.0f};  // what glows

    iMesh* cave = nullptr;                  // from the mesh cache
    std::unique_ptr<cMeshMorph> mushrooms;  // rest state blended towards the breath state
    cTexture caps;                          // "mushroom_glow.png"
    cTexture rock;                          // "mushroom_rock.jpg"
    cParticleEffect spores;                 // owned, empty until load()

private:
    void create_spores();
    void set_camera();
    void light_cave() const;
    void draw_cave();
    void draw_mushrooms(int32_t time_ms);
    void draw_spores();

    // Shader values handed over on every frame; held here so drawing
    // allocates nothing.
    float cave_emit = 0.0f;    // "fog_shader": the rock's moss glows with the caps
    float spore_shell = 0.0f;  // "particle_light_shader": the lit shell's radius, 0-1
    cVar<float> cave_emit_var{"", &cave_emit};
    cVar<float> spore_shell_var{"", &spore_shell};
};
