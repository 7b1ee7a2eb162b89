// Pictures of the generated data tree, decoded as the texture manager
// decodes them: formats and sizes each use needs, the GUI font's glyph
// grid, the colour lookups and the pictures that are added or cut out.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
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

    // Lit font texels in the cell whose lower-left texel is (u, v).
    int lit(unsigned u, unsigned v, unsigned w = 20, unsigned h = 20) const
    {
        int n = 0;
        for (unsigned row = v; row < v + h; ++row)
            for (unsigned x = u; x < u + w; ++x)
                n += at(x, row).rgbReserved > 128;
        return n;
    }
    // Share of pixels in the rows [row0, row1) brighter than `level`.
    float bright_share(unsigned row0, unsigned row1, float level) const
    {
        unsigned count = 0;
        for (unsigned row = row0; row < row1; ++row)
            for (unsigned x = 0; x < width(); ++x)
                count += luminance(x, row) > level;
        return static_cast<float>(count) / static_cast<float>((row1 - row0) * width());
    }
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

TEST(DatagenTextures, LoadingPicturesAreUprightAndDark)
{
    const cPicture loader("loader.jpg");
    // The title sits 190-246 pixels below the top edge; rows count from the bottom.
    const float title = loader.bright_share(720 - 246, 720 - 190, 0.85f);
    EXPECT_GT(title, 0.02f);
    EXPECT_LT(loader.bright_share(190, 246, 0.85f), title / 4.0f);
    // A dark picture with a calm band where the bar is drawn (340-397 from the bottom).
    EXPECT_LT(loader.bright_share(0, 720, 0.5f), 0.1f);
    EXPECT_LT(loader.bright_share(345, 392, 0.5f), 0.02f);
    const cPicture bar("loadbar.jpg");
    const RGBQUAD start = bar.at(4, bar.height() / 2 + 8), end = bar.at(bar.width() - 4, bar.height() / 2 + 8);
    EXPECT_GT(std::min(start.rgbRed, start.rgbBlue), start.rgbGreen);  // magenta where loading starts
    EXPECT_GT(std::min(end.rgbBlue, end.rgbGreen), end.rgbRed);       // cyan where it ends
}

TEST(DatagenTextures, FontHasEveryGlyphInItsCellUpright)
{
    const cPicture font("fontlist.png");
    ASSERT_EQ(font.width(), 720u);
    ASSERT_EQ(font.height(), 40u);
    // Grid row 0 is texel rows 0-19: capitals at 200 + 20k and six signs.
    for (int k = 0; k < 26; ++k) {
        EXPECT_GT(font.lit(200 + 20 * k, 0), 12) << char('A' + k);
        EXPECT_GT(font.lit(200 + 20 * k, 20), 12) << char('a' + k);
    }
    for (int d = 0; d < 10; ++d)
        EXPECT_GT(font.lit(20 * d, 20), 12) << d;
    for (unsigned u : {60u, 80u, 100u, 120u, 160u, 180u})
        EXPECT_GT(font.lit(u, 0), 3) << "sign at " << u;
    for (unsigned u : {0u, 20u, 40u, 140u})
        EXPECT_EQ(font.lit(u, 0), 0) << "cell " << u << " holds no sign";
    // Nothing spills into a neighbour: each cell's outer ring of texels is empty.
    for (unsigned cell = 0; cell < 36; ++cell)
        for (unsigned v : {0u, 20u}) {
            EXPECT_EQ(font.lit(20 * cell, v, 20, 1) + font.lit(20 * cell, v + 19, 20, 1), 0) << cell;
            EXPECT_EQ(font.lit(20 * cell, v, 1, 20) + font.lit(20 * cell + 19, v, 1, 20), 0) << cell;
        }
    // Upright: 'T' has its bar at the top (high texel rows), 'L' at the bottom.
    const unsigned t = 200 + 20 * ('T' - 'A'), l = 200 + 20 * ('L' - 'A');
    EXPECT_GT(font.lit(t, 14, 20, 3), 2 * font.lit(t, 2, 20, 3));
    EXPECT_GT(font.lit(l, 2, 20, 3), 2 * font.lit(l, 14, 20, 3));
    // Colour is white; the shape lives in alpha.
    const RGBQUAD c = font.at(t + 10, 10);
    EXPECT_EQ(c.rgbRed, 255);
    EXPECT_EQ(c.rgbBlue, 255);
}

