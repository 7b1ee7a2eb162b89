#include "scenes/scene_kaleido_tunnel.h"

#include <algorithm>
#include <vector>

#include "midi_events.h"
#include "scenes/scene_picture.h"

namespace {

struct cLook {
    double mean = 0;        // mean of r + g + b over the picture
    double centre = 0;      // the same over the middle 1/32 of each side
    double saturation = 0;  // mean of max - min channel
    bool opaque = true;
};

cLook look_of(const cPicture& p)
{
    cLook l;
    for (int y = 0; y < p.height; ++y)
        for (int x = 0; x < p.width; ++x) {
            const uint8_t* c = p.at(x, y);
            l.mean += c[0] + c[1] + c[2];
            l.saturation += std::max({c[0], c[1], c[2]}) - std::min({c[0], c[1], c[2]});
            l.opaque = l.opaque && c[3] == 255;
        }
    l.mean /= static_cast<double>(p.width * p.height);
    l.saturation /= static_cast<double>(p.width * p.height);
    l.centre = p.mean(0.5f - 1 / 64.0f, 0.5f - 1 / 64.0f, 0.5f + 1 / 64.0f, 0.5f + 1 / 64.0f);
    return l;
}

class SceneKaleidoTunnelTest : public ScenePictureTest {
protected:
    cLook look(cSceneKaleidoTunnel& scene, cPicture* keep = nullptr)
    {
        cPicture p = picture(scene);
        const cLook l = look_of(p);
        if (keep)
            *keep = std::move(p);
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
    cPicture first, later;
    at(2000);
    const cLook a = look(scene, &first);
    at(2150);
    look(scene, &later);
    EXPECT_TRUE(a.opaque);
    EXPECT_GT(a.mean, 60.0) << "the walls must show";
    EXPECT_LT(a.centre, a.mean * 0.5) << "the far end is dark, so the screen mode shows what is below";
    size_t changed = 0;
    for (size_t i = 0; i < first.rgba.size(); i += 4)
        changed += std::abs(first.rgba[i] - later.rgba[i]) + std::abs(first.rgba[i + 1] - later.rgba[i + 1]) > 24;
    EXPECT_GT(changed, first.rgba.size() / 4 / 4) << "a quarter of the picture moves in 150 ms";
}

TEST_F(SceneKaleidoTunnelTest, PlucksTurnTheColourClapsFlashAndTheAcidSaturates)
{
    cSceneKaleidoTunnel scene(&clock);
    scene.load();
    at(5000);
    cPicture before, after;
    const cLook calm = look(scene, &before);

    cMETrigger pluck = note(MIDI_NOTE_ON, cSceneKaleidoTunnel::PLUCK_TRACK, 64, 100);
    scene.handle_event(&pluck);
    look(scene, &after);
    EXPECT_NE(before.rgba, after.rgba) << "a pluck turns the picture and its hue";

    cMETrigger off = note(MIDI_NOTE_OFF, cSceneKaleidoTunnel::CLAP_TRACK, 40, 0);
    scene.handle_event(&off);
    cPicture unchanged;
    look(scene, &unchanged);
    EXPECT_EQ(after.rgba, unchanged.rgba) << "a note-off is no clap";

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
