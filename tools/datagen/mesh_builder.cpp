#include "mesh_builder.h"

#include <cmath>
#include <iostream>

#include "mesh_files/bzobj.h"
#include "ornament.h"

uint32_t cMeshBuilder::vertex(const V3& p, const V3& n, float u, float v)
{
    const uint32_t index = static_cast<uint32_t>(mesh.vertex_count());
    mesh.positions.insert(mesh.positions.end(), {p.x, p.y, p.z});
    const V3 unit = n.normalized();
    mesh.normals.insert(mesh.normals.end(), {unit.x, unit.y, unit.z});
    if (textured)
        mesh.texcoords.insert(mesh.texcoords.end(), {u, v});
    return index;
}

void cMeshBuilder::triangle(uint32_t a, uint32_t b, uint32_t c)
{
    mesh.indices.insert(mesh.indices.end(), {a, b, c});
}

void cMeshBuilder::flat_triangle(const V3& a, const V3& b, const V3& c)
{
    const V3 n = (b - a).cross(c - a);
    const uint32_t i = vertex(a, n);
    triangle(i, vertex(b, n), vertex(c, n));
}

void cMeshBuilder::flat_quad(const V3& a, const V3& b, const V3& c, const V3& d)
{
    const V3 n = (b - a).cross(c - a) + (c - a).cross(d - a);
    const uint32_t i = vertex(a, n);
    const uint32_t j = vertex(b, n);
    const uint32_t k = vertex(c, n);
    const uint32_t l = vertex(d, n);
    triangle(i, j, k);
    triangle(i, k, l);
}

void cMeshBuilder::box(const V3& centre, const V3& ax, const V3& ay, const V3& az, float hx, float hy, float hz)
{
    const V3 x = ax * hx;
    const V3 y = ay * hy;
    const V3 z = az * hz;
    // Corner k has the signs of bits 0 (x), 1 (y), 2 (z).
    V3 c[8];
    for (int k = 0; k < 8; ++k)
        c[k] = centre + x * ((k & 1) ? 1.0f : -1.0f) + y * ((k & 2) ? 1.0f : -1.0f) + z * ((k & 4) ? 1.0f : -1.0f);
    // Each face counter-clockwise seen from outside (for a right-handed x, y, z).
    flat_quad(c[1], c[3], c[7], c[5]);  // +x
    flat_quad(c[0], c[4], c[6], c[2]);  // -x
    flat_quad(c[2], c[6], c[7], c[3]);  // +y
    flat_quad(c[0], c[1], c[5], c[4]);  // -y
    flat_quad(c[4], c[5], c[7], c[6]);  // +z
    flat_quad(c[0], c[2], c[3], c[1]);  // -z
}

void cMeshBuilder::strut(const V3& a, const V3& b, float radius, int sides)
{
    const V3 axis = (b - a).normalized();
    const V3 helper = std::fabs(axis.y) < 0.9f ? V3(0, 1, 0) : V3(1, 0, 0);
    const V3 s = axis.cross(helper).normalized();
    const V3 t = axis.cross(s);
    for (int k = 0; k < sides; ++k) {
        const float a0 = 2.0f * PI * static_cast<float>(k) / static_cast<float>(sides);
        const float a1 = 2.0f * PI * static_cast<float>(k + 1) / static_cast<float>(sides);
        const V3 r0 = (s * std::cos(a0) + t * std::sin(a0)) * radius;
        const V3 r1 = (s * std::cos(a1) + t * std::sin(a1)) * radius;
        // s, t, axis is right-handed, so increasing angle is counter-clockwise about the axis.
        flat_quad(a + r0, a + r1, b + r1, b + r0);
        flat_triangle(b, b + r0, b + r1);
        flat_triangle(a, a + r1, a + r0);
    }
}

void cMeshBuilder::octahedron(const V3& centre, float radius)
{
    const V3 px = centre + V3(radius, 0, 0), nx = centre + V3(-radius, 0, 0);
    const V3 py = centre + V3(0, radius, 0), ny = centre + V3(0, -radius, 0);
    const V3 pz = centre + V3(0, 0, radius), nz = centre + V3(0, 0, -radius);
    flat_triangle(px, py, pz);
    flat_triangle(py, nx, pz);
    flat_triangle(nx, ny, pz);
    flat_triangle(ny, px, pz);
    flat_triangle(py, px, nz);
    flat_triangle(nx, py, nz);
    flat_triangle(ny, nx, nz);
    flat_triangle(px, ny, nz);
}

void cMeshBuilder::begin_group(const cMaterial& material)
{
    const int first = static_cast<int>(mesh.indices.size());
    if (!mesh.groups.empty() && mesh.groups.back().first_index == first)
        mesh.groups.pop_back();  // an empty group would not start a triangle
    mesh.groups.push_back({first, static_cast<int>(mesh.materials.size())});
    mesh.materials.push_back(material);
}

cMeshObj_data cMeshBuilder::finish()
{
    mesh.flags = MESH_NORMALS | (textured ? MESH_TEXCOORDS : 0);
    if (!mesh.materials.empty()) {
        mesh.flags |= MESH_GROUPS;
        mesh.groups.push_back({static_cast<int>(mesh.indices.size()), -1});
    }
    return mesh;
}

bool save_model(const cMeshObj_data& mesh, const std::string& dir, const std::string& name)
{
    return bobj_save_compressed(dir + "/" + name, mesh);
}

cMaterial colour_material(const std::string& name, float r, float g, float b)
{
    cMaterial m(name);
    m.Ka = {0.0f, 0.0f, 0.0f, 1.0f};
    m.Kd = {r, g, b, 1.0f};
    m.Ks = {0.0f, 0.0f, 0.0f, 1.0f};
    m.illum = 1;  // diffuse and ambient, no highlight: the glow comes from the program
    return m;
}

cMaterial texture_material(const std::string& name, const std::string& map_Kd)
{
    cMaterial m = colour_material(name, 1.0f, 1.0f, 1.0f);
    m.map_Kd = map_Kd;
    return m;
}
