#include <gtest/gtest.h>

#include <vector>

#include "values/gui_var_list.h"
#include "values/mouse.h"

namespace {

// Placed as the demo places its list: rows at x 0.25, y 0.67, 0.64, ...
void place_like_demo(cGuiVarList& list)
{
    list.reset();
    list.set_pos(0.05f, 0.05f);
    list.set_size(0.9f, 0.65f);
}

class GuiMouseTest : public ::testing::Test {
protected:
    void SetUp() override { cMouse::destroy_instance(); }
    static void hold(int button, bool on = true) { cMouse::get_instance()->held[button] = on; }
};

}  // namespace

TEST(GuiVarList, AddFunctionsLayoutAndOwnership)
{
    cGuiVarList list;
    place_like_demo(list);
    float f = 0.25f;
    int i = 4;
    Vec3<float> v(1, 2, 3);
    double shown = 1.5;
    add_float_var(&list, "set_fov", &f, 10, 160);
    add_int_var(&list, "curtime", &i, 0, 230000);
    add_vec3_var(&list, "set_eye", &v, -500, 500);
    add_double_label(&list, "elapsed", &shown);
    ASSERT_EQ(list.entries.size(), 4u);
    auto* fs = dynamic_cast<cGuiSlider*>(list.entries[0].second);
    EXPECT_EQ(std::vector<float>({fs->min, fs->max, fs->value}), std::vector<float>({10, 160, 0.25f}));
    EXPECT_EQ(fs->w, 0.65f);  // rows take the list's height as their width
    auto* vs = dynamic_cast<cGuiVec3Slider*>(list.entries[2].second);
    for (int k = 0; k < 3; ++k)
        EXPECT_EQ(std::vector<float>({vs->sliders[k].value, vs->sliders[k].max}), std::vector<float>({k + 1.0f, 500}));
    EXPECT_NE(dynamic_cast<cGuiTxtLabel*>(list.entries[3].second), nullptr);
    float t = 0.5f;
    const tGuiEntry published = make_float_var("cur_t", &t, 0, 1);  // as a scene's get_vars makes it
    list.append(published);  // shown, still the caller's
    EXPECT_EQ(dynamic_cast<cGuiSlider*>(published.second)->w, 0.65f);

    EXPECT_TRUE(list.dirty);
    list.layout();
    EXPECT_FALSE(list.dirty);
    const float ys[3] = {0.67f, 0.64f, 0.61f};
    for (size_t k = 0; k < 3; ++k) {
        float ex = 0, ey = 0;
        list.entries[k].second->get_pos(ex, ey);
        EXPECT_EQ(ex, 0.25f) << k;
        EXPECT_NEAR(ey, ys[k], 1e-6) << k;
    }
    EXPECT_NEAR(vs->sliders[1].y, 0.61f, 1e-6);  // a Vec3's sliders move with it

    list.reset();  // forgets the rows; the list still owns what it made
    EXPECT_TRUE(list.entries.empty());
    EXPECT_EQ(list.owned_nodes.size(), 4u);
    delete published.first;
    delete published.second;
}

TEST(GuiVarList, SlidersFollowVariablesChangedElsewhereAndIntWritesRoundToNearest)
{
    cGuiVarList list;
    place_like_demo(list);
    float f = 0;
    double d = 0;
    Vec3<float> v;
    std::string s = "text";
    add_float_var(&list, "f", &f, -1, 1);
    add_double_var(&list, "d", &d, 0, 1);
    add_vec3_var(&list, "v", &v, -5, 5);
    cVar<std::string> sv("s", &s);
    cGuiSlider stray;
    list.append({&sv, &stray});  // no conversion: shown by name only

    f = 0.75f;  // an animator writes the values
    d = 0.1;
    v = {1, -2, 3};
    list.sync_from_vars();
    EXPECT_EQ(dynamic_cast<cGuiSlider*>(list.entries[0].second)->value, 0.75f);
    EXPECT_EQ(dynamic_cast<cGuiSlider*>(list.entries[1].second)->value, 0.1f);
    const cGuiSlider* vs = dynamic_cast<cGuiVec3Slider*>(list.entries[2].second)->sliders;
    EXPECT_EQ(Vec3<float>(vs[0].value, vs[1].value, vs[2].value), v);
    EXPECT_EQ(stray.value, 0);
    EXPECT_FALSE(write_to_var(&sv, &stray));

    EXPECT_EQ(slider_to_int(2.5f), 3);
    EXPECT_EQ(slider_to_int(2.49f), 2);
    EXPECT_EQ(slider_to_int(-2.9f), -3);  // truncating value + 0.5 would give -2
    EXPECT_EQ(slider_to_int(-2.5f), -2);
}

