#include "scenes/scene_flowerfield.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "camera.h"
#include "mesh_files/mesh_manager.h"
#include "midi_events.h"
#include "post/post_sliders.h"
#include "resource_path.h"
#include "shader_manager.h"
#include "shaders/shd_surface.h"
#include "state_manager.h"

// Sections: data, load, render.

// ---- data ------------------------------------------------------------------------

namespace {

constexpr float FLIGHT = 260.0f;         // world units flown while cur_t runs 1 -> 0
constexpr float FAR = 260.0f;            // view distance; fog has closed before it
constexpr float WAVE_X = -400.0f;        // the wind's waves roll out from here, world
constexpr float WAVE_Y = -250.0f;
constexpr float WAVES_PER_S = 0.3f;      // wave crests passing a flower per second
constexpr float PLUCK_RELEASE_MS = 420.0f;
constexpr float CLAP_RELEASE_MS = 260.0f;
constexpr float RING_MS = 900.0f;        // a pluck's light ring crossing the pollen
constexpr int POLLEN_FLOATS = 13;        // per corner: centre x 4 (vertex, sets 0-2), corner number

// One look of the field.
struct cLook {
    float fog[4];     // distant haze
    float tint[3];    // heads' colour filter
    float stem[3];    // ground and stems' colour filter
    float pollen[3];  // grains' colour
    float height;     // flight height, world units
    float drift;      // flight speed besides cur_t, units per second
    float sway;       // wave displacement scale
    float lighten;    // wave-crest light at lighten_strength 1
};

constexpr cLook LOOKS[] = {
    // 1: dusk over the build-up: deep blue haze, rose and violet heads, low and fast.
    {{0.05f, 0.07f, 0.25f, 1.0f}, {1.0f, 0.72f, 1.0f}, {0.8f, 0.85f, 1.0f}, {0.75f, 0.85f, 1.0f}, 10.5f, 2.0f, 1.0f, 0.35f},
    // 2: moonlit breakdown: teal haze, cool heads, golden pollen, higher and slower.
    {{0.02f, 0.085f, 0.13f, 1.0f}, {0.7f, 1.0f, 0.92f}, {0.7f, 1.0f, 0.95f}, {1.0f, 0.8f, 0.45f}, 15.0f, 4.5f, 1.6f, 0.25f},
};

const cLook& look_of(int config)
{
    return LOOKS[config >= 2 ? 1 : 0];
}

float decay(int32_t since_ms, float release_ms)
{
    return since_ms >= 0 ? std::exp(-static_cast<float>(since_ms) / release_ms) : 0.0f;
}

float smooth01(float e0, float e1, float x)
{
    const float t = std::clamp((x - e0) / (e1 - e0), 0.0f, 1.0f);
    return t * t * (3.0f - 2.0f * t);
}

}  // namespace

cSceneFlowerField::cSceneFlowerField(cDemoClock* clock_) : cScene(clock_)
{
    const tVarTable published = {
        {"cur_config", &cur_config, 1, 2},
        {"cur_t", &cur_t, 0, 1},
        {"lighten_strength", &lighten_strength, 0, 3},
        {"fov", &fov, 10, 100},
        {"outtro_t", &outtro_t, 0, 1},
    };
    publish(published);
    sliders = published;
    append_rows(sliders, slider_rows(glow));
}

cSceneFlowerField::~cSceneFlowerField()
{
    if (pollen_buffer)
        glDeleteBuffers(1, &pollen_buffer);
}

// ---- load ------------------------------------------------------------------------

