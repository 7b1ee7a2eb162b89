#include "shaders/shd_surface.h"

#include <algorithm>

#include "gl_error.h"
#include "log.h"
#include "shaders/shd_params.h"

namespace {

// One line per parameter the program lacks, naming where it was asked for.
GLint checked(GLint location, const char* source, int line = __builtin_LINE())
{
    if (location < 0)
        log_error_at("## ERROR: unable to get shader-parameters in ", source, ", ", "", line);
    return location;
}

}  // namespace

// ---- sine waves ------------------------------------------------------------------

cShdSinewaves::cShdSinewaves()
{
    load_from_files("sinewaves.vert", "sinewaves.frag");
}

void cShdSinewaves::init_parameters()
{
    const char* src = "../src/shaders/cShdSinewaves";
    loc_cur_t = checked(uniform("cur_t"), src);
    loc_offset = checked(uniform("offset"), src);
    loc_in_strength = checked(uniform("in_strength"), src);
    loc_dist_t = checked(uniform("dist_t"), src);
    loc_in_lighten = checked(uniform("in_lighten"), src);
}

void cShdSinewaves::set_parameter(int id, iVar* value)
{
    switch (id) {
    case 1: var_float(value, cur_t); break;
    case 2: var_floats(value, offset, 3); break;
    case 3: var_float(value, in_strength); break;
    case 4: var_float(value, dist_t); break;
    case 5: var_float(value, in_lighten); break;
    default: break;
    }
}

void cShdSinewaves::upload_parameters()
{
    glUniform1f(loc_cur_t, cur_t);
    glUniform3f(loc_offset, offset[0], offset[1], offset[2]);
    glUniform1f(loc_in_strength, in_strength);
    glUniform1f(loc_dist_t, dist_t);
    glUniform1f(loc_in_lighten, in_lighten);
}

// ---- particle billboards -----------------------------------------------------------

cShdParticleExpansion::cShdParticleExpansion()
{
    load_from_files("particleexpansion.vert", "particleexpansion.frag");
}

void cShdParticleExpansion::init_parameters()
{
    const char* src = "../src/shaders/cShdParticleExpansion";
    loc_particle_size = checked(uniform("particle_size"), src);
    loc_particle_intensity = checked(uniform("particle_intensity"), src);
}

void cShdParticleExpansion::set_parameter(int id, iVar* value)
{
    if (id == 1)
        var_float(value, particle_size);
    else if (id == 2)
        var_float(value, particle_intensity);
}

void cShdParticleExpansion::upload_parameters()
{
    glUniform1f(loc_particle_size, particle_size);
    glUniform1f(loc_particle_intensity, particle_intensity);
}

// ---- lit particle billboards --------------------------------------------------------

cShdParticleLight::cShdParticleLight()
{
    load_from_files("particleexpansion_light.vert", "particleexpansion_light.frag");
}

void cShdParticleLight::init_parameters()
{
    const char* src = "../src/shaders/cShdParticleLight";
    loc_cur_t = checked(uniform("cur_t"), src);
    loc_light_position = checked(uniform("ws_light_position"), src);
    loc_max_dist = checked(uniform("max_dist"), src);
    loc_seg_width_norm = checked(uniform("seg_width_norm"), src);
    loc_particle_size = checked(uniform("particle_size"), src);
    loc_min_color = checked(uniform("min_color"), src);
    loc_max_color = checked(uniform("max_color"), src);
}

void cShdParticleLight::set_parameter(int id, iVar* value)
{
    switch (id) {
    case 1: var_float(value, cur_t); break;
    case 2: var_floats(value, light_position, 3); break;
    case 3: var_float(value, max_dist); break;
    case 4: var_floats(value, min_color, 3); break;
    case 5: var_floats(value, max_color, 3); break;
    case 6: var_float(value, seg_width_norm); break;
    case 7: var_float(value, particle_size); break;
    default: break;
    }
}

void cShdParticleLight::upload_parameters()
{
    glUniform1f(loc_cur_t, cur_t);
    glUniform1f(loc_max_dist, max_dist);
    glUniform1f(loc_seg_width_norm, seg_width_norm);
    glUniform1f(loc_particle_size, particle_size);
    glUniform3fv(loc_light_position, 1, light_position);
    glUniform3fv(loc_min_color, 1, min_color);
    glUniform3fv(loc_max_color, 1, max_color);
}

// ---- normal extrusion ------------------------------------------------------------------

cShdNormExt::cShdNormExt()
{
    load_from_files("normext.vert", "normext.frag");
}

