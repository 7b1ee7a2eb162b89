#include <gmock/gmock.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <stdexcept>

#include "resource_path.h"
#include "shader_manager.h"
#include "shaders/shd_plain.h"
#include "shaders/shd_post.h"
#include "shaders/shd_surface.h"
#include "support/shader_support.h"
#include "values/var.h"

namespace fs = std::filesystem;
using testing::HasSubstr;
using testing::StartsWith;
using testing::EndsWith;

namespace {

const std::string kRule(51, '-');

GLint bound_program()
{
    GLint p = 0;
    glGetIntegerv(GL_CURRENT_PROGRAM, &p);
    return p;
}

cShaderManager_GLSL* mgr()
{
    return cShaderManager_GLSL::get_instance();
}

// A directory of test-only shader sources, registered as a search dir.
class TempShaderDir {
public:
    TempShaderDir()
    {
        dir = fs::temp_directory_path() / ("qv_shaders_" + std::to_string(getpid()));
        fs::create_directories(dir);
        cResourcePath::get_instance()->add(dir.string());
    }
    ~TempShaderDir() { fs::remove_all(dir); }
    std::string write(const std::string& name, const std::string& text)
    {
        std::ofstream(dir / name) << text;
        return (dir / name).string();
    }
    fs::path dir;
};

const char* kPassVert =
    "#version 120\nvarying vec3 v;\nvoid main() { v = gl_Vertex.xyz; gl_Position = gl_Vertex; }\n";

struct cShdBroken : cShdPlain {
    cShdBroken() : cShdPlain("qv_broken.vert", "qv_broken.frag") {}
};
struct cShdMislinked : cShdPlain {
    cShdMislinked() : cShdPlain("qv_mislinked.vert", "qv_mislinked.frag") {}
};
struct cShdMissing : cShdPlain {
    cShdMissing() : cShdPlain("qv_missing.vert", "qv_missing.frag") {}
};
struct cShdThreeSamplers : cShdPlain {
    cShdThreeSamplers() : cShdPlain("qv_three.vert", "qv_three.frag") {}
};

}  // namespace

// ---- start-up ------------------------------------------------------------

class ShaderManagerInitTest : public GlTest {};

TEST_F(ShaderManagerInitTest, LogsVersionsRegistersDefaultAndLeavesNothingBound)
{
    cResourcePath::get_instance()->add("../src/shaders");
    testing::internal::CaptureStdout();
    mgr()->init();
    std::string out = testing::internal::GetCapturedStdout();
    EXPECT_THAT(out, StartsWith("# GLSL: GLSL compiletime version: 120\n# GLSL: Chose GL version:\t"));
    EXPECT_THAT(out, HasSubstr("\n# GLSL: Chose GLSL version:\t#version 120 (driver offers "));
    ASSERT_NE(mgr()->find("default_shader"), nullptr);
    EXPECT_TRUE(mgr()->find("default_shader")->is_loaded());
    EXPECT_EQ(mgr()->current, "null_shader");
    EXPECT_EQ(bound_program(), 0);
}

TEST_F(ShaderManagerInitTest, UnbindWithoutInitReportsMissingContext)
{
    testing::internal::CaptureStderr();
    mgr()->unbind();
    std::string err = testing::internal::GetCapturedStderr();
    EXPECT_THAT(err, StartsWith("## ERROR in ../src/cShaderManager_GLSL line "));
    EXPECT_THAT(err, EndsWith(": no current GLSL-context available!\n"));
}

TEST(ShaderVersionTest, ParsesGlAndGlslVersionStrings)
{
    cGLVersion gl = parse_gl_version("4.5 (Compatibility Profile) Mesa 22.3.6", false);
    EXPECT_EQ(gl.major, 4);
    EXPECT_EQ(gl.minor, 5);
    cGLVersion glsl = parse_gl_version("1.20 NVIDIA via Cg compiler", true);
    EXPECT_EQ(glsl.major * 100 + glsl.minor, 120);
    EXPECT_EQ(parse_gl_version("1.2", true).minor, 20);
    EXPECT_EQ(parse_gl_version("1.10", true).minor, 10);
    EXPECT_EQ(parse_gl_version(nullptr, false).major, 0);
    EXPECT_EQ(parse_gl_version("OpenGL ES", false).major, 0);
}

