#include "shaders/shd_post.h"

#include <iostream>

#include "shaders/shd_params.h"

// ---- radial blur ----------------------------------------------------------

cShdRadialblur::cShdRadialblur()
{
    uniforms = {{"blur_center", center, 2},
                {"dist", &dist, 1},
                {"num_samples", &num_samples, 1},
                {"propagation", &propagation, 1},
                {"multiplier", &multiplier, 1}};
    load_from_files("post_radialblur.vert", "post_radialblur.frag");
}

void cShdRadialblur::init_parameters()
{
    if (!find_uniforms())
        std::cerr << "## ERROR: unable to get parameters in cSdhRadialblur::init_parameters()" << std::endl;
}

void cShdRadialblur::set_parameter(int id, iVar* value)
{
    if (id == 1)
        set_block(value);
}

void cShdRadialblur::upload_parameters()
{
    upload_uniforms();
}

// ---- levels -----------------------------------------------------------------

cShdLevels::cShdLevels()
{
    uniforms = {{"inBlack", &in_black, 1}, {"inWhite", &in_white, 1}, {"Gamma", &gamma, 1},
                {"outBlack", &out_black, 1}, {"outWhite", &out_white, 1}};
    load_from_files("post_levels.vert", "post_levels.frag");
}

void cShdLevels::init_parameters()
{
    if (!find_uniforms())
        std::cerr << "## ERROR: unable to get parameters in cShdLevels::init_parameters()" << std::endl;
}

void cShdLevels::set_parameter(int id, iVar* value)
{
    if (id == 1)
        set_block(value);
}

void cShdLevels::upload_parameters()
{
    upload_uniforms();
}

// ---- hue / saturation / brightness --------------------------------------------

void hsb_convert(const float in[3], float& h_adjust, float& s_adjust, float& b_adjust)
{
    const double pi = 3.141592653589793;
    h_adjust = static_cast<float>(in[0] / -180.0 * pi);
    s_adjust = static_cast<float>(in[1] / 100.0 + 1.0);
    b_adjust = static_cast<float>(in[2] / 100.0);
}

cShdPostHSB::cShdPostHSB()
{
    uniforms = {{"H_adjust", &h_adjust, 1}, {"S_adjust", &s_adjust, 1}, {"B_adjust", &b_adjust, 1}};
    load_from_files("post_hsb.vert", "post_hsb.frag");
}

void cShdPostHSB::init_parameters()
{
    if (!find_uniforms())
        std::cerr << "## ERROR: unable to get parameters in " << "cShdPostHSB::init_parameters" << std::endl;
}

void cShdPostHSB::set_parameter(int, iVar* value)
{
    float v[3];
    if (var_floats(value, v, 3))
        hsb_convert(v, h_adjust, s_adjust, b_adjust);
}

void cShdPostHSB::upload_parameters()
{
    upload_uniforms();
}

// ---- separable blur -------------------------------------------------------------

cShdBlurTex::cShdBlurTex() : cShdBlurTex("blurtex.vert", "blurtex.frag") {}

cShdBlurTex::cShdBlurTex(const char* vertex_file, const char* fragment_file)
{
    uniforms = {{"sampledir", block, 2}, {"radius", block + 2, 1},
                {"weights", block + 3, MAX_RADIUS + 1, cUniform::ARRAY}};
    load_from_files(vertex_file, fragment_file);
}

cShdBlurTexNoAlpha::cShdBlurTexNoAlpha() : cShdBlurTex("blurtex_noalpha.vert", "blurtex_noalpha.frag") {}

void cShdBlurTex::init_parameters()
{
    find_uniforms();
}

void cShdBlurTex::set_parameter(int id, iVar* value)
{
    if (id == 1)
        set_block(value);
}

void cShdBlurTex::upload_parameters()
{
    upload_uniforms();
}
