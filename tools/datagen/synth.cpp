#include "synth.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <utility>

#if defined(__SSE__)
#include <xmmintrin.h>
#endif

namespace {

constexpr double TWO_PI = 6.28318530717958647692;
constexpr int CONTROL_BLOCK = 16;  // samples between filter coefficient updates

// One sounding note, or a legato chain of notes for gliding patches.
struct cVoiceNote {
    long start = 0;                               // sample of the note-on
    long end = 0;                                 // sample of the (last) note-off
    float note = 60.0f;                           // MIDI note of the note-on
    int velocity = 100;                           // 1-127
    std::vector<std::pair<long, float>> slides;   // later notes of a legato chain: (sample, note)
};

// Controller values of one track over time, held between moves.
struct cControlLane {
    std::vector<std::pair<long, int>> points;  // (sample, value), ascending

    int value_at(long sample) const
    {
        auto it = std::upper_bound(points.begin(), points.end(), std::make_pair(sample, 1000));
        return it == points.begin() ? 64 : std::prev(it)->second;
    }
};

struct cTrackControls {
    cControlLane cutoff;     // CC_CUTOFF
    cControlLane resonance;  // CC_RESONANCE
};

struct cBuffer {
    std::vector<float> left;
    std::vector<float> right;
    long first = 0;  // touched range [first, last)
    long last = 0;
};

std::vector<cVoiceNote> collect_notes(const cMidiSong& song, const cMidiTrackData& track, const cPatch& patch)
{
    std::vector<cVoiceNote> notes;
    std::map<int, std::vector<size_t>> open;  // note number -> indices of sounding notes
    for (const cMidiEvent& e : track.events) {
        const int kind = e.status & 0xF0;
        const long at = tick_to_sample(song, e.tick);
        if (kind == 0x90 && e.data2 > 0) {
            open[e.data1].push_back(notes.size());
            notes.push_back({at, at, static_cast<float>(e.data1), e.data2, {}});
        } else if ((kind == 0x80 || kind == 0x90) && !open[e.data1].empty()) {
            notes[open[e.data1].front()].end = at;
            open[e.data1].erase(open[e.data1].begin());
        }
    }
    if (patch.glide <= 0.0f)
        return notes;
    std::vector<cVoiceNote> chains;
    for (const cVoiceNote& n : notes) {
        if (!chains.empty() && n.start < chains.back().end) {
            chains.back().slides.push_back({n.start, n.note});
            chains.back().end = n.end;
        } else {
            chains.push_back(n);
        }
    }
    return chains;
}

cTrackControls collect_controls(const cMidiSong& song, const cMidiTrackData& track)
{
    cTrackControls c;
    for (const cMidiEvent& e : track.events) {
        if ((e.status & 0xF0) != 0xB0)
            continue;
        const long at = tick_to_sample(song, e.tick);
        if (e.data1 == CC_CUTOFF)
            c.cutoff.points.push_back({at, e.data2});
        else if (e.data1 == CC_RESONANCE)
            c.resonance.points.push_back({at, e.data2});
    }
    return c;
}

void touch(cBuffer& out, long from, long to)
{
    if (out.first == out.last) {
        out.first = from;
        out.last = to;
    }
    out.first = std::min(out.first, from);
    out.last = std::max(out.last, to);
}

// The running state of one subtractive voice: unison oscillators, second
// oscillator, sub, noise, filter and envelopes. Lives for one note.
struct cToneVoice {
    const cVoiceNote& n;       // the note (or legato chain)
    const cPatch& p;           // its sound
    const cTrackControls& cc;  // the track's controller moves
    cNoise noise;              // per-voice noise and start phases
    int unison = 1;            // stacked main oscillators
    cOscillator osc[16], osc2, sub;
    float spread[16], pan_l[16], pan_r[16];  // per stacked oscillator: pitch ratio, channel gains
    float unison_norm = 1.0f;  // keeps stacks of any size at one level
    cEnvelope amp;             // amplitude
    float filter_coef, pitch_coef, glide_coef;  // per-sample factors of the envelopes and glide
    float velocity, accent;    // 0-1, extra filter octaves
    float drive_k, drive_norm; // saturation input gain and its make-up
    double osc2_ratio;         // frequency ratio of the second oscillator
    cSvf filter_l, filter_r;
    float fenv = 1.0f, penv = 1.0f;  // filter and pitch envelopes, 1 falling to 0
    float pitch, target;             // current and slide target (MIDI note)
    size_t next_slide = 0;           // index into n.slides
    double vib_phase = 0.0;          // vibrato cycles
    double inc = 0.0;                // oscillator increment (cycles per sample)

