#pragma once
// Helpers for the shader tests: a fixture with the shader manager started on
// the test context, every shader class under its registered name, and
// small off-screen targets with exact RGBA8 read-back.
#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "gl.h"
#include "shader_manager.h"
#include "support/gl_context.h"

class ShaderTest : public GlTest {
protected:
    void SetUp() override;  // search dirs for the copied sources, init()
};

// Registers every shader class of the program under its registered name.
void register_every_shader();
// The registered names register_every_shader uses, in registration order.
const std::vector<std::string>& every_shader_name();

// A w x h RGBA8 texture filled with one colour (0-255 channels).
GLuint make_texture(GLenum target, int w, int h, std::array<uint8_t, 4> rgba);
GLuint make_texture(GLenum target, int w, int h, const std::vector<uint8_t>& rgba);

// Off-screen RGBA8 colour target bound for drawing while it lives; the
// viewport covers it.
struct ScopedTarget {
    ScopedTarget(int w, int h);
    ~ScopedTarget();
    std::vector<uint8_t> pixels() const;          // bottom row first
    std::array<int, 4> pixel(int x, int y) const;  // one RGBA texel
    int width;           // pixels
    int height;          // pixels
    GLuint fbo = 0;      // framebuffer object
    GLuint colour = 0;   // its RGBA8 texture
};

// Unit quad under an orthographic unit square with identity model-view;
// unit 0 coordinates span (0,0)-(w0,h0), unit 1 (0,0)-(w1,h1).
void draw_quad(float w0, float h0, float w1, float h1);

inline cShaderManager_GLSL* mgr() { return cShaderManager_GLSL::get_instance(); }

// Binds `tex` to a texture unit, leaving unit 0 active.
void bind_unit(int unit, GLenum target, GLuint tex);

// Sets parameter `id` of a registered program to a block of floats or to one.
void send(const char* shader, int id, std::vector<float> values);
void send(const char* shader, int id, float value);

// Each channel of an RGBA pixel within `tolerance` of the wanted one.
void expect_near(const std::array<int, 4>& got, const std::array<int, 4>& want, int tolerance,
                 const std::string& what = "");

// One billboard particle centred at (centre, centre, 0) as the particle
// programs take it: the corner index in texture set 3 picks which attribute
// holds the centre; every other attribute holds junk far off screen.
void draw_particle(float centre);
