#pragma once
// Billboard renderer of a particle system. It owns three GL buffers, created
// by init() at load time and deleted with the renderer: the centres (one
// 48-byte record per particle, refilled through a mapping), the corner index
// of every vertex and the triangle indices (both written once).
//
// Frames run one behind: render() draws what the previous call copied and
// then copies the current particles into the mapped centre buffer, which
// stays mapped until the next render(). Nothing else may use that buffer in
// between.
//
// Vertex contract of the billboard program: vertex v = 4n + j is corner j of
// live particle n. The corner index j (0.0 .. 3.0) comes in texture
// coordinate set 3 (x); the centre (xyz) comes in the attribute that j
// selects: j = 0 the vertex position, j = 1 texture set 0, j = 2 set 1,
// j = 3 set 2. The other three of those attributes hold unrelated bytes.
// The triangles are (0, 1, 2) and (1, 3, 2) of each quad.
#include <cstdint>
#include <string>

#include "values/var.h"

class cParticleSystem;

class iParticleSystemRender {
public:
    virtual ~iParticleSystemRender() = default;
    virtual void render(cParticleSystem& ps, const std::string& shader) = 0;
    virtual void init(int capacity) = 0;
};

class cPSRenderBillboards : public iParticleSystemRender {
public:
    cPSRenderBillboards() = default;
    ~cPSRenderBillboards() override;
    cPSRenderBillboards(const cPSRenderBillboards&) = delete;
    cPSRenderBillboards& operator=(const cPSRenderBillboards&) = delete;

    void init(int capacity) override;
    void render(cParticleSystem& ps, const std::string& shader) override;

    static constexpr int CENTRE_STRIDE = 48;  // bytes per particle in centre_buffer
    static constexpr int CENTRE_OFFSET = 36;  // byte of the centre inside its record

    uint32_t corner_buffer = 0;  // GL buffer: one float corner index per vertex
    uint32_t centre_buffer = 0;  // GL buffer: particle centres at 48n + 36
    uint32_t index_buffer = 0;   // GL buffer: six uint32 indices per particle
    int32_t draw_count = 0;      // particles in the data being drawn
    int32_t pending_count = -1;  // particles written into the mapped buffer, -1 = none
    int32_t pending_time = -1;   // demo time (ms) of the pending fill
    int32_t drawn_time = -1;     // demo time (ms) of the data being drawn
    bool mapped = false;         // centre_buffer is mapped and holds the pending fill
    float intensity = 0.25f;     // "particle_intensity" of the default program
    int32_t capacity = 0;        // particles the buffers hold

private:
    void draw(const std::string& shader);
    // Handed to "pexpshader" on each draw; held here so drawing allocates nothing.
    float particle_size = 0.5f;
    cVar<float> size_var{"particle_size", &particle_size};
    cVar<float> intensity_var{"particle_intensity", &intensity};

    void fill(const cParticleSystem& ps);
};
