#include "shaders/shd_plain.h"

cShdPlain::cShdPlain(const char* vertex_file, const char* fragment_file)
{
    load_from_files(vertex_file, fragment_file);
}

cShdDefault::cShdDefault() : cShdPlain("default.vert", "default.frag") {}

cShdPostSpillAdd::cShdPostSpillAdd() : cShdPlain("post_spilladd.vert", "post_spilladd.frag") {}
cShdPostColDodge::cShdPostColDodge() : cShdPlain("post_col_dodge.vert", "post_col_dodge.frag") {}
cShdPostColDodgeMasked::cShdPostColDodgeMasked()
    : cShdPlain("post_col_dodge_masked.vert", "post_col_dodge_masked.frag")
{
}
cShdCorrection::cShdCorrection() : cShdPlain("post_correction.vert", "post_correction.frag") {}

cShdCompOver::cShdCompOver() : cShdPlain("comp_over.vert", "comp_over.frag") {}
cShdCompAdd::cShdCompAdd() : cShdPlain("comp_add.vert", "comp_add.frag") {}
cShdCompDodge::cShdCompDodge() : cShdPlain("comp_dodge.vert", "comp_dodge.frag") {}
cShdCompScreen::cShdCompScreen() : cShdPlain("comp_screen.vert", "comp_screen.frag") {}

cShdVCol::cShdVCol() : cShdPlain("vcol.vert", "vcol.frag") {}
cShdSelfIllum::cShdSelfIllum() : cShdPlain("selfillum.vert", "selfillum.frag") {}
cShdRGBAtex::cShdRGBAtex() : cShdPlain("RGBAtex.vert", "RGBAtex.frag") {}
cShdNotex::cShdNotex() : cShdPlain("notex.vert", "notex.frag") {}
cShdGanesh::cShdGanesh() : cShdPlain("ganesh.vert", "ganesh.frag") {}
cShdRGBAtexFade::cShdRGBAtexFade() : cShdPlain("RGBAtex_fade.vert", "RGBAtex_fade.frag") {}
cShdSrcCol::cShdSrcCol() : cShdPlain("srccol.vert", "srccol.frag") {}
cShdSrcColAdd::cShdSrcColAdd() : cShdPlain("srccol_add.vert", "srccol_add.frag") {}
cShdDtex::cShdDtex() : cShdPlain("Dtex.vert", "Dtex.frag") {}
cShdMasked::cShdMasked() : cShdPlain("masked.vert", "masked.frag") {}
