#pragma once
// Reader of Wavefront OBJ files (with their MTL libraries) into the mesh
// data. A loader object lives for one file: load_file parses it into
// positions, texture coordinates, normals, polygonal faces and materials;
// triangulate fans the polygons; build_mesh splits vertices used with
// different normal or texture indices, groups the triangles by material and
// exports them. Fatal file problems print their message and end the process,
// as every unreadable mesh does; lesser ones are warnings. The parsing core
// (parse, make_smooth_normals, export_mesh) only reports them, so that it
// can run inside a process that must not end (the fuzzer, the inspector).
#include <cstdint>
#include <istream>
#include <string>
#include <vector>

#include "mesh_files/material.h"
#include "mesh_files/mesh_data.h"

enum : uint8_t {
    OBJ_TEXCOORDS = 1,   // flags bit 0: "vt" lines were read
    OBJ_NORMALS = 2,     // flags bit 1: "vn" lines were read (or normals made)
    OBJ_MATERIAL = 16,   // flags bit 4: a material was selected
    OBJ_POLYGONS = 128,  // flags bit 7: some face has more than three corners
};

struct cObjFace {
    std::vector<uint32_t> v;   // zero-based position index per corner
    std::vector<uint32_t> vt;  // texture index per corner, or empty
    std::vector<uint32_t> vn;  // normal index per corner, or empty
    int material = -1;         // material selected when read; -1 none
};

// The outcome of one reading step of the core.
struct cObjStatus {
    int exit_code = 0;    // 0 success; -1 the model cannot be used
    std::string message;  // the error line without its line end; empty on success
    bool ok() const { return exit_code == 0; }
};

struct iMeshLoader_data : iMeshType {
    uint8_t flags = 0;                 // OBJ_* bits
    std::vector<float> positions;      // x, y, z, w per position
    std::vector<float> normals;        // x, y, z per normal
    std::vector<float> texcoords;      // u, v per texture coordinate
    std::vector<cObjFace> faces;       // in file order, then triangulation order
    std::vector<cMaterial> materials;  // from the "mtllib" libraries, in order
};

class iMeshLoader {
public:
    virtual ~iMeshLoader() = default;
    virtual void load_file(const std::string& path) = 0;
    virtual void triangulate() = 0;
    virtual void smooth_normals() = 0;
};

class cObjLoader : public iMeshLoader, public iMeshLoader_data {
public:
    // Entry points: a failure of the core is printed and ends the process.
    void load_file(const std::string& path) override;
    // Fans every polygon from its first corner; new triangles go to the end.
    // A face with fewer than three corners is reported and dropped.
    void triangulate() override;
    // Area-weighted normals per position, replacing any read; the faces
    // then index them by position.
    void smooth_normals() override;
    // Exports the triangles: one output vertex per distinct (position,
    // normal, texture) combination, faces ordered by material.
    void build_mesh(cMeshObj_data& mesh);

    // The core. Reads OBJ text, replacing what was read before; "mtllib"
    // names are looked up in `directory`. Fails on a corner without the "/"
    // its form requires.
    cObjStatus parse(std::istream& in);
    // Fails when a face refers past the data or has fewer than three corners.
    cObjStatus make_smooth_normals();
    // Triangulates what is not yet; fails when a face refers past the data.
    cObjStatus export_mesh(cMeshObj_data& mesh);

    std::string directory;  // directory of the OBJ file, ending in '/'; for "mtllib"

private:
    bool parse_line(const std::string& line, int n, cObjStatus& status);
    bool parse_face(const std::vector<std::string>& tok, int n, cObjStatus& status);
    int find_slashes(const std::string& corner, size_t& slash1, size_t& slash2) const;
    void select_material(const std::string& name, int n);
    void read_libraries(const std::vector<std::string>& tok);
    cObjStatus check_face_indices() const;
    cObjStatus position_normals(std::vector<float>& out) const;
    cObjStatus complete_normals();
    int group_material(const cObjFace& face) const;

    int selected = -1;  // material for the next faces; -1 none
};

// The data half of ObjLoader::create: finds `name` in the resource paths,
// reads, triangulates and exports it. Materials come out with their opacity
// already in the colours' alpha; texture loading is left to the GL mesh.
void obj_load_by_name(const std::string& name, cMeshObj_data& mesh);
