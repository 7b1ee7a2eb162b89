#include "composition.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdlib>

namespace {

constexpr uint32_t DIVISION = 480;
constexpr uint32_t STEP = DIVISION / 4;  // one sixteenth (ticks)
constexpr uint32_t BAR = 16 * STEP;
constexpr uint32_t TEMPO_US = 413793;    // 145 bpm

// ---- writing notes ---------------------------------------------------------

struct cWriter {
    cMidiSong& song;

    void note_ticks(int track, uint32_t tick, uint32_t length, int note, int velocity)
    {
        auto& events = song.tracks[track].events;
        events.push_back({tick, 0x90, static_cast<uint8_t>(note), static_cast<uint8_t>(std::clamp(velocity, 1, 127))});
        events.push_back({tick + std::max<uint32_t>(length, 1), 0x80, static_cast<uint8_t>(note), 64});
    }
    // Position and length in sixteenths from the start of the piece.
    void note(int track, int step, int length, int note, int velocity)
    {
        note_ticks(track, static_cast<uint32_t>(step) * STEP, static_cast<uint32_t>(length) * STEP - STEP / 8, note, velocity);
    }
    void cc(int track, int step, int number, int value)
    {
        song.tracks[track].events.push_back({static_cast<uint32_t>(step) * STEP, 0xB0, static_cast<uint8_t>(number),
                                             static_cast<uint8_t>(std::clamp(value, 0, 127))});
    }
    // A straight controller move over [from, to) steps, one value every other step.
    void cc_ramp(int track, int number, int from, int to, int v0, int v1)
    {
        for (int s = from; s < to; s += 2)
            cc(track, s, number, v0 + (v1 - v0) * (s - from) / std::max(1, to - from));
        cc(track, to, number, v1);
    }
};

int steps(int bar)
{
    return bar * 16;
}

// ---- phrases written as text ------------------------------------------------
// "E5.2 r.2 F#4!.4 G2~.1": note name and octave (C4 = 60) or r for a rest,
// '!' an accent, '~' a slide into the next note, then the length in
// sixteenths. '|' marks bars for the reader and is skipped.

struct cPhraseNote {
    int note = -1;       // MIDI note, -1 rest
    int length = 1;      // sixteenths
    bool accent = false;
    bool slide = false;
};

std::vector<cPhraseNote> parse_phrase(const char* text)
{
    static const int PITCH[7] = {9, 11, 0, 2, 4, 5, 7};  // A..G
    std::vector<cPhraseNote> out;
    const char* p = text;
    while (*p) {
        if (std::isspace(static_cast<unsigned char>(*p)) || *p == '|') {
            ++p;
            continue;
        }
        cPhraseNote n;
        if (*p == 'r') {
            ++p;
        } else {
            int pc = PITCH[*p++ - 'A'];
            if (*p == '#')
                ++pc, ++p;
            else if (*p == 'b')
                --pc, ++p;
            n.note = (std::strtol(p, const_cast<char**>(&p), 10) + 1) * 12 + pc;
        }
        for (; *p == '!' || *p == '~'; ++p)
            (*p == '!' ? n.accent : n.slide) = true;
        if (*p == '.')
            n.length = static_cast<int>(std::strtol(p + 1, const_cast<char**>(&p), 10));
        out.push_back(n);
    }
    return out;
}

int phrase_length(const std::vector<cPhraseNote>& phrase)
{
    int total = 0;
    for (const cPhraseNote& n : phrase)
        total += n.length;
    return total;
}

// Repeats the phrase over [from_bar, to_bar); slides overlap the next note.
void play_phrase(cWriter& w, int track, int from_bar, int to_bar, const char* text, int velocity, float gate = 0.9f)
{
    const std::vector<cPhraseNote> phrase = parse_phrase(text);
    const int total = phrase_length(phrase);
    for (int start = steps(from_bar); start < steps(to_bar); start += total) {
        int step = start;
        for (const cPhraseNote& n : phrase) {
            if (step >= steps(to_bar))
                break;
            if (n.note >= 0) {
                const uint32_t length = n.slide ? n.length * STEP + STEP / 4
                                                : static_cast<uint32_t>(n.length * STEP * gate);
                w.note_ticks(track, static_cast<uint32_t>(step) * STEP, length, n.note, n.accent ? 124 : velocity);
            }
            step += n.length;
        }
    }
}

// ---- harmony ----------------------------------------------------------------

struct cChord {
    int pad[5];     // voicing of the pad (octaves 2-4)
    int tones[6];   // arpeggio tones (octaves 4-5)
};

// E minor: Em9, Cmaj7, Am9, Bsus4, two bars each.
const cChord CHORDS[4] = {
    {{52, 55, 59, 62, 66}, {64, 67, 71, 74, 78, 71}},
    {{48, 52, 55, 59, 64}, {60, 64, 67, 71, 76, 67}},
    {{45, 48, 52, 55, 59}, {57, 60, 64, 67, 71, 64}},
    {{47, 52, 54, 57, 59}, {59, 64, 66, 69, 71, 66}},
};
// The cave's darker alternation: Em and F.
const cChord DARK[2] = {
    {{40, 47, 52, 55, 59}, {64, 67, 71, 76, 79, 71}},
    {{41, 48, 53, 57, 60}, {65, 69, 72, 77, 81, 72}},
};

const cChord& chord_at(int bar)
{
    return CHORDS[(bar / 2) % 4];
}

// ---- parts ------------------------------------------------------------------

void kick(cWriter& w, int from, int to)
{
    for (int s = steps(from); s < steps(to); s += 4)
        w.note(TRACK_KICK, s, 1, 36, 120);
}

// Claps on two and four, and a late extra clap closing every eighth bar.
void clap(cWriter& w, int from, int to)
{
    for (int bar = from; bar < to; ++bar) {
        w.note(TRACK_CLAP, steps(bar) + 4, 1, 39, 110);
        w.note(TRACK_CLAP, steps(bar) + 12, 1, 39, 110);
        if (bar % 8 == 7)
            w.note(TRACK_CLAP, steps(bar) + 15, 1, 39, 85);
    }
}

// Three sixteenths between the kicks; every fourth bar ends on a turn.
void bass(cWriter& w, int from, int to)
{
    static const int VELOCITY[3] = {92, 104, 116};
    static const int TURN[3] = {40, 38, 35};
    for (int bar = from; bar < to; ++bar)
        for (int beat = 0; beat < 4; ++beat)
            for (int i = 0; i < 3; ++i) {
                const bool turn = bar % 4 == 3 && beat == 3;
                w.note(TRACK_BASS, steps(bar) + beat * 4 + 1 + i, 1, turn ? TURN[i] : 28, VELOCITY[i]);
            }
}

void hats(cWriter& w, int from, int to, bool sixteenths)
{
    static const int VELOCITY[4] = {50, 40, 95, 45};
    for (int s = steps(from); s < steps(to); ++s)
        if (sixteenths || s % 4 == 2)
            w.note(TRACK_HAT_CLOSED, s, 1, 42, VELOCITY[s % 4]);
}

void open_hats(cWriter& w, int from, int to)
{
    for (int s = steps(from) + 2; s < steps(to); s += 4)
        w.note(TRACK_HAT_OPEN, s, 2, 46, 90);
}

void ride(cWriter& w, int from, int to)
{
    for (int s = steps(from); s < steps(to); s += 2)
        w.note(TRACK_RIDE, s, 2, 51, s % 4 ? 70 : 95);
}

void crash(cWriter& w, int bar)
{
    w.note(TRACK_CRASH, steps(bar), 8, 49, 110);
}

// Eighths, then sixteenths, then thirty-seconds, growing louder.
void snare_roll(cWriter& w, int from, int to)
{
    const uint32_t begin = steps(from) * STEP, end = steps(to) * STEP, span = end - begin;
    for (uint32_t t = begin; t < end;) {
        const uint32_t rel = t - begin;
        const int velocity = 45 + static_cast<int>(75 * rel / span);
        w.note_ticks(TRACK_SNARE, t, STEP / 2, 38, velocity);
        t += rel < span / 2 ? 2 * STEP : (end - t > BAR ? STEP : STEP / 2);
    }
}

void riser(cWriter& w, int from, int to)
{
    w.note(TRACK_RISER, steps(from), steps(to - from), 60, 100);
}

void pad(cWriter& w, int from, int to, bool dark)
{
    for (int bar = from; bar < to; bar += 2) {
        const cChord& c = dark ? DARK[(bar / 2) % 2] : chord_at(bar);
        const int length = steps(std::min(2, to - bar));
        for (int n : c.pad)
            w.note(TRACK_PAD, steps(bar), length, n, 72);
    }
}

// Dotted rhythm (3-3-2) through the chord's tones.
void plucks(cWriter& w, int from, int to, int velocity)
{
    static const int RHYTHM[6] = {0, 3, 6, 8, 11, 14};
    for (int bar = from; bar < to; ++bar)
        for (int i = 0; i < 6; ++i)
            w.note(TRACK_PLUCK, steps(bar) + RHYTHM[i], 2, chord_at(bar).tones[(i + bar) % 6], velocity - (i % 3) * 8);
}

void arp(cWriter& w, int from, int to, int velocity)
{
    static const int ORDER[8] = {0, 1, 2, 3, 4, 3, 2, 1};
    for (int s = steps(from); s < steps(to); ++s)
        w.note(TRACK_ARP, s, 1, chord_at(s / 16).tones[ORDER[s % 8]] + 12, s % 2 ? velocity - 20 : velocity);
}

const char* const ACID_LINE =
    "E2.1 E2.1 E3!.1 E2.1 r.1 G2.1 E2~.1 F2.1 | E2.1 B2.1 E2.1 D3!.1 E2.1 r.1 F2.1 G2~.1 |"
    "E2.1 E2.1 E3!.1 E2.1 A2.1 E2.1 G2~.1 E2.1 | E2.1 Bb2!.1 A2.1 E2.1 G2~.1 F2.1 E2.1 E3!.1";

// The acid line with its cutoff swinging over eight bars and a fixed resonance.
void acid(cWriter& w, int from, int to, int low, int high, int resonance)
{
    play_phrase(w, TRACK_ACID, from, to, ACID_LINE, 96, 0.7f);
    w.cc(TRACK_ACID, steps(from), CC_RESONANCE, resonance);
    for (int s = steps(from); s < steps(to); s += 2) {
        const double phase = (s - steps(from)) / 128.0;  // 8 bars per swing
        const double shape = 0.5 - 0.5 * std::cos(2.0 * 3.14159265358979 * phase);
        w.cc(TRACK_ACID, s, CC_CUTOFF, low + static_cast<int>(std::lround((high - low) * shape)));
    }
}

const char* const LEAD_RIFF =
    "E5.2 B4.2 E5.2 G5.2 F#5.2 E5.2 D5.2 B4.2 | C5.4 D5.2 E5.2 B4.8 |"
    "E5.2 B4.2 E5.2 A5.2 G5.2 F#5.2 E5.2 D5.2 | E5.6 D5.2 B4.4 G4.2 A4.2";
const char* const LEAD_MELODY =
    "B4.6 C5.2 B4.4 A4.4 | G4.6 A4.2 B4.8 | E5.6 D5.2 C5.4 B4.4 | A4.8 B4.6 r.2";
// The finale opens every second bar on the low C that the attractor follows.
const char* const LEAD_FINALE = "C3.3 E4.1 E4.2 G4.2 B4.4 A4.2 G4.2 | G4.6 E4.2 D4.4 B3.4";
const char* const SINE_MELODY = "E5.8 D5~.4 B4.4 | G4.12 A4~.4 | B4.8 D5~.8 | E5.12 r.4";

void rumble(cWriter& w, int from, int to)
{
    for (int bar = from; bar < to; bar += 4)
        w.note(TRACK_RUMBLE, steps(bar), steps(std::min(4, to - bar)), 28, 96);
}

void toms(cWriter& w, int from, int to)
{
    static const int STEPS[3] = {6, 10, 14};
    static const int NOTES[3] = {50, 47, 43};
    for (int bar = from; bar < to; ++bar)
        for (int i = 0; i < 3; ++i)
            w.note(TRACK_TOMS, steps(bar) + STEPS[i], 1, NOTES[i], 100 + 8 * i);
}

// Once a bar on three; twice (also on one) in the middle of the finale.
void zaps(cWriter& w, int from, int to, int double_from, int double_to)
{
    for (int bar = from; bar < to; ++bar) {
        if (bar >= double_from && bar < double_to)
            w.note(TRACK_ZAP, steps(bar), 1, 84, 100);
        w.note(TRACK_ZAP, steps(bar) + 8, 1, 88, 110);
    }
}

void bwab(cWriter& w, int bar)
{
    w.note(TRACK_BWAB, steps(bar), 4, 40, 120);
    w.note(TRACK_BWAB, steps(bar) + 10, 4, 43, 110);
}

void techfx(cWriter& w, int bar)
{
    w.note(TRACK_TECHFX, steps(bar), 8, 76, 110);
}

// ---- the arrangement --------------------------------------------------------

void intro(cWriter& w)
{
    pad(w, 0, 20, false);
    plucks(w, 0, 16, 100);
    play_phrase(w, TRACK_SINE, 8, 16, SINE_MELODY, 96, 1.0f);
    hats(w, 8, 16, false);
    riser(w, 12, 16);
}

void build_up(cWriter& w)
{
    kick(w, 16, 22);
    bass(w, 16, 22);
    w.cc_ramp(TRACK_BASS, CC_CUTOFF, steps(16), steps(22), 20, 64);
    clap(w, 16, 22);
    hats(w, 16, 22, true);
    snare_roll(w, 20, 22);
    riser(w, 18, 22);
    crash(w, 16);
}

void first_drop(cWriter& w)
{
    kick(w, 22, 48);
    bass(w, 22, 48);
    clap(w, 22, 48);
    hats(w, 22, 48, true);
    open_hats(w, 22, 48);
    acid(w, 22, 32, 40, 80, 70);
    bwab(w, 22);
    crash(w, 22);
    // The fountain: arpeggio and effect sweep.
    arp(w, 28, 48, 84);
    techfx(w, 28);
    crash(w, 28);
    // The tunnel: the lead takes over.
    play_phrase(w, TRACK_LEAD, 32, 48, LEAD_RIFF, 100);
    crash(w, 32);
    crash(w, 40);
    bwab(w, 40);
    snare_roll(w, 46, 48);
}

void cave(cWriter& w)
{
    kick(w, 48, 64);
    bass(w, 48, 64);
    clap(w, 48, 64);
    hats(w, 48, 64, true);
    open_hats(w, 56, 64);
    acid(w, 48, 64, 30, 95, 108);
    rumble(w, 48, 64);
    pad(w, 48, 64, true);
    techfx(w, 56);
    crash(w, 48);
    crash(w, 56);
}

void interlude(cWriter& w)
{
    pad(w, 64, 68, false);
    play_phrase(w, TRACK_SINE, 64, 68, SINE_MELODY, 96, 1.0f);
    plucks(w, 64, 68, 90);
    riser(w, 64, 68);
    snare_roll(w, 66, 68);
}

void sphere_and_rose(cWriter& w)
{
    kick(w, 68, 101);
    bass(w, 68, 101);
    clap(w, 68, 102);
    hats(w, 68, 102, true);
    open_hats(w, 68, 102);
    play_phrase(w, TRACK_LEAD, 68, 84, LEAD_MELODY, 100, 0.95f);
    arp(w, 68, 76, 80);
    ride(w, 76, 84);
    acid(w, 76, 92, 45, 110, 90);
    crash(w, 68);
    crash(w, 76);
    // Kaleidoscope and roses.
    plucks(w, 84, 92, 96);
    crash(w, 84);
    play_phrase(w, TRACK_LEAD, 92, 100, LEAD_RIFF, 104);
    arp(w, 92, 100, 84);
    ride(w, 92, 100);
    snare_roll(w, 100, 102);
    riser(w, 98, 102);
    crash(w, 92);
}

void breakdown(cWriter& w)
{
    crash(w, 102);
    pad(w, 102, 117, false);
    play_phrase(w, TRACK_SINE, 102, 110, SINE_MELODY, 100, 1.0f);
    plucks(w, 102, 110, 92);
    arp(w, 106, 110, 60);
    // Greetings: the groove builds back.
    kick(w, 110, 116);
    bass(w, 110, 116);
    w.cc_ramp(TRACK_BASS, CC_CUTOFF, steps(110), steps(116), 24, 64);
    clap(w, 110, 116);
    hats(w, 110, 116, true);
    snare_roll(w, 113, 117);
    riser(w, 111, 117);
}

void finale(cWriter& w)
{
    const int end = FINALE_END_BAR;
    kick(w, FINALE_BAR, end);
    bass(w, FINALE_BAR, end);
    clap(w, FINALE_BAR, end);
    hats(w, FINALE_BAR, end, true);
    open_hats(w, FINALE_BAR, end);
    ride(w, FINALE_BAR, end);
    play_phrase(w, TRACK_LEAD, FINALE_BAR, end, LEAD_FINALE, 104);
    toms(w, FINALE_BAR, 135);
    zaps(w, FINALE_BAR, end, 123, 135);
    acid(w, 123, 135, 50, 115, 95);
    arp(w, 129, end, 84);
    for (int bar : {FINALE_BAR, 123, 129, 135})
        crash(w, bar);
    // The closing hit rings out into the show's last second.
    const int last = steps(end);
    w.note(TRACK_KICK, last, 1, 36, 127);
    w.note(TRACK_CRASH, last, 8, 49, 120);
    w.note(TRACK_BASS, last, 6, 28, 120);
    w.note(TRACK_LEAD, last, 8, 48, 110);
    for (int n : {52, 59, 64, 67})
        w.note(TRACK_PAD, last, 12, n, 80);
}

// ---- instruments ------------------------------------------------------------

cSynthSetup instruments()
{
    cSynthSetup s;
    s.instruments.resize(TRACK_COUNT);
    auto set = [&](int track, const cPatch& patch, const cTrackMix& mix) { s.instruments[track] = {patch, mix}; };
    cPatch p;

    p = {};
    p.unison = 7, p.detune_cents = 22, p.width = 0.9f, p.osc2_level = 0.25f, p.osc2_semitones = 12;
    p.attack = 0.004f, p.decay = 0.25f, p.sustain = 0.75f, p.release = 0.12f;
    p.cutoff_hz = 2600, p.key_track = 0.5f, p.filter_env_oct = 1.2f, p.filter_decay = 0.18f, p.resonance = 0.15f;
    set(TRACK_LEAD, p, {-14.0f, 0.0f, 0.25f, 0.3f, 0.45f});

    p = {};
    p.unison = 2, p.detune_cents = 8, p.width = 0.6f;
    p.attack = 0.001f, p.decay = 0.22f, p.sustain = 0.0f, p.release = 0.15f;
    p.cutoff_hz = 450, p.key_track = 0.6f, p.filter_env_oct = 3.5f, p.filter_decay = 0.1f, p.resonance = 0.3f;
    set(TRACK_PLUCK, p, {-13.0f, -0.2f, 0.45f, 0.35f, 0.3f});

    p = {};
    p.voice = eVoice::KICK, p.tone_hz = 47, p.pitch_env = 36, p.pitch_decay = 0.022f, p.decay = 0.12f;
    p.noise_level = 0.35f, p.cutoff_hz = 3500, p.drive = 0.35f;
    set(TRACK_KICK, p, {-4.0f, 0.0f, 0.0f, 0.0f, 0.0f});

    p = {};
    p.voice = eVoice::CLAP, p.cutoff_hz = 1250, p.resonance = 0.3f, p.decay = 0.09f;
    set(TRACK_CLAP, p, {-7.0f, 0.05f, 0.0f, 0.25f, 0.0f});

    p = {};
    p.wave = eWave::SAW, p.sub_level = 0.3f;
    p.attack = 0.001f, p.decay = 0.06f, p.sustain = 0.55f, p.release = 0.015f;
    p.cutoff_hz = 420, p.filter_env_oct = 2.6f, p.filter_decay = 0.045f, p.resonance = 0.25f, p.drive = 0.2f;
    set(TRACK_BASS, p, {-5.0f, 0.0f, 0.0f, 0.0f, 0.35f});

    p = {};
    p.voice = eVoice::HAT, p.tone_hz = 410, p.noise_level = 0.45f, p.cutoff_hz = 7800, p.decay = 0.03f;
    set(TRACK_HAT_CLOSED, p, {-7.0f, 0.25f, 0.0f, 0.05f, 0.0f});
    p.decay = 0.16f, p.cutoff_hz = 7000;
    set(TRACK_HAT_OPEN, p, {-11.0f, -0.25f, 0.0f, 0.1f, 0.25f});

    p = {};
    p.wave = eWave::SAW, p.attack = 0.001f, p.decay = 0.2f, p.sustain = 0.8f, p.release = 0.04f;
    p.cutoff_hz = 380, p.resonance = 0.78f, p.filter_env_oct = 2.8f, p.filter_decay = 0.11f, p.accent = 1.5f;
    p.glide = 0.035f, p.drive = 0.55f;
    set(TRACK_ACID, p, {-13.0f, 0.1f, 0.22f, 0.15f, 0.3f});

    p = {};
    p.unison = 3, p.detune_cents = 14, p.width = 0.85f, p.osc2_level = 0.2f, p.osc2_semitones = 7;
    p.attack = 1.2f, p.decay = 2.0f, p.sustain = 0.8f, p.release = 0.5f;
    p.cutoff_hz = 1500, p.resonance = 0.1f;
    set(TRACK_PAD, p, {-21.0f, 0.0f, 0.1f, 0.55f, 0.5f});

    p = {};
    p.voice = eVoice::TOM, p.pitch_env = 12, p.pitch_decay = 0.04f, p.decay = 0.16f;
    p.noise_level = 0.2f, p.cutoff_hz = 2500;
    set(TRACK_TOMS, p, {-10.0f, -0.3f, 0.1f, 0.25f, 0.2f});

    p = {};
    p.voice = eVoice::SNARE, p.tone_hz = 190, p.pitch_env = 5, p.pitch_decay = 0.03f, p.decay = 0.1f;
    p.noise_level = 0.7f, p.cutoff_hz = 3200, p.resonance = 0.1f;
    set(TRACK_SNARE, p, {-15.0f, 0.0f, 0.0f, 0.3f, 0.0f});

    p = {};
    p.wave = eWave::NOISE, p.filter = eFilter::BANDPASS, p.cutoff_hz = 250, p.sweep_oct = 5.2f, p.resonance = 0.55f;
    p.attack = 4.0f, p.decay = 10.0f, p.sustain = 1.0f, p.release = 0.35f;
    set(TRACK_RISER, p, {-17.0f, 0.0f, 0.3f, 0.4f, 0.0f});

    p = {};
    p.wave = eWave::SINE, p.noise_level = 0.6f, p.cutoff_hz = 140, p.resonance = 0.3f;
    p.attack = 0.8f, p.decay = 1.0f, p.sustain = 1.0f, p.release = 0.8f, p.vibrato_hz = 0.3f, p.vibrato_cents = 30;
    set(TRACK_RUMBLE, p, {-17.0f, 0.0f, 0.0f, 0.2f, 0.7f});

    p = {};
    p.wave = eWave::SQUARE, p.attack = 0.001f, p.decay = 0.09f, p.sustain = 0.0f, p.release = 0.06f;
    p.cutoff_hz = 2200, p.key_track = 0.5f, p.filter_env_oct = 1.0f, p.filter_decay = 0.05f;
    set(TRACK_ARP, p, {-22.0f, 0.35f, 0.4f, 0.2f, 0.4f});

    p = {};
    p.wave = eWave::SINE, p.osc2_level = 0.15f, p.wave2 = eWave::TRIANGLE, p.osc2_semitones = 12;
    p.attack = 0.04f, p.decay = 1.0f, p.sustain = 1.0f, p.release = 0.35f;
    p.glide = 0.07f, p.vibrato_hz = 5.5f, p.vibrato_cents = 18, p.filter = eFilter::NONE;
    set(TRACK_SINE, p, {-20.0f, -0.1f, 0.4f, 0.45f, 0.3f});

    p = {};
    p.voice = eVoice::CYMBAL, p.tone_hz = 520, p.noise_level = 0.3f, p.cutoff_hz = 6000, p.decay = 0.35f;
    set(TRACK_RIDE, p, {-16.0f, -0.35f, 0.0f, 0.1f, 0.3f});
    p.tone_hz = 340, p.noise_level = 0.7f, p.cutoff_hz = 3500, p.decay = 0.45f;
    set(TRACK_CRASH, p, {-11.0f, 0.2f, 0.0f, 0.3f, 0.0f});

    p = {};
    p.wave = eWave::SQUARE, p.pitch_env = 30, p.pitch_decay = 0.05f;
    p.attack = 0.001f, p.decay = 0.12f, p.sustain = 0.0f, p.release = 0.05f;
    p.cutoff_hz = 3500, p.resonance = 0.5f;
    set(TRACK_ZAP, p, {-19.0f, 0.4f, 0.45f, 0.2f, 0.0f});

    p = {};
    p.unison = 3, p.detune_cents = 10, p.width = 0.5f;
    p.attack = 0.002f, p.decay = 0.35f, p.sustain = 0.3f, p.release = 0.2f;
    p.cutoff_hz = 220, p.resonance = 0.7f, p.filter_env_oct = 4.0f, p.filter_decay = 0.22f, p.pitch_env = 5, p.pitch_decay = 0.12f;
    p.drive = 0.4f;
    set(TRACK_BWAB, p, {-12.0f, 0.0f, 0.35f, 0.3f, 0.0f});

    p = {};
    p.wave = eWave::SQUARE, p.noise_level = 0.2f, p.pitch_env = -24, p.pitch_decay = 0.4f;
    p.attack = 0.005f, p.decay = 0.6f, p.sustain = 0.0f, p.release = 0.3f;
    p.filter = eFilter::BANDPASS, p.cutoff_hz = 3000, p.sweep_oct = -3.0f, p.resonance = 0.75f;
    set(TRACK_TECHFX, p, {-15.0f, -0.3f, 0.6f, 0.4f, 0.0f});

    s.sidechain_track = TRACK_KICK;
    s.delay_beats = 0.75f;
    s.delay_feedback = 0.42f;
    s.reverb_room = 0.84f;
    s.master_gain_db = 3.5f;
    s.ceiling_db = -2.0f;
    return s;
}

const char* const TRACK_NAMES[TRACK_COUNT] = {
    "Quorvane - goa3", "Supersaw Lead", "Pluck", "Kick", "Clap", "Rolling Bass", "Closed Hat",
    "Open Hat", "Acid 303", "Pad", "Toms", "Snare", "Riser", "Rumble", "Arp", "Sine Lead",
    "Ride", "Crash", "FX Zap", "Bwab", "Techno FX",
};

// A named marker sits on the first note of its track at or after a bar.
struct cNamedCue {
    const char* token;
    int track;
    int from_bar;
};

const cNamedCue CUES[] = {
    {"fadein", TRACK_PAD, 0},        {"sinus_in", TRACK_SINE, 8},     {"hihatc", TRACK_HAT_CLOSED, 8},
    {"beat", TRACK_KICK, 16},        {"snare", TRACK_SNARE, 20},      {"hihato", TRACK_HAT_OPEN, 22},
    {"bwab1", TRACK_BWAB, 22},       {"technofx", TRACK_TECHFX, 28},  {"lead", TRACK_LEAD, 32},
    {"bwab2", TRACK_BWAB, 40},       {"rumble", TRACK_RUMBLE, 48},    {"technofx2", TRACK_TECHFX, 56},
    {"melody", TRACK_LEAD, 68},
};

bool setup_is_drum(const cPatch& patch)
{
    return patch.voice != eVoice::TONE;
}

uint32_t first_note(const cMidiSong& song, int track, uint32_t from_tick)
{
    for (const cMidiEvent& e : song.tracks[track].events)
        if ((e.status & 0xF0) == 0x90 && e.data2 > 0 && e.tick >= from_tick)
            return e.tick;
    return from_tick;
}

std::vector<cMarker> markers_of(const cMidiSong& song)
{
    std::vector<cMarker> markers;
    const auto& sections = piece_sections();
    for (size_t i = 0; i < sections.size(); ++i) {
        char token[24];
        std::snprintf(token, sizeof token, "s%02zu", i);
        markers.push_back({token, tick_ms(song, sections[i].bar * BAR)});
    }
    for (const cNamedCue& cue : CUES)
        markers.push_back({cue.token, tick_ms(song, first_note(song, cue.track, cue.from_bar * BAR))});
    // The last layer of the show ends at 233000 ms.
    markers.push_back({"quit", 233500});
    std::stable_sort(markers.begin(), markers.end(), [](const cMarker& a, const cMarker& b) { return a.ms < b.ms; });
    return markers;
}

}  // namespace

