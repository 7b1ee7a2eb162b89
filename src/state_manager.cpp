#include "state_manager.h"

#include <stdexcept>

// ---- GL backend -------------------------------------------------------------
// Wrappers rather than the GL symbols themselves: GLEW resolves its entry
// points after this table is initialised.
const cGLStateBackend GL_STATE_BACKEND = {
    [](GLenum cap) { glEnable(cap); },
    [](GLenum cap) { glDisable(cap); },
    [](GLboolean flag) { glDepthMask(flag); },
    [](GLenum func) { glDepthFunc(func); },
    [](GLenum face, GLenum mode) { glPolygonMode(face, mode); },
    [](GLenum face) { glCullFace(face); },
    [](GLenum mode) { glFrontFace(mode); },
    [](GLenum sr, GLenum dr, GLenum sa, GLenum da) { glBlendFuncSeparate(sr, dr, sa, da); },
};

// ---- code tables --------------------------------------------------------------
GLenum blend_factor_gl(uint32_t code)
{
    static const GLenum factors[8] = {
        GL_ZERO,      GL_ONE,           GL_SRC_COLOR, GL_ONE_MINUS_SRC_COLOR,
        GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA, GL_DST_ALPHA, GL_ONE_MINUS_DST_ALPHA,
    };
    if (code >= 8)
        throw std::runtime_error("unknown blendmode");
    return factors[code];
}

GLenum depth_func_gl(uint32_t code)
{
    static const GLenum funcs[5] = {GL_LESS, GL_LEQUAL, GL_GREATER, GL_EQUAL, GL_GEQUAL};
    if (code >= 5)
        throw std::runtime_error("unknown depth state");
    return funcs[code];
}

GLenum fill_mode_gl(uint32_t code)
{
    static const GLenum modes[3] = {GL_FILL, GL_POINT, GL_LINE};
    if (code >= 3)
        throw std::runtime_error("unknown polygon fill mode");
    return modes[code];
}

// ---- cStateManager ------------------------------------------------------------
cStateManager::cStateManager()
{
    applied.word[0] = applied.word[1] = 0xFFFFFFFFu;
    stack.reserve(100);
}

void cStateManager::enable_light(GLenum light)
{
    if (light < GL_LIGHT0 || light > GL_LIGHT3)
        throw std::runtime_error("statemanager currently only supports 4 lights");
    pending.set(gs::light(light - GL_LIGHT0), 1);
}

void cStateManager::pop()
{
    if (stack.empty())
        return;
    pending = stack.back();
    stack.pop_back();
}

void cStateManager::apply()
{
    cGLState diff;
    diff.word[0] = applied.word[0] ^ pending.word[0];
    diff.word[1] = applied.word[1] ^ pending.word[1];
    if (force_full_apply)
        diff.word[0] = diff.word[1] = 0xFFFFFFFFu;
    if ((diff.word[0] | diff.word[1]) == 0)
        return;
    // Checked before the first GL call, so a throw leaves GL and the applied
    // record consistent with each other.
    validate(diff);
    send(diff);
    applied = pending;
}

void cStateManager::validate(const cGLState& diff) const
{
    if (diff.get(gs::DEPTH_FUNC))
        depth_func_gl(pending.get(gs::DEPTH_FUNC));
    if (diff.get(gs::FILL_MODE))
        fill_mode_gl(pending.get(gs::FILL_MODE));
    if (diff.get(gs::BLEND_WORD)) {
        blend_factor_gl(pending.get(gs::BLEND_SRC_COLOR));
        blend_factor_gl(pending.get(gs::BLEND_DST_COLOR));
        blend_factor_gl(pending.get(gs::BLEND_SRC_ALPHA));
        blend_factor_gl(pending.get(gs::BLEND_DST_ALPHA));
    }
}

void cStateManager::toggle(GLenum cap, uint32_t on) const
{
    if (on)
        backend->enable(cap);
    else
        backend->disable(cap);
}

