#include "values/gui_label.h"

#include <iostream>

#include "gl.h"
#include "resource_path.h"
#include "state_manager.h"
#include "video.h"

namespace {

// Column (u / 20) of the signs in row 0.
int sign_column(char c)
{
    switch (c) {
    case '-': return 3;
    case '.': return 4;
    case ':': return 5;
    case ',': return 6;
    case '(': return 8;
    case ')': return 9;
    default: return -1;
    }
}

}  // namespace

// ---- glyph placement ---------------------------------------------------------

bool glyph_texel(char c, float& u, float& v)
{
    int column = -1;
    int row = 0;
    if (c >= 'A' && c <= 'Z') {
        column = 10 + (c - 'A');
    } else if (c >= 'a' && c <= 'z') {
        column = 10 + (c - 'a');
        row = 1;
    } else if (c >= '0' && c <= '9') {
        column = c - '0';
        row = 1;
    } else {
        column = sign_column(c);
    }
    if (column < 0)
        return false;
    u = GLYPH_CELL * column;
    v = GLYPH_CELL * row;
    return true;
}

bool glyph_quad(char c, size_t index, float x, float y, float height, cGlyphQuad& q)
{
    float u = 0, v = 0;
    if (!glyph_texel(c, u, v))
        return false;
    const float left = x + GLYPH_ADVANCE * static_cast<float>(index);
    q = {left, y, left + GLYPH_ADVANCE, y + height, u, v, u + GLYPH_CELL, v + GLYPH_CELL};
    return true;
}

float glyph_height(int window_width, int window_height)
{
    if (window_height <= 0)
        return GLYPH_ADVANCE;
    return GLYPH_ADVANCE * static_cast<float>(window_width) / static_cast<float>(window_height);
}

// ---- cGuiTxtLabel ------------------------------------------------------------

void cGuiTxtLabel::reset()
{
    cResourcePath::get_instance()->add("../data/textures");
}

void cGuiTxtLabel::set_pos(const float& x_, const float& y_)
{
    x = x_;
    y = y_;
}

void cGuiTxtLabel::get_pos(float& x_, float& y_)
{
    x_ = x;
    y_ = y;
}

void cGuiTxtLabel::load_font()
{
    texture = cTextureManager::get_instance()->get_texture(font, false, GL_CLAMP, 0);
    if (texture.width < FONT_MIN_WIDTH || texture.height < FONT_MIN_HEIGHT)
        std::cerr << "# warning: font '" << font << "' is " << texture.width << "x" << texture.height
                  << ", smaller than its " << FONT_MIN_WIDTH << "x" << FONT_MIN_HEIGHT << " glyph grid\n";
}

void cGuiTxtLabel::draw()
{
    if (texture.target == 0)
        load_font();
    const cVideo_SDL* video = cVideo_SDL::get_instance();
    const float height = glyph_height(video->width, video->height);

    GLint matrix_mode = GL_MODELVIEW;
    glGetIntegerv(GL_MATRIX_MODE, &matrix_mode);
    glActiveTexture(GL_TEXTURE0);
    glDisable(GL_TEXTURE_2D);
    glDisable(GL_TEXTURE_RECTANGLE_ARB);
    glMatrixMode(GL_TEXTURE);
    glPushMatrix();
    glLoadIdentity();

    cStateManager* state = cStateManager::get_instance();
    state->push();
    state->set_blend(true);
    state->set_blend_func(gs::BF_SRC_ALPHA, gs::BF_ONE_MINUS_SRC_ALPHA, state->pending.get(gs::BLEND_SRC_ALPHA),
                          state->pending.get(gs::BLEND_DST_ALPHA));
    state->apply();

    glEnable(texture.target);
    glBindTexture(texture.target, texture.name);
    draw_glyphs(height);
    glDisable(texture.target);
    glBindTexture(texture.target, 0);

    state->pop();
    glMatrixMode(GL_TEXTURE);
    glPopMatrix();
    glMatrixMode(static_cast<GLenum>(matrix_mode));
}

void cGuiTxtLabel::draw_glyphs(float height) const
{
    // Cells are given in texels, which is how a rectangle texture is
    // addressed; a power-of-two font becomes a 2D texture and wants them
    // normalised.
    float su = 1, sv = 1;
    if (texture.target == GL_TEXTURE_2D && texture.width > 0 && texture.height > 0) {
        su = 1.0f / static_cast<float>(texture.width);
        sv = 1.0f / static_cast<float>(texture.height);
    }
    glBegin(GL_QUADS);
    for (size_t i = 0; i < text.size(); ++i) {
        cGlyphQuad q{};
        if (!glyph_quad(text[i], i, x, y, height, q))
            continue;
        glTexCoord2f(q.u0 * su, q.v0 * sv);
        glVertex2f(q.x0, q.y0);
        glTexCoord2f(q.u1 * su, q.v0 * sv);
        glVertex2f(q.x1, q.y0);
        glTexCoord2f(q.u1 * su, q.v1 * sv);
        glVertex2f(q.x1, q.y1);
        glTexCoord2f(q.u0 * su, q.v1 * sv);
        glVertex2f(q.x0, q.y1);
    }
    glEnd();
}
