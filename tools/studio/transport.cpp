#include "transport.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include <SDL.h>

#include "events.h"
#include "midi_file.h"
#include "scene_manager.h"
#include "scenes/composition.h"
#include "layer_controls.h"

namespace {

const int32_t BEATS_PER_BAR = 4;  // the soundtrack is in 4/4 throughout
const int32_t LAST_SECTION = 21;  // markers s00 to s21

int32_t bar_line(int64_t k, double bar_ms)
{
    return static_cast<int32_t>(static_cast<double>(k) * bar_ms);
}

}  // namespace

double bar_ms_of(const cMidiFile& midi)
{
    if (midi.division <= 0 || midi.seconds_per_tick <= 0)
        return 0;
    return BEATS_PER_BAR * midi.division * midi.seconds_per_tick * 1000.0;
}

cStudioTiming timing_of(const cEventQueue& queue, double bar_ms, int32_t music_ms)
{
    cStudioTiming timing;
    timing.bar_ms = bar_ms;
    timing.end_ms = music_ms;
    for (const cEvent* e : queue.events) {
        if (e->type >= 0 && e->type <= LAST_SECTION)
            timing.sections.push_back({e->time, e->type});
        else if (e->type == EVENT_QUIT)
            timing.end_ms = std::min(timing.end_ms, e->time);
    }
    std::stable_sort(timing.sections.begin(), timing.sections.end(),
                     [](const cStudioSection& a, const cStudioSection& b) { return a.time < b.time; });
    return timing;
}

int32_t bar_step(int32_t t, double bar_ms, int direction)
{
    if (bar_ms <= 0)
        return t;
    // The estimate may be one off either way once truncation is involved.
    int64_t k = static_cast<int64_t>(std::floor(t / bar_ms));
    if (direction > 0) {
        while (bar_line(k, bar_ms) <= t)
            ++k;
        while (k > 0 && bar_line(k - 1, bar_ms) > t)
            --k;
    } else {
        while (bar_line(k, bar_ms) >= t && k > 0)
            --k;
        while (bar_line(k + 1, bar_ms) < t)
            ++k;
        if (bar_line(k, bar_ms) >= t)
            return t;  // nothing before t
    }
    return bar_line(k, bar_ms);
}

int32_t section_step(int32_t t, const std::vector<cStudioSection>& sections, int direction)
{
    if (direction > 0) {
        for (const cStudioSection& s : sections)
            if (s.time > t)
                return s.time;
        return t;
    }
    for (auto s = sections.rbegin(); s != sections.rend(); ++s)
        if (s->time < t)
            return s->time;
    return t;
}

std::string section_name(int32_t t, const std::vector<cStudioSection>& sections)
{
    int32_t number = -1;
    for (const cStudioSection& s : sections)
        if (s.time <= t)
            number = s.number;
    if (number < 0)
        return "--";
    char name[16];
    std::snprintf(name, sizeof name, "s%02d", number);
    return name;
}

// ---- time source ------------------------------------------------------------

int32_t cStudioTimeSource::now_ms()
{
    static const uint64_t origin = SDL_GetPerformanceCounter();
    const double ms = static_cast<double>(SDL_GetPerformanceCounter() - origin) * 1000.0 /
                      static_cast<double>(SDL_GetPerformanceFrequency());
    const int32_t counter = static_cast<int32_t>(ms);
    if (!clock)
        return counter;
    // elapsed() = now - paused_ms - start; the largest now that keeps it in the show.
    const int64_t limit = int64_t(last_elapsed) + clock->paused_ms + clock->start;
    return static_cast<int32_t>(std::min<int64_t>(counter, limit));
}

// ---- transport --------------------------------------------------------------

cStudioTransport::cStudioTransport(cSceneManager& manager_, const cStudioTiming& timing_)
    : manager(manager_), timing(timing_)
{
    latency_ms = manager.sound.latency();
    source.clock = &manager.clock;
    source.last_elapsed = timing.end_ms - 1 - latency_ms;
    manager.clock.source = &source;
}

cStudioTransport::~cStudioTransport()
{
    manager.clock.source = nullptr;
}

int32_t cStudioTransport::position() const
{
    return manager.clock.elapsed() + latency_ms;
}

bool cStudioTransport::paused() const
{
    return manager.clock.paused;
}

void cStudioTransport::pause()
{
    if (paused())
        return;
    manager.clock.tick();
    manager.clock.paused = true;
    if (manager.sound.is_playing())
        manager.sound.toggle_pause();
}

void cStudioTransport::resume()
{
    if (!paused())
        return;
    cDemoClock& clock = manager.clock;
    const int32_t stopped_at = clock.now;
    clock.paused = false;
    clock.tick();
    // The time spent paused does not count as demo time.
    clock.paused_ms += clock.now - stopped_at;
    clock.prev = clock.now;
    if (!manager.sound.is_playing())
        manager.sound.toggle_pause();
}

void cStudioTransport::toggle_pause()
{
    if (paused())
        resume();
    else
        pause();
}

void cStudioTransport::seek(int32_t t)
{
    manager.seek(std::clamp(t, 0, std::max(0, timing.end_ms - 1)));
    if (!paused())
        return;
    if (auto* composition = dynamic_cast<cSceneComposition*>(manager.current))
        apply_animators_now(*composition);
    else if (manager.current)
        manager.current->update_animators();
}

void cStudioTransport::step_ms(int32_t delta)
{
    seek(position() + delta);
}

void cStudioTransport::step_bar(int direction)
{
    seek(bar_step(position(), timing.bar_ms, direction));
}

void cStudioTransport::step_section(int direction)
{
    seek(section_step(position(), timing.sections, direction));
}

void cStudioTransport::set_loop(int32_t a, int32_t b)
{
    loop_a = a;
    loop_b = b;
}

void cStudioTransport::frame()
{
    if (paused())
        return;
    manager.clock.tick();
    const int32_t t = position();
    if (loop_b > loop_a && (t >= loop_b || t < loop_a))
        seek(loop_a);
    else if (t >= timing.end_ms - 1)
        pause();
}
