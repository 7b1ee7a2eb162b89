#include "frame.h"

#include <cctype>
#include <cstdlib>
#include <iostream>

#include <SDL.h>

#include "demo.h"
#include "demo_clock.h"
#include "extensions.h"
#include "gl.h"
#include "gl_error.h"
#include "mesh_files/mesh_manager.h"
#include "render_target.h"
#include "resource_path.h"
#include "scene_manager.h"
#include "shader_manager.h"
#include "state_manager.h"
#include "texture_manager.h"
#include "values/mouse.h"
#include "video.h"

std::set<int32_t> held_keys;

namespace {

// Fence of the previous frame; the next frame waits for it before going on.
GLsync frame_fence = nullptr;

const int MAX_EVENTS_PER_FRAME = 10;
const float SLOW_FRAME_MS = 50.0f;                        // 20 fps
const float FAST_FRAME_MS = static_cast<float>(100.0 / 9.0);  // 90 fps
const int32_t KEY_ESCAPE = 27;
const int32_t KEY_Q = 113;

bool have_fences()
{
    return glFenceSync && glClientWaitSync && glDeleteSync;
}

// Key symbols are lower-cased so a held shift does not hide 'q'. SDL2 key
// codes of non-character keys lie far outside tolower's domain.
int32_t key_code(SDL_Keycode sym)
{
    return (sym >= 0 && sym <= 255) ? std::tolower(sym) : sym;
}

Vec3<float> window_position(int x, int y)
{
    const cVideo_SDL* video = cVideo_SDL::get_instance();
    const float w = static_cast<float>(video->width);
    const float h = static_cast<float>(video->height);
    return {static_cast<float>(x) / w, (h - static_cast<float>(y)) / h, 0.0f};
}

void wait_for_previous_frame()
{
    if (!have_fences())
        return;
    if (frame_fence) {
        glClientWaitSync(frame_fence, GL_SYNC_FLUSH_COMMANDS_BIT, GL_TIMEOUT_IGNORED);
        glDeleteSync(frame_fence);
    }
    frame_fence = glFenceSync(GL_SYNC_GPU_COMMANDS_COMPLETE, 0);
}

}  // namespace

void handle_sdl_event(const SDL_Event& e)
{
    cMouse* mouse = cMouse::get_instance();
    switch (e.type) {
    case SDL_KEYDOWN:
        if (e.key.keysym.sym == SDLK_ESCAPE)
            exit(0);
        held_keys.insert(key_code(e.key.keysym.sym));
        break;
    case SDL_KEYUP:
        held_keys.erase(key_code(e.key.keysym.sym));
        break;
    case SDL_MOUSEMOTION:
        mouse->pos = window_position(e.motion.x, e.motion.y);
        break;
    case SDL_MOUSEBUTTONDOWN:
        mouse->press_pos = window_position(e.button.x, e.button.y);
        if (e.button.button < cMouse::BUTTONS)
            mouse->held[e.button.button] = true;
        break;
    case SDL_MOUSEBUTTONUP:
        // The wheel flags are cleared by the GUI that consumes them.
        if (e.button.button >= 1 && e.button.button <= 3)
            mouse->held[e.button.button] = false;
        break;
    case SDL_MOUSEWHEEL:
        // SDL2 reports the wheel apart from the buttons; as buttons 4 and 5
        // it reaches the GUI the way the mouse record expects.
        if (e.wheel.y > 0)
            mouse->held[4] = true;
        else if (e.wheel.y < 0)
            mouse->held[5] = true;
        break;
    case SDL_QUIT:
        exit(0);
    default:
        break;
    }
}

int adapt_vsync(bool& vsync_on, int32_t& last_frame_ms, float d)
{
    int change = -1;
    const float last = static_cast<float>(last_frame_ms);
    if (d > SLOW_FRAME_MS && last > SLOW_FRAME_MS) {
        if (vsync_on) {
            vsync_on = false;
            change = 0;
        }
    } else if (d < FAST_FRAME_MS && last < FAST_FRAME_MS) {
        if (!vsync_on) {
            vsync_on = true;
            change = 1;
        }
    }
    last_frame_ms = static_cast<int32_t>(d);
    return change;
}

void pump_events()
{
    SDL_Event e;
    int handled = 0;
    while (SDL_PollEvent(&e)) {
        if (handled == MAX_EVENTS_PER_FRAME)
            break;  // the eleventh event of a frame is dropped
        handle_sdl_event(e);
        ++handled;
    }
}

void check_quit_keys()
{
    for (int32_t key : held_keys)
        if (key == KEY_ESCAPE || key == KEY_Q)
            exit(0);
}

