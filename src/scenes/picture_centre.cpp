#include "scenes/picture_centre.h"

#include "video.h"

cPixelPos picture_centre(int32_t size_class)
{
    const cVideo_SDL* video = cVideo_SDL::get_instance();
    const int32_t picture_height = video->stretch ? video->height : video->viewport_height;
    return {static_cast<float>(video->viewport_width / size_class / 2),
            static_cast<float>(picture_height / size_class / 2)};
}

cPixelPos show_pixels(float x, float y)
{
    return {x * show_scale(), y * show_scale()};
}

cRadialBlurParams centred_radial_blur()
{
    cRadialBlurParams block;
    const cPixelPos centre = picture_centre(block.size_class);
    block.center_x = centre.x;
    block.center_y = centre.y;
    return block;
}
