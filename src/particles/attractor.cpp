#include "particles/attractor.h"

#include <cmath>
#include <numbers>

#include "particles/random_table.h"

cSinCos trig_coarse[TRIG_TABLE_SIZE];
cSinCos trig_fine[TRIG_TABLE_SIZE];

namespace {

// The float tables widened to double once, sines and cosines apart, for
// the orbit loop: the loop is one long chain of dependent steps, and a load
// that needs no conversion and no index scaling beyond 8 shortens every
// link. Widening is exact, so the sums are unchanged.
struct cTrigWide {
    double s[TRIG_TABLE_SIZE];  // sine per entry
    double c[TRIG_TABLE_SIZE];  // cosine per entry
};
cTrigWide wide_coarse;
cTrigWide wide_fine;

void fill_trig(cSinCos* table, cTrigWide& wide, double step)
{
    for (int j = 0; j < TRIG_TABLE_SIZE; ++j) {
        const double a = j * step;
        table[j] = {static_cast<float>(std::sin(a)), static_cast<float>(std::cos(a))};
        wide.s[j] = table[j].s;
        wide.c[j] = table[j].c;
    }
}

struct TrigInit {
    TrigInit()
    {
        fill_trig(trig_coarse, wide_coarse, 2.0 * std::numbers::pi / 1024.0);
        fill_trig(trig_fine, wide_fine, 2.0 * std::numbers::pi / 1048576.0);
    }
} trig_init;

// table_sin and table_cos on the widened tables, the same results.
inline double wide_sin(double angle)
{
    const uint32_t k = trig_index(angle);
    const uint32_t f = k & 0x3FF, c = (k >> 10) & 0x3FF;
    return wide_fine.s[f] * wide_coarse.c[c] + wide_fine.c[f] * wide_coarse.s[c];
}

inline double wide_cos(double angle)
{
    const uint32_t k = trig_index(angle);
    const uint32_t f = k & 0x3FF, c = (k >> 10) & 0x3FF;
    return wide_fine.c[f] * wide_coarse.c[c] - wide_fine.s[f] * wide_coarse.s[c];
}

}  // namespace

void cAttractorCalculator_pickover::calculate(float* out, int count, const float* params)
{
    x = y = z = 0.0;
    calculate_more(out, count, params);
}

void cAttractorCalculator_pickover::calculate_more(float* out, int count, const float* params)
{
    const double a = params[0], b = params[1], c = params[2], d = params[3];
    const double jitter = noise;
    // The orbit lives in locals for the loop, so no step of the chain goes
    // through memory whatever the compiler can prove about `out`.
    double px = x, py = y, pz = z, qx = nx, qy = ny, qz = nz;
    for (int i = 0; i < count; ++i) {
        qx = wide_sin(a * py) - pz * wide_cos(b * px);
        qy = pz * wide_sin(c * px) - wide_cos(d * py);
        qz = wide_sin(px);
        out[0] = static_cast<float>(qx);
        out[1] = static_cast<float>(qy);
        out[2] = static_cast<float>(qz);
        out += 3;
        const double r1 = frand(), r2 = frand(), r3 = frand();
        px = qx + (r1 - 0.5) * jitter;
        py = qy + (r2 - 0.5) * jitter;
        pz = qz + (r3 - 0.5) * jitter;
    }
    x = px;
    y = py;
    z = pz;
    nx = qx;
    ny = qy;
    nz = qz;
}
