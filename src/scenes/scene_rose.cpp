#include "scenes/scene_rose.h"

#include <algorithm>
#include <cmath>
#include <iostream>
#include <vector>

#include "camera.h"
#include "demo_clock.h"
#include "gl.h"
#include "mesh_files/mesh_manager.h"
#include "mesh_files/mesh_obj.h"
#include "midi_events.h"
#include "particles/random_table.h"
#include "post/post_blur.h"
#include "post/post_kaleido.h"
#include "post/post_pass.h"
#include "post/post_sliders.h"
#include "scenes/note_animator.h"
#include "screen_space.h"
#include "shader_manager.h"
#include "shaders/shd_surface.h"
#include "singleton.h"
#include "state_manager.h"
#include "values/interpolator.h"
#include "video.h"

// Sections: grain overlay, component, scene.

// ---- grain overlay ---------------------------------------------------------------

namespace {

// A 128 x 128 texture of the shared random numbers, made on first use (at
// load time) and kept to the end; drawn over a picture twice, once
// darkening and once lightening, at offsets that change every frame.
class cGrainOverlay : public cSingleton<cGrainOverlay> {
public:
    static constexpr int SIZE = 128;            // texels per side
    static constexpr float MAX_OFFSET = 10.0f;  // texels

    cGrainOverlay()
    {
        std::vector<uint8_t> rgb(SIZE * SIZE * 3);
        for (uint8_t& c : rgb)
            c = static_cast<uint8_t>(frand() * 255.0f);
        glGenTextures(1, &texture);
        glBindTexture(GL_TEXTURE_2D, texture);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_REPEAT);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_REPEAT);
        glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
        glTexImage2D(GL_TEXTURE_2D, 0, GL_RGB8, SIZE, SIZE, 0, GL_RGB, GL_UNSIGNED_BYTE, rgb.data());
        glBindTexture(GL_TEXTURE_2D, 0);
    }

    // source, then the grain subtracted and added, into the bound target.
    // The grain is weighted by the picture's own alpha and leaves alpha
    // alone: it roughens what was drawn, while the empty background stays
    // black and transparent (grain added there at full strength would
    // cover the whole frame in opaque noise). amount scales the grain's
    // texture coordinates: at 1 a texel covers a pixel, at 0.1 ten.
    void draw(cRenderTarget_fbo& source, float strength, float amount)
    {
        cStateManager* state = cStateManager::get_instance();
        state->push();
        state->set_blend(false);
        draw_render_target_fullscreen(source);
        begin_screen_space();
        state->set_blend(true);
        state->set_blend_func(gs::BF_DST_ALPHA, gs::BF_ONE, gs::BF_ZERO, gs::BF_ONE);
        glActiveTexture(GL_TEXTURE0);
        glEnable(GL_TEXTURE_2D);
        glBindTexture(GL_TEXTURE_2D, texture);
        glColor4f(strength, strength, strength, 1.0f);
        GLint equation = GL_FUNC_ADD;
        glGetIntegerv(GL_BLEND_EQUATION_RGB, &equation);
        const float s = static_cast<float>(source.width) * amount / SIZE;
        const float t = static_cast<float>(source.height) * amount / SIZE;
        glBlendEquation(GL_FUNC_REVERSE_SUBTRACT);
        draw_pass(s, t);
        glBlendEquation(GL_FUNC_ADD);
        draw_pass(s, t);
        glBlendEquation(static_cast<GLenum>(equation));
        glBindTexture(GL_TEXTURE_2D, 0);
        glDisable(GL_TEXTURE_2D);
        end_screen_space();
        state->pop();
    }

    GLuint texture = 0;  // the grain, GL_TEXTURE_2D

private:
    // The grain over the unit square, shifted by a random offset.
    static void draw_pass(float s, float t)
    {
        const float ds = frand() * MAX_OFFSET / SIZE, dt = frand() * MAX_OFFSET / SIZE;
        glMatrixMode(GL_TEXTURE);
        glLoadIdentity();
        glTranslatef(ds, dt, 0.0f);
        glMatrixMode(GL_MODELVIEW);
        draw_unit_quad(s, t);
        glMatrixMode(GL_TEXTURE);
        glLoadIdentity();
        glMatrixMode(GL_MODELVIEW);
    }
};

