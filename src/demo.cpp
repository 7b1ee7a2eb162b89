#include "demo.h"

#include <stdexcept>

#include "load_screen.h"
#include "midi_events.h"
#include "scene_manager.h"
#include "scenes/composition.h"
#include "scenes/registry.h"

namespace {

// std::exception carries no message of its own; this one does.
class cSingleDemoError : public std::exception {
public:
    const char* what() const noexcept override { return "only a single demo allowed at any one time..."; }
};

}  // namespace

cDemo::cDemo()
{
    if (instances++ != 0)
        throw cSingleDemoError();
}

cQuorvane::cQuorvane()
{
    if (constructed)
        throw cSingleDemoError();
    constructed = true;
}

void cQuorvane::init()
{
    cSceneManager* manager = cSceneManager::get_instance();
    manager->setup();
    if (between_layers)
        between_layers();  // decoding the music is the longest step before the first layer

    register_show_scenes(*manager);
    if (auto* composition = manager->find<cSceneComposition>())
        composition->between_layers = between_layers;

    cLoadScreenDummy screen;
    if (pick_scene)
        manager->load_scene(screen, pick_scene(*manager));
    else if (hold_loading_screen)
        manager->load_and_fade_in(screen);
    else
        manager->load_scene(screen, manager->scenes.front());

    add_midi_and_beat_events(*manager->queue);
    manager->queue->cursor = 0;

    gui.var_list.reset();
    gui.var_list.set_pos(0.05f, 0.05f);
    gui.var_list.set_size(0.9f, 0.65f);
    gui.left_label.set_pos(0.05f, 0.7f);
    gui.right_label.set_pos(0.83f, 0.7f);
}
