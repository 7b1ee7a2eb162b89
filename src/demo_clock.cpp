#include "demo_clock.h"

#include <SDL.h>

void cDemoClock::tick()
{
    if (paused)
        return;
    if (source) {
        prev = now;
        now = source->now_ms();
        return;
    }
    static const uint64_t origin = SDL_GetPerformanceCounter();
    tick_at(SDL_GetPerformanceCounter() - origin, SDL_GetPerformanceFrequency());
}

void cDemoClock::tick_at(uint64_t counter_sample, uint64_t counter_frequency)
{
    if (paused)
        return;
    prev = now;
    counter = counter_sample;
    frequency = counter_frequency;
    now = static_cast<int32_t>(static_cast<double>(counter) / static_cast<double>(frequency) * 1000.0);
}
