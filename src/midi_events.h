#pragma once
// MIDI demo events and the MIDI pulse. At start-up the demo turns the
// notes and controller moves of the MIDI twin of the music, plus a beat
// grid from its tempo, into events of the scene manager's queue; the queue
// owns them to the end. cEventWindow is a small value object that scenes
// keep and ask every frame for a smooth pulse around one track's note-ons.
#include <cstdint>
#include <string>

#include "demo_clock.h"
#include "events.h"

class cMidiFile;

inline constexpr const char* MIDI_FILE = "../data/music/goa3_3.mid";

enum : int32_t {
    MIDI_NOTE_ON = 1,
    MIDI_NOTE_OFF = 2,
    MIDI_CONTROL_CHANGE = 3,
};

class iMidiEvent : public cEvent {
public:
    iMidiEvent() : cEvent(EVENT_MIDI, -1) {}

    int32_t kind = 0;     // MIDI_NOTE_ON, MIDI_NOTE_OFF or MIDI_CONTROL_CHANGE
    int32_t track = -1;   // zero-based track index in the file
    int32_t number = -1;  // note or controller number (0-127)
    int32_t value = -1;   // velocity or controller value (0-127)
};

// A note on or note off.
class cMETrigger : public iMidiEvent {};

// A control change.
class cMECtrlChange : public iMidiEvent {};

// The MIDI event behind e when it is one of `kind` (MIDI_NOTE_ON, ...) on
// `track`; null for any other event. Scenes pick their notes and controller
// moves with it: midi_event(e, MIDI_NOTE_ON, 4) is a note-on of track 4.
const iMidiEvent* midi_event(const cEvent* e, int32_t kind, int32_t track);

class iEventMatch {
public:
    virtual ~iEventMatch() = default;
    virtual bool matches(const cEvent* e) const = 0;
};

class cEventWindow {
public:
    // Note-ons (never note-offs or controllers) of one track.
    class cEventMatch_midiTrack : public iEventMatch {
    public:
        explicit cEventMatch_midiTrack(int32_t track_) : track(track_) {}
        bool matches(const cEvent* e) const override;

        int32_t track;  // zero-based MIDI track index
    };

    // 0..2: rises over attack_ms before the next note-on of `track` (from the
    // queue's cursor on), falls over release_ms after the previous one; two
    // close notes add up.
    float pulse(const cDemoClock& clock, const cEventQueue& queue) const;
    float pulse_at(int32_t now, const cEventQueue& queue) const;

    float attack_ms = 0.0f;   // rise time before a note-on (ms)
    float release_ms = 0.0f;  // fall time after a note-on (ms)
    int32_t track = 0;        // zero-based MIDI track index
};

// Milliseconds of an absolute tick: trunc(tick * seconds_per_tick * 1000),
// held inside the 32-bit range.
int32_t midi_tick_to_ms(uint32_t tick, double seconds_per_tick);

// Appends a cMETrigger / cMECtrlChange per note on (velocity > 0), note off and
// control change of the parsed file, the track names and the controller
// numbers in use (ascending).
void add_midi_events(cEventQueue& queue, const cMidiFile& midi);

// Appends beat events (type 40) at trunc(k * ms_per_beat) for k = 0, 1, ...
// up to and including the first one at or after song_end. A spacing that is
// not positive gives none.
void add_beat_events(cEventQueue& queue, double ms_per_beat, int32_t song_end);

// Reads the MIDI file (found through the search directories) and adds its
// note, controller and beat events, then sorts the queue. A file that cannot
// be opened adds nothing (with a message on the error stream); one that is
// not a MIDI file ends the process.
void add_midi_and_beat_events(cEventQueue& queue, const std::string& midi_name = MIDI_FILE);
