#pragma once
// The mesh cache. cMeshManager reads each model file once, by the reader its
// extension names (".obj" with its ".mtl" libraries, ".bzobj"), uploads it
// and hands the same mesh to every later request of the same base name. It
// owns every mesh it made; they live until the cache is destroyed at exit
// (before the GL context goes, since the meshes delete their buffers).
// Used at load time only. A file a reader cannot read ends the process in
// the reader; a name no reader handles is refused with a message.
#include <map>
#include <memory>
#include <string>

#include "mesh_files/mesh_obj.h"
#include "singleton.h"

class cMeshManager : public cSingleton<cMeshManager> {
public:
    // The mesh of `name`, cached under its base name (the part after the
    // last '/' or '\'): a later request with the same base name gets the
    // first mesh whatever its directory and flags. A new mesh optionally
    // loses its materials (drop_materials), gets shared normals at
    // coincident positions (smooth_coincident), and is uploaded, releasing
    // its vertex arrays when free_cpu_copies is set. Null, with an error
    // line, when the extension is neither "obj" nor "bzobj".
    iMesh* get_mesh(const std::string& name, bool free_cpu_copies, bool drop_materials, bool smooth_coincident);

    std::map<std::string, std::unique_ptr<iMesh>> meshes;  // base name -> mesh
};

// The part of `name` after its last '/' or '\' (all of it when it has none).
std::string mesh_base_name(const std::string& name);
// The text after the last '.' of `name`, or the whole name when it has none.
std::string mesh_extension(const std::string& name);

// Reader front ends: a new mesh filled from the named file (found through
// the resource paths), with its materials' textures loaded, not uploaded.
namespace ObjLoader {
cMeshObj* create(const std::string& name);
}
namespace BzObjLoader {
cMeshObj* create(const std::string& name);
}
