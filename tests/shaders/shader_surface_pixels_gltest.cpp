// What the mesh and particle programs draw on known inputs (texture,
// colour, material, light 0, fog, parameters), read back on llvmpipe.
#include <array>
#include <vector>

#include "shader_manager.h"
#include "state_manager.h"
#include "support/shader_support.h"

namespace {

using RGBA = std::array<uint8_t, 4>;
using Pixel = std::array<int, 4>;
constexpr int SIZE = 32;    // target side, pixels
constexpr int MID = SIZE / 2;

void material(GLenum what, std::array<float, 4> v)
{
    glMaterialfv(GL_FRONT_AND_BACK, what, v.data());
}

void light(GLenum what, std::array<float, 4> v)
{
    glLightfv(GL_LIGHT0, what, v.data());
}

// Known lighting and fog, set with an identity model-view: no ambient
// anywhere, white light 0 shining along -z, a white diffuse material, linear
// blue fog from 0 to 10 units, switched off in the state cache.
void reset_state()
{
    cStateManager::get_instance()->set_fog(false);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    const std::array<float, 4> black{0, 0, 0, 1}, white{1, 1, 1, 1};
    glLightModelfv(GL_LIGHT_MODEL_AMBIENT, black.data());
    light(GL_POSITION, {0, 0, 1, 0});
    light(GL_AMBIENT, black);
    light(GL_DIFFUSE, white);
    light(GL_SPECULAR, white);
    material(GL_AMBIENT, black);
    material(GL_DIFFUSE, white);
    material(GL_SPECULAR, black);
    material(GL_EMISSION, black);
    glMaterialf(GL_FRONT_AND_BACK, GL_SHININESS, 16);
    glFogi(GL_FOG_MODE, GL_LINEAR);
    glFogf(GL_FOG_START, 0);
    glFogf(GL_FOG_END, 10);
    const std::array<float, 4> blue{0, 0, 1, 1};
    glFogfv(GL_FOG_COLOR, blue.data());
}

// A unit quad `depth` units in front of an orthographic eye, texture
// coordinates 0-1, one normal for all corners.
void draw_facing_quad(float depth, std::array<float, 3> normal)
{
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(-0.5, 0.5, -0.5, 0.5, 0.1, 100);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glDisable(GL_BLEND);
    glDisable(GL_DEPTH_TEST);
    glNormal3f(normal[0], normal[1], normal[2]);
    glBegin(GL_QUADS);
    const float corners[4][2] = {{0, 0}, {1, 0}, {1, 1}, {0, 1}};
    for (const auto& c : corners) {
        glTexCoord2f(c[0], c[1]);
        glVertex3f(c[0] - 0.5f, c[1] - 0.5f, -depth);
    }
    glEnd();
}

struct cSurfaceCase {
    const char* shader;              // registered name
    RGBA texel0;                     // unit 0: diffuse map
    RGBA texel1;                     // unit 1: specular map or lightmaps
    std::array<float, 4> colour;     // current colour, may exceed 1
    std::array<float, 3> normal;     // eye space
    float depth;                     // eye-space distance, units
    void (*setup)();                 // material, light and parameters beyond reset_state
    Pixel probe;                     // x, y of the pixel read
    Pixel expected;                  // RGBA 0-255
};

void none() {}

void fog_on()
{
    cStateManager::get_instance()->set_fog(true);
}

void exp_fog_on()
{
    fog_on();
    glFogi(GL_FOG_MODE, GL_EXP);
    glFogf(GL_FOG_DENSITY, 0.1f);
}

// A half-grey diffuse material with a faint highlight: dtex has no specular
// term, so the highlight shows only where a specular map lets it.
void grey_and_shiny()
{
    material(GL_DIFFUSE, {0.5f, 0.5f, 0.5f, 1});
    material(GL_SPECULAR, {0.2f, 0.2f, 0.2f, 1});
}
void violet()
{
    material(GL_DIFFUSE, {0.5f, 0.25f, 1, 0.6f});
}
// Light from ambient terms only, all of it: the surface shows its texture.
void ambient_only()
{
    light(GL_AMBIENT, {1, 1, 1, 1});
    light(GL_DIFFUSE, {0, 0, 0, 1});
    material(GL_AMBIENT, {1, 1, 1, 1});
}

}  // namespace

