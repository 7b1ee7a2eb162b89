#pragma once
// GL set-up shared by the benchmarks that draw: one 1280x720 SDL window with
// its context, the data search directories, every manager the show starts
// with. Made by the first call and kept to the end of the program; needs an
// X server (Xvfb, as the GL tests use).
#include <SDL.h>

#include "gl.h"
#include "render_target.h"
#include "resource_path.h"
#include "shader_manager.h"
#include "state_manager.h"

// True once the context and the managers exist.
inline bool open_bench_gl()
{
    static bool ready = false;
    if (ready)
        return true;
    if (SDL_Init(SDL_INIT_VIDEO) != 0)
        return false;
    SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 24);
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
    SDL_Window* window = SDL_CreateWindow("quorvane bench", 0, 0, 1280, 720, SDL_WINDOW_OPENGL);
    if (!window || !SDL_GL_CreateContext(window))
        return false;
    glewExperimental = GL_TRUE;
    if (glewInit() != GLEW_OK)
        return false;
    glGetError();  // GLEW may leave an error behind
    for (const char* dir : {"../src/shaders", "../src/shaders/comp", "../data", "../data/models", "../data/music",
                            "../data/textures"})
        cResourcePath::get_instance()->add(dir);
    cShaderManager_GLSL::get_instance()->init();
    cStateManager::get_instance()->set_defaults();
    create_render_target_manager();
    ready = true;
    return true;
}