    cToneVoice(const cVoiceNote& note, const cPatch& patch, const cTrackControls& controls, uint32_t seed)
        : n(note), p(patch), cc(controls), noise(seed), unison(std::clamp(patch.unison, 1, 16)),
          amp(patch.attack, patch.decay, patch.sustain, patch.release),
          filter_coef(decay_factor(patch.filter_decay)), pitch_coef(decay_factor(patch.pitch_decay)),
          glide_coef(patch.glide > 0.0f ? 1.0f - decay_factor(patch.glide) : 1.0f), velocity(note.velocity / 127.0f),
          accent(note.velocity > 100 ? patch.accent * (note.velocity - 100) / 27.0f : 0.0f),
          drive_k(1.0f + 4.0f * patch.drive), drive_norm(1.0f / std::sqrt(drive_k)),
          osc2_ratio(std::exp2(patch.osc2_semitones / 12.0)), pitch(note.note), target(note.note)
    {
        for (int i = 0; i < unison; ++i) {
            const float pos = unison == 1 ? 0.0f : 2.0f * i / (unison - 1) - 1.0f;  // -1..1
            spread[i] = std::pow(2.0f, pos * p.detune_cents / 1200.0f);
            pan_l[i] = 1.0f - std::max(0.0f, pos * p.width);
            pan_r[i] = 1.0f + std::min(0.0f, pos * p.width);
            osc[i].phase = (noise.next() + 1.0f) * 0.5f;  // free-running stacks start apart
        }
        unison_norm = 1.0f / std::sqrt(static_cast<float>(unison));
    }

    // Pitch and filter for the next block; false once the voice has faded out for good.
    bool control(long s)
    {
        if (amp.value < 1e-4f && (amp.stage == 2 || (amp.stage == 1 && p.sustain < 1e-4f)))
            return false;
        const float vib = static_cast<float>(std::sin(TWO_PI * vib_phase)) * p.vibrato_cents / 100.0f;
        vib_phase += p.vibrato_hz / SAMPLE_RATE * CONTROL_BLOCK;
        inc = note_hz(pitch + vib + p.pitch_env * penv) / SAMPLE_RATE;
        const float progress = std::min(1.0f, static_cast<float>(s - n.start) / std::max(1L, n.end - n.start));
        const float oct = p.key_track * (pitch - 60.0f) / 12.0f + (p.filter_env_oct * velocity + accent) * fenv +
                          (cc.cutoff.value_at(s) - 64) / 16.0f + p.sweep_oct * progress;
        filter_l.set(p.cutoff_hz * std::exp2(oct), p.resonance + (cc.resonance.value_at(s) - 64) / 128.0f);
        filter_r.g = filter_l.g;
        filter_r.k = filter_l.k;
        return true;
    }

