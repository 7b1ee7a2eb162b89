#include "scenes/scene_mushrooms.h"

#include <algorithm>
#include <cmath>

#include "camera.h"
#include "gl.h"
#include "mesh_files/mesh_manager.h"
#include "mesh_files/mesh_obj.h"
#include "midi_events.h"
#include "particles/particle_render.h"
#include "particles/particle_system.h"
#include "post/post_sliders.h"
#include "resource_path.h"
#include "shader_manager.h"
#include "shaders/shd_surface.h"
#include "state_manager.h"

// Sections: data, load, update, render.

// ---- data ------------------------------------------------------------------------

namespace {

constexpr float PI_F = 3.14159265358979f;
constexpr float FOG_COLOUR[4] = {0.045f, 0.03f, 0.085f, 1.0f};  // the violet haze the cave falls off into
constexpr float FOG_START = 100.0f;
constexpr float FOG_END = 2000.0f;
constexpr float LOOK_AT_Y = 95.0f;  // the camera looks at the middle cluster's stems
const Vec3<float> CAVE_LIGHT(0.0f, 150.0f, 0.0f);  // above the middle cluster
// Made once: the renderer takes the program's name as a string, and a name
// this long would be a heap allocation per frame.
const std::string SPORE_PROGRAM = "particle_light_shader";

// Glow of the caps for a filter position: dim but readable when closed.
// The cave's acid sweeps its cutoff between about a quarter and three
// quarters open; that span gets nearly all of the swing.
float cap_glow(float cutoff)
{
    return 0.22f + 0.9f * std::clamp((cutoff - 0.2f) / 0.6f, 0.0f, 1.0f);
}

void set_material(GLenum which, float r, float g, float b)
{
    const float c[4] = {r, g, b, 1.0f};
    glMaterialfv(GL_FRONT_AND_BACK, which, c);
}

}  // namespace

cSceneMushroomsJ::cSceneMushroomsJ(cDemoClock* clock_) : cScene(clock_)
{
    sliders = {
        {"rotation", &rotation, -360, 360},
        {"cutoff", &cutoff, 0, 1},
        {"orbit", &orbit, 150, 700},
        {"eye height", &eye_height, 10, 400},
    };
    append_rows(sliders, slider_rows(bloom));
    publish({{"rotation", &rotation, -360, 360}});
}

cSceneMushroomsJ::~cSceneMushroomsJ()
{
    destroy_particle_effect(spores);
}

// ---- load ------------------------------------------------------------------------

void cSceneMushroomsJ::load()
{
    if (!first_load())
        return;
    cResourcePath::get_instance()->add("../data/models");
    cMeshManager* meshes = cMeshManager::get_instance();
    cave = meshes->get_mesh("mushroom_cave.bzobj", true, true, false);
    iMesh* rest = meshes->get_mesh("mushrooms_a.bzobj", true, true, false);
    auto* breath = dynamic_cast<cMeshObj*>(meshes->get_mesh("mushrooms_b.bzobj", true, true, false));
    mushrooms = std::make_unique<cMeshMorph>(rest, breath);
    cTextureManager* textures = cTextureManager::get_instance();
    caps = textures->get_texture("mushroom_glow.png", true, GL_CLAMP_TO_EDGE, 0);
    rock = textures->get_texture("mushroom_rock.jpg", true, GL_REPEAT, 0);
    cShaderManager_GLSL* shaders = cShaderManager_GLSL::get_instance();
    shaders->register_shader<cShdFogFalloff>("fog_shader");
    shaders->register_shader<cShdParticleLight>("particle_light_shader");
    cPostCut::get_instance();
    create_spores();
    camera.fovy = 62.0f;
    camera.znear = 5.0f;
    camera.zfar = 3000.0f;
    camera.up = {0.0f, 1.0f, 0.0f};
}

// Spores fill the cave's air and drift upwards for five seconds each; they
// shine near the middle cluster and where the filter's shell passes.
void cSceneMushroomsJ::create_spores()
{
    create_particle_effect(spores, SPORE_CAPACITY);
    auto* emitter = new cParticleEmitterCubeVolume<ControllerConstant<100>, ControllerConstant<5>>();
    emitter->position = {0.0f, 200.0f, 0.0f};
    emitter->size = {1000.0f, 500.0f, 1000.0f};
    add_emitter(spores, emitter);
    auto* rise = new cVelocityDir();
    rise->dir = {0.0f, 1.0f, 0.0f};
    rise->strength = 16.0f;
    add_updater(spores, rise);

    cShaderManager_GLSL* shaders = cShaderManager_GLSL::get_instance();
    float light[3] = {CAVE_LIGHT.x, CAVE_LIGHT.y - 40.0f, CAVE_LIGHT.z};
    float dim[3] = {0.15f, 0.08f, 0.3f};
    float bright[3] = {0.55f, 1.0f, 0.85f};
    float reach = 650.0f, shell_width = 0.12f, size = 1.6f;
    float *light_p = light, *dim_p = dim, *bright_p = bright;
    cVar<float*> light_v("", &light_p), dim_v("", &dim_p), bright_v("", &bright_p);
    cVar<float> reach_v("", &reach), width_v("", &shell_width), size_v("", &size);
    shaders->set_shader_parameter("particle_light_shader", 2, &light_v);
    shaders->set_shader_parameter("particle_light_shader", 3, &reach_v);
    shaders->set_shader_parameter("particle_light_shader", 4, &dim_v);
    shaders->set_shader_parameter("particle_light_shader", 5, &bright_v);
    shaders->set_shader_parameter("particle_light_shader", 6, &width_v);
    shaders->set_shader_parameter("particle_light_shader", 7, &size_v);
}