TEST_F(GuiMouseTest, PointerGrabsWhileNoButtonIsHeldAndDragsWhileHeld)
{
    cGuiVarList list;
    place_like_demo(list);
    float f = 0.5f;
    int i = 0;
    Vec3<float> v(1, 2, 3);
    add_float_var(&list, "f", &f, 0, 1);  // row 0: y 0.67 .. 0.695, x 0.25 .. 0.9
    add_int_var(&list, "i", &i, 0, 10);   // row 1: y 0.64 .. 0.665
    add_vec3_var(&list, "v", &v, -10, 10);
    list.layout();
    const float row0 = 0.68f, row1 = 0.65f;
    auto grabbed = [&](size_t k) { return list.entries[k].second->is_grabbed(); };

    EXPECT_FALSE(list.handle_mouse(GUI_DRAG, 0.5f, row1));  // no button: grab only
    EXPECT_TRUE(grabbed(1));
    EXPECT_FALSE(grabbed(0));
    hold(1);
    // Over row 0 now, but the held button keeps row 1 the active one.
    EXPECT_TRUE(list.handle_mouse(GUI_DRAG, 0.25f + 0.65f * 0.27f, row0));
    EXPECT_EQ(i, 3);  // 2.7
    EXPECT_TRUE(list.handle_mouse(GUI_DRAG, 0.25f + 0.65f * 0.23f, row0));
    EXPECT_EQ(i, 2);  // 2.3
    EXPECT_EQ(f, 0.5f);
    EXPECT_FALSE(grabbed(0));

    hold(1, false);
    const cGuiSlider& z = dynamic_cast<cGuiVec3Slider*>(list.entries[2].second)->sliders[2];
    list.handle_mouse(GUI_DRAG, z.x + z.w / 2, 0.62f);
    EXPECT_FALSE(grabbed(1));
    hold(3);
    EXPECT_TRUE(list.handle_mouse(GUI_DRAG, z.x + z.w, 0.2f));
    EXPECT_EQ(v.x + v.y, 3);
    EXPECT_NEAR(v.z, 10, 1e-4);

    hold(3, false);
    list.handle_mouse(GUI_DRAG, 0.5f, 0.2f);  // over no row: nothing stays grabbed
    hold(1);
    EXPECT_FALSE(list.handle_mouse(GUI_DRAG, 0.5f, row0));
    EXPECT_EQ(f, 0.5f);
}

TEST_F(GuiMouseTest, WheelStepsTheSliderUnderThePointerAndIsCleared)
{
    cGuiVarList list;
    place_like_demo(list);
    float f = 0.5f;
    int i = 5;
    add_float_var(&list, "f", &f, 0, 1);
    add_int_var(&list, "i", &i, 0, 10);
    list.layout();

    hold(4);
    EXPECT_TRUE(list.handle_mouse(GUI_DRAG, 0.5f, 0.68f));
    EXPECT_NEAR(f, 0.51f, 1e-6);
    EXPECT_FALSE(cMouse::get_instance()->held[4]);
    EXPECT_TRUE(list.entries[0].second->is_grabbed());  // the wheel is no held button
    hold(5);
    list.handle_mouse(GUI_DRAG, 0.5f, 0.65f);
    EXPECT_EQ(i, 4);  // at least one whole step for an int
    hold(4);
    EXPECT_FALSE(list.handle_mouse(GUI_DRAG, 0.5f, 0.2f));  // over nothing: only cleared
    EXPECT_FALSE(cMouse::get_instance()->held[4] || cMouse::get_instance()->held[5]);
    EXPECT_EQ(i, 4);
}