constexpr double DEG_PER_RAD = 57.29578;
constexpr float SIZE_START = 0.5f;     // size of the first copy
constexpr float SIZE_STEP = 0.0007f;   // growth per copy
constexpr const char* ROSE_SHADER = "rose_shader";

// The model's vertex positions as uploaded: the cache has released its own
// copy by now.
std::vector<float> uploaded_positions(const cMeshObj& mesh)
{
    const cMeshBuffer& buffer = mesh.buffers[VBO_POSITIONS];
    std::vector<float> positions(size_t(buffer.count) * 3);
    glBindBufferARB(GL_ARRAY_BUFFER_ARB, buffer.name);
    glGetBufferSubDataARB(GL_ARRAY_BUFFER_ARB, 0, GLsizeiptrARB(positions.size() * sizeof(float)), positions.data());
    glBindBufferARB(GL_ARRAY_BUFFER_ARB, 0);
    return positions;
}

}  // namespace

cRoseCopies build_rose_copies(const std::vector<float>& positions, const std::vector<uint32_t>& indices,
                              int32_t copies)
{
    const size_t vertices = positions.size() / 3;
    const size_t n = copies > 0 ? size_t(copies) : 0;
    cRoseCopies r;
    r.vertices.reserve(n * vertices * 4);
    r.indices.reserve(n * indices.size());
    for (size_t c = 0; c < n; ++c) {
        for (size_t v = 0; v < vertices; ++v) {
            r.vertices.insert(r.vertices.end(), positions.begin() + 3 * v, positions.begin() + 3 * v + 3);
            r.vertices.push_back(static_cast<float>(c));
        }
        const uint32_t first = static_cast<uint32_t>(c * vertices);
        for (uint32_t i : indices)
            r.indices.push_back(first + i);
    }
    return r;
}

// ---- component -------------------------------------------------------------------

cComponentRose::~cComponentRose()
{
    const GLuint names[2] = {vertex_buffer, index_buffer};
    if (vertex_buffer || index_buffer)
        glDeleteBuffersARB(2, names);
}

void cComponentRose::load()
{
    mesh = cMeshManager::get_instance()->get_mesh("octahedra.bzobj", true, true, false);
    xscale = 1.38221f;
    speed = 1.26202f;
    col = {0.33f, 0.12f, 0.55f};
    alpha = 0.023f;
    line_alpha_factor = 20.0f;
    if (!vertex_buffer)
        build_buffers();
}

void cComponentRose::build_buffers()
{
    cShaderManager_GLSL::get_instance()->register_shader<cShdRose>(ROSE_SHADER);
    glGenBuffersARB(1, &vertex_buffer);
    glGenBuffersARB(1, &index_buffer);
    auto* model = dynamic_cast<cMeshObj*>(mesh);
    if (!model) {
        std::cerr << "# warning: cComponentRose::load: the rose's model is not a plain mesh; the ribbon stays empty"
                  << std::endl;
        return;
    }
    const cRoseCopies copies = build_rose_copies(uploaded_positions(*model), model->indices, count);
    glBindBufferARB(GL_ARRAY_BUFFER_ARB, vertex_buffer);
    glBufferDataARB(GL_ARRAY_BUFFER_ARB, GLsizeiptrARB(copies.vertices.size() * sizeof(float)),
                    copies.vertices.data(), GL_STATIC_DRAW_ARB);
    glBindBufferARB(GL_ARRAY_BUFFER_ARB, 0);
    glBindBufferARB(GL_ELEMENT_ARRAY_BUFFER_ARB, index_buffer);
    glBufferDataARB(GL_ELEMENT_ARRAY_BUFFER_ARB, GLsizeiptrARB(copies.indices.size() * sizeof(uint32_t)),
                    copies.indices.data(), GL_STATIC_DRAW_ARB);
    glBindBufferARB(GL_ELEMENT_ARRAY_BUFFER_ARB, 0);
    copies_built = count;
    indices_per_copy = static_cast<uint32_t>(model->indices.size());
}

