// libFuzzer target for the OBJ reader's core: the input is the OBJ text, read,
// triangulated and exported the way the mesh cache does it. "mtllib" lines
// read from a directory holding one small library, written once at start-up,
// so "usemtl" finds materials. Whatever the reader accepts must export into
// consistent mesh data.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "mesh_files/obj/obj_loader.h"
#include "quiet_streams.h"

namespace {

std::string library_dir;  // holds "m.mtl"; ends in '/'

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    const auto dir = std::filesystem::temp_directory_path() / ("qv_obj_fuzz_" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir);
    std::ofstream(dir / "m.mtl") << "newmtl a\nKd 1 0 0\nillum 1\nnewmtl b\nmap_Kd t.png\nd 0.5\n";
    library_dir = dir.string() + "/";
    quiet_streams();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string text(reinterpret_cast<const char*>(data), size);
    // "mtllib ../../dev/zero" would read a device, not the library under test.
    if (text.find("..") != std::string::npos)
        return 0;
    cObjLoader loader;
    loader.directory = library_dir;
    std::istringstream in(text);
    if (!loader.parse(in).ok())
        return 0;
    loader.triangulate();
    cMeshObj_data mesh;
    if (loader.export_mesh(mesh).ok() && !mesh.check().empty())
        __builtin_trap();
    return 0;
}
