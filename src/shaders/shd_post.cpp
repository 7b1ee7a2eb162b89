#include "shaders/shd_post.h"

#include <iostream>

#include "shaders/shd_params.h"

// ---- radial blur ----------------------------------------------------------

cShdRadialblur::cShdRadialblur()
{
    load_from_files("post_radialblur.vert", "post_radialblur.frag");
}

void cShdRadialblur::init_parameters()
{
    loc_blur_center = uniform("blur_center");
    loc_dist = uniform("dist");
    loc_num_samples = uniform("num_samples");
    loc_propagation = uniform("propagation");
    loc_multiplier = uniform("multiplier");
    if (loc_blur_center < 0 || loc_dist < 0 || loc_num_samples < 0 || loc_propagation < 0 || loc_multiplier < 0)
        std::cerr << "## ERROR: unable to get parameters in cSdhRadialblur::init_parameters()" << std::endl;
}

void cShdRadialblur::set_parameter(int id, iVar* value)
{
    float v[6];
    if (id != 1 || !var_floats(value, v, 6))
        return;
    center[0] = v[0];
    center[1] = v[1];
    dist = v[2];
    num_samples = v[3];
    propagation = v[4];
    multiplier = v[5];
}

void cShdRadialblur::upload_parameters()
{
    glUniform2f(loc_blur_center, center[0], center[1]);
    glUniform1f(loc_dist, dist);
    glUniform1f(loc_num_samples, num_samples);
    glUniform1f(loc_propagation, propagation);
    glUniform1f(loc_multiplier, multiplier);
}

// ---- levels -----------------------------------------------------------------

cShdLevels::cShdLevels()
{
    load_from_files("post_levels.vert", "post_levels.frag");
}

void cShdLevels::init_parameters()
{
    loc_in_black = uniform("inBlack");
    loc_in_white = uniform("inWhite");
    loc_gamma = uniform("Gamma");
    loc_out_black = uniform("outBlack");
    loc_out_white = uniform("outWhite");
    if (loc_in_black < 0 || loc_in_white < 0 || loc_gamma < 0 || loc_out_black < 0 || loc_out_white < 0)
        std::cerr << "## ERROR: unable to get parameters in cShdLevels::init_parameters()" << std::endl;
}

void cShdLevels::set_parameter(int id, iVar* value)
{
    float v[5];
    if (id != 1 || !var_floats(value, v, 5))
        return;
    in_black = v[0];
    in_white = v[1];
    gamma = v[2];
    out_black = v[3];
    out_white = v[4];
}

void cShdLevels::upload_parameters()
{
    glUniform1f(loc_in_black, in_black);
    glUniform1f(loc_in_white, in_white);
    glUniform1f(loc_gamma, gamma);
    glUniform1f(loc_out_black, out_black);
    glUniform1f(loc_out_white, out_white);
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
    load_from_files("post_hsb.vert", "post_hsb.frag");
}

void cShdPostHSB::init_parameters()
{
    loc_h = uniform("H_adjust");
    loc_s = uniform("S_adjust");
    loc_b = uniform("B_adjust");
    if (loc_h < 0 || loc_s < 0 || loc_b < 0)
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
    glUniform1f(loc_h, h_adjust);
    glUniform1f(loc_s, s_adjust);
    glUniform1f(loc_b, b_adjust);
}

// ---- separable blur -------------------------------------------------------------

cShdBlurTex::cShdBlurTex()
{
    load_from_files("blurtex.vert", "blurtex.frag");
}

cShdBlurTex::cShdBlurTex(const char* vertex_file, const char* fragment_file)
{
    load_from_files(vertex_file, fragment_file);
}

cShdBlurTexNoAlpha::cShdBlurTexNoAlpha() : cShdBlurTex("blurtex_noalpha.vert", "blurtex_noalpha.frag") {}

void cShdBlurTex::init_parameters()
{
    loc_sampledir = uniform("sampledir");
    loc_radius = uniform("radius");
    loc_weights = uniform("weights");
}

void cShdBlurTex::set_parameter(int id, iVar* value)
{
    if (id == 1)
        var_floats(value, block, BLOCK);
}

void cShdBlurTex::upload_parameters()
{
    glUniform2fv(loc_sampledir, 1, block);
    glUniform1f(loc_radius, block[2]);
    glUniform1fv(loc_weights, MAX_RADIUS + 1, block + 3);
}
