#pragma once
// Scene tests that look at pictures: a frame as the composition makes one,
// a note as the dispatcher fires it, and small measures over the RGBA8
// pictures read back (bottom row first).
#include <cstdlib>

#include "midi_events.h"
#include "support/scene_fixture.h"

using tPixels = std::vector<uint8_t>;

class ScenePictureTest : public SceneTest {
protected:
    // The scene updated and rendered at demo time t.
    tPixels frame(cScene& scene, int32_t t)
    {
        at(t);
        scene.update();
        cTmpRenderTarget r = scene.render_isolated(t);
        width = r->width;
        return pixels_of(*r.target);
    }
    // A note-on of `track` at t, queued in `notes` and handed to the scene.
    void note(cScene& scene, int32_t track, int32_t t)
    {
        auto* e = new cMETrigger();
        e->kind = MIDI_NOTE_ON;
        e->track = track;
        e->time = t;
        notes.events.push_back(e);
        notes.cursor = notes.events.size();
        at(t);
        scene.handle_event(e);
    }

    cEventQueue notes;  // every note handed out, all fired
    size_t width = 0;   // of the last picture, pixels
};

// Brightness of the pixel whose red byte is at i: the mean of its colour, 0-255.
inline double brightness_at(const tPixels& p, size_t i)
{
    return (p[i] + p[i + 1] + p[i + 2]) / 3.0;
}

// Mean absolute difference of the colour channels, 0-255.
inline double mean_difference(const tPixels& a, const tPixels& b)
{
    double sum = 0.0;
    for (size_t i = 0; i < a.size() && i < b.size(); ++i)
        if (i % 4 != 3)
            sum += std::abs(int(a[i]) - int(b[i]));
    return sum / (0.75 * static_cast<double>(a.size()));
}

// Share of pixels brighter than `threshold` (0-255).
inline double lit_share(const tPixels& p, double threshold = 20.0)
{
    size_t lit = 0;
    for (size_t i = 0; i < p.size(); i += 4)
        lit += brightness_at(p, i) > threshold;
    return static_cast<double>(lit) / static_cast<double>(p.size() / 4);
}
