#include <gtest/gtest.h>

#include <unistd.h>

#include <cmath>
#include <filesystem>
#include <fstream>

#include "midi_events.h"
#include "midi_file.h"
#include "support/midi_bytes.h"

namespace fs = std::filesystem;

namespace {

std::vector<int32_t> beat_times(const cEventQueue& q)
{
    std::vector<int32_t> out;
    for (const cEvent* e : q.events)
        if (e->type == EVENT_BEAT)
            out.push_back(e->time);
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

void add_parsed(cEventQueue& q, const Bytes& file)
{
    cMidiFile midi(file);
    midi.read_tracks();
    add_midi_events(q, midi);
}

}  // namespace

TEST(MidiEvents, MidiEventsStartUnfilled)
{
    cMECtrlChange c;
    EXPECT_EQ(c.type, EVENT_MIDI);
    EXPECT_EQ(c.kind, 0);
    EXPECT_EQ(c.time, -1);
    EXPECT_EQ(c.track, -1);
    EXPECT_EQ(c.number, -1);
    EXPECT_EQ(c.value, -1);
}

TEST(MidiEvents, NotesAndControllersBecomeQueueEvents)
{
    Bytes drums = cat({ev(0, {0xFF, 0x03, 5, 'd', 'r', 'u', 'm', 's'}), ev(480, {0x99, 36, 100}),
                       ev(0, {0x99, 38, 0}),     // note on with velocity 0: no event
                       ev(240, {0x89, 36, 0}),   // note off with velocity 0: still a note off
                       ev(0, {0xC9, 5}), ev(0, {0xE9, 0, 64}), ev(0, {0xA9, 36, 3})});  // ignored
    Bytes pads = cat({ev(960, {0xB0, 74, 10}), ev(0, {0xB0, 7, 99}), ev(0, {0xB0, 74, 11})});
    cEventQueue q;
    add_parsed(q, cat({midi_header(2, 480), midi_track(drums), midi_track(pads)}));

    ASSERT_EQ(q.events.size(), 5u);
    auto* on = dynamic_cast<cMETrigger*>(q.events[0]);
    ASSERT_TRUE(on);
    EXPECT_EQ(on->type, EVENT_MIDI);
    EXPECT_EQ(on->kind, MIDI_NOTE_ON);
    EXPECT_EQ(on->track, 0);
    EXPECT_EQ(on->number, 36);
    EXPECT_EQ(on->value, 100);
    EXPECT_EQ(on->time, 500);
    auto* off = dynamic_cast<cMETrigger*>(q.events[1]);
    ASSERT_TRUE(off);
    EXPECT_EQ(off->kind, MIDI_NOTE_OFF);
    EXPECT_EQ(off->value, 0);
    EXPECT_EQ(off->time, 750);
    for (int i = 2; i < 5; ++i) {
        auto* cc = dynamic_cast<cMECtrlChange*>(q.events[i]);
        ASSERT_TRUE(cc);
        EXPECT_EQ(cc->kind, MIDI_CONTROL_CHANGE);
        EXPECT_EQ(cc->track, 1);
        EXPECT_EQ(cc->time, 1000);
    }
    EXPECT_EQ(q.track_names, (std::vector<std::string>{"drums", ""}));
    EXPECT_EQ(q.controllers, (std::vector<int32_t>{7, 74}));
}

TEST(MidiEvents, TicksBecomeTruncatedMilliseconds)
{
    EXPECT_EQ(midi_tick_to_ms(960, 0.5 / 480), 1000);
    EXPECT_EQ(midi_tick_to_ms(1, 0.5 / 480), 1);        // 1.04 ms
    EXPECT_EQ(midi_tick_to_ms(479, 0.5 / 480), 498);    // 498.96 ms
    EXPECT_EQ(midi_tick_to_ms(0xFFFFFFFFu, 0.5), INT32_MAX);
    EXPECT_EQ(midi_tick_to_ms(100, 0.0), 0);
}

TEST(MidiEvents, BeatGridIncludesTheFirstBeatAtOrAfterTheEnd)
{
    cEventQueue q;
    add_beat_events(q, 500.0, 1200);
    EXPECT_EQ(beat_times(q), (std::vector<int32_t>{0, 500, 1000, 1500}));
    cEventQueue exact;
    add_beat_events(exact, 500.0, 1000);
    EXPECT_EQ(beat_times(exact), (std::vector<int32_t>{0, 500, 1000}));
    cEventQueue fractional;
    add_beat_events(fractional, 468.75, 1000);
    EXPECT_EQ(beat_times(fractional), (std::vector<int32_t>{0, 468, 937, 1406}));
    cEventQueue empty_song;
    add_beat_events(empty_song, 500.0, 0);
    EXPECT_EQ(beat_times(empty_song), (std::vector<int32_t>{0}));
    for (double spacing : {0.0, -500.0, std::nan("")}) {
        cEventQueue none;
        add_beat_events(none, spacing, 1200);
        EXPECT_TRUE(none.events.empty()) << spacing;
    }
}

class MidiEventsFile : public ::testing::Test {
protected:
    void SetUp() override
    {
        path = fs::temp_directory_path() / ("qv_midi_" + std::to_string(::getpid()) + ".mid");
    }
    void TearDown() override { fs::remove(path); }
    void write(const Bytes& b) { std::ofstream(path, std::ios::binary).write((const char*)b.data(), b.size()); }

