#include "support/gl_context.h"

#include <gmock/gmock.h>

#include <array>
#include <filesystem>
#include <functional>

#include <zlib.h>

#include "gl.h"
#include "support/image_file.h"
#include "support/files.h"
#include "resource_path.h"
#include "texture_manager.h"

namespace fs = std::filesystem;
using testing::HasSubstr;

namespace {

using cRgba = std::array<uint8_t, 4>;

const cRgba RED{255, 0, 0, 255};
const cRgba GREEN{0, 255, 0, 255};
const cRgba BLUE{0, 0, 255, 255};

// Bottom row red, top row blue, green between: shows which way up a texture is.
cRgba stripes(int h, int row)
{
    return row == 0 ? RED : (row == h - 1 ? BLUE : GREEN);
}

std::vector<uint8_t> texels(const cTexture& t, int level = 0)
{
    std::vector<uint8_t> out(static_cast<size_t>(t.width) * t.height * 4);
    glBindTexture(t.target, t.name);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glGetTexImage(t.target, level, GL_RGBA, GL_UNSIGNED_BYTE, out.data());
    glBindTexture(t.target, 0);
    return out;
}

// A texture parameter, or with a level the width of that mipmap level.
GLint tex_parameter(const cTexture& t, GLenum pname, int level = -1)
{
    GLint value = 0;
    glBindTexture(t.target, t.name);
    if (level < 0)
        glGetTexParameteriv(t.target, pname, &value);
    else
        glGetTexLevelParameteriv(t.target, level, GL_TEXTURE_WIDTH, &value);
    glBindTexture(t.target, 0);
    return value;
}

GLint level_width(const cTexture& t, int level) { return tex_parameter(t, GL_TEXTURE_WIDTH, level); }

cRgba texel(const std::vector<uint8_t>& data, int width, int x, int row)
{
    const size_t i = (static_cast<size_t>(row) * width + x) * 4;
    return {data[i], data[i + 1], data[i + 2], data[i + 3]};
}

class TextureManagerTest : public GlTest {
protected:
    void SetUp() override
    {
        GlTest::SetUp();
        // Named after the test, not the process: a death test's child runs
        // this set-up again and must see the same files.
        const auto* info = testing::UnitTest::GetInstance()->current_test_info();
        dir = fs::temp_directory_path() / (std::string("qv_tex_") + info->name());
        fs::create_directories(dir);
        cResourcePath::get_instance()->add(dir.string());
        cResourcePath::get_instance()->add("../data/textures");
        testing::GTEST_FLAG(death_test_style) = "threadsafe";
    }
    void TearDown() override
    {
        cTextureManager::destroy_instance();
        cResourcePath::destroy_instance();
        fs::remove_all(dir);
        GlTest::TearDown();
    }
    cTextureManager* manager() { return cTextureManager::get_instance(); }
    void write_stripes(const char* name, int w, int h)
    {
        ASSERT_TRUE(write_image(dir / name, w, h, 24, [h](int, int row) { return stripes(h, row); }));
    }

