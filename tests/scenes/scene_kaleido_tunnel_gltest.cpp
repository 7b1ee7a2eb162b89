#include "scenes/scene_kaleido_tunnel.h"

#include <algorithm>

#include "scenes/scene_pictures.h"

namespace {

using SceneKaleidoTunnelTest = ScenePictureTest;
using T = cSceneKaleidoTunnel;

// Mean of max - min channel.
double saturation(const cPicture& p)
{
    double sum = 0;
    for (size_t i = 0; i < p.rgba.size(); i += 4)
        sum += std::max({p.rgba[i], p.rgba[i + 1], p.rgba[i + 2]}) - std::min({p.rgba[i], p.rgba[i + 1], p.rgba[i + 2]});
    return sum / static_cast<double>(p.rgba.size() / 4);
}

TEST_F(SceneKaleidoTunnelTest, FliesOnWithTimeAndFadesToBlackInTheDistance)
{
    T scene(&clock);
    scene.load();
    scene.load();
    EXPECT_TRUE(scene.get_vars().empty());
    at(2000);
    const cPicture first = picture(scene);
    at(2150);
    const cPicture later = picture(scene);
    EXPECT_EQ(first.mean(0, 0, 1, 1, 3), 255.0) << "opaque";
    const double mean = first.mean(0, 0, 1, 1), far = first.mean(0.49f, 0.49f, 0.51f, 0.51f);
    EXPECT_GT(mean, 60.0) << "the walls must show";
    EXPECT_LT(far, mean * 0.5) << "the far end is dark, so the screen mode shows what is below";
    size_t changed = 0;
    for (size_t i = 0; i < first.rgba.size(); i += 4)
        changed += std::abs(first.rgba[i] - later.rgba[i]) + std::abs(first.rgba[i + 1] - later.rgba[i + 1]) > 24;
    EXPECT_GT(changed, first.rgba.size() / 4 / 4) << "a quarter of the picture moves in 150 ms";
}

TEST_F(SceneKaleidoTunnelTest, PlucksTurnTheColourClapsFlashAndTheAcidSaturates)
{
    T scene(&clock);
    scene.load();
    at(5000);
    const cPicture calm = picture(scene);
    cMETrigger pluck = midi(MIDI_NOTE_ON, T::PLUCK_TRACK, 64, 100);
    scene.handle_event(&pluck);
    const cPicture plucked = picture(scene);
    EXPECT_NE(calm.rgba, plucked.rgba) << "a pluck turns the picture and its hue";
    cMETrigger off = midi(MIDI_NOTE_OFF, T::CLAP_TRACK, 40, 0);
    scene.handle_event(&off);
    EXPECT_EQ(picture(scene).rgba, plucked.rgba) << "a note-off is no clap";
    cMETrigger clap = midi(MIDI_NOTE_ON, T::CLAP_TRACK, 40, 100);
    scene.handle_event(&clap);
    EXPECT_GT(picture(scene).mean(0, 0, 1, 1), calm.mean(0, 0, 1, 1) * 1.3) << "a clap flashes";

    at(6000);
    cMETrigger closed = midi(MIDI_CONTROL_CHANGE, T::ACID_TRACK, T::ACID_CUTOFF, 0);
    scene.handle_event(&closed);
    const double grey = saturation(picture(scene));
    cMETrigger open = midi(MIDI_CONTROL_CHANGE, T::ACID_TRACK, T::ACID_CUTOFF, 127);
    scene.handle_event(&open);
    EXPECT_GT(saturation(picture(scene)), grey * 1.3) << "the open filter saturates the colours";
}

}  // namespace