void cShdNormExt::init_parameters()
{
    const char* src = "../src/shaders/cShdNormExt";
    loc_t_parm = checked(uniform("t_parm"), src);
    loc_inner_rotmat = checked(uniform("inner_rotmat"), src);
    loc_outer_rotmat = checked(uniform("outer_rotmat"), src);
    loc_max_extrude = checked(uniform("max_extrude"), src);
}

void cShdNormExt::set_parameter(int id, iVar* value)
{
    switch (id) {
    case 1: var_float(value, t_parm); break;
    case 2: var_floats(value, inner_rotmat, 16); break;
    case 3: var_floats(value, outer_rotmat, 16); break;
    case 4: var_float(value, max_extrude); break;
    default: break;
    }
}

void cShdNormExt::upload_parameters()
{
    glUniform1f(loc_t_parm, t_parm);
    glUniform1f(loc_max_extrude, max_extrude);
    glUniformMatrix4fv(loc_inner_rotmat, 1, GL_FALSE, inner_rotmat);
    glUniformMatrix4fv(loc_outer_rotmat, 1, GL_FALSE, outer_rotmat);
}

// ---- morphing ------------------------------------------------------------------------------

cShdMorphDtex::cShdMorphDtex()
{
    load_from_files("morphDtex.vert", "morphDtex.frag");
}

void cShdMorphDtex::init_parameters()
{
    loc_cur_t = checked(uniform("cur_t"), "../src/shaders/cShdMorphDtex");
}

void cShdMorphDtex::set_parameter(int, iVar* value)
{
    var_float(value, cur_t);
}

void cShdMorphDtex::upload_parameters()
{
    glUniform1f(loc_cur_t, cur_t);
}

// ---- triple lightmap ----------------------------------------------------------------------

cShdLightmapTriple::cShdLightmapTriple()
{
    load_from_files("lightmap_triple.vert", "lightmap_triple.frag");
}

void cShdLightmapTriple::init_parameters()
{
    loc_intensities = uniform("intensities");
    loc_lightmap_col = uniform("lightmap_col");
}

void cShdLightmapTriple::set_parameter(int id, iVar* value)
{
    if (id == 1)
        var_floats(value, intensities, 3);
    else if (id == 2)
        var_floats(value, lightmap_col, 3);
}

void cShdLightmapTriple::upload_parameters()
{
    glUniform3fv(loc_intensities, 1, intensities);
    glUniform3fv(loc_lightmap_col, 1, lightmap_col);
}

// ---- x-ray and fog falloff ------------------------------------------------------------------

cShdXrayTex::cShdXrayTex()
{
    load_from_files("xray_tex.vert", "xray_tex.frag");
}

cShdXrayTex::cShdXrayTex(const char* vertex_file, const char* fragment_file)
{
    load_from_files(vertex_file, fragment_file);
}

cShdFogFalloff::cShdFogFalloff() : cShdXrayTex("fog_falloff.vert", "fog_falloff.frag") {}

void cShdXrayTex::init_parameters()
{
    loc_lightemit = uniform("lightemit");
}

void cShdXrayTex::set_parameter(int, iVar* value)
{
    var_float(value, lightemit);
}

void cShdXrayTex::upload_parameters()
{
    glUniform1f(loc_lightemit, lightemit);
}

// ---- rose copies ----------------------------------------------------------------------------

cShdRose::cShdRose()
{
    load_from_files("rose.vert", "default.frag");
}

void cShdRose::init_parameters()
{
    const char* src = "../src/shaders/cShdRose";
    loc_turn = checked(uniform("turn"), src);
    loc_turn_step = checked(uniform("turn_step"), src);
    loc_size = checked(uniform("size"), src);
    loc_stretch = checked(uniform("stretch"), src);
    loc_spacing = checked(uniform("spacing"), src);
    loc_colour = checked(uniform("colour"), src);
    loc_kick = checked(uniform("kick"), src);
}

void cShdRose::set_parameter(int id, iVar* value)
{
    float v[BLOCK];
    if (id != 1 || !var_floats(value, v, BLOCK))
        return;
    std::copy_n(v, 3, turn);
    std::copy_n(v + 3, 3, turn_step);
    std::copy_n(v + 6, 2, size);
    stretch = v[8];
    spacing = v[9];
    std::copy_n(v + 10, 4, colour);
    kick = v[14];
}

void cShdRose::upload_parameters()
{
    glUniform3fv(loc_turn, 1, turn);
    glUniform3fv(loc_turn_step, 1, turn_step);
    glUniform2fv(loc_size, 1, size);
    glUniform1f(loc_stretch, stretch);
    glUniform1f(loc_spacing, spacing);
    glUniform4fv(loc_colour, 1, colour);
    glUniform1f(loc_kick, kick);
}
