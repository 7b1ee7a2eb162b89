// The generated pictures: every file decodes, and through the program's
// texture manager, each with the arguments its user passes, the target the manager picks must be the
// one the drawing code samples (2D for normalised coordinates and meshes,
// rectangle for texel-addressed pictures, 1D for the colour lookups).
#include "support/gl_context.h"

#include <filesystem>
#include <string>

#include "gl.h"
#include "resource_path.h"
#include "support/image_file.h"
#include "texture_manager.h"

namespace fs = std::filesystem;

namespace {

const fs::path TEXTURES = fs::path(executable_dir()) / ".." / "data" / "textures";

class DatagenTextureTest : public GlTest {
protected:
    void SetUp() override
    {
        GlTest::SetUp();
        cResourcePath::get_instance()->add(TEXTURES.string());
    }
};

struct cUse {
    const char* name;  // file
    bool mipmaps;      // as its user asks
    GLint wrap;        // as its user asks
    GLenum forced;     // target its user forces, 0 for the manager's choice
    GLenum expected;   // target the drawing code samples
};

TEST_F(DatagenTextureTest, EveryPictureLoadsWithTheTargetItsUserSamples)
{
    const cUse uses[] = {
        {"fontlist.png", false, GL_CLAMP, 0, GL_TEXTURE_RECTANGLE_ARB},
        {"loader.jpg", false, GL_CLAMP, 0, GL_TEXTURE_RECTANGLE_ARB},
        {"loadbar.jpg", false, GL_CLAMP, 0, GL_TEXTURE_2D},
        {"checker.jpg", false, GL_REPEAT, 0, GL_TEXTURE_2D},
        {"particleglow.jpg", true, GL_CLAMP, 0, GL_TEXTURE_2D},
        {"dodgecircle.jpg", true, GL_CLAMP, 0, GL_TEXTURE_2D},
        {"morvik_fz2009.jpg", false, GL_CLAMP, 0, GL_TEXTURE_2D},
        {"Mandala_slices.png", true, GL_REPEAT, GL_TEXTURE_2D, GL_TEXTURE_2D},
        {"mandala_string.jpg", true, GL_REPEAT, 0, GL_TEXTURE_2D},
        {"mandalogo.jpg", true, GL_CLAMP, 0, GL_TEXTURE_2D},
        {"Mandala_slices_color_correction_redyellow.png", false, GL_CLAMP_TO_EDGE, 0, GL_TEXTURE_1D},
        {"Mandala_slices_color_correction_bluegreen.png", false, GL_CLAMP_TO_EDGE, 0, GL_TEXTURE_1D},
        {"Mandala_slices_color_correction_greenblue.png", false, GL_CLAMP_TO_EDGE, 0, GL_TEXTURE_1D},
        // Material maps: mipmapped, clamped, sampled as sampler2D by the mesh programs.
        {"greetings_bg_03.png", true, GL_CLAMP, 0, GL_TEXTURE_2D},
        {"intro_bg.jpg", true, GL_CLAMP, 0, GL_TEXTURE_2D},
        {"intro_logo.png", true, GL_CLAMP, 0, GL_TEXTURE_2D},
    };
    cTextureManager* manager = cTextureManager::get_instance();
    for (const cUse& use : uses) {
        const cTexture t = manager->get_texture(use.name, use.mipmaps, use.wrap, use.forced);
        EXPECT_EQ(t.target, use.expected) << use.name;
        EXPECT_NE(t.name, 0u) << use.name;
        EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR)) << use.name;
    }
    // Every file of the tree decodes to 24 or 32 bits; the pictures drawn with alpha carry it.
    size_t decoded = 0;
    for (const auto& entry : fs::directory_iterator(TEXTURES)) {
        const cImageFile p(entry.path());
        ASSERT_NE(p.bitmap, nullptr) << entry.path();
        EXPECT_TRUE(FreeImage_GetImageType(p.bitmap) == FIT_BITMAP && (p.bpp() == 24 || p.bpp() == 32)) << entry.path();
        ++decoded;
    }
    EXPECT_GE(decoded, 18u);
    for (const char* rgba : {"fontlist.png", "Mandala_slices.png", "greetings_bg_03.png", "intro_logo.png"})
        EXPECT_EQ(cImageFile(TEXTURES / rgba).bpp(), 32u) << rgba;
}

}  // namespace
