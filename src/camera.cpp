#include "camera.h"

#include "gl.h"

void apply_projection(const cCamera& c)
{
    gluPerspective(static_cast<double>(c.fovy), static_cast<double>(c.aspect), static_cast<double>(c.znear),
                   static_cast<double>(c.zfar));
}

void apply_view(const cCamera& c)
{
    glRotated(c.roll, 0.0, 0.0, -1.0);
    gluLookAt(c.eye.x, c.eye.y, c.eye.z, c.center.x, c.center.y, c.center.z, c.up.x, c.up.y, c.up.z);
}

void apply_camera(const cCamera& c)
{
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    apply_projection(c);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    apply_view(c);
}
