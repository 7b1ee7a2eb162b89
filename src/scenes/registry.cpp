#include "scenes/registry.h"

#include "scene_manager.h"
#include "scenes/composition.h"
#include "scenes/scene_cubetunnel.h"
#include "scenes/scene_greets.h"
#include "scenes/scene_netsphere.h"
#include "scenes/scene_particles.h"
#include "scenes/scene_scrub.h"
#include "scenes/scene_spike.h"

void register_show_scenes(cSceneManager& manager)
{
    manager.add<cSceneComposition>();
    manager.add<cSceneGreets>();
    manager.add<cSceneCubeTunnel>();
    manager.add<cSceneSpike>();
    manager.add<cSceneParticles>();
    manager.add<cSceneNetSphere>();
}

const std::vector<cSceneMaker>& unregistered_scenes()
{
    static const std::vector<cSceneMaker> makers = {
        {"growing scrub", [](cDemoClock* clock) -> cScene* { return new cSceneScrub(clock); }},
    };
    return makers;
}
