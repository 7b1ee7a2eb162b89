// Meshes on llvmpipe: files written to a temporary directory, read through
// the mesh cache, drawn into a small off-screen target and read back.
#include <gmock/gmock.h>

#include "mesh_files/bzobj.h"
#include "mesh_files/mesh_manager.h"
#include "resource_path.h"
#include "shader_manager.h"
#include "state_manager.h"
#include "support/image_file.h"
#include "support/files.h"
#include "support/shader_support.h"

using testing::HasSubstr;

namespace {

using RGB = std::array<int, 3>;
using RGBA8 = std::array<uint8_t, 4>;
const RGB RED{255, 0, 0}, GREEN{0, 255, 0}, BLUE{0, 0, 255}, YELLOW{255, 255, 0}, BLACK{0, 0, 0};

cMaterial flat(const std::string& name, float r, float g, float b)
{
    cMaterial m(name);
    m.Kd = {r, g, b, 1};
    return m;  // illum 0: unlit diffuse colour
}

// Quads side by side over the whole clip square, one group each, with
// material i on quad i.
cMeshObj_data strips(int count)
{
    cMeshObj_data m;
    m.flags = MESH_NORMALS | MESH_GROUPS;
    const float w = 2.0f / float(count);
    for (int q = 0; q < count; ++q) {
        const float x0 = -1 + w * float(q), x1 = x0 + w;
        const uint32_t b = uint32_t(m.vertex_count());
        m.positions.insert(m.positions.end(), {x0, -1, 0, x1, -1, 0, x1, 1, 0, x0, 1, 0});
        m.normals.insert(m.normals.end(), {0, 0, 1, 0, 0, 1, 0, 0, 1, 0, 0, 1});
        m.indices.insert(m.indices.end(), {b, b + 1, b + 2, b, b + 2, b + 3});
        m.groups.push_back({6 * q, q});
    }
    m.groups.push_back({6 * count, -1});
    return m;
}

cMeshManager* meshes()
{
    return cMeshManager::get_instance();
}

}  // namespace

class MeshTest : public ShaderTest {
protected:
    void SetUp() override
    {
        ShaderTest::SetUp();
        cResourcePath::get_instance()->add(dir.path.string());
        cResourcePath::get_instance()->add("../data/textures");
        // Lit (emission shows), no depth test or blending: the targets have no depth buffer.
        cStateManager* state = cStateManager::get_instance();
        state->set_defaults();
        state->set_depth_test(false);
        state->set_blend(false);
        for (GLenum m : {GL_PROJECTION, GL_MODELVIEW}) {
            glMatrixMode(m);
            glLoadIdentity();
        }
    }
    // The cached mesh of `name` (CPU copies released), the readers' log dropped.
    static iMesh* load_quietly(const std::string& name)
    {
        iMesh* mesh = nullptr;
        stderr_of([&] { stdout_of([&] { mesh = meshes()->get_mesh(name, true, false, false); }); });
        return mesh;
    }

    // Colour of pixel (x, 2) after drawing `mesh` into a fresh w x 4 target,
    // with `texture` (when given) on unit 0.
    std::vector<RGB> draw(iMesh* mesh, int w, std::initializer_list<int> xs, GLuint texture = 0)
    {
        ScopedTarget target(w, 4);
        glBindTexture(GL_TEXTURE_2D, texture);
        mesh->draw();
        std::vector<RGB> out;
        for (int x : xs) {
            const auto p = target.pixel(x, 2);
            out.push_back({p[0], p[1], p[2]});
        }
        return out;
    }

    cTempDir dir{"mesh"};  // temporary data directory, in the search paths
};

