#include <gtest/gtest.h>

#include <array>
#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

#include "state_manager.h"

namespace {

// What apply() sent: the operation (E enable, D disable, M depth mask, F depth
// func, P polygon mode, C cull face, W front face, B blend func) and its arguments.
using Call = std::array<GLenum, 5>;
std::vector<Call> calls;

const cGLStateBackend RECORDER = {
    [](GLenum cap) { calls.push_back({'E', cap}); },
    [](GLenum cap) { calls.push_back({'D', cap}); },
    [](GLboolean flag) { calls.push_back({'M', flag}); },
    [](GLenum func) { calls.push_back({'F', func}); },
    [](GLenum face, GLenum mode) { calls.push_back({'P', face, mode}); },
    [](GLenum face) { calls.push_back({'C', face}); },
    [](GLenum mode) { calls.push_back({'W', mode}); },
    [](GLenum sr, GLenum dr, GLenum sa, GLenum da) { calls.push_back({'B', sr, dr, sa, da}); },
};

std::string failure_of(const std::function<void()>& op)
{
    try {
        op();
    } catch (const std::runtime_error& e) {
        return e.what();
    }
    return "";
}

}  // namespace

class StateManagerTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        cStateManager::destroy_instance();
        sm = cStateManager::get_instance();
        sm->backend = &RECORDER;
        calls.clear();
    }
    void TearDown() override { cStateManager::destroy_instance(); }
    std::vector<Call> take() { return std::exchange(calls, {}); }
    // Applies a known state (everything off, default blend word).
    void settle()
    {
        sm->set_blend_func(gs::BLEND_DEFAULT);
        sm->apply();
        calls.clear();
    }
    cStateManager* sm = nullptr;
};

TEST_F(StateManagerTest, BlendWordsAndFieldsSitWhereTheLayoutSays)
{
    const struct {
        uint16_t word;
        std::array<uint32_t, 4> factors;  // colour src, dst, alpha src, dst
    } cases[] = {
        {0x0154, {gs::BF_SRC_ALPHA, gs::BF_ONE_MINUS_SRC_ALPHA, gs::BF_ONE, gs::BF_ZERO}},
        {0x1154, {gs::BF_SRC_ALPHA, gs::BF_ONE_MINUS_SRC_ALPHA, gs::BF_ONE, gs::BF_ONE}},
        {0x1014, {gs::BF_SRC_ALPHA, gs::BF_ONE, gs::BF_ZERO, gs::BF_ONE}},
        {0x5050, {gs::BF_ZERO, gs::BF_ONE_MINUS_SRC_ALPHA, gs::BF_ZERO, gs::BF_ONE_MINUS_SRC_ALPHA}},
    };
    for (const auto& c : cases) {
        sm->pending = {};
        sm->set_blend_func(c.factors[0], c.factors[1], c.factors[2], c.factors[3]);
        EXPECT_EQ(sm->pending.word[0], static_cast<uint32_t>(c.word) << 16) << std::hex << c.word;
        const cStateField fields[] = {gs::BLEND_SRC_COLOR, gs::BLEND_DST_COLOR, gs::BLEND_SRC_ALPHA, gs::BLEND_DST_ALPHA};
        for (int f = 0; f < 4; ++f)
            EXPECT_EQ(sm->pending.get(fields[f]), c.factors[f]) << std::hex << c.word << " field " << f;
    }
    sm->pending = {};
    sm->set_depth_test(true);
    sm->set_depth_func(gs::DEPTH_GEQUAL);
    sm->set_fill_mode(0xFF);  // a setter never spills into its neighbours
    sm->set_cull_side(true);
    sm->set_front_face(true);
    sm->set_blend(true);
    sm->set_fog(true);
    sm->set_lighting(true);
    sm->enable_light(GL_LIGHT0);
    EXPECT_EQ(sm->pending.word[0], 0x11F1u);
    EXPECT_EQ(sm->pending.word[1], 0x0D00u);  // byte 5, bits 0, 2, 3
}

