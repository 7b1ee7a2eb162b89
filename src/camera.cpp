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
    gluLookAt(c.eye[0], c.eye[1], c.eye[2], c.center[0], c.center[1], c.center[2], c.up[0], c.up[1], c.up[2]);
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
