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

// Sliders write the caller's block; ranges follow the screen, and integer
// fields get integer variables.
TEST(PostSlidersTest, SlidersAreBoundToTheCallersBlockWithScreenRanges)
{
    cVideo_SDL::get_instance()->viewport_width = 1024;
    cVideo_SDL::get_instance()->viewport_height = 575;
    cGuiVarList list;
    cLevelsParams levels;
    cRadialBlurParams radial;
    cKaleidoParams kaleido;
    cFeedbackParams feedback;
    add_rows(&list, slider_rows(levels));
    add_rows(&list, slider_rows(radial));
    add_rows(&list, slider_rows(kaleido));
    add_rows(&list, slider_rows(feedback));
    ASSERT_EQ(list.entries.size(), 14u);
    const float gamma = 2.5f;
    list.entries[2].first->set(&gamma);
    EXPECT_FLOAT_EQ(levels.gamma, 2.5f);
    EXPECT_FLOAT_EQ(slider(list, 5)->max, 1024.0f);
    EXPECT_FLOAT_EQ(slider(list, 6)->max, 575.0f);
    EXPECT_NE(dynamic_cast<cVar<int>*>(list.entries[11].first), nullptr);  // kaleidoscope plane
    EXPECT_FLOAT_EQ(slider(list, 11)->max, 7.0f);
    EXPECT_NE(dynamic_cast<cVar<int>*>(list.entries[13].first), nullptr);  // blur iterations
    cVideo_SDL::destroy_instance();
}

}  // namespace
