#include "scene_manager.h"

#include <algorithm>
#include <cstdlib>
#include <iostream>

#include <SDL.h>

#include "event_script.h"
#include "gl.h"
#include "load_screen.h"
#include "log.h"
#include "render_target.h"
#include "screen_space.h"
#include "shader_manager.h"
#include "state_manager.h"
#include "video.h"

namespace {

const int32_t LOADING_HOLD_MS = 5000;
const int32_t FADE_MS = 1500;

}  // namespace

cSceneManager::~cSceneManager()
{
    sound.shutdown();
    for (cScene* s : scenes)
        delete s;
    delete queue;
}

void cSceneManager::setup()
{
    queue = cEventQueue_factory::loadFile();
    if (!queue)
        queue = new cEventQueue();
    for (cScene* s : scenes)
        s->events = queue;
    sound.init();
    sound.load();
    // The show is not played silently: without its music it has no timing.
    if (!sound.channel) {
        std::cerr << "## ERROR: cannot play the music \"" << MUSIC_FILE << "\" - exiting!" << std::endl;
        fatal_exit(-1);
    }
    // Render targets created late say when, in demo time.
    if (cRenderTargetManager::exists())
        cRenderTargetManager::get_instance()->playback_clock = &clock;
    clock.tick();
    clock.prev = clock.start = clock.now;
}

void cSceneManager::load_and_fade_in(iLoadScreen& screen)
{
    if (scenes.empty()) {
        screen.update(0.0f, true);
        std::cerr << "scene " << 0 << " not added - exiting!" << std::endl;
        fatal_exit(-1);
    }
    load_scene(screen, scenes.front());
    hold_and_fade(screen);
}

void cSceneManager::load_scene(iLoadScreen& screen, cScene* scene)
{
    screen.update(0.0f, true);
    current = scene;
    current->load();
    cShaderManager_GLSL::get_instance()->require_loaded();
}

void cSceneManager::hold_and_fade(iLoadScreen& screen)
{
    while (clock.elapsed() < LOADING_HOLD_MS) {
        SDL_Delay(10);
        clock.tick();
        screen.update(1.0f, true);
    }

    clock.tick();
    const int32_t t0 = clock.elapsed();
    while (clock.elapsed() - t0 < FADE_MS) {
        screen.update(1.0f, false);
        const float v = 1.0f - static_cast<float>(clock.elapsed() - t0) / 1000.0f;
        draw_fade_quad(std::clamp(v, 0.0f, 1.0f));
        cVideo_SDL::get_instance()->swap_buffers();
        clock.tick();
    }
}

bool cSceneManager::update()
{
    clock.tick();
    bool changed = dispatch_events();
    if (current)
        changed = current->update() || changed;
    return changed;
}

void cSceneManager::fire(cEvent* e)
{
    if (e->type >= 0 && e->type <= 21)
        return;
    switch (e->type) {
    case EVENT_MIDI:
    case EVENT_BEAT:
        if (current)
            current->handle_event(e);
        break;
    case EVENT_QUIT:
        exit(0);
    default:
        std::cerr << "unhandled demo_event: " << e->type << std::endl;
        break;
    }
}

bool cSceneManager::dispatch_events()
{
    const bool first = first_dispatch;
    first_dispatch = false;
    const int32_t t = clock.elapsed();
    while (queue->cursor < queue->events.size()) {
        cEvent* e = queue->events[queue->cursor];
        if (e->time >= t)
            break;  // an event fires only once the demo time is past it
        ++queue->cursor;
        fire(e);
    }
    return first;
}

void cSceneManager::draw_current()
{
    if (!current) {
        std::cerr << "# warning, no scene selected in cSceneManager::draw_current" << std::endl;
        return;
    }
    current->draw();
}

void cSceneManager::sync_clock(int32_t t)
{
    clock.tick();
    clock.start = clock.now - clock.paused_ms - t + sound.latency();
}

void cSceneManager::seek(int32_t t)
{
    sync_clock(t);
    const auto& ev = queue->events;
    queue->cursor = static_cast<size_t>(
        std::upper_bound(ev.begin(), ev.end(), t, [](int32_t v, const cEvent* e) { return v < e->time; }) -
        ev.begin());
    sound.set_time(t);
}

void draw_fade_quad(float visibility)
{
    cShaderManager_GLSL* shaders = cShaderManager_GLSL::get_instance();
    shaders->push_shader();
    shaders->bind("default_shader");
    cStateManager* state = cStateManager::get_instance();
    state->push();
    state->set_depth_write(false);
    state->set_lighting(false);
    state->set_depth_test(false);
    state->set_alpha_test(false);
    state->set_blend(true);
    state->set_blend_func(gs::BLEND_ALPHA);
    glDisable(GL_TEXTURE_2D);
    glDisable(GL_TEXTURE_RECTANGLE_ARB);
    push_unit_square_matrices();
    glColor4f(0, 0, 0, 1 - visibility);
    state->apply();
    glBegin(GL_QUADS);
    glVertex3f(0, 0, 0);
    glVertex3f(1, 0, 0);
    glVertex3f(1, 1, 0);
    glVertex3f(0, 1, 0);
    glEnd();
    pop_unit_square_matrices();
    state->pop();
    shaders->pop_shader();
}
