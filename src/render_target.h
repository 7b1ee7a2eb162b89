#pragma once
// Off-screen render targets: frame buffer objects with a rectangle colour
// texture and a depth renderbuffer shared by every target of the same size.
// cRenderTargetManager (one instance, created by the GL start-up through
// create_render_target_manager(), destroyed by the exit handler) creates a
// warm-up pool at start-up and lends targets out as cTmpRenderTarget handles
// for the length of one pass; releasing a handle puts its target back. Targets
// are never freed during playback: they die with the manager, which then
// prints how many it made and how many were lent at once.
#include <cstdint>
#include <utility>
#include <vector>

#include "gl.h"
#include "singleton.h"

class cDemoClock;

// Size classes: the divisor of the screen size (RTT_DOUBLE doubles it).
enum : int32_t { RTT_NONE = 0, RTT_FULL = 1, RTT_HALF = 2, RTT_QUATER = 4, RTT_EIGHTH = 8, RTT_DOUBLE = -1 };

// "RTT_FULL", ... as spelled above; "OOOPS" for any other value.
const char* rtt_name(int32_t size_class);

struct cRenderTargetSize {
    uint32_t width;   // pixels
    uint32_t height;  // pixels
};
// Size of a class for a screen width and picture height. Throws
// std::invalid_argument for RTT_NONE and values that are not a class.
cRenderTargetSize rtt_size(int32_t size_class, uint32_t screen_width, uint32_t picture_height);

class iRenderTarget {
public:
    virtual void init() = 0;
    virtual void bind(bool clear) = 0;
    virtual void unbind() = 0;
    virtual void bind_texture(GLenum unit) = 0;
    virtual void unbind_texture() = 0;
    virtual ~iRenderTarget() = default;
};

class cRenderTarget_fbo : public iRenderTarget {
public:
    // No GL work until init().
    cRenderTarget_fbo(uint32_t width, uint32_t height);
    cRenderTarget_fbo(const cRenderTarget_fbo&) = delete;
    cRenderTarget_fbo& operator=(const cRenderTarget_fbo&) = delete;
    ~cRenderTarget_fbo() override;

    void init() override;
    // Draws into this target (viewport = target size); clear applies the
    // state manager first, then clears colour (and depth).
    void bind(bool clear) override;
    // Restores the viewport and draw buffer found at bind; binds the screen
    // (the window, or the off-screen target a tool draws the frame into).
    void unbind() override;
    void bind_texture(GLenum unit) override;
    void unbind_texture() override;
    // The visible picture of the back buffer into the colour texture.
    void copy_from_framebuffer();

    uint32_t width;                           // pixels; also the rectangle texture's s range
    uint32_t height;                          // pixels; also the t range
    GLuint fbo = 0;                           // frame buffer object name
    GLuint depth_renderbuffer = 0;            // shared with targets of the same size
    GLuint texture = 0;                       // colour texture name
    GLenum target = GL_TEXTURE_RECTANGLE_ARB;  // texture target
    GLenum data_type = GL_FLOAT;              // texel type given when storage is defined
    GLenum bound_unit = 0;                    // GL_TEXTUREn of the last bind_texture, 0 when not bound
    bool has_depth = true;                    // true for every target the program makes
    GLint saved_viewport[4] = {-1, -1, -1, -1};  // viewport found at bind
    GLint saved_draw_buffer = 0;              // GL_DRAW_BUFFER found at bind

    // When set, told the size of every target bound: how a profiler counts
    // passes without costing the show anything.
    static inline void (*bind_hook)(uint32_t width, uint32_t height) = nullptr;
};

class cRenderTargetManager;

// A lent target. Move-only; gives the target back when released or destroyed.
class cTmpRenderTarget {
public:
    cTmpRenderTarget() = default;
    cTmpRenderTarget(int32_t size_class, cRenderTargetManager* manager, cRenderTarget_fbo* target);
    cTmpRenderTarget(cTmpRenderTarget&& other) noexcept;
    cTmpRenderTarget& operator=(cTmpRenderTarget&& other) noexcept;
    cTmpRenderTarget(const cTmpRenderTarget&) = delete;
    cTmpRenderTarget& operator=(const cTmpRenderTarget&) = delete;
    ~cTmpRenderTarget() { release(); }

    void release();
    cRenderTarget_fbo* operator->() const { return target; }

    int32_t size_class = RTT_NONE;            // class the target was requested as
    cRenderTargetManager* manager = nullptr;  // lender
    cRenderTarget_fbo* target = nullptr;      // null once released
};

class cRenderTargetManager : public cSingleton<cRenderTargetManager> {
public:
    // Creates the warm-up pool: 7 full, 5 half and 5 quarter-size targets.
    cRenderTargetManager();
    // Prints the statistics and destroys the pooled targets.
    ~cRenderTargetManager() override;
    // The pool's size and the most targets lent at once, as printed at exit.
    void report() const;

    // A pooled target of the class, or a new one (with a performance warning
    // once the pool is warmed up).
    cTmpRenderTarget request(int32_t size_class);
    void release(cTmpRenderTarget& handle);

    std::vector<std::pair<int32_t, cRenderTarget_fbo*>> free_list;  // (class, target), oldest return first
    uint32_t lent = 0;                        // targets requested and not yet released
    uint32_t max_lent = 0;                    // highest value of lent
    bool performance_warning = false;         // false during warm-up
    const cDemoClock* playback_clock = nullptr;  // demo clock for warning times; null prints 0 ms
};

// Creates the manager with its pool (called once from the GL start-up).
cRenderTargetManager* create_render_target_manager();
// Requests from the one manager, creating it if needed.
cTmpRenderTarget get_tmp_render_target(int32_t size_class);

// begin_screen_space(), the target's texture on unit 0 over the unit square,
// end_screen_space().
void draw_render_target_fullscreen(cRenderTarget_fbo& target);