void cSceneFlowerField::load()
{
    if (!first_load())
        return;
    cResourcePath::get_instance()->add("../data/models");
    cMeshManager* meshes = cMeshManager::get_instance();
    // The normals are the sway vectors: never smoothed.
    stems = meshes->get_mesh("flowerpatch_stems.bzobj", true, true, false);
    heads_open = meshes->get_mesh("flowerpatch_petals.bzobj", true, true, false);
    heads_closed = meshes->get_mesh("flowerpatch_closed.bzobj", true, true, false);
    cTextureManager* textures = cTextureManager::get_instance();
    stem_texture = textures->get_texture("flower_stems.png", true, GL_REPEAT, GL_TEXTURE_2D);
    petal_texture = textures->get_texture("flower_petals.png", true, GL_CLAMP_TO_EDGE, GL_TEXTURE_2D);
    cShaderManager_GLSL* shaders = cShaderManager_GLSL::get_instance();
    shaders->register_shader<cShdSinewaves>("sinewave_shader");
    shaders->register_shader<cShdParticleLight>("particle_light_shader");
    waves = static_cast<cShdSinewaves*>(shaders->find("sinewave_shader"));
    pollen = static_cast<cShdParticleLight*>(shaders->find("particle_light_shader"));
    cPostCut::get_instance();
    fill_pollen();
}

// Grains spread over one patch, most of them low among the heads; each is
// four corners that all carry the grain's centre where the program looks
// for it.
void cSceneFlowerField::fill_pollen()
{
    std::vector<float> corners;
    corners.reserve(static_cast<size_t>(POLLEN) * 4 * POLLEN_FLOATS);
    uint32_t seed = 0x9e3779b9u;
    auto unit = [&seed] {
        seed = seed * 1664525u + 1013904223u;
        return static_cast<float>(seed >> 8) / 16777216.0f;
    };
    constexpr float QUAD_ORDER[4] = {0, 1, 3, 2};  // lower left, lower right, upper right, upper left
    for (int i = 0; i < POLLEN; ++i) {
        const float x = unit() * PATCH, y = unit() * PATCH;
        const float z = 0.5f + 15.0f * std::pow(unit(), 1.7f);
        for (float corner : QUAD_ORDER) {
            for (int k = 0; k < 4; ++k)
                corners.insert(corners.end(), {x, y, z});
            corners.push_back(corner);
        }
    }
    glGenBuffers(1, &pollen_buffer);
    glBindBuffer(GL_ARRAY_BUFFER, pollen_buffer);
    glBufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(corners.size() * sizeof(float)), corners.data(),
                 GL_STATIC_DRAW);
    glBindBuffer(GL_ARRAY_BUFFER, 0);
}

void cSceneFlowerField::handle_event(cEvent* e)
{
    if (midi_event(e, MIDI_NOTE_ON, PLUCK_TRACK))
        pluck_ms = now();
    if (midi_event(e, MIDI_NOTE_ON, CLAP_TRACK))
        clap_ms = now();
}

float cSceneFlowerField::flash_at(int32_t time_ms) const
{
    return std::min(1.0f, 0.8f * decay(time_ms - pluck_ms, PLUCK_RELEASE_MS) +
                              decay(time_ms - clap_ms, CLAP_RELEASE_MS));
}

// ---- render ----------------------------------------------------------------------

cTmpRenderTarget cSceneFlowerField::render(int32_t time_ms)
{
    const float seconds = static_cast<float>(time_ms) / 1000.0f;
    const float flash = flash_at(time_ms);
    cTmpRenderTarget picture = get_tmp_render_target(RTT_FULL);
    cStateManager::get_instance()->set_depth_write(true);
    cStateManager::get_instance()->apply();
    glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
    picture->bind(true);
    place_camera(seconds);
    collect_tiles();
    draw_field(seconds, flash);
    draw_haze();
    draw_heads(seconds, flash);
    draw_pollen(seconds, flash);
    cShaderManager_GLSL::get_instance()->unbind();
    glBindTexture(GL_TEXTURE_2D, 0);
    picture->unbind();
    // Brighter flashes and a stronger lighten pull more of the picture into the glow.
    cCutParams soft = glow;
    soft.pre_cut = std::clamp(glow.pre_cut - 35.0f * (lighten_strength - 1.0f) - 60.0f * flash, 20.0f, 250.0f);
    return post_step(picture, [soft](cRenderTarget_fbo& dst, cRenderTarget_fbo& src) {
        cPostCut::get_instance()->apply_glow(dst, src, soft);
    });
}

