#include "mesh_files/mesh_data.h"

#include <algorithm>
#include <cmath>
#include <iostream>
#include <tuple>

#include "vec3.h"

void cMeshObj_data::clear()
{
    flags = 0;
    positions.clear();
    normals.clear();
    texcoords.clear();
    indices.clear();
    groups.clear();
    materials.clear();
}

void cMeshObj_data::drop_materials()
{
    flags &= ~MESH_GROUPS;
    materials.clear();
}

std::string cMeshObj_data::check() const
{
    const size_t n = vertex_count();
    if (positions.size() % 3 != 0)
        return "position array is not a whole number of vertices";
    if ((flags & MESH_NORMALS) && normals.size() != positions.size())
        return "normal array does not match the vertex count";
    if ((flags & MESH_TEXCOORDS) && texcoords.size() != 2 * n)
        return "texture coordinate array does not match the vertex count";
    if (indices.size() % 3 != 0)
        return "index count is not a multiple of three";
    for (uint32_t i : indices)
        if (i >= n)
            return "index " + std::to_string(i) + " refers to a missing vertex";
    if (groups.empty())
        return (flags & MESH_GROUPS) ? "per-group drawing without groups" : "";
    if (groups.front().first_index != 0 || groups.back().first_index != int64_t(indices.size()) ||
        groups.back().material != -1)
        return "groups do not span the index list";
    for (size_t g = 0; g + 1 < groups.size(); ++g) {
        if (groups[g + 1].first_index < groups[g].first_index)
            return "groups are out of order";
        const int m = groups[g].material;
        if ((flags & MESH_GROUPS) && (m < 0 || size_t(m) >= materials.size()))
            return "group " + std::to_string(g) + " uses missing material " + std::to_string(m);
    }
    return "";
}

// ---- coincident vertices --------------------------------------------------

bool positions_coincide(const float* a, const float* b)
{
    const float dx = a[0] - b[0], dy = a[1] - b[1], dz = a[2] - b[2];
    return std::sqrt(dx * dx + dy * dy + dz * dz) < 0.0001f;
}

namespace {

// Twice the closeness distance, so that float rounding of a difference can
// never put two close points more than one cell apart.
constexpr double CELL_SIZE = 2e-4;

struct CellEntry {
    int64_t x, y, z;  // cell coordinates
    uint32_t vertex;  // vertex number
    auto key() const { return std::tie(x, y, z); }
};

int64_t cell_of(float v)
{
    // Far-out coordinates share a clamped cell: correct, only slower there.
    const double c = std::floor(double(v) / CELL_SIZE);
    const double limit = 4.0e18;
    return int64_t(std::clamp(c, -limit, limit));
}

std::vector<CellEntry> sorted_cells(const std::vector<float>& positions, const std::vector<uint32_t>& indices)
{
    std::vector<bool> used(positions.size() / 3, false);
    for (uint32_t i : indices)
        used[i] = true;
    std::vector<CellEntry> cells;
    for (uint32_t v = 0; v < used.size(); ++v) {
        const float* p = &positions[3 * v];
        if (used[v] && std::isfinite(p[0]) && std::isfinite(p[1]) && std::isfinite(p[2]))
            cells.push_back({cell_of(p[0]), cell_of(p[1]), cell_of(p[2]), v});
    }
    std::sort(cells.begin(), cells.end(), [](const CellEntry& a, const CellEntry& b) {
        return std::tie(a.x, a.y, a.z, a.vertex) < std::tie(b.x, b.y, b.z, b.vertex);
    });
    return cells;
}

// Vertices of the 3x3x3 block of cells around `c`; per (dx, dy) column the
// three z cells are contiguous in the sorted order.
void block_candidates(const std::vector<CellEntry>& cells, const CellEntry& c, std::vector<uint32_t>& out)
{
    out.clear();
    for (int64_t dx = -1; dx <= 1; ++dx)
        for (int64_t dy = -1; dy <= 1; ++dy) {
            const CellEntry lo{c.x + dx, c.y + dy, c.z - 1, 0};
            auto it = std::lower_bound(cells.begin(), cells.end(), lo,
                                       [](const CellEntry& a, const CellEntry& b) { return a.key() < b.key(); });
            for (; it != cells.end() && it->x == lo.x && it->y == lo.y && it->z <= c.z + 1; ++it)
                out.push_back(it->vertex);
        }
}

}  // namespace

cCoincidentLists find_coincident_vertices(const std::vector<float>& positions, const std::vector<uint32_t>& indices)
{
    const size_t n = positions.size() / 3;
    const std::vector<CellEntry> cells = sorted_cells(positions, indices);
    std::vector<std::vector<uint32_t>> lists(n);
    std::vector<uint32_t> candidates;
    for (size_t i = 0; i < cells.size();) {
        block_candidates(cells, cells[i], candidates);
        size_t j = i;
        for (; j < cells.size() && cells[j].key() == cells[i].key(); ++j) {
            const uint32_t v = cells[j].vertex;
            for (uint32_t w : candidates)
                if (positions_coincide(&positions[3 * v], &positions[3 * w]))
                    lists[v].push_back(w);
            std::sort(lists[v].begin(), lists[v].end());
        }
        i = j;
    }
    cCoincidentLists out;
    out.first.reserve(n + 1);
    out.first.push_back(0);
    for (const auto& list : lists) {
        out.flat.insert(out.flat.end(), list.begin(), list.end());
        out.first.push_back(uint32_t(out.flat.size()));
    }
    return out;
}

void cMeshObj_data::smooth_coincident_normals()
{
    const std::string problem = check();
    if (!problem.empty()) {
        std::cerr << "# ERROR in smooth_coincident_normals: " << problem << ". Normals left unchanged." << std::endl;
        return;
    }
    const cCoincidentLists lists = find_coincident_vertices(positions, indices);
    normals.assign(positions.size(), 0.0f);
    flags |= MESH_NORMALS;
    auto pos = [this](uint32_t v) { return Vec3<float>(positions[3 * v], positions[3 * v + 1], positions[3 * v + 2]); };
    for (size_t t = 0; t + 2 < indices.size(); t += 3) {
        const uint32_t a = indices[t], b = indices[t + 1], c = indices[t + 2];
        const Vec3<float> e1 = (pos(a) - pos(b)).normalized();
        const Vec3<float> e2 = (pos(c) - pos(b)).normalized();
        const Vec3<float> f = e2.cross(e1).normalized();
        for (uint32_t k : {a, b, c})
            for (uint32_t i = lists.first[k]; i < lists.first[k + 1]; ++i) {
                float* nu = &normals[3 * lists.flat[i]];
                nu[0] += f.x;
                nu[1] += f.y;
                nu[2] += f.z;
            }
    }
    for (size_t v = 0; v < normals.size(); v += 3) {
        const Vec3<float> nv = Vec3<float>(normals[v], normals[v + 1], normals[v + 2]).normalized();
        normals[v] = nv.x;
        normals[v + 1] = nv.y;
        normals[v + 2] = nv.z;
    }
}
