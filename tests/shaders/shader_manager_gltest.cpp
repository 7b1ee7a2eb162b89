#include <gmock/gmock.h>

#include <stdexcept>

#include "resource_path.h"
#include "shader_manager.h"
#include "shaders/shd_plain.h"
#include "shaders/shd_post.h"
#include "shaders/shd_surface.h"
#include "support/files.h"
#include "support/shader_support.h"
#include "values/var.h"

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

// A directory of test-only shader sources, registered as a search dir.
struct TempShaderDir : cTempDir {
    TempShaderDir() : cTempDir("shaders") { cResourcePath::get_instance()->add(path.string()); }
};

const char* kPassVert =
    "#version 120\nvarying vec3 v;\nvoid main() { v = gl_Vertex.xyz; gl_Position = gl_Vertex; }\n";

// Test-only programs from the qv_<stem>.vert/.frag files of the failure cases.
template <int N>
struct cShdTempFiles : cShdPlain {
    static constexpr const char* FILES[][2] = {{"qv_broken.vert", "qv_broken.frag"},
                                               {"qv_mislinked.vert", "qv_mislinked.frag"},
                                               {"qv_missing.vert", "qv_missing.frag"},
                                               {"qv_three.vert", "qv_three.frag"}};
    cShdTempFiles() : cShdPlain(FILES[N][0], FILES[N][1]) {}
};

}  // namespace

// ---- start-up ------------------------------------------------------------

class ShaderManagerInitTest : public GlTest {};

TEST_F(ShaderManagerInitTest, LogsVersionsRegistersDefaultAndLeavesNothingBound)
{
    cResourcePath::get_instance()->add("../src/shaders");
    const std::string out = stdout_of([] { mgr()->init(); });
    EXPECT_THAT(out, StartsWith("# GLSL: GLSL compiletime version: 120\n# GLSL: Chose GL version:\t"));
    EXPECT_THAT(out, HasSubstr("\n# GLSL: Chose GLSL version:\t#version 120 (driver offers "));
    ASSERT_NE(mgr()->find("default_shader"), nullptr);
    EXPECT_TRUE(mgr()->find("default_shader")->is_loaded());
    EXPECT_EQ(mgr()->current, "null_shader");
    EXPECT_EQ(bound_program(), 0);
}

TEST(ShaderVersionTest, ParsesGlAndGlslVersionStrings)
{
    const cGLVersion gl = parse_gl_version("4.5 (Compatibility Profile) Mesa 22.3.6", false);
    EXPECT_EQ(gl.major * 100 + gl.minor, 405);
    // GLSL minors are two digits: "1.2" is 1.20, not 1.02.
    for (auto [text, minor] : {std::pair{"1.20 NVIDIA via Cg compiler", 20}, {"1.2", 20}, {"1.10", 10}})
        EXPECT_EQ(parse_gl_version(text, true).minor, minor) << text;
    EXPECT_EQ(parse_gl_version(nullptr, false).major, 0);
    EXPECT_EQ(parse_gl_version("OpenGL ES", false).major, 0);
}

// ---- every program -----------------------------------------------------------

