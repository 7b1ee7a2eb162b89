#pragma once
// A 5x7 pixel font drawn in code, so generated pictures carry text without
// any font file. Letters of both cases, digits and a little punctuation;
// other characters draw as blanks.
#include <string>

#include "canvas.h"

struct cTextStyle {
    int scale = 1;     // canvas pixels per font pixel
    int spacing = 1;   // blank font pixels between glyphs
};

// Width of the text in canvas pixels (no trailing spacing).
int text_width(const std::string& text, const cTextStyle& style);

// Sets every lit font pixel of the text to `value` in the layer; (x, y) is
// the top-left corner in canvas pixels.
void draw_text(cLayer& layer, const std::string& text, int x, int y, const cTextStyle& style, float value);
