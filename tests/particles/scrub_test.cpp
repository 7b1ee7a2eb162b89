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
    std::deque<cBlock> blocks;
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

TEST(ScrubTest, SlabSeeksTheExpectedCountAndRejectsCloseCandidates)
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
        EXPECT_TRUE(r >= 0.999f && r <= 1.501f && n.pos.z >= 0.0f && n.pos.z < 1.0f);
    }
    cScrub sparse(store);
    sparse.params.min_dist = 1.6f;
    rand_index = 0;
    sparse.grow(0.0f, 1.0f);
    // Gives up after 4 x 78 candidates, far from full.
    EXPECT_LT(sparse.nodes.size(), 20u);
    EXPECT_EQ(rand_index, 4u * 78 * 3);
    for (const cScrubNode& a : sparse.nodes)
        for (const cScrubNode& b : sparse.nodes) {
            if (&a != &b) {
                EXPECT_GE((a.pos - b.pos).length(), 1.6f);
            }
        }
}

TEST(ScrubTest, EachTubeIsBuiltOnceStraightAtJoinOrCurvedAfterBothFrames)
{
    for (bool spline : {false, true}) {
        cRecordingStore store;
        cScrub scrub(store);
        scrub.params.use_spline = spline;
        scrub.grow(0.0f, 2.0f);
        const size_t edges = edge_count(scrub);
        ASSERT_GT(edges, 0u);
        EXPECT_EQ(store.total_vertices, spline ? 0u : edges * 2 * SCRUB_TUBE_SIDES);
        scrub.params.front = 100.0f;  // every node is now far behind the front
        scrub.update(-100.0f, 0.0f);
        const size_t rings = spline ? SCRUB_SPLINE_SEGMENTS + 1 : 2;
        EXPECT_EQ(store.total_vertices, edges * rings * SCRUB_TUBE_SIDES) << spline;
        for (const auto& b : store.blocks)
            EXPECT_EQ(b.indices, b.vertices / rings * (rings - 1) * 6);
        for (const cScrubNode& n : scrub.nodes) {
            EXPECT_NEAR(n.frame[0].length(), 1.0f, 1e-5f);
            EXPECT_NEAR(dot(n.frame[0], n.frame[1]), 0.0f, 1e-5f);
        }
    }
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
    expect_consistent_graph(scrub);  // removed nodes are unlinked from survivors
    // Moving back does not regrow what the tail passed.
    const size_t count = scrub.nodes.size();
    scrub.update(front - 5.0f, front + 9.0f);
    EXPECT_EQ(scrub.nodes.size(), count);
}