TEST(DatagenTextures, ColourLookupsRunFromDarkToLightKeepingTheOrder)
{
    for (const char* tint : {"redyellow", "bluegreen", "greenblue"}) {
        const std::string name = std::string("Mandala_slices_color_correction_") + tint + ".png";
        const cPicture lut(name);
        ASSERT_EQ(lut.width(), 256u) << name;
        ASSERT_EQ(lut.height(), 1u) << name;
        EXPECT_LT(lut.luminance(0, 0), 0.02f) << name;
        EXPECT_GT(lut.luminance(255, 0), 0.8f) << name;
        for (unsigned x = 1; x < 256; ++x)
            ASSERT_GE(lut.luminance(x, 0) + 0.01f, lut.luminance(x - 1, 0)) << name << " at " << x;
    }
    // Each lookup tints: the middle of red-yellow is red, of blue-green blue.
    const RGBQUAD red = cPicture("Mandala_slices_color_correction_redyellow.png").at(128, 0);
    EXPECT_GT(red.rgbRed, 2 * red.rgbGreen);
    const RGBQUAD blue = cPicture("Mandala_slices_color_correction_bluegreen.png").at(128, 0);
    EXPECT_GT(blue.rgbBlue, 2 * blue.rgbRed);
}

TEST(DatagenTextures, AddedPicturesAreBlackWhereEmptyAndCutoutsHaveGaps)
{
    // Sprites, ring and logo strip are added to the frame: their borders are black.
    for (const char* name : {"particleglow.jpg", "dodgecircle.jpg", "morvik_fz2009.jpg", "intro_bg.jpg"}) {
        const cPicture p(name);
        for (unsigned x = 0; x < p.width(); x += 7) {
            ASSERT_LT(p.luminance(x, 0), 0.05f) << name;
            ASSERT_LT(p.luminance(x, p.height() - 1), 0.05f) << name;
        }
    }
    const cPicture glow("particleglow.jpg");
    EXPECT_GT(glow.luminance(32, 32), 0.9f);
    const cPicture ring("dodgecircle.jpg");
    EXPECT_GT(ring.luminance(256 + 51, 256), 0.6f);  // the ring
    EXPECT_LT(ring.luminance(256, 256), 0.3f);       // its open middle

    // The slice atlas: ornaments with transparent gaps, nothing outside the discs.
    const cPicture slices("Mandala_slices.png");
    unsigned clear = 0, solid = 0, total = 0;
    for (unsigned row = 0; row < slices.height(); row += 3)
        for (unsigned x = 0; x < slices.width(); x += 3) {
            const unsigned a = slices.at(x, row).rgbReserved;
            clear += a < 8;
            solid += a > 200;
            ++total;
        }
    EXPECT_GT(clear, total / 4);
    EXPECT_GT(solid, total / 1000);
    EXPECT_EQ(slices.at(0, 0).rgbReserved, 0);
    EXPECT_EQ(slices.at(512, 512).rgbReserved, 0);

    // The title logo is cut out of the card by its alpha: letters opaque, margins clear.
    const cPicture logo("intro_logo.png");
    EXPECT_EQ(logo.at(2, 2).rgbReserved, 0);
    unsigned opaque = 0;
    for (unsigned x = 0; x < logo.width(); ++x)
        opaque += logo.at(x, 128).rgbReserved > 240;
    EXPECT_GT(opaque, 60u);
}

TEST(DatagenTextures, RepeatedAndRayCastingPicturesHoldUpWhereTheyAreUsed)
{
    // The string repeats around the ring: its two edge columns meet without a seam.
    const cPicture string("mandala_string.jpg");
    for (unsigned row = 0; row < string.height(); ++row)
        ASSERT_NEAR(string.luminance(0, row), string.luminance(string.width() - 1, row), 0.08f) << row;

    // The title's rays come from what stays brighter than 165 of 255 after
    // the card (its brightness times itself, as the additive program draws
    // it) is blurred: some 24 x 24 texel patch must average above that.
    const cPicture card("intro_bg.jpg");
    float best = 0.0f;
    for (unsigned row = 0; row + 24 <= card.height(); row += 8)
        for (unsigned x = 0; x + 24 <= card.width(); x += 8) {
            float sum = 0.0f;
            for (unsigned dy = 0; dy < 24; dy += 2)
                for (unsigned dx = 0; dx < 24; dx += 2) {
                    const RGBQUAD c = card.at(x + dx, row + dy);
                    const float top = std::max({c.rgbRed, c.rgbGreen, c.rgbBlue}) / 255.0f;
                    sum += top * top;
                }
            best = std::max(best, sum / 144.0f);
        }
    EXPECT_GT(best, 165.0f / 255.0f);
}

}  // namespace
