#pragma once
// Demo events and the time-sorted queue the scene manager fires them from.
// The queue owns its events; it is filled during start-up (marker script,
// MIDI notes, beats), sorted once, and then only walked by its cursor.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// Event codes: 0-21 scene markers, 22 and 25-37 named sound markers,
// 39 MIDI event, 40 beat, 41 end of show.
enum : int32_t {
    EVENT_MIDI = 39,
    EVENT_BEAT = 40,
    EVENT_QUIT = 41,
};

class cEvent {
public:
    cEvent() = default;
    cEvent(int32_t type_, int32_t time_) : type(type_), time(time_) {}
    virtual ~cEvent() = default;

    int32_t type = 0;  // event code
    int32_t time = 0;  // demo time (ms) at which the event fires
};

class cEventQueue {
public:
    cEventQueue() = default;
    cEventQueue(const cEventQueue&) = delete;
    cEventQueue& operator=(const cEventQueue&) = delete;
    ~cEventQueue();

    // Sorts events by time (ties in no particular order).
    void sort();

    std::vector<cEvent*> events;           // owned, sorted by time
    size_t cursor = 0;                     // index of the next event to fire
    std::vector<std::string> track_names;  // MIDI track names, in track order
    std::vector<int32_t> controllers;      // distinct MIDI controller numbers, ascending
};
