#pragma once
// The ".bzobj" compressed mesh format: a little-endian header (uncompressed
// size U, compressed size Z) followed by one zlib stream holding the flags,
// counts, vertex arrays, delta-coded index planes, group starts and material
// records. The reader fills cMeshObj_data; the writer (used by the data
// generator) produces files the reader reads back unchanged. Decoding never
// reads outside its buffers: a damaged file is reported, not trusted.
#include <cstdint>
#include <string>
#include <vector>

#include "mesh_files/mesh_data.h"

struct cBzObjStatus {
    int exit_code = 0;    // 0 success, 1 zlib failure, -1 invalid or unreadable file
    int zlib_code = 0;    // zlib's result code when exit_code is 1
    std::string message;  // what went wrong; empty on success
};

// Decodes a whole file image. On failure the mesh is left empty.
cBzObjStatus bobj_decode(const uint8_t* file, size_t size, cMeshObj_data& mesh);
// Parses an uncompressed block. On failure the mesh is left empty.
cBzObjStatus bobj_parse_block(const uint8_t* block, size_t size, cMeshObj_data& mesh);

// Reads one file; a file that cannot be opened or decoded is reported on the
// error stream and ends the process (-1; 1 for a zlib failure).
void bobj_load_compressed(const std::string& path, cMeshObj_data& mesh);
// Looks `name` up in the resource paths and reads it: the data half of
// BzObjLoader::create.
void bobj_load_by_name(const std::string& name, cMeshObj_data& mesh);

// Encodes a mesh; empty with `error` set when the mesh cannot be stored
// (inconsistent arrays, no triangles, groups not on triangle starts, names
// longer than 127 bytes).
std::vector<uint8_t> bobj_encode(const cMeshObj_data& mesh, std::string& error);
// Writes a file; false (and a message on the error stream) on failure.
bool bobj_save_compressed(const std::string& path, const cMeshObj_data& mesh);