// Low over the field, looking ahead and a little down, drifting from side
// to side as if carried by the wind.
void cSceneFlowerField::place_camera(float seconds)
{
    const cLook& look = look_of(cur_config);
    const float travel = (1.0f - std::clamp(cur_t, 0.0f, 1.0f)) * FLIGHT + seconds * look.drift;
    const float side = 7.0f * std::sin(seconds * 0.11f);
    camera.eye = {side, travel, look.height + 0.8f * std::sin(seconds * 0.5f)};
    camera.center = {side + 5.0f * std::sin(seconds * 0.07f + 1.0f), travel + 80.0f, -0.1f * look.height};
    camera.up = {0.0f, 0.0f, 1.0f};
    camera.fovy = std::clamp(fov, 5.0f, 150.0f);
    camera.znear = 3.0f;  // a head brushing the lens would fill the picture
    camera.zfar = FAR + 60.0f;
    camera.roll = 2.0 * std::sin(seconds * 0.21f);
    apply_camera(camera);
}

// Patches whose square may reach into the horizontal view: ahead of the
// camera, within FAR and inside the view's half-width angle plus a margin
// for the camera's downward look.
void cSceneFlowerField::collect_tiles()
{
    const float ex = camera.eye.x, ey = camera.eye.y;
    float fx = camera.center.x - ex, fy = camera.center.y - ey;
    const float flen = std::hypot(fx, fy);
    fx /= flen;
    fy /= flen;
    const float half_fov = std::atan(std::tan(camera.fovy * 0.5f * 3.14159265f / 180.0f) * camera.aspect);
    const float cos_limit = std::cos(std::min(half_fov + 0.2f, 3.1f));
    const float radius = PATCH * 0.7072f;
    tile_count = 0;
    const int x0 = static_cast<int>(std::floor((ex - FAR) / PATCH)), x1 = static_cast<int>(std::floor((ex + FAR) / PATCH));
    const int y0 = static_cast<int>(std::floor((ey - FAR) / PATCH)), y1 = static_cast<int>(std::floor((ey + FAR) / PATCH));
    for (int ty = y0; ty <= y1; ++ty)
        for (int tx = x0; tx <= x1 && tile_count < MAX_TILES; ++tx) {
            const float x = static_cast<float>(tx) * PATCH, y = static_cast<float>(ty) * PATCH;
            const float vx = x + 0.5f * PATCH - ex, vy = y + 0.5f * PATCH - ey;
            const float d = std::hypot(vx, vy);
            if (d > FAR + radius)
                continue;
            // Near patches always; farther ones when their square meets the view's wedge.
            if (d > radius) {
                const float along = (vx * fx + vy * fy) / d;
                const float widen = std::asin(std::min(1.0f, radius / d));
                if (along < std::cos(std::min(std::acos(cos_limit) + widen, 3.14159265f)))
                    continue;
            }
            tiles[tile_count++] = {x, y};
        }
}

void cSceneFlowerField::set_state(bool fog, const float* fog_colour)
{
    cStateManager* state = cStateManager::get_instance();
    state->set_depth_test(true);
    state->set_fill_mode(gs::FILL_FILL);
    state->set_lighting(false);
    state->set_color_material(false);
    state->set_cull(false);  // petals and leaves show both sides
    state->set_alpha_test(false);
    state->set_fog(fog);
    glFogi(GL_FOG_MODE, GL_LINEAR);
    glFogf(GL_FOG_START, 10.0f);
    glFogf(GL_FOG_END, FAR * 0.92f);
    glFogfv(GL_FOG_COLOR, fog_colour);
    state->apply();
}

