// libFuzzer target for the MTL reader: the input is the library text.
#include <cstddef>
#include <cstdint>
#include <sstream>
#include <string>
#include <vector>

#include "mesh_files/obj/mtl_loader.h"
#include "quiet_streams.h"

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    quiet_streams();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::istringstream in(std::string(reinterpret_cast<const char*>(data), size));
    std::vector<cMaterial> materials;
    cMtlLoader().read(in, "fuzz.mtl", materials);
    for (cMaterial& m : materials)
        m.apply_dissolve();
    return 0;
}
