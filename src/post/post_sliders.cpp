#include "post/post_sliders.h"

#include <span>

#include "video.h"

namespace {

tVarTable spec_rows(void* block, std::span<const cSliderSpec> specs)
{
    auto* base = static_cast<char*>(block);
    tVarTable rows;
    for (const cSliderSpec& s : specs) {
        tVarField field = reinterpret_cast<float*>(base + s.offset);
        if (s.integer)
            field = reinterpret_cast<int*>(base + s.offset);
        rows.push_back({s.label, field, s.min, s.max});
    }
    return rows;
}

}  // namespace

tVarTable slider_rows(cRadialBlurParams& block)
{
    const cVideo_SDL* video = cVideo_SDL::get_instance();
    const auto specs = radial_blur_sliders(video->viewport_width, video->viewport_height);
    return spec_rows(&block, specs);
}

tVarTable slider_rows(cLevelsParams& block)
{
    return spec_rows(&block, LEVELS_SLIDERS);
}

tVarTable slider_rows(cCutParams& block)
{
    return spec_rows(&block, CUT_SLIDERS);
}

tVarTable slider_rows(cHSBParams& block)
{
    return spec_rows(&block, HSB_SLIDERS);
}

tVarTable slider_rows(cKaleidoParams& block)
{
    return spec_rows(&block, KALEIDO_SLIDERS);
}

tVarTable slider_rows(cFeedbackParams& block)
{
    return spec_rows(&block, FEEDBACK_SLIDERS);
}