TEST_F(MeshTest, BzobjMeshDrawsEachGroupWithItsMaterialAndKeepsDrawingWithoutCpuCopies)
{
    cMeshObj_data data = strips(2);
    data.materials = {flat("red", 1, 0, 0), flat("green", 0, 1, 0)};
    ASSERT_TRUE(bobj_save_compressed((dir / "pair.bzobj").string(), data));

    auto* mesh = dynamic_cast<cMeshObj*>(meshes()->get_mesh("pair.bzobj", true, false, false));
    ASSERT_NE(mesh, nullptr);
    EXPECT_EQ(draw(mesh, 8, {2, 6}), (std::vector<RGB>{RED, GREEN}));
    EXPECT_TRUE(mesh->positions.empty() && mesh->positions.capacity() == 0);
    EXPECT_TRUE(mesh->normals.empty() && mesh->normals.capacity() == 0);
    EXPECT_EQ(mesh->indices.size(), 12u);
    EXPECT_EQ(mesh->buffers[VBO_POSITIONS].count, 8u);
    EXPECT_EQ(glIsEnabled(GL_TEXTURE_2D), GL_FALSE);

    // Uploading the emptied arrays again must not wipe the buffers.
    EXPECT_THAT(stderr_of([&] { mesh->upload(false); }), HasSubstr("buffers kept"));
    EXPECT_EQ(draw(mesh, 8, {2, 6}), (std::vector<RGB>{RED, GREEN}));
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));

    // Materials dropped: one call with the caller's material, CPU copies kept.
    ASSERT_TRUE(bobj_save_compressed((dir / "plain.bzobj").string(), data));
    auto* plain = dynamic_cast<cMeshObj*>(meshes()->get_mesh("plain.bzobj", false, true, false));
    ASSERT_NE(plain, nullptr);
    EXPECT_EQ(plain->flags & MESH_GROUPS, 0);
    EXPECT_TRUE(plain->materials.empty() && plain->gl_materials.empty());
    EXPECT_EQ(plain->positions.size(), 24u);
    const GLfloat blue[4] = {0, 0, 1, 1}, black[4] = {0, 0, 0, 1};
    glMaterialfv(GL_FRONT_AND_BACK, GL_AMBIENT_AND_DIFFUSE, black);
    glMaterialfv(GL_FRONT_AND_BACK, GL_EMISSION, blue);
    EXPECT_EQ(draw(plain, 8, {2, 6}), (std::vector<RGB>{BLUE, BLUE}));
}

TEST_F(MeshTest, TexturedGroupShowsItsDiffuseMapAndTheNextGroupDoesNotInheritIt)
{
    ASSERT_TRUE(write_image(dir / "halves.png", 4, 4, 24, [](int x, int) { return x < 2 ? RGBA8{0, 0, 255} : RGBA8{255, 255, 0}; }));
    dir.write("tex.mtl", "newmtl tex\nillum 0\nKd 1 1 1\nmap_Kd halves.png\nnewmtl plain\nillum 0\nKd 0 1 0\n");
    // Left half textured across its width; right half plain, all corners on
    // the blue texel (a leftover map would turn it black).
    dir.write("quad.obj",
              "mtllib tex.mtl\nv -1 -1 0\nv 0 -1 0\nv 0 1 0\nv -1 1 0\nv 0 -1 0\nv 1 -1 0\nv 1 1 0\nv 0 1 0\n"
              "vt 0 0\nvt 1 0\nvt 1 1\nvt 0 1\nusemtl tex\nf 1/1 2/2 3/3 4/4\nusemtl plain\nf 5/1 6/1 7/1 8/1\n");
    EXPECT_EQ(draw(load_quietly("quad.obj"), 16, {1, 6, 12}), (std::vector<RGB>{BLUE, YELLOW, GREEN}));
    EXPECT_EQ(glIsEnabled(GL_TEXTURE_2D), GL_FALSE);  // the draw leaves texturing off
}

TEST_F(MeshTest, CacheSharesMeshesByBaseNameAndRefusesOtherExtensions)
{
    cMeshObj_data data = strips(1);
    data.flags = 0;
    ASSERT_TRUE(bobj_save_compressed((dir / "a.bzobj").string(), data));
    iMesh* first = meshes()->get_mesh("models/a.bzobj", true, false, false);
    ASSERT_NE(first, nullptr);
    // Neither file exists: a read would end the process.
    EXPECT_EQ(meshes()->get_mesh("other/a.bzobj", false, true, true), first);
    EXPECT_EQ(meshes()->get_mesh("..\\x\\a.bzobj", false, false, false), first);
    EXPECT_EQ(meshes()->meshes.size(), 1u);

    for (const char* name : {"a.3ds", "a.bzobj.bak", "model"}) {
        EXPECT_THAT(stderr_of([&] { EXPECT_EQ(meshes()->get_mesh(name, true, false, false), nullptr); }),
                    HasSubstr(std::string("# ERROR in cMeshManager::get_mesh: no reader for \"") + name + "\""));
    }
    EXPECT_EQ(meshes()->meshes.size(), 1u);
}