// Ground, stems and leaves: opaque, fading out with the outro's dissolve.
void cSceneFlowerField::draw_field(float seconds, float flash)
{
    const cLook& look = look_of(cur_config);
    const float o = std::clamp(outtro_t, 0.0f, 1.0f);
    const float drain = 1.0f - o;
    float fog[4] = {look.fog[0] * drain, look.fog[1] * drain, look.fog[2] * drain, 1.0f};
    cStateManager* state = cStateManager::get_instance();
    state->set_blend(false);
    state->set_depth_write(true);
    set_state(true, fog);
    waves->cur_t = seconds * WAVES_PER_S;
    waves->in_strength = look.sway * (1.0f + 0.4f * flash);
    waves->dist_t = 1.0e6f;
    waves->in_lighten = 0.25f * look.lighten * std::max(lighten_strength, 0.0f) * drain;
    glBindTexture(GL_TEXTURE_2D, stem_texture.name);
    cShaderManager_GLSL::get_instance()->bind("sinewave_shader");
    glColor4f(look.stem[0] * drain, look.stem[1] * drain, look.stem[2] * drain, 1.0f - smooth01(0.35f, 1.0f, o));
    draw_patches(stems);
}

// One copy of `mesh` per patch in view; the wave centre is given in each
// patch's own frame, so the waves run on across the seams.
void cSceneFlowerField::draw_patches(iMesh* mesh)
{
    for (int i = 0; i < tile_count; ++i) {
        glPushMatrix();
        glTranslatef(tiles[i].x, tiles[i].y, 0.0f);
        waves->offset[0] = WAVE_X - tiles[i].x;
        waves->offset[1] = WAVE_Y - tiles[i].y;
        waves->offset[2] = 0.0f;
        waves->upload_parameters();
        mesh->draw();
        glPopMatrix();
    }
}

// A band of dusk light standing on the far edge of the field, opaque at
// the ground and fading into the transparent sky: the field ends in haze
// instead of a hard line, and the sky above keeps showing the layer below.
void cSceneFlowerField::draw_haze()
{
    const cLook& look = look_of(cur_config);
    const float drain = 1.0f - std::clamp(outtro_t, 0.0f, 1.0f);
    cStateManager* state = cStateManager::get_instance();
    state->set_blend(true);
    state->set_blend_func(gs::BLEND_ALPHA);
    state->set_depth_write(false);
    set_state(false, look.fog);
    cShaderManager_GLSL::get_instance()->unbind();
    glDisable(GL_TEXTURE_2D);
    const float heading = std::atan2(camera.center.y - camera.eye.y, camera.center.x - camera.eye.x);
    constexpr int STEPS = 24;
    constexpr float RADIUS = FAR * 0.8f, TOP = 60.0f;
    glBegin(GL_QUAD_STRIP);
    for (int i = 0; i <= STEPS; ++i) {
        const float a = heading + 2.2f * (static_cast<float>(i) / STEPS - 0.5f);
        const float x = camera.eye.x + RADIUS * std::cos(a), y = camera.eye.y + RADIUS * std::sin(a);
        glColor4f(look.fog[0] * 2.5f, look.fog[1] * 2.5f, look.fog[2] * 2.5f, 0.9f * drain);
        glVertex3f(x, y, -2.0f);
        glColor4f(look.fog[0], look.fog[1], look.fog[2], 0.0f);
        glVertex3f(x, y, TOP);
    }
    glEnd();
}

