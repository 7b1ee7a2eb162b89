// The generated soundtrack against its MIDI twin: note onsets and the acid
// filter in the generator's renders, and the master MP3 in step with them.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <unistd.h>
#include <vector>

#include "midi_file.h"
#include "resource_path.h"
#include "sound_module.h"
#include "support/files.h"

namespace fs = std::filesystem;

namespace {

const std::string DATA = executable_dir() + "/../data";

struct cNoteOn {
    int32_t ms;   // as the demo converts ticks
    int note;
};

// The MIDI file as the demo reads it: note-ons per track in ms.
struct cTwin {
    std::unique_ptr<cMidiFile> file;
    std::vector<std::vector<cNoteOn>> notes;  // per track
    double bar_ms = 0.0;

    cTwin()
    {
        auto bytes = read_midi_bytes(DATA + "/music/goa3_3.mid");
        if (!bytes)
            return;
        stdout_of([&] { file = std::make_unique<cMidiFile>(std::move(*bytes)); file->read_tracks(); });
        bar_ms = 4.0 * file->division * file->seconds_per_tick * 1000.0;
        for (const auto& track : file->tracks) {
            notes.emplace_back();
            for (const sMidiTrackEvent& e : track->events)
                if ((e.status & 0xF0) == 0x90 && e.second_byte > 0)
                    notes.back().push_back({static_cast<int32_t>(e.tick * file->seconds_per_tick * 1000.0), e.first_byte});
        }
    }
    int track(const std::string& name) const
    {
        for (size_t i = 0; i < file->tracks.size(); ++i)
            if (file->tracks[i]->name == name)
                return static_cast<int>(i);
        return -1;
    }
};

const cTwin& twin()
{
    static const cTwin t;
    return t;
}

// The generator's render (a WAV of 32-bit float stereo) as mono; empty when
// the generator fails.
std::vector<float> render_mono(const std::string& args)
{
    const std::string path = (fs::temp_directory_path() / ("qv_render_" + std::to_string(::getpid()) + ".wav")).string();
    const std::string command = executable_dir() + "/quorvane-datagen --render " + path + " " + args + " > /dev/null 2>&1";
    if (std::system(command.c_str()) != 0)
        return {};
    const std::string bytes = read_file(path);
    std::vector<float> mono;
    for (size_t pos = 12; pos + 8 <= bytes.size();) {
        uint32_t size;
        std::memcpy(&size, &bytes[pos + 4], 4);
        if (std::memcmp(&bytes[pos], "data", 4) == 0) {
            const size_t frames = std::min<size_t>(size, bytes.size() - pos - 8) / 8;
            mono.resize(frames);
            for (size_t i = 0; i < frames; ++i) {
                float lr[2];
                std::memcpy(lr, &bytes[pos + 8 + i * 8], 8);
                mono[i] = 0.5f * (lr[0] + lr[1]);
            }
            break;
        }
        pos += 8 + size;
    }
    fs::remove(path);
    return mono;
}

const std::vector<int16_t>& decoded_master()
{
    static const std::vector<int16_t> pcm = [] {
        const std::string file = read_file(DATA + "/music/goa3_4_master.mp3");
        const std::vector<uint8_t> data(file.begin(), file.end());
        std::vector<int16_t> out;
        if (!decode_mp3(data, out))
            out.clear();
        return out;
    }();
    return pcm;
}

}  // namespace

TEST(SoundtrackAudio, MasterIsInStepWithTheRender)
{
    const std::vector<float> render = render_mono("--seconds 42");
    const std::vector<int16_t>& pcm = decoded_master();
    ASSERT_GE(render.size(), 41u * SOUND_RATE);
    ASSERT_GE(pcm.size() / 2, 41u * SOUND_RATE);
    // The lag that best aligns a stretch of the drop; gapless decoding must
    // leave none.
    const size_t from = 30 * SOUND_RATE, to = 40 * SOUND_RATE;
    const int max_lag = SOUND_RATE / 100;
    int best_lag = 0;
    double best = -1e30, energy_r = 0.0, energy_m = 0.0;
    for (int lag = -max_lag; lag <= max_lag; ++lag) {
        double sum = 0.0;
        for (size_t i = from; i < to; i += 2)
            sum += render[i] * (pcm[2 * (i + lag)] + pcm[2 * (i + lag) + 1]) / 65536.0;
        if (sum > best) {
            best = sum;
            best_lag = lag;
        }
    }
    for (size_t i = from; i < to; i += 2) {
        energy_r += render[i] * render[i];
        const double m = (pcm[2 * (i + best_lag)] + pcm[2 * (i + best_lag) + 1]) / 65536.0;
        energy_m += m * m;
    }
    EXPECT_LE(std::abs(best_lag), SOUND_RATE / 1000) << "lag " << best_lag << " samples";
    EXPECT_GT(best / std::sqrt(energy_r * energy_m), 0.9) << "the MP3 does not carry the render";
}

