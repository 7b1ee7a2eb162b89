#pragma once
// The composition plays the whole show: it holds the other scenes as layers
// on a timeline, renders every layer active at the current time and stacks
// them in ascending key order. Its layers, fades and timeline animators are
// added once, before it loads (the show's by register_show_scenes), and live
// as long as the scene; the layers' scenes are owned by the scene manager.
#include <cstdint>
#include <map>
#include <string>

#include "scenes/scene.h"

struct cSceneLayer {
    int32_t start = 0;         // demo time (ms) at which the layer becomes active
    int32_t end = 0;           // last active demo time (ms), inclusive
    cScene* scene = nullptr;   // not owned
    float alpha = 1.0f;        // opacity passed to the compositor, 0 to 1
    int32_t blend_mode = 0;    // COMP_BLEND, COMP_ADD, COMP_SCREEN or COMP_DODGE

    bool active_at(int32_t t) const { return start <= t && t <= end; }
};

// Told around each layer's render (a tool timing the layers); with no
// observer set nothing is called.
class iLayerObserver {
public:
    virtual ~iLayerObserver() = default;
    virtual void layer_begin(const cSceneLayer& layer) = 0;
    virtual void layer_end(const cSceneLayer& layer) = 0;
};

class cSceneComposition : public cScene {
public:
    explicit cSceneComposition(cDemoClock* clock_);

    std::string get_name() override { return "scenecomp"; }
    void load() override;
    void draw() override;
    void handle_event(cEvent* e) override;
    bool update() override;
    // "curtime" up to the end of the show, then the sliders of the scenes
    // active now.
    void register_gui(cGuiVarList* list) override;
    // The composition is only drawn through draw(): nothing to lend.
    cTmpRenderTarget render(int32_t) override { return {}; }

    // Inserts the layer under `key` unless the key is taken; fades of the
    // stored layer's alpha over its first fade_in_ms and last fade_out_ms.
    void add_layer(int32_t key, const cSceneLayer& layer, int fade_in_ms, int fade_out_ms);
    // Loads every layer's scene, once per layer, behind the image loading
    // screen; returns the progress it showed last.
    float load_layers();

    std::map<int32_t, cSceneLayer> layers;  // key -> layer; lower keys composite first
    int32_t curtime = 0;                    // demo time (ms) of the last draw()
    std::string active_names;               // names of the layers active at the last update()
    iLayerObserver* layer_observer = nullptr;  // not owned; null: nobody listens
    // Called after each layer has loaded: the program's frame pumps its
    // window events there, so that Escape quits while loading. Null: none.
    void (*between_layers)() = nullptr;

private:
    int32_t show_end() const;

    std::string scratch_names;              // reused buffer for the next update's names
    std::map<int32_t, std::string> layer_names;  // key -> scene name, asked once by add_layer
};
