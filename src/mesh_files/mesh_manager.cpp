#include "mesh_files/mesh_manager.h"

#include <iostream>

#include "mesh_files/bzobj.h"
#include "mesh_files/obj/obj_loader.h"

std::string mesh_base_name(const std::string& name)
{
    const size_t slash = name.find_last_of("/\\");
    return slash == std::string::npos ? name : name.substr(slash + 1);
}

std::string mesh_extension(const std::string& name)
{
    const size_t dot = name.rfind('.');
    return dot == std::string::npos ? name : name.substr(dot + 1);
}

cMeshObj* ObjLoader::create(const std::string& name)
{
    auto mesh = std::make_unique<cMeshObj>();
    obj_load_by_name(name, *mesh);
    mesh->load_materials();
    return mesh.release();
}

cMeshObj* BzObjLoader::create(const std::string& name)
{
    auto mesh = std::make_unique<cMeshObj>();
    bobj_load_by_name(name, *mesh);
    mesh->load_materials();
    return mesh.release();
}

iMesh* cMeshManager::get_mesh(const std::string& name, bool free_cpu_copies, bool drop_materials,
                              bool smooth_coincident)
{
    const std::string key = mesh_base_name(name);
    if (auto it = meshes.find(key); it != meshes.end())
        return it->second.get();

    const std::string ext = mesh_extension(name);
    std::unique_ptr<cMeshObj> mesh;
    if (ext == "obj")
        mesh.reset(ObjLoader::create(name));
    else if (ext == "bzobj")
        mesh.reset(BzObjLoader::create(name));
    else {
        std::cerr << "# ERROR in cMeshManager::get_mesh: no reader for \"" << name
                  << "\" (only .obj and .bzobj files are read)" << std::endl;
        return nullptr;
    }
    if (drop_materials)
        mesh->drop_materials();
    if (smooth_coincident)
        mesh->smooth_coincident_normals();
    mesh->upload(free_cpu_copies);
    iMesh* stored = mesh.get();
    meshes[key] = std::move(mesh);
    return stored;
}
