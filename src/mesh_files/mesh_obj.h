#pragma once
// Drawable meshes. cMeshObj keeps an indexed triangle list in four static GL
// buffers (positions, normals, texture coordinates, indices), created with
// the object and filled once by upload() at load time; draw() then only binds
// and draws (one call, or one per material group) and allocates nothing.
// Meshes are created by the readers' create wrappers, owned by the mesh cache
// (mesh_manager.h) and live until it is destroyed at exit; their buffers are
// deleted with them, so the GL context must still exist then.
#include <array>
#include <cstdint>
#include <vector>

#include "gl.h"
#include "mesh_files/material_gl.h"
#include "mesh_files/mesh_data.h"

class iMesh : public iMeshType {
public:
    virtual ~iMesh() = default;
    virtual void draw() = 0;
    virtual void upload(bool free_cpu_copies) = 0;
};

enum : int32_t {
    BIND_NONE = 0,       // not bound as an array
    BIND_POSITIONS = 1,  // vertex array
    BIND_NORMALS = 2,    // normal array
    BIND_TEXCOORDS = 3,  // texture coordinate array of `unit`
    BIND_INDICES = 4,    // element array (stays bound; nothing to release)
};

// What a buffer is currently bound as, so that the binding can be undone.
struct cArrayBinding {
    int32_t kind = BIND_NONE;  // BIND_*
    GLenum unit = GL_TEXTURE0;  // client texture unit, for BIND_TEXCOORDS

    // Disables the client array of `kind` and unbinds the array buffer;
    // texture coordinates leave client unit 0 active.
    void unbind() const;
};

struct cMeshBuffer {
    cArrayBinding binding;          // current array binding
    int32_t components = 1;         // floats (or indices) per element
    GLuint name = 0;                // GL buffer name, created with the mesh
    GLenum usage = GL_STATIC_DRAW;  // GL usage hint
    uint32_t count = 0;             // elements uploaded
};

class cMeshObj : public iMesh, public cMeshObj_data {
public:
    cMeshObj();  // creates the four buffer names; needs the GL context
    ~cMeshObj() override;
    cMeshObj(const cMeshObj&) = delete;
    cMeshObj& operator=(const cMeshObj&) = delete;

    // Copies the arrays into the buffers. free_cpu_copies then releases the
    // position, normal and texture-coordinate arrays (indices, groups and
    // materials stay). A mesh whose arrays are inconsistent, or whose arrays
    // were already released, keeps its buffers as they are, with a message.
    void upload(bool free_cpu_copies) override;
    // Applies the pending GL state and draws every triangle: in one call, or
    // per material group (applying each group's material) when the mesh
    // draws per group and has materials. A group whose material number is
    // not valid uses material 0.
    void draw() override;

    // GL buffer name: 0 positions, 1 normals, 2 texture coordinates,
    // 3 indices; any other value ends the process with a message.
    GLuint get_vbo(int which) const;
    // Draws in one call from now on, with whatever material state the
    // caller sets; the materials are destroyed.
    void drop_materials();
    // One GL material per material record, with its textures loaded; the
    // create wrappers call it once after reading.
    void load_materials();

    std::array<cMeshBuffer, 4> buffers;     // positions, normals, texture coordinates, indices
    std::vector<cMaterial_GL> gl_materials;  // parallel to `materials`; what draw() applies
    bool cpu_copies_freed = false;           // upload(true) released the vertex arrays

private:
    void bind_arrays();
    void release_arrays();
    void draw_groups();
    bool draws_per_group() const;
};

enum : int { VBO_POSITIONS = 0, VBO_NORMALS = 1, VBO_TEXCOORDS = 2, VBO_INDICES = 3 };

// Blends two meshes with the same vertices in the same order in the vertex
// program of "morph_shader": `from` is drawn, `to` feeds its positions and
// normals as texture-coordinate sets 3 and 4. Neither mesh is owned (both
// live in the mesh cache). Registers "morph_shader" when constructed.
class cMeshMorph : public iMesh {
public:
    cMeshMorph(iMesh* from_, cMeshObj* to_);

    // Binds "morph_shader" for the draw and restores the caller's shader.
    // When the target cannot be blended (fewer vertices, missing normals)
    // `from` is drawn unblended.
    void draw() override;
    void upload(bool) override {}
    // Blend amount for the next draws: 0 shows `from`, 1 shows `to`.
    void set_morph_t(float t_);

    float t = 0.0f;          // blend amount, 0..1
    iMesh* from = nullptr;   // drawn mesh; not owned
    cMeshObj* to = nullptr;  // blend target; not owned
    bool mismatch_reported = false;  // the unblendable-target warning was printed

private:
    // `to` has uploaded positions and normals for every vertex of `from`.
    bool target_fits() const;
    void bind_target(cMeshBuffer& buffer, GLenum unit);
};
