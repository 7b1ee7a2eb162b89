#pragma once
// An in-memory Standard MIDI File (format 1) and its writer. The song is
// plain data: per track a name and channel events at absolute ticks; track 0
// is the conductor track (the title as its name), to which the writer adds
// the one tempo and the time signature. The composition fills it, the synthesiser
// renders from it, and the same object is written to disk, so what is heard
// and what the demo reads are one list of events.
#include <cstdint>
#include <string>
#include <vector>

struct cMidiEvent {
    uint32_t tick = 0;    // absolute tick
    uint8_t status = 0;   // channel status byte (0x80 note off, 0x90 note on, 0xB0 control change)
    uint8_t data1 = 0;    // note or controller number, 0-127
    uint8_t data2 = 0;    // velocity or controller value, 0-127
};

struct cMidiTrackData {
    std::string name;               // instrument name, written as meta 0x03
    uint8_t channel = 0;            // 0-15, the channel of every event
    std::vector<cMidiEvent> events; // any order while composing; sorted before use
};

struct cMidiSong {
    uint16_t division = 480;             // ticks per quarter note
    uint32_t tempo_us = 500000;          // microseconds per quarter note, one for the whole song
    uint8_t beats_per_bar = 4;           // time signature numerator (quarter notes)
    std::vector<cMidiTrackData> tracks;  // file track order; tracks[0] is the conductor track

    double seconds_per_tick() const { return tempo_us / 1e6 / division; }
    uint32_t ticks_per_bar() const { return static_cast<uint32_t>(division) * beats_per_bar; }
};

// Orders every track's events by tick; at equal ticks note-offs come before
// note-ons (so a repeated note is released before it sounds again) and
// controller moves before notes.
void sort_events(cMidiSong& song);

// The file's bytes: header and one chunk per track (sorted input).
std::vector<uint8_t> encode_midi(const cMidiSong& song);

// Writes the bytes to `path`; false when the file cannot be written.
bool write_bytes(const std::string& path, const std::vector<uint8_t>& bytes);
