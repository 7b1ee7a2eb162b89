#include <gtest/gtest.h>

#include <array>
#include <random>

#include "midi_file.h"
#include "support/files.h"
#include "support/midi_bytes.h"

namespace {

std::unique_ptr<cMidiFile> read(const Bytes& bytes)
{
    auto midi = std::make_unique<cMidiFile>(bytes);
    midi->read_tracks();
    return midi;
}

int16_t smpte(int fps, int ticks) { return int16_t(-fps * 256 + ticks); }

}  // namespace

TEST(MidiFile, HeaderAndVariableLengthDeltas)
{
    Bytes track;
    for (uint32_t d : {0u, 0x7Fu, 0x80u, 0x3FFFu, 0x4000u, 0x0FFFFFFFu})
        append(track, ev(d, {0x90, 60, 100}));
    const Bytes file = cat({midi_header(2, 480), midi_track(track), midi_track(ev(5, {0xB0, 7, 1}))});
    std::unique_ptr<cMidiFile> midi;
    EXPECT_EQ(stdout_of([&] { midi = read(file); }),
              "# midi: Num tracks: 2\n# midi: Reading tracks from MIDI file...\n");
    EXPECT_EQ(std::make_pair(int(midi->format), int(midi->division)), std::make_pair(1, 480));
    EXPECT_DOUBLE_EQ(midi->seconds_per_tick, 0.5 / 480);  // 120 bpm without a tempo event
    std::vector<uint32_t> ticks;
    for (const sMidiTrackEvent& e : midi->tracks[0]->events)
        ticks.push_back(e.tick);
    EXPECT_EQ(ticks, (std::vector<uint32_t>{0, 0x7F, 0xFF, 0x40FE, 0x80FE, 0x100080FD}));
    EXPECT_EQ(midi->length_ticks, 0x100080FDu);  // the longer track
}

TEST(MidiFile, RunningStatusAndDataByteCounts)
{
    Bytes track = cat({ev(0, {0x90, 0x3C, 0x40}), ev(10, {0x3E, 0x40}),  // running note on
                       ev(5, {0xC2, 7}), ev(5, {9}),                       // program change: one byte
                       ev(5, {0xE1, 0x00, 0x40}), ev(0, {0x7F, 0x7F})});   // pitch bend: two
    auto midi = read(cat({midi_header(1, 96), midi_track(track)}));
    std::vector<std::array<uint32_t, 4>> got;  // status, data bytes, tick
    for (const sMidiTrackEvent& e : midi->tracks[0]->events)
        got.push_back({e.status, e.first_byte, e.second_byte, e.tick});
    EXPECT_EQ(got, (std::vector<std::array<uint32_t, 4>>{{0x90, 0x3C, 0x40, 0}, {0x90, 0x3E, 0x40, 10},
                                                         {0xC2, 7, 0, 15}, {0xC2, 9, 0, 20},
                                                         {0xE1, 0x00, 0x40, 25}, {0xE1, 0x7F, 0x7F, 25}}));
}

TEST(MidiFile, TempoMetaSysexAndSmpteDivisions)
{
    Bytes track = cat({ev(0, {0xFF, 0x03, 5, 'b', 'a', 's', 's', '1'}), ev(0, {0xFF, 0x58, 4, 4, 2, 24, 8}),
                       ev(0, {0xFF, 0x01}), vlq(200), Bytes(200, 'x'),  // text meta, two-byte length
                       ev(1, {0xF0, 3, 0x43, 0x12, 0xF7}), ev(1, {0xF7, 2, 0x01, 0x02}), ev(1, {0x91, 40, 50}),
                       tempo_event(960, 500000), tempo_event(0, 400000), end_of_track()});
    std::unique_ptr<cMidiFile> midi;
    const std::string out = stdout_of([&] { midi = read(cat({midi_header(1, 480), midi_track(track)})); });
    EXPECT_NE(out.find("# midi: bpm: 120\n# midi: bpm: 150\n"), std::string::npos) << out;
    EXPECT_DOUBLE_EQ(midi->seconds_per_tick, 0.4 / 480);  // the last tempo holds for the whole file
    const cMidiTrack& t = *midi->tracks[0];
    EXPECT_EQ(t.name, "bass1");
    ASSERT_EQ(t.events.size(), 1u);  // only channel messages are stored
    EXPECT_EQ(std::make_pair(int(t.events[0].status), t.events[0].tick), std::make_pair(0x91, 3u));

    EXPECT_DOUBLE_EQ(read(midi_header(0, smpte(25, 40)))->seconds_per_tick, 1.0 / 1000);
    EXPECT_DOUBLE_EQ(read(midi_header(0, smpte(24, 10)))->seconds_per_tick, 1.0 / 240);
    EXPECT_DOUBLE_EQ(read(midi_header(0, smpte(29, 4)))->seconds_per_tick, 1.0 / (4 * 29.97));
    // A tempo event must not turn SMPTE ticks negative.
    midi = read(cat({midi_header(1, smpte(30, 80)), midi_track(tempo_event(0, 400000))}));
    EXPECT_DOUBLE_EQ(midi->seconds_per_tick, 1.0 / 2400);
}