// Percussive tracks the scenes follow, rendered alone: each note-on is heard
// within 5 ms of its time.
TEST(SoundtrackAudio, PercussionSoundsOnItsNotes)
{
    const cTwin& t = twin();
    ASSERT_TRUE(t.file);
    const long ms = SOUND_RATE / 1000;
    for (auto [track, seconds] : {std::pair{4, 80.0}, {10, 226.0}}) {
        SCOPED_TRACE("track " + std::to_string(track));
        const std::vector<float> x = render_mono("--solo " + std::to_string(track) + " --seconds " + std::to_string(seconds));
        ASSERT_GE(x.size(), static_cast<size_t>((seconds - 1.0) * SOUND_RATE));
        int checked = 0;
        for (const cNoteOn& n : t.notes[track]) {
            if (n.ms >= (seconds - 1.0) * 1000.0)
                break;
            const long note = static_cast<long>(n.ms * (SOUND_RATE / 1000.0));
            // Onset: the first sample that reaches a quarter of the hit's peak.
            float level = 0.0f;
            for (long i = note; i < std::min<long>(note + 30 * ms, static_cast<long>(x.size())); ++i)
                level = std::max(level, 0.25f * std::fabs(x[i]));
            ASSERT_GT(level, 0.001f) << "silent note at " << n.ms;
            long onset = note - 20 * ms;
            while (std::fabs(x[onset]) < level)
                ++onset;
            EXPECT_LE(std::abs(onset - note), 5 * ms) << "note at " << n.ms << " ms";
            ++checked;
        }
        EXPECT_GE(checked, 30);
    }
}

// The acid line's cutoff follows its controller 74: bars where the
// controller stands high sound brighter than bars where it stands low.
TEST(SoundtrackAudio, AcidFilterFollowsItsController)
{
    const cTwin& t = twin();
    ASSERT_TRUE(t.file);
    const int acid = t.track("Acid 303");
    ASSERT_GE(acid, 0);
    const std::vector<float> x = render_mono("--solo " + std::to_string(acid) + " --seconds 54");
    ASSERT_GE(x.size(), 53u * SOUND_RATE);
    // Controller value per half bar of the first drop, and the share of the
    // signal's energy in its first difference (a measure of brightness).
    std::vector<std::pair<int, double>> windows;
    const double half = t.bar_ms / 2.0;
    for (double start = 22 * t.bar_ms; start + half < 32 * t.bar_ms; start += half) {
        int value = -1;
        for (const sMidiTrackEvent& e : t.file->tracks[acid]->events)
            if ((e.status & 0xF0) == 0xB0 && e.first_byte == 74 && e.tick * t.file->seconds_per_tick * 1000.0 <= start + half / 2)
                value = e.second_byte;
        ASSERT_GE(value, 0) << "no cutoff controller before " << start;
        double energy = 0.0, slope = 0.0;
        for (long i = static_cast<long>(start * 44.1) + 1; i < static_cast<long>((start + half) * 44.1); ++i) {
            energy += x[i] * x[i];
            slope += (x[i] - x[i - 1]) * (x[i] - x[i - 1]);
        }
        windows.push_back({value, slope / (energy + 1e-12)});
    }
    std::sort(windows.begin(), windows.end());
    const size_t third = windows.size() / 3;
    double dark = 0.0, bright = 0.0;
    for (size_t i = 0; i < third; ++i) {
        dark += windows[i].second;
        bright += windows[windows.size() - 1 - i].second;
    }
    EXPECT_GT(windows.back().first - windows.front().first, 30) << "the cutoff hardly moves";
    EXPECT_GT(bright, 1.5 * dark) << "brightness does not follow the cutoff controller";
}
