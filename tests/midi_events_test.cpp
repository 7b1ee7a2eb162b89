#include <gtest/gtest.h>

#include <cmath>

#include "midi_events.h"
#include "midi_file.h"
#include "support/files.h"
#include "support/midi_bytes.h"

namespace {

std::vector<std::pair<int32_t, int32_t>> times_and_types(const cEventQueue& q)
{
    std::vector<std::pair<int32_t, int32_t>> out;
    for (const cEvent* e : q.events)
        out.emplace_back(e->time, e->type);
    return out;
}

std::vector<int32_t> beats(double ms_per_beat, int32_t song_end)
{
    cEventQueue q;
    add_beat_events(q, ms_per_beat, song_end);
    std::vector<int32_t> out;
    for (const cEvent* e : q.events)
        out.push_back(e->type == EVENT_BEAT ? e->time : -1);
    return out;
}

cMETrigger* note(int32_t track, int32_t time, int32_t kind = MIDI_NOTE_ON)
{
    auto* t = new cMETrigger();
    t->track = track;
    t->time = time;
    t->kind = kind;
    return t;
}

float smooth(float u) { return (3 - 2 * u) * u * u; }

}  // namespace

TEST(MidiEvents, NotesAndControllersBecomeQueueEvents)
{
    Bytes drums = cat({ev(0, {0xFF, 0x03, 5, 'd', 'r', 'u', 'm', 's'}), ev(480, {0x99, 36, 100}),
                       ev(0, {0x99, 38, 0}),    // note on with velocity 0: nothing
                       ev(240, {0x89, 36, 0}),  // note off with velocity 0: still a note off
                       ev(0, {0xC9, 5}), ev(0, {0xE9, 0, 64}), ev(0, {0xA9, 36, 3})});  // ignored
    Bytes pads = cat({ev(960, {0xB0, 74, 10}), ev(0, {0xB0, 7, 99}), ev(0, {0xB0, 74, 11})});
    cMidiFile midi(cat({midi_header(2, 480), midi_track(drums), midi_track(pads)}));
    midi.read_tracks();
    cEventQueue q;
    add_midi_events(q, midi);

    ASSERT_EQ(q.events.size(), 5u);
    auto* on = dynamic_cast<cMETrigger*>(q.events[0]);
    ASSERT_TRUE(on);
    EXPECT_EQ(std::vector<int32_t>({on->type, on->kind, on->track, on->number, on->value, on->time}),
              std::vector<int32_t>({39, MIDI_NOTE_ON, 0, 36, 100, 500}));
    auto* off = dynamic_cast<cMETrigger*>(q.events[1]);
    ASSERT_TRUE(off);
    EXPECT_EQ(std::make_pair(off->kind, off->time), std::make_pair(int32_t(MIDI_NOTE_OFF), 750));
    auto* cc = dynamic_cast<cMECtrlChange*>(q.events[4]);
    ASSERT_TRUE(cc);
    EXPECT_EQ(std::vector<int32_t>({cc->kind, cc->track, cc->number, cc->value, cc->time}),
              std::vector<int32_t>({MIDI_CONTROL_CHANGE, 1, 74, 11, 1000}));
    EXPECT_EQ(q.track_names, (std::vector<std::string>{"drums", ""}));
    EXPECT_EQ(q.controllers, (std::vector<int32_t>{7, 74}));
    EXPECT_EQ(midi_tick_to_ms(479, 0.5 / 480), 498);  // 498.96 ms truncates
    EXPECT_EQ(midi_tick_to_ms(0xFFFFFFFFu, 0.5), INT32_MAX);
}

// The beat grid includes the first beat at or after the song's end.
TEST(MidiEvents, FileGivesSortedNotesAndBeatsFromItsTempo)
{
    EXPECT_EQ(beats(500.0, 1200), (std::vector<int32_t>{0, 500, 1000, 1500}));
    EXPECT_EQ(beats(500.0, 1000), (std::vector<int32_t>{0, 500, 1000}));
    EXPECT_EQ(beats(468.75, 1000), (std::vector<int32_t>{0, 468, 937, 1406}));
    EXPECT_EQ(beats(500.0, 0), (std::vector<int32_t>{0}));
    for (double spacing : {0.0, -500.0, std::nan("")})
        EXPECT_TRUE(beats(spacing, 1200).empty()) << spacing;

    // 150 bpm at division 96: 400 ms per beat; the song ends at tick 240 (1000 ms).
    Bytes bytes = cat({midi_header(2, 96),
                       midi_track(cat({tempo_event(0, 400000), ev(120, {0x90, 60, 64}), ev(120, {0x80, 60, 0})})),
                       midi_track(ev(48, {0xB1, 1, 2}))});
    const cTempDir dir("midi");
    cEventQueue q;
    q.events.push_back(new cEvent(3, 700));  // a script marker already queued
    stdout_of([&] { add_midi_and_beat_events(q, dir.write("goa.mid", bytes)); });

    std::vector<std::pair<int32_t, int32_t>> expected = {{0, 40},  {200, 39}, {400, 40},  {500, 39},
                                                         {700, 3}, {800, 40}, {1000, 39}, {1200, 40}};
    EXPECT_EQ(times_and_types(q), expected);

    cEventQueue none;
    EXPECT_EQ(stderr_of([&] { add_midi_and_beat_events(none, "/nonexistent/qv/goa.mid"); }),
              "# midi: Unable to open file '/nonexistent/qv/goa.mid'!\n");
    EXPECT_TRUE(none.events.empty());
}

TEST(MidiPulse, RisesBeforeANoteOnFallsAfterItAndAddsUp)
{
    cEventQueue q;
    q.events = {note(4, 1000), note(4, 990, MIDI_NOTE_OFF), note(3, 1000), new cEvent(EVENT_BEAT, 1000)};
    cEventWindow w;
    w.attack_ms = 100;
    w.release_ms = 300;
    w.track = 4;
    EXPECT_FLOAT_EQ(w.pulse_at(800, q), 0.0f);
    EXPECT_FLOAT_EQ(w.pulse_at(950, q), 0.5f);
    EXPECT_FLOAT_EQ(w.pulse_at(975, q), smooth(0.75f));
    EXPECT_FLOAT_EQ(w.pulse_at(1000, q), 1.0f);
    // Once fired, the note (the very first event) is found behind the cursor.
    q.cursor = 4;
    cDemoClock clock;
    clock.now = 1150;
    EXPECT_FLOAT_EQ(w.pulse(clock, q), 0.5f);
    EXPECT_FLOAT_EQ(w.pulse_at(1400, q), 0.0f);
    // A next note close by adds its rise to the fall of the last one.
    q.events.push_back(note(4, 1200));
    EXPECT_FLOAT_EQ(w.pulse_at(1150, q), 0.5f + smooth(0.5f));
    w.track = 5;
    EXPECT_FLOAT_EQ(w.pulse_at(1000, q), 0.0f);
}
