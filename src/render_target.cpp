#include "render_target.h"

#include <iostream>
#include <map>
#include <stdexcept>

#include "demo_clock.h"
#include "gl_error.h"
#include "screen_space.h"
#include "state_manager.h"
#include "video.h"

// ---- size classes -------------------------------------------------------------
const char* rtt_name(int32_t size_class)
{
    switch (size_class) {
    case RTT_NONE: return "RTT_NONE";
    case RTT_FULL: return "RTT_FULL";
    case RTT_HALF: return "RTT_HALF";
    case RTT_QUATER: return "RTT_QUATER";
    case RTT_EIGHTH: return "RTT_EIGHTH";
    case RTT_DOUBLE: return "RTT_DOUBLE";
    default: return "OOOPS";
    }
}

cRenderTargetSize rtt_size(int32_t size_class, uint32_t screen_width, uint32_t picture_height)
{
    switch (size_class) {
    case RTT_FULL:
    case RTT_HALF:
    case RTT_QUATER:
    case RTT_EIGHTH: {
        const uint32_t d = static_cast<uint32_t>(size_class);
        return {screen_width / d, picture_height / d};
    }
    case RTT_DOUBLE: return {2 * screen_width, 2 * picture_height};
    default: throw std::invalid_argument(std::string("rendertargetmanager: no render target of size ") + rtt_name(size_class));
    }
}

// ---- shared depth renderbuffers -------------------------------------------------
// One depth renderbuffer per target size, counted so that it is deleted with
// the last target using it (and a later target of that size gets a live one).
namespace {

struct cSharedDepth {
    GLuint name;     // renderbuffer name
    uint32_t users;  // targets attached to it
};

// Constructed before main, so it outlives the exit handler that destroys the
// targets (a function-level static first used later would die before it).
std::map<std::pair<uint32_t, uint32_t>, cSharedDepth> shared_depth_buffers;

std::map<std::pair<uint32_t, uint32_t>, cSharedDepth>& shared_depth()
{
    return shared_depth_buffers;
}

GLuint acquire_depth(uint32_t width, uint32_t height)
{
    auto [it, created] = shared_depth().try_emplace({width, height}, cSharedDepth{0, 0});
    if (created) {
        glGenRenderbuffersEXT(1, &it->second.name);
        glBindRenderbufferEXT(GL_RENDERBUFFER_EXT, it->second.name);
        glRenderbufferStorageEXT(GL_RENDERBUFFER_EXT, GL_DEPTH_COMPONENT, width, height);
    }
    ++it->second.users;
    return it->second.name;
}

void release_depth(uint32_t width, uint32_t height)
{
    auto it = shared_depth().find({width, height});
    if (it == shared_depth().end() || --it->second.users > 0)
        return;
    glDeleteRenderbuffersEXT(1, &it->second.name);
    shared_depth().erase(it);
}

}  // namespace

// ---- cRenderTarget_fbo -----------------------------------------------------------
cRenderTarget_fbo::cRenderTarget_fbo(uint32_t w, uint32_t h) : width(w), height(h) {}

cRenderTarget_fbo::~cRenderTarget_fbo()
{
    if (!texture)
        return;  // never initialised: no GL objects
    glBindFramebufferEXT(GL_FRAMEBUFFER_EXT, 0);
    glBindTexture(target, 0);
    glDeleteFramebuffersEXT(1, &fbo);
    if (depth_renderbuffer)
        release_depth(width, height);
    glDeleteTextures(1, &texture);
}

