#pragma once
// The synthesiser: renders a cMidiSong into a stereo master, one instrument
// per track. Every sound starts at a note-on of the song (nothing is added
// behind the MIDI data's back); controller 74 moves a track's filter cutoff
// and controller 71 its resonance. Instruments are plain parameter records,
// so the synthesiser knows nothing of any particular piece. A render lives
// only as long as the buffers it returns.
#include <vector>

#include "midi_writer.h"
#include "synth_dsp.h"

inline constexpr int CC_CUTOFF = 74;     // 64 = patch cutoff; each step of 16 moves it one octave
inline constexpr int CC_RESONANCE = 71;  // 64 = patch resonance; 0 removes 0.5, 127 adds 0.5

enum class eVoice { TONE, KICK, SNARE, CLAP, HAT, TOM, CYMBAL };

struct cPatch {
    eVoice voice = eVoice::TONE;   // synthesis method
    eWave wave = eWave::SAW;       // main oscillator
    int unison = 1;                // main oscillators per note (stacked, detuned)
    float detune_cents = 0.0f;     // spread of the unison stack, outermost to centre
    float width = 0.0f;            // stereo spread of the unison stack, 0-1
    eWave wave2 = eWave::SAW;      // second oscillator
    float osc2_level = 0.0f;       // 0-1
    float osc2_semitones = 0.0f;   // interval above the note
    float sub_level = 0.0f;        // sine one octave below, 0-1
    float noise_level = 0.0f;      // 0-1
    float attack = 0.002f;         // amplitude envelope (s)
    float decay = 0.3f;            // s, time constant
    float sustain = 1.0f;          // 0-1
    float release = 0.08f;         // s, time constant
    eFilter filter = eFilter::LOWPASS;
    float cutoff_hz = 18000.0f;    // base cutoff
    float resonance = 0.0f;        // 0-1
    float key_track = 0.0f;        // 0-1: share of the note's pitch the cutoff follows (from C4)
    float filter_env_oct = 0.0f;   // octaves the filter envelope opens at full velocity
    float filter_decay = 0.15f;    // s, time constant of the filter envelope
    float sweep_oct = 0.0f;        // octaves the cutoff travels over the note's length (risers)
    float pitch_env = 0.0f;        // semitones above the note at the onset, falling away
    float pitch_decay = 0.05f;     // s, time constant of the pitch fall
    float glide = 0.0f;            // s; overlapping notes slide instead of retriggering
    float vibrato_hz = 0.0f;       // vibrato rate
    float vibrato_cents = 0.0f;    // vibrato depth
    float accent = 0.0f;           // extra filter octaves for velocities above 100
    float drive = 0.0f;            // tanh saturation, 0 = clean
    float tone_hz = 0.0f;          // drums: body frequency (the note only tunes toned drums when 0)
    float gain = 1.0f;             // output level
};

// Where a track sits in the mix.
struct cTrackMix {
    float gain_db = 0.0f;     // level
    float pan = 0.0f;         // -1 left to 1 right
    float delay_send = 0.0f;  // 0-1
    float reverb_send = 0.0f; // 0-1
    float duck = 0.0f;        // 0-1: dip under the sidechain track's notes
};

struct cInstrument {
    cPatch patch;   // sound
    cTrackMix mix;  // placement
};

struct cSynthSetup {
    std::vector<cInstrument> instruments;  // one per song track (song.tracks[i])
    int sidechain_track = -1;              // song track whose note-ons duck others; -1: none
    float delay_beats = 0.75f;             // echo spacing (quarter notes)
    float delay_feedback = 0.4f;           // 0-1
    float reverb_room = 0.84f;             // 0-1
    float master_gain_db = 0.0f;           // before the limiter
    float ceiling_db = -1.0f;              // limiter ceiling (dBFS)
};

struct cRenderOptions {
    int solo = -1;            // song track rendered alone (no limiter); -1 = all
    double seconds = 0.0;     // length of the render; 0 = the whole song and its tail
    double tail = 4.0;        // s rendered after the last note-off
};

struct cStereo {
    std::vector<float> left;   // samples at SAMPLE_RATE, nominal range -1..1
    std::vector<float> right;
};

cStereo render_song(const cMidiSong& song, const cSynthSetup& setup, const cRenderOptions& options);

// Sample index of a tick, rounded: the same conversion for notes and controllers.
long tick_to_sample(const cMidiSong& song, uint32_t tick);