// ---- every program -----------------------------------------------------------

TEST_F(ShaderTest, EveryRegisteredProgramCompilesLinksAndFindsItsParameters)
{
    // Any compile/link log or missing-parameter message lands on stderr.
    testing::internal::CaptureStderr();
    register_every_shader();
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
    for (const std::string& name : every_shader_name()) {
        cShader_GLSL* s = mgr()->find(name);
        ASSERT_NE(s, nullptr) << name;
        EXPECT_TRUE(s->is_loaded()) << name;
        EXPECT_NE(s->program, 0u) << name;
        mgr()->bind(name);
        EXPECT_EQ(mgr()->current, name);
        EXPECT_EQ(bound_program(), static_cast<GLint>(s->program)) << name;
    }
    mgr()->unbind();
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    // The classes that do not report missing uniforms must still find them.
    EXPECT_GE(static_cast<cShdBlurTex*>(mgr()->find("alpha_blur_shader"))->loc_sampledir, 0);
    EXPECT_GE(static_cast<cShdBlurTex*>(mgr()->find("no_alpha_blur_shader"))->loc_sampledir, 0);
    auto* lmt = static_cast<cShdLightmapTriple*>(mgr()->find("lmt_shader"));
    EXPECT_GE(lmt->loc_intensities, 0);
    EXPECT_GE(lmt->loc_lightmap_col, 0);
    EXPECT_GE(static_cast<cShdXrayTex*>(mgr()->find("xraytex_shader"))->loc_lightemit, 0);
    EXPECT_GE(static_cast<cShdXrayTex*>(mgr()->find("fog_shader"))->loc_lightemit, 0);
}

TEST_F(ShaderTest, TwoNamesOfOneClassAreSeparateProgramsFromTheSameFiles)
{
    mgr()->register_shader<cShdRGBAtex>("rgbatex_shader");
    mgr()->register_shader<cShdRGBAtex>("rgba_shader");
    cShader_GLSL* a = mgr()->find("rgbatex_shader");
    cShader_GLSL* b = mgr()->find("rgba_shader");
    ASSERT_TRUE(a && b);
    EXPECT_NE(a, b);
    EXPECT_NE(a->program, b->program);
    EXPECT_EQ(a->get_fragment_path(), b->get_fragment_path());
    EXPECT_THAT(a->get_vertex_path(), EndsWith("/src/shaders/RGBAtex.vert"));
    // A second registration under a taken name keeps the first object.
    mgr()->register_shader<cShdNotex>("rgba_shader");
    EXPECT_EQ(mgr()->find("rgba_shader"), b);
}

TEST_F(ShaderTest, CompositingProgramsComeFromTheCompDirectory)
{
    mgr()->register_shader<cShdCompScreen>("screen_comp");
    EXPECT_THAT(mgr()->find("screen_comp")->get_fragment_path(), EndsWith("/src/shaders/comp/comp_screen.frag"));
}

// ---- failures ------------------------------------------------------------------

TEST_F(ShaderTest, BrokenSourcePrintsErrorBlockStaysRegisteredAndBindsDefault)
{
    TempShaderDir tmp;
    tmp.write("qv_broken.vert", kPassVert);
    std::string frag_path = tmp.write("qv_broken.frag", "#version 120\nvoid main() { gl_FragColor = oops; }\n");

    testing::internal::CaptureStderr();
    mgr()->register_shader<cShdBroken>("broken_shader");
    std::string err = testing::internal::GetCapturedStderr();

    EXPECT_THAT(err, StartsWith("\n" + kRule + "\nGLSL error: compiling \"qv_broken.frag\" failed\n"));
    EXPECT_THAT(err, HasSubstr("oops"));  // the compiler's own log sits inside the block
    EXPECT_THAT(err, EndsWith(kRule + "\nlast-shader: null_shader\nGLSL error, exiting...\n"
                                      "## ERROR: cShader_GLSL::load_from_files() failed on qv_broken.frag( " +
                              frag_path + " )\n"));

    cShader_GLSL* broken = mgr()->find("broken_shader");
    ASSERT_NE(broken, nullptr);
    EXPECT_FALSE(broken->is_loaded());
    EXPECT_EQ(broken->program, 0u);
    EXPECT_EQ(broken->vertex_shader, 0u);  // the good vertex stage is dropped too

    mgr()->bind("broken_shader");
    EXPECT_EQ(mgr()->current, "default_shader");
    EXPECT_EQ(bound_program(), static_cast<GLint>(mgr()->find("default_shader")->program));
}