TEST_F(MeshTest, ApplyBindsTheMapsOnUnitsZeroOneTwoAndReleaseUndoesIt)
{
    cMaterial_GL m("maps");
    m.illum = 2;
    m.Ka = m.Kd = m.Ks = {0.1f, 0.2f, 0.3f, 1};
    const GLenum RECT = GL_TEXTURE_RECTANGLE_ARB;
    const GLuint tex[3] = {make_texture(GL_TEXTURE_2D, 2, 2, RGBA8{1, 2, 3, 4}),
                           make_texture(GL_TEXTURE_2D, 2, 2, RGBA8{5, 6, 7, 8}), make_texture(RECT, 3, 3, RGBA8{9})};
    m.diffuse_map = {GL_TEXTURE_2D, tex[0], 2, 2, 0};
    m.specular_map = {GL_TEXTURE_2D, tex[1], 2, 2, 0};
    m.ambient_map = {RECT, tex[2], 3, 3, 0};
    m.apply();

    const struct {
        GLenum target, binding;  // unit = index
        GLuint name;
    } expected[3] = {{GL_TEXTURE_2D, GL_TEXTURE_BINDING_2D, tex[0]},
                     {GL_TEXTURE_2D, GL_TEXTURE_BINDING_2D, tex[1]},
                     {RECT, GL_TEXTURE_BINDING_RECTANGLE_ARB, tex[2]}};
    GLint active = 0;
    glGetIntegerv(GL_ACTIVE_TEXTURE, &active);
    EXPECT_EQ(active, GL_TEXTURE0);
    for (int unit = 0; unit < 3; ++unit) {
        glActiveTexture(GL_TEXTURE0 + unit);
        GLint bound = 0;
        glGetIntegerv(expected[unit].binding, &bound);
        EXPECT_EQ(GLuint(bound), expected[unit].name) << "unit " << unit;
        EXPECT_TRUE(glIsEnabled(expected[unit].target)) << "unit " << unit;
    }
    for (GLenum term : {GL_AMBIENT, GL_DIFFUSE, GL_SPECULAR}) {
        GLfloat c[4];
        glGetMaterialfv(GL_FRONT, term, c);
        EXPECT_EQ(c[0] + c[1] + c[2] + c[3], 4.0f) << "term " << term;
    }
    m.release_maps();
    for (int unit = 0; unit < 3; ++unit) {
        glActiveTexture(GL_TEXTURE0 + unit);
        EXPECT_FALSE(glIsEnabled(expected[unit].target)) << "unit " << unit;
    }
    glActiveTexture(GL_TEXTURE0);
    glDeleteTextures(3, tex);
}

TEST_F(MeshTest, MorphBlendsTheDrawnMeshTowardsTheTarget)
{
    // The same quad, a quarter of the width, at the left and at the right edge.
    auto quad = [](float x0) {
        auto* m = new cMeshObj();
        m->flags = MESH_NORMALS;
        m->positions = {x0, -1, 0, x0 + 0.5f, -1, 0, x0 + 0.5f, 1, 0, x0, 1, 0};
        m->normals = {0, 0, 1, 0, 0, 1, 0, 0, 1, 0, 0, 1};
        m->indices = {0, 1, 2, 0, 2, 3};
        m->upload(true);
        return std::unique_ptr<cMeshObj>(m);
    };
    auto from = quad(-1), to = quad(0.5f);
    cMeshMorph morph(from.get(), to.get());
    const GLfloat white[4] = {1, 1, 1, 1};
    glMaterialfv(GL_FRONT_AND_BACK, GL_EMISSION, white);
    const GLuint tex = make_texture(GL_TEXTURE_2D, 1, 1, RGBA8{255, 255, 255, 255});

    morph.set_morph_t(0);
    EXPECT_EQ(draw(&morph, 8, {0, 3, 7}, tex), (std::vector<RGB>{{255, 255, 255}, BLACK, BLACK}));
    morph.set_morph_t(1);
    EXPECT_EQ(draw(&morph, 8, {0, 3, 7}, tex), (std::vector<RGB>{BLACK, BLACK, {255, 255, 255}}));
    morph.set_morph_t(0.5f);  // halfway: the quad spans -0.25 .. 0.25
    EXPECT_EQ(draw(&morph, 8, {0, 3, 4, 7}, tex), (std::vector<RGB>{BLACK, {255, 255, 255}, {255, 255, 255}, BLACK}));
    EXPECT_EQ(cShaderManager_GLSL::get_instance()->current, "null_shader");

    // A target without normals cannot be blended: the drawn mesh shows as it is.
    cMeshObj flat_target;
    flat_target.positions = {0, 0, 0};
    flat_target.upload(false);
    cMeshMorph broken(from.get(), &flat_target);
    const std::string err = stderr_of([&] {
        EXPECT_EQ(draw(&broken, 8, {0, 7}, tex), (std::vector<RGB>{{255, 255, 255}, BLACK}));
    });
    EXPECT_THAT(err, HasSubstr("drawing it unblended"));
    glDeleteTextures(1, &tex);
}
