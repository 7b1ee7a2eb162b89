#include <gmock/gmock.h>

#include "demo_clock.h"
#include "gl.h"
#include "layer_controls.h"
#include "resource_path.h"
#include "scenes/composition.h"
#include "shader_manager.h"
#include "render_target.h"
#include "shader_reload.h"
#include "shaders/shd_plain.h"
#include "support/shader_support.h"
#include "support/files.h"
#include "support/probe_scene.h"
#include "window_size.h"

using testing::HasSubstr;

namespace {

// ---- shader reload ----------------------------------------------------------------

const char* const PASS_VERT = "#version 120\nvoid main() { gl_Position = gl_Vertex; }\n";

std::string flat_frag(const char* rgb)
{
    return std::string("#version 120\nvoid main() { gl_FragColor = vec4(") + rgb + ", 1.0); }\n";
}

struct cShdStudioProbe : cShdPlain {
    cShdStudioProbe() : cShdPlain("qv_studio_probe.vert", "qv_studio_probe.frag") {}
};

class StudioReloadTest : public ShaderTest {
protected:
    void SetUp() override
    {
        ShaderTest::SetUp();
        write("qv_studio_probe.vert", PASS_VERT);
        write("qv_studio_probe.frag", flat_frag("1.0, 0.0, 0.0"));
        cResourcePath::get_instance()->add(dir.path.string());
        shaders = cShaderManager_GLSL::get_instance();
        shaders->register_shader<cShdStudioProbe>("studio_probe");
        ASSERT_TRUE(shaders->failed.empty());
    }
    void write(const char* name, const std::string& text) { dir.write(name, text); }

    // The probe program over the whole viewport; the colour of its centre.
    std::vector<uint8_t> draw_probe()
    {
        glDisable(GL_DEPTH_TEST);
        glDisable(GL_BLEND);
        glClearColor(0, 0, 0, 1);
        glClear(GL_COLOR_BUFFER_BIT);
        shaders->bind("studio_probe");
        glBegin(GL_QUADS);
        glVertex2f(-1, -1);
        glVertex2f(1, -1);
        glVertex2f(1, 1);
        glVertex2f(-1, 1);
        glEnd();
        shaders->unbind();
        std::vector<uint8_t> p = read_pixels(640, 360, 1, 1);
        return {p[0], p[1], p[2]};
    }

    cTempDir dir{"studio_shaders"};
    cShaderManager_GLSL* shaders = nullptr;
};

TEST_F(StudioReloadTest, AnEditedSourceIsRebuiltAndABrokenOneKeepsTheRunningProgram)
{
    cStudioShaderReload reload(*shaders);
    EXPECT_EQ(draw_probe(), (std::vector<uint8_t>{255, 0, 0}));
    EXPECT_EQ(reload.poll(1000).rebuilt, 0);  // nothing changed yet

    write("qv_studio_probe.frag", flat_frag("0.0, 1.0, 0.00"));  // a new size as well as a new time
    cReloadResult edited;
    EXPECT_THAT(stdout_of([&] { edited = reload.poll(2000); }), HasSubstr("reloaded studio_probe"));
    EXPECT_EQ(edited.rebuilt, 1);
    EXPECT_EQ(edited.failed, 0);
    EXPECT_EQ(draw_probe(), (std::vector<uint8_t>{0, 255, 0}));
    const GLuint good = shaders->find("studio_probe")->program;

    write("qv_studio_probe.frag", "#version 120\nvoid main() { gl_FragColor = vec4(oops); }\n");
    cReloadResult broken;
    const std::string log = stderr_of([&] { broken = reload.poll(3000); });
    EXPECT_EQ(broken.rebuilt, 0);
    EXPECT_EQ(broken.failed, 1);
    EXPECT_THAT(log, HasSubstr("oops"));  // the driver's log names the culprit
    EXPECT_THAT(log, HasSubstr("studio_probe does not build: kept the running program"));
    cShader_GLSL* probe = shaders->find("studio_probe");
    EXPECT_EQ(probe->program, good);
    EXPECT_TRUE(probe->is_loaded());
    EXPECT_EQ(draw_probe(), (std::vector<uint8_t>{0, 255, 0}));
    EXPECT_TRUE(shaders->failed.empty());
}

// ---- solo ----------------------------------------------------------------------------

class StudioDrawTest : public ShaderTest {
protected:
    cDemoClock clock;
};

TEST_F(StudioDrawTest, OnlyTheSoloLayerRendersAndEveryWindowComesBack)
{
    cSceneComposition comp(&clock);
    cProbeScene a(&clock, "a"), b(&clock, "b"), c(&clock, "c");
    comp.add_layer(10, {0, 100, &a, 1.0f, 0}, 0, 0);
    comp.add_layer(20, {50, 100, &b, 1.0f, 0}, 0, 0);
    comp.add_layer(30, {0, 100, &c, 1.0f, 0}, 0, 0);
    comp.add_layer(40, {200, 300, &a, 1.0f, 0}, 0, 0);
    cLayerLog log;
    comp.layer_observer = &log;
    clock.now = 60;

    std::vector<int32_t> keys;
    active_layer_keys(comp, 60, keys);
    EXPECT_EQ(keys, (std::vector<int32_t>{10, 20, 30}));

    cStudioSolo solo;
    solo.key = keys[1];
    solo.hide_others(comp);
    comp.draw();
    solo.restore_windows(comp);
    EXPECT_EQ(log.log, "<bb>");
    EXPECT_EQ(comp.layers.at(20).start, 50);
    EXPECT_EQ(comp.layers.at(40).start, 200);
    EXPECT_EQ(comp.layers.at(40).end, 300);

    log.log.clear();
    solo.key = -1;  // all again
    solo.hide_others(comp);
    comp.draw();
    solo.restore_windows(comp);
    EXPECT_EQ(log.log, "<aa><bb><cc>");
}

// ---- the window's size ----------------------------------------------------------

TEST_F(StudioDrawTest, APoolResizedBetweenFramesLendsTargetsOfTheNewSize)
{
    cRenderTargetManager* pool = create_render_target_manager();
    const size_t count = pool->free_list.size();
    resize_pool(*pool, 800, 450);
    ASSERT_EQ(pool->free_list.size(), count);
    for (const auto& [size_class, target] : pool->free_list) {
        const cRenderTargetSize want = rtt_size(size_class, 800, 450);
        EXPECT_EQ(target->width, want.width) << rtt_name(size_class);
        EXPECT_EQ(target->height, want.height) << rtt_name(size_class);
    }
    // A target of the new size takes drawing.
    cTmpRenderTarget full = get_tmp_render_target(RTT_FULL);
    glClearColor(0, 1, 0, 1);
    full->bind(true);
    EXPECT_EQ(glCheckFramebufferStatusEXT(GL_FRAMEBUFFER_EXT), static_cast<GLenum>(GL_FRAMEBUFFER_COMPLETE_EXT));
    EXPECT_EQ(read_pixels(799, 449, 1, 1)[1], 255);
    full->unbind();
    full.release();
    EXPECT_EQ(pool->free_list.size(), count) << "a target was made instead of lent";
}

}  // namespace
