#include "video.h"

#include <cmath>
#include <cstdlib>
#include <iostream>

#include "gl.h"
#include "log.h"

namespace {

const SDL_GLattr ATTRIBUTES[cVideo_SDL::ATTRIBUTE_COUNT] = {
    SDL_GL_RED_SIZE,          SDL_GL_GREEN_SIZE,         SDL_GL_BLUE_SIZE, SDL_GL_ALPHA_SIZE,
    SDL_GL_DEPTH_SIZE,        SDL_GL_STENCIL_SIZE,       SDL_GL_DOUBLEBUFFER,
    SDL_GL_MULTISAMPLEBUFFERS, SDL_GL_MULTISAMPLESAMPLES, SDL_GL_STEREO,
};
enum { ATTR_DOUBLEBUFFER = 6, ATTR_MS_BUFFERS = 7, ATTR_MS_SAMPLES = 8 };

// SDL 2.0.10 is the oldest release whose GL context handling we rely on.
const int OLDEST_SDL = 2010;

}  // namespace

int sdl_version_number(int major, int minor, int patch)
{
    return (major * 10 + minor) * 100 + patch;
}

std::string attribute_line(const int32_t v[cVideo_SDL::ATTRIBUTE_COUNT])
{
    std::string s = std::to_string(v[0]) + "x" + std::to_string(v[1]) + "x" + std::to_string(v[2]) + "x" +
                    std::to_string(v[3]) + ",d" + std::to_string(v[4]) + "s" + std::to_string(v[5]) + " ";
    s += v[ATTR_DOUBLEBUFFER] ? " doublebuffered " : " singlebuffered ";
    s += v[ATTR_MS_BUFFERS] ? "multisample " + std::to_string(v[ATTR_MS_SAMPLES]) : std::string("noaa");
    return s;
}

int first_attribute_mismatch(const int32_t requested[cVideo_SDL::ATTRIBUTE_COUNT],
                             const int32_t received[cVideo_SDL::ATTRIBUTE_COUNT])
{
    for (int i = 0; i < cVideo_SDL::ATTRIBUTE_COUNT; ++i)
        if (requested[i] != received[i])
            return i;
    return -1;
}

cVideo_SDL::~cVideo_SDL()
{
    // SDL_Quit has already torn the window down; only the handles remain.
    screen = nullptr;
    context = nullptr;
}

void cVideo_SDL::choose_mode(float a)
{
    const float d43 = std::fabs(static_cast<float>(4.0 / 3.0) - a);
    const float d169 = std::fabs(static_cast<float>(16.0 / 9.0) - a);
    if (d169 > d43) {
        width = 1024;
        height = 768;
        viewport_width = 1024;
        viewport_height = 575;
        std::cout << "# non-stretched" << std::endl;
        stretch = false;
        std::cout << "# non-widescreen" << std::endl;
    } else {
        width = 1280;
        height = 720;
        viewport_width = 1280;
        viewport_height = 720;
        std::cout << "# stretching" << std::endl;
        stretch = true;
        std::cout << "# widescreen" << std::endl;
    }
}

void cVideo_SDL::decide_display_mode()
{
    // SDL2 needs its video subsystem to report the desktop; should that fail,
    // init_sdl reports it below and the wide mode is as good as any.
    float aspect = 16.0f / 9.0f;
    SDL_DisplayMode mode;
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) == 0 && SDL_GetDesktopDisplayMode(0, &mode) == 0 && mode.h > 0)
        aspect = static_cast<float>(mode.w) / static_cast<float>(mode.h);
    choose_mode(aspect);
    flags |= SDL_WINDOW_FULLSCREEN;
    init_sdl();
}

bool cVideo_SDL::open_window()
{
    screen = SDL_CreateWindow("morvik OpenGL", SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, width, height, flags);
    if (!screen)
        return false;
    context = SDL_GL_CreateContext(screen);
    if (context)
        return true;
    SDL_DestroyWindow(screen);
    screen = nullptr;
    return false;
}

void cVideo_SDL::init_sdl()
{
    SDL_version v;
    SDL_GetVersion(&v);
    if (sdl_version_number(v.major, v.minor, v.patch) < OLDEST_SDL)
        std::cerr << "# WARNING: init_sdl(): Old SDL-version detected. Get an upgrade from https://www.libsdl.org/"
                  << std::endl;

    if (SDL_Init(SDL_INIT_VIDEO) < 0) {
        std::cerr << "## ERROR: whoops, SDL failed to init: " << SDL_GetError() << " exiting!" << std::endl;
        fatal_exit(-1);
    }
    for (int i = 0; i < ATTRIBUTE_COUNT; ++i)
        SDL_GL_SetAttribute(ATTRIBUTES[i], requested[i]);

    bool opened = open_window();
    if (opened) {
        std::cout << "# opened window " << width << "x" << height << std::endl;
    } else if (requested[ATTR_MS_BUFFERS] != 0) {
        std::cerr << "## ERROR: Failed to get FSAA-buffer!" << std::endl;
        SDL_GL_SetAttribute(SDL_GL_MULTISAMPLEBUFFERS, 0);
        SDL_GL_SetAttribute(SDL_GL_MULTISAMPLESAMPLES, 0);
        opened = open_window();
    }
    if (!opened) {
        std::cerr << "## ERROR: whoops, SDL didn't get screen - exiting" << std::endl;
        fatal_exit(-1);
    }

    for (int i = 0; i < ATTRIBUTE_COUNT; ++i)
        SDL_GL_GetAttribute(ATTRIBUTES[i], &received[i]);
    compare_attributes();

    SDL_SetWindowTitle(screen, "morvik OpenGL");
    SDL_ShowCursor((flags & SDL_WINDOW_FULLSCREEN) ? SDL_DISABLE : SDL_ENABLE);
}

void cVideo_SDL::compare_attributes() const
{
    const int i = first_attribute_mismatch(requested, received);
    if (i < 0)
        return;
    std::cerr << "# warning: init_sdl: SDL display attribute " << i << " failed\n"
              << "requested: " << attribute_line(requested) << "\n"
              << "received:  " << attribute_line(received) << "\n"
              << "---------------------" << std::endl;
}

void cVideo_SDL::apply_viewport() const
{
    if (stretch)
        glViewport(0, 0, viewport_width, height);
    else
        glViewport(0, (height - viewport_height) / 2, viewport_width, viewport_height);
}

void cVideo_SDL::swap_buffers()
{
    if (screen)
        SDL_GL_SwapWindow(screen);
}

float show_scale()
{
    return static_cast<float>(cVideo_SDL::get_instance()->viewport_width) / SHOW_WIDTH;
}
