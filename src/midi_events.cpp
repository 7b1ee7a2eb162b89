#include "midi_events.h"

#include <climits>
#include <cmath>
#include <cstdio>
#include <iostream>
#include <set>

#include "midi_file.h"
#include "resource_path.h"

namespace {

// Distance used when a track has no note on one side of the cursor.
const float NO_EVENT_DISTANCE = 1.7014117e38f;

// More beats than this (about 145 hours at 120 bpm) only come from a
// damaged file; the grid is cut there instead of exhausting memory.
const int64_t MAX_BEAT_EVENTS = int64_t(1) << 20;

// Clamp to [0, 1]; a result that is not a number counts as 0.
float clamp01(float x)
{
    if (!(x > 0.0f))
        return 0.0f;
    return x > 1.0f ? 1.0f : x;
}

float smoothstep01(float u)
{
    u = clamp01(u);
    return (3.0f - 2.0f * u) * u * u;
}

iMidiEvent* make_midi_event(const sMidiTrackEvent& e)
{
    switch (e.status & 0xF0) {
    case 0x90: {
        if (e.second_byte == 0)
            return nullptr;  // velocity 0 is a note off in disguise, not a hit
        auto* t = new cMETrigger();
        t->kind = MIDI_NOTE_ON;
        return t;
    }
    case 0x80: {
        auto* t = new cMETrigger();
        t->kind = MIDI_NOTE_OFF;
        return t;
    }
    case 0xB0: {
        auto* c = new cMECtrlChange();
        c->kind = MIDI_CONTROL_CHANGE;
        return c;
    }
    default:
        return nullptr;
    }
}

}  // namespace

const iMidiEvent* midi_event(const cEvent* e, int32_t kind, int32_t track)
{
    if (!e || e->type != EVENT_MIDI)
        return nullptr;
    auto* m = dynamic_cast<const iMidiEvent*>(e);
    return m && m->kind == kind && m->track == track ? m : nullptr;
}

// ---- event window -------------------------------------------------------------

bool cEventWindow::cEventMatch_midiTrack::matches(const cEvent* e) const
{
    return midi_event(e, MIDI_NOTE_ON, track) != nullptr;
}

float cEventWindow::pulse(const cDemoClock& clock, const cEventQueue& queue) const
{
    return pulse_at(clock.elapsed(), queue);
}

float cEventWindow::pulse_at(int32_t now, const cEventQueue& queue) const
{
    cEventMatch_midiTrack match(track);
    const std::vector<cEvent*>& events = queue.events;
    size_t cursor = std::min(queue.cursor, events.size());

    float d_next = NO_EVENT_DISTANCE;
    for (size_t i = cursor; i < events.size(); ++i)
        if (match.matches(events[i])) {
            d_next = std::fabs(float(now) - float(events[i]->time));
            break;
        }
    float d_prev = NO_EVENT_DISTANCE;
    for (size_t i = cursor; i-- > 0;)
        if (match.matches(events[i])) {
            d_prev = std::fabs(float(now) - float(events[i]->time));
            break;
        }
    float a = 1.0f - clamp01(d_next / attack_ms);
    float b = 1.0f - clamp01(d_prev / release_ms);
    return smoothstep01(a) + smoothstep01(b);
}

// ---- queue events from the MIDI file ----------------------------------------

int32_t midi_tick_to_ms(uint32_t tick, double seconds_per_tick)
{
    double ms = std::trunc(tick * seconds_per_tick * 1000.0);
    if (!(ms > INT32_MIN))
        return ms < 0 ? INT32_MIN : 0;  // NaN counts as 0
    return ms > INT32_MAX ? INT32_MAX : static_cast<int32_t>(ms);
}

void add_midi_events(cEventQueue& queue, const cMidiFile& midi)
{
    std::set<int32_t> controllers;
    for (size_t i = 0; i < midi.tracks.size(); ++i) {
        for (const sMidiTrackEvent& e : midi.tracks[i]->events) {
            iMidiEvent* ev = make_midi_event(e);
            if (!ev)
                continue;
            ev->track = static_cast<int32_t>(i);
            ev->number = e.first_byte;
            ev->value = e.second_byte;
            ev->time = midi_tick_to_ms(e.tick, midi.seconds_per_tick);
            if (ev->kind == MIDI_CONTROL_CHANGE)
                controllers.insert(ev->number);
            queue.events.push_back(ev);
        }
        queue.track_names.push_back(midi.tracks[i]->name);
    }
    queue.controllers.insert(queue.controllers.end(), controllers.begin(), controllers.end());
}

void add_beat_events(cEventQueue& queue, double ms_per_beat, int32_t song_end)
{
    if (!(ms_per_beat > 0.0) || !std::isfinite(ms_per_beat))
        return;
    for (int64_t k = 0; k < MAX_BEAT_EVENTS; ++k) {
        double t = std::trunc(double(k) * ms_per_beat);
        int32_t time = t > INT32_MAX ? INT32_MAX : static_cast<int32_t>(t);
        queue.events.push_back(new cEvent(EVENT_BEAT, time));
        if (time >= song_end)
            return;
    }
    std::cerr << "# warning, beat grid cut after " << MAX_BEAT_EVENTS << " beats in add_beat_events" << std::endl;
}

void add_midi_and_beat_events(cEventQueue& queue, const std::string& midi_name)
{
    std::string path = cResourcePath::get_fullpath(midi_name);
    auto bytes = path.empty() ? std::nullopt : read_midi_bytes(path);
    if (!bytes) {
        fprintf(stderr, "# midi: Unable to open file '%s'!\n", midi_name.c_str());
        return;
    }
    cMidiFile midi(std::move(*bytes));
    midi.read_tracks();
    add_midi_events(queue, midi);

    double ms_per_beat = 60000.0 / (60.0 / (midi.division * midi.seconds_per_tick));
    add_beat_events(queue, ms_per_beat, midi_tick_to_ms(midi.length_ticks, midi.seconds_per_tick));
    queue.sort();
}