int32_t tick_ms(const cMidiSong& song, uint32_t tick)
{
    return static_cast<int32_t>(tick * song.seconds_per_tick() * 1000.0);
}

const std::vector<cSection>& piece_sections()
{
    static const std::vector<cSection> SECTIONS = {
        {0, "intro, attractor", "pad swells in, dotted plucks"},
        {8, "title rises", "sine lead melody, offbeat closed hats, riser from bar 12"},
        {16, "build-up, flower field", "kick, rolling bass opening its filter, claps, sixteenth hats, snare roll"},
        {22, "first drop, mandala", "full groove, open hats, acid line, bwab"},
        {28, "fountain", "arpeggio and techno sweep join the groove"},
        {32, "cube tunnel", "supersaw lead riff over the groove"},
        {40, "cube tunnel, second half", "lead riff, bwab, snare fill into the cave"},
        {48, "mushroom cave", "dark Em/F pads, rumble, resonant acid"},
        {56, "mushroom cave, deeper", "open hats and techno sweep join"},
        {64, "interlude", "no drums: pad, sine melody, plucks, riser and snare roll"},
        {68, "net sphere and statue", "groove returns, lead melody, arpeggio"},
        {76, "statue, second half", "lead melody, ride, acid line"},
        {84, "kaleidoscope tunnel and rose", "groove, acid, dotted plucks"},
        {92, "second rose, 3D kaleidoscope", "lead riff, arpeggio, ride; riser and snare roll into the break"},
        {102, "flower field", "breakdown: pads, sine melody, plucks"},
        {110, "greetings", "groove rebuilds: kick, filtered bass, claps, snare roll, riser"},
        {FINALE_BAR, "finale: spike ball, ring of attractors", "full groove, lead on low C every two bars, toms, zaps"},
        {123, "finale, acid", "acid line joins, zaps twice a bar"},
        {129, "finale, arpeggio", "arpeggio joins"},
        {135, "finale, last phrase", "toms and acid leave"},
        {FINALE_END_BAR, "closing hit", "kick, crash, bass and low C ring out"},
        {PIECE_BARS, "end", "silence"},
    };
    return SECTIONS;
}

cPiece compose_piece()
{
    cPiece piece;
    cMidiSong& song = piece.song;
    song.division = DIVISION;
    song.tempo_us = TEMPO_US;
    song.tracks.resize(TRACK_COUNT);
    piece.setup = instruments();
    // Drums share the General MIDI percussion channel (9), so a plain MIDI
    // player previews the twin sensibly; the rest take the other channels.
    int channel = 0;
    for (int i = 0; i < TRACK_COUNT; ++i) {
        song.tracks[i].name = TRACK_NAMES[i];
        const bool drum = setup_is_drum(piece.setup.instruments[i].patch);
        song.tracks[i].channel = static_cast<uint8_t>(drum ? 9 : channel);
        if (!drum && ++channel == 9)
            ++channel;
        channel %= 16;
    }
    cWriter w{song};
    intro(w);
    build_up(w);
    first_drop(w);
    cave(w);
    interlude(w);
    sphere_and_rose(w);
    breakdown(w);
    finale(w);
    sort_events(song);
    piece.markers = markers_of(song);
    return piece;
}
