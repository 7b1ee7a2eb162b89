// The effect chains of the show's scenes, with the targets their callers
// hold at the same time (the composition's two, each scene's own), stay
// within the pool made at start-up; the fixture checks that no target was
// made afterwards and none is left lent.
#include <vector>

#include "post/post_blur.h"
#include "post/post_color.h"
#include "post/post_compositing.h"
#include "post/post_fixture.h"
#include "post/post_glow.h"
#include "post/post_kaleido.h"

namespace {

class PostPoolTest : public PostTest {
protected:
    // Targets held by the caller for the length of one chain.
    cRenderTarget_fbo& hold(int32_t size_class)
    {
        held.push_back(get_tmp_render_target(size_class));
        return *held.back().target;
    }
    void SetUp() override
    {
        PostTest::SetUp();
        held.reserve(16);
        hold(RTT_FULL);  // the composition's front and back pictures
        hold(RTT_FULL);
    }
    void TearDown() override
    {
        held.clear();
        EXPECT_LE(pool->max_lent, 17u);
        PostTest::TearDown();
    }
    std::vector<cTmpRenderTarget> held;
};

}  // namespace

TEST_F(PostPoolTest, AttractorSingleCloudHueKaleidoscopeAndGlow)
{
    cRenderTarget_fbo& t = hold(RTT_FULL);
    cRenderTarget_fbo& result = hold(RTT_FULL);
    into(result, [&] { cPostHSB::get_instance()->apply(t, {90, 0, 0, nullptr}); });
    into(t, [&] { cPostKaleido2d::get_instance()->apply(result, 3); });
    cPostCut::get_instance()->apply_glow(result, t, {RTT_HALF, 190, 255});
}

TEST_F(PostPoolTest, AttractorRingGlowAndFeedbackOverSeveralFrames)
{
    cRenderTarget_fbo& result = hold(RTT_FULL);
    cRenderTarget_fbo& first = hold(RTT_FULL);
    cRenderTarget_fbo& g = hold(RTT_FULL);
    cTmpRenderTarget history;
    cFeedbackParams block;
    block.transform[0] = block.transform[5] = 1.02f;
    block.blur_iterations = 2;
    block.fade = 0.06f;
    for (int frame = 0; frame < 3; ++frame) {
        cPostCut::get_instance()->apply_glow(g, first, {RTT_HALF, 250, 255});
        cPostFeedback::get_instance()->apply(history, g, result, block);
    }
    history.release();
}

TEST_F(PostPoolTest, MandalaGradingAndGlow)
{
    cRenderTarget_fbo& t = hold(RTT_FULL);
    cRenderTarget_fbo& result = hold(RTT_FULL);
    into(t, [&] { cPostHSB::get_instance()->apply(result, {24, -10, 0, nullptr}); });
    cPostCut::get_instance()->apply_glow(result, t, {RTT_QUATER, 250, 255});
}

TEST_F(PostPoolTest, RoseGrainGlowAndKaleidoscopeAtFullAndHalfSize)
{
    for (int32_t c : {RTT_FULL, RTT_HALF}) {
        cTmpRenderTarget r = get_tmp_render_target(c);
        cTmpRenderTarget a = get_tmp_render_target(c);
        cPostBlur::get_instance()->apply(*a.target, *a.target, true);
        cTmpRenderTarget b = get_tmp_render_target(RTT_HALF);
        cPostCut::get_instance()->apply(*a.target, *b.target, {RTT_HALF, 185, 185});
        into(*r.target, [&] { cPostSpill::get_instance()->apply(*a.target, *b.target); });
        b.release();
        into(*r.target, [&] { cPostKaleido2d::get_instance()->apply(*a.target, 5); });
    }
}

TEST_F(PostPoolTest, GreetingsAndCubeTunnelRadialBlur)
{
    cRenderTarget_fbo& a = hold(RTT_FULL);
    cRenderTarget_fbo& r = hold(RTT_FULL);
    cPostRadialBlur::get_instance()->apply(r, a, {});
}

TEST_F(PostPoolTest, SpikeBallRaysAndDodgeCompositing)
{
    cRenderTarget_fbo& r = hold(RTT_HALF);
    cRenderTarget_fbo& a = hold(RTT_HALF);
    cPostRadialBlur::get_instance()->apply(a, r, {});
    cRenderTarget_fbo& b = hold(RTT_HALF);
    cPostCompositing::get_instance()->apply(r, a, b, COMP_DODGE, 1);
}

TEST_F(PostPoolTest, TitleGlowMaskAndRays)
{
    cRenderTarget_fbo& r = hold(RTT_FULL);
    cRenderTarget_fbo& a = hold(RTT_HALF);
    cRenderTarget_fbo& b = hold(RTT_HALF);
    cPostBlur::get_instance()->apply(a, r, true);
    cPostBlur::get_instance()->apply(a, a, true);
    cPostBlur::get_instance()->apply(a, a, true);
    into(b, [&] { cPostLevels::get_instance()->apply(a, {165, 215, 1, 0, 255}); });
    cRenderTarget_fbo& c = hold(RTT_FULL);
    cPostRadialBlur::get_instance()->apply(r, c, {});
}

TEST_F(PostPoolTest, NetSphereMaskAndHalfSizeRays)
{
    cRenderTarget_fbo& r = hold(RTT_HALF);
    cRenderTarget_fbo& a = hold(RTT_HALF);
    into(a, [&] { cPostLevels::get_instance()->apply(r, {140.602f, 150.947f, 4, 2.68179f, 255}); });
    cRadialBlurParams block;
    block.size_class = RTT_HALF;
    cPostRadialBlur::get_instance()->apply(r, a, block);
}

TEST_F(PostPoolTest, ParticlesFoldAndQuarterSizeGlow)
{
    cRenderTarget_fbo& r = hold(RTT_QUATER);
    cRenderTarget_fbo& a = hold(RTT_QUATER);
    into(a, [&] { cPostKaleido2d::get_instance()->apply(r, 7); });
    cRenderTarget_fbo& b = hold(RTT_QUATER);
    cPostCut::get_instance()->apply(a, b, {RTT_QUATER, 200, 128});
    into(r, [&] { cPostSpill::get_instance()->apply(a, b); });
}

TEST_F(PostPoolTest, DefaultSceneDrawOverTheCheckerboard)
{
    held.clear();  // a scene drawn on its own: no composition targets
    cRenderTarget_fbo& result = hold(RTT_FULL);
    cRenderTarget_fbo& d = hold(RTT_FULL);
    cRenderTarget_fbo& b = hold(RTT_FULL);
    cPostCompositing::get_instance()->apply(d, result, b, COMP_BLEND, 1);
}