class SurfacePixelTest : public ShaderTest {
protected:
    void SetUp() override
    {
        ShaderTest::SetUp();
        register_every_shader();
    }
};

TEST_F(SurfacePixelTest, SurfaceProgramsCombineTextureColourMaterialLightAndFog)
{
    const std::array<float, 4> white{1, 1, 1, 1};
    const std::array<float, 3> facing{0, 0, 1}, away{0, 0, -1}, grazing{1, 0, 0};
    const RGBA tex{200, 100, 50, 128}, opaque{200, 100, 50, 255}, none_rgba{0, 0, 0, 0};
    const Pixel mid{MID, MID, 0, 0};
    const cSurfaceCase cases[] = {
        // Texture times colour, the texture's alpha times the colour's.
        {"rgbatex_shader", tex, none_rgba, {0.5f, 1, 1, 0.5f}, facing, 1, none, mid, {100, 100, 50, 64}},
        // An alpha above 1 overdrives the picture; the card's rim fades out.
        {"rgba_fade_shader", {100, 100, 100, 255}, none_rgba, {1, 1, 1, 1.5f}, facing, 1, none, mid, {150, 150, 150, 255}},
        {"rgba_fade_shader", {100, 100, 100, 255}, none_rgba, {1, 1, 1, 1.5f}, facing, 1, none, {0, MID, 0, 0}, {150, 150, 150, 17}},
        // Brightness is coverage, premultiplied by the colour's alpha; black vanishes.
        {"srccoladd_shader", opaque, none_rgba, {1, 1, 1, 0.5f}, facing, 1, none, mid, {100, 50, 25, 100}},
        {"srccoladd_shader", {0, 0, 0, 255}, none_rgba, white, facing, 1, none, mid, {0, 0, 0, 0}},
        {"srccol_shader", opaque, none_rgba, {1, 1, 1, 0.5f}, facing, 1, none, mid, {200, 100, 50, 100}},
        // Vertex colour only: the bound texture does not matter.
        {"vcol_shader", none_rgba, none_rgba, {0.2f, 0.4f, 0.6f, 0.8f}, facing, 1, none, mid, {51, 102, 153, 204}},
        // What a program that failed to load draws with: the default program.
        {"default_shader", none_rgba, none_rgba, {0.2f, 0.4f, 0.6f, 1}, facing, 1, none, mid, {51, 102, 153, 255}},
        // Untextured diffuse lighting of light 0 with the material's alpha.
        {"notex_shader", none_rgba, none_rgba, white, facing, 1, violet, mid, {128, 64, 255, 153}},
        {"notex_shader", none_rgba, none_rgba, white, away, 1, violet, mid, {0, 0, 0, 153}},
        // Emissive: diffuse plus emission with the light switched dark.
        {"self_illum_shader", none_rgba, none_rgba, white, facing, 1,
         [] {
             light(GL_DIFFUSE, {0, 0, 0, 1});
             material(GL_DIFFUSE, {0.4f, 0.2f, 0.1f, 1});
             material(GL_EMISSION, {0.2f, 0.2f, 0.2f, 1});
         },
         mid, {153, 102, 76, 255}},
        // Diffuse map under light 0.
        {"dtex_shader", opaque, none_rgba, white, facing, 1, grey_and_shiny, mid, {100, 50, 25, 255}},
        {"dtex_shader", opaque, none_rgba, white, away, 1, grey_and_shiny, mid, {0, 0, 0, 255}},
        // The specular map decides where the highlight shows.
        {"ganesh_shader", opaque, {255, 255, 255, 255}, white, facing, 1, grey_and_shiny, mid, {151, 101, 76, 255}},
        {"ganesh_shader", opaque, {0, 0, 0, 255}, white, facing, 1, grey_and_shiny, mid, {100, 50, 25, 255}},
        // Lightmaps in the channels of unit 1, weighted, in the light colour.
        {"lmt_shader", {200, 200, 200, 255}, {255, 128, 0, 255}, white, facing, 1,
         [] {
             send("lmt_shader", 1, {0.5f, 0, 1});
             send("lmt_shader", 2, {1, 0.5f, 0.25f});
         },
         mid, {100, 50, 25, 255}},
        // X-ray: faces towards the viewer vanish, grazing ones glow, lightemit lifts all.
        {"xraytex_shader", opaque, none_rgba, white, facing, 1, [] { send("xraytex_shader", 1, 0.0f); }, mid, {0, 0, 0, 0}},
        {"xraytex_shader", opaque, none_rgba, white, grazing, 1, [] { send("xraytex_shader", 1, 0.0f); }, mid,
         {197, 98, 49, 247}},
        {"xraytex_shader", opaque, none_rgba, white, facing, 1, [] { send("xraytex_shader", 1, 0.5f); }, mid,
         {100, 50, 25, 128}},
        // Linear fog of the GL state: near mostly surface, far mostly fog colour.
        {"fog_shader", {255, 0, 0, 255}, none_rgba, white, facing, 2, ambient_only, mid, {204, 0, 51, 255}},
        {"fog_shader", {255, 0, 0, 255}, none_rgba, white, facing, 8, ambient_only, mid, {51, 0, 204, 255}},
        // With fog on in the state cache every surface program fogs by the GL fog mode.
        {"rgbatex_shader", {255, 0, 0, 255}, none_rgba, white, facing, 8, fog_on, mid, {51, 0, 204, 255}},
        {"srccol_shader", {255, 0, 0, 255}, none_rgba, white, facing, 8, fog_on, mid, {51, 0, 204, 204}},
        {"dtex_shader", {255, 0, 0, 255}, none_rgba, white, facing, 8, fog_on, mid, {51, 0, 204, 255}},
        {"vcol_shader", none_rgba, none_rgba, {1, 0, 0, 1}, facing, 8, exp_fog_on, mid, {115, 0, 140, 255}},
    };
    for (const cSurfaceCase& c : cases) {
        reset_state();
        c.setup();
        GLuint t0 = make_texture(GL_TEXTURE_2D, 1, 1, c.texel0);
        GLuint t1 = make_texture(GL_TEXTURE_2D, 1, 1, c.texel1);
        ScopedTarget target(SIZE, SIZE);
        bind_unit(0, GL_TEXTURE_2D, t0);
        bind_unit(1, GL_TEXTURE_2D, t1);
        mgr()->bind(c.shader);
        glColor4f(c.colour[0], c.colour[1], c.colour[2], c.colour[3]);
        draw_facing_quad(c.depth, c.normal);
        mgr()->unbind();
        expect_near(target.pixel(c.probe[0], c.probe[1]), c.expected, 3, c.shader);
        bind_unit(1, GL_TEXTURE_2D, 0);
        bind_unit(0, GL_TEXTURE_2D, 0);
        glDeleteTextures(1, &t0);
        glDeleteTextures(1, &t1);
    }
}

