#pragma once
// The one full-screen OpenGL window. Before it opens, the aspect of the
// desktop chooses between a 16:9 mode (1280x720, picture fills the window)
// and a 1024x768 mode for 4:3 screens (picture letterboxed to 1024x575).
// Created by the first get_instance(); the window lives from init_sdl until
// the exit handler calls SDL_Quit and then destroys this object. Every other
// part of the program reads the window and viewport sizes from here.
#include <cstdint>
#include <string>

#include <SDL.h>

#include "singleton.h"

// The picture width of the 16:9 mode, the show's own window: effect settings
// measured in pixels (a radial blur's reach, a fixed streak centre) are
// tuned for it and scale with the picture at other sizes.
constexpr int32_t SHOW_WIDTH = 1280;

class cVideo_SDL : public cSingleton<cVideo_SDL> {
public:
    static constexpr int ATTRIBUTE_COUNT = 10;

    ~cVideo_SDL() override;

    // Chooses the display mode from the desktop's aspect, then init_sdl().
    void decide_display_mode();
    // Sizes and stretch for a desktop of aspect a (width / height); logs the
    // decision.
    void choose_mode(float aspect);
    // Opens the window and GL context or ends the process.
    void init_sdl();
    void apply_viewport() const;
    void swap_buffers();

    SDL_Window* screen = nullptr;        // the window, null until init_sdl
    SDL_GLContext context = nullptr;     // its GL context
    uint32_t flags = SDL_WINDOW_OPENGL;  // the decision adds SDL_WINDOW_FULLSCREEN
    int32_t width = 1280;                // window size in pixels
    int32_t height = 720;
    int32_t viewport_width = 1280;       // picture size in pixels
    int32_t viewport_height = 720;
    int32_t bpp = 32;
    bool stretch = false;                // true when the picture fills the window
    // The frame buffer the frame draws to as "the screen": 0 is the window;
    // a tool that renders offline points it at an off-screen target.
    uint32_t screen_framebuffer = 0;
    // GL attribute requests: r, g, b, a, depth, stencil, double buffer,
    // multisample buffers, multisample samples, stereo.
    int32_t requested[ATTRIBUTE_COUNT] = {8, 8, 8, 8, 24, 8, 1, 0, 0, 0};
    int32_t received[ATTRIBUTE_COUNT] = {};

private:
    bool open_window();
    void compare_attributes() const;
};

// The current picture width / SHOW_WIDTH: what pixel-sized effect settings
// are scaled by.
float show_scale();

// "8x8x8x8,d24s8  doublebuffered noaa" for the default request.
std::string attribute_line(const int32_t values[cVideo_SDL::ATTRIBUTE_COUNT]);

// Index of the first attribute that differs, or -1 when all agree.
int first_attribute_mismatch(const int32_t requested[cVideo_SDL::ATTRIBUTE_COUNT],
                             const int32_t received[cVideo_SDL::ATTRIBUTE_COUNT]);

// (major * 10 + minor) * 100 + patch: the number the version check compares.
int sdl_version_number(int major, int minor, int patch);
