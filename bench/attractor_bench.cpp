// Cost of one attractor batch: 20000 Pickover points with table trigonometry
// and jitter, written to memory as the point ring buffer's refill does.
#include <benchmark/benchmark.h>

#include <cmath>
#include <vector>

#include "particles/attractor.h"

static void BM_PickoverBatch(benchmark::State& state)
{
    const float params[4] = {2.24f, 0.43f, -0.65f, -2.43f};
    cAttractorCalculator_pickover calc;
    std::vector<float> out(3 * 20000);
    calc.calculate(out.data(), 20000, params);
    for (auto _ : state) {
        calc.calculate_more(out.data(), 20000, params);
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * 20000);
}
BENCHMARK(BM_PickoverBatch);

// The same orbit with library sine and cosine, for comparison.
static void BM_PickoverBatchLibm(benchmark::State& state)
{
    const double a = 2.24, b = 0.43, c = -0.65, d = -2.43;
    std::vector<float> out(3 * 20000);
    double x = 0, y = 0, z = 0;
    for (auto _ : state) {
        for (int i = 0; i < 20000; ++i) {
            const double nx = std::sin(a * y) - z * std::cos(b * x);
            const double ny = z * std::sin(c * x) - std::cos(d * y);
            const double nz = std::sin(x);
            out[3 * i] = static_cast<float>(nx);
            out[3 * i + 1] = static_cast<float>(ny);
            out[3 * i + 2] = static_cast<float>(nz);
            x = nx;
            y = ny;
            z = nz;
        }
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * 20000);
}
BENCHMARK(BM_PickoverBatchLibm);
