#pragma once
// One rendered picture of a scene read back for pixel checks, and the
// fixture that takes it the way the composition does: render_isolated at
// the clock's time, read back, target released.
#include <cstdint>
#include <vector>

#include "midi_events.h"
#include "scenes/scene.h"
#include "support/scene_fixture.h"

struct cPicture {
    int width = 0;              // pixels
    int height = 0;             // pixels
    std::vector<uint8_t> rgba;  // bottom row first

    const uint8_t* at(int x, int y) const { return &rgba[(static_cast<size_t>(y) * width + x) * 4]; }

    // Mean of one channel (0-3), or of r + g + b when channel is -1, over a
    // rectangle given in screen units (0-1, origin bottom left).
    double mean(float x0, float y0, float x1, float y1, int channel = -1) const
    {
        double sum = 0;
        size_t n = 0;
        for (int y = static_cast<int>(y0 * height); y < static_cast<int>(y1 * height); ++y)
            for (int x = static_cast<int>(x0 * width); x < static_cast<int>(x1 * width); ++x, ++n) {
                const uint8_t* p = at(x, y);
                sum += channel < 0 ? p[0] + p[1] + p[2] : p[channel];
            }
        return n ? sum / static_cast<double>(n) : 0.0;
    }
};

// A MIDI event as the queue holds it.
inline cMETrigger midi(int32_t kind, int32_t track, int32_t number, int32_t value, int32_t time = 0)
{
    cMETrigger e;
    e.kind = kind;
    e.track = track;
    e.number = number;
    e.value = value;
    e.time = time;
    return e;
}

class ScenePictureTest : public SceneTest {
protected:
    cPicture picture(cScene& scene)
    {
        cTmpRenderTarget t = scene.render_isolated(clock.elapsed());
        cPicture p{static_cast<int>(t->width), static_cast<int>(t->height), pixels_of(*t.target)};
        t.release();
        return p;
    }
};
