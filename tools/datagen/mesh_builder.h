#pragma once
// Geometry of the data generator's models. A builder accumulates one
// indexed triangle list with normals (and texture coordinates when the model
// is textured) plus optional material groups, and hands the finished
// cMeshObj_data to the .bzobj writer. Solids are built from flat-shaded
// faces, each with its own corners, so the faceted neon look survives the
// smoothing-free loaders. Front faces are counter-clockwise seen from the
// side their normal points to.
#include <cstdint>
#include <string>

#include "mesh_files/mesh_data.h"
#include "vec3.h"

using V3 = Vec3<float>;

inline float dot(const V3& a, const V3& b)
{
    return a.x * b.x + a.y * b.y + a.z * b.z;
}

struct cMeshBuilder {
    cMeshObj_data mesh;     // the model so far
    bool textured = false;  // keep texture coordinates (flag bit 0)

    explicit cMeshBuilder(bool with_texcoords) : textured(with_texcoords) {}

    uint32_t vertex(const V3& p, const V3& n, float u = 0.0f, float v = 0.0f);
    void triangle(uint32_t a, uint32_t b, uint32_t c);
    // A flat triangle whose normal follows its winding.
    void flat_triangle(const V3& a, const V3& b, const V3& c);
    // A flat quad a-b-c-d, counter-clockwise seen from its front.
    void flat_quad(const V3& a, const V3& b, const V3& c, const V3& d);
    // A box around `centre` with half-extents along three orthonormal axes.
    void box(const V3& centre, const V3& ax, const V3& ay, const V3& az, float hx, float hy, float hz);
    // A closed n-sided prism of `radius` from `a` to `b` (a strut).
    void strut(const V3& a, const V3& b, float radius, int sides);
    // A regular octahedron of `radius` around `centre`.
    void octahedron(const V3& centre, float radius);

    // Starts a material group: the following triangles use `material`.
    void begin_group(const cMaterial& material);
    // The finished data: flags set, group list closed.
    cMeshObj_data finish();
};

// Writes `mesh` to dir/name through the .bzobj writer; false on failure.
bool save_model(const cMeshObj_data& mesh, const std::string& dir, const std::string& name);

// A material as the self-illuminated and textured programs read it.
cMaterial colour_material(const std::string& name, float r, float g, float b);
cMaterial texture_material(const std::string& name, const std::string& map_Kd);
