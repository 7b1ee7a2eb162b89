#pragma once
// Process-wide mouse record. The event pump writes it; the tweak GUI reads
// it (and clears the wheel flags it consumed). Positions are normalised to
// the window with (0, 0) at the lower-left corner.
#include "singleton.h"
#include "vec3.h"

class cMouse : public cSingleton<cMouse> {
public:
    static constexpr int BUTTONS = 6;  // SDL numbers 1 left, 2 middle, 3 right, 4/5 wheel

    Vec3<float> pos;                      // pointer position, z always 0
    Vec3<float> press_pos;                // position of the last button press
    bool held[BUTTONS] = {};        // held flag per SDL button number (index 0 unused)
};
