#pragma once
// The one list of the show's scenes. register_show_scenes constructs them on
// the scene manager in the show's order (the composition first: it is the
// scene that plays); the demo and the tools both call it, so a new scene is
// added in one place. Scenes that are built but not part of the show are
// listed by name, so tools can still show them alone; whoever makes one of
// those owns it.
#include <string>
#include <vector>

class cDemoClock;
class cScene;
class cSceneManager;

// Adds every scene of the show to the manager, in order, and builds the
// show's timeline into the composition.
void register_show_scenes(cSceneManager& manager);

struct cSceneMaker {
    const char* name;                    // what the scene's get_name() returns
    cScene* (*make)(cDemoClock* clock);  // a new scene on the clock, not yet loaded
};

// Scenes that register_show_scenes leaves out.
const std::vector<cSceneMaker>& unregistered_scenes();

// Whether the scene reads the shared random sequence (while updating or
// drawing): its picture then depends on every read of it before, whichever
// scene made them.
bool reads_shared_random(const std::string& scene_name);

// Whether the scene draws over its own picture of the frame before: its
// picture then depends on the pixels of every frame it drew. Every other
// scene's picture follows from the state its code keeps.
bool keeps_pictures(const std::string& scene_name);
