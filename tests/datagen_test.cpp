#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <string>

#include "resource_path.h"
#include "support/image_file.h"

namespace fs = std::filesystem;

namespace {

// Runs the generator as the build does; its exit status.
int run_datagen(const std::string& args)
{
    const std::string command = executable_dir() + "/quorvane-datagen " + args + " > /dev/null 2>&1";
    const int status = std::system(command.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::map<std::string, std::string> read_tree(const fs::path& root)
{
    std::map<std::string, std::string> files;
    for (const auto& entry : fs::recursive_directory_iterator(root)) {
        if (!entry.is_regular_file())
            continue;
        std::ifstream in(entry.path(), std::ios::binary);
        files[fs::relative(entry.path(), root).string()] =
            std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    return files;
}

// Share of pixels in the rows [row0, row1) brighter than `level`.
float bright_share(const cImageFile& image, unsigned row0, unsigned row1, float level)
{
    unsigned count = 0;
    for (unsigned row = row0; row < row1; ++row)
        for (unsigned x = 0; x < image.width(); ++x)
            count += image.luminance(x, row) > level;
    return static_cast<float>(count) / static_cast<float>((row1 - row0) * image.width());
}

// The picture tests need only the texture family; the music family takes
// seconds to render and is compared once, against the build's own tree.
class DatagenTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        root = fs::temp_directory_path() / ("qv_datagen_" + std::to_string(::getpid()));
        fs::remove_all(root);
        ASSERT_EQ(run_datagen((root / "a").string() + " textures"), 0);
    }
    static void TearDownTestSuite() { fs::remove_all(root); }
    static fs::path textures() { return root / "a" / "textures"; }

    static inline fs::path root;
};

TEST_F(DatagenTest, WritesTheSameBytesEveryRun)
{
    ASSERT_EQ(run_datagen((root / "b").string()), 0);
    const auto built = read_tree(fs::path(executable_dir()) / ".." / "data");
    const auto fresh = read_tree(root / "b");
    ASSERT_FALSE(fresh.empty());
    for (const auto& [name, bytes] : fresh) {
        ASSERT_EQ(built.count(name), 1u) << name;
        EXPECT_TRUE(built.at(name) == bytes) << name << " differs between runs";
    }
    for (const char* name : {"music/goa3_3.mid", "music/goa3_4_master.mp3", "music/spectrogram.png", "script/markers.txt"})
        EXPECT_EQ(fresh.count(name), 1u) << name;
    for (const char* sub : {"textures", "models", "music", "script"})
        EXPECT_TRUE(fs::is_directory(root / "b" / sub)) << sub;
}

TEST_F(DatagenTest, EveryTextureIsAnEightBitColourImage)
{
    const std::map<std::string, bool> must_be_power_of_two = {
        {"default_white.png", true}, {"default_black.png", true}, {"checker.jpg", true},
        {"loadbar.jpg", true},       {"loader.jpg", false},
    };
    for (const auto& [name, pot] : must_be_power_of_two) {
        cImageFile image(textures() / name);
        ASSERT_NE(image.bitmap, nullptr) << name;
        const unsigned bpp = FreeImage_GetBPP(image.bitmap);
        EXPECT_TRUE(bpp == 24 || bpp == 32) << name << " has " << bpp << " bits per pixel";
        EXPECT_EQ(FreeImage_GetImageType(image.bitmap), FIT_BITMAP) << name;
        EXPECT_GT(image.height(), 1u) << name << " would become a 1D texture";
        if (pot) {
            EXPECT_TRUE(power_of_two(image.width()) && power_of_two(image.height())) << name;
        }
    }
    cImageFile loader(textures() / "loader.jpg");
    EXPECT_EQ(loader.width(), 1280u);
    EXPECT_EQ(loader.height(), 720u);
}

TEST_F(DatagenTest, PlainPicturesHoldTheirValues)
{
    cImageFile white(textures() / "default_white.png");
    cImageFile black(textures() / "default_black.png");
    for (unsigned row = 0; row < white.height(); ++row)
        for (unsigned x = 0; x < white.width(); ++x) {
            EXPECT_EQ(white.at(x, row).rgbGreen, 255);
            EXPECT_EQ(black.at(x, row).rgbGreen, 0);
        }

    cImageFile checker(textures() / "checker.jpg");
    const unsigned cell = checker.width() / 2;
    const int first = checker.at(0, 0).rgbRed;
    ASSERT_TRUE(std::abs(first - 80) <= 2 || std::abs(first - 112) <= 2) << first;
    const int other = first < 96 ? 112 : 80;
    for (unsigned row = 0; row < checker.height(); ++row)
        for (unsigned x = 0; x < checker.width(); ++x) {
            const RGBQUAD c = checker.at(x, row);
            const bool like_first = ((x / cell) + (row / cell)) % 2 == 0;
            EXPECT_NEAR(c.rgbRed, like_first ? first : other, 2) << x << "," << row;
            EXPECT_EQ(c.rgbRed, c.rgbBlue);  // grey
        }
}

TEST_F(DatagenTest, LoadingPicturesAreUprightAndDark)
{
    cImageFile loader(textures() / "loader.jpg");
    // The title sits 190-246 pixels below the top edge; rows count from the bottom.
    const float title = bright_share(loader, 720 - 246, 720 - 190, 0.85f);
    const float mirrored = bright_share(loader, 190, 246, 0.85f);
    EXPECT_GT(title, 0.02f);
    EXPECT_LT(mirrored, title / 4.0f);
    // A dark picture with a calm band where the bar is drawn (340-397 from the bottom).
    EXPECT_LT(bright_share(loader, 0, 720, 0.5f), 0.1f);
    EXPECT_LT(bright_share(loader, 345, 392, 0.5f), 0.02f);

    cImageFile bar(textures() / "loadbar.jpg");
    const RGBQUAD start = bar.at(4, bar.height() / 2 + 8);
    const RGBQUAD end = bar.at(bar.width() - 4, bar.height() / 2 + 8);
    EXPECT_GT(start.rgbRed, start.rgbGreen);  // magenta where loading starts
    EXPECT_GT(start.rgbBlue, start.rgbGreen);
    EXPECT_GT(end.rgbBlue, end.rgbRed);  // cyan where it ends
    EXPECT_GT(end.rgbGreen, end.rgbRed);
}

}  // namespace
