// Load-time cost of coincident-normal smoothing on a mesh of about 100k
// vertices: a wavy grid whose quads each own their four corners, so every
// inner grid point is shared by four split vertices.
#include <benchmark/benchmark.h>

#include <cmath>

#include "mesh_files/mesh_data.h"

namespace {

cMeshObj_data split_grid(int cells)
{
    cMeshObj_data mesh;
    auto height = [](int x, int y) { return 0.3f * std::sin(float(x) * 0.2f) * std::cos(float(y) * 0.15f); };
    for (int y = 0; y < cells; ++y)
        for (int x = 0; x < cells; ++x) {
            const uint32_t base = uint32_t(mesh.vertex_count());
            for (auto [dx, dy] : {std::pair{0, 0}, {1, 0}, {1, 1}, {0, 1}}) {
                const int gx = x + dx, gy = y + dy;
                mesh.positions.insert(mesh.positions.end(), {float(gx) * 0.05f, height(gx, gy), float(gy) * 0.05f});
            }
            mesh.indices.insert(mesh.indices.end(), {base, base + 2, base + 1, base, base + 3, base + 2});
        }
    return mesh;
}

void BM_SmoothCoincidentNormals(benchmark::State& state)
{
    const cMeshObj_data source = split_grid(int(state.range(0)));
    for (auto _ : state) {
        state.PauseTiming();
        cMeshObj_data mesh = source;
        state.ResumeTiming();
        mesh.smooth_coincident_normals();
        benchmark::DoNotOptimize(mesh.normals.data());
    }
    state.counters["vertices"] = double(source.vertex_count());
    state.SetItemsProcessed(int64_t(state.iterations()) * int64_t(source.vertex_count()));
}

}  // namespace

BENCHMARK(BM_SmoothCoincidentNormals)->Arg(50)->Arg(160)->Unit(benchmark::kMillisecond);
