#include "support/scene_fixture.h"

#include <vector>

#include "midi_events.h"
#include "scenes/scene_kaleido_tunnel.h"

namespace {

struct cLook {
    double mean = 0;        // mean of r + g + b over the picture
    double centre = 0;      // the same over the middle 1/32 of each side
    double saturation = 0;  // mean of max - min channel
    bool opaque = true;
};

class SceneKaleidoTunnelTest : public SceneTest {
protected:
    cLook look(cSceneKaleidoTunnel& scene, std::vector<uint8_t>* keep = nullptr)
    {
        cTmpRenderTarget t = scene.render_isolated(clock.elapsed());
        const int w = static_cast<int>(t->width), h = static_cast<int>(t->height);
        const std::vector<uint8_t> rgba = pixels_of(*t.target);
        t.release();
        cLook l;
        size_t centre_pixels = 0;
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                const uint8_t* p = &rgba[(static_cast<size_t>(y) * w + x) * 4];
                const int sum = p[0] + p[1] + p[2];
                l.mean += sum;
                l.saturation += std::max({p[0], p[1], p[2]}) - std::min({p[0], p[1], p[2]});
                l.opaque = l.opaque && p[3] == 255;
                if (std::abs(x - w / 2) < w / 64 && std::abs(y - h / 2) < h / 64) {
                    l.centre += sum;
                    ++centre_pixels;
                }
            }
        l.mean /= static_cast<double>(w * h);
        l.saturation /= static_cast<double>(w * h);
        l.centre /= static_cast<double>(centre_pixels);
        if (keep)
            *keep = rgba;
        return l;
    }

    static cMETrigger note(int32_t kind, int32_t track, int32_t number, int32_t value)
    {
        cMETrigger e;
        e.kind = kind;
        e.track = track;
        e.number = number;
        e.value = value;
        return e;
    }
};

TEST_F(SceneKaleidoTunnelTest, FliesOnWithTimeAndFadesToBlackInTheDistance)
{
    cSceneKaleidoTunnel scene(&clock);
    scene.load();
    scene.load();
    EXPECT_TRUE(scene.get_vars().empty());
    std::vector<uint8_t> first, later;
    at(2000);
    const cLook a = look(scene, &first);
    at(2150);
    look(scene, &later);
    EXPECT_TRUE(a.opaque);
    EXPECT_GT(a.mean, 60.0) << "the walls must show";
    EXPECT_LT(a.centre, a.mean * 0.5) << "the far end is dark, so the screen mode shows what is below";
    size_t changed = 0;
    for (size_t i = 0; i < first.size(); i += 4)
        changed += std::abs(first[i] - later[i]) + std::abs(first[i + 1] - later[i + 1]) > 24;
    EXPECT_GT(changed, first.size() / 4 / 4) << "a quarter of the picture moves in 150 ms";
}

TEST_F(SceneKaleidoTunnelTest, PlucksTurnTheColourClapsFlashAndTheAcidSaturates)
{
    cSceneKaleidoTunnel scene(&clock);
    scene.load();
    at(5000);
    std::vector<uint8_t> before, after;
    const cLook calm = look(scene, &before);

    cMETrigger pluck = note(MIDI_NOTE_ON, cSceneKaleidoTunnel::PLUCK_TRACK, 64, 100);
    scene.handle_event(&pluck);
    look(scene, &after);
    EXPECT_NE(before, after) << "a pluck turns the picture and its hue";

    cMETrigger off = note(MIDI_NOTE_OFF, cSceneKaleidoTunnel::CLAP_TRACK, 40, 0);
    scene.handle_event(&off);
    std::vector<uint8_t> unchanged;
    look(scene, &unchanged);
    EXPECT_EQ(after, unchanged) << "a note-off is no clap";

    cMETrigger clap = note(MIDI_NOTE_ON, cSceneKaleidoTunnel::CLAP_TRACK, 40, 100);
    scene.handle_event(&clap);
    EXPECT_GT(look(scene).mean, calm.mean * 1.3) << "a clap flashes";
    at(6000);

    cMETrigger closed = note(MIDI_CONTROL_CHANGE, cSceneKaleidoTunnel::ACID_TRACK, cSceneKaleidoTunnel::ACID_CUTOFF, 0);
    scene.handle_event(&closed);
    const double grey = look(scene).saturation;
    cMETrigger open = note(MIDI_CONTROL_CHANGE, cSceneKaleidoTunnel::ACID_TRACK, cSceneKaleidoTunnel::ACID_CUTOFF, 127);
    scene.handle_event(&open);
    EXPECT_GT(look(scene).saturation, grey * 1.3) << "the open filter saturates the colours";
}

}  // namespace
