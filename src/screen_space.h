#pragma once
// Screen-space mode: an orthographic unit square for full-screen quads, used
// by post-processing, the loading screen and the GUI. begin/end bracket the
// matrices, the current colour and the state manager's pending state; they
// own nothing and keep no state of their own.
#include "gl.h"

// Pushes both matrices: projection identity, model-view
// glOrtho(0, 1, 0, 1, -1, 1), so (0, 0)-(1, 1) covers the viewport.
void push_unit_square_matrices();
// Pops both; GL_MODELVIEW stays selected.
void pop_unit_square_matrices();

// Saves colour, pending state and both matrices; lighting, depth test and
// write, alpha test and fog off (pending only: nothing is applied yet);
// projection identity, model-view glOrtho(0, 1, 0, 1, -1, 1); colour white.
void begin_screen_space();
// The same, but keeps alpha test and the current colour.
void begin_screen_space_keep_alpha_test();
// Restores what begin saved; GL_MODELVIEW stays selected.
void end_screen_space();

// apply(), then one quad over the unit square with texture coordinates from
// (0, 0) to (s_max, t_max).
void draw_unit_quad(float s_max, float t_max);

// Draws a texture over the unit square on unit 0: rectangle textures with
// coordinates (width, height), 2D textures with (1, 1); other targets draw
// nothing. Leaves the target disabled and unbound on unit 0.
void draw_texture_fullscreen(GLenum target, GLuint name, GLuint width, GLuint height);
// draw_texture_fullscreen inside begin_screen_space()/end_screen_space().
void draw_texture_fullscreen_2d(GLenum target, GLuint name, GLuint width, GLuint height);
