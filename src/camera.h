#pragma once
// The camera record that scenes own and animate, and the operations that
// turn it into the fixed-function projection and view matrices. Nothing here
// keeps state; the matrices live on GL's stacks.

struct cCamera {
    float eye[3] = {0.0f, 0.0f, 1.0f};     // eye position x, y, z (world units)
    float center[3] = {0.0f, 0.0f, 0.0f};  // look-at point x, y, z
    float up[3] = {0.0f, 1.0f, 0.0f};      // up vector x, y, z (any length)
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
