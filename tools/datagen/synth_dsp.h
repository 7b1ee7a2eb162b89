#pragma once
// Sound building blocks of the synthesiser: band-limited oscillators,
// envelopes, a resonant state-variable filter, a deterministic noise source
// and the bus effects (ping-pong delay, reverb, look-ahead limiter). Each is
// a small value object that the renderer creates per voice or per bus and
// drops when the voice or the render ends. Nothing here knows any music.
#include <cstdint>
#include <vector>

inline constexpr int SAMPLE_RATE = 44100;  // every rendered buffer (Hz)

enum class eWave { SAW, SQUARE, SINE, TRIANGLE, NOISE };
enum class eFilter { NONE, LOWPASS, BANDPASS, HIGHPASS };

// xorshift32: the same sequence on every machine for a given seed.
struct cNoise {
    uint32_t state = 0x9E3779B9u;  // never 0

    explicit cNoise(uint32_t seed) : state(seed ? seed : 0x9E3779B9u) {}
    float next()  // uniform in [-1, 1)
    {
        state ^= state << 13;
        state ^= state >> 17;
        state ^= state << 5;
        return static_cast<float>(state) * (2.0f / 4294967296.0f) - 1.0f;
    }
};

// One oscillator; saw and square carry PolyBLEP corrections at their steps,
// so high notes do not fold back as audible aliasing.
struct cOscillator {
    double phase = 0.0;  // 0-1

    float next(eWave wave, double increment, cNoise& noise)  // increment = frequency / SAMPLE_RATE
    {
        const double t = phase;
        phase += increment;
        if (phase >= 1.0)
            phase -= static_cast<int>(phase);
        switch (wave) {
        case eWave::SAW:
            return static_cast<float>(2.0 * t - 1.0 - poly_blep(t, increment));
        case eWave::SQUARE: {
            const double t2 = t < 0.5 ? t + 0.5 : t - 0.5;
            return static_cast<float>((t < 0.5 ? 1.0 : -1.0) + poly_blep(t, increment) - poly_blep(t2, increment));
        }
        case eWave::SINE:
            return sine(t);
        case eWave::TRIANGLE:
            return static_cast<float>(t < 0.5 ? 4.0 * t - 1.0 : 3.0 - 4.0 * t);
        case eWave::NOISE:
            return noise.next();
        }
        return 0.0f;
    }

    // Residual of a unit step smeared over one sample on each side.
    static double poly_blep(double t, double dt)
    {
        if (t < dt) {
            t /= dt;
            return t + t - t * t - 1.0;
        }
        if (t > 1.0 - dt) {
            t = (t - 1.0) / dt;
            return t * t + t + t + 1.0;
        }
        return 0.0;
    }
    // sin(2 pi t) for t in [0, 1) by a parabola with one refinement step
    // (error about 0.1 %), far cheaper than the library sine per sample.
    static float sine(double t)
    {
        const float u = static_cast<float>(2.0 * t - 1.0);
        const float y = 4.0f * u * (1.0f - (u < 0.0f ? -u : u));
        return -(0.225f * (y * (y < 0.0f ? -y : y) - y) + y);
    }
};

// Attack (linear), decay (exponential towards sustain), release after the
// gate closes. Times in seconds; advance once per sample.
struct cEnvelope {
    float attack_step = 1.0f;    // level gained per sample while attacking
    float decay_coef = 0.0f;     // per-sample factor on the distance to sustain
    float sustain = 1.0f;        // 0-1
    float release_coef = 0.0f;   // per-sample factor while releasing
    float value = 0.0f;          // current level, 0-1
    int stage = 0;               // 0 attack, 1 decay/sustain, 2 release

    // Times in seconds (decay and release are time constants).
    cEnvelope(float attack, float decay, float sustain_, float release);
    void gate_off() { stage = 2; }
    float next()
    {
        if (stage == 0) {
            value += attack_step;
            if (value >= 1.0f) {
                value = 1.0f;
                stage = 1;
            }
        } else if (stage == 1) {
            value = sustain + (value - sustain) * decay_coef;
        } else {
            value *= release_coef;
        }
        return value;
    }
};

// exp(-1 / (seconds * rate)): the per-sample factor of a time constant.
float decay_factor(float seconds);

// Zavalishin's trapezoidal state-variable filter: stable at any cutoff and
// resonance, so controller sweeps can move it freely.
struct cSvf {
    float g = 0.0f;    // tan(pi * cutoff / rate)
    float k = 2.0f;    // 1 / Q
    float ic1 = 0.0f;  // integrator states
    float ic2 = 0.0f;

    void set(float cutoff_hz, float resonance);  // resonance 0 (flat) to 1 (near self-oscillation)
    float process(float x, eFilter mode)
    {
        const float a1 = 1.0f / (1.0f + g * (g + k));
        const float v3 = x - ic2;
        const float v1 = a1 * ic1 + g * a1 * v3;
        const float v2 = ic2 + g * v1;
        ic1 = 2.0f * v1 - ic1;
        ic2 = 2.0f * v2 - ic2;
        switch (mode) {
        case eFilter::LOWPASS: return v2;
        case eFilter::BANDPASS: return v1;
        case eFilter::HIGHPASS: return x - k * v1 - v2;
        case eFilter::NONE: return x;
        }
        return x;
    }
};

// One-pole filters for gentle bus shaping.
struct cOnePole {
    float a = 0.0f;  // smoothing coefficient
    float y = 0.0f;  // state

    void set(float cutoff_hz);
    float lowpass(float x) { return y += a * (x - y); }
    float highpass(float x) { return x - lowpass(x); }
};

// Stereo ping-pong echo of a mono send, filtered in the loop so repeats darken.
struct cPingPongDelay {
    int length = 1;              // samples per repeat
    float feedback = 0.4f;       // 0-1
    std::vector<float> left;     // ring buffers
    std::vector<float> right;
    int pos = 0;                 // write index
    cOnePole tone_l, tone_r;     // loop lowpass
    cOnePole low_l, low_r;       // loop highpass

    cPingPongDelay(int samples, float feedback_, float lowpass_hz, float highpass_hz);
    void process(float in, float& out_l, float& out_r);
};

// Schroeder-Moorer reverb (parallel damped combs into serial allpasses) per
// channel, the right channel's lines slightly longer for width.
struct cReverb {
    struct cComb {
        std::vector<float> line;
        int pos = 0;
        float store = 0.0f;
    };
    struct cAllpass {
        std::vector<float> line;
        int pos = 0;
    };
    cComb combs[2][8];
    cAllpass allpasses[2][4];
    float feedback = 0.84f;  // room size
    float damp = 0.3f;       // high-frequency loss in the combs

    cReverb(float room, float damping);
    void process(float in, float& out_l, float& out_r);
};

// Brick-wall look-ahead limiter over whole buffers: the gain follows the
// smallest gain needed within the look-ahead, smoothed over the same window,
// so no sample exceeds `ceiling` and the gain never steps.
void limit(std::vector<float>& left, std::vector<float>& right, float ceiling, float lookahead_s, float release_s);

float db_to_gain(float db);
// A smooth saturating curve close to tanh, much cheaper per sample.
inline float soft_clip(float x)
{
    if (x > 3.0f)
        return 1.0f;
    if (x < -3.0f)
        return -1.0f;
    const float x2 = x * x;
    return x * (27.0f + x2) / (27.0f + 9.0f * x2);
}
float note_hz(float note);  // MIDI note number (fractional) to Hz
