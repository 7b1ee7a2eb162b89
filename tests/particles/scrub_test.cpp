#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <deque>
#include <set>

#include "particles/random_table.h"
#include "particles/scrub.h"

namespace {

// Keeps the z range and size of every closed block, and retires them the
// way the GL pool does.
class cRecordingStore : public iScrubBlockStore {
public:
    struct cBlock {
        float z_min, z_max;
        uint32_t vertices, indices;
    };
    void endRenderBlock() override
    {
        ++closes;
        if (scrub)
            fronts.push_back(scrub->params.front);
        if (!fill.empty()) {
            blocks.push_back({fill.z_min, fill.z_max, fill.vertex_count(), static_cast<uint32_t>(fill.indices.size())});
            total_vertices += fill.vertex_count();
        }
        fill.reset();
    }
    void drop(float tail) override
    {
        while (!blocks.empty() && blocks.front().z_max < tail)
            blocks.pop_front();
    }
    const cScrub* scrub = nullptr;
    std::deque<cBlock> blocks;
    std::vector<float> fronts;
    int closes = 0;
    uint64_t total_vertices = 0;
};

size_t edge_count(const cScrub& s)
{
    size_t ends = 0;
    for (const cScrubNode& n : s.nodes)
        ends += n.nbors.size();
    return ends / 2;
}

void expect_consistent_graph(const cScrub& s)
{
    std::set<const cScrubNode*> live;
    for (const cScrubNode& n : s.nodes)
        live.insert(&n);
    for (const cScrubNode& n : s.nodes) {
        ASSERT_EQ(n.nbors.size(), n.tubes.size());
        std::set<const cScrubNode*> seen;
        for (const cScrubNode* m : n.nbors) {
            ASSERT_NE(m, &n);
            ASSERT_TRUE(live.count(m)) << "neighbour pointer to a removed node";
            ASSERT_TRUE(seen.insert(m).second) << "duplicate neighbour";
            ASSERT_NE(std::find(m->nbors.begin(), m->nbors.end(), &n), m->nbors.end()) << "one-sided join";
        }
    }
}

}  // namespace

TEST(ScrubTest, LongRangeIsSplitIntoEqualSlabs)
{
    cRecordingStore store;
    cScrub scrub(store);
    store.scrub = &scrub;
    scrub.grow(10.0f, 24.5f);
    ASSERT_EQ(store.fronts.size(), 8u);
    for (int k = 0; k < 8; ++k)
        EXPECT_FLOAT_EQ(store.fronts[k], 10.0f + 1.8125f * (k + 1));
    EXPECT_EQ(scrub.params.front, 24.5f);
}

TEST(ScrubTest, SlabSeeksTheExpectedNodeCount)
{
    cRecordingStore store;
    cScrub scrub(store);
    scrub.params.min_dist = 0.0f;  // nothing is rejected
    rand_index = 0;
    scrub.grow(0.0f, 1.0f);
    EXPECT_EQ(scrub.nodes.size(), 78u);
    EXPECT_EQ(rand_index, 78u * 3);
    for (const cScrubNode& n : scrub.nodes) {
        const float r = std::hypot(n.pos.x - 10.0f, n.pos.y - 10.0f);
        EXPECT_GE(r, 0.999f);
        EXPECT_LE(r, 1.501f);
        EXPECT_GE(n.pos.z, 0.0f);
        EXPECT_LT(n.pos.z, 1.0f);
    }
}

TEST(ScrubTest, CandidatesTooCloseAreRejected)
{
    cRecordingStore store;
    cScrub scrub(store);
    scrub.params.min_dist = 1.6f;
    rand_index = 0;
    scrub.grow(0.0f, 1.0f);
    // Gives up after 4 x 78 candidates with the slab far from full.
    EXPECT_LT(scrub.nodes.size(), 20u);
    EXPECT_GT(scrub.nodes.size(), 1u);
    EXPECT_EQ(rand_index, 4u * 78 * 3);
    for (const cScrubNode& a : scrub.nodes)
        for (const cScrubNode& b : scrub.nodes) {
            if (&a != &b) {
                EXPECT_GE((a.pos - b.pos).length(), 1.6f);
            }
        }
}