void sync_gpu()
{
    glFinish();
    if (!have_fences())
        return;
    GLsync fence = glFenceSync(GL_SYNC_GPU_COMMANDS_COMPLETE, 0);
    glClientWaitSync(fence, GL_SYNC_FLUSH_COMMANDS_BIT, GL_TIMEOUT_IGNORED);
    glDeleteSync(fence);
}

void init_gl()
{
    check_gl_error(nullptr, "init_gl");
    auto gl_string = [](GLenum name) {
        const GLubyte* s = glGetString(name);
        return s ? reinterpret_cast<const char*>(s) : "";
    };
    std::cout << "# glinfo: Vendor:   " << gl_string(GL_VENDOR) << "\n"
              << "#         Renderer: " << gl_string(GL_RENDERER) << "\n"
              << "#         Version:  " << gl_string(GL_VERSION) << std::endl;
    load_gl_extensions();
    create_render_target_manager();
    glClearColor(0, 0, 0, 0);
    cVideo_SDL::get_instance()->apply_viewport();
    check_gl_error(nullptr, "init_gl");
}

void exit_handler()
{
    if (cSceneManager::exists())
        cSceneManager::destroy_instance();
    if (cShaderManager_GLSL::exists()) {
        cShaderManager_GLSL::get_instance()->shutdown();
        cShaderManager_GLSL::destroy_instance();
    }
    if (cTextureManager::exists())
        cTextureManager::destroy_instance();
    // Meshes hold GL buffers: they go while the context still exists.
    if (cMeshManager::exists())
        cMeshManager::destroy_instance();
    if (cRenderTargetManager::exists())
        cRenderTargetManager::destroy_instance();
    if (cResourcePath::exists())
        cResourcePath::destroy_instance();
    SDL_Quit();
    cVideo_SDL::get_instance();
    cVideo_SDL::destroy_instance();
    std::cout << "requested exit" << std::endl;
}

void start_demo(cSceneManager& manager)
{
    SDL_Delay(100);
    sync_gpu();
    manager.sound.toggle_pause();  // the music was left paused at load time
    manager.seek(0);
    const char* banner = "\n------------------------- demo start -------------------------";
    std::cerr << banner << std::endl;
    std::cout << banner << std::endl;
}

void draw_frame()
{
    glClearColor(0, 0, 0, 1);
    cStateManager::get_instance()->apply();
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    cSceneManager::get_instance()->draw_current();
}

void render_frame(cDemo& demo, const cDemoClock& frame_clock)
{
    const cDemoClock& clock = cSceneManager::get_instance()->clock;
    if (clock.paused || clock.now - clock.prev < 10)
        SDL_Delay(5);

    draw_frame();

    const int interval =
        adapt_vsync(demo.vsync_on, demo.last_frame_ms, static_cast<float>(frame_clock.frame_delta()));
    if (interval >= 0)
        set_swap_interval(interval);

    cVideo_SDL::get_instance()->swap_buffers();
    wait_for_previous_frame();
}

void frame_loop(cDemo& demo)
{
    set_swap_interval(1);
    cDemoClock frame_clock;
    frame_clock.tick();
    frame_clock.prev = frame_clock.start = frame_clock.now;
    cSceneManager* manager = cSceneManager::get_instance();
    for (;;) {
        frame_clock.tick();
        pump_events();
        check_quit_keys();
        manager->update();
        render_frame(demo, frame_clock);
    }
}

void run_demo(cDemo& demo)
{
    start_demo(*cSceneManager::get_instance());
    frame_loop(demo);
}

void quorvane_main()
{
    cVideo_SDL::get_instance()->decide_display_mode();
    start_program();

    cQuorvane demo;  // never destroyed: the process ends inside exit()
    demo.between_layers = pump_events;
    demo.init();
    run_demo(demo);
}

void start_program()
{
    atexit(exit_handler);
    init_gl();

    glClearColor(0.15f, 0.15f, 0.15f, 1.0f);
    cStateManager::get_instance()->apply();
    glClear(GL_COLOR_BUFFER_BIT);
    check_gl_error(nullptr, "SDL_main");

    SDL_ClearError();
    cVideo_SDL::get_instance()->swap_buffers();
    check_gl_error(nullptr, "SDL_main");
    const char* swap_error = SDL_GetError();
    if (swap_error && *swap_error)
        std::cerr << "## error after first swapbuffers (ignored): " << swap_error << std::endl;
    cStateManager::get_instance()->set_defaults();

    const std::string data_problem = data_location_problem();
    if (!data_problem.empty())
        std::cerr << "## ERROR: " << data_problem << std::endl;
    cResourcePath* paths = cResourcePath::get_instance();
    for (const char* dir : {"../src/shaders", "../src/shaders/comp", "../data", "../data/models", "../data/music",
                            "../data/textures"})
        paths->add(dir);
    cShaderManager_GLSL::get_instance()->init();
    check_gl_error(nullptr, "SDL_main");
}