    fs::path dir;
};

// The cache starts with the neutral textures, is keyed by the full path
// alone, and shutdown deletes everything it made.
TEST_F(TextureManagerTest, CacheOfNeutralAndLoadedTexturesByFullPathUntilShutdown)
{
    cTextureManager* m = manager();
    ASSERT_EQ(m->textures.size(), 2u);
    const cTexture white = m->get_default_white();
    const cTexture black = m->get_default_black();
    EXPECT_EQ(texel(texels(white), white.width, 1, 1), (cRgba{255, 255, 255, 255}));
    EXPECT_EQ(texel(texels(black), black.width, 1, 1), (cRgba{0, 0, 0, 255}));
    EXPECT_EQ(tex_parameter(white, GL_TEXTURE_WRAP_S), GL_CLAMP);

    write_stripes("once.png", 4, 4);
    const cTexture first = m->get_texture("once.png", false, GL_CLAMP, 0);
    const cTexture again = m->get_texture("once.png", true, GL_REPEAT, GL_TEXTURE_RECTANGLE_ARB);
    const cTexture by_path = m->get_texture((dir / "once.png").string(), false, GL_CLAMP, 0);
    EXPECT_EQ(again.name, first.name);
    EXPECT_EQ(by_path.name, first.name);
    EXPECT_EQ(tex_parameter(first, GL_TEXTURE_WRAP_S), GL_CLAMP);
    EXPECT_EQ(m->textures.size(), 3u);
    EXPECT_EQ(m->textures.count((dir / "once.png").string()), 1u);

    ASSERT_TRUE(glIsTexture(first.name));
    cTextureManager::destroy_instance();
    EXPECT_FALSE(glIsTexture(first.name));
    EXPECT_FALSE(glIsTexture(white.name));
}

// Power-of-two pictures become 2D textures, one-row pictures 1D, others
// rectangles (never mipmapped) unless the caller forces a target; rows are
// uploaded bottom first.
TEST_F(TextureManagerTest, TargetsFiltersAndRowOrderFollowTheSizeAndTheRequest)
{
    write_stripes("rgb.png", 8, 4);
    ASSERT_TRUE(write_image(dir / "rgba.png", 5, 3, 32, [](int x, int row) {
        return cRgba{static_cast<uint8_t>(40 * x), static_cast<uint8_t>(80 * row), 7, static_cast<uint8_t>(50 + x)};
    }));
    write_stripes("pot.png", 16, 8);
    ASSERT_TRUE(write_image(dir / "row.png", 256, 1, 24, [](int x, int) { return cRgba{static_cast<uint8_t>(x), 0, 0, 255}; }));
    write_stripes("forced.png", 6, 4);
    const struct {
        const char* file;
        bool mipmaps;
        GLint wrap;
        GLenum forced, target;
        GLint min_filter;
        int x, row;           // a texel and its expected colour
        cRgba texel;
        GLint level1_width;   // 0 without mipmaps; rectangles have only level 0
    } cases[] = {
        {"rgb.png", false, GL_REPEAT, 0, GL_TEXTURE_2D, GL_LINEAR, 3, 3, BLUE, 0},
        {"rgba.png", true, GL_CLAMP_TO_EDGE, 0, GL_TEXTURE_RECTANGLE_ARB, GL_LINEAR, 4, 2, {160, 160, 7, 54}, 0},
        {"pot.png", true, GL_REPEAT, 0, GL_TEXTURE_2D, GL_LINEAR_MIPMAP_LINEAR, 3, 0, RED, 8},
        {"row.png", true, GL_REPEAT, 0, GL_TEXTURE_1D, GL_LINEAR_MIPMAP_LINEAR, 200, 0, {200, 0, 0, 255}, 128},
        {"forced.png", false, GL_CLAMP, GL_TEXTURE_2D, GL_TEXTURE_2D, GL_LINEAR, 2, 3, BLUE, 0},
    };
    for (const auto& c : cases) {
        const cTexture t = manager()->get_texture(c.file, c.mipmaps, c.wrap, c.forced);
        EXPECT_EQ(t.target, c.target) << c.file;
        EXPECT_EQ(tex_parameter(t, GL_TEXTURE_MIN_FILTER), c.min_filter) << c.file;
        EXPECT_EQ(tex_parameter(t, GL_TEXTURE_MAG_FILTER), GL_LINEAR) << c.file;
        EXPECT_EQ(texel(texels(t), static_cast<int>(t.width), c.x, c.row), c.texel) << c.file;
        if (t.target != GL_TEXTURE_RECTANGLE_ARB) {
            EXPECT_EQ(level_width(t, 1), c.level1_width) << c.file;
        }
    }
    const cTexture rgb = manager()->get_texture("rgb.png", false, GL_REPEAT, 0);
    EXPECT_EQ(std::make_pair(rgb.width, rgb.height), std::make_pair(8u, 4u));
    EXPECT_EQ(std::make_pair(tex_parameter(rgb, GL_TEXTURE_WRAP_S), tex_parameter(rgb, GL_TEXTURE_WRAP_T)),
              std::make_pair(GL_REPEAT, GL_REPEAT));
    EXPECT_EQ(level_width(manager()->get_texture("pot.png", true, GL_REPEAT, 0), 4), 1);
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D));
}

