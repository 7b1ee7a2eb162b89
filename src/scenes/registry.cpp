#include "scenes/registry.h"

#include "scene_manager.h"
#include "scenes/composition.h"
#include "scenes/scene_attractor.h"
#include "scenes/scene_cubetunnel.h"
#include "scenes/scene_flowerfield.h"
#include "scenes/scene_ganesh.h"
#include "scenes/scene_greets.h"
#include "scenes/scene_kaleido3d.h"
#include "scenes/scene_kaleido_tunnel.h"
#include "scenes/scene_logo_light.h"
#include "scenes/scene_mandala.h"
#include "scenes/scene_midi_test.h"
#include "scenes/scene_mushrooms.h"
#include "scenes/scene_netsphere.h"
#include "scenes/scene_particles.h"
#include "scenes/scene_rose.h"
#include "scenes/scene_scrub.h"
#include "scenes/scene_spike.h"
#include "scenes/scene_title.h"
#include "scenes/timeline.h"

void register_show_scenes(cSceneManager& manager)
{
    cSceneComposition* composition = manager.add<cSceneComposition>();
    manager.add<cSceneMidiTest>();
    manager.add<cSceneKaleido3d>();
    manager.add<cSceneGreets>();
    manager.add<cSceneAttractor>();
    manager.add<cSceneTitle>();
    manager.add<cSceneFlowerField>();
    manager.add<cSceneMandala>();
    manager.add<cSceneCubeTunnel>();
    // Two separate roses: the show uses each as a layer of its own.
    manager.add<cSceneRose>();
    manager.add<cSceneSpike>();
    manager.add<cSceneKaleidoTunnel>();
    manager.add<cSceneParticles>();
    manager.add<cSceneGanesh>();
    manager.add<cSceneNetSphere>();
    manager.add<cSceneMushroomsJ>();
    manager.add<cSceneRose>();
    build_show_timeline(*composition, manager);
}

const std::vector<cSceneMaker>& unregistered_scenes()
{
    static const std::vector<cSceneMaker> makers = {
        {"growing scrub", [](cDemoClock* clock) -> cScene* { return new cSceneScrub(clock); }},
        {"logolight", [](cDemoClock* clock) -> cScene* { return new cSceneLogoLight(clock); }},
    };
    return makers;
}

bool reads_shared_random(const std::string& scene_name)
{
    // The attractor refills its points, the rose shifts its grain, particles
    // are emitted at random, the scrub places its shoots.
    for (const char* reader : {"attractors", "rose", "mushrooms", "particlescene", "growing scrub"})
        if (scene_name == reader)
            return true;
    return false;
}

bool keeps_pictures(const std::string& scene_name)
{
    // The attractor ring's trail is last frame's picture, zoomed and faded.
    return scene_name == "attractors";
}
