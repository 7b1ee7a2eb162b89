#include "scenes/scene.h"

#include "demo_clock.h"

cScene::cScene(cDemoClock* clock_) : clock(clock_) {}

cScene::~cScene() = default;

void cScene::draw() {}

void cScene::register_gui(cGuiVarList*) {}

std::vector<std::pair<iVar*, iGuiNode*>> cScene::get_vars()
{
    return {};
}

int32_t cScene::now() const
{
    return clock->elapsed();
}