    fs::path path;
};

TEST_F(MidiEventsFile, FileGivesSortedNotesAndBeatsFromItsTempo)
{
    // 150 bpm at division 96: 400 ms per beat; the song ends at tick 240 (1000 ms).
    write(cat({midi_header(2, 96),
               midi_track(cat({ev(0, {0xFF, 0x03, 4, 'l', 'e', 'a', 'd'}), tempo_event(0, 400000),
                               ev(120, {0x90, 60, 64}), ev(120, {0x80, 60, 0})})),
               midi_track(cat({ev(48, {0xB1, 1, 2})}))}));
    cEventQueue q;
    q.events.push_back(new cEvent(3, 700));  // a script marker already in the queue
    testing::internal::CaptureStdout();
    add_midi_and_beat_events(q, path.string());
    testing::internal::GetCapturedStdout();

    EXPECT_EQ(beat_times(q), (std::vector<int32_t>{0, 400, 800, 1200}));
    std::vector<std::pair<int32_t, int32_t>> seen;
    for (const cEvent* e : q.events)
        seen.emplace_back(e->time, e->type);
    std::vector<std::pair<int32_t, int32_t>> expected = {{0, 40},   {200, 39}, {400, 40}, {500, 39},
                                                         {700, 3},  {800, 40}, {1000, 39}, {1200, 40}};
    EXPECT_EQ(seen, expected);
    EXPECT_EQ(q.track_names, (std::vector<std::string>{"lead", ""}));
    EXPECT_EQ(q.controllers, (std::vector<int32_t>{1}));
}

TEST_F(MidiEventsFile, UnreadableFileAddsNothing)
{
    cEventQueue q;
    testing::internal::CaptureStderr();
    add_midi_and_beat_events(q, "/nonexistent/qv/goa.mid");
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "# midi: Unable to open file '/nonexistent/qv/goa.mid'!\n");
    EXPECT_TRUE(q.events.empty());
    EXPECT_TRUE(q.track_names.empty());
}

TEST(MidiPulse, RisesBeforeANoteOnAndFallsAfterIt)
{
    cEventQueue q;
    q.events = {note(4, 1000)};
    cEventWindow w;
    w.attack_ms = 100;
    w.release_ms = 300;
    w.track = 4;
    // Before the note fires it is the next event.
    EXPECT_FLOAT_EQ(w.pulse_at(800, q), 0.0f);
    EXPECT_FLOAT_EQ(w.pulse_at(950, q), 0.5f);
    EXPECT_FLOAT_EQ(w.pulse_at(1000, q), 1.0f);
    EXPECT_FLOAT_EQ(w.pulse_at(975, q), (3 - 2 * 0.75f) * 0.75f * 0.75f);
    // Once fired (cursor past it), it is found as the previous one, even as
    // the very first event of the queue.
    q.cursor = 1;
    EXPECT_FLOAT_EQ(w.pulse_at(1000, q), 1.0f);
    EXPECT_FLOAT_EQ(w.pulse_at(1150, q), 0.5f);
    EXPECT_FLOAT_EQ(w.pulse_at(1400, q), 0.0f);

    cDemoClock clock;
    clock.now = 1150;
    EXPECT_FLOAT_EQ(w.pulse(clock, q), 0.5f);
}

TEST(MidiPulse, OnlyNoteOnsOfTheTrackCountAndCloseNotesAddUp)
{
    cEventQueue q;
    auto* cc = new cMECtrlChange();
    cc->kind = MIDI_CONTROL_CHANGE;
    cc->track = 2;
    cc->time = 1010;
    q.events = {note(2, 990, MIDI_NOTE_OFF), note(3, 1000), new cEvent(EVENT_BEAT, 1000), cc};
    cEventWindow w;
    w.attack_ms = 100;
    w.release_ms = 100;
    w.track = 2;
    EXPECT_FLOAT_EQ(w.pulse_at(1000, q), 0.0f);

    q.events.push_back(note(2, 1000));
    q.events.push_back(note(2, 1040));
    q.cursor = 5;  // the note at 1000 fired, the one at 1040 is next
    float both = w.pulse_at(1020, q);
    EXPECT_GT(both, 1.0f);
    EXPECT_LE(both, 2.0f);
    EXPECT_FLOAT_EQ(both, 2 * (3 - 2 * 0.8f) * 0.8f * 0.8f);

    cEventQueue empty;
    EXPECT_FLOAT_EQ(w.pulse_at(0, empty), 0.0f);
}
