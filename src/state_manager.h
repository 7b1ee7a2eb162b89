#pragma once
// The process-wide cache of fixed-function GL state (depth, culling, polygon
// fill, blending, alpha test, multisampling, fog, lighting, four lights).
// Drawing code edits the pending record and calls apply(), which sends GL
// only the fields that differ from what GL last received; push()/pop()
// bracket a pass. Created on first use, lives until the process ends; it owns
// two 64-bit records (applied, pending) and a small stack of saved ones.
// Invalid codes are programming errors: apply() throws before touching GL.
//
// All GL traffic of the cache goes through a table of function pointers
// (cGLStateBackend) so that tests can record exactly which calls an apply
// makes. set_defaults() and the camera and screen-space helpers (camera.h,
// screen_space.h) call GL directly.
#include <cstdint>
#include <vector>

#include "gl.h"
#include "singleton.h"

// Where a field lives in the two 32-bit words of a cGLState.
struct cStateField {
    uint8_t word;   // 0 = bytes 0-3, 1 = bytes 4-7
    uint8_t shift;  // position of the field's lowest bit in the word
    uint8_t bits;   // width of the field
    constexpr uint32_t mask() const { return ((bits == 32 ? 0u : (1u << bits)) - 1u) << shift; }
};

namespace gs {
// byte 0
inline constexpr cStateField DEPTH_TEST{0, 0, 1};
inline constexpr cStateField DEPTH_WRITE{0, 1, 1};
inline constexpr cStateField DEPTH_FUNC{0, 2, 3};  // depth-state code 0-4
inline constexpr cStateField FILL_MODE{0, 5, 2};   // fill-mode code 0-2
inline constexpr cStateField CULL_BACK{0, 7, 1};   // 1 = GL_BACK, 0 = GL_FRONT
// byte 1
inline constexpr cStateField FRONT_CCW{0, 8, 1};  // 1 = GL_CCW, 0 = GL_CW
inline constexpr cStateField MULTISAMPLE{0, 9, 1};
inline constexpr cStateField ALPHA_TEST{0, 10, 1};
inline constexpr cStateField CULL{0, 11, 1};
inline constexpr cStateField BLEND{0, 12, 1};
// bytes 2-3: the blend word, four blend-factor codes 0-7
inline constexpr cStateField BLEND_WORD{0, 16, 16};
inline constexpr cStateField BLEND_SRC_COLOR{0, 16, 4};
inline constexpr cStateField BLEND_DST_COLOR{0, 20, 4};
inline constexpr cStateField BLEND_SRC_ALPHA{0, 24, 4};
inline constexpr cStateField BLEND_DST_ALPHA{0, 28, 4};
// byte 5
inline constexpr cStateField FOG{1, 8, 1};
inline constexpr cStateField COLOR_MATERIAL{1, 9, 1};
inline constexpr cStateField LIGHTING{1, 10, 1};
inline constexpr cStateField LIGHT0{1, 11, 1};
// Light i (0-3) of GL_LIGHT0..GL_LIGHT3.
constexpr cStateField light(uint32_t i)
{
    return {LIGHT0.word, static_cast<uint8_t>(LIGHT0.shift + i), 1};
}

// Depth-state codes.
enum : uint32_t { DEPTH_LESS = 0, DEPTH_LEQUAL = 1, DEPTH_GREATER = 2, DEPTH_EQUAL = 3, DEPTH_GEQUAL = 4 };
// Fill-mode codes.
enum : uint32_t { FILL_FILL = 0, FILL_POINT = 1, FILL_LINE = 2 };
// Blend-factor codes.
enum : uint32_t {
    BF_ZERO = 0,
    BF_ONE = 1,
    BF_SRC_COLOR = 2,
    BF_ONE_MINUS_SRC_COLOR = 3,
    BF_SRC_ALPHA = 4,
    BF_ONE_MINUS_SRC_ALPHA = 5,
    BF_DST_ALPHA = 6,
    BF_ONE_MINUS_DST_ALPHA = 7,
};
// Blend words the program uses (colour src/dst in the low byte, alpha in the high).
enum : uint16_t {
    BLEND_DEFAULT = 0x0154,            // alpha blend, alpha replaced
    BLEND_ALPHA = 0x1154,              // ordinary alpha blending
    BLEND_ALPHA_ACCUMULATE = 0x1454,   // alpha blending, alpha accumulates
    BLEND_ADD_BY_ALPHA = 0x1114,       // additive by alpha
    BLEND_ADD_BY_ALPHA_KEEP = 0x1014,  // additive by alpha, destination alpha kept
    BLEND_ADD_BY_ALPHA_BOTH = 0x1414,  // additive by alpha, both channels
    BLEND_ADD = 0x1111,                // pure additive
    BLEND_ADD_KEEP = 0x1011,           // pure additive, destination alpha kept
    BLEND_REPLACE_ADD_ALPHA = 0x1101,  // replace colour, add alpha
    BLEND_REPLACE = 0x0101,            // replace
    BLEND_DARKEN = 0x5050,             // darken by source alpha
};
}  // namespace gs

