#include "shaders/shd_surface.h"

// ---- sine waves ------------------------------------------------------------------

cShdSinewaves::cShdSinewaves()
{
    uniforms = {{"cur_t", &cur_t, 1}, {"offset", offset, 3}, {"in_strength", &in_strength, 1},
                {"dist_t", &dist_t, 1}, {"in_lighten", &in_lighten, 1}};
    load_from_files("sinewaves.vert", "sinewaves.frag");
}

void cShdSinewaves::init_parameters()
{
    find_uniforms("../src/shaders/cShdSinewaves");
}

void cShdSinewaves::set_parameter(int id, iVar* value)
{
    set_row(static_cast<size_t>(id - 1), value);
}

void cShdSinewaves::upload_parameters()
{
    upload_uniforms();
}

// ---- particle billboards -----------------------------------------------------------

cShdParticleExpansion::cShdParticleExpansion()
{
    uniforms = {{"particle_size", &particle_size, 1}, {"particle_intensity", &particle_intensity, 1}};
    load_from_files("particleexpansion.vert", "particleexpansion.frag");
}

void cShdParticleExpansion::init_parameters()
{
    find_uniforms("../src/shaders/cShdParticleExpansion");
}

void cShdParticleExpansion::set_parameter(int id, iVar* value)
{
    set_row(static_cast<size_t>(id - 1), value);
}

void cShdParticleExpansion::upload_parameters()
{
    upload_uniforms();
}

// ---- lit particle billboards --------------------------------------------------------

cShdParticleLight::cShdParticleLight()
{
    uniforms = {{"cur_t", &cur_t, 1},
                {"ws_light_position", light_position, 3},
                {"max_dist", &max_dist, 1},
                {"min_color", min_color, 3},
                {"max_color", max_color, 3},
                {"seg_width_norm", &seg_width_norm, 1},
                {"particle_size", &particle_size, 1}};
    load_from_files("particleexpansion_light.vert", "particleexpansion_light.frag");
}

void cShdParticleLight::init_parameters()
{
    find_uniforms("../src/shaders/cShdParticleLight");
}

void cShdParticleLight::set_parameter(int id, iVar* value)
{
    set_row(static_cast<size_t>(id - 1), value);
}

void cShdParticleLight::upload_parameters()
{
    upload_uniforms();
}

// ---- normal extrusion ------------------------------------------------------------------

cShdNormExt::cShdNormExt()
{
    uniforms = {{"t_parm", &t_parm, 1},
                {"inner_rotmat", inner_rotmat, 16, cUniform::MATRIX},
                {"outer_rotmat", outer_rotmat, 16, cUniform::MATRIX},
                {"max_extrude", &max_extrude, 1}};
    load_from_files("normext.vert", "normext.frag");
}

void cShdNormExt::init_parameters()
{
    find_uniforms("../src/shaders/cShdNormExt");
}

void cShdNormExt::set_parameter(int id, iVar* value)
{
    set_row(static_cast<size_t>(id - 1), value);
}

void cShdNormExt::upload_parameters()
{
    upload_uniforms();
}

// ---- morphing ------------------------------------------------------------------------------

cShdMorphDtex::cShdMorphDtex()
{
    uniforms = {{"cur_t", &cur_t, 1}};
    load_from_files("morphDtex.vert", "morphDtex.frag");
}

void cShdMorphDtex::init_parameters()
{
    find_uniforms("../src/shaders/cShdMorphDtex");
}

void cShdMorphDtex::set_parameter(int, iVar* value)
{
    set_row(0, value);
}

void cShdMorphDtex::upload_parameters()
{
    upload_uniforms();
}

// ---- triple lightmap ----------------------------------------------------------------------

cShdLightmapTriple::cShdLightmapTriple()
{
    uniforms = {{"intensities", intensities, 3}, {"lightmap_col", lightmap_col, 3}};
    load_from_files("lightmap_triple.vert", "lightmap_triple.frag");
}

void cShdLightmapTriple::init_parameters()
{
    find_uniforms();
}

void cShdLightmapTriple::set_parameter(int id, iVar* value)
{
    set_row(static_cast<size_t>(id - 1), value);
}

void cShdLightmapTriple::upload_parameters()
{
    upload_uniforms();
}

// ---- x-ray and fog falloff ------------------------------------------------------------------

cShdXrayTex::cShdXrayTex() : cShdXrayTex("xray_tex.vert", "xray_tex.frag") {}

cShdXrayTex::cShdXrayTex(const char* vertex_file, const char* fragment_file)
{
    uniforms = {{"lightemit", &lightemit, 1}};
    load_from_files(vertex_file, fragment_file);
}

cShdFogFalloff::cShdFogFalloff() : cShdXrayTex("fog_falloff.vert", "fog_falloff.frag") {}

void cShdXrayTex::init_parameters()
{
    find_uniforms();
}

void cShdXrayTex::set_parameter(int, iVar* value)
{
    set_row(0, value);
}

void cShdXrayTex::upload_parameters()
{
    upload_uniforms();
}

// ---- rose copies ----------------------------------------------------------------------------

cShdRose::cShdRose()
{
    uniforms = {{"turn", turn, 3},       {"turn_step", turn_step, 3}, {"size", size, 2}, {"stretch", &stretch, 1},
                {"spacing", &spacing, 1}, {"colour", colour, 4},       {"kick", &kick, 1}};
    load_from_files("rose.vert", "default.frag");
}

void cShdRose::init_parameters()
{
    find_uniforms("../src/shaders/cShdRose");
}

void cShdRose::set_parameter(int id, iVar* value)
{
    if (id == 1)
        set_block(value);
}

void cShdRose::upload_parameters()
{
    upload_uniforms();
}
