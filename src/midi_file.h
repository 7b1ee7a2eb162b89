#pragma once
// Standard MIDI File reader. One cMidiFile holds the whole file in memory and
// per track the channel events with absolute ticks, the track name and the
// tempo that applies to the whole file. It lives only while the demo turns
// the file into queue events at start-up. Reading never leaves the file's
// bytes: damaged or truncated tracks simply end early. A file that is not a
// MIDI file at all is fatal (midi_fatal ends the process with code 1).
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

// Prints "# mid FATAL ERROR: <message>" on the error stream and exits with 1.
[[noreturn]] void midi_fatal(const char* format, ...) __attribute__((format(printf, 1, 2)));

// The whole file, or nothing when it cannot be opened.
std::optional<std::vector<uint8_t>> read_midi_bytes(const std::string& path);

struct sMidiTrackEvent {
    uint32_t tick;        // absolute tick (the delta while being read)
    uint8_t status;       // status byte, below 0xF0 once stored
    uint8_t first_byte;   // first data byte, 0 when the status has none
    uint8_t second_byte;  // second data byte, 0 when the status has none
};

class cMidiFile;

class cMidiTrack {
public:
    cMidiTrack(cMidiFile* file_, size_t begin, size_t end_);

    // Reads one event; false once the track's data are used up (or end
    // inside an event). `e` receives delta tick, status and data bytes.
    bool read_event(sMidiTrackEvent& e);

    cMidiFile* file;                      // owning file
    std::vector<sMidiTrackEvent> events;  // channel events, absolute ticks
    std::string name;                     // from the track-name meta event, "" without one
    size_t pos;                           // read position (index into the file's data)
    size_t end;                           // one past the track's last byte
    uint32_t length;                      // chunk length as declared (bytes)
    uint8_t running_status = 0;           // last status byte seen

private:
    bool read_byte(uint8_t& b);
    bool read_vlq(uint32_t& value);
    bool skip(size_t count);
    bool read_meta();
    void read_tempo(uint32_t length);
};

class cMidiFile {
public:
    explicit cMidiFile(std::vector<uint8_t> bytes);
    cMidiFile(const cMidiFile&) = delete;
    cMidiFile& operator=(const cMidiFile&) = delete;

    // Reads the events of every track and sets length_ticks.
    void read_tracks();

    std::vector<uint8_t> data;                         // the whole file
    size_t end;                                        // one past the last byte (= size)
    size_t size;                                       // file length in bytes
    uint32_t header_length = 0;                        // as stored, 6 in valid files
    uint16_t format = 0;                               // 0, 1 or 2
    uint16_t num_tracks = 0;                           // as declared in the header
    int16_t division = 0;                              // ticks per quarter note when > 0, else SMPTE
    double seconds_per_tick = 0.0;                     // one value for the whole file (s)
    uint32_t length_ticks = 0;                         // largest absolute tick of any track
    std::vector<std::unique_ptr<cMidiTrack>> tracks;   // num_tracks entries; missing ones are empty

private:
    void read_header();
    void locate_tracks();
};
