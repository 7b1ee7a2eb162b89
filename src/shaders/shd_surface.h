#pragma once
// Shader classes with parameters that scenes and the particle renderer draw
// geometry with: sine-wave displacement, particle billboards (plain and
// lit), normal extrusion, mesh morphing, triple lightmaps, x-ray, fog
// falloff and the rose's turned copies. Registered by their users at load
// time, owned by cShaderManager_GLSL; values are copied on set_parameter
// into the class's uniform table and uploaded at every bind.
#include <cstddef>
#include <limits>

#include "shader_manager.h"

class cShdSinewaves : public cShader_GLSL {
public:
    cShdSinewaves();
    void init_parameters() override;
    // 1 cur_t, 2 offset float[3], 3 in_strength, 4 dist_t, 5 in_lighten.
    void set_parameter(int id, iVar* value) override;
    void upload_parameters() override;
    void release_parameters() override {}

    float cur_t = 0.0f;  // wave phase, periods
    float offset[3] = {std::numeric_limits<float>::quiet_NaN(), std::numeric_limits<float>::quiet_NaN(),
                       std::numeric_limits<float>::quiet_NaN()};  // wave centre, object space
    float in_strength = 0.0f;  // displacement, object units
    float dist_t = 0.0f;       // reach of the wave front, object units
    float in_lighten = 0.0f;   // added brightness on crests, 0-1
};

class cShdParticleExpansion : public cShader_GLSL {
public:
    cShdParticleExpansion();
    void init_parameters() override;
    void set_parameter(int id, iVar* value) override;  // 1 particle_size, 2 particle_intensity
    void upload_parameters() override;
    void release_parameters() override {}

    float particle_size = 1.0f;        // quad half-size, eye-space units
    float particle_intensity = 0.25f;  // opacity factor, 0-1
};

class cShdParticleLight : public cShader_GLSL {
public:
    cShdParticleLight();
    void init_parameters() override;
    // 1 cur_t, 2 ws_light_position float[3], 3 max_dist, 4 min_color
    // float[3], 5 max_color float[3], 6 seg_width_norm, 7 particle_size.
    void set_parameter(int id, iVar* value) override;
    void upload_parameters() override;
    void release_parameters() override {}

    float cur_t = 0.0f;  // position of the sweeping shell, 0-1 of max_dist
    float light_position[3] = {std::numeric_limits<float>::quiet_NaN(), std::numeric_limits<float>::quiet_NaN(),
                               std::numeric_limits<float>::quiet_NaN()};  // world space
    float max_dist = 250.0f;                   // light reach, world units
    float min_color[3] = {0.1f, 0.1f, 0.1f};   // unlit colour, 0-1
    float max_color[3] = {1.0f, 1.0f, 1.0f};   // fully lit colour, 0-1
    float seg_width_norm = 0.2f;               // shell width, fraction of max_dist
    float particle_size = 1.0f;                // quad half-size, eye-space units
};

class cShdNormExt : public cShader_GLSL {
public:
    cShdNormExt();
    void init_parameters() override;
    // cVar<float>: 1 t_parm, 4 max_extrude; cVar<float*>: 2 inner_rotmat,
    // 3 outer_rotmat (16 floats, column-major).
    void set_parameter(int id, iVar* value) override;
    void upload_parameters() override;
    void release_parameters() override {}

    float t_parm = 0.0f;           // extrusion along the normals, object units
    float max_extrude = 0.0f;      // extrusion that glows fully, object units
    float inner_rotmat[16] = {};   // column-major, applied before extruding
    float outer_rotmat[16] = {};   // column-major, applied after extruding
};

class cShdMorphDtex : public cShader_GLSL {
public:
    cShdMorphDtex();
    void init_parameters() override;
    void set_parameter(int id, iVar* value) override;  // any id: cur_t
    void upload_parameters() override;
    void release_parameters() override {}

    float cur_t = 0.0f;  // morph blend, 0 = drawn mesh, 1 = target mesh
};

class cShdLightmapTriple : public cShader_GLSL {
public:
    cShdLightmapTriple();
    void init_parameters() override;
    void set_parameter(int id, iVar* value) override;  // 1 intensities, 2 lightmap_col (float[3])
    void upload_parameters() override;
    void release_parameters() override {}

    float intensities[3] = {};   // weights of the red, green, blue lightmaps
    float lightmap_col[3] = {};  // light colour, 0-1
};

// X-ray and fog falloff share one parameter, the self-illumination.
class cShdXrayTex : public cShader_GLSL {
public:
    cShdXrayTex();
    void init_parameters() override;
    void set_parameter(int id, iVar* value) override;  // any id: lightemit
    void upload_parameters() override;
    void release_parameters() override {}

    float lightemit = 0.0f;  // added light, 0-1

protected:
    cShdXrayTex(const char* vertex_file, const char* fragment_file);
};

class cShdFogFalloff : public cShdXrayTex {
public:
    cShdFogFalloff();
};

// The rose's ribbon: turns, sizes and fades every copy of a model in a
// buffer whose vertices carry their copy's number (texture coordinate 0).
class cShdRose : public cShader_GLSL {
public:
    cShdRose();
    void init_parameters() override;
    // 1: float[15] = turn (3), turn_step (3), size (2), stretch, spacing,
    // colour (4), kick.
    void set_parameter(int id, iVar* value) override;
    void upload_parameters() override;
    void release_parameters() override {}

    static constexpr size_t BLOCK = 15;  // floats in the parameter block

    float turn[3] = {};                 // first copy about x, y, z, degrees
    float turn_step[3] = {};            // less per further copy, degrees
    float size[2] = {1.0f, 0.0f};       // first copy's size, growth per copy
    float stretch = 1.0f;               // extra scale along x
    float spacing = 0.0f;               // distance between copies along x
    float colour[4] = {1, 1, 1, 1};     // rgb, base opacity
    float kick = 0.0f;                  // opacity added to every copy
};
