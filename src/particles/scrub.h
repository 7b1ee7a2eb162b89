#pragma once
// The growing scrub: a random graph of nodes inside a cylindrical shell
// around the line x = y = 10, joined to their nearest neighbours and drawn
// as tubes. Growth happens in slabs ahead of a front; everything behind the
// tail is thrown away, nodes here and their geometry blocks in the store, so
// memory stays bounded however long it grows.
//
// cScrub owns its nodes (a list in creation order) and its spatial hash. The
// block store (the GL buffer pool in the scene, a recorder in tests) is
// owned by the caller and must outlive the scrub. No GL here.
#include <cstdint>
#include <list>
#include <vector>

#include "particles/scrub_geometry.h"
#include "vec3.h"

struct cScrubNode {
    std::vector<cScrubNode*> nbors;  // joined nodes; symmetric
    Vec3<float> pos;                 // world position
    Vec3<float> frame[3];            // [0] along the branches; zero until the geometry is built
    bool framed = false;             // frame computed and geometry emitted
    std::vector<uint8_t> tubes;      // per nbors entry: 1 once the tube to it is built
};

// Returns false when b is already joined to a; otherwise joins both ways.
bool connect(cScrubNode* a, cScrubNode* b);

// Takes finished blocks from the scrub. The scrub writes into `fill` and
// calls endRenderBlock() to close the block; drop() retires blocks from the
// front of the store's list while the first one lies wholly behind `tail`.
class iScrubBlockStore {
public:
    virtual ~iScrubBlockStore() = default;
    virtual void endRenderBlock() = 0;
    virtual void drop(float tail) = 0;

    cScrubGeometry fill;  // the block being filled
};

// Uniform grid hashed into a fixed bucket array; rebuilt for every slab.
class cScrubHash {
public:
    struct cEntry {
        cScrubNode* node;  // hashed node
        int32_t next;      // next entry of the bucket chain, -1 = end
    };
    struct cCell {
        int32_t x, y, z;  // cell coordinates (position / cell size, truncated)
        bool operator==(const cCell&) const = default;
    };

    explicit cScrubHash(int bucket_count = 4096);

    void clear(float cell_size);
    void insert(cScrubNode* node);
    // Nearest node within the 27 cells around p (null when there is none)
    // and its distance.
    cScrubNode* nearest(const Vec3<float>& p, float& dist) const;
    // Appends the nodes of the 27 cells around p, each once.
    void gather(const Vec3<float>& p, std::vector<cScrubNode*>& out) const;
    cCell cell_of(const Vec3<float>& p) const;
    int bucket_of(const cCell& c) const;

    std::vector<int32_t> buckets;  // first entry of each chain, -1 = empty
    std::vector<cEntry> entries;   // entry storage; grows to 2 * size + 1000 when full
    int32_t used = 0;              // entries in use
    float cx = 1, cy = 1, cz = 1;  // cell sizes, world units
    int64_t px = 73856093, py = 19349663, pz = 83492791;  // cell-coordinate multipliers

private:
    template <typename F>
    void for_each_near(const Vec3<float>& p, F&& f) const;
};

class cScrub {
public:
    struct cParams {
        float density = 20.0f;          // "density": nodes per unit volume of the shell, 2..20
        float radius = 1.0f;            // inner radius of the shell
        float radial_depth = 0.5f;      // "radialDepth": shell thickness, 0.5..15
        float min_dist = 0.5f;          // "minNborNodeDist": least distance between nodes, 0..1.6
        float cylinder_radius = 0.03f;  // "cylinderRadius": tube radius, 0.01..0.1
        float num_nbors = 2.0f;         // "numNbors": neighbours a new node joins, 2..10
        int32_t defer_geometry = 0;     // 0: a tube is built as soon as two nodes are joined
        float front = 0.0f;             // z up to which the scrub has grown
        bool use_spline = true;         // curved tubes through the nodes
    };

    explicit cScrub(iScrubBlockStore& store);

    // Builds geometry for nodes well behind the growth front, grows to
    // head + 0.5 and discards everything behind tail.
    void update(float tail, float head);
    // Adds nodes to the slab z0 .. z1, split into slabs no longer than 2.5.
    void grow(float z0, float z1);

    static constexpr float SLAB_MAX = 2.5f;         // longest slab filled at once
    static constexpr float FRAME_LAG = 1.0f;        // geometry is built this far behind the front

    cParams params;                // growth parameters
    std::list<cScrubNode> nodes;   // creation order
    cScrubHash hash;               // neighbour lookup for the current slab
    iScrubBlockStore& store;       // receives the geometry blocks

private:
    void fill_slab(float z0, float z1);
    void scatter(float z0, float z1, std::vector<cScrubNode*>& created);
    void join(cScrubNode* n);
    void build_frame(cScrubNode& n);
    void build_tube(cScrubNode& a, cScrubNode& b, bool curved);
    void mark_tube(cScrubNode& a, cScrubNode& b);
    void remove_behind(float tail);

    std::vector<cScrubNode*> created_;   // new nodes of the slab being filled
    std::vector<cScrubNode*> gathered_;  // join candidates of one node
};
