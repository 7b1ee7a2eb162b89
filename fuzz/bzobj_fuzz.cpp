// libFuzzer target for the .bzobj reader. The first input byte chooses the
// layer: an odd byte hands the rest to the block parser directly (random
// bytes rarely inflate, so this is where the parser gets its coverage), an
// even one decodes the rest as a whole file. Whatever the reader accepts,
// the writer must store and the reader accept again.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "mesh_files/bzobj.h"
#include "quiet_streams.h"

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    quiet_streams();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 1)
        return 0;
    cMeshObj_data mesh;
    const cBzObjStatus status =
        (data[0] & 1) ? bobj_parse_block(data + 1, size - 1, mesh) : bobj_decode(data + 1, size - 1, mesh);
    if (status.exit_code != 0)
        return 0;
    std::string error;
    const std::vector<uint8_t> file = bobj_encode(mesh, error);
    cMeshObj_data again;
    if (!error.empty() || bobj_decode(file.data(), file.size(), again).exit_code != 0)
        __builtin_trap();
    return 0;
}
