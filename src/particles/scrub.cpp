#include "particles/scrub.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "particles/random_table.h"

// ---- joining ------------------------------------------------------------------

bool connect(cScrubNode* a, cScrubNode* b)
{
    if (std::find(a->nbors.begin(), a->nbors.end(), b) != a->nbors.end())
        return false;
    a->nbors.push_back(b);
    a->tubes.push_back(0);
    b->nbors.push_back(a);
    b->tubes.push_back(0);
    return true;
}

// ---- spatial hash -----------------------------------------------------------

cScrubHash::cScrubHash(int bucket_count) : buckets(bucket_count, -1) {}

void cScrubHash::clear(float cell_size)
{
    std::fill(buckets.begin(), buckets.end(), -1);
    used = 0;
    cx = cy = cz = cell_size;
}

cScrubHash::cCell cScrubHash::cell_of(const Vec3<float>& p) const
{
    return {static_cast<int32_t>(p.x / cx), static_cast<int32_t>(p.y / cy), static_cast<int32_t>(p.z / cz)};
}

int cScrubHash::bucket_of(const cCell& c) const
{
    const int64_t count = static_cast<int64_t>(buckets.size());
    // Wrapping in unsigned arithmetic keeps large coordinates well defined.
    const uint64_t h = static_cast<uint64_t>(c.x) * static_cast<uint64_t>(px) +
                       static_cast<uint64_t>(c.y) * static_cast<uint64_t>(py) +
                       static_cast<uint64_t>(c.z) * static_cast<uint64_t>(pz);
    int64_t b = static_cast<int64_t>(h) % count;
    if (b < 0)
        b += count;
    return static_cast<int>(b);
}

void cScrubHash::insert(cScrubNode* node)
{
    if (used == static_cast<int32_t>(entries.size()))
        entries.resize(entries.size() * 2 + 1000);
    const int b = bucket_of(cell_of(node->pos));
    entries[used] = {node, buckets[b]};
    buckets[b] = used++;
}

template <typename F>
void cScrubHash::for_each_near(const Vec3<float>& p, F&& f) const
{
    const cCell centre = cell_of(p);
    for (int dz = -1; dz <= 1; ++dz)
        for (int dy = -1; dy <= 1; ++dy)
            for (int dx = -1; dx <= 1; ++dx) {
                const cCell c = {centre.x + dx, centre.y + dy, centre.z + dz};
                // Other cells may share the bucket: only this cell's nodes count,
                // which also keeps a node from being visited twice.
                for (int32_t e = buckets[bucket_of(c)]; e >= 0; e = entries[e].next)
                    if (cell_of(entries[e].node->pos) == c)
                        f(entries[e].node);
            }
}

cScrubNode* cScrubHash::nearest(const Vec3<float>& p, float& dist) const
{
    cScrubNode* best = nullptr;
    float best_sq = 0.0f;
    for_each_near(p, [&](cScrubNode* n) {
        const float d = length_sq(n->pos - p);
        if (!best || d < best_sq) {
            best = n;
            best_sq = d;
        }
    });
    dist = std::sqrt(best_sq);
    return best;
}

void cScrubHash::gather(const Vec3<float>& p, std::vector<cScrubNode*>& out) const
{
    for_each_near(p, [&](cScrubNode* n) { out.push_back(n); });
}

// ---- growth -------------------------------------------------------------------

cScrub::cScrub(iScrubBlockStore& store_) : store(store_) {}

void cScrub::update(float tail, float head)
{
    for (cScrubNode& n : nodes)
        if (!n.nbors.empty() && n.pos.z < params.front - FRAME_LAG && !n.framed)
            build_frame(n);
    store.endRenderBlock();
    if (params.front < head)
        grow(params.front, head + 0.5f);
    remove_behind(tail);
    store.drop(tail);
}

void cScrub::grow(float z0, float z1)
{
    if (std::fabs(z0 - z1) > SLAB_MAX) {
        const float m = (z0 + z1) * 0.5f;
        grow(z0, m);
        grow(m, z1);
        return;
    }
    fill_slab(z0, z1);
}

void cScrub::fill_slab(float z0, float z1)
{
    // Cells at least min_dist wide make the 27-cell search exact for the
    // rejection test: anything outside is farther than min_dist anyway.
    hash.clear(std::max(1.0f, params.min_dist));
    for (cScrubNode& n : nodes)
        hash.insert(&n);
    created_.clear();
    scatter(z0, z1, created_);
    for (cScrubNode* n : created_)
        if (static_cast<float>(n->nbors.size()) < params.num_nbors)
            join(n);
    params.front = z1;
    store.endRenderBlock();
}