void cRenderTarget_fbo::init()
{
    check_gl_error(nullptr, "cRenderTarget_fbo::init");
    glGenTextures(1, &texture);
    glBindTexture(target, texture);
    glTexImage2D(target, 0, GL_RGBA8, width, height, 0, GL_BGRA, data_type, nullptr);
    glTexParameteri(target, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexParameteri(target, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexParameteri(target, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    glTexParameteri(target, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
    glGenFramebuffersEXT(1, &fbo);
    glBindFramebufferEXT(GL_FRAMEBUFFER_EXT, fbo);
    glFramebufferTexture2DEXT(GL_FRAMEBUFFER_EXT, GL_COLOR_ATTACHMENT0_EXT, target, texture, 0);
    if (has_depth) {
        depth_renderbuffer = acquire_depth(width, height);
        glFramebufferRenderbufferEXT(GL_FRAMEBUFFER_EXT, GL_DEPTH_ATTACHMENT_EXT, GL_RENDERBUFFER_EXT,
                                     depth_renderbuffer);
    }
    check_gl_error(nullptr, "cRenderTarget_fbo::init");
    glBindFramebufferEXT(GL_FRAMEBUFFER_EXT, 0);
    glBindTexture(target, 0);
}

void cRenderTarget_fbo::bind(bool clear)
{
    if (bind_hook)
        bind_hook(width, height);
    glGetIntegerv(GL_VIEWPORT, saved_viewport);
    glViewport(0, 0, width, height);
    glBindFramebufferEXT(GL_FRAMEBUFFER_EXT, fbo);
    glGetIntegerv(GL_DRAW_BUFFER, &saved_draw_buffer);
    glDrawBuffer(GL_COLOR_ATTACHMENT0_EXT);
    if (!clear)
        return;
    cStateManager::get_instance()->apply();
    glClear(has_depth ? GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT : GL_COLOR_BUFFER_BIT);
}

void cRenderTarget_fbo::unbind()
{
    glDrawBuffer(saved_draw_buffer);
    glBindFramebufferEXT(GL_FRAMEBUFFER_EXT, cVideo_SDL::get_instance()->screen_framebuffer);
    glViewport(saved_viewport[0], saved_viewport[1], saved_viewport[2], saved_viewport[3]);
}

void cRenderTarget_fbo::bind_texture(GLenum unit)
{
    bound_unit = unit;
    glActiveTexture(unit);
    glBindTexture(target, texture);
    glEnable(target);
    glActiveTexture(GL_TEXTURE0);
}

void cRenderTarget_fbo::unbind_texture()
{
    // 0 means "not bound"; GL has no texture unit 0, so fall back to the first.
    glActiveTexture(bound_unit ? bound_unit : GL_TEXTURE0);
    glBindTexture(target, 0);
    glDisable(target);
    bound_unit = 0;
    glActiveTexture(GL_TEXTURE0);
}

void cRenderTarget_fbo::copy_from_framebuffer()
{
    const cVideo_SDL* video = cVideo_SDL::get_instance();
    const GLint y = video->stretch ? 0 : (video->height - video->viewport_height) / 2;
    glReadBuffer(video->screen_framebuffer ? GL_COLOR_ATTACHMENT0_EXT : GL_BACK);
    glBindTexture(target, texture);
    glCopyTexImage2D(target, 0, GL_RGBA, 0, y, video->viewport_width, video->viewport_height, 0);
    glBindTexture(target, 0);
}

// ---- cTmpRenderTarget ---------------------------------------------------------------
cTmpRenderTarget::cTmpRenderTarget(int32_t c, cRenderTargetManager* m, cRenderTarget_fbo* t)
    : size_class(c), manager(m), target(t)
{
}

cTmpRenderTarget::cTmpRenderTarget(cTmpRenderTarget&& o) noexcept
    : size_class(o.size_class), manager(o.manager), target(std::exchange(o.target, nullptr))
{
}

cTmpRenderTarget& cTmpRenderTarget::operator=(cTmpRenderTarget&& o) noexcept
{
    if (this != &o) {
        release();
        size_class = o.size_class;
        manager = o.manager;
        target = std::exchange(o.target, nullptr);
    }
    return *this;
}

void cTmpRenderTarget::release()
{
    if (target && manager)
        manager->release(*this);
}

// ---- cRenderTargetManager --------------------------------------------------------------
cRenderTargetManager::cRenderTargetManager()
{
    const int32_t warm_up[] = {RTT_FULL, RTT_FULL,   RTT_FULL,   RTT_FULL,   RTT_FULL,   RTT_FULL,
                               RTT_FULL, RTT_HALF,   RTT_HALF,   RTT_HALF,   RTT_HALF,   RTT_HALF,
                               RTT_QUATER, RTT_QUATER, RTT_QUATER, RTT_QUATER, RTT_QUATER};
    // Room for the pool and more, so that returning a target never allocates.
    free_list.reserve(64);
    std::vector<cTmpRenderTarget> held;
    held.reserve(std::size(warm_up));
    for (int32_t size_class : warm_up)
        held.push_back(request(size_class));
    performance_warning = true;
    while (!held.empty()) {
        release(held.back());
        held.pop_back();
    }
}

cRenderTargetManager::~cRenderTargetManager()
{
    if (lent != 0)
        std::cerr << "## ERROR, rendertargetmanager: rendertarget still bound while exiting..." << std::endl;
    report();
    for (auto& entry : free_list)
        delete entry.second;
    free_list.clear();
}

void cRenderTargetManager::report() const
{
    std::cout << "# rrt-manager: number of tmp-rt allocated: " << free_list.size() << std::endl;
    std::cout << "# rtt-manager: maximum concurrently allocated RTs: " << max_lent << std::endl;
}

cTmpRenderTarget cRenderTargetManager::request(int32_t size_class)
{
    const cVideo_SDL* video = cVideo_SDL::get_instance();
    const cRenderTargetSize size = rtt_size(size_class, video->viewport_width, video->viewport_height);
    ++lent;
    max_lent = std::max(max_lent, lent);
    for (auto it = free_list.begin(); it != free_list.end(); ++it) {
        if (it->first == size_class) {
            cRenderTarget_fbo* target = it->second;
            free_list.erase(it);
            return cTmpRenderTarget(size_class, this, target);
        }
    }
    if (performance_warning)
        std::cout << "# performance-warning at " << (playback_clock ? playback_clock->elapsed() : 0)
                  << "ms: allocated rendertarget runtime: " << rtt_name(size_class) << std::endl;
    auto* target = new cRenderTarget_fbo(size.width, size.height);
    target->init();
    return cTmpRenderTarget(size_class, this, target);
}

void cRenderTargetManager::release(cTmpRenderTarget& handle)
{
    if (!handle.target)
        return;
    --lent;
    free_list.emplace_back(handle.size_class, handle.target);
    handle.target = nullptr;
}

cRenderTargetManager* create_render_target_manager()
{
    return cRenderTargetManager::get_instance();
}

cTmpRenderTarget get_tmp_render_target(int32_t size_class)
{
    return cRenderTargetManager::get_instance()->request(size_class);
}

void draw_render_target_fullscreen(cRenderTarget_fbo& target)
{
    begin_screen_space();
    target.bind_texture(GL_TEXTURE0);
    draw_unit_quad(static_cast<float>(target.width), static_cast<float>(target.height));
    target.unbind_texture();
    end_screen_space();
}
