#pragma once
// GL extension checks and entry-point resolution, run once by init_gl right
// after the window exists. GLEW holds the entry points for the rest of the
// program's life; this code decides what is required, what only warns, and
// reports every entry point that stayed null. Vertex and frame buffer objects
// are indispensable (message box, exit -1), multitexturing too (exit -1);
// everything else warns and the program goes on.

// True when `name` is a whole token of the blank-separated `extensions`.
bool extension_in_list(const char* extensions, const char* name);
// extension_in_list on the current context's GL_EXTENSIONS string.
bool has_extension(const char* name);

// The six groups, in the order init_gl calls them. Each tests the given
// extension string; the fatal ones end the process.
void load_vbo_extensions(const char* extensions);
void load_multitexture_extensions(const char* extensions);
void load_blend_extensions();
void load_fbo_extensions(const char* extensions);
void load_texture_extensions(const char* extensions);
void load_sync_extensions();

// Shows the box that tells a person which indispensable extension is
// missing (caption, text); SDL's message box, which waits for a click. Tests
// put a function here that returns at once.
extern void (*missing_extension_message)(const char* caption, const char* text);

// Resolves GLEW's pointers and runs the six groups on the driver's string.
void load_gl_extensions();

// Vertical sync on (1) or off (0); quietly skipped when the driver refuses.
void set_swap_interval(int interval);
