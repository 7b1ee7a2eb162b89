#include "scenes/registry.h"

#include "scene_manager.h"
#include "scenes/composition.h"
#include "scenes/scene_kaleido3d.h"
#include "scenes/scene_kaleido_tunnel.h"
#include "scenes/scene_logo_light.h"
#include "scenes/scene_midi_test.h"
#include "scenes/scene_scrub.h"

void register_show_scenes(cSceneManager& manager)
{
    manager.add<cSceneComposition>();
    manager.add<cSceneMidiTest>();
    manager.add<cSceneKaleido3d>();
    manager.add<cSceneKaleidoTunnel>();
}

const std::vector<cSceneMaker>& unregistered_scenes()
{
    static const std::vector<cSceneMaker> makers = {
        {"growing scrub", [](cDemoClock* clock) -> cScene* { return new cSceneScrub(clock); }},
        {"logolight", [](cDemoClock* clock) -> cScene* { return new cSceneLogoLight(clock); }},
    };
    return makers;
}
