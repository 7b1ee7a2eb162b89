#include "scenes/composition.h"

#include "demo_clock.h"

cSceneComposition::cSceneComposition(cDemoClock* clock_) : cScene(clock_) {}

void cSceneComposition::load() {}

void cSceneComposition::add_layer(int32_t key, const cSceneLayer& layer, int, int)
{
    layers.emplace(key, layer);
}

void cSceneComposition::handle_event(cEvent* e)
{
    const int32_t t = now();
    for (auto& [key, layer] : layers)
        if (layer.active_at(t))
            layer.scene->handle_event(e);
}

bool cSceneComposition::update()
{
    for (auto& [key, layer] : layers)
        if (layer.active_at(now()))
            layer.scene->update();

    // Both strings keep their capacity, so a steady show allocates nothing.
    scratch_names.clear();
    for (auto& [key, layer] : layers)
        if (layer.active_at(now()))
            scratch_names += layer.scene->get_name();
    if (scratch_names == active_names)
        return false;
    active_names.swap(scratch_names);
    return true;
}

void cSceneComposition::draw()
{
    if (layers.empty())
        return;
    if (layers.size() == 1) {
        layers.begin()->second.scene->draw();
        return;
    }
    const int32_t t = now();
    bool any_active = false;
    for (const auto& [key, layer] : layers)
        any_active = any_active || layer.active_at(t);
    if (!any_active)
        return;  // the frame buffer keeps its previous content
    curtime = t;
}
