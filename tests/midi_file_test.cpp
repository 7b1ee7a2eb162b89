#include <gtest/gtest.h>

#include <random>

#include "midi_file.h"
#include "support/midi_bytes.h"

namespace {

std::unique_ptr<cMidiFile> read(const Bytes& bytes)
{
    auto midi = std::make_unique<cMidiFile>(bytes);
    midi->read_tracks();
    return midi;
}

std::vector<uint32_t> ticks_of(const cMidiTrack& t)
{
    std::vector<uint32_t> out;
    for (const sMidiTrackEvent& e : t.events)
        out.push_back(e.tick);
    return out;
}

}  // namespace

TEST(MidiFile, VariableLengthDeltasAccumulateToAbsoluteTicks)
{
    EXPECT_EQ(vlq(0x7F), (Bytes{0x7F}));
    EXPECT_EQ(vlq(0x80), (Bytes{0x81, 0x00}));
    EXPECT_EQ(vlq(0x0FFFFFFF), (Bytes{0xFF, 0xFF, 0xFF, 0x7F}));
    Bytes track = cat({ev(0, {0x90, 60, 100}), ev(0x7F, {0x80, 60, 0}), ev(0x80, {0x90, 61, 1}),
                       ev(0x3FFF, {0x80, 61, 0}), ev(0x4000, {0x90, 62, 2}), ev(0x0FFFFFFF, {0x80, 62, 0}),
                       end_of_track()});
    auto midi = read(cat({midi_header(1, 480), midi_track(track)}));
    uint32_t t = 0;
    std::vector<uint32_t> expected;
    for (uint32_t d : {0u, 0x7Fu, 0x80u, 0x3FFFu, 0x4000u, 0x0FFFFFFFu})
        expected.push_back(t += d);
    EXPECT_EQ(ticks_of(*midi->tracks[0]), expected);
    EXPECT_EQ(midi->length_ticks, t);
}

TEST(MidiFile, HeaderFieldsAndDefaultTempo)
{
    testing::internal::CaptureStdout();
    auto midi = read(cat({midi_header(2, 480, 1), midi_track(cat({ev(960, {0x90, 60, 90})})),
                          midi_track(cat({ev(100, {0xB0, 7, 64}), ev(2000, {0xB0, 7, 65})}))}));
    std::string out = testing::internal::GetCapturedStdout();
    EXPECT_EQ(out, "# midi: Num tracks: 2\n# midi: Reading tracks from MIDI file...\n");
    EXPECT_EQ(midi->format, 1);
    EXPECT_EQ(midi->header_length, 6u);
    EXPECT_EQ(midi->division, 480);
    EXPECT_DOUBLE_EQ(midi->seconds_per_tick, 0.5 / 480);
    EXPECT_EQ(midi->length_ticks, 2100u);  // the longer of the two tracks
    ASSERT_EQ(midi->tracks.size(), 2u);
    EXPECT_EQ(midi->tracks[0]->events[0].tick, 960u);
}

TEST(MidiFile, RunningStatusRepeatsThePreviousStatus)
{
    Bytes track = cat({ev(0, {0x90, 0x3C, 0x40}), ev(10, {0x3E, 0x40}),  // note on by running status
                       ev(5, {0xC2, 7}), ev(5, {9}),                       // program change: one data byte
                       ev(5, {0xE1, 0x00, 0x40}), ev(0, {0x7F, 0x7F})});   // pitch bend: two
    auto midi = read(cat({midi_header(1, 96), midi_track(track)}));
    const auto& e = midi->tracks[0]->events;
    ASSERT_EQ(e.size(), 6u);
    EXPECT_EQ(e[1].status, 0x90);
    EXPECT_EQ(e[1].first_byte, 0x3E);
    EXPECT_EQ(e[1].second_byte, 0x40);
    EXPECT_EQ(e[1].tick, 10u);
    EXPECT_EQ(e[3].status, 0xC2);
    EXPECT_EQ(e[3].first_byte, 9);
    EXPECT_EQ(e[3].second_byte, 0);
    EXPECT_EQ(e[5].status, 0xE1);
    EXPECT_EQ(e[5].first_byte, 0x7F);
    EXPECT_EQ(e[5].tick, 25u);
}

