#pragma once
// Tweak-GUI sliders for the effects' parameter blocks. Each slider is bound to
// a field of the caller's block, which must outlive the list (scenes own
// their blocks for the life of the demo).
#include "post/post_blur.h"
#include "post/post_color.h"
#include "post/post_compositing.h"
#include "post/post_glow.h"
#include "post/post_kaleido.h"

class cGuiVarList;

void add_sliders(cGuiVarList* list, cRadialBlurParams& block);
void add_sliders(cGuiVarList* list, cLevelsParams& block);
void add_sliders(cGuiVarList* list, cCutParams& block);
void add_sliders(cGuiVarList* list, cHSBParams& block);
void add_sliders(cGuiVarList* list, cKaleidoParams& block);
void add_sliders(cGuiVarList* list, cFeedbackParams& block);