void cScrub::scatter(float z0, float z1, std::vector<cScrubNode*>& created)
{
    const double r_in = params.radius, r_out = params.radius + params.radial_depth;
    const double area = r_out * r_out - r_in * r_in;
    const double length = z1 - z0;
    const int wanted = static_cast<int>(std::trunc(area * std::numbers::pi * length * params.density));
    int accepted = 0;
    for (int tries = 0; tries < 4 * wanted && accepted < wanted; ++tries) {
        const double r1 = frand(), r2 = frand(), r3 = frand();
        const double angle = r1 * 2.0 * std::numbers::pi;
        const double r = std::sqrt(r2 * area + r_in * r_in);  // uniform over the annulus
        const Vec3<float> p(static_cast<float>(std::cos(angle) * r + 10.0),
                            static_cast<float>(std::sin(angle) * r + 10.0),
                            static_cast<float>(r3 * length + z0));
        float dist = 0.0f;
        if (hash.nearest(p, dist) && dist < params.min_dist)
            continue;
        nodes.emplace_back();
        cScrubNode* n = &nodes.back();
        n->pos = p;
        hash.insert(n);
        created.push_back(n);
        ++accepted;
    }
}

void cScrub::join(cScrubNode* n)
{
    gathered_.clear();
    hash.gather(n->pos, gathered_);
    gathered_.erase(std::remove(gathered_.begin(), gathered_.end(), n), gathered_.end());
    for (int k = 0; k < params.num_nbors; ++k) {
        int best = -1;
        float best_sq = 1e9f;
        for (int i = 0; i < static_cast<int>(gathered_.size()); ++i) {
            const float d = length_sq(gathered_[i]->pos - n->pos);
            if (d < best_sq) {
                best_sq = d;
                best = i;
            }
        }
        if (best < 0)
            break;
        cScrubNode* m = gathered_[best];
        // Curved tubes need both ends' frames, so they wait for build_frame.
        if (connect(n, m) && params.defer_geometry == 0 && !params.use_spline)
            build_tube(*n, *m, false);
        gathered_[best] = gathered_.back();
        gathered_.pop_back();
    }
}

void cScrub::build_frame(cScrubNode& n)
{
    n.frame[0] = {1, 0, 0};
    n.frame[1] = {0, 1, 0};
    n.frame[2] = {0, 0, 1};
    // Branches through the node count alike in either direction, so a
    // straight run through it keeps its direction instead of cancelling.
    const Vec3<float> first = (n.nbors[0]->pos - n.pos).normalized();
    Vec3<float> axis;
    for (cScrubNode* m : n.nbors) {
        const Vec3<float> d = (m->pos - n.pos).normalized();
        axis += dot(d, first) < 0.0f ? -d : d;
    }
    axis = length_sq(axis) > 1e-12f ? axis.normalized() : first;
    if (length_sq(axis) > 0.5f) {
        n.frame[0] = axis;
        n.frame[1] = any_perpendicular(axis);
        n.frame[2] = axis.cross(n.frame[1]);
    }
    n.framed = true;
    for (size_t i = 0; i < n.nbors.size(); ++i)
        if (!n.tubes[i] && n.nbors[i]->framed)
            build_tube(n, *n.nbors[i], params.use_spline);
}

void cScrub::build_tube(cScrubNode& a, cScrubNode& b, bool curved)
{
    if (curved) {
        const Vec3<float> chord = b.pos - a.pos;
        const float len = chord.length();
        const Vec3<float> ta = a.frame[0] * (dot(a.frame[0], chord) < 0.0f ? -len : len);
        const Vec3<float> tb = b.frame[0] * (dot(b.frame[0], chord) < 0.0f ? -len : len);
        store.fill.add_curved_tube(a.pos, ta, b.pos, tb, params.cylinder_radius);
    } else {
        store.fill.add_straight_tube(a.pos, b.pos, params.cylinder_radius);
    }
    mark_tube(a, b);
}

void cScrub::mark_tube(cScrubNode& a, cScrubNode& b)
{
    for (size_t i = 0; i < a.nbors.size(); ++i)
        if (a.nbors[i] == &b)
            a.tubes[i] = 1;
    for (size_t i = 0; i < b.nbors.size(); ++i)
        if (b.nbors[i] == &a)
            b.tubes[i] = 1;
}

void cScrub::remove_behind(float tail)
{
    for (auto it = nodes.begin(); it != nodes.end();) {
        if (it->pos.z >= tail) {
            ++it;
            continue;
        }
        // Survivors must not keep a pointer to the node going away.
        for (cScrubNode* m : it->nbors) {
            for (size_t i = 0; i < m->nbors.size(); ++i)
                if (m->nbors[i] == &*it) {
                    m->nbors.erase(m->nbors.begin() + i);
                    m->tubes.erase(m->tubes.begin() + i);
                    break;
                }
        }
        it = nodes.erase(it);
    }
}
