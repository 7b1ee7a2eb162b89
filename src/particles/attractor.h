#pragma once
// Attractor point generators and the table-driven sine and cosine they use.
// The two trigonometric tables are filled once before main and live to the
// end; a calculator is a small value object (the point ring buffer embeds
// one) whose state is the orbit position between calls. No GL.
#include <cmath>
#include <cstdint>

// Entries j = 0 .. 1024 of sin/cos at j * 2pi / 1024 (coarse) and at
// j * 2pi / 2^20 (fine), as floats; only 0 .. 1023 are read.
constexpr int TRIG_TABLE_SIZE = 1025;
struct cSinCos {
    float s;  // sine
    float c;  // cosine
};
extern cSinCos trig_coarse[TRIG_TABLE_SIZE];
extern cSinCos trig_fine[TRIG_TABLE_SIZE];

// The angle in units of 2pi / 2^20, rounded to nearest (ties to even) and
// wrapped to 32 bits, so negative angles land on the same turn. The product
// is rounded to a double before it is rounded to an integer: folded into
// one fused multiply-add (as some compilers and flags do with the shorter
// add-a-large-constant trick) a tie could round the other way.
inline uint32_t trig_index(double angle)
{
    return static_cast<uint32_t>(std::llrint(angle * 166886.05360752725));
}

// Angle = coarse step c plus fine step f, combined by the addition theorems.
inline double table_sin(double angle)
{
    const uint32_t k = trig_index(angle);
    const cSinCos& f = trig_fine[k & 0x3FF];
    const cSinCos& c = trig_coarse[(k >> 10) & 0x3FF];
    return static_cast<double>(f.s) * c.c + static_cast<double>(f.c) * c.s;
}

inline double table_cos(double angle)
{
    const uint32_t k = trig_index(angle);
    const cSinCos& f = trig_fine[k & 0x3FF];
    const cSinCos& c = trig_coarse[(k >> 10) & 0x3FF];
    return static_cast<double>(f.c) * c.c - static_cast<double>(f.s) * c.s;
}

class iAttractorCalculator {
public:
    virtual ~iAttractorCalculator() = default;
    // Restarts the orbit at the origin and writes `count` xyz float triples.
    virtual void calculate(float* out, int count, const float* params) = 0;
    // Continues the orbit and writes `count` xyz float triples.
    virtual void calculate_more(float* out, int count, const float* params) = 0;
};

// Pickover map with parameters a, b, c, d:
//   x' = sin(a y) - z cos(b x),  y' = z sin(c x) - cos(d y),  z' = sin(x).
// The written point is exact; the state carried to the next step gets a
// jitter of +-noise/2 per axis from the shared random table (three draws).
class cAttractorCalculator_pickover : public iAttractorCalculator {
public:
    void calculate(float* out, int count, const float* params) override;
    void calculate_more(float* out, int count, const float* params) override;

    double x = 0.0;          // state: input of the next step
    double y = 0.0;
    double z = 0.0;
    double nx = 0.0;         // last computed point
    double ny = 0.0;
    double nz = 0.0;
    double noise = 0.0005;   // jitter amplitude, world units
};
