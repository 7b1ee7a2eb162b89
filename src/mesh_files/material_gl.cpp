#include "mesh_files/material_gl.h"

#include <algorithm>

namespace {

constexpr GLfloat BLACK[4] = {0, 0, 0, 1};
constexpr GLfloat WHITE[4] = {1, 1, 1, 1};

void material(GLenum pname, const GLfloat* rgba)
{
    glMaterialfv(GL_FRONT_AND_BACK, pname, rgba);
}

void bind_map(cTexture& map, GLenum unit)
{
    map.unit = unit;
    glActiveTextureARB(unit);
    glEnable(map.target);
    glBindTexture(map.target, map.name);
    glActiveTextureARB(GL_TEXTURE0);
}

void release_map(const cTexture& map, GLenum unit)
{
    if (map.target == 0)
        return;
    glActiveTextureARB(unit);
    glDisable(map.target);
    glBindTexture(map.target, 0);
}

}  // namespace

void cMaterial_GL::apply_colors() const
{
    switch (illum) {
    case 0:
        material(GL_AMBIENT_AND_DIFFUSE, BLACK);
        material(GL_SPECULAR, BLACK);
        material(GL_EMISSION, Kd.data());
        break;
    case 1:
        material(GL_EMISSION, emission.data());
        material(GL_AMBIENT, Ka.data());
        material(GL_DIFFUSE, Kd.data());
        material(GL_SPECULAR, BLACK);
        break;
    case 2:
    case 4:
        material(GL_EMISSION, emission.data());
        material(GL_AMBIENT, Ka.data());
        material(GL_DIFFUSE, Kd.data());
        material(GL_SPECULAR, Ks.data());
        // MTL exponents run to 1000; GL refuses anything above 128 and would
        // keep the previous material's shininess.
        glMaterialf(GL_FRONT_AND_BACK, GL_SHININESS, std::clamp(Ns, 0.0f, 128.0f));
        break;
    default:
        break;
    }
}

void cMaterial_GL::apply()
{
    apply_colors();
    if (ambient_map.target != 0) {
        material(GL_AMBIENT, WHITE);
        bind_map(ambient_map, AMBIENT_MAP_UNIT);
    }
    if (diffuse_map.target != 0) {
        material(GL_DIFFUSE, WHITE);
        bind_map(diffuse_map, DIFFUSE_MAP_UNIT);
    }
    if (specular_map.target != 0) {
        material(GL_SPECULAR, WHITE);
        bind_map(specular_map, SPECULAR_MAP_UNIT);
    }
    glActiveTextureARB(GL_TEXTURE0);
}

void cMaterial_GL::release_maps() const
{
    release_map(ambient_map, AMBIENT_MAP_UNIT);
    release_map(diffuse_map, DIFFUSE_MAP_UNIT);
    release_map(specular_map, SPECULAR_MAP_UNIT);
    glActiveTextureARB(GL_TEXTURE0);
}

void cMaterial_GL::load_textures()
{
    cTextureManager* textures = cTextureManager::get_instance();
    if (!map_Ka.empty())
        ambient_map = textures->get_texture(map_Ka, true, GL_CLAMP, 0);
    if (!map_Kd.empty())
        diffuse_map = textures->get_texture(map_Kd, true, GL_CLAMP, 0);
    else if (!map_d.empty())
        diffuse_map = textures->get_texture(map_d, true, GL_REPEAT, 0);
    apply_dissolve();
}
