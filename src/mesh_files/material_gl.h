#pragma once
// The GL side of a material: the colours go to the fixed-function material
// state (which the shader programs read through gl_FrontMaterial and the
// light products) and up to three texture maps go to units 0, 1 and 2.
// A material belongs to its mesh and lives as long as the mesh; its
// textures belong to the texture manager. load_textures runs once at load
// time; apply and release_maps run per draw and never allocate.
#include <string>

#include "gl.h"
#include "mesh_files/material.h"
#include "texture_manager.h"

class cMaterial_GL : public cMaterial {
public:
    explicit cMaterial_GL(const std::string& name_ = "") : cMaterial(name_) {}
    explicit cMaterial_GL(const cMaterial& m) : cMaterial(m) {}

    // Material colours on both faces, by illumination model: 0 emits the
    // diffuse colour and reflects nothing (flat, unlit), 1 ambient + diffuse,
    // 2 and 4 ambient + diffuse + specular with shininess; others send nothing.
    void apply_colors() const;
    // apply_colors(), then every loaded map on its unit with its colour set
    // to white so that the texture alone gives that term. Unit 0 stays active.
    void apply();
    // Disables and unbinds the units this material's maps are bound on.
    void release_maps() const;
    // Loads the ambient map (clamped), the diffuse map (clamped; the opacity
    // map, repeated, when there is no diffuse map) through the texture
    // manager and copies the opacity into the colours' alpha. A missing
    // texture file ends the process in the texture manager.
    void load_textures();

    cTexture ambient_map;   // bound on unit 2; target 0 when the material has none
    cTexture diffuse_map;   // bound on unit 0; target 0 when none
    cTexture specular_map;  // bound on unit 1; target 0 when none (the readers load none)
};

// The texture unit each map of a material is bound on.
inline constexpr GLenum AMBIENT_MAP_UNIT = GL_TEXTURE2;
inline constexpr GLenum DIFFUSE_MAP_UNIT = GL_TEXTURE0;
inline constexpr GLenum SPECULAR_MAP_UNIT = GL_TEXTURE1;
