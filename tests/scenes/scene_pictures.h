#pragma once
// What the scene tests share: a frame taken as the composition takes it, a
// note as the dispatcher fires it, MIDI events as the queue holds them,
// small measures over the RGBA8 pictures read back (bottom row first), and
// a census of live GL buffers and textures (a second load() makes none).
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "gl.h"
#include "midi_events.h"
#include "scenes/scene.h"
#include "support/scene_fixture.h"

using tPixels = std::vector<uint8_t>;

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

class ScenePictureTest : public SceneTest {
protected:
    // The scene updated and rendered at demo time t: the pixels of its
    // picture, none when it gives no target.
    tPixels frame(cScene& scene, int32_t t)
    {
        at(t);
        scene.update();
        cTmpRenderTarget r = scene.render_isolated(t);
        if (!r.target)
            return {};
        width = r->width;
        return pixels_of(*r.target);
    }
    // The scene rendered at the clock's time, without an update.
    cPicture picture(cScene& scene)
    {
        cTmpRenderTarget t = scene.render_isolated(clock.elapsed());
        cPicture p{static_cast<int>(t->width), static_cast<int>(t->height), pixels_of(*t.target)};
        t.release();
        return p;
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
    size_t width = 0;   // of the last frame, pixels
};

// The fixture of one scene of type S, loaded before each test; frame(t)
// takes its picture.
template <typename S>
class SceneOfTest : public ScenePictureTest {
protected:
    void SetUp() override
    {
        ScenePictureTest::SetUp();
        scene.load();
    }
    using ScenePictureTest::frame;
    tPixels frame(int32_t t) { return frame(scene, t); }

    S scene{&clock};
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

inline cMETrigger note_on(int32_t track, int32_t number, int32_t time_ms)
{
    return midi(MIDI_NOTE_ON, track, number, 100, time_ms);
}

// Brightness of the pixel whose red byte is at i: the mean of its colour, 0-255.
inline double brightness_at(const tPixels& p, size_t i)
{
    return (p[i] + p[i + 1] + p[i + 2]) / 3.0;
}

// Mean of r + g + b over the picture's pixels (0-765).
inline double mean_brightness(const tPixels& rgba)
{
    double sum = 0.0;
    for (size_t i = 0; i < rgba.size(); i += 4)
        sum += rgba[i] + rgba[i + 1] + rgba[i + 2];
    return rgba.empty() ? 0.0 : sum / static_cast<double>(rgba.size() / 4);
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

// Live buffer and texture names among the first few thousand.
inline int gl_object_count()
{
    int n = 0;
    for (GLuint name = 1; name < 4096; ++name)
        n += (glIsBuffer(name) ? 1 : 0) + (glIsTexture(name) ? 1 : 0);
    return n;
}

// Loads a loaded scene again: the second load must make no buffer or texture.
inline void expect_second_load_makes_nothing(cScene& scene)
{
    const int objects = gl_object_count();
    scene.load();
    EXPECT_EQ(gl_object_count(), objects) << "a second load made GL objects";
}
