#pragma once
// CPU-side mesh data: an indexed triangle list with optional normals and
// texture coordinates, material groups and materials. Readers (.bzobj, OBJ)
// fill it; the GL mesh derives from it, uploads the arrays once at load time
// and may then release the vertex arrays. No GL here.
#include <cstdint>
#include <string>
#include <vector>

#include "mesh_files/material.h"

// Common base of the mesh types and the readers' data; carries nothing.
struct iMeshType {};

enum : uint8_t {
    MESH_TEXCOORDS = 1,  // flags bit 0: texcoords present
    MESH_NORMALS = 2,    // flags bit 1: normals present
    MESH_GROUPS = 16,    // flags bit 4: draw per material group
};

struct cMeshGroup {
    int first_index;  // position in `indices` where the group starts
    int material;     // number into `materials`; -1 marks the end entry
    bool operator==(const cMeshGroup&) const = default;
};

struct cMeshObj_data {
    uint8_t flags = 0;                 // MESH_TEXCOORDS | MESH_NORMALS | MESH_GROUPS
    std::vector<float> positions;      // x, y, z per vertex
    std::vector<float> normals;        // x, y, z per vertex, or empty
    std::vector<float> texcoords;      // u, v per vertex, or empty
    std::vector<uint32_t> indices;     // three per triangle, counter-clockwise
    std::vector<cMeshGroup> groups;    // (0, m0), further starts..., (index count, -1)
    std::vector<cMaterial> materials;  // numbered from 0

    size_t vertex_count() const { return positions.size() / 3; }
    void clear();
    // Clears MESH_GROUPS and the materials: the mesh then draws in one call.
    void drop_materials();
    // Empty when the arrays are consistent (sizes, index range, groups
    // increasing and ending on the index count, group materials valid when
    // MESH_GROUPS is set); otherwise what is wrong.
    std::string check() const;

    // Gives vertices at the same position (closer than 0.0001) one normal:
    // the normalised sum of the unit face normals of every triangle around
    // any of them. Creates the normals when the mesh has none.
    void smooth_coincident_normals();
};

// For every vertex used by the index list, the sorted vertices whose
// positions lie closer than 0.0001 to it (itself included), as offsets into
// one flat array: the neighbours of v are flat[first[v]] .. flat[first[v+1]-1].
struct cCoincidentLists {
    std::vector<uint32_t> first;  // vertex count + 1 entries
    std::vector<uint32_t> flat;   // vertex numbers
};
cCoincidentLists find_coincident_vertices(const std::vector<float>& positions,
                                          const std::vector<uint32_t>& indices);

// The closeness test of the smoothing pass, exactly as the pass computes it
// (float distance below 0.0001); a non-finite position is close to nothing.
bool positions_coincide(const float* a, const float* b);
