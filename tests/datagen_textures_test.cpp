// Pictures of the generated data tree, decoded as the texture manager
// decodes them.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "resource_path.h"
#include "support/image_file.h"

namespace fs = std::filesystem;

namespace {

fs::path textures_dir()
{
    return fs::path(executable_dir()) / ".." / "data" / "textures";
}

// A generated texture by file name.
struct cPicture : cImageFile {
    explicit cPicture(const std::string& name) : cImageFile(textures_dir() / name) {}
};

// Sizes and targets of the pictures the program names are checked through the
// texture manager (datagen_gltest); here what it cannot see: every file of
// the tree decodes to bytes, and the pictures drawn with alpha carry it.
TEST(DatagenTextures, EveryPictureDecodesAndTheCutoutsCarryAlpha)
{
    size_t checked = 0;
    for (const auto& entry : fs::directory_iterator(textures_dir())) {
        const cPicture p(entry.path().filename().string());
        ASSERT_NE(p.bitmap, nullptr) << entry.path();
        EXPECT_TRUE(FreeImage_GetImageType(p.bitmap) == FIT_BITMAP && (p.bpp() == 24 || p.bpp() == 32)) << entry.path();
        ++checked;
    }
    EXPECT_GE(checked, 18u);
    for (const char* rgba : {"fontlist.png", "Mandala_slices.png", "greetings_bg_03.png", "intro_logo.png"})
        EXPECT_EQ(cPicture(rgba).bpp(), 32u) << rgba;
}


}  // namespace