TEST(MidiFile, TempoAppliesToTheWholeFileAndPrintsBpm)
{
    testing::internal::CaptureStdout();
    auto midi = read(cat({midi_header(1, 480),
                          midi_track(cat({ev(0, {0x90, 60, 1}), tempo_event(960, 400000), end_of_track()}))}));
    std::string out = testing::internal::GetCapturedStdout();
    EXPECT_NE(out.find("# midi: bpm: 150\n"), std::string::npos) << out;
    EXPECT_DOUBLE_EQ(midi->seconds_per_tick, 0.4 / 480);

    testing::internal::CaptureStdout();
    midi = read(cat({midi_header(1, 96), midi_track(cat({tempo_event(0, 500000), tempo_event(0, 468750)}))}));
    out = testing::internal::GetCapturedStdout();
    EXPECT_NE(out.find("# midi: bpm: 120\n# midi: bpm: 128\n"), std::string::npos) << out;
    EXPECT_DOUBLE_EQ(midi->seconds_per_tick, 0.46875 / 96);  // the last tempo wins
}

TEST(MidiFile, MetaAndSysexEventsAreSkipped)
{
    Bytes text(200, 'x');
    Bytes long_meta = cat({ev(0, {0xFF, 0x01}), vlq(200), text});  // text meta, multi-byte length
    Bytes track = cat({ev(0, {0xFF, 0x03, 5, 'b', 'a', 's', 's', '1'}),
                       ev(0, {0xFF, 0x58, 4, 4, 2, 24, 8}), long_meta,
                       ev(1, {0xF0, 3, 0x43, 0x12, 0xF7}), ev(1, {0xF7, 2, 0x01, 0x02}),
                       ev(1, {0x91, 40, 50}), end_of_track()});
    auto midi = read(cat({midi_header(2, 96), midi_track(track), midi_track(cat({ev(0, {0xFF, 0x03, 0})}))}));
    const cMidiTrack& t = *midi->tracks[0];
    EXPECT_EQ(t.name, "bass1");
    ASSERT_EQ(t.events.size(), 1u);  // only channel messages are stored
    EXPECT_EQ(t.events[0].status, 0x91);
    EXPECT_EQ(t.events[0].tick, 3u);
    EXPECT_EQ(midi->tracks[1]->name, "");
}

TEST(MidiFile, SmpteDivisionGivesFixedSecondsPerTick)
{
    auto division = [](int fps_code, int ticks) { return int16_t((-fps_code) * 256 + ticks); };
    EXPECT_DOUBLE_EQ(read(midi_header(0, division(25, 40)))->seconds_per_tick, 1.0 / 1000);
    EXPECT_DOUBLE_EQ(read(midi_header(0, division(24, 10)))->seconds_per_tick, 1.0 / 240);
    EXPECT_DOUBLE_EQ(read(midi_header(0, division(29, 4)))->seconds_per_tick, 1.0 / (4 * 29.97));
    EXPECT_DOUBLE_EQ(read(midi_header(0, division(30, 80)))->seconds_per_tick, 1.0 / 2400);
    // A tempo event means nothing to SMPTE timing and must not make ticks
    // negative.
    auto midi = read(cat({midi_header(1, division(25, 40)), midi_track(tempo_event(0, 400000))}));
    EXPECT_DOUBLE_EQ(midi->seconds_per_tick, 1.0 / 1000);
}

