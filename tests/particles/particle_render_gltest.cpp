#include "support/gl_context.h"

#include "demo_clock.h"
#include "gl.h"
#include "particles/particle_effect.h"
#include "particles/particle_render.h"
#include "particles/particle_system.h"
#include "resource_path.h"
#include "shader_manager.h"
#include "shaders/shd_plain.h"
#include "shaders/shd_surface.h"
#include "state_manager.h"
#include "support/files.h"

namespace {

// A billboard program that honours the vertex contract: the corner index in
// texture set 3 picks the attribute holding the centre; quads are drawn
// straight in clip space, 0.05 on each side of the centre.
const char* const VERT = R"(#version 120
void main() {
    float j = gl_MultiTexCoord3.x;
    vec3 c = j < 0.5 ? gl_Vertex.xyz : j < 1.5 ? gl_MultiTexCoord0.xyz
           : j < 2.5 ? gl_MultiTexCoord1.xyz : gl_MultiTexCoord2.xyz;
    vec2 side = vec2(mod(j, 2.0) > 0.5 ? 1.0 : -1.0, j > 1.5 ? 1.0 : -1.0);
    gl_Position = vec4(c.xy + side * 0.05, 0.0, 1.0);
})";
const char* const FRAG = "#version 120\nvoid main() { gl_FragColor = vec4(1.0); }\n";
const char* const TEST_SHADER = "test_billboard_shader";

// Registered like any shader class; the renderer binds it by name in place of "pexpshader".
class cShdTestBillboard : public cShdPlain {
public:
    cShdTestBillboard() : cShdPlain("test_billboard.vert", "test_billboard.frag") {}
};

class ParticleRenderTest : public GlTest {
protected:
    void SetUp() override
    {
        GlTest::SetUp();
        dir.write("test_billboard.vert", VERT);
        dir.write("test_billboard.frag", FRAG);
        cResourcePath::get_instance()->add(dir.path.string());
        cResourcePath::get_instance()->add("../src/shaders");
        cShaderManager_GLSL* shaders = cShaderManager_GLSL::get_instance();
        shaders->init();
        shaders->register_shader<cShdTestBillboard>(TEST_SHADER);
    }
    // Clears, renders the system once and says whether the pixel under the
    // clip-space point (x, y) was covered.
    bool frame_covers(cParticleSystem& ps, cPSRenderBillboards& r, float x, float y)
    {
        glClearColor(0, 0, 0, 1);
        glClear(GL_COLOR_BUFFER_BIT);
        r.render(ps, TEST_SHADER);
        EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
        return covered(x, y);
    }
    static bool covered(float x, float y)
    {
        const int px = static_cast<int>((x + 1.0f) * 0.5f * 1280.0f);
        const int py = static_cast<int>((y + 1.0f) * 0.5f * 720.0f);
        return read_pixels(px, py, 1, 1)[0] > 128;
    }
    static void place(cParticleSystem& ps, int slot, float x, float y, int32_t time)
    {
        ps.alive[slot] = true;
        ps.life[slot] = 1.0f;
        ps.positions[slot] = {x, y, 0.0f};
        ps.now = ps.last_time = time;
    }

    cTempDir dir{"billboard"};
};

}  // namespace

TEST_F(ParticleRenderTest, DrawsOneFrameLateAndOnlyLiveParticles)
{
    cParticleSystem ps(16);
    cPSRenderBillboards r;
    r.init(16);
    place(ps, 5, -0.5f, 0.0f, 100);
    place(ps, 9, 0.0f, 0.5f, 100);
    EXPECT_FALSE(frame_covers(ps, r, -0.5f, 0.0f));  // first frame: nothing to draw yet

    ps.positions[5] = {0.5f, 0.0f, 0.0f};
    ps.alive[9] = false;
    ps.now = ps.last_time = 150;
    EXPECT_TRUE(frame_covers(ps, r, -0.5f, 0.0f));  // the previous frame's copy
    EXPECT_TRUE(covered(0.0f, 0.5f));
    EXPECT_FALSE(covered(0.5f, 0.0f));
    EXPECT_TRUE(frame_covers(ps, r, 0.5f, 0.0f));
    EXPECT_FALSE(covered(-0.5f, 0.0f));
    EXPECT_FALSE(covered(0.0f, 0.5f));
}

TEST_F(ParticleRenderTest, DefaultProgramGetsSizeAndIntensityAndTheBindingIsRestored)
{
    cParticleSystem ps(4);
    cPSRenderBillboards r;
    r.init(4);
    r.intensity = 0.3f;
    cShaderManager_GLSL* shaders = cShaderManager_GLSL::get_instance();
    shaders->bind(TEST_SHADER);
    place(ps, 0, 0.0f, 0.0f, 10);
    r.render(ps, "");
    r.render(ps, "");
    EXPECT_EQ(shaders->current, TEST_SHADER);
    auto* pexp = dynamic_cast<cShdParticleExpansion*>(shaders->find("pexpshader"));
    ASSERT_NE(pexp, nullptr);
    EXPECT_FLOAT_EQ(pexp->particle_size, 0.5f);
    EXPECT_FLOAT_EQ(pexp->particle_intensity, 0.3f);
    EXPECT_TRUE(cStateManager::get_instance()->stack.empty());
}

TEST_F(ParticleRenderTest, EveryCornerFindsItsCentreInAFullPool)
{
    const int n = 8;
    cParticleSystem ps(n);
    cPSRenderBillboards r;
    r.init(n);
    for (int i = 0; i < n; ++i)
        place(ps, i, -0.8f + 0.2f * i, 0.3f * ((i & 1) ? 1.0f : -1.0f), 10);
    for (int frame = 0; frame < 2; ++frame)  // the second frame draws the first's copy
        frame_covers(ps, r, 0, 0);
    EXPECT_EQ(r.draw_count, n);
    GLint centre_size = 0;  // the last corner's reads must stay inside
    glBindBufferARB(GL_ARRAY_BUFFER_ARB, r.centre_buffer);
    glGetBufferParameterivARB(GL_ARRAY_BUFFER_ARB, GL_BUFFER_SIZE_ARB, &centre_size);
    glBindBufferARB(GL_ARRAY_BUFFER_ARB, 0);
    EXPECT_GE(centre_size, n * 48 + 36);
    for (int i = 0; i < n; ++i) {
        const float x = -0.8f + 0.2f * i, y = 0.3f * ((i & 1) ? 1.0f : -1.0f);
        for (float dx : {-0.04f, 0.04f})
            for (float dy : {-0.04f, 0.04f})
                EXPECT_TRUE(covered(x + dx, y + dy)) << i;
        EXPECT_FALSE(covered(x + 0.06f, y)) << i;
    }
}

TEST_F(ParticleRenderTest, PausedEffectKeepsDrawingTheLastData)
{
    cParticleEffect fx;
    create_particle_effect(fx, 8);
    place(*fx.system, 0, 0.0f, 0.0f, 0);
    cDemoClock clock;
    clock.now = 1000;
    update_particle_effect(fx, clock);  // last_time 1000
    auto& r = *static_cast<cPSRenderBillboards*>(fx.renderer);
    frame_covers(*fx.system, r, 0, 0);
    clock.paused = true;
    for (int frame = 0; frame < 3; ++frame) {
        update_particle_effect(fx, clock);
        EXPECT_TRUE(frame_covers(*fx.system, r, 0, 0));
        EXPECT_FALSE(r.mapped);  // nothing changed: no refill
    }
    destroy_particle_effect(fx);
}
