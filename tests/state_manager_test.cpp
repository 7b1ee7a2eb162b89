#include <gtest/gtest.h>

#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

#include "state_manager.h"
#include "support/recording_gl_state.h"

using Calls = std::vector<std::string>;

TEST(GLStateLayout, FieldsSitWhereTheTableSaysAndNowhereElse)
{
    cGLState s;
    s.set(gs::DEPTH_TEST, 1);
    s.set(gs::DEPTH_FUNC, 4);
    s.set(gs::CULL_BACK, 1);
    EXPECT_EQ(s.word[0], 0x01u | 4u << 2 | 0x80u);
    s = {};
    s.set(gs::FRONT_CCW, 1);
    s.set(gs::BLEND, 1);
    EXPECT_EQ(s.word[0], 0x1100u);
    s = {};
    s.set(gs::FOG, 1);
    s.set(gs::LIGHTING, 1);
    s.set(gs::LIGHT0, 1);
    EXPECT_EQ(s.word[1], 0x0D00u);  // byte 5, bits 0, 2, 3
    EXPECT_EQ(s.word[0], 0u);
    // A setter never spills into a neighbour, even when handed too many bits.
    s = {};
    s.set(gs::FILL_MODE, 0xFF);
    EXPECT_EQ(s.word[0], 0x60u);
}

TEST(GLStateLayout, BlendWordsSplitIntoTheirFourFactors)
{
    struct Case {
        uint16_t word;
        uint32_t src_color, dst_color, src_alpha, dst_alpha;
    };
    const Case cases[] = {
        {0x0154, gs::BF_SRC_ALPHA, gs::BF_ONE_MINUS_SRC_ALPHA, gs::BF_ONE, gs::BF_ZERO},
        {0x1154, gs::BF_SRC_ALPHA, gs::BF_ONE_MINUS_SRC_ALPHA, gs::BF_ONE, gs::BF_ONE},
        {0x1454, gs::BF_SRC_ALPHA, gs::BF_ONE_MINUS_SRC_ALPHA, gs::BF_SRC_ALPHA, gs::BF_ONE},
        {0x1014, gs::BF_SRC_ALPHA, gs::BF_ONE, gs::BF_ZERO, gs::BF_ONE},
        {0x1101, gs::BF_ONE, gs::BF_ZERO, gs::BF_ONE, gs::BF_ONE},
        {0x5050, gs::BF_ZERO, gs::BF_ONE_MINUS_SRC_ALPHA, gs::BF_ZERO, gs::BF_ONE_MINUS_SRC_ALPHA},
    };
    cStateManager* sm = cStateManager::get_instance();
    for (const Case& c : cases) {
        sm->pending = {};
        sm->set_blend_func(c.word);
        EXPECT_EQ(sm->pending.word[0], static_cast<uint32_t>(c.word) << 16) << std::hex << c.word;
        EXPECT_EQ(sm->pending.get(gs::BLEND_SRC_COLOR), c.src_color) << std::hex << c.word;
        EXPECT_EQ(sm->pending.get(gs::BLEND_DST_COLOR), c.dst_color) << std::hex << c.word;
        EXPECT_EQ(sm->pending.get(gs::BLEND_SRC_ALPHA), c.src_alpha) << std::hex << c.word;
        EXPECT_EQ(sm->pending.get(gs::BLEND_DST_ALPHA), c.dst_alpha) << std::hex << c.word;
        cGLState by_factors;
        std::swap(by_factors, sm->pending);
        sm->set_blend_func(c.src_color, c.dst_color, c.src_alpha, c.dst_alpha);
        EXPECT_EQ(sm->pending, by_factors);
    }
}

class StateManagerTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        cStateManager::destroy_instance();
        sm = cStateManager::get_instance();
        sm->backend = &RECORDING_GL_STATE_BACKEND;
        recorded_gl_calls.clear();
    }
    void TearDown() override { cStateManager::destroy_instance(); }
    Calls take()
    {
        Calls c;
        c.swap(recorded_gl_calls);
        return c;
    }
    // Applies a known state that everything else is measured from.
    void settle()
    {
        sm->pending = {};
        sm->set_blend_func(gs::BLEND_DEFAULT);
        sm->apply();
        recorded_gl_calls.clear();
    }
    cStateManager* sm = nullptr;
};

TEST_F(StateManagerTest, StartsWithAllAppliedBitsSetAndNothingPending)
{
    EXPECT_EQ(sm->applied.word[0], 0xFFFFFFFFu);
    EXPECT_EQ(sm->applied.word[1], 0xFFFFFFFFu);
    EXPECT_EQ(sm->pending, cGLState{});
    EXPECT_TRUE(sm->stack.empty());
    EXPECT_GE(sm->stack.capacity(), 100u);
}

TEST_F(StateManagerTest, FullApplySendsEveryFieldInOrderThenNothing)
{
    sm->pending = {};
    sm->set_depth_test(true);
    sm->set_depth_func(gs::DEPTH_LEQUAL);
    sm->set_cull_side(true);
    sm->set_blend(true);
    sm->set_blend_func(gs::BLEND_ALPHA);
    sm->enable_light(GL_LIGHT2);
    sm->applied.word[0] = ~sm->pending.word[0];
    sm->applied.word[1] = ~sm->pending.word[1];
    sm->apply();
    EXPECT_EQ(take(), (Calls{
                          "glEnable(GL_DEPTH_TEST)",
                          "glDepthMask(0)",
                          "glDepthFunc(GL_LEQUAL)",
                          "glPolygonMode(GL_FRONT_AND_BACK, GL_FILL)",
                          "glCullFace(GL_BACK)",
                          "glDisable(GL_CULL_FACE)",
                          "glFrontFace(GL_CW)",
                          "glDisable(GL_MULTISAMPLE)",
                          "glDisable(GL_ALPHA_TEST)",
                          "glEnable(GL_BLEND)",
                          "glBlendFuncSeparate(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA, GL_ONE, GL_ONE)",
                          "glDisable(GL_FOG)",
                          "glDisable(GL_COLOR_MATERIAL)",
                          "glDisable(GL_LIGHTING)",
                          "glDisable(GL_LIGHT0)",
                          "glDisable(GL_LIGHT1)",
                          "glEnable(GL_LIGHT2)",
                          "glDisable(GL_LIGHT3)",
                      }));
    EXPECT_EQ(sm->applied, sm->pending);
    sm->apply();
    EXPECT_TRUE(take().empty());
}