namespace {

// Column-major; the second turns half way round about z.
const std::vector<float> IDENTITY = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
const std::vector<float> HALF_TURN = {-1, 0, 0, 0, 0, -1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};

struct cMoveCase {
    const char* shader;  // registered name
    void (*params)();    // every parameter of the program
    int covered_x;       // pixel column the quad must cover
    int empty_x;         // pixel column it must leave empty
};

}  // namespace

TEST_F(SurfacePixelTest, DeformationsMoveTheGeometryAsTheirParametersSay)
{
    // A small quad at the centre whose normals point along +x: waves and
    // extrusion push it sideways, x = 0.6 being pixel column 25. Each row
    // changes the parameters its predecessor left.
    const cMoveCase cases[] = {
        {"sinewave_shader",
         [] {
             send("sinewave_shader", 1, -0.25f);
             send("sinewave_shader", 2, {0, 0, 0});
             send("sinewave_shader", 3, 0.0f);
             send("sinewave_shader", 4, 100.0f);
             send("sinewave_shader", 5, 0.0f);
         },
         MID, 25},
        {"sinewave_shader", [] { send("sinewave_shader", 3, 0.6f); }, 25, MID},
        // Beyond the wave front nothing moves.
        {"sinewave_shader", [] { send("sinewave_shader", 4, 0.01f); }, MID, 25},
        {"normext_shader",
         [] {
             send("normext_shader", 1, 0.0f);
             send("normext_shader", 2, IDENTITY);
             send("normext_shader", 3, IDENTITY);
             send("normext_shader", 4, 1.0f);
         },
         MID, 25},
        {"normext_shader", [] { send("normext_shader", 1, 0.6f); }, 25, MID},
        // The outer rotation turns the extruded quad to the other side.
        {"normext_shader", [] { send("normext_shader", 3, HALF_TURN); }, SIZE - 1 - 25, 25},
    };
    for (const cMoveCase& c : cases) {
        reset_state();
        c.params();
        GLuint white = make_texture(GL_TEXTURE_2D, 1, 1, RGBA{255, 255, 255, 255});
        ScopedTarget target(SIZE, SIZE);
        bind_unit(0, GL_TEXTURE_2D, white);
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        mgr()->bind(c.shader);
        glColor4f(1, 1, 1, 1);
        glNormal3f(1, 0, 0);
        glBegin(GL_QUADS);
        const float corners[4][2] = {{-0.1f, -0.1f}, {0.1f, -0.1f}, {0.1f, 0.1f}, {-0.1f, 0.1f}};
        for (const auto& p : corners)
            glVertex3f(p[0], p[1], 0);
        glEnd();
        mgr()->unbind();
        EXPECT_EQ(target.pixel(c.covered_x, MID)[3], 255) << c.shader << " covered " << c.covered_x;
        EXPECT_EQ(target.pixel(c.empty_x, MID)[3], 0) << c.shader << " empty " << c.empty_x;
        bind_unit(0, GL_TEXTURE_2D, 0);
        glDeleteTextures(1, &white);
    }
}

