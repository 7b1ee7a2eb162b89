#pragma once
// The camera record that scenes own and animate, and the operations that
// turn it into the fixed-function projection and view matrices. Nothing here
// keeps state; the matrices live on GL's stacks.
#include "vec3.h"

struct cCamera {
    Vec3<float> eye{0.0f, 0.0f, 1.0f};     // eye position (world units)
    Vec3<float> center{0.0f, 0.0f, 0.0f};  // look-at point
    Vec3<float> up{0.0f, 1.0f, 0.0f};      // up vector (any length)
    float fovy = 45.0f;                    // vertical field of view, degrees
    float znear = 0.1f;                    // near plane distance, > 0
    float zfar = 100.0f;                   // far plane distance, > znear
    float aspect = 16.0f / 9.0f;           // width / height
    double roll = 0.0;                     // degrees, clockwise on screen
};

// gluPerspective on the current matrix; the caller picks the matrix mode.
void apply_projection(const cCamera& camera);
// Roll about the viewing axis, then gluLookAt, on the current matrix.
void apply_view(const cCamera& camera);
// Loads both matrices from scratch; leaves GL_MODELVIEW selected.
void apply_camera(const cCamera& camera);
