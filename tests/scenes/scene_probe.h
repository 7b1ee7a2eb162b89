#pragma once
// Helpers the specified scenes' tests share: a fixture that renders one
// frame, a note-on event, the mean brightness of a picture, and a census of
// live GL buffers and textures (to show that a second load() makes nothing).
#include <cstdint>
#include <vector>

#include "gl.h"
#include "midi_events.h"
#include "scenes/scene.h"
#include "support/scene_fixture.h"

class SceneFrameTest : public SceneTest {
protected:
    // One frame at demo time t as the composition makes it: the pixels of
    // the scene's picture, none when it gives no target.
    std::vector<uint8_t> frame_pixels(cScene& scene, int32_t t)
    {
        at(t);
        scene.update();
        cTmpRenderTarget r = scene.render_isolated(t);
        return r.target ? pixels_of(*r.target) : std::vector<uint8_t>{};
    }
};

inline cMETrigger note_on(int32_t track, int32_t number, int32_t time_ms)
{
    cMETrigger e;
    e.kind = MIDI_NOTE_ON;
    e.track = track;
    e.number = number;
    e.value = 100;
    e.time = time_ms;
    return e;
}

// Mean of r + g + b over the picture's pixels (0-765).
inline double mean_brightness(const std::vector<uint8_t>& rgba)
{
    double sum = 0.0;
    for (size_t i = 0; i < rgba.size(); i += 4)
        sum += rgba[i] + rgba[i + 1] + rgba[i + 2];
    return rgba.empty() ? 0.0 : sum / static_cast<double>(rgba.size() / 4);
}

// Live buffer and texture names among the first few thousand.
inline int gl_object_count()
{
    int n = 0;
    for (GLuint name = 1; name < 4096; ++name)
        n += (glIsBuffer(name) ? 1 : 0) + (glIsTexture(name) ? 1 : 0);
    return n;
}
