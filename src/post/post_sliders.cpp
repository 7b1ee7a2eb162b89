#include "post/post_sliders.h"

#include <span>

#include "values/gui_var_list.h"
#include "video.h"

namespace {

void add_spec_sliders(cGuiVarList* list, void* block, std::span<const cSliderSpec> specs)
{
    auto* base = static_cast<char*>(block);
    for (const cSliderSpec& s : specs) {
        if (s.integer)
            add_int_var(list, s.label, reinterpret_cast<int*>(base + s.offset), static_cast<int>(s.min),
                        static_cast<int>(s.max));
        else
            add_float_var(list, s.label, reinterpret_cast<float*>(base + s.offset), s.min, s.max);
    }
}

}  // namespace

void add_sliders(cGuiVarList* list, cRadialBlurParams& block)
{
    const cVideo_SDL* video = cVideo_SDL::get_instance();
    const auto specs = radial_blur_sliders(video->viewport_width, video->viewport_height);
    add_spec_sliders(list, &block, specs);
}

void add_sliders(cGuiVarList* list, cLevelsParams& block)
{
    add_spec_sliders(list, &block, LEVELS_SLIDERS);
}

void add_sliders(cGuiVarList* list, cCutParams& block)
{
    add_spec_sliders(list, &block, CUT_SLIDERS);
}

void add_sliders(cGuiVarList* list, cHSBParams& block)
{
    add_spec_sliders(list, &block, HSB_SLIDERS);
}

void add_sliders(cGuiVarList* list, cKaleidoParams& block)
{
    add_spec_sliders(list, &block, KALEIDO_SLIDERS);
}

void add_sliders(cGuiVarList* list, cFeedbackParams& block)
{
    add_spec_sliders(list, &block, FEEDBACK_SLIDERS);
}