TEST(MidiFileDeath, InvalidFilesAreFatal)
{
    EXPECT_EXIT(read(Bytes{'R', 'I', 'F', 'F', 0, 0, 0, 6, 0, 0, 0, 0, 0, 96}), testing::ExitedWithCode(1),
                "# mid FATAL ERROR: This is not a valid MIDI file!");
    EXPECT_EXIT(read(Bytes{'M', 'T', 'h', 'd', 0, 0}), testing::ExitedWithCode(1), "not a valid MIDI file");
    EXPECT_EXIT(read(midi_header(0, int16_t(-28 * 256 + 10))), testing::ExitedWithCode(1),
                "# mid FATAL ERROR: Illegal SMPTE frame code");
    EXPECT_EXIT(read(midi_header(0, 0)), testing::ExitedWithCode(1), "Illegal SMPTE frame code");
    Bytes bad_second = cat({midi_header(2, 96), midi_track(end_of_track()), Bytes{'M', 'T', 'r', 'x', 0, 0, 0, 0}});
    EXPECT_EXIT(read(bad_second), testing::ExitedWithCode(1), "# mid FATAL ERROR: Track 2/2 is invalid!");
}

TEST(MidiFile, DamagedTracksEndAtTheData)
{
    // More tracks declared than present: the missing ones are empty.
    auto midi = read(cat({midi_header(4, 96), midi_track(ev(7, {0x90, 1, 2})), Bytes{'M', 'T'}}));
    ASSERT_EQ(midi->tracks.size(), 4u);
    EXPECT_EQ(midi->tracks[0]->events.size(), 1u);
    for (int i = 1; i < 4; ++i)
        EXPECT_TRUE(midi->tracks[i]->events.empty());

    // A chunk that claims more bytes than the file holds stops at the end;
    // the event cut in half is dropped.
    Bytes cut = cat({ev(0, {0x90, 60, 100}), ev(10, {0x90, 61})});
    midi = read(cat({midi_header(1, 96), midi_track(cut, 1000)}));
    ASSERT_EQ(midi->tracks[0]->events.size(), 1u);
    EXPECT_EQ(midi->tracks[0]->pos, midi->size);

    // Lengths and numbers running past the end of a track.
    for (const Bytes& broken : {Bytes{0x81, 0x80}, cat({ev(0, {0xFF, 0x01}), Bytes{0x8F}}),
                                cat({ev(0, {0xFF, 0x03, 50, 'a'})}), cat({ev(0, {0xF0, 0x7F, 1})}),
                                cat({ev(0, {0xFF, 0x51, 3, 0x07})}), Bytes{0x00, 0x40}}) {
        Bytes file = cat({midi_header(2, 96), midi_track(cat({ev(4, {0x90, 1, 1}), broken})),
                          midi_track(ev(9, {0x80, 1, 0}))});
        midi = read(file);
        EXPECT_EQ(midi->tracks[0]->events.size(), 1u);
        EXPECT_EQ(midi->tracks[0]->pos, midi->tracks[0]->end);
        EXPECT_EQ(midi->tracks[1]->events.size(), 1u);  // the next track is still found
        EXPECT_DOUBLE_EQ(midi->seconds_per_tick, 0.5 / 96);
    }
}

TEST(MidiFile, GarbageTracksNeverReadOutsideTheFile)
{
    std::mt19937 rng(1234);
    for (int round = 0; round < 300; ++round) {
        Bytes body(rng() % 64);
        for (uint8_t& b : body)
            b = uint8_t(rng());
        uint32_t declared = rng() % 2 ? uint32_t(body.size()) : uint32_t(rng() % 128);
        Bytes file = cat({midi_header(1, 96), midi_track(body, declared)});
        testing::internal::CaptureStdout();
        auto midi = read(file);
        testing::internal::GetCapturedStdout();
        const cMidiTrack& t = *midi->tracks[0];
        EXPECT_LE(t.end, midi->size);
        EXPECT_EQ(t.pos, t.end);
        for (const sMidiTrackEvent& e : t.events)
            EXPECT_TRUE(e.status >= 0x80 && e.status < 0xF0);
    }
}
