#include "scenes/composition.h"

#include <algorithm>

#include "demo_clock.h"
#include "events.h"
#include "load_screen.h"
#include "post/post_compositing.h"
#include "state_manager.h"
#include "values/gui_slider.h"
#include "values/gui_var_list.h"
#include "values/interpolator.h"

cSceneComposition::cSceneComposition(cDemoClock* clock_) : cScene(clock_) {}

void cSceneComposition::load()
{
    load_layers();
}

float cSceneComposition::load_layers()
{
    cLoadScreen_Img screen;
    const size_t n = layers.size();
    size_t i = 0;
    for (auto& [key, layer] : layers) {
        layer.scene->load();
        // A lone layer has nothing to count: it shows as complete.
        screen.update(n > 1 ? static_cast<float>(i) / static_cast<float>(n - 1) : 1.0f, true);
        if (between_layers)
            between_layers();
        ++i;
    }
    return screen.progress;
}

void cSceneComposition::add_layer(int32_t key, const cSceneLayer& layer, int fade_in_ms, int fade_out_ms)
{
    auto [it, inserted] = layers.emplace(key, layer);
    if (!inserted)
        return;
    layer_names[key] = layer.scene->get_name();
    // Room for every layer's name at once, so that no update of the show
    // grows either string.
    size_t all_names = 0;
    for (const auto& [k, name] : layer_names)
        all_names += name.size();
    active_names.reserve(all_names);
    scratch_names.reserve(all_names);
    // The fades drive the record in the map, not the caller's copy.
    float* alpha = &it->second.alpha;
    if (fade_in_ms > 0)
        animators.push_back(new cLerp<float>(alpha, layer.start, layer.start + fade_in_ms, 0.0f, 1.0f));
    if (fade_out_ms > 0)
        animators.push_back(new cLerp<float>(alpha, layer.end - fade_out_ms, layer.end, 1.0f, 0.0f));
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
    cScene::update();

    // Both strings have room for every name (add_layer), so playing allocates nothing.
    scratch_names.clear();
    for (auto& [key, layer] : layers)
        if (layer.active_at(now()))
            scratch_names += layer_names[key];
    if (scratch_names == active_names)
        return false;
    active_names.swap(scratch_names);
    return true;
}

void cSceneComposition::register_gui(cGuiVarList* list)
{
    add_int_var(list, "curtime", &curtime, 0, show_end());
    const int32_t t = now();
    for (auto& [key, layer] : layers) {
        if (!layer.active_at(t))
            continue;
        for (const auto& entry : layer.scene->get_vars()) {
            if (dynamic_cast<cGuiSlider*>(entry.second) || dynamic_cast<cGuiVec3Slider*>(entry.second))
                entry.second->set_pos(list->x, 0.05f);
            list->append(entry);
        }
    }
}

// The time of the script's end-of-show marker; without one, the end of the
// last layer.
int32_t cSceneComposition::show_end() const
{
    if (events)
        for (const cEvent* e : events->events)
            if (e->type == EVENT_QUIT)
                return e->time;
    int32_t end = 0;
    for (const auto& [key, layer] : layers)
        end = std::max(end, layer.end);
    return end;
}

void cSceneComposition::draw()
{
    if (layers.empty())
        return;
    if (layers.size() == 1) {
        const cSceneLayer& layer = layers.begin()->second;
        if (layer_observer)
            layer_observer->layer_begin(layer);
        layer.scene->draw();
        if (layer_observer)
            layer_observer->layer_end(layer);
        return;
    }
    const int32_t t = now();
    bool any_active = false;
    for (const auto& [key, layer] : layers)
        any_active = any_active || layer.active_at(t);
    if (!any_active)
        return;  // the frame buffer keeps its previous content

    // Layers accumulate in `back`; each pass draws into `front`, then the
    // two swap. The last layer is composited straight onto the screen, one
    // full-size copy less; a layer at opacity 0 leaves the stack as it is
    // (every mode but the plain copy gives the bottom unchanged), though its
    // scene still renders, so that its trails and animation go on.
    const cSceneLayer* last = nullptr;
    for (const auto& [key, layer] : layers)
        if (layer.active_at(t))
            last = &layer;
    cTmpRenderTarget front = get_tmp_render_target(RTT_FULL);
    cTmpRenderTarget back = get_tmp_render_target(RTT_FULL);
    glClearColor(0, 0, 0, 0);
    back->bind(true);
    back->unbind();
    cPostCompositing* compositing = cPostCompositing::get_instance();
    bool on_screen = false;
    for (const auto& [key, layer] : layers) {
        if (!layer.active_at(t))
            continue;
        if (layer_observer)
            layer_observer->layer_begin(layer);
        cTmpRenderTarget result = layer.scene->render_isolated(now());
        if (layer_observer)
            layer_observer->layer_end(layer);
        if (!result.target || (layer.alpha <= 0.0f && layer.blend_mode != COMP_PLAIN))
            continue;  // the stack stays as it is
        if (&layer == last) {
            compositing->draw(*back.target, *result.target, layer.blend_mode, layer.alpha);
            on_screen = true;
            break;
        }
        compositing->apply(*front.target, *back.target, *result.target, layer.blend_mode, layer.alpha);
        std::swap(front, back);
    }
    cStateManager::get_instance()->set_blend(false);
    if (!on_screen)
        draw_render_target_fullscreen(*back.target);
    curtime = t;
}
