#pragma once
// The application frame: start-up in a fixed order, the endless frame loop
// with its pacing and adaptive vertical sync, the event pump, and the exit
// handler that releases every manager in a fixed order. The program always
// ends through exit(), which runs the handler registered at start-up.
#include <cstdint>
#include <set>

class cDemo;
class cDemoClock;
class cSceneManager;
union SDL_Event;

// Runs the whole program; never returns.
[[noreturn]] void quorvane_main();
// Everything between opening the window and building the demo object: exit
// handler, GL start-up, first swap, resource paths, shaders. Tools that
// render the show offline open their own context and then call this.
void start_program();

void init_gl();
void exit_handler();
[[noreturn]] void run_demo(cDemo& demo);
void start_demo(cSceneManager& manager);
[[noreturn]] void frame_loop(cDemo& demo);
void render_frame(cDemo& demo, const cDemoClock& frame_clock);
// Clears the bound screen and draws the current scene: the part of a frame
// that does not depend on presenting it.
void draw_frame();
void pump_events();
// What the pump does with one event: Escape and the window's close end the
// program, keys go to held_keys, the mouse to cMouse. A tool with a pump of
// its own hands on what it does not use itself.
void handle_sdl_event(const SDL_Event& e);
void check_quit_keys();
// glFinish, then a fence on all prior commands that the server waits on.
void sync_gpu();

// Adaptive vertical sync for one frame of d ms: two frames slower than
// 20 fps switch it off, two faster than 90 fps switch it back on. Returns the
// swap interval to set (0 or 1), or -1 when nothing changes.
int adapt_vsync(bool& vsync_on, int32_t& last_frame_ms, float d);

// Keys currently held down, as lower-cased SDL key symbols.
extern std::set<int32_t> held_keys;