TEST_F(SurfacePixelTest, LitParticlesTakeTheLightColourNearTheLightOrOnTheSweepingShell)
{
    struct cLightCase {
        float light_x;          // light position on the x axis, world units
        float cur_t;            // shell position, 0-1 of max_dist
        Pixel expected;         // centre pixel
    };
    // max_dist 10, shell width 0.1: min colour red, max colour green.
    const cLightCase cases[] = {
        {0, 0.5f, {0, 255, 0, 255}},      // at the light
        {100, 0.5f, {51, 0, 0, 255}},     // out of reach, shell elsewhere
        {5, 0.5f, {0, 255, 0, 255}},      // half way, the shell passing
        {5, 0.0f, {26, 128, 0, 255}},     // half way, no shell: half lit
    };
    for (const cLightCase& c : cases) {
        send("particle_light_shader", 1, c.cur_t);
        send("particle_light_shader", 2, {c.light_x, 0, 0});
        send("particle_light_shader", 3, 10.0f);
        send("particle_light_shader", 4, {0.2f, 0, 0});
        send("particle_light_shader", 5, {0, 1, 0});
        send("particle_light_shader", 6, 0.1f);
        send("particle_light_shader", 7, 0.5f);
        ScopedTarget target(SIZE, SIZE);
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        glDisable(GL_BLEND);
        mgr()->bind("particle_light_shader");
        glColor4f(1, 1, 1, 1);
        draw_particle(0.0f);
        mgr()->unbind();
        Pixel centre = target.pixel(MID, MID);
        centre[3] = centre[3] > 240 ? 255 : centre[3];  // the glow peaks at the centre
        expect_near(centre, c.expected, 3, "light at x " + std::to_string(c.light_x));
        EXPECT_EQ(target.pixel(MID, SIZE - 1)[3], 0);  // quad half-size 0.5: outside stays empty
    }
}