TEST_F(ShaderTest, LinkErrorIsReportedOnTheFragmentFile)
{
    TempShaderDir tmp;
    tmp.write("qv_mislinked.vert", kPassVert);
    std::string frag_path =
        tmp.write("qv_mislinked.frag", "#version 120\nvarying vec2 v;\nvoid main() { gl_FragColor = vec4(v, 0, 1); }\n");

    testing::internal::CaptureStderr();
    mgr()->register_shader<cShdMislinked>("mislinked_shader");
    std::string err = testing::internal::GetCapturedStderr();
    EXPECT_THAT(err, HasSubstr("\nGLSL error: linking \"qv_mislinked.vert\" with \"qv_mislinked.frag\" failed\n"));
    EXPECT_THAT(err, EndsWith("failed on qv_mislinked.frag( " + frag_path + " )\n"));
    EXPECT_FALSE(mgr()->find("mislinked_shader")->is_loaded());
}

TEST_F(ShaderTest, MissingSourceFailsOnTheVertexFileWithAnEmptyPath)
{
    testing::internal::CaptureStderr();
    mgr()->register_shader<cShdMissing>("missing_shader");
    std::string err = testing::internal::GetCapturedStderr();
    EXPECT_THAT(err, HasSubstr("GLSL error: cannot read shader source \"qv_missing.vert\"\n" + kRule));
    EXPECT_THAT(err, EndsWith("## ERROR: cShader_GLSL::load_from_files() failed on qv_missing.vert(  )\n"));
    EXPECT_EQ(mgr()->find("missing_shader")->get_vertex_path(), "");
}

TEST_F(ShaderTest, ErrorBlockNamesTheShaderBoundAtTheTime)
{
    mgr()->bind("default_shader");
    EXPECT_THAT(shader_error_block("e", "log line", mgr()->current),
                testing::Eq("\n" + kRule + "\ne\nlog line\n" + kRule +
                            "\nlast-shader: default_shader\nGLSL error, exiting...\n"));
    EXPECT_EQ(shader_error_block("e", "", "x"), "\n" + kRule + "\ne\n" + kRule + "\nlast-shader: x\nGLSL error, exiting...\n");
}

// ---- binding ---------------------------------------------------------------------

TEST_F(ShaderTest, UnknownNameWarnsAndLeavesNothingBound)
{
    mgr()->register_shader<cShdVCol>("vcol_shader");
    mgr()->bind("vcol_shader");
    testing::internal::CaptureStderr();
    mgr()->bind("no_such_shader");
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "#WARNING in cShaderManager_GLSL::bind: trying to bind unknown shader: \"no_such_shader\"\n");
    EXPECT_EQ(mgr()->current, "null_shader");
    EXPECT_EQ(bound_program(), 0);
}

