#include "support/scene_fixture.h"

#include "gl.h"
#include "resource_path.h"
#include "shader_manager.h"
#include "state_manager.h"

void SceneTest::SetUp()
{
    GlTest::SetUp();
    cResourcePath* paths = cResourcePath::get_instance();
    paths->add("../src/shaders");
    paths->add("../src/shaders/comp");
    paths->add("../data/textures");
    paths->add("../data/models");
    cShaderManager_GLSL::get_instance()->init();
    pool = create_render_target_manager();
    cStateManager::get_instance()->set_defaults();
}

void SceneTest::TearDown()
{
    EXPECT_EQ(pool->lent, 0u) << "a temporary target is still lent";
    EXPECT_EQ(pool->free_list.size(), WARM_UP_TARGETS) << "targets were made after the warm-up";
    GlTest::TearDown();
}

void SceneTest::at(int32_t t)
{
    clock.start = 0;
    clock.prev = clock.now;
    clock.now = t;
}

std::vector<uint8_t> SceneTest::pixels_of(cRenderTarget_fbo& target)
{
    target.bind(false);
    std::vector<uint8_t> rgba =
        read_pixels(0, 0, static_cast<int>(target.width), static_cast<int>(target.height));
    target.unbind();
    return rgba;
}
