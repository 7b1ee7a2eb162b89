#pragma once
// Where the middle of the picture lies in a pooled target, for the scenes
// whose radial blur streaks start there. Reads the window object's sizes at
// the time of the call and keeps nothing.
#include <cstdint>

#include "post/post_blur.h"

struct cPixelPos {
    float x;  // pixels from the left edge
    float y;  // pixels from the bottom edge
};

// The middle of the picture in pixels of a target of `size_class` (whole
// pixels: the sizes are divided as integers). The picture's height is the
// window's when the picture is stretched over it, else the viewport's.
cPixelPos picture_centre(int32_t size_class);

// A point given in pixels of a target at the show's own window size, moved
// to the same place of the picture at the current size.
cPixelPos show_pixels(float x, float y);

// A radial blur block with the construction defaults and its streak centre
// in the middle of the picture, in pixels of its quarter-size target.
cRadialBlurParams centred_radial_blur();
