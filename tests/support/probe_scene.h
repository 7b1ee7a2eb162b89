#pragma once
// A scene that records what reaches it and renders nothing; stands in for
// the show's scenes in scene-manager and composition tests. cLayerLog
// records which layers a composition renders.
#include <string>
#include <vector>

#include "events.h"
#include "scenes/composition.h"
#include "scenes/scene.h"

class cProbeScene : public cScene {
public:
    explicit cProbeScene(cDemoClock* c, std::string name_ = "probe") : cScene(c), name(std::move(name_)) {}
    std::string get_name() override { return name; }
    void load() override { ++loads; }
    void handle_event(cEvent* e) override { seen.push_back(e->time); }
    bool update() override
    {
        ++updates;
        return changed;
    }
    cTmpRenderTarget render(int32_t) override { return {}; }

    std::string name;
    std::vector<int32_t> seen;  // times of the events handed to the scene
    int loads = 0;
    int updates = 0;
    bool changed = false;       // what update() reports
};

// Records the layers a composition renders, in order: "<a" when a layer's
// render begins, "a>" when it ends.
class cLayerLog : public iLayerObserver {
public:
    void layer_begin(const cSceneLayer& layer) override { log += "<" + layer.scene->get_name(); }
    void layer_end(const cSceneLayer& layer) override { log += layer.scene->get_name() + ">"; }
    std::string log;
};
