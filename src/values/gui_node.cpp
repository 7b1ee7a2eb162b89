#include "values/gui_node.h"

#include <utility>

#include "gl.h"
#include "state_manager.h"

void gui_color(const cGuiColor& c)
{
    glColor4f(c.r, c.g, c.b, c.a);
}

void gui_quad(float x0, float y0, float x1, float y1)
{
    // Always counter-clockwise: a bar running left of its start (a value
    // below zero) must survive back-face culling.
    if (x1 < x0)
        std::swap(x0, x1);
    if (y1 < y0)
        std::swap(y0, y1);
    glBegin(GL_QUADS);
    glVertex2f(x0, y0);
    glVertex2f(x1, y0);
    glVertex2f(x1, y1);
    glVertex2f(x0, y1);
    glEnd();
}

void gui_vertical_line(float x, float y0, float y1)
{
    glBegin(GL_LINES);
    glVertex2f(x, y0);
    glVertex2f(x, y1);
    glEnd();
}

void cGuiRectangle::draw()
{
    GLfloat line_width = 1;
    glGetFloatv(GL_LINE_WIDTH, &line_width);
    glLineWidth(1);
    cStateManager::get_instance()->apply();
    gui_color(fill_color);
    gui_quad(x, y, x + w, y + h);
    gui_color(line_color);
    glBegin(GL_LINE_LOOP);
    glVertex2f(x, y);
    glVertex2f(x + w, y);
    glVertex2f(x + w, y + h);
    glVertex2f(x, y + h);
    glEnd();
    glLineWidth(line_width);
}

bool cGuiRectangle::hit_test(const float& px, const float& py)
{
    return x < px && px < x + w && y < py && py < y + h;
}

void cGuiRectangle::set_pos(const float& x_, const float& y_)
{
    x = x_;
    y = y_;
}

void cGuiRectangle::get_pos(float& x_, float& y_)
{
    x_ = x;
    y_ = y;
}

void cGuiRectangle::set_size(float w_, float h_)
{
    w = w_;
    h = h_;
}
