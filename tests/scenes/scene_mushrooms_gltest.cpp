#include "scenes/scene_mushrooms.h"

#include <cmath>

#include "mesh_files/mesh_manager.h"
#include "mesh_files/mesh_obj.h"
#include "scenes/scene_pictures.h"

namespace {

using T = cSceneMushroomsJ;

class SceneMushroomsTest : public ScenePictureTest {
protected:
    // The scene after a frame at t and two plain renders, so the spores'
    // one-frame-late copy has settled and only the change under test shows.
    cPicture settled(int32_t t)
    {
        frame(scene, t);
        picture(scene);
        return picture(scene);
    }
    void controller(int32_t track, int32_t number, int32_t value)
    {
        cMETrigger cc = midi(MIDI_CONTROL_CHANGE, track, number, value);
        scene.handle_event(&cc);
    }
    void set_rotation(float degrees)
    {
        for (const auto& [var, slider] : scene.get_vars())
            if (var->get_name() == "rotation")
                var->set(&degrees);
    }

    T scene{&clock};
};

TEST_F(SceneMushroomsTest, DrawsAnOpaqueCaveOfGlowingCapsThatTheAcidFilterBrightens)
{
    scene.load();
    expect_second_load_makes_nothing(scene);

    controller(T::ACID_TRACK, T::ACID_CUTOFF, 0);
    const cPicture closed = settled(90000);
    EXPECT_EQ(closed.mean(0, 0, 1, 1, 3), 255.0) << "opaque";
    EXPECT_GT(lit_share(closed.rgba, 25.0), 0.08) << "the caps show even with the filter closed";
    EXPECT_LT(lit_share(closed.rgba, 25.0), 0.9) << "the cave around them stays dark";

    controller(T::ACID_TRACK - 1, T::ACID_CUTOFF, 127);
    controller(T::ACID_TRACK, T::ACID_CUTOFF + 1, 127);
    controller(T::ACID_TRACK, T::ACID_CUTOFF, 0);
    EXPECT_EQ(picture(scene).rgba, closed.rgba) << "another track's or controller's move changes nothing";
    controller(T::ACID_TRACK, T::ACID_CUTOFF, 127);
    const cPicture open = picture(scene);
    EXPECT_GT(open.mean(0, 0, 1, 1), closed.mean(0, 0, 1, 1) * 1.3) << "the open filter brightens the caps";
    EXPECT_GT(lit_share(open.rgba, 150.0), 5 * lit_share(closed.rgba, 150.0) + 0.02) << "and makes them shine";
}

TEST_F(SceneMushroomsTest, TheOrbitTurnsTheViewAndTheMushroomsBreathe)
{
    scene.load();
    const cPicture front = settled(80000);
    set_rotation(90.0f);
    const cPicture side = picture(scene);
    EXPECT_GT(mean_difference(front.rgba, side.rgba), 4.0) << "a quarter turn round the cave";
    at(80000 + static_cast<int32_t>(T::BREATH_MS / 2));
    const cPicture breathed = picture(scene);
    EXPECT_GT(mean_difference(side.rgba, breathed.rgba), 1.0) << "half a breath later the caps have moved";
}

TEST_F(SceneMushroomsTest, TheTwoMushroomStatesComeFromTheMeshCacheAsAMorphPair)
{
    scene.load();
    cMeshManager* cache = cMeshManager::get_instance();
    auto* rest = dynamic_cast<cMeshObj*>(cache->get_mesh("mushrooms_a.bzobj", true, true, false));
    auto* breath = dynamic_cast<cMeshObj*>(cache->get_mesh("mushrooms_b.bzobj", true, true, false));
    ASSERT_TRUE(rest && breath);
    EXPECT_EQ(scene.mushrooms->from, rest) << "the scene draws the cached mesh";
    EXPECT_EQ(rest->buffers[VBO_POSITIONS].count, breath->buffers[VBO_POSITIONS].count);
    EXPECT_EQ(rest->buffers[VBO_NORMALS].count, breath->buffers[VBO_POSITIONS].count) << "the blend needs normals";
    EXPECT_EQ(rest->indices, breath->indices) << "the same triangles over the same vertices";
}

}  // namespace