TEST_F(ShaderTest, PushAndPopRestoreTheCallersBinding)
{
    mgr()->register_shader<cShdVCol>("vcol_shader");
    mgr()->register_shader<cShdNotex>("notex_shader");
    GLint vcol = static_cast<GLint>(mgr()->find("vcol_shader")->program);

    mgr()->push_shader();  // nothing bound
    mgr()->bind("vcol_shader");
    mgr()->push_shader();
    mgr()->bind("notex_shader");
    mgr()->bind("notex_shader");  // rebinding the same name keeps it bound
    EXPECT_EQ(mgr()->current, "notex_shader");
    EXPECT_EQ(mgr()->depth, 2u);

    mgr()->pop_shader();
    EXPECT_EQ(mgr()->current, "vcol_shader");
    EXPECT_EQ(bound_program(), vcol);
    mgr()->pop_shader();
    EXPECT_EQ(mgr()->current, "null_shader");
    EXPECT_EQ(bound_program(), 0);
    EXPECT_EQ(mgr()->depth, 0u);

    // A second round reuses the saved slots and still restores exactly.
    mgr()->bind("notex_shader");
    mgr()->push_shader();
    mgr()->bind("vcol_shader");
    mgr()->pop_shader();
    EXPECT_EQ(mgr()->current, "notex_shader");
    mgr()->unbind();

    testing::internal::CaptureStderr();
    mgr()->pop_shader();  // unbalanced: reported, nothing changes
    EXPECT_THAT(testing::internal::GetCapturedStderr(), HasSubstr("shader stack is empty"));
    EXPECT_EQ(mgr()->current, "null_shader");
}

TEST_F(ShaderTest, SamplersPointAtUnitsZeroOneTwo)
{
    TempShaderDir tmp;
    tmp.write("qv_three.vert", kPassVert);
    tmp.write("qv_three.frag",
              "#version 120\nuniform sampler2D tex0; uniform sampler2D tex1; uniform sampler2D tex2;\n"
              "varying vec3 v;\nvoid main() { gl_FragColor = texture2D(tex0, v.xy) + texture2D(tex1, v.xy)"
              " + texture2D(tex2, v.xy); }\n");
    mgr()->register_shader<cShdThreeSamplers>("three_shader");
    mgr()->register_shader<cShdCompOver>("blend_comp");
    GLuint three = mgr()->find("three_shader")->program;
    for (GLint unit = 0; unit < 3; ++unit) {
        GLint value = -1;
        glGetUniformiv(three, glGetUniformLocation(three, ("tex" + std::to_string(unit)).c_str()), &value);
        EXPECT_EQ(value, unit);
    }
    GLuint comp = mgr()->find("blend_comp")->program;
    GLint top = -1;
    glGetUniformiv(comp, glGetUniformLocation(comp, "tex1"), &top);
    EXPECT_EQ(top, 1);
    EXPECT_EQ(bound_program(), 0);  // pointing the samplers leaves the binding alone
}

// ---- parameters -------------------------------------------------------------------

namespace {

float uniform_value(const std::string& shader, const char* name, int index = 0)
{
    GLuint p = mgr()->find(shader)->program;
    float v[16] = {};
    glGetUniformfv(p, glGetUniformLocation(p, name), v);
    return v[index];
}

}  // namespace

TEST_F(ShaderTest, ParametersReachTheBoundProgramAtOnceAndOthersAtTheirNextBind)
{
    mgr()->register_shader<cShdLevels>("levels_shader");
    mgr()->bind("levels_shader");
    EXPECT_FLOAT_EQ(uniform_value("levels_shader", "inBlack"), 200.0f);  // start value uploaded at bind

    float block[5] = {10, 240, 1.5f, 5, 250};
    cVar<float*> var("", nullptr);
    float* ptr = block;
    var.value = &ptr;
    mgr()->set_shader_parameter("levels_shader", 1, &var);
    EXPECT_FLOAT_EQ(uniform_value("levels_shader", "inBlack"), 10.0f);
    EXPECT_FLOAT_EQ(uniform_value("levels_shader", "Gamma"), 1.5f);
    EXPECT_FLOAT_EQ(uniform_value("levels_shader", "outWhite"), 250.0f);

    mgr()->unbind();
    block[0] = 99;  // values are copied at set time, not read later
    float next[5] = {1, 2, 3, 4, 5};
    ptr = next;
    mgr()->set_shader_parameter("levels_shader", 1, &var);
    EXPECT_FLOAT_EQ(uniform_value("levels_shader", "inBlack"), 10.0f);  // not bound: only stored
    mgr()->bind("levels_shader");
    EXPECT_FLOAT_EQ(uniform_value("levels_shader", "inBlack"), 1.0f);
}