TEST(ScrubTest, JoinsAreSymmetricAndLocal)
{
    cRecordingStore store;
    cScrub scrub(store);
    scrub.grow(0.0f, 10.0f);
    ASSERT_GT(scrub.nodes.size(), 50u);
    expect_consistent_graph(scrub);
    size_t more_than_asked = 0;
    for (const cScrubNode& n : scrub.nodes) {
        EXPECT_FALSE(n.nbors.empty());
        more_than_asked += n.nbors.size() > 2 ? 1 : 0;
        for (const cScrubNode* m : n.nbors)
            EXPECT_LT((m->pos - n.pos).length(), 2.0f * std::sqrt(3.0f) + 0.01f);
        for (const cScrubNode& o : scrub.nodes) {
            if (&o != &n) {
                EXPECT_GE((o.pos - n.pos).length(), 0.5f);
            }
        }
    }
    EXPECT_GT(more_than_asked, 0u);  // later nodes join earlier ones beyond num_nbors
}

TEST(ScrubTest, StraightTubesAreBuiltAtJoinTime)
{
    cRecordingStore store;
    cScrub scrub(store);
    scrub.params.use_spline = false;
    scrub.grow(0.0f, 2.0f);
    const size_t edges = edge_count(scrub);
    ASSERT_GT(edges, 0u);
    EXPECT_EQ(store.total_vertices, edges * 2 * SCRUB_TUBE_SIDES);
    for (const auto& b : store.blocks) {
        EXPECT_EQ(b.indices % 3, 0u);
        EXPECT_EQ(b.indices, b.vertices / 2 * 6);  // two triangles per side
    }
    // Framing the nodes later builds nothing twice.
    scrub.update(-100.0f, 0.0f);
    scrub.params.front = 100.0f;
    scrub.update(-100.0f, 0.0f);
    EXPECT_EQ(store.total_vertices, edges * 2 * SCRUB_TUBE_SIDES);
}

TEST(ScrubTest, CurvedTubesWaitForBothFramesAndFollowThem)
{
    cRecordingStore store;
    cScrub scrub(store);
    scrub.grow(0.0f, 2.0f);
    EXPECT_EQ(store.total_vertices, 0u);  // nothing until frames exist
    scrub.params.front = 100.0f;           // every node is now far behind the front
    scrub.update(-100.0f, 0.0f);
    const size_t edges = edge_count(scrub);
    EXPECT_EQ(store.total_vertices, edges * (SCRUB_SPLINE_SEGMENTS + 1) * SCRUB_TUBE_SIDES);
    for (const cScrubNode& n : scrub.nodes) {
        EXPECT_TRUE(n.framed);
        EXPECT_NEAR(n.frame[0].length(), 1.0f, 1e-5f);
        EXPECT_NEAR(n.frame[0].dot(n.frame[1]), 0.0f, 1e-5f);
        EXPECT_TRUE(std::all_of(n.tubes.begin(), n.tubes.end(), [](uint8_t t) { return t == 1; }));
    }
}

TEST(ScrubTest, CurvedTubeStartsAndEndsAtItsNodes)
{
    cScrubGeometry g;
    const Vec3<float> a(0, 0, 0), b(0, 0, 2);
    g.add_curved_tube(a, Vec3<float>(2, 0, 0), b, Vec3<float>(2, 0, 0), 0.1f);
    ASSERT_EQ(g.vertex_count(), static_cast<uint32_t>((SCRUB_SPLINE_SEGMENTS + 1) * SCRUB_TUBE_SIDES));
    float max_x = 0.0f;
    for (uint32_t v = 0; v < g.vertex_count(); ++v) {
        const Vec3<float> p(g.vertices[6 * v], g.vertices[6 * v + 1], g.vertices[6 * v + 2]);
        const Vec3<float> n(g.vertices[6 * v + 3], g.vertices[6 * v + 4], g.vertices[6 * v + 5]);
        EXPECT_NEAR(n.length(), 1.0f, 1e-5f);
        max_x = std::max(max_x, p.x);
        if (v < SCRUB_TUBE_SIDES) {
            EXPECT_NEAR((p - a).length(), 0.1f, 1e-5f);
            EXPECT_NEAR(n.dot(Vec3<float>(1, 0, 0)), 0.0f, 1e-5f);  // ring faces the tangent
        }
    }
    EXPECT_GT(max_x, 0.2f);  // bent out along the tangents, beyond a straight tube's 0.1
    EXPECT_TRUE(g.z_min >= -0.1f && g.z_min < -0.08f);
    EXPECT_TRUE(g.z_max <= 2.1f && g.z_max > 2.08f);
}