// The heads add their light; far ones fade into black rather than into the
// haze, so that the distance stays dark. The outro crossfades the open
// heads into the closed ones while their light drains away.
void cSceneFlowerField::draw_heads(float seconds, float flash)
{
    const cLook& look = look_of(cur_config);
    const float o = std::clamp(outtro_t, 0.0f, 1.0f);
    const float drain = (1.0f - o) * (1.0f - o);
    const float black[4] = {0.0f, 0.0f, 0.0f, 0.0f};
    cStateManager* state = cStateManager::get_instance();
    state->set_blend(true);
    state->set_blend_func(gs::BLEND_ADD_BY_ALPHA);
    state->set_depth_write(false);
    set_state(true, black);
    waves->cur_t = seconds * WAVES_PER_S;
    waves->in_lighten = look.lighten * std::max(lighten_strength, 0.0f) * drain;
    glBindTexture(GL_TEXTURE_2D, petal_texture.name);
    cShaderManager_GLSL::get_instance()->bind("sinewave_shader");
    const float bright = (0.6f + 0.4f * flash) * drain;
    const struct {
        iMesh* mesh;
        float alpha;
    } heads[2] = {{heads_open, 1.0f - smooth01(0.0f, 0.7f, o)}, {heads_closed, smooth01(0.0f, 0.5f, o)}};
    for (const auto& h : heads) {
        if (h.alpha <= 0.0f || drain <= 0.0f)
            continue;
        // Their alpha drains too, or dark buds would stand over the layer below.
        glColor4f(look.tint[0] * bright, look.tint[1] * bright, look.tint[2] * bright, h.alpha * (1.0f - o));
        draw_patches(h.mesh);
    }
}

// Pollen drifts with the wind; a light a little ahead of the camera makes
// the near grains glow, and a pluck sends a ring of light out from it.
void cSceneFlowerField::draw_pollen(float seconds, float flash)
{
    const cLook& look = look_of(cur_config);
    const float o = std::clamp(outtro_t, 0.0f, 1.0f);
    const float fade = (1.0f - o) * (0.55f + 0.45f * flash);
    if (fade <= 0.0f)
        return;
    const float drift_x = std::fmod(seconds * 1.3f, PATCH), drift_y = std::fmod(seconds * 0.7f, PATCH);
    const float drift_z = 0.8f * std::sin(seconds * 0.4f);
    const float lx = camera.eye.x, ly = camera.eye.y + 30.0f, lz = camera.eye.z * 0.6f;
    const float ring = (seconds * 1000.0f - static_cast<float>(pluck_ms)) / RING_MS;
    const float min_colour[3] = {0.3f, 0.3f, 0.35f};
    const float max_colour[3] = {1.0f, 1.0f, 1.0f};
    std::copy(min_colour, min_colour + 3, pollen->min_color);
    std::copy(max_colour, max_colour + 3, pollen->max_color);
    pollen->max_dist = 110.0f;
    pollen->seg_width_norm = 0.12f;
    pollen->cur_t = ring >= 0.0f ? ring : 2.0f;
    pollen->particle_size = 0.22f;
    cShaderManager_GLSL::get_instance()->bind("particle_light_shader");
    glColor4f(look.pollen[0], look.pollen[1], look.pollen[2], fade);
    const GLsizei stride = POLLEN_FLOATS * sizeof(float);
    glBindBuffer(GL_ARRAY_BUFFER, pollen_buffer);
    glEnableClientState(GL_VERTEX_ARRAY);
    glVertexPointer(3, GL_FLOAT, stride, nullptr);
    for (int set = 0; set < 4; ++set) {
        glClientActiveTexture(GL_TEXTURE0 + set);
        glEnableClientState(GL_TEXTURE_COORD_ARRAY);
        glTexCoordPointer(set < 3 ? 3 : 1, GL_FLOAT, stride, reinterpret_cast<const void*>((3 + 3 * set) * sizeof(float)));
    }
    for (int i = 0; i < tile_count; ++i) {
        const float x = tiles[i].x + drift_x - PATCH * 0.5f, y = tiles[i].y + drift_y - PATCH * 0.5f;
        glPushMatrix();
        glTranslatef(x, y, drift_z);
        pollen->light_position[0] = lx - x;
        pollen->light_position[1] = ly - y;
        pollen->light_position[2] = lz - drift_z;
        pollen->upload_parameters();
        glDrawArrays(GL_QUADS, 0, POLLEN * 4);
        glPopMatrix();
    }
    for (int set = 3; set >= 0; --set) {
        glClientActiveTexture(GL_TEXTURE0 + set);
        glDisableClientState(GL_TEXTURE_COORD_ARRAY);
    }
    glDisableClientState(GL_VERTEX_ARRAY);
    glBindBuffer(GL_ARRAY_BUFFER, 0);
}