void cComponentRose::render(const cDemoClock& clock)
{
    cShaderManager_GLSL* shaders = cShaderManager_GLSL::get_instance();
    shaders->unbind();
    cStateManager* state = cStateManager::get_instance();
    // The vertex arrays leave the current texture coordinate undefined.
    glPushAttrib(GL_CURRENT_BIT);
    state->set_fill_mode(gs::FILL_LINE);
    draw_copies(clock, alpha);
    state->set_fill_mode(gs::FILL_POINT);
    draw_copies(clock, line_alpha_factor * alpha);
    state->set_fill_mode(gs::FILL_FILL);
    shaders->unbind();
    glPopAttrib();
    // Not in the state cache: back to GL's defaults for whoever draws next.
    glDisable(GL_LINE_SMOOTH);
    glDisable(GL_POINT_SMOOTH);
    glLineWidth(1.0f);
    glPointSize(1.0f);
}

// The sum of four cosines of unrelated frequencies makes the ribbon's twist
// and overall angle wander slowly without repeating. Copy i is turned by
// theta - i * delta (times 0.9, 1.1 and 1.2 about x, y and z); the turns
// of the first copy are reduced to one revolution here, in double, so that
// the program's floats keep their precision however long the show runs.
void cComponentRose::draw_copies(const cDemoClock& clock, float a)
{
    cStateManager* state = cStateManager::get_instance();
    state->push();
    state->set_depth_write(false);
    state->set_alpha_test(false);
    state->set_blend(true);
    state->set_lighting(false);
    state->set_blend_func(gs::BLEND_ADD_BY_ALPHA);
    glDisable(GL_TEXTURE_2D);
    glLineWidth(2.0f);
    glPointSize(2.0f);
    glHint(GL_LINE_SMOOTH_HINT, GL_NICEST);
    glHint(GL_POINT_SMOOTH_HINT, GL_NICEST);
    glEnable(GL_LINE_SMOOTH);
    glEnable(GL_POINT_SMOOTH);

    phase += static_cast<double>(clock.frame_delta()) / 1000.0 * speed;
    const double p = phase_offset + phase;
    const double pa = 0.51 * p, pb = 0.41 * p, pc = 0.61 * p;
    const double theta = p + 0.02 * (std::cos(pb + 0.123) + std::cos(pa + 0.234) + std::cos(pc + 0.623) +
                                     std::cos(0.21 * p + 0.723));
    const double delta = (0.16 * (std::cos(pa + 0.0234) + std::cos(pb + 0.0123) + std::cos(pc + 0.0623) +
                                  std::cos(0.021 * p + 1.723)) +
                          0.9) *
                         0.005;
    const double turn = theta * DEG_PER_RAD, step = delta * DEG_PER_RAD;
    const float block[cShdRose::BLOCK] = {
        static_cast<float>(std::fmod(turn * 0.9 + rot_x, 360.0)),
        static_cast<float>(std::fmod(turn * 1.1 + rot_y, 360.0)),
        static_cast<float>(std::fmod(turn * 1.2, 360.0)),
        static_cast<float>(step * 0.9),
        static_cast<float>(step * 1.1),
        static_cast<float>(step * 1.2),
        SIZE_START + scale,
        SIZE_STEP,
        xscale,
        translation,
        col.x,
        col.y,
        col.z,
        a,
        kick,
    };
    cShaderManager_GLSL* shaders = cShaderManager_GLSL::get_instance();
    send_block(ROSE_SHADER, block, cShdRose::BLOCK);
    shaders->bind(ROSE_SHADER);
    state->apply();
    const int32_t copies = std::min(count, copies_built);
    // Unrasterised (a capture running up to a late moment), the ribbon's
    // indices would still be transformed, the costliest vertex work of the
    // show, for no pixel.
    if (copies > 0 && !state->discarding) {
        constexpr GLsizei STRIDE = 4 * sizeof(float);
        glBindBufferARB(GL_ARRAY_BUFFER_ARB, vertex_buffer);
        glVertexPointer(3, GL_FLOAT, STRIDE, nullptr);
        glEnableClientState(GL_VERTEX_ARRAY);
        glClientActiveTextureARB(GL_TEXTURE0);
        glTexCoordPointer(1, GL_FLOAT, STRIDE, reinterpret_cast<const void*>(3 * sizeof(float)));
        glEnableClientState(GL_TEXTURE_COORD_ARRAY);
        glBindBufferARB(GL_ELEMENT_ARRAY_BUFFER_ARB, index_buffer);
        glDrawElements(GL_TRIANGLES, GLsizei(uint32_t(copies) * indices_per_copy), GL_UNSIGNED_INT, nullptr);
        glBindBufferARB(GL_ELEMENT_ARRAY_BUFFER_ARB, 0);
        glDisableClientState(GL_TEXTURE_COORD_ARRAY);
        glDisableClientState(GL_VERTEX_ARRAY);
        glBindBufferARB(GL_ARRAY_BUFFER_ARB, 0);
    }
    state->pop();
}

