#pragma once
// The block being filled with scrub geometry: interleaved vertices
// (position, normal) and triangle indices, with the z range they cover, and
// the tube builders that write into it. The arrays keep their capacity
// between blocks, so a steady scrub stops allocating after warm-up. No GL.
#include <cstdint>
#include <vector>

#include "particles/vec3_ops.h"
#include "vec3.h"

constexpr int SCRUB_TUBE_SIDES = 6;         // vertices around each ring of a tube
constexpr int SCRUB_SPLINE_SEGMENTS = 4;    // rings - 1 along a curved tube

struct cScrubGeometry {
    std::vector<float> vertices;    // 6 floats per vertex: position xyz, normal xyz
    std::vector<uint32_t> indices;  // three per triangle, into this block's vertices
    float z_min = 1e12f;            // smallest z of any vertex (1e12 while empty)
    float z_max = -1e12f;           // largest z of any vertex (-1e12 while empty)

    uint32_t vertex_count() const { return static_cast<uint32_t>(vertices.size() / 6); }
    bool empty() const { return vertices.empty(); }
    void reset();
    void add_vertex(const Vec3<float>& pos, const Vec3<float>& normal);
    void add_triangle(uint32_t a, uint32_t b, uint32_t c);

    // A closed-side tube of `radius` through `count` centre points with the
    // given tangents; rings keep a twist-free orientation along the curve.
    void add_tube(const Vec3<float>* centres, const Vec3<float>* tangents, int count, float radius);
    void add_straight_tube(const Vec3<float>& a, const Vec3<float>& b, float radius);
    // Cubic Hermite tube from a to b leaving a along ta and arriving along tb
    // (both scaled to the chord length), so branches through a node join smoothly.
    void add_curved_tube(const Vec3<float>& a, const Vec3<float>& ta, const Vec3<float>& b,
                         const Vec3<float>& tb, float radius);
};

// Any unit vector perpendicular to the unit vector `t`.
Vec3<float> any_perpendicular(const Vec3<float>& t);
