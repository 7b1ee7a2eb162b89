// "fontlist.png": the tweak GUI's glyph grid, 720 x 40 texels in cells of
// 20 x 20 addressed in texels. Texel row 0 is the image's bottom row, so the
// grid's row 0 (capitals and signs) is the lower half of the picture and
// row 1 (digits and small letters) the upper half; glyphs are upright.
// White everywhere, shape in alpha with a faint halo.
#include <algorithm>
#include <vector>

#include "pixel_font.h"
#include "textures_show.h"

namespace {

constexpr int FONT_W = 720;
constexpr int FONT_H = 40;
constexpr int CELL = 20;

struct cCellGlyph {
    char code;  // character drawn
    int u;      // left texel of the cell
    int row;    // grid row: 0 capitals and signs, 1 digits and small letters
};

std::vector<cCellGlyph> font_cells()
{
    std::vector<cCellGlyph> cells = {{'-', 60, 0}, {'.', 80, 0}, {':', 100, 0},
                                     {',', 120, 0}, {'(', 160, 0}, {')', 180, 0}};
    for (int k = 0; k < 26; ++k) {
        cells.push_back({static_cast<char>('A' + k), 200 + CELL * k, 0});
        cells.push_back({static_cast<char>('a' + k), 200 + CELL * k, 1});
    }
    for (int d = 0; d < 10; ++d)
        cells.push_back({static_cast<char>('0' + d), CELL * d, 1});
    return cells;
}

}  // namespace

bool write_fontlist(const std::string& dir)
{
    // Glyphs of 5 x 7 font pixels at 2 texels each, centred in their cells.
    const cTextStyle style{2, 0};
    cLayer core(FONT_W, FONT_H);
    for (const cCellGlyph& c : font_cells()) {
        const int top = c.row == 0 ? FONT_H - CELL : 0;  // picture rows count from the top
        draw_text(core, std::string(1, c.code), c.u + 5, top + 3, style, 1.0f);
    }
    cLayer halo = core;
    blur(halo, 1, 2);
    cCanvas font(FONT_W, FONT_H, 32, {1.0f, 1.0f, 1.0f, 0.0f});
    for (int y = 0; y < FONT_H; ++y)
        for (int x = 0; x < FONT_W; ++x) {
            // The halo never leaves its cell: cells are 5 texels wider than the glyph on each side.
            const float a = std::max(core.at(x, y), 0.45f * halo.at(x, y));
            font.at(x, y) = {1.0f, 1.0f, 1.0f, a};
        }
    return save_texture(font, dir, "fontlist.png", {});
}