TEST_F(StateManagerTest, SendsOnlyTheFieldsThatChanged)
{
    settle();
    sm->set_depth_test(false);  // unchanged
    sm->set_fill_mode(gs::FILL_LINE);
    sm->set_fog(true);
    sm->apply();
    EXPECT_EQ(take(), (Calls{"glPolygonMode(GL_FRONT_AND_BACK, GL_LINE)", "glEnable(GL_FOG)"}));
}

TEST_F(StateManagerTest, AnyBlendFactorChangeSendsAllFour)
{
    settle();
    sm->set_blend_func(gs::BLEND_ALPHA);  // only the alpha destination factor differs
    sm->apply();
    EXPECT_EQ(take(), (Calls{"glBlendFuncSeparate(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA, GL_ONE, GL_ONE)"}));
}

TEST_F(StateManagerTest, LightsFollowTheirOwnBits)
{
    settle();
    sm->enable_light(GL_LIGHT3);
    sm->apply();
    EXPECT_EQ(take(), (Calls{"glEnable(GL_LIGHT3)"}));
}

TEST_F(StateManagerTest, PopRestoresWishesButOnlyApplyReachesGL)
{
    settle();
    const cGLState before = sm->pending;
    sm->push();
    sm->set_blend(true);
    sm->set_depth_write(true);
    sm->enable_light(GL_LIGHT0);
    sm->apply();
    take();
    sm->pop();
    EXPECT_TRUE(recorded_gl_calls.empty());
    EXPECT_EQ(sm->pending, before);
    EXPECT_NE(sm->applied, before);
    sm->apply();
    EXPECT_EQ(take(), (Calls{"glDepthMask(0)", "glDisable(GL_BLEND)", "glDisable(GL_LIGHT0)"}));
}

TEST_F(StateManagerTest, NestedPushPopAndUnmatchedPop)
{
    sm->set_fog(true);
    sm->push();
    sm->set_fog(false);
    sm->push();
    sm->set_lighting(true);
    sm->pop();
    EXPECT_EQ(sm->pending.get(gs::LIGHTING), 0u);
    EXPECT_EQ(sm->pending.get(gs::FOG), 0u);
    sm->pop();
    EXPECT_EQ(sm->pending.get(gs::FOG), 1u);
    sm->pop();  // nothing left: no crash, the wishes stay
    EXPECT_TRUE(sm->stack.empty());
    EXPECT_EQ(sm->pending.get(gs::FOG), 1u);
}

TEST_F(StateManagerTest, ForcedFullApplyResendsEverything)
{
    settle();
    sm->force_full_apply = true;
    sm->apply();
    EXPECT_EQ(take().size(), 18u);
    sm->apply();
    EXPECT_EQ(take().size(), 18u);
}

namespace {

std::string failure_of(const std::function<void()>& f)
{
    try {
        f();
    } catch (const std::exception& e) {
        return e.what();
    }
    return "";
}

}  // namespace

TEST_F(StateManagerTest, InvalidCodesFailOnApplyWithoutTouchingGL)
{
    settle();
    const cGLState applied = sm->applied;
    struct Case {
        std::function<void()> set;
        std::string message;
    };
    const Case cases[] = {
        {[&] { sm->set_blend_func(gs::BF_ONE, gs::BF_ONE, 8, gs::BF_ONE); }, "unknown blendmode"},
        {[&] { sm->set_blend_func(0xF154); }, "unknown blendmode"},
        {[&] { sm->set_depth_func(5); }, "unknown depth state"},
        {[&] { sm->set_depth_func(7); }, "unknown depth state"},
        {[&] { sm->set_fill_mode(3); }, "unknown polygon fill mode"},
    };
    for (const Case& c : cases) {
        sm->pending = applied;
        sm->set_fog(true);  // a valid change in the same apply must not leak out either
        c.set();
        EXPECT_EQ(failure_of([&] { sm->apply(); }), c.message);
        EXPECT_TRUE(take().empty()) << c.message;
        EXPECT_EQ(sm->applied, applied) << c.message;
    }
    // Setters do not validate: an invalid code only fails once it is applied.
    sm->pending = applied;
    sm->set_depth_func(6);
    sm->set_depth_func(gs::DEPTH_GREATER);
    EXPECT_EQ(failure_of([&] { sm->apply(); }), "");
}

TEST_F(StateManagerTest, OnlyFourLights)
{
    const cGLState before = sm->pending;
    EXPECT_EQ(failure_of([&] { sm->enable_light(GL_LIGHT4); }), "statemanager currently only supports 4 lights");
    EXPECT_EQ(failure_of([&] { sm->enable_light(GL_LIGHT0 - 1); }), "statemanager currently only supports 4 lights");
    EXPECT_EQ(sm->pending, before);
}
