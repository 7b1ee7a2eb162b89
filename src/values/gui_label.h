#pragma once
// Text labels of the tweak GUI, drawn from the bitmap font "fontlist.png": a
// grid of 20x20-texel cells, capitals and signs in row 0, digits and small
// letters in row 1. The font texture comes from the texture manager on the
// first draw (a missing font ends the process there) and belongs to it; a
// label owns only its text. Glyph placement is plain arithmetic, separate
// from the drawing, so it tests without GL.
#include <cstddef>
#include <string>

#include "texture_manager.h"
#include "values/gui_node.h"

constexpr float GLYPH_ADVANCE = 0.01f;  // width of one character, screen units
constexpr float GLYPH_CELL = 20;        // side of a glyph cell, texels
constexpr int FONT_MIN_WIDTH = 720;     // texels the glyph grid needs
constexpr int FONT_MIN_HEIGHT = 40;

// One character's quad: corners (x0, y0)-(x1, y1) take texel coordinates
// (u0, v0)-(u1, v1).
struct cGlyphQuad {
    float x0, y0;  // lower-left corner, screen units
    float x1, y1;  // upper-right corner
    float u0, v0;  // texel of the lower-left corner
    float u1, v1;  // texel of the upper-right corner
};

// Lower-left texel of a character's cell; false for characters the font
// lacks (the space among them).
bool glyph_texel(char c, float& u, float& v);
// Quad of character `index` of a text placed at (x, y) with glyphs `height`
// tall; false when that character draws nothing (it still takes its width).
bool glyph_quad(char c, size_t index, float x, float y, float height, cGlyphQuad& q);
// Glyph height that makes glyphs square in pixels on a window of that size.
float glyph_height(int window_width, int window_height);

class cGuiTxtLabel : public iGuiNode {
public:
    // Adds "../data/textures", where the font lives, to the search paths.
    void reset() override;
    // Draws the text in the current colour, blended by the glyphs' alpha.
    void draw() override;
    void set_pos(const float& x_, const float& y_) override;
    void get_pos(float& x_, float& y_) override;
    bool is_grabbed() override { return false; }

    float x = 0;                       // left edge of the first character
    float y = 0;                       // bottom edge of the text
    std::string text;                  // characters to draw
    cTexture texture;                  // the font; empty (target 0) until the first draw
    std::string font = "fontlist.png"; // font image, found through the search paths

private:
    void load_font();
    void draw_glyphs(float height) const;
};