TEST(ScrubTest, HashFindsEachNodeOnceDespiteCollisions)
{
    cScrubHash hash(1);  // every cell shares the one bucket
    hash.clear(1.0f);
    std::vector<cScrubNode> nodes(3);
    nodes[0].pos = {0.5f, 0.5f, -0.5f};
    nodes[1].pos = {1.5f, 0.2f, -1.2f};
    nodes[2].pos = {5.0f, 5.0f, 5.0f};  // far away: other cell
    for (cScrubNode& n : nodes)
        hash.insert(&n);
    std::vector<cScrubNode*> near;
    hash.gather({0.6f, 0.6f, -0.4f}, near);
    EXPECT_EQ(near.size(), 2u);
    float dist = 0.0f;
    EXPECT_EQ(hash.nearest({1.4f, 0.2f, -1.2f}, dist), &nodes[1]);
    EXPECT_NEAR(dist, 0.1f, 1e-5f);
    EXPECT_EQ(hash.nearest({20, 20, 20}, dist), nullptr);
    cScrubHash big(4096);
    EXPECT_GE(big.bucket_of({-7, -3, -100000}), 0);
}

TEST(ScrubTest, HashEntriesGrow)
{
    cScrubHash hash(64);
    hash.clear(1.0f);
    std::vector<cScrubNode> nodes(2500);
    for (size_t i = 0; i < nodes.size(); ++i) {
        nodes[i].pos = {static_cast<float>(i % 50), static_cast<float>(i / 50), 0.0f};
        hash.insert(&nodes[i]);
    }
    EXPECT_EQ(hash.entries.size(), 3000u);  // 0 -> 1000 -> 3000
    std::vector<cScrubNode*> near;
    hash.gather({10.5f, 10.5f, 0.0f}, near);
    EXPECT_EQ(near.size(), 9u);
}

TEST(ScrubTest, MemoryStaysBoundedOverTenMinutes)
{
    cRecordingStore store;
    cScrub scrub(store);
    float front = 10.0f;
    scrub.update(10.0f, 24.0f);
    scrub.update(10.0f, 24.0f);
    size_t max_nodes[2] = {0, 0}, max_blocks[2] = {0, 0}, max_entries[2] = {0, 0};
    const int frames = 10 * 60 * 60;  // ten minutes at 60 frames per second
    for (int f = 0; f < frames; ++f) {
        front += 3.5f / 60.0f;
        scrub.update(front, front + 14.0f);
        const int half = f < 3600 ? 0 : 1;  // first minute, then the rest
        max_nodes[half] = std::max(max_nodes[half], scrub.nodes.size());
        max_blocks[half] = std::max(max_blocks[half], store.blocks.size());
        max_entries[half] = std::max(max_entries[half], scrub.hash.entries.size());
    }
    EXPECT_GT(front, 2000.0f);
    EXPECT_LE(max_nodes[1], max_nodes[0] * 6 / 5);
    EXPECT_LE(max_blocks[1], max_blocks[0] * 6 / 5);
    EXPECT_EQ(max_entries[1], max_entries[0]);
    EXPECT_LE(store.fill.vertices.capacity(), 100000u);
    for (const cScrubNode& n : scrub.nodes)
        EXPECT_GE(n.pos.z, front);
    for (const auto& b : store.blocks)
        EXPECT_GE(b.z_max, front);
    expect_consistent_graph(scrub);
}

TEST(ScrubTest, RemovalUnlinksAndBackwardsFrontDoesNotRegrow)
{
    cRecordingStore store;
    cScrub scrub(store);
    scrub.update(10.0f, 24.0f);
    scrub.update(15.0f, 24.0f);
    expect_consistent_graph(scrub);
    const size_t count = scrub.nodes.size();
    for (const cScrubNode& n : scrub.nodes)
        EXPECT_GE(n.pos.z, 15.0f);
    scrub.update(12.0f, 22.0f);  // moving back: nothing behind 15 comes back
    EXPECT_EQ(scrub.nodes.size(), count);
    for (const cScrubNode& n : scrub.nodes)
        EXPECT_GE(n.pos.z, 15.0f);
}