TEST_F(StateManagerTest, InvertedAppliedStateSendsEveryFieldInOrderThenNothing)
{
    EXPECT_EQ(sm->applied.word[0] & sm->applied.word[1], 0xFFFFFFFFu);
    EXPECT_GE(sm->stack.capacity(), 100u);
    sm->set_depth_func(gs::DEPTH_LEQUAL);
    sm->set_blend_func(gs::BLEND_ALPHA);
    sm->enable_light(GL_LIGHT2);
    sm->applied.word[0] = ~sm->pending.word[0];
    sm->applied.word[1] = ~sm->pending.word[1];
    sm->apply();
    EXPECT_EQ(take(), (std::vector<Call>{
                          {'D', GL_DEPTH_TEST}, {'M', GL_FALSE}, {'F', GL_LEQUAL}, {'P', GL_FRONT_AND_BACK, GL_FILL},
                          {'C', GL_FRONT}, {'D', GL_CULL_FACE}, {'W', GL_CW}, {'D', GL_MULTISAMPLE},
                          {'D', GL_ALPHA_TEST}, {'D', GL_BLEND},
                          {'B', GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA, GL_ONE, GL_ONE},
                          {'D', GL_FOG}, {'D', GL_COLOR_MATERIAL}, {'D', GL_LIGHTING},
                          {'D', GL_LIGHT0}, {'D', GL_LIGHT1}, {'E', GL_LIGHT2}, {'D', GL_LIGHT3},
                      }));
    sm->apply();
    EXPECT_TRUE(take().empty());
    sm->force_full_apply = true;
    sm->apply();
    EXPECT_EQ(take().size(), 18u);
}

TEST_F(StateManagerTest, SendsOnlyWhatChanged)
{
    settle();
    sm->set_depth_test(false);  // unchanged
    sm->set_fill_mode(gs::FILL_LINE);
    sm->enable_light(GL_LIGHT3);
    sm->apply();
    EXPECT_EQ(take(), (std::vector<Call>{{'P', GL_FRONT_AND_BACK, GL_LINE}, {'E', GL_LIGHT3}}));
    sm->set_blend_func(gs::BLEND_ALPHA);  // only the alpha destination factor differs: all four go
    sm->apply();
    EXPECT_EQ(take(), (std::vector<Call>{{'B', GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA, GL_ONE, GL_ONE}}));
}

TEST_F(StateManagerTest, PopRestoresWishesButOnlyApplyReachesGL)
{
    settle();
    const cGLState before = sm->pending;
    sm->push();
    sm->set_blend(true);
    sm->enable_light(GL_LIGHT0);
    sm->push();
    sm->set_fog(true);
    sm->pop();
    sm->apply();
    EXPECT_EQ(take(), (std::vector<Call>{{'E', GL_BLEND}, {'E', GL_LIGHT0}}));
    sm->pop();
    EXPECT_TRUE(calls.empty());
    EXPECT_EQ(sm->pending, before);
    sm->apply();
    EXPECT_EQ(take(), (std::vector<Call>{{'D', GL_BLEND}, {'D', GL_LIGHT0}}));
    sm->pop();  // unmatched: nothing changes
    EXPECT_EQ(sm->pending, before);
}

TEST_F(StateManagerTest, InvalidCodesFailOnApplyBeforeAnyGLCall)
{
    settle();
    const cGLState applied = sm->applied;
    const struct {
        cStateField field;
        uint32_t code;
        const char* message;
    } cases[] = {
        {gs::BLEND_SRC_ALPHA, 8, "unknown blendmode"},
        {gs::BLEND_DST_COLOR, 15, "unknown blendmode"},
        {gs::DEPTH_FUNC, 5, "unknown depth state"},
        {gs::FILL_MODE, 3, "unknown polygon fill mode"},
    };
    for (const auto& c : cases) {
        sm->pending = applied;
        sm->set_fog(true);  // a valid change in the same apply must not leak out
        sm->pending.set(c.field, c.code);
        EXPECT_EQ(failure_of([this] { sm->apply(); }), c.message);
        EXPECT_TRUE(take().empty()) << c.message;
        EXPECT_EQ(sm->applied, applied) << c.message;
    }
    const cGLState before = sm->pending;
    EXPECT_EQ(failure_of([this] { sm->enable_light(GL_LIGHT4); }), "statemanager currently only supports 4 lights");
    EXPECT_EQ(sm->pending, before);
}
