#include "mesh_files/mesh_obj.h"

#include <cstdlib>
#include <iostream>

#include "log.h"
#include "shader_manager.h"
#include "shaders/shd_surface.h"
#include "state_manager.h"
#include "values/var.h"

// Sections: array bindings, upload, drawing, materials, morphing.

namespace {

const void* byte_offset(size_t bytes)
{
    return reinterpret_cast<const void*>(bytes);
}

template <typename T>
void release(std::vector<T>& v)
{
    std::vector<T>().swap(v);
}

}  // namespace

// ---- array bindings ----------------------------------------------------------------

void cArrayBinding::unbind() const
{
    switch (kind) {
    case BIND_POSITIONS:
        glDisableClientState(GL_VERTEX_ARRAY);
        glBindBufferARB(GL_ARRAY_BUFFER, 0);
        break;
    case BIND_NORMALS:
        glDisableClientState(GL_NORMAL_ARRAY);
        glBindBufferARB(GL_ARRAY_BUFFER, 0);
        break;
    case BIND_TEXCOORDS:
        glClientActiveTextureARB(unit);
        glDisableClientState(GL_TEXTURE_COORD_ARRAY);
        glClientActiveTextureARB(GL_TEXTURE0);
        glBindBufferARB(GL_ARRAY_BUFFER, 0);
        break;
    default:
        break;
    }
}

cMeshObj::cMeshObj()
{
    const int32_t components[4] = {3, 3, 2, 1};
    for (size_t b = 0; b < buffers.size(); ++b) {
        buffers[b].components = components[b];
        glGenBuffersARB(1, &buffers[b].name);
    }
}

cMeshObj::~cMeshObj()
{
    for (cMeshBuffer& b : buffers)
        glDeleteBuffersARB(1, &b.name);
}

GLuint cMeshObj::get_vbo(int which) const
{
    if (which < VBO_POSITIONS || which > VBO_INDICES) {
        std::cerr << "# ERROR in " << "../src/mesh_files/cMeshObj" << " line " << 176 << ": Unknown vbo. Exiting..."
                  << std::endl;
        fatal_exit(-1);
    }
    return buffers[size_t(which)].name;
}

// ---- upload ------------------------------------------------------------------------

namespace {

void fill(cMeshBuffer& buffer, GLenum target, const void* data, size_t count)
{
    glBindBufferARB(target, buffer.name);
    glBufferDataARB(target, GLsizeiptr(count * size_t(buffer.components) * 4), count ? data : nullptr, buffer.usage);
    glBindBufferARB(target, 0);
    buffer.count = uint32_t(count);
}

}  // namespace

void cMeshObj::upload(bool free_cpu_copies)
{
    if (cpu_copies_freed) {
        // Uploading the emptied arrays would wipe the buffers that still draw.
        std::cerr << "# warning: cMeshObj::upload: vertex arrays were released by an earlier upload; buffers kept"
                  << std::endl;
        return;
    }
    const std::string problem = check();
    if (!problem.empty()) {
        std::cerr << "# ERROR in cMeshObj::upload: " << problem << ". Mesh not uploaded." << std::endl;
        return;
    }
    fill(buffers[VBO_POSITIONS], GL_ARRAY_BUFFER, positions.data(), positions.size() / 3);
    fill(buffers[VBO_NORMALS], GL_ARRAY_BUFFER, normals.data(), normals.size() / 3);
    fill(buffers[VBO_TEXCOORDS], GL_ARRAY_BUFFER, texcoords.data(), texcoords.size() / 2);
    fill(buffers[VBO_INDICES], GL_ELEMENT_ARRAY_BUFFER, indices.data(), indices.size());
    if (free_cpu_copies) {
        release(positions);
        release(normals);
        release(texcoords);
        cpu_copies_freed = true;
    }
}

// ---- drawing -----------------------------------------------------------------------

void cMeshObj::bind_arrays()
{
    const uint32_t vertices = buffers[VBO_POSITIONS].count;
    cMeshBuffer& pos = buffers[VBO_POSITIONS];
    pos.binding.kind = BIND_POSITIONS;
    glBindBufferARB(GL_ARRAY_BUFFER, pos.name);
    glVertexPointer(3, GL_FLOAT, 0, nullptr);
    glEnableClientState(GL_VERTEX_ARRAY);

    // Arrays shorter than the positions (flags changed after the upload)
    // are left out rather than read past their end.
    cMeshBuffer& nrm = buffers[VBO_NORMALS];
    if ((flags & MESH_NORMALS) && nrm.count >= vertices) {
        nrm.binding.kind = BIND_NORMALS;
        glBindBufferARB(GL_ARRAY_BUFFER, nrm.name);
        glNormalPointer(GL_FLOAT, 0, nullptr);
        glEnableClientState(GL_NORMAL_ARRAY);
    }
    cMeshBuffer& tex = buffers[VBO_TEXCOORDS];
    if ((flags & MESH_TEXCOORDS) && tex.count >= vertices) {
        tex.binding = {BIND_TEXCOORDS, GL_TEXTURE0};
        glClientActiveTextureARB(GL_TEXTURE0);
        glBindBufferARB(GL_ARRAY_BUFFER, tex.name);
        glTexCoordPointer(2, GL_FLOAT, 0, nullptr);
        glEnableClientState(GL_TEXTURE_COORD_ARRAY);
        glClientActiveTextureARB(GL_TEXTURE0);
    }
    buffers[VBO_INDICES].binding.kind = BIND_INDICES;
    glBindBufferARB(GL_ELEMENT_ARRAY_BUFFER, buffers[VBO_INDICES].name);
}

