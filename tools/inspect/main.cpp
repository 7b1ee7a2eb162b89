// quorvane-inspect: shows what the demo makes of its MIDI file and its
// marker script, through the same readers and with the same warnings.
//   quorvane-inspect midi FILE      header, tempo, per-track counts, beat grid
//   quorvane-inspect markers FILE   the events the script yields
#include <cstdio>
#include <iostream>
#include <map>
#include <memory>
#include <string>

#include "event_script.h"
#include "midi_events.h"
#include "midi_file.h"

namespace {

struct cTrackSummary {
    int note_ons = 0;
    int note_offs = 0;
    int controllers = 0;
    int32_t first_note = -1;  // ms of the first queued note-on, -1 without one
    int32_t last_note = -1;   // ms of the last queued note-on
};

void summarise(const cEventQueue& queue, std::map<int32_t, cTrackSummary>& tracks, int& beats)
{
    for (const cEvent* e : queue.events) {
        if (e->type == EVENT_BEAT) {
            ++beats;
            continue;
        }
        const auto* m = dynamic_cast<const iMidiEvent*>(e);
        if (!m)
            continue;
        cTrackSummary& t = tracks[m->track];
        if (m->kind == MIDI_NOTE_ON) {
            ++t.note_ons;
            if (t.first_note < 0)
                t.first_note = m->time;
            t.last_note = m->time;
        } else if (m->kind == MIDI_NOTE_OFF) {
            ++t.note_offs;
        } else {
            ++t.controllers;
        }
    }
}

int inspect_midi(const std::string& path)
{
    auto bytes = read_midi_bytes(path);
    if (!bytes) {
        std::cerr << "cannot open " << path << std::endl;
        return 2;
    }
    cMidiFile midi(std::move(*bytes));
    midi.read_tracks();
    std::cout << "format " << midi.format << ", " << midi.num_tracks << " tracks, division " << midi.division
              << ", " << midi.length_ticks << " ticks\n";
    if (midi.seconds_per_tick > 0 && midi.division > 0)
        std::cout << "tempo " << 60.0 / (midi.division * midi.seconds_per_tick) << " bpm, "
                  << midi.seconds_per_tick * 1e6 << " us per tick\n";

    // The queue the demo would build, sorted the way it fires.
    cEventQueue queue;
    add_midi_and_beat_events(queue, path);
    std::map<int32_t, cTrackSummary> tracks;
    int beats = 0;
    summarise(queue, tracks, beats);
    for (size_t i = 0; i < queue.track_names.size(); ++i) {
        const cTrackSummary& t = tracks[static_cast<int32_t>(i)];
        std::printf("track %2zu %-24s on %5d  off %5d  ctrl %5d  notes %d..%d ms\n", i,
                    ("\"" + queue.track_names[i] + "\"").c_str(), t.note_ons, t.note_offs, t.controllers,
                    t.first_note, t.last_note);
    }
    std::cout << "controllers:";
    for (int32_t c : queue.controllers)
        std::cout << " " << c;
    std::cout << "\nbeat grid: " << beats << " beats";
    if (beats > 0)
        std::cout << ", last at " << queue.events.back()->time << " ms";
    std::cout << std::endl;
    return 0;
}

int inspect_markers(const std::string& path)
{
    std::unique_ptr<cEventQueue> queue(cEventQueue_factory::loadFile(path));
    if (!queue)
        return 2;
    for (const cEvent* e : queue->events)
        std::cout << e->type << " " << e->time << "\n";
    std::cout << queue->events.size() << " events" << std::endl;
    return 0;
}

}  // namespace

int main(int argc, char** argv)
{
    const std::string what = argc == 3 ? argv[1] : "";
    if (what == "midi")
        return inspect_midi(argv[2]);
    if (what == "markers")
        return inspect_markers(argv[2]);
    std::cerr << "usage: quorvane-inspect midi FILE | markers FILE" << std::endl;
    return 2;
}
