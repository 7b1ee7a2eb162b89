#pragma once
// Tweak-GUI rows for the effects' parameter blocks. Each row is bound to a
// field of the caller's block, which must outlive whatever is made from the
// rows (scenes own their blocks for the life of the demo).
#include "post/post_blur.h"
#include "post/post_color.h"
#include "post/post_compositing.h"
#include "post/post_glow.h"
#include "post/post_kaleido.h"
#include "values/var_table.h"

// The block's sliders as table rows (the radial blur's ranges follow the
// window size at the time of the call).
tVarTable slider_rows(cRadialBlurParams& block);
tVarTable slider_rows(cLevelsParams& block);
tVarTable slider_rows(cCutParams& block);
tVarTable slider_rows(cHSBParams& block);
tVarTable slider_rows(cKaleidoParams& block);
tVarTable slider_rows(cFeedbackParams& block);
