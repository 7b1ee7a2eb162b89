#include "scenes/registry.h"

#include "scene_manager.h"
#include "scenes/composition.h"
#include "scenes/scene_attractor.h"
#include "scenes/scene_mandala.h"
#include "scenes/scene_rose.h"
#include "scenes/scene_scrub.h"
#include "scenes/scene_title.h"

void register_show_scenes(cSceneManager& manager)
{
    manager.add<cSceneComposition>();
    manager.add<cSceneAttractor>();
    manager.add<cSceneTitle>();
    manager.add<cSceneMandala>();
    // Two separate roses: the show uses each as a layer of its own.
    manager.add<cSceneRose>();
    manager.add<cSceneRose>();
}

const std::vector<cSceneMaker>& unregistered_scenes()
{
    static const std::vector<cSceneMaker> makers = {
        {"growing scrub", [](cDemoClock* clock) -> cScene* { return new cSceneScrub(clock); }},
    };
    return makers;
}
