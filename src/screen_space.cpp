#include "screen_space.h"

#include "state_manager.h"

void push_unit_square_matrices()
{
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
    glOrtho(0, 1, 0, 1, -1, 1);
}

void pop_unit_square_matrices()
{
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
    glPopMatrix();
}

namespace {

void begin(bool keep_alpha_test)
{
    glPushAttrib(GL_CURRENT_BIT);
    cStateManager* sm = cStateManager::get_instance();
    sm->push();
    sm->set_lighting(false);
    sm->set_depth_test(false);
    if (!keep_alpha_test)
        sm->set_alpha_test(false);
    sm->set_fog(false);
    sm->set_depth_write(false);
    push_unit_square_matrices();
    if (!keep_alpha_test)
        glColor4f(1, 1, 1, 1);
}

}  // namespace

void begin_screen_space()
{
    begin(false);
}

void begin_screen_space_keep_alpha_test()
{
    begin(true);
}

void end_screen_space()
{
    pop_unit_square_matrices();
    cStateManager::get_instance()->pop();
    glPopAttrib();
}

void draw_unit_quad(float s_max, float t_max)
{
    cStateManager::get_instance()->apply();
    glBegin(GL_QUADS);
    glTexCoord2f(0, 0);
    glVertex3f(0, 0, 0);
    glTexCoord2f(s_max, 0);
    glVertex3f(1, 0, 0);
    glTexCoord2f(s_max, t_max);
    glVertex3f(1, 1, 0);
    glTexCoord2f(0, t_max);
    glVertex3f(0, 1, 0);
    glEnd();
}

void draw_texture_fullscreen(GLenum target, GLuint name, GLuint width, GLuint height)
{
    if (target != GL_TEXTURE_RECTANGLE_ARB && target != GL_TEXTURE_2D)
        return;
    glActiveTexture(GL_TEXTURE0);
    glEnable(target);
    glBindTexture(target, name);
    if (target == GL_TEXTURE_RECTANGLE_ARB)
        draw_unit_quad(static_cast<float>(width), static_cast<float>(height));
    else
        draw_unit_quad(1, 1);
    glDisable(target);
    glBindTexture(target, 0);
}

void draw_texture_fullscreen_2d(GLenum target, GLuint name, GLuint width, GLuint height)
{
    begin_screen_space();
    draw_texture_fullscreen(target, name, width, height);
    end_screen_space();
}