// ---- update ----------------------------------------------------------------------

bool cSceneMushroomsJ::update()
{
    if (spores.system)
        update_particle_effect(spores, *clock);
    return cScene::update();
}

void cSceneMushroomsJ::handle_event(cEvent* e)
{
    if (const iMidiEvent* cc = midi_event(e, MIDI_CONTROL_CHANGE, ACID_TRACK); cc && cc->number == ACID_CUTOFF)
        cutoff = static_cast<float>(cc->value) / 127.0f;
}

// ---- render ----------------------------------------------------------------------

cTmpRenderTarget cSceneMushroomsJ::render(int32_t time_ms)
{
    cStateManager* state = cStateManager::get_instance();
    cShaderManager_GLSL* shaders = cShaderManager_GLSL::get_instance();
    state->push();
    shaders->push_shader();
    state->set_depth_test(true);
    state->set_depth_write(true);
    state->set_blend(false);
    state->set_alpha_test(false);
    state->set_cull(false);
    state->set_lighting(true);
    state->set_color_material(false);
    state->set_fog(true);
    glClearColor(FOG_COLOUR[0], FOG_COLOUR[1], FOG_COLOUR[2], 1.0f);
    cTmpRenderTarget picture = get_tmp_render_target(RTT_FULL);
    picture->bind(true);
    set_camera();
    light_cave();
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
    draw_cave();
    draw_mushrooms(time_ms);
    draw_spores();
    picture->unbind();
    shaders->pop_shader();
    state->pop();
    return post_step(picture, [this](cRenderTarget_fbo& dst, cRenderTarget_fbo& src) {
        cPostCut::get_instance()->apply_glow(dst, src, bloom);
    });
}

void cSceneMushroomsJ::set_camera()
{
    const float a = rotation * PI_F / 180.0f;
    camera.eye = {orbit * std::sin(a), eye_height, orbit * std::cos(a)};
    camera.center = {0.0f, LOOK_AT_Y, 0.0f};
    apply_camera(camera);
}

// One light over the middle cluster, a little ambient and the dark fog;
// the caps' own glow comes from their material's emission.
void cSceneMushroomsJ::light_cave() const
{
    const float position[4] = {CAVE_LIGHT.x, CAVE_LIGHT.y, CAVE_LIGHT.z, 1.0f};
    const float diffuse[4] = {0.42f, 0.36f, 0.62f, 1.0f};
    const float ambient[4] = {0.05f, 0.05f, 0.09f, 1.0f};
    const float none[4] = {0.0f, 0.0f, 0.0f, 1.0f};
    glLightfv(GL_LIGHT0, GL_POSITION, position);
    glLightfv(GL_LIGHT0, GL_DIFFUSE, diffuse);
    glLightfv(GL_LIGHT0, GL_AMBIENT, ambient);
    glLightModelfv(GL_LIGHT_MODEL_AMBIENT, none);
    glFogfv(GL_FOG_COLOR, FOG_COLOUR);
    glFogi(GL_FOG_MODE, GL_LINEAR);
    glFogf(GL_FOG_START, FOG_START);
    glFogf(GL_FOG_END, FOG_END);
}

void cSceneMushroomsJ::draw_cave()
{
    cShaderManager_GLSL* shaders = cShaderManager_GLSL::get_instance();
    set_material(GL_EMISSION, 0.0f, 0.0f, 0.0f);
    set_material(GL_AMBIENT, 1.0f, 1.0f, 1.0f);
    set_material(GL_DIFFUSE, 0.9f, 0.9f, 1.0f);
    // The moss in the rock answers the filter too, more softly than the caps.
    cave_emit = 0.15f + 0.5f * cutoff;
    shaders->set_shader_parameter("fog_shader", 1, &cave_emit_var);
    shaders->bind("fog_shader");
    glActiveTexture(GL_TEXTURE0);
    glBindTexture(rock.target, rock.name);
    cave->draw();
}

void cSceneMushroomsJ::draw_mushrooms(int32_t time_ms)
{
    const float glow = cap_glow(cutoff);
    set_material(GL_EMISSION, glow, glow, glow);
    set_material(GL_AMBIENT, 1.0f, 1.0f, 1.0f);
    set_material(GL_DIFFUSE, 0.7f, 0.7f, 0.7f);
    glBindTexture(caps.target, caps.name);
    const float phase = 2.0f * PI_F * static_cast<float>(time_ms) / BREATH_MS;
    mushrooms->set_morph_t(0.5f - 0.5f * std::cos(phase));
    mushrooms->draw();
    glBindTexture(caps.target, 0);
}

void cSceneMushroomsJ::draw_spores()
{
    cStateManager* state = cStateManager::get_instance();
    state->set_lighting(false);
    state->set_blend(true);
    state->set_blend_func(gs::BLEND_ADD_BY_ALPHA_KEEP);
    state->set_depth_write(false);
    // A shell of light runs out through the spores as the filter opens.
    spore_shell = cutoff;
    cShaderManager_GLSL::get_instance()->set_shader_parameter("particle_light_shader", 1, &spore_shell_var);
    glColor4f(1.0f, 1.0f, 1.0f, 0.85f);
    spores.renderer->render(*spores.system, SPORE_PROGRAM);
}
