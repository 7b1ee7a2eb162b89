// The whole show played headless by quorvane-capture, one frame a second,
// checked against the timeline's table.
#include <fstream>
#include <map>
#include <string>

#include "scene_manager.h"
#include "scenes/registry.h"
#include "scenes/timeline.h"
#include "support/tool_run.h"

namespace {

class ShowRunTest : public ToolTest {
protected:
    ShowRunTest() : ToolTest("quorvane-capture", "2>&1") {}

    // The names of the layers the timeline makes active at t, as the
    // profile lists them: "name=ms" joined by ';', in stacking order.
    static std::string expected_layers(const cSceneManager& manager, int32_t t)
    {
        std::map<int32_t, std::string> active;
        for (const cLayerRow& row : SHOW_LAYERS)
            if (row.start <= t && t <= row.end)
                active[row.key] = row.scene(manager)->get_name();
        std::string names;
        for (const auto& [key, name] : active)
            names += (names.empty() ? "" : ";") + name;
        return names;
    }
};

// Strips the timings from a profile's layer column: "a=1.2;b=0.3" -> "a;b".
std::string layer_names(const std::string& column)
{
    std::string names;
    bool in_time = false;
    for (char c : column) {
        if (c == '=')
            in_time = true;
        else if (c == ';')
            in_time = false;
        if (!in_time)
            names += c;
    }
    return names;
}

TEST_F(ShowRunTest, EveryLayerPlaysInItsWindowWithoutErrorsOrNewTargets)
{
    const std::string log = run("--size 160x90 --fps 1 --profile " + path("trace.csv"));
    ASSERT_EQ(status, 0) << log;
    EXPECT_EQ(log.find("ERROR"), std::string::npos) << log;
    EXPECT_EQ(log.find("performance-warning"), std::string::npos) << log;
    // The warm-up pool of 17 covered every frame (a scene may still hold its
    // feedback target at the end).
    EXPECT_NE(log.find("# rtt-manager: maximum concurrently allocated RTs: 17\n"), std::string::npos) << log;

    cSceneManager& manager = *cSceneManager::get_instance();
    register_show_scenes(manager);
    std::ifstream trace(dir / "trace.csv");
    std::string line;
    std::getline(trace, line);
    int32_t expected_t = 0;
    while (std::getline(trace, line)) {
        const size_t time_at = line.find(',') + 1;
        const int32_t t = std::stoi(line.substr(time_at));
        ASSERT_EQ(t, expected_t) << "a second is missing";
        const size_t quote = line.find('"');
        EXPECT_EQ(layer_names(line.substr(quote + 1, line.size() - quote - 2)), expected_layers(manager, t))
            << "at " << t << " ms";
        expected_t += 1000;
    }
    EXPECT_GT(expected_t, SHOW_LAYERS.back().end) << "the show ended early";
}

}  // namespace