// One complete render-state wish, 64 bits in two words (see gs:: for the
// layout). Bits outside the listed fields carry nothing.
struct cGLState {
    uint32_t word[2] = {0, 0};  // word[0] = bytes 0-3, word[1] = bytes 4-7

    constexpr uint32_t get(cStateField f) const { return (word[f.word] & f.mask()) >> f.shift; }
    constexpr void set(cStateField f, uint32_t value)
    {
        word[f.word] = (word[f.word] & ~f.mask()) | ((value << f.shift) & f.mask());
    }
    constexpr bool operator==(const cGLState&) const = default;
};

// The GL calls the cache makes. The default table calls GL; tests install a
// recording one.
struct cGLStateBackend {
    void (*enable)(GLenum cap);
    void (*disable)(GLenum cap);
    void (*depth_mask)(GLboolean flag);
    void (*depth_func)(GLenum func);
    void (*polygon_mode)(GLenum face, GLenum mode);
    void (*cull_face)(GLenum face);
    void (*front_face)(GLenum mode);
    void (*blend_func_separate)(GLenum src_rgb, GLenum dst_rgb, GLenum src_alpha, GLenum dst_alpha);
};
extern const cGLStateBackend GL_STATE_BACKEND;

// GL enums of the codes; throw the cache's messages for invalid codes.
GLenum blend_factor_gl(uint32_t code);
GLenum depth_func_gl(uint32_t code);
GLenum fill_mode_gl(uint32_t code);

class cStateManager : public cSingleton<cStateManager> {
public:
    cStateManager();

    // Setters edit the pending state only.
    void set_depth_test(bool on) { pending.set(gs::DEPTH_TEST, on); }
    void set_depth_write(bool on) { pending.set(gs::DEPTH_WRITE, on); }
    void set_depth_func(uint32_t code) { pending.set(gs::DEPTH_FUNC, code); }
    void set_fill_mode(uint32_t code) { pending.set(gs::FILL_MODE, code); }
    void set_cull_side(bool back) { pending.set(gs::CULL_BACK, back); }
    void set_cull(bool on) { pending.set(gs::CULL, on); }
    void set_front_face(bool ccw) { pending.set(gs::FRONT_CCW, ccw); }
    void set_multisample(bool on) { pending.set(gs::MULTISAMPLE, on); }
    void set_alpha_test(bool on) { pending.set(gs::ALPHA_TEST, on); }
    void set_blend(bool on) { pending.set(gs::BLEND, on); }
    void set_blend_func(uint16_t word) { pending.set(gs::BLEND_WORD, word); }
    void set_blend_func(uint32_t src_color, uint32_t dst_color, uint32_t src_alpha, uint32_t dst_alpha)
    {
        set_blend_func(static_cast<uint16_t>((src_color & 15) | (dst_color & 15) << 4 | (src_alpha & 15) << 8 |
                                             (dst_alpha & 15) << 12));
    }
    void set_fog(bool on) { pending.set(gs::FOG, on); }
    void set_color_material(bool on) { pending.set(gs::COLOR_MATERIAL, on); }
    void set_lighting(bool on) { pending.set(gs::LIGHTING, on); }
    // GL_LIGHT0..GL_LIGHT3 only; lights go off again only through pop().
    void enable_light(GLenum light);

    void push() { stack.push_back(pending); }
    // An unmatched pop leaves the stack empty and the pending state as it is.
    void pop();
    void apply();
    // GL's fixed defaults and the default pending state, sent in full.
    void set_defaults();
    // Switches rasterising off or back on (GL 3.0 or transform feedback).
    void discard_primitives(bool on);

    cGLState applied;              // what GL last received; all ones until the first apply
    std::vector<cGLState> stack;   // saved pending states, 100 reserved
    cGLState pending;              // what the callers currently want
    bool force_full_apply = false;  // send every field on each apply (to check the delta logic)
    // GL_RASTERIZER_DISCARD is on: what is drawn now reaches no picture, so a
    // costly draw may be left out. Set through discard_primitives().
    bool discarding = false;
    const cGLStateBackend* backend = &GL_STATE_BACKEND;  // where apply() sends its calls

private:
    void validate(const cGLState& diff) const;
    void send(const cGLState& diff) const;
    void toggle(GLenum cap, uint32_t on) const;
    void set_default_textures() const;
    void set_default_light_model() const;
};