void cMeshObj::release_arrays()
{
    for (size_t b : {VBO_POSITIONS, VBO_TEXCOORDS, VBO_NORMALS}) {
        buffers[b].binding.unbind();
        buffers[b].binding.kind = BIND_NONE;
    }
    // Unbound so that later client-side index arrays are not taken as
    // offsets into this mesh's buffer.
    glBindBufferARB(GL_ELEMENT_ARRAY_BUFFER, 0);
    buffers[VBO_INDICES].binding.kind = BIND_NONE;
}

bool cMeshObj::draws_per_group() const
{
    return (flags & MESH_GROUPS) && !gl_materials.empty() && groups.size() >= 2;
}

void cMeshObj::draw()
{
    cStateManager::get_instance()->apply();
    bind_arrays();
    if (draws_per_group())
        draw_groups();
    else
        glDrawElements(GL_TRIANGLES, GLsizei(buffers[VBO_INDICES].count), GL_UNSIGNED_INT, nullptr);
    release_arrays();
}

void cMeshObj::draw_groups()
{
    const int64_t index_count = buffers[VBO_INDICES].count;
    const cMaterial_GL* previous = nullptr;
    for (size_t g = 0; g + 1 < groups.size(); ++g) {
        const int m = groups[g].material;
        cMaterial_GL& material = gl_materials[m >= 0 && size_t(m) < gl_materials.size() ? size_t(m) : 0];
        const int64_t first = groups[g].first_index;
        const int64_t count = int64_t(groups[g + 1].first_index) - first;
        if (first < 0 || count <= 0 || first + count > index_count)
            continue;
        // A map of the previous group's material must not show through a
        // material that has none on that unit.
        if (previous && previous != &material)
            previous->release_maps();
        material.apply();
        previous = &material;
        glDrawElements(GL_TRIANGLES, GLsizei(count), GL_UNSIGNED_INT, byte_offset(4 * size_t(first)));
    }
    if (previous)
        previous->release_maps();
    for (GLenum unit : {GL_TEXTURE2, GL_TEXTURE1, GL_TEXTURE0}) {
        glActiveTextureARB(unit);
        glDisable(GL_TEXTURE_2D);
        glBindTexture(GL_TEXTURE_2D, 0);
    }
}

// ---- materials ---------------------------------------------------------------------

void cMeshObj::drop_materials()
{
    cMeshObj_data::drop_materials();
    gl_materials.clear();
}

void cMeshObj::load_materials()
{
    gl_materials.clear();
    gl_materials.reserve(materials.size());
    for (const cMaterial& m : materials)
        gl_materials.emplace_back(m).load_textures();
}

// ---- morphing ----------------------------------------------------------------------

cMeshMorph::cMeshMorph(iMesh* from_, cMeshObj* to_) : from(from_), to(to_)
{
    cShaderManager_GLSL::get_instance()->register_shader<cShdMorphDtex>("morph_shader");
}

void cMeshMorph::set_morph_t(float t_)
{
    t = t_;
    cVar<float> value("", &t);
    cShaderManager_GLSL::get_instance()->set_shader_parameter("morph_shader", 1, &value);
}

bool cMeshMorph::target_fits() const
{
    if (!from || !to)
        return false;
    const auto* source = dynamic_cast<const cMeshObj*>(from);
    const uint32_t needed = source ? source->buffers[VBO_POSITIONS].count : to->buffers[VBO_POSITIONS].count;
    return to->buffers[VBO_POSITIONS].count >= needed && to->buffers[VBO_NORMALS].count >= needed;
}

void cMeshMorph::bind_target(cMeshBuffer& buffer, GLenum unit)
{
    buffer.binding = {BIND_TEXCOORDS, unit};
    glClientActiveTextureARB(unit);
    glBindBufferARB(GL_ARRAY_BUFFER, buffer.name);
    glTexCoordPointer(3, GL_FLOAT, 0, nullptr);
    glEnableClientState(GL_TEXTURE_COORD_ARRAY);
}

void cMeshMorph::draw()
{
    if (!target_fits()) {
        if (!mismatch_reported)
            std::cerr << "# warning: cMeshMorph::draw: the target mesh lacks vertices or normals of the drawn mesh; "
                         "drawing it unblended"
                      << std::endl;
        mismatch_reported = true;
        if (from)
            from->draw();
        return;
    }
    cShaderManager_GLSL* shaders = cShaderManager_GLSL::get_instance();
    shaders->push_shader();
    shaders->bind("morph_shader");
    bind_target(to->buffers[VBO_POSITIONS], GL_TEXTURE3);
    bind_target(to->buffers[VBO_NORMALS], GL_TEXTURE4);
    glClientActiveTextureARB(GL_TEXTURE0);
    from->draw();
    for (size_t b : {VBO_POSITIONS, VBO_NORMALS}) {
        to->buffers[b].binding.unbind();
        to->buffers[b].binding.kind = BIND_NONE;
    }
    shaders->pop_shader();
}
