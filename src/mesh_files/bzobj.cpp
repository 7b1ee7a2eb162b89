#include "mesh_files/bzobj.h"

#include <zlib.h>

#include <algorithm>
#include <bit>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iostream>
#include <iterator>

#include "data_file.h"
#include "log.h"
#include "resource_path.h"

// Sections: block reader, block parse, file decode, loading, block writer.

namespace {

// deflate cannot expand data by more than this factor; a stored size above
// it is a lie, and allocating it would only let a damaged header ask for
// gigabytes.
constexpr uint64_t MAX_INFLATE_RATIO = 1032;
constexpr size_t MATERIAL_NUMBERS = 64;  // Ka, Kd, Ks, Ns, illum, d, Ni

// ---- block reader -----------------------------------------------------------

uint32_t le32(const uint8_t* p)
{
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}

struct cBlockReader {
    const uint8_t* p;  // next unread byte
    size_t left;       // bytes left after p

    bool has(uint64_t bytes) const { return bytes <= left; }
    void skip(size_t bytes)
    {
        p += bytes;
        left -= bytes;
    }
    uint32_t u32()
    {
        const uint32_t v = le32(p);
        skip(4);
        return v;
    }
    float f32() { return std::bit_cast<float>(u32()); }
    void floats(std::vector<float>& out, size_t count)
    {
        out.resize(count);
        if constexpr (std::endian::native == std::endian::little) {
            if (count > 0)  // an empty vector's data() may be null, which memcpy may not take
                std::memcpy(out.data(), p, count * 4);
            skip(count * 4);
        } else {
            for (float& f : out)
                f = f32();
        }
    }
};

// ---- block parse -----------------------------------------------------------------

cBzObjStatus invalid(const std::string& why, cMeshObj_data& mesh)
{
    mesh.clear();
    return {-1, 0, why};
}

void read_indices(cBlockReader& in, uint32_t T, std::vector<uint32_t>& indices)
{
    const uint8_t* planes[3] = {in.p, in.p + 4 * size_t(T), in.p + 8 * size_t(T)};
    indices.resize(3 * size_t(T));
    uint32_t k[3] = {0, 0, 0};
    for (size_t i = 0; i < T; ++i)
        for (int c = 0; c < 3; ++c) {
            k[c] += le32(planes[c] + 4 * i);  // wraps by design
            indices[3 * i + c] = k[c];
        }
    in.skip(12 * size_t(T));
}

void read_groups(cBlockReader& in, uint32_t T, std::vector<cMeshGroup>& groups)
{
    groups.push_back({0, 0});
    int k = 0;
    in.skip(4);  // triangle 0 always starts the first group
    for (size_t i = 1; i < T; ++i)
        if (in.u32() != 0)
            groups.push_back({int(3 * i), ++k});
    groups.push_back({int(3 * size_t(T)), -1});
}

// One material record; false when it runs past the block or a length is negative.
bool read_material(cBlockReader& in, cMaterial& m)
{
    if (!in.has(6))
        return false;
    int lengths[6];
    size_t total = 0;
    for (int& len : lengths) {
        len = int8_t(*in.p);
        in.skip(1);
        if (len < 0)
            return false;
        total += size_t(len);
    }
    if (!in.has(total + MATERIAL_NUMBERS))
        return false;
    std::string* fields[6] = {&m.name, &m.map_Ka, &m.map_Kd, &m.map_Ks, &m.bump, &m.map_d};
    for (int s = 0; s < 6; ++s) {
        const char* text = reinterpret_cast<const char*>(in.p);
        *fields[s] = std::string(text, strnlen(text, size_t(lengths[s])));
        in.skip(size_t(lengths[s]));
    }
    for (tRGBA* colour : {&m.Ka, &m.Kd, &m.Ks})
        for (float& c : *colour)
            c = in.f32();
    m.Ns = in.f32();
    m.illum = int32_t(in.u32());
    m.d = in.f32();
    m.Ni = in.f32();
    m.emission = {0, 0, 0, 0};
    return true;
}

}  // namespace

