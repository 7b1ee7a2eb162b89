#include "support/gl_context.h"

#include "support/files.h"
#include "support/image_file.h"

#include <array>
#include <filesystem>

#include "gl.h"
#include "resource_path.h"
#include "screen_space.h"
#include "state_manager.h"
#include "texture_manager.h"
#include "values/gui_var_list.h"
#include "values/mouse.h"

namespace fs = std::filesystem;

namespace {

using cRgb = std::array<int, 3>;

// Each glyph cell of the test font is one flat colour naming its cell: red
// counts the column, green tells the row.
cRgb cell_color(int column, int row)
{
    return {column * 7, row == 0 ? 60 : 200, 90};
}

void write_font(const fs::path& path)
{
    ASSERT_TRUE(write_image(path, 720, 40, 32, [](int u, int v) {
        const cRgb c = cell_color(u / 20, v / 20);  // scan line 0 becomes texel row 0
        return std::array<uint8_t, 4>{static_cast<uint8_t>(c[0]), static_cast<uint8_t>(c[1]), static_cast<uint8_t>(c[2]), 255};
    }));
}

int px(float screen, int size)
{
    return static_cast<int>(screen * static_cast<float>(size));
}

cRgb scaled(const cRgb& c, float f)
{
    return {static_cast<int>(c[0] * f), static_cast<int>(c[1] * f), static_cast<int>(c[2] * f)};
}

class GuiDrawTest : public GlTest {
protected:
    void SetUp() override
    {
        GlTest::SetUp();
        write_font(dir / "fontlist.png");
        cResourcePath::get_instance()->add(dir.path.string());  // ahead of the generated font
        cResourcePath::get_instance()->add("../data/textures");
        cStateManager::get_instance()->set_defaults();  // smooth lines, culling on
        glClearColor(0, 0, 0, 1);
        glClear(GL_COLOR_BUFFER_BIT);
        // The GUI's setting: screen space with ordinary alpha blending.
        begin_screen_space();
        cStateManager::get_instance()->set_blend_func(gs::BLEND_ALPHA);
    }
    void TearDown() override
    {
        cTextureManager::destroy_instance();
        cResourcePath::destroy_instance();
        cMouse::destroy_instance();
        GlTest::TearDown();
    }
    static cRgb pixel(int x, int y)
    {
        const std::vector<uint8_t> p = read_pixels(x, y, 1, 1);
        return {p[0], p[1], p[2]};
    }
    static void expect_near(const cRgb& got, const cRgb& want, int tolerance, const char* what)
    {
        for (int k = 0; k < 3; ++k)
            EXPECT_NEAR(got[k], want[k], tolerance) << what << ", channel " << k;
    }

    cTempDir dir{"gui"};
};

}  // namespace

TEST_F(GuiDrawTest, LabelDrawsEachCharacterFromItsCell)
{
    cGuiTxtLabel label;
    label.text = "Ab1: x";
    label.set_pos(0.1f, 0.5f);
    glColor4f(1, 1, 1, 1);
    const cGLState before = cStateManager::get_instance()->pending;
    label.draw();
    EXPECT_EQ(cStateManager::get_instance()->pending, before);
    end_screen_space();
    EXPECT_EQ(label.texture.target, static_cast<GLenum>(GL_TEXTURE_RECTANGLE_ARB));

    const int y = px(0.505f, 720);
    const int x[6] = {134, 147, 160, 172, 185, 198};  // centres of the 12.8-pixel cells
    const cRgb want[6] = {cell_color(10, 0), cell_color(11, 1), cell_color(1, 1), cell_color(5, 0), {0, 0, 0},
                          cell_color(33, 1)};
    for (int i = 0; i < 6; ++i)
        expect_near(pixel(x[i], y), want[i], want[i][2] ? 2 : 0, label.text.substr(i, 1).c_str());
    // Square in pixels: 12.8 tall from y 360.
    expect_near(pixel(x[0], 371), want[0], 2, "top of A");
    expect_near(pixel(x[0], 374), {0, 0, 0}, 0, "above A");
}

TEST_F(GuiDrawTest, SliderDrawsBarZeroMarkAndValueMark)
{
    cGuiSlider s;
    // Half a pixel in, so that the one-pixel smooth lines fall on pixel centres.
    s.set_pos(320.5f / 1280, 0.4f);
    s.set_size(0.5f, 0.1f);
    s.min = -1;
    s.value = 0.5f;  // zero mark at 640 px, value mark at 800 px
    s.draw();
    cGuiSlider below = s;
    below.set_pos(320.5f / 1280, 0.2f);
    below.value = -0.5f;  // a dark bar from 480 to 640 px, drawn leftwards
    below.draw();
    end_screen_space();

    const int y = px(0.45f, 720), y_below = px(0.25f, 720);
    const int fill = 38, bar = 147, dark = 19;  // white 0.15 over black; 0.5 white or black over that
    expect_near(pixel(200, y), {0, 0, 0}, 0, "left of the slider");
    expect_near(pixel(500, y), {fill, fill, fill}, 2, "fill");
    expect_near(pixel(720, y), {bar, bar, bar}, 2, "bar");
    expect_near(pixel(900, y), {fill, fill, fill}, 2, "right of the value");
    expect_near(pixel(800, y), {255, 255, 255}, 1, "value mark");
    const cRgb zero = pixel(640, y);  // red at 0.5 over the bar
    EXPECT_GT(zero[0], 190);
    EXPECT_LT(zero[1], 110);
    expect_near(pixel(560, y_below), {dark, dark, dark}, 2, "bar below zero");
    expect_near(pixel(400, y_below), {fill, fill, fill}, 2, "fill below zero");
}

TEST_F(GuiDrawTest, VarListDrawsRowsFromTheirVariables)
{
    cGuiVarList list;
    list.reset();
    list.set_pos(0.05f, 0.05f);
    list.set_size(0.9f, 0.65f);
    float speed = 0.25f, other = 0;
    add_float_var(&list, "speed", &speed, 0, 1);  // row 0, y 0.67
    add_float_var(&list, "other", &other, 0, 1);  // row 1, y 0.64
    speed = 0.75f;                                // changed after the row was made
    list.layout();
    list.handle_mouse(GUI_DRAG, 0.5f, 0.65f);  // no button held: row 1 grabbed
    list.draw();
    end_screen_space();

    const int row0 = px(0.678f, 720), row1 = px(0.655f, 720);
    // The value mark shows the new value (x 0.7375, on a pixel border: two
    // half-covered pixels); where the old value was, only the bar lies.
    EXPECT_GT(std::max(pixel(943, row0)[0], pixel(944, row0)[0]), 190);
    expect_near(pixel(px(0.4125f, 1280), row0), {147, 147, 147}, 2, "bar at the old value");
    // Name "speed" and value "0.75" in white at 0.85 over the dark panel.
    expect_near(pixel(px(0.055f, 1280), row0), scaled(cell_color(28, 1), 0.85f), 3, "s of the name");
    expect_near(pixel(px(0.225f, 1280), row0), scaled(cell_color(7, 1), 0.85f), 3, "7 of the value");
    // Only the grabbed row is lit between its name and its value.
    EXPECT_LT(pixel(px(0.17f, 1280), row0)[0], 10);
    EXPECT_GT(pixel(px(0.17f, 1280), row1)[0], 100);
}