TEST_F(TextureManagerTest, RgbRowsFollowFreeImagePitchWhateverTheUnpackState)
{
    // Five RGB pixels are 15 bytes; FreeImage pads each row to 16.
    ASSERT_TRUE(write_image(dir / "odd.bmp", 5, 3, 24, [](int x, int row) {
        return cRgba{static_cast<uint8_t>(10 + x), static_cast<uint8_t>(100 + row), 200, 255};
    }, FIF_BMP));
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    const cTexture t = manager()->get_texture("odd.bmp", false, GL_CLAMP, 0);
    const auto data = texels(t);
    for (int row = 0; row < 3; ++row)
        for (int x = 0; x < 5; ++x)
            EXPECT_EQ(texel(data, 5, x, row), (cRgba{static_cast<uint8_t>(10 + x), static_cast<uint8_t>(100 + row), 200, 255}));
    GLint alignment = 0;
    glGetIntegerv(GL_UNPACK_ALIGNMENT, &alignment);
    EXPECT_EQ(alignment, 1);  // the caller's state is left as it was
}

// ---- refusals: each ends the process with status -1 after its message --------

// A damaged header must not make the manager decode gigabytes of pixels.
TEST_F(TextureManagerTest, PictureLargerThanTheDriverTakesIsRefusedFromItsHeader)
{
    auto chunk = [](const std::string& type, const std::vector<uint8_t>& data) {
        std::vector<uint8_t> out{0, 0, 0, static_cast<uint8_t>(data.size())};
        for (char c : type)
            out.push_back(static_cast<uint8_t>(c));
        for (uint8_t b : data)
            out.push_back(b);
        const uLong crc = crc32(crc32(0, nullptr, 0), out.data() + 4, static_cast<uInt>(out.size() - 4));
        for (int shift : {24, 16, 8, 0})
            out.push_back(static_cast<uint8_t>(crc >> shift));
        return out;
    };
    std::vector<uint8_t> png{0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    for (const auto& c : {chunk("IHDR", {0, 0, 0xEA, 0x60, 0, 0, 0xEA, 0x60, 8, 2, 0, 0, 0}),  // 60000 x 60000
                          chunk("IDAT", {0x78, 0x9C, 0x03, 0x00}), chunk("IEND", {})})
        png.insert(png.end(), c.begin(), c.end());
    // A GIF's first frame claims the size on a 1x1 screen, behind its colour
    // table and a graphic-control block.
    const std::vector<uint8_t> gif{'G', 'I', 'F', '8', '9', 'a', 1, 0, 1, 0, 0x80, 0, 0, 0, 0, 0, 255, 255, 255,
                                   0x21, 0xF9, 4, 0, 0, 0, 0, 0, 0x2C, 0, 0, 0, 0, 0x60, 0xEA, 0x60, 0xEA, 0,
                                   2, 2, 0x4C, 1, 0, 0x3B};
    // A progressive JPEG: the image library's own header read starts the
    // decoder, which allocates for the whole picture and then fails.
    const std::vector<uint8_t> jpeg{0xFF, 0xD8, 0xFF, 0xC2, 0, 11, 8, 0xEA, 0x60, 0xEA, 0x60, 1, 1, 0x11, 0,
                                    0xFF, 0xD9};
    for (const auto& [name, bytes] : {std::pair{"huge.png", png}, {"huge.gif", gif}, {"huge.jpg", jpeg}}) {
        write_file(dir / name, bytes);
        EXPECT_EXIT(manager()->get_texture(name, false, GL_CLAMP, 0), testing::ExitedWithCode(255),
                    testing::ContainsRegex("^## ERROR: in \\.\\./src/cTextureManager line [0-9]+: picture too large: "
                                           ".*huge\\.[a-z]+ is 60000x60000 pixels, at most [0-9]+ per side\n$"))
            << name;
    }
}

// Greyscale, palette, undecodable and one-float-channel pictures: the message
// names the file and the bits per pixel FreeImage reports. A missing file
// is refused by name.
TEST_F(TextureManagerTest, ImagesThatAreNotRgbOrRgbaBytesAndMissingFilesAreRefused)
{
    ASSERT_TRUE(write_image(dir / "grey.png", 4, 4, 8, [](int, int) { return cRgba{}; }));
    FIBITMAP* palette = FreeImage_Allocate(4, 4, 8);
    FreeImage_GetPalette(palette)[1] = RGBQUAD{0, 0, 255, 0};
    BYTE index = 1;
    FreeImage_SetPixelIndex(palette, 1, 1, &index);
    ASSERT_EQ(FreeImage_GetColorType(palette), FIC_PALETTE);
    ASSERT_TRUE(FreeImage_Save(FIF_PNG, palette, (dir / "palette.png").string().c_str(), 0));
    FreeImage_Unload(palette);
    write_file(dir / "text.png", "this is not a picture");
    FIBITMAP* floats = FreeImage_AllocateT(FIT_FLOAT, 4, 4);
    ASSERT_TRUE(FreeImage_Save(FIF_TIFF, floats, (dir / "float.tif").string().c_str(), 0));
    FreeImage_Unload(floats);

    for (const auto& [name, bpp] : {std::pair{"grey.png", 8}, {"palette.png", 8}, {"text.png", 0}, {"float.tif", 32}}) {
        const std::string path = (dir / name).string();
        EXPECT_EXIT(manager()->get_texture(name, false, GL_CLAMP, 0), testing::ExitedWithCode(255),
                    HasSubstr("images must be 24 or 32 bpp... \"" + path + "\" is " + std::to_string(bpp) + "\n"));
    }
    EXPECT_EXIT(manager()->get_texture("nowhere.png", false, GL_CLAMP, 0), testing::ExitedWithCode(255),
                testing::ContainsRegex("^## ERROR: in \\.\\./src/cTextureManager line [0-9]+: "
                                       "file was not found in path: \"nowhere\\.png\"\n$"));
}

// Files cut short, as the fuzzer reduced them. The GIF is cut inside its
// colour table: the library's GIF reader used to loop for ever on the length
// byte it could not read past the end of the file. The icon's directory
// claims more bytes than its reader's buffer holds: filling the whole
// request past the end of the file wrote past that buffer (the sanitized
// run reports it).
TEST_F(TextureManagerTest, PicturesCutShortAreRefusedWithoutHangingOrOverrunning)
{
    const std::vector<uint8_t> gif{
        0x47, 0x49, 0x46, 0x38, 0x39, 0x61, 0x0c, 0x00, 0x09, 0x00, 0xf7, 0x1f, 0x31, 0x21, 0xff, 0x0b, 0x4e, 0x45,
        0x54, 0x53, 0x43, 0x41, 0x50, 0x45, 0x32, 0x2e, 0x30, 0x03, 0x01, 0x00, 0x00, 0x00, 0x21, 0xf9, 0x04, 0x04,
        0x00, 0x00, 0x1f, 0x00, 0x2c, 0x00, 0x00, 0x00, 0x00, 0x0c, 0x00, 0x1c, 0x92, 0xd4, 0xc8, 0x30, 0x20, 0x00,
        0x3b, 0x20, 0x00, 0x3b, 0x20, 0x00, 0x3b, 0x00, 0xcd, 0x63, 0x87, 0x1c, 0x92, 0xd4, 0xc8, 0x30, 0x20, 0x00,
        0x3b, 0x20, 0x00, 0x3b, 0x20, 0x00, 0x3b};
    std::vector<uint8_t> icon{0, 0, 1, 0, 0xbd, 0, 0, 0, 0, 0xff, 0xff, 0xff, 0xff, 0xff, 0xff, 0xff, 0xfa};
    icon.resize(58);
    icon.insert(icon.end(), {0x02, 0x40});
    for (const auto& [name, bytes] : {std::pair{"cut.gif", gif}, {"cut.ico", icon}}) {
        write_file(dir / name, bytes);
        EXPECT_EXIT(manager()->get_texture(name, false, GL_CLAMP, 0), testing::ExitedWithCode(255),
                    testing::ContainsRegex("images must be 24 or 32 bpp\\.\\.\\. \".*cut\\.[a-z]+\" is [0-9]+\n"))
            << name;
    }
}

TEST(FreeImageMessageTest, NamesTheFormatWhenKnown)
{
    EXPECT_EQ(stdout_of([] { freeimage_message(FIF_PNG, "bad chunk"); freeimage_message(FIF_UNKNOWN, "no idea"); }),
              "\n*** PNG Format\nbad chunk ***\n\n*** no idea ***\n");
}

}  // namespace