TEST_F(ShaderTest, RadialBlurIgnoresOtherIdsAndWrongVariableTypes)
{
    mgr()->register_shader<cShdRadialblur>("radialblur_shader");
    auto* blur = static_cast<cShdRadialblur*>(mgr()->find("radialblur_shader"));
    float block[6] = {1, 2, 3, 4, 5, 6};
    float* ptr = block;
    cVar<float*> var("", &ptr);
    mgr()->set_shader_parameter("radialblur_shader", 2, &var);
    EXPECT_FLOAT_EQ(blur->center[0], 128.0f);
    float f = 7;
    cVar<float> scalar("", &f);
    mgr()->set_shader_parameter("radialblur_shader", 1, &scalar);
    EXPECT_FLOAT_EQ(blur->dist, 100.0f);
    mgr()->set_shader_parameter("radialblur_shader", 1, &var);
    EXPECT_FLOAT_EQ(blur->center[1], 2.0f);
    EXPECT_FLOAT_EQ(blur->multiplier, 6.0f);
    mgr()->bind("radialblur_shader");
    EXPECT_FLOAT_EQ(uniform_value("radialblur_shader", "blur_center", 1), 2.0f);
    EXPECT_FLOAT_EQ(uniform_value("radialblur_shader", "num_samples"), 4.0f);
}

TEST_F(ShaderTest, HsbConvertsDegreesAndPercentOnArrival)
{
    mgr()->register_shader<cShdPostHSB>("hsb_shader");
    float hsb[3] = {180, 0, 0};
    float* ptr = hsb;
    cVar<float*> var("", &ptr);
    mgr()->set_shader_parameter("hsb_shader", 7, &var);  // any id
    auto* shd = static_cast<cShdPostHSB*>(mgr()->find("hsb_shader"));
    EXPECT_FLOAT_EQ(shd->h_adjust, static_cast<float>(-3.141592653589793));
    EXPECT_FLOAT_EQ(shd->s_adjust, 1.0f);
    EXPECT_FLOAT_EQ(shd->b_adjust, 0.0f);
    float other[3] = {-90, -50, 25};
    hsb_convert(other, shd->h_adjust, shd->s_adjust, shd->b_adjust);
    EXPECT_FLOAT_EQ(shd->h_adjust, static_cast<float>(3.141592653589793 / 2));
    EXPECT_FLOAT_EQ(shd->s_adjust, 0.5f);
    EXPECT_FLOAT_EQ(shd->b_adjust, 0.25f);
}

TEST_F(ShaderTest, ParameterlessShaderThrowsAndUnknownNameIsOnlyReported)
{
    mgr()->register_shader<cShdVCol>("vcol_shader");
    float f = 1;
    cVar<float> var("", &f);
    try {
        mgr()->set_shader_parameter("vcol_shader", 1, &var);
        FAIL() << "no exception";
    } catch (const std::exception& e) {
        EXPECT_STREQ(e.what(), "set_parameter not implemented for this shader");
    }
    testing::internal::CaptureStderr();
    mgr()->set_shader_parameter("never_registered", 1, &var);
    EXPECT_THAT(testing::internal::GetCapturedStderr(), HasSubstr("unknown shader: \"never_registered\""));
    EXPECT_EQ(mgr()->find("never_registered"), nullptr);
}

TEST_F(ShaderTest, ShutdownReleasesEverything)
{
    register_every_shader();
    mgr()->bind("levels_shader");
    mgr()->push_shader();
    mgr()->shutdown();
    EXPECT_TRUE(mgr()->registry.empty());
    EXPECT_EQ(mgr()->depth, 0u);
    EXPECT_EQ(mgr()->current, "");
    EXPECT_EQ(bound_program(), 0);
    testing::internal::CaptureStderr();
    mgr()->unbind();
    EXPECT_THAT(testing::internal::GetCapturedStderr(), HasSubstr("no current GLSL-context available!"));
}