    // One output sample; false once the voice has faded out for good.
    bool sample(long s, float& l, float& r)
    {
        if (s == n.end)
            amp.gate_off();
        while (next_slide < n.slides.size() && n.slides[next_slide].first <= s)
            target = n.slides[next_slide++].second;
        pitch += (target - pitch) * glide_coef;
        if ((s - n.start) % CONTROL_BLOCK == 0 && !control(s))
            return false;
        fenv *= filter_coef;
        penv *= pitch_coef;
        l = r = 0.0f;
        for (int i = 0; i < unison; ++i) {
            const float v = osc[i].next(p.wave, inc * spread[i], noise);
            l += v * pan_l[i];
            r += v * pan_r[i];
        }
        float common = 0.0f;
        if (p.osc2_level > 0.0f)
            common += p.osc2_level * osc2.next(p.wave2, inc * osc2_ratio, noise);
        if (p.sub_level > 0.0f)
            common += p.sub_level * sub.next(eWave::SINE, inc * 0.5, noise);
        if (p.noise_level > 0.0f)
            common += p.noise_level * noise.next();
        l = l * unison_norm + common;
        r = r * unison_norm + common;
        const float gain = amp.next() * velocity * p.gain;
        l = filter_l.process(l, p.filter);
        r = unison > 1 && p.width > 0.0f ? filter_r.process(r, p.filter) : l;
        if (p.drive > 0.0f) {
            l = soft_clip(l * drive_k) * drive_norm;
            r = soft_clip(r * drive_k) * drive_norm;
        }
        l *= gain;
        r *= gain;
        return true;
    }
};

void render_tone(const cVoiceNote& n, const cPatch& p, const cTrackControls& cc, uint32_t seed, cBuffer& out)
{
    const long stop = std::min(static_cast<long>(out.left.size()), n.end + static_cast<long>(p.release * 6.0f * SAMPLE_RATE) + 1);
    if (n.start >= stop)
        return;
    touch(out, n.start, stop);
    cToneVoice voice(n, p, cc, seed);
    for (long s = n.start; s < stop; ++s) {
        float l, r;
        if (!voice.sample(s, l, r))
            break;
        out.left[s] += l;
        out.right[s] += r;
    }
}

// Metallic cluster of square waves, the body of hats and cymbals. Plain
// (aliasing) squares: their fold-over is just more metal under the highpass.
float metal(float* phases, float base)
{
    static const float RATIOS[6] = {1.0f, 1.4826f, 1.8003f, 2.5459f, 2.6303f, 3.8967f};
    float sum = 0.0f;
    for (int i = 0; i < 6; ++i) {
        phases[i] += base * RATIOS[i] / SAMPLE_RATE;
        phases[i] -= static_cast<int>(phases[i]);
        sum += phases[i] < 0.5f ? 1.0f : -1.0f;
    }
    return sum / 6.0f;
}

// The three quick bursts of hands before a clap's tail.
float clap_envelope(float t, float decay)
{
    float e = 0.0f;
    for (float burst : {0.0f, 0.009f, 0.018f})
        if (t >= burst)
            e = std::max(e, std::exp(-(t - burst) / 0.004f));
    if (t >= 0.018f)
        e = std::max(e, 0.6f * std::exp(-(t - 0.018f) / decay));
    return e;
}

// Drum voices ignore the note-off: they ring out by their own envelope.
void render_drum(const cVoiceNote& n, const cPatch& p, uint32_t seed, cBuffer& out)
{
    const long size = static_cast<long>(out.left.size());
    const float ring = std::min(4.0f, p.decay * 6.0f + 0.05f);
    const long stop = std::min(size, n.start + static_cast<long>(ring * SAMPLE_RATE));
    if (n.start >= stop)
        return;
    touch(out, n.start, stop);

    cNoise noise(seed);
    cOscillator body;
    float bank[6] = {0.0f, 0.17f, 0.41f, 0.63f, 0.29f, 0.87f};
    cSvf filter;
    const float base = p.tone_hz > 0.0f ? p.tone_hz : note_hz(n.note);
    filter.set(p.cutoff_hz, p.resonance);
    const float amp_coef = decay_factor(p.decay);
    const float pitch_coef = decay_factor(p.pitch_decay);
    const float click_coef = decay_factor(0.0025f);
    const float velocity = n.velocity / 127.0f * p.gain;
    float amp = 1.0f, penv = 1.0f, click = 1.0f;
    for (long s = n.start; s < stop; ++s) {
        const float t = static_cast<float>(s - n.start) / SAMPLE_RATE;
        const float hz = base * std::exp2(p.pitch_env * penv / 12.0f);
        float v = 0.0f;
        switch (p.voice) {
        case eVoice::KICK:
        case eVoice::TOM:
            v = body.next(eWave::SINE, hz / SAMPLE_RATE, noise) * amp;
            v += filter.process(noise.next(), eFilter::HIGHPASS) * click * p.noise_level;
            break;
        case eVoice::SNARE:
            v = body.next(eWave::SINE, hz / SAMPLE_RATE, noise) * std::exp(-t / 0.06f) * (1.0f - p.noise_level);
            v += filter.process(noise.next(), eFilter::BANDPASS) * amp * p.noise_level * 2.0f;
            break;
        case eVoice::CLAP:
            v = filter.process(noise.next(), eFilter::BANDPASS) * clap_envelope(t, p.decay) * 3.0f;
            break;
        case eVoice::HAT:
        case eVoice::CYMBAL: {
            const float m = metal(bank, base) * (1.0f - p.noise_level) + noise.next() * p.noise_level;
            v = filter.process(m, eFilter::HIGHPASS) * amp;
            break;
        }
        case eVoice::TONE:
            break;
        }
        if (p.drive > 0.0f) {
            const float k = 1.0f + 4.0f * p.drive;
            v = soft_clip(v * k) / soft_clip(k);
        }
        // A short fade-in keeps sine bodies from clicking at any phase.
        const float fade = std::min(1.0f, t * 2000.0f);
        out.left[s] += v * velocity * fade;
        out.right[s] += v * velocity * fade;
        amp *= amp_coef;
        penv *= pitch_coef;
        click *= click_coef;
    }
}

void render_track(const cMidiSong& song, size_t index, const cPatch& patch, cBuffer& out)
{
    const cMidiTrackData& track = song.tracks[index];
    const std::vector<cVoiceNote> notes = collect_notes(song, track, patch);
    const cTrackControls controls = collect_controls(song, track);
    for (size_t i = 0; i < notes.size(); ++i) {
        const uint32_t seed = static_cast<uint32_t>(index * 2654435761u + i * 40503u + 1u);
        if (patch.voice == eVoice::TONE)
            render_tone(notes[i], patch, controls, seed, out);
        else
            render_drum(notes[i], patch, seed, out);
    }
}

// 0-1 per sample: how far the sidechain's latest note-on pushes other tracks down.
std::vector<float> pump_curve(const cMidiSong& song, int track, size_t length)
{
    std::vector<float> pump(length, 0.0f);
    if (track < 0 || track >= static_cast<int>(song.tracks.size()))
        return pump;
    const float attack = 0.004f * SAMPLE_RATE;
    const float recover = decay_factor(0.09f);
    std::vector<long> onsets;
    for (const cMidiEvent& e : song.tracks[track].events)
        if ((e.status & 0xF0) == 0x90 && e.data2 > 0)
            onsets.push_back(tick_to_sample(song, e.tick));
    for (size_t k = 0; k < onsets.size(); ++k) {
        const long end = std::min<long>(k + 1 < onsets.size() ? onsets[k + 1] : length, length);
        float level = 1.0f;
        for (long s = onsets[k]; s < end; ++s) {
            const float age = static_cast<float>(s - onsets[k]);
            pump[s] = age < attack ? std::max(pump[s], age / attack) : level;
            if (age >= attack)
                level *= recover;
        }
    }
    return pump;
}

long song_end_sample(const cMidiSong& song)
{
    uint32_t last = 0;
    for (const cMidiTrackData& t : song.tracks)
        for (const cMidiEvent& e : t.events)
            last = std::max(last, e.tick);
    return tick_to_sample(song, last);
}

// Mono inputs of the bus effects.
struct cSends {
    std::vector<float> delay;   // per sample
    std::vector<float> reverb;  // per sample
};

// Renders each track (or the solo one) and adds it, panned and ducked, to
// the master and the sends.
void mix_tracks(const cMidiSong& song, const cSynthSetup& setup, int solo, cStereo& master, cSends& sends)
{
    const size_t length = master.left.size();
    const std::vector<float> pump = pump_curve(song, setup.sidechain_track, length);
    cBuffer track{std::vector<float>(length, 0.0f), std::vector<float>(length, 0.0f)};
    for (size_t i = 0; i < song.tracks.size() && i < setup.instruments.size(); ++i) {
        if (solo >= 0 && static_cast<int>(i) != solo)
            continue;
        const cInstrument& inst = setup.instruments[i];
        track.first = track.last = 0;
        render_track(song, i, inst.patch, track);
        const float gain = db_to_gain(inst.mix.gain_db);
        const float angle = (inst.mix.pan + 1.0f) * 0.25f * 3.14159265f;  // equal-power pan
        const float gl = gain * std::cos(angle) * 1.41421356f, gr = gain * std::sin(angle) * 1.41421356f;
        for (long s = track.first; s < track.last; ++s) {
            const float duck = 1.0f - inst.mix.duck * pump[s];
            const float l = track.left[s] * gl * duck, r = track.right[s] * gr * duck;
            master.left[s] += l;
            master.right[s] += r;
            const float mono = 0.5f * (l + r);
            sends.delay[s] += mono * inst.mix.delay_send;
            sends.reverb[s] += mono * inst.mix.reverb_send;
            track.left[s] = track.right[s] = 0.0f;
        }
    }
}

void add_returns(const cMidiSong& song, const cSynthSetup& setup, const cSends& sends, cStereo& master)
{
    const double beat_s = song.tempo_us / 1e6;
    cPingPongDelay delay(static_cast<int>(std::lround(setup.delay_beats * beat_s * SAMPLE_RATE)), setup.delay_feedback,
                         5000.0f, 300.0f);
    cReverb reverb(setup.reverb_room, 0.35f);
    cOnePole reverb_low;
    reverb_low.set(250.0f);
    for (size_t s = 0; s < master.left.size(); ++s) {
        float dl, dr, rl, rr;
        delay.process(sends.delay[s], dl, dr);
        // Echoes feed the reverb too, so they sit in the same room.
        reverb.process(reverb_low.highpass(sends.reverb[s] + 0.3f * (dl + dr)), rl, rr);
        master.left[s] += dl + rl;
        master.right[s] += dr + rr;
    }
}

// Decaying tails (filters, reverb) sink into denormal floats, which the FPU
// handles hundreds of times slower; flushing them to zero is inaudible.
void flush_denormals()
{
#if defined(__SSE__)
    _mm_setcsr(_mm_getcsr() | 0x8040);  // FTZ and DAZ
#endif
}

}  // namespace

long tick_to_sample(const cMidiSong& song, uint32_t tick)
{
    return std::lround(tick * song.seconds_per_tick() * SAMPLE_RATE);
}

cStereo render_song(const cMidiSong& song, const cSynthSetup& setup, const cRenderOptions& options)
{
    flush_denormals();
    const size_t length = options.seconds > 0.0
                              ? static_cast<size_t>(options.seconds * SAMPLE_RATE)
                              : static_cast<size_t>(song_end_sample(song) + options.tail * SAMPLE_RATE);
    cStereo master{std::vector<float>(length, 0.0f), std::vector<float>(length, 0.0f)};
    {
        cSends sends{std::vector<float>(length, 0.0f), std::vector<float>(length, 0.0f)};
        mix_tracks(song, setup, options.solo, master, sends);
        add_returns(song, setup, sends, master);
    }
    if (options.solo >= 0)
        return master;

    const float drive = db_to_gain(setup.master_gain_db);
    for (size_t s = 0; s < length; ++s) {
        master.left[s] *= drive;
        master.right[s] *= drive;
    }
    limit(master.left, master.right, db_to_gain(setup.ceiling_db), 0.002f, 0.08f);
    return master;
}