TEST(MidiFileDeath, InvalidFilesAreFatal)
{
    EXPECT_EXIT(read(Bytes{'R', 'I', 'F', 'F', 0, 0, 0, 6, 0, 0, 0, 0, 0, 96}), testing::ExitedWithCode(1),
                "# mid FATAL ERROR: This is not a valid MIDI file!");
    EXPECT_EXIT(read(Bytes{'M', 'T', 'h', 'd', 0, 0}), testing::ExitedWithCode(1), "not a valid MIDI file");
    EXPECT_EXIT(read(midi_header(0, smpte(28, 10))), testing::ExitedWithCode(1), "Illegal SMPTE frame code");
    Bytes bad = cat({midi_header(2, 96), midi_track(end_of_track()), Bytes{'M', 'T', 'r', 'x', 0, 0, 0, 0}});
    EXPECT_EXIT(read(bad), testing::ExitedWithCode(1), "# mid FATAL ERROR: Track 2/2 is invalid!");
}

TEST(MidiFile, DamagedTracksEndAtTheirData)
{
    // More tracks declared than present: the missing ones are empty, and say so.
    std::unique_ptr<cMidiFile> midi;
    const std::string missing =
        stderr_of([&] { midi = read(cat({midi_header(4, 96), midi_track(ev(7, {0x90, 1, 2})), Bytes{'M', 'T'}})); });
    EXPECT_NE(missing.find("# warning: midi track 2/4 is missing from the file\n"), std::string::npos) << missing;
    EXPECT_NE(missing.find("# warning: midi track 4/4 is missing from the file\n"), std::string::npos);
    ASSERT_EQ(midi->tracks.size(), 4u);
    EXPECT_EQ(midi->tracks[0]->events.size(), 1u);
    EXPECT_TRUE(midi->tracks[3]->events.empty());

    // Chunk longer than the file, numbers and lengths running past the end:
    // the event cut in half is dropped, the next track is still found.
    for (const Bytes& broken : {Bytes{0x81, 0x80}, cat({ev(0, {0xFF, 0x01}), Bytes{0x8F}}),
                                ev(0, {0xFF, 0x03, 50, 'a'}), ev(0, {0xF0, 0x7F, 1}),
                                ev(0, {0xFF, 0x51, 3, 0x07}), Bytes{0x00, 0x40}}) {
        Bytes file = cat({midi_header(2, 96), midi_track(cat({ev(4, {0x90, 1, 1}), broken})),
                          midi_track(ev(9, {0x80, 1, 0}))});
        midi = read(file);
        EXPECT_EQ(midi->tracks[0]->events.size(), 1u);
        EXPECT_EQ(midi->tracks[1]->events.size(), 1u);
        EXPECT_DOUBLE_EQ(midi->seconds_per_tick, 0.5 / 96);
        const Bytes cut = cat({ev(4, {0x90, 1, 1}), broken});
        EXPECT_NE(stderr_of([&] { midi = read(cat({midi_header(1, 96), midi_track(cut, 1000)})); })
                      .find("# warning: midi track 1/1 runs " + std::to_string(1000 - cut.size()) +
                            " bytes past the end of the file\n"),
                  std::string::npos);
        EXPECT_EQ(midi->tracks[0]->events.size(), 1u);
        EXPECT_EQ(midi->tracks[0]->pos, midi->size);
    }
}

TEST(MidiFile, GarbageNeverReadsOutsideTheFile)
{
    std::mt19937 rng(1234);
    for (int round = 0; round < 300; ++round) {
        Bytes body(rng() % 64);
        for (uint8_t& b : body)
            b = uint8_t(rng());
        const Bytes file = cat({midi_header(1, 96), midi_track(body, rng() % 2 ? body.size() : rng() % 128)});
        std::unique_ptr<cMidiFile> midi;
        stdout_of([&] { midi = read(file); });
        const cMidiTrack& t = *midi->tracks[0];
        EXPECT_LE(t.end, midi->size);
        EXPECT_EQ(t.pos, t.end);
        for (const sMidiTrackEvent& e : t.events)
            EXPECT_TRUE(e.status >= 0x80 && e.status < 0xF0);
    }
}