TEST_F(ShaderTest, EveryRegisteredProgramCompilesLinksAndFindsItsParameters)
{
    // Any compile/link log or missing-parameter message lands on stderr.
    EXPECT_EQ(stderr_of(register_every_shader), "");
    for (const std::string& name : every_shader_name()) {
        cShader_GLSL* s = mgr()->find(name);
        ASSERT_NE(s, nullptr) << name;
        EXPECT_TRUE(s->is_loaded()) << name;
        EXPECT_NE(s->program, 0u) << name;
        mgr()->bind(name);
        EXPECT_EQ(mgr()->current, name);
        EXPECT_EQ(bound_program(), static_cast<GLint>(s->program)) << name;
        // Every uniform of the class's table is in its program, also for the
        // classes that do not report a missing one.
        for (const cUniform& u : s->uniforms)
            EXPECT_GE(u.location, 0) << name << " " << u.name;
    }
    mgr()->unbind();
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

// ---- failures ------------------------------------------------------------------

struct cFailure {
    const char* frag;        // fragment source written, null: no files at all
    const char* headline;    // the error block's first line
    const char* failed_on;   // file named by the closing line
    bool path_known;         // the closing line names the file's path
    const char* bound;       // bound while it is registered: the block names it
};

template <int N>
std::string register_failing(TempShaderDir& tmp, const cFailure& c)
{
    const std::string vert = cShdTempFiles<N>::FILES[N][0], stem = vert.substr(0, vert.find('.'));
    if (c.frag) {
        tmp.write(vert, kPassVert);
        tmp.write(cShdTempFiles<N>::FILES[N][1], c.frag);
    }
    c.bound == std::string("null_shader") ? mgr()->unbind() : mgr()->bind(c.bound);
    return stderr_of([&] { mgr()->register_shader<cShdTempFiles<N>>(stem); });
}

TEST_F(ShaderTest, FailingSourcesPrintTheErrorBlockStayRegisteredAndBindTheDefault)
{
    TempShaderDir tmp;
    const cFailure cases[] = {
        {"#version 120\nvoid main() { gl_FragColor = oops; }\n", "GLSL error: compiling \"qv_broken.frag\" failed",
         "qv_broken.frag", true, "null_shader"},
        {"#version 120\nvarying vec2 v;\nvoid main() { gl_FragColor = vec4(v, 0, 1); }\n",
         "GLSL error: linking \"qv_mislinked.vert\" with \"qv_mislinked.frag\" failed", "qv_mislinked.frag", true, "default_shader"},
        {nullptr, "GLSL error: cannot read shader source \"qv_missing.vert\"", "qv_missing.vert", false, "null_shader"},
    };
    const std::string logs[] = {register_failing<0>(tmp, cases[0]), register_failing<1>(tmp, cases[1]),
                                register_failing<2>(tmp, cases[2])};
    for (int i = 0; i < 3; ++i) {
        const cFailure& c = cases[i];
        const std::string path = c.path_known ? (tmp / c.failed_on).string() : "";
        EXPECT_THAT(logs[i], StartsWith("\n" + kRule + "\n" + c.headline + "\n"));
        EXPECT_THAT(logs[i], EndsWith(kRule + "\nlast-shader: " + c.bound + "\nGLSL error, exiting...\n"
                                              "## ERROR: cShader_GLSL::load_from_files() failed on " +
                                      c.failed_on + "( " + path + " )\n"));
        const std::string stem = std::string(c.failed_on).substr(0, std::string(c.failed_on).find('.'));
        cShader_GLSL* failed = mgr()->find(stem);
        ASSERT_NE(failed, nullptr) << stem;
        EXPECT_FALSE(failed->is_loaded()) << stem;
        EXPECT_EQ(failed->program, 0u) << stem;
        EXPECT_EQ(failed->vertex_shader, 0u) << stem << ": the good vertex stage is dropped too";
        mgr()->bind(stem);
        EXPECT_EQ(mgr()->current, "default_shader") << stem;
        EXPECT_EQ(bound_program(), static_cast<GLint>(mgr()->find("default_shader")->program));
    }
    EXPECT_THAT(logs[0], HasSubstr("oops"));  // the compiler's own log sits inside the block
    EXPECT_EQ(mgr()->find("qv_missing")->get_vertex_path(), "");
    // The show does not start with stand-ins for its programs.
    EXPECT_EXIT(mgr()->require_loaded(), testing::ExitedWithCode(255),
                "## ERROR: GLSL programs that failed to load: qv_broken qv_mislinked qv_missing - exiting!");
}

// ---- binding ---------------------------------------------------------------------

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

    // Unbalanced: reported, nothing changes.
    EXPECT_THAT(stderr_of([] { mgr()->pop_shader(); }), HasSubstr("shader stack is empty"));
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
    mgr()->register_shader<cShdTempFiles<3>>("three_shader");
    GLuint three = mgr()->find("three_shader")->program;
    for (GLint unit = 0; unit < 3; ++unit) {
        GLint value = -1;
        glGetUniformiv(three, glGetUniformLocation(three, ("tex" + std::to_string(unit)).c_str()), &value);
        EXPECT_EQ(value, unit);
    }
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

// Binding an unknown name leaves nothing bound; setting its parameters
// changes nothing; a program without parameters refuses them.
TEST_F(ShaderTest, UnknownNamesAreOnlyReportedAndAParameterlessShaderThrows)
{
    mgr()->register_shader<cShdVCol>("vcol_shader");
    mgr()->bind("vcol_shader");
    EXPECT_EQ(stderr_of([] { mgr()->bind("no_such_shader"); }),
              "#WARNING in cShaderManager_GLSL::bind: trying to bind unknown shader: \"no_such_shader\"\n");
    EXPECT_EQ(mgr()->current, "null_shader");
    EXPECT_EQ(bound_program(), 0);
    float f = 1;
    cVar<float> var("", &f);
    try {
        mgr()->set_shader_parameter("vcol_shader", 1, &var);
        FAIL() << "no exception";
    } catch (const std::exception& e) {
        EXPECT_STREQ(e.what(), "set_parameter not implemented for this shader");
    }
    EXPECT_THAT(stderr_of([&] { mgr()->set_shader_parameter("never_registered", 1, &var); }),
                HasSubstr("unknown shader: \"never_registered\""));
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
    EXPECT_THAT(stderr_of([] { mgr()->unbind(); }), EndsWith(": no current GLSL-context available!\n"));
}
