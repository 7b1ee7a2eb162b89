// The scenes' effect chains that borrow the most targets of one size at
// once, run while their callers hold what they hold at that moment (the
// composition's two, each scene's own), stay within the pool made at
// start-up.
#include <functional>
#include <vector>

#include "post/post_blur.h"
#include "post/post_compositing.h"
#include "post/post_fixture.h"
#include "post/post_glow.h"
#include "post/post_kaleido.h"

namespace {

using tHold = std::function<cRenderTarget_fbo&(int32_t)>;

struct cChain {
    const char* scene;
    std::function<void(const tHold& hold)> run;  // hold(class) lends a target for the whole chain
};

const cChain CHAINS[] = {
    {"attractor, ring with trail", [](const tHold& hold) {
         cRenderTarget_fbo &result = hold(RTT_FULL), &first = hold(RTT_FULL), &g = hold(RTT_FULL);
         cTmpRenderTarget history;
         cFeedbackParams block;
         block.transform[0] = block.transform[5] = 1.02f;
         block.blur_iterations = 2;
         block.fade = 0.06f;
         for (int frame = 0; frame < 2; ++frame) {
             cPostCut::get_instance()->apply_glow(g, first, {RTT_HALF, 250, 255});
             cPostFeedback::get_instance()->apply(history, g, result, block);
         }
     }},
    {"rose", [](const tHold& hold) {
         cRenderTarget_fbo &r = hold(RTT_FULL), &a = hold(RTT_FULL);
         cPostBlur::get_instance()->apply(a, a, true);
         cRenderTarget_fbo& b = hold(RTT_HALF);
         cPostCut::get_instance()->apply(a, b, {RTT_HALF, 185, 185});
         into(r, [&] { cPostSpill::get_instance()->apply(a, b); });
         into(r, [&] { cPostKaleido2d::get_instance()->apply(a, 5); });
     }},
    {"spike ball", [](const tHold& hold) {
         cRenderTarget_fbo &r = hold(RTT_HALF), &a = hold(RTT_HALF);
         cPostRadialBlur::get_instance()->apply(a, r, {});
         cPostCompositing::get_instance()->apply(r, a, hold(RTT_HALF), COMP_DODGE, 1);
     }},
    {"title", [](const tHold& hold) {
         cRenderTarget_fbo &r = hold(RTT_FULL), &a = hold(RTT_HALF), &b = hold(RTT_HALF);
         for (cRenderTarget_fbo* from : {&r, &a, &a})
             cPostBlur::get_instance()->apply(a, *from, true);
         into(b, [&] { cPostLevels::get_instance()->apply(a, {165, 215, 1, 0, 255}); });
         cPostRadialBlur::get_instance()->apply(r, hold(RTT_FULL), {});
     }},
    {"particles", [](const tHold& hold) {
         cRenderTarget_fbo &r = hold(RTT_QUATER), &a = hold(RTT_QUATER), &b = hold(RTT_QUATER);
         into(a, [&] { cPostKaleido2d::get_instance()->apply(r, 7); });
         cPostCut::get_instance()->apply(a, b, {RTT_QUATER, 200, 128});
         into(r, [&] { cPostSpill::get_instance()->apply(a, b); });
     }},
};

}  // namespace

TEST_F(PostTest, EveryScenesEffectChainStaysWithinThePool)
{
    cPostKaleido2d::get_instance()->init();  // as the scenes do while loading
    for (const cChain& chain : CHAINS) {
        std::vector<cTmpRenderTarget> held;
        held.reserve(16);
        const tHold hold = [&](int32_t size_class) -> cRenderTarget_fbo& {
            return *held.emplace_back(get_tmp_render_target(size_class)).target;
        };
        hold(RTT_FULL);  // the composition's front and back pictures
        hold(RTT_FULL);
        chain.run(hold);
        held.clear();
        EXPECT_EQ(pool->lent, 0u) << chain.scene;
        EXPECT_EQ(pool->free_list.size(), 17u) << chain.scene << ": a target was made after the warm-up";
    }
    EXPECT_LE(pool->max_lent, 17u);
}
