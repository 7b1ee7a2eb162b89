#include <gtest/gtest.h>

#include "post/post_sliders.h"
#include "values/gui_slider.h"
#include "values/gui_var_list.h"
#include "values/var.h"
#include "video.h"

namespace {

const cGuiSlider* slider(const cGuiVarList& list, size_t i)
{
    return dynamic_cast<const cGuiSlider*>(list.entries.at(i).second);
}

TEST(PostSlidersTest, SlidersAreBoundToTheCallersBlock)
{
    cGuiVarList list;
    cLevelsParams levels;
    add_sliders(&list, levels);
    ASSERT_EQ(list.entries.size(), 5u);
    const char* names[] = {"in black", "in white", "gamma", "out black", "out white"};
    for (size_t i = 0; i < 5; ++i)
        EXPECT_EQ(list.entries[i].first->get_name(), names[i]);
    EXPECT_FLOAT_EQ(slider(list, 2)->max, 4.0f);
    const float gamma = 2.5f;
    list.entries[2].first->set(&gamma);  // the slider's variable writes the block's field
    EXPECT_FLOAT_EQ(levels.gamma, 2.5f);
}

TEST(PostSlidersTest, RangesFollowTheScreenAndIntegerFields)
{
    cVideo_SDL::get_instance()->viewport_width = 1024;
    cVideo_SDL::get_instance()->viewport_height = 575;
    cGuiVarList list;
    cRadialBlurParams radial;
    add_sliders(&list, radial);
    EXPECT_FLOAT_EQ(slider(list, 0)->max, 1024.0f);
    EXPECT_FLOAT_EQ(slider(list, 1)->max, 575.0f);

    cKaleidoParams kaleido;
    cFeedbackParams feedback;
    add_sliders(&list, kaleido);
    add_sliders(&list, feedback);
    ASSERT_EQ(list.entries.size(), 9u);
    EXPECT_NE(dynamic_cast<cVar<int>*>(list.entries[6].first), nullptr);  // "kaleido2d"
    EXPECT_FLOAT_EQ(slider(list, 6)->max, 7.0f);
    EXPECT_NE(dynamic_cast<cVar<int>*>(list.entries[8].first), nullptr);  // "blur iterations"
    cVideo_SDL::destroy_instance();
}

}  // namespace
