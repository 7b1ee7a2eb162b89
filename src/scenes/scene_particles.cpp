#include "scenes/scene_particles.h"

#include <algorithm>

#include "camera.h"
#include "gl.h"
#include "particles/particle_render.h"
#include "post/post_sliders.h"
#include "shader_manager.h"
#include "state_manager.h"

// Sections: emitter, data, load, update, render.

// ---- emitter ---------------------------------------------------------------------

void cFountainEmitter::emit(cParticleSystem& ps, float dt)
{
    if (rate.get() > 0)
        cParticleEmitterPlane::emit(ps, dt);
}

// ---- data ------------------------------------------------------------------------

cSceneParticles::cSceneParticles(cDemoClock* clock_) : cScene(clock_)
{
    sliders = camera_rows(-200, 200);
    append_rows(sliders, slider_rows(glow));
    append_rows(sliders, slider_rows(fold));
    append_rows(sliders, {{"emits", &emits_pf, 0, 150}});
    publish({
        {"kaleidotype", &fold.plane, 0, KALEIDO_PLANE_COUNT},
        {"camroll", &camera.roll, -360, 360},
        {"camfov", &camera.fovy, 10, 120},
        {"emits_pf", &emits_pf, 0, 150},
    });
}

cSceneParticles::~cSceneParticles()
{
    destroy_particle_effect(effect);
}

// ---- load ------------------------------------------------------------------------

void cSceneParticles::load()
{
    if (!first_load())
        return;
    sprite = cTextureManager::get_instance()->get_texture("particleglow.jpg", true, GL_CLAMP, 0);
    create_fountain();
    cPostKaleido2d::get_instance()->init();
    cPostCut::get_instance();
    camera.fovy = 120.0f;
    camera.znear = 1.0f;
    camera.zfar = 2500.0f;
    camera.eye = {32.87f, 43.22f, -0.45f};
    camera.center = {0.0f, 4.09f, 0.0f};
    camera.up = {0.0f, 1.0f, 0.0f};
    glow.pre_cut = 0.0f;
    glow.post_cut = 128.0f;
}

// A thin strip on the ground (0.2 wide, 20 deep) sprays particles upwards;
// a sink 55 units above pulls them into a plume.
void cSceneParticles::create_fountain()
{
    create_particle_effect(effect, CAPACITY);
    emitter = new cFountainEmitter();
    emitter->position = {0.0f, 0.0f, 0.0f};
    emitter->axis1 = {0.2f, 0.0f, 0.0f};
    emitter->axis2 = {0.0f, 0.0f, 20.0f};
    emitter->len1 = emitter->axis1.length();
    emitter->len2 = emitter->axis2.length();
    emitter->dir1 = emitter->axis1.normalized();
    emitter->dir2 = emitter->axis2.normalized();
    emitter->set_rate(applied_rate);
    add_emitter(effect, emitter);
    auto* sink = new cGravitySink();
    sink->sink = {0.0f, 55.0f, 0.0f};
    sink->strength = 6.0f;
    add_updater(effect, sink);
    static_cast<cPSRenderBillboards*>(effect.renderer)->intensity = 0.3f;
}

// ---- update ----------------------------------------------------------------------

bool cSceneParticles::update()
{
    if (!effect.system)
        return false;
    update_particle_effect(effect, *clock);
    if (emits_pf != applied_rate) {
        applied_rate = emits_pf;
        emitter->set_rate(emits_pf);
    }
    return false;
}

// ---- render ----------------------------------------------------------------------

cTmpRenderTarget cSceneParticles::render(int32_t)
{
    cStateManager* state = cStateManager::get_instance();
    state->push();
    cShaderManager_GLSL::get_instance()->unbind();
    glMatrixMode(GL_TEXTURE);
    glLoadIdentity();
    state->set_alpha_test(false);
    state->set_color_material(false);
    state->set_lighting(false);
    state->set_depth_test(false);
    state->set_multisample(false);

    cTmpRenderTarget sprites = get_tmp_render_target(RTT_QUATER);
    glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
    sprites->bind(true);
    apply_camera(camera);
    draw_particles();
    sprites->unbind();
    state->set_blend_func(gs::BLEND_ALPHA);
    state->set_blend(false);

    // An animator may write any integer; the fold only has planes 0 to 7.
    const int32_t plane = std::clamp(fold.plane, 0, KALEIDO_PLANE_COUNT);
    cTmpRenderTarget folded = get_tmp_render_target(RTT_QUATER);
    folded->bind(false);
    cPostKaleido2d::get_instance()->apply(*sprites.target, plane);
    folded->unbind();
    // The folded picture with its glow replaces the sprites.
    cPostCut::get_instance()->apply_glow(*sprites.target, *folded.target, glow);
    state->pop();
    return sprites;
}

void cSceneParticles::draw_particles()
{
    cStateManager* state = cStateManager::get_instance();
    state->set_fill_mode(gs::FILL_FILL);
    state->set_lighting(false);
    state->set_blend(true);
    state->set_blend_func(gs::BLEND_ADD_BY_ALPHA_KEEP);
    state->set_depth_write(false);
    state->set_depth_test(false);
    glDisable(GL_TEXTURE_2D);
    glDisable(GL_TEXTURE_RECTANGLE_ARB);
    glActiveTexture(GL_TEXTURE0);
    glEnable(sprite.target);
    glBindTexture(sprite.target, sprite.name);
    // The billboards take the current colour; whatever the previous pass
    // left (a black silhouette colour, say) must not tint them.
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
    effect.renderer->render(*effect.system, "");
    glBindTexture(sprite.target, 0);
    glDisable(sprite.target);
}
