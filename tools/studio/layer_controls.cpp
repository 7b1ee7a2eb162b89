#include "layer_controls.h"

#include <algorithm>

#include "scenes/composition.h"
#include "values/interpolator.h"

void active_layer_keys(const cSceneComposition& composition, int32_t t, std::vector<int32_t>& keys)
{
    keys.clear();
    for (const auto& [key, layer] : composition.layers)
        if (layer.active_at(t))
            keys.push_back(key);
}

// ---- solo ---------------------------------------------------------------------

void cStudioSolo::hide_others(cSceneComposition& composition)
{
    saved.clear();
    if (key < 0)
        return;
    for (auto& [k, layer] : composition.layers) {
        if (k == key)
            continue;
        saved.push_back({k, layer.start, layer.end});
        layer.start = 1;
        layer.end = 0;
    }
}

void cStudioSolo::restore_windows(cSceneComposition& composition)
{
    for (const cSavedWindow& w : saved) {
        cSceneLayer& layer = composition.layers.at(w.key);
        layer.start = w.start;
        layer.end = w.end;
    }
    saved.clear();
}

// ---- hold ---------------------------------------------------------------------

namespace {

bool writes_published_var(const cInterpolator* a, cScene& scene)
{
    for (const tGuiEntry& entry : scene.get_vars())
        if (a->var && a->var == entry.first)
            return true;
    return false;
}

}  // namespace

bool cStudioHold::holds(int32_t key) const
{
    return std::any_of(held.begin(), held.end(), [key](const cHeldLayer& h) { return h.key == key; });
}

void cStudioHold::hold(cSceneComposition& composition, int32_t key)
{
    auto it = composition.layers.find(key);
    if (it == composition.layers.end() || holds(key))
        return;
    cScene* scene = it->second.scene;
    // Two layers may share a scene: its list is taken once.
    const bool scene_taken =
        std::any_of(held.begin(), held.end(), [scene](const cHeldLayer& h) { return h.scene == scene; });
    cHeldLayer h{key, scene, {}, {}};
    if (!scene_taken && scene != &composition)
        h.scene_animators.swap(scene->animators);
    std::vector<cInterpolator*>& timeline = composition.animators;
    for (size_t i = 0; i < timeline.size();) {
        if (writes_published_var(timeline[i], *scene)) {
            h.timeline.emplace_back(i + h.timeline.size(), timeline[i]);
            timeline.erase(timeline.begin() + static_cast<std::ptrdiff_t>(i));
        } else {
            ++i;
        }
    }
    held.push_back(std::move(h));
}

void cStudioHold::release(cSceneComposition& composition)
{
    // Last held first, so every index names the place it was taken from.
    for (auto h = held.rbegin(); h != held.rend(); ++h) {
        if (!h->scene_animators.empty())
            h->scene->animators.swap(h->scene_animators);
        std::vector<cInterpolator*>& timeline = composition.animators;
        for (const auto& [index, animator] : h->timeline)
            timeline.insert(timeline.begin() + static_cast<std::ptrdiff_t>(std::min(index, timeline.size())),
                            animator);
    }
    held.clear();
}

void apply_animators_now(cSceneComposition& composition)
{
    const int32_t t = composition.now();
    for (auto& [key, layer] : composition.layers)
        if (layer.active_at(t))
            layer.scene->update_animators();
    composition.update_animators();
}