cBzObjStatus bobj_parse_block(const uint8_t* block, size_t size, cMeshObj_data& mesh)
{
    mesh.clear();
    cBlockReader in{block, size};
    if (!in.has(13))
        return invalid("block too short for its header", mesh);
    mesh.flags = *in.p;
    in.skip(1);
    const uint32_t V = in.u32(), T = in.u32();
    const int32_t M = int32_t(in.u32());
    if (T == 0)
        return invalid("mesh has no triangles", mesh);
    if (M < 0)
        return invalid("negative material count", mesh);
    const uint64_t per_vertex = 12 + ((mesh.flags & MESH_NORMALS) ? 12 : 0) + ((mesh.flags & MESH_TEXCOORDS) ? 8 : 0);
    if (!in.has(per_vertex * V + 16 * uint64_t(T)))
        return invalid("counts do not fit the block size", mesh);

    in.floats(mesh.positions, 3 * size_t(V));
    if (mesh.flags & MESH_NORMALS)
        in.floats(mesh.normals, 3 * size_t(V));
    if (mesh.flags & MESH_TEXCOORDS)
        in.floats(mesh.texcoords, 2 * size_t(V));
    read_indices(in, T, mesh.indices);
    read_groups(in, T, mesh.groups);

    for (int32_t i = 0; i < M; ++i) {
        cMaterial m;
        if (!read_material(in, m))
            return invalid("material record " + std::to_string(i) + " is damaged", mesh);
        mesh.materials.push_back(m);
    }
    for (cMaterial& m : mesh.materials)
        m.apply_dissolve();

    const std::string problem = mesh.check();
    if (!problem.empty())
        return invalid(problem, mesh);
    return {};
}

// ---- file decode -----------------------------------------------------------------

cBzObjStatus bobj_decode(const uint8_t* file, size_t size, cMeshObj_data& mesh)
{
    mesh.clear();
    if (size < 8)
        return invalid("file is truncated", mesh);
    const uint32_t U = le32(file), Z = le32(file + 4);
    if (Z > size - 8)
        return invalid("file is truncated", mesh);
    uLongf out_len = uLongf(std::min<uint64_t>(U, uint64_t(Z) * MAX_INFLATE_RATIO + 64));
    std::vector<uint8_t> block(std::max<uLongf>(out_len, 1));
    const int rc = uncompress(block.data(), &out_len, file + 8, Z);
    if (rc != Z_OK)
        return {1, rc, "zlib caused an error: " + std::to_string(rc)};
    return bobj_parse_block(block.data(), out_len, mesh);
}

// ---- loading ----------------------------------------------------------------------

void bobj_load_compressed(const std::string& path, cMeshObj_data& mesh)
{
    const cDataFile file = read_data_file(path, MAX_MODEL_BYTES);
    if (!file.read) {
        if (!file.missing)
            std::cerr << "## ERROR: " << file.problem << std::endl;
        std::cerr << "# ERROR opening file " << path << " in " << "bobj_load_compressed" << std::endl;
        fatal_exit(-1);
    }
    const std::vector<uint8_t> bytes(file.bytes.begin(), file.bytes.end());
    const cBzObjStatus status = bobj_decode(bytes.data(), bytes.size(), mesh);
    if (status.exit_code == 1) {
        std::cerr << "# warning: zlib caused an error: " << status.zlib_code << std::endl;
        fatal_exit(1);
    }
    if (status.exit_code != 0) {
        std::cerr << "# ERROR invalid file " << path << " in bobj_load_compressed: " << status.message << std::endl;
        fatal_exit(-1);
    }
}

void bobj_load_by_name(const std::string& name, cMeshObj_data& mesh)
{
    const std::string path = cResourcePath::get_fullpath(name);
    if (path.empty())
        std::cerr << "# ERROR - couldn't find " << name << " from BzObjLoader::create" << std::endl;
    bobj_load_compressed(path, mesh);
}

// ---- block writer -----------------------------------------------------------------

