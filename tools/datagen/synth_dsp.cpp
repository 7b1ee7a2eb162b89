#include "synth_dsp.h"

#include <algorithm>
#include <cmath>
#include <deque>

namespace {

constexpr double PI = 3.14159265358979323846;

}  // namespace

float decay_factor(float seconds)
{
    return std::exp(-1.0f / std::max(1.0f, seconds * SAMPLE_RATE));
}

cEnvelope::cEnvelope(float attack, float decay, float sustain_, float release)
    : attack_step(1.0f / std::max(1.0f, attack * SAMPLE_RATE)),
      decay_coef(decay_factor(decay)),
      sustain(sustain_),
      release_coef(decay_factor(release))
{
}

void cSvf::set(float cutoff_hz, float resonance)
{
    const float fc = std::clamp(cutoff_hz, 20.0f, 0.45f * SAMPLE_RATE);
    g = static_cast<float>(std::tan(PI * fc / SAMPLE_RATE));
    k = 2.0f - 1.95f * std::clamp(resonance, 0.0f, 1.0f);
}

void cOnePole::set(float cutoff_hz)
{
    a = 1.0f - static_cast<float>(std::exp(-2.0 * PI * cutoff_hz / SAMPLE_RATE));
}

cPingPongDelay::cPingPongDelay(int samples, float feedback_, float lowpass_hz, float highpass_hz)
    : length(std::max(1, samples)), feedback(feedback_), left(length), right(length)
{
    tone_l.set(lowpass_hz);
    tone_r.set(lowpass_hz);
    low_l.set(highpass_hz);
    low_r.set(highpass_hz);
}

void cPingPongDelay::process(float in, float& out_l, float& out_r)
{
    out_l = left[pos];
    out_r = right[pos];
    // The input enters on the left only; each pass swaps sides.
    left[pos] = in + feedback * low_r.highpass(tone_r.lowpass(out_r));
    right[pos] = feedback * low_l.highpass(tone_l.lowpass(out_l));
    if (++pos == length)
        pos = 0;
}

cReverb::cReverb(float room, float damping) : feedback(room), damp(damping)
{
    static const int COMB[8] = {1116, 1188, 1277, 1356, 1422, 1491, 1557, 1617};
    static const int ALLPASS[4] = {556, 441, 341, 225};
    for (int ch = 0; ch < 2; ++ch) {
        for (int i = 0; i < 8; ++i)
            combs[ch][i].line.assign(COMB[i] + ch * 23, 0.0f);
        for (int i = 0; i < 4; ++i)
            allpasses[ch][i].line.assign(ALLPASS[i] + ch * 23, 0.0f);
    }
}

void cReverb::process(float in, float& out_l, float& out_r)
{
    float* outs[2] = {&out_l, &out_r};
    for (int ch = 0; ch < 2; ++ch) {
        float sum = 0.0f;
        for (cComb& c : combs[ch]) {
            const float y = c.line[c.pos];
            c.store = y * (1.0f - damp) + c.store * damp;
            c.line[c.pos] = in + c.store * feedback;
            if (++c.pos == static_cast<int>(c.line.size()))
                c.pos = 0;
            sum += y;
        }
        for (cAllpass& a : allpasses[ch]) {
            const float b = a.line[a.pos];
            a.line[a.pos] = sum + b * 0.5f;
            sum = b - sum;
            if (++a.pos == static_cast<int>(a.line.size()))
                a.pos = 0;
        }
        *outs[ch] = sum * 0.125f;
    }
}

void limit(std::vector<float>& left, std::vector<float>& right, float ceiling, float lookahead_s, float release_s)
{
    const size_t n = left.size();
    const int window = std::max(1, static_cast<int>(lookahead_s * SAMPLE_RATE));
    const float recover = 1.0f - std::exp(-1.0f / (release_s * SAMPLE_RATE));

    // Gain each sample needs on its own.
    std::vector<float> need(n + window, 1.0f);
    for (size_t i = 0; i < n; ++i) {
        const float peak = std::max(std::fabs(left[i]), std::fabs(right[i]));
        need[i] = peak > ceiling ? ceiling / peak : 1.0f;
    }
    // Smallest need within the coming window (monotonic queue), with release.
    std::vector<float> held(n + window, 1.0f);
    std::deque<size_t> minima;
    float release = 1.0f;
    for (size_t i = 0; i < n + window; ++i) {
        while (!minima.empty() && need[minima.back()] >= need[i])
            minima.pop_back();
        minima.push_back(i);
        if (minima.front() + window <= i)
            minima.pop_front();
        // held[j] covers samples j .. j + window - 1; it is known at i = j + window - 1.
        if (i + 1 >= static_cast<size_t>(window)) {
            release = std::min(need[minima.front()], release + (1.0f - release) * recover);
            held[i + 1 - window] = release;
        }
    }
    // Every held value averaged for sample i covers i itself, so the mean is
    // still below what i needs, while steps of the gain become ramps.
    double sum = 0.0;
    std::vector<float> gain(n);
    for (size_t i = 0; i < n; ++i) {
        sum += held[i];
        if (i >= static_cast<size_t>(window))
            sum -= held[i - window];
        gain[i] = static_cast<float>(sum / static_cast<double>(std::min<size_t>(i + 1, window)));
    }
    for (size_t i = 0; i < n; ++i) {
        left[i] = std::clamp(left[i] * gain[i], -ceiling, ceiling);
        right[i] = std::clamp(right[i] * gain[i], -ceiling, ceiling);
    }
}

float db_to_gain(float db)
{
    return std::pow(10.0f, db / 20.0f);
}

float note_hz(float note)
{
    return 440.0f * std::pow(2.0f, (note - 69.0f) / 12.0f);
}
