#pragma once
// The demo's soundtrack as data: a psychedelic-trance piece of 141 bars at
// 145 bpm whose sections follow the show's timeline. compose_piece() writes
// every note into a cMidiSong (the MIDI twin), chooses the instrument of
// each track for the synthesiser, and derives the marker script from the
// same notes, so markers, MIDI and audio cannot drift apart. Built once per
// generator run; the caller owns the result.
#include <cstdint>
#include <string>
#include <vector>

#include "midi_writer.h"
#include "synth.h"

// Tracks of the MIDI twin; the scenes listen to some of them by index.
enum eTrack : int {
    TRACK_CONDUCTOR = 0,  // tempo, time signature, title
    TRACK_LEAD = 1,       // supersaw lead; note 48 in the finale switches the attractor preset
    TRACK_PLUCK = 2,      // intro plucks pulse the attractor cloud
    TRACK_KICK = 3,
    TRACK_CLAP = 4,       // the main accent: mandala, rose, spike-ball rings, tunnel streaks
    TRACK_BASS = 5,
    TRACK_HAT_CLOSED = 6,
    TRACK_HAT_OPEN = 7,
    TRACK_ACID = 8,
    TRACK_PAD = 9,
    TRACK_TOMS = 10,      // spike-ball kicks in the finale
    TRACK_SNARE = 11,
    TRACK_RISER = 12,
    TRACK_RUMBLE = 13,
    TRACK_ARP = 14,
    TRACK_SINE = 15,
    TRACK_RIDE = 16,
    TRACK_CRASH = 17,
    TRACK_ZAP = 18,       // finale effect hit: attractor colour toggle
    TRACK_BWAB = 19,
    TRACK_TECHFX = 20,
    TRACK_COUNT = 21,
};

inline constexpr int PIECE_BARS = 141;       // the last bar ends just after the show
inline constexpr int FINALE_BAR = 117;       // first bar of the finale
inline constexpr int FINALE_END_BAR = 139;   // the closing hit

struct cMarker {
    std::string token;  // marker name of the script
    int32_t ms = 0;     // demo time (ms), as the demo converts MIDI ticks
};

// A section of the arrangement, also a scene marker "sNN".
struct cSection {
    int bar = 0;                // first bar
    const char* title = "";    // what the section is in the show
    const char* content = "";  // what plays
};

struct cPiece {
    cMidiSong song;               // the MIDI twin, events sorted
    cSynthSetup setup;            // instrument and mix of every track
    std::vector<cMarker> markers; // the marker script, in time order
};

// The 22 sections, s00 to s21.
const std::vector<cSection>& piece_sections();

cPiece compose_piece();

// Milliseconds of a tick, truncated as the demo does for MIDI events.
int32_t tick_ms(const cMidiSong& song, uint32_t tick);