void cStateManager::send(const cGLState& diff) const
{
    const cGLState& p = pending;
    if (diff.get(gs::DEPTH_TEST))
        toggle(GL_DEPTH_TEST, p.get(gs::DEPTH_TEST));
    if (diff.get(gs::DEPTH_WRITE))
        backend->depth_mask(p.get(gs::DEPTH_WRITE) ? GL_TRUE : GL_FALSE);
    if (diff.get(gs::DEPTH_FUNC))
        backend->depth_func(depth_func_gl(p.get(gs::DEPTH_FUNC)));
    if (diff.get(gs::FILL_MODE))
        backend->polygon_mode(GL_FRONT_AND_BACK, fill_mode_gl(p.get(gs::FILL_MODE)));
    if (diff.get(gs::CULL_BACK))
        backend->cull_face(p.get(gs::CULL_BACK) ? GL_BACK : GL_FRONT);
    if (diff.get(gs::CULL))
        toggle(GL_CULL_FACE, p.get(gs::CULL));
    if (diff.get(gs::FRONT_CCW))
        backend->front_face(p.get(gs::FRONT_CCW) ? GL_CCW : GL_CW);
    if (diff.get(gs::MULTISAMPLE))
        toggle(GL_MULTISAMPLE, p.get(gs::MULTISAMPLE));
    if (diff.get(gs::ALPHA_TEST))
        toggle(GL_ALPHA_TEST, p.get(gs::ALPHA_TEST));
    if (diff.get(gs::BLEND))
        toggle(GL_BLEND, p.get(gs::BLEND));
    if (diff.get(gs::BLEND_WORD))
        backend->blend_func_separate(
            blend_factor_gl(p.get(gs::BLEND_SRC_COLOR)), blend_factor_gl(p.get(gs::BLEND_DST_COLOR)),
            blend_factor_gl(p.get(gs::BLEND_SRC_ALPHA)), blend_factor_gl(p.get(gs::BLEND_DST_ALPHA)));
    if (diff.get(gs::FOG))
        toggle(GL_FOG, p.get(gs::FOG));
    if (diff.get(gs::COLOR_MATERIAL))
        toggle(GL_COLOR_MATERIAL, p.get(gs::COLOR_MATERIAL));
    if (diff.get(gs::LIGHTING))
        toggle(GL_LIGHTING, p.get(gs::LIGHTING));
    for (uint32_t i = 0; i < 4; ++i)
        if (diff.get(gs::light(i)))
            toggle(GL_LIGHT0 + i, p.get(gs::light(i)));
}

void cStateManager::set_defaults()
{
    set_blend_func(gs::BLEND_DEFAULT);
    glAlphaFunc(GL_ALWAYS, 0.0f);
    glClearColor(0.5f, 0.6f, 0.7f, 1.0f);
    glClearDepth(1.0);
    set_front_face(true);
    set_cull(true);
    set_blend(true);
    set_alpha_test(false);
    // depth test and write on, GL_LESS, GL_FILL, back faces culled
    pending.word[0] = (pending.word[0] & ~0xFFu) | 0x83u;
    glShadeModel(GL_SMOOTH);
    glHint(GL_POINT_SMOOTH_HINT, GL_NICEST);
    glHint(GL_LINE_SMOOTH_HINT, GL_NICEST);
    glHint(GL_PERSPECTIVE_CORRECTION_HINT, GL_NICEST);
    glEnable(GL_LINE_SMOOTH);
    glEnable(GL_POINT_SMOOTH);
    set_multisample(false);
    set_default_textures();
    set_lighting(true);
    set_default_light_model();
    set_color_material(false);
    // Every field differs from what GL is believed to hold, so the apply
    // below sends each of them once.
    applied.word[0] = ~pending.word[0];
    applied.word[1] = ~pending.word[1];
    apply();
}

void cStateManager::set_default_textures() const
{
    glActiveTexture(GL_TEXTURE0);
    glBindTexture(GL_TEXTURE_1D, 0);
    glBindTexture(GL_TEXTURE_2D, 0);
    glBindTexture(GL_TEXTURE_RECTANGLE_ARB, 0);
    glDisable(GL_TEXTURE_2D);
    glDisable(GL_TEXTURE_1D);
    glDisable(GL_TEXTURE_RECTANGLE_ARB);
}

void cStateManager::set_default_light_model() const
{
    const GLfloat ambient[4] = {0.1f, 0.1f, 0.1f, 0.1f};
    glLightModelfv(GL_LIGHT_MODEL_AMBIENT, ambient);
    glLightModeli(GL_LIGHT_MODEL_TWO_SIDE, 0);
    glLightModeli(GL_LIGHT_MODEL_LOCAL_VIEWER, 1);
    glLightModeli(GL_LIGHT_MODEL_COLOR_CONTROL, GL_SEPARATE_SPECULAR_COLOR);
    glEnable(GL_COLOR_SUM);
}

void cStateManager::discard_primitives(bool on)
{
    if (on)
        glEnable(GL_RASTERIZER_DISCARD);
    else
        glDisable(GL_RASTERIZER_DISCARD);
    discarding = on;
}