// ---- scene -----------------------------------------------------------------------

cSceneRose::cSceneRose(cDemoClock* clock_) : cScene(clock_)
{
    sliders = camera_rows(-100, 100);
    append_rows(sliders, {
                             {"xscale", &rose.xscale, 0, 5},
                             {"translation", &rose.translation, 0, 1},
                             {"speed", &rose.speed, 0, 20},
                             {"f3", &rose.phase, 0, 1000},
                             {"col", &rose.col, -360, 1},
                             {"alpha", &rose.alpha, -360, 1},
                         });
    append_rows(sliders, slider_rows(cut));
    append_rows(sliders, {{"kaleido2d", &kaleido2d, 0, KALEIDO_PLANE_COUNT}});
    publish({
        {"kaleido2d", &kaleido2d, 0, 6},
        {"half_res", &half_res, 0, 1},
        {"scale", &rose.scale, 0, 10},
    });
    for (cLerpAdd<float>*& k : kicks) {
        k = new cLerpAdd<float>(&rose.kick, NEVER_MS, NEVER_MS, 0.0f, 0.0f);
        animators.push_back(k);
    }
}

void cSceneRose::load()
{
    if (first_load()) {
        cGrainOverlay::get_instance();
        cPostBlur::get_instance();
        cPostCut::get_instance();
        cPostKaleido2d::get_instance()->init();
    }
    camera.eye = {2.48f, 3.09f, 8.36f};
    camera.center = {0.0f, 0.0f, 0.0f};
    cut = {RTT_HALF, 185.0f, 185.0f};
    grain_amount = 0.1f;
    rose.load();
}

void cSceneRose::handle_event(cEvent* e)
{
    const iMidiEvent* note = midi_event(e, MIDI_NOTE_ON, KICK_TRACK);
    if (!note)
        return;
    restart(*kicks[next_kick], note->time, KICK_MS, KICK_HEIGHT, 0.0f);
    next_kick = (next_kick + 1) % KICK_SLOTS;
}

bool cSceneRose::update()
{
    rose.kick = 0.0f;
    update_animators();
    return false;
}

cTmpRenderTarget cSceneRose::render(int32_t)
{
    const int32_t size_class = half_res == 1 ? RTT_HALF : RTT_FULL;
    cShaderManager_GLSL::get_instance()->unbind();
    cTmpRenderTarget ribbon = get_tmp_render_target(size_class);
    glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
    ribbon->bind(true);
    apply_camera(camera);
    rose.render(*clock);
    ribbon->unbind();

    cTmpRenderTarget grained = post_step(
        ribbon,
        [this](cRenderTarget_fbo& dst, cRenderTarget_fbo& src) {
            dst.bind(true);
            cGrainOverlay::get_instance()->draw(src, grain_strength, grain_amount);
            dst.unbind();
        },
        size_class);
    cPostBlur::get_instance()->apply(*grained.target, *grained.target, true);
    cTmpRenderTarget glowing = post_step(
        grained,
        [this](cRenderTarget_fbo& dst, cRenderTarget_fbo& src) { cPostCut::get_instance()->apply_glow(dst, src, cut); },
        size_class);
    glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
    // Plane 0 would copy the picture unchanged: it is the result as it is.
    if (std::clamp(kaleido2d, 0, KALEIDO_PLANE_COUNT) == 0)
        return glowing;
    return post_step(
        glowing,
        [this](cRenderTarget_fbo& dst, cRenderTarget_fbo& src) {
            dst.bind(false);
            cPostKaleido2d::get_instance()->apply(src, std::clamp(kaleido2d, 0, KALEIDO_PLANE_COUNT));
            dst.unbind();
        },
        size_class);
}
