#include "particles/attractor.h"

#include <cmath>
#include <numbers>

#include "particles/random_table.h"

cSinCos trig_coarse[TRIG_TABLE_SIZE];
cSinCos trig_fine[TRIG_TABLE_SIZE];

namespace {

void fill_trig(cSinCos* table, double step)
{
    for (int j = 0; j < TRIG_TABLE_SIZE; ++j) {
        const double a = j * step;
        table[j] = {static_cast<float>(std::sin(a)), static_cast<float>(std::cos(a))};
    }
}

struct TrigInit {
    TrigInit()
    {
        fill_trig(trig_coarse, 2.0 * std::numbers::pi / 1024.0);
        fill_trig(trig_fine, 2.0 * std::numbers::pi / 1048576.0);
    }
} trig_init;

}  // namespace

void cAttractorCalculator_pickover::calculate(float* out, int count, const float* params)
{
    x = y = z = 0.0;
    calculate_more(out, count, params);
}

void cAttractorCalculator_pickover::calculate_more(float* out, int count, const float* params)
{
    const double a = params[0], b = params[1], c = params[2], d = params[3];
    for (int i = 0; i < count; ++i) {
        nx = table_sin(a * y) - z * table_cos(b * x);
        ny = z * table_sin(c * x) - table_cos(d * y);
        nz = table_sin(x);
        out[0] = static_cast<float>(nx);
        out[1] = static_cast<float>(ny);
        out[2] = static_cast<float>(nz);
        out += 3;
        const double r1 = frand(), r2 = frand(), r3 = frand();
        x = nx + (r1 - 0.5) * noise;
        y = ny + (r2 - 0.5) * noise;
        z = nz + (r3 - 0.5) * noise;
    }
}
