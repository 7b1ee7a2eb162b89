#pragma once
// The rose: a thousand copies of a small model strung along a line, each
// turned a little further than the one before, so that together they sweep
// out a twisted ribbon of faint wireframe and point light. The picture is
// roughened with a grain overlay, given a glow and folded by the 2D
// kaleidoscope. The show uses two separate rose scenes; each owns its
// component, its parameter blocks and its note animators (made at
// construction and reused), so the two never share a value.
#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "post/post_glow.h"
#include "scenes/component.h"
#include "scenes/scene.h"
#include "vec3.h"

class iMesh;
template <typename T>
class cLerpAdd;

// The ribbon's geometry: every vertex of the model once per copy, as x, y,
// z and the copy's number, copy after copy; the triangles of each copy are
// the model's, moved onto that copy's vertices. No GL.
struct cRoseCopies {
    std::vector<float> vertices;    // x, y, z, copy number per vertex
    std::vector<uint32_t> indices;  // three per triangle
};
cRoseCopies build_rose_copies(const std::vector<float>& positions, const std::vector<uint32_t>& indices,
                              int32_t copies);

// The ribbon of turned copies. All copies sit in one buffer made by the
// first load(), and the program "rose_shader" turns, sizes and fades them,
// so that each pass is a single draw.
class cComponentRose : public iComponent {
public:
    cComponentRose() = default;
    ~cComponentRose() override;
    cComponentRose(const cComponentRose&) = delete;
    cComponentRose& operator=(const cComponentRose&) = delete;

    // The mesh from the cache and the ribbon's look; the first call also
    // builds the copies' buffers and registers the program.
    void load() override;
    // The copies as lines, then as brighter points, added by their alpha.
    void render(const cDemoClock& clock) override;

    iMesh* mesh = nullptr;          // the model copied, from the mesh cache
    double phase = 0.0;             // "f3": accumulated turn, radians
    float phase_offset = 0.0f;      // added to the phase, radians
    float rot_x = 0.0f;             // extra turn of every copy about x, degrees
    float rot_y = 0.0f;             // extra turn of every copy about y, degrees
    float xscale = 4.0f;            // "xscale": stretch of every copy along x
    float translation = 0.0f;       // "translation": distance between copies along x
    float speed = 1.0f;             // "speed": turning speed, radians per second
    float scale = 1.0f;             // "scale": added to every copy's size (at least 0 in all)
    Vec3<float> col{0.0f, 0.0f, 0.0f};  // "col": colour of the copies
    float alpha = 1.0f;             // "alpha": base opacity
    float kick = 0.0f;              // opacity added by notes; rebuilt every update
    float line_alpha_factor = 1.0f; // opacity factor of the point pass
    int32_t count = 1000;           // copies drawn; at most those built by the first load()

    uint32_t vertex_buffer = 0;     // the copies' vertices (cRoseCopies layout), 0 before load()
    uint32_t index_buffer = 0;      // the copies' triangles
    int32_t copies_built = 0;       // copies in the buffers
    uint32_t indices_per_copy = 0;  // the model's index count

private:
    void build_buffers();
    void draw_copies(const cDemoClock& clock, float a);
};

class cSceneRose : public cScene {
public:
    // Builds the value tables and the note animators; no GL.
    explicit cSceneRose(cDemoClock* clock_);

    std::string get_name() override { return "rose"; }
    // Camera, glow and grain values, the component; the first call also
    // makes the grain texture and the effects. Later calls add no GL object.
    void load() override;
    // A track-4 note adds a 300 ms fading opacity kick.
    void handle_event(cEvent* e) override;
    // The kicks of the last 300 ms add up afresh every update.
    bool update() override;
    // Ribbon, grain, blur, glow, kaleidoscope.
    cTmpRenderTarget render(int32_t time_ms) override;

    static constexpr int32_t KICK_TRACK = 4;
    static constexpr int32_t KICK_MS = 300;
    static constexpr float KICK_HEIGHT = 0.025f;
    static constexpr size_t KICK_SLOTS = 16;  // notes that can overlap; the oldest is reused

    cComponentRose rose;                 // the ribbon
    int32_t kaleido2d = 0;               // "kaleido2d": plane 0 (none) to 7
    int32_t half_res = 0;                // "half_res": 1 draws at half resolution
    cCutParams cut{RTT_QUATER, 200.0f, 128.0f};  // glow
    float grain_strength = 1.0f;         // opacity of the grain passes
    float grain_amount = 1.0f;           // grain scale: 1 = a texel per pixel, 0.1 = a texel per 10 pixels

    std::array<cLerpAdd<float>*, KICK_SLOTS> kicks{};  // in `animators`
    size_t next_kick = 0;                // slot the next note takes
};