namespace {

void put32(std::vector<uint8_t>& out, uint32_t v)
{
    for (int b = 0; b < 4; ++b)
        out.push_back(uint8_t(v >> (8 * b)));
}
void putf(std::vector<uint8_t>& out, float f) { put32(out, std::bit_cast<uint32_t>(f)); }
void put_floats(std::vector<uint8_t>& out, const std::vector<float>& values)
{
    for (float f : values)
        putf(out, f);
}

// The reader numbers groups 0, 1, 2, ... and gives the n-th group the n-th
// record, so the records are written in group order.
std::vector<const cMaterial*> records_in_group_order(const cMeshObj_data& mesh)
{
    std::vector<const cMaterial*> records;
    for (size_t g = 0; g + 1 < mesh.groups.size(); ++g) {
        const int m = mesh.groups[g].material;
        if (m < 0 || size_t(m) >= mesh.materials.size())
            break;
        records.push_back(&mesh.materials[m]);
    }
    if (records.size() + 1 == mesh.groups.size())
        return records;
    records.clear();  // groups without materials: keep the list as it is
    for (const cMaterial& m : mesh.materials)
        records.push_back(&m);
    return records;
}

std::string check_for_writing(const cMeshObj_data& mesh)
{
    std::string problem = mesh.check();
    if (!problem.empty())
        return problem;
    if (mesh.indices.empty())
        return "mesh has no triangles";
    for (size_t g = 1; g + 1 < mesh.groups.size(); ++g)
        if (mesh.groups[g].first_index % 3 != 0 || mesh.groups[g].first_index <= mesh.groups[g - 1].first_index ||
            size_t(mesh.groups[g].first_index) >= mesh.indices.size())
            return "group " + std::to_string(g) + " does not start a new triangle";
    for (const cMaterial& m : mesh.materials)
        for (const std::string* s : {&m.name, &m.map_Ka, &m.map_Kd, &m.map_Ks, &m.bump, &m.map_d})
            if (s->size() > 127 || s->find('\0') != std::string::npos)
                return "material string too long or holding a zero byte: " + *s;
    return "";
}

void put_material(std::vector<uint8_t>& out, const cMaterial& m)
{
    const std::string* fields[6] = {&m.name, &m.map_Ka, &m.map_Kd, &m.map_Ks, &m.bump, &m.map_d};
    for (const std::string* s : fields)
        out.push_back(uint8_t(s->size()));
    for (const std::string* s : fields)
        out.insert(out.end(), s->begin(), s->end());
    for (const tRGBA* colour : {&m.Ka, &m.Kd, &m.Ks})
        for (float c : *colour)
            putf(out, c);
    putf(out, m.Ns);
    put32(out, uint32_t(m.illum));
    putf(out, m.d);
    putf(out, m.Ni);
}

std::vector<uint8_t> encode_block(const cMeshObj_data& mesh)
{
    const size_t T = mesh.indices.size() / 3;
    const std::vector<const cMaterial*> records = records_in_group_order(mesh);
    std::vector<uint8_t> out;
    out.push_back(mesh.flags);
    put32(out, uint32_t(mesh.vertex_count()));
    put32(out, uint32_t(T));
    put32(out, uint32_t(records.size()));
    put_floats(out, mesh.positions);
    if (mesh.flags & MESH_NORMALS)
        put_floats(out, mesh.normals);
    if (mesh.flags & MESH_TEXCOORDS)
        put_floats(out, mesh.texcoords);
    for (size_t c = 0; c < 3; ++c)
        for (size_t i = 0; i < T; ++i)
            put32(out, mesh.indices[3 * i + c] - (i ? mesh.indices[3 * (i - 1) + c] : 0));
    std::vector<uint32_t> starts(T, 0);
    for (size_t g = 1; g + 1 < mesh.groups.size(); ++g)
        starts[mesh.groups[g].first_index / 3] = 1;
    for (uint32_t s : starts)
        put32(out, s);
    for (const cMaterial* m : records)
        put_material(out, *m);
    return out;
}

}  // namespace

std::vector<uint8_t> bobj_encode(const cMeshObj_data& mesh, std::string& error)
{
    error = check_for_writing(mesh);
    if (!error.empty())
        return {};
    const std::vector<uint8_t> block = encode_block(mesh);
    uLongf packed_len = compressBound(block.size());
    std::vector<uint8_t> file(8 + packed_len);
    const int rc = compress2(file.data() + 8, &packed_len, block.data(), block.size(), Z_BEST_COMPRESSION);
    if (rc != Z_OK) {
        error = "zlib caused an error: " + std::to_string(rc);
        return {};
    }
    file.resize(8 + packed_len);
    std::vector<uint8_t> header;
    put32(header, uint32_t(block.size()));
    put32(header, uint32_t(packed_len));
    std::copy(header.begin(), header.end(), file.begin());
    return file;
}

bool bobj_save_compressed(const std::string& path, const cMeshObj_data& mesh)
{
    std::string error;
    const std::vector<uint8_t> file = bobj_encode(mesh, error);
    if (error.empty()) {
        std::ofstream out(path, std::ios::binary);
        out.write(reinterpret_cast<const char*>(file.data()), std::streamsize(file.size()));
        if (!out.good())
            error = "cannot write the file";
    }
    if (!error.empty())
        std::cerr << "# ERROR writing " << path << " in bobj_save_compressed: " << error << std::endl;
    return error.empty();
}
