#include "mesh_files/obj/obj_loader.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <iostream>
#include <sstream>
#include <numeric>
#include <unordered_map>

#include "data_file.h"
#include "log.h"
#include "mesh_files/obj/mtl_loader.h"
#include "mesh_files/obj/obj_tokens.h"
#include "resource_path.h"
#include "vec3.h"

// Sections: token table, numbers, file reading, faces, materials,
// triangulation, normals, export.

namespace {

const char* const OBJ_SOURCE = "../src/mesh_files/obj/cObjLoader";

// ---- token table ------------------------------------------------------------

enum eObjToken {
    TOK_V = 0, TOK_VT = 1, TOK_VN = 2, TOK_VP = 3, TOK_P = 4, TOK_L = 5, TOK_F = 6,
    TOK_CURV = 7, TOK_CURV2 = 8, TOK_SURF = 9, TOK_G = 10, TOK_S = 13,
    TOK_USEMTL = 29, TOK_MTLLIB = 30, TOK_REMARK = 40, TOK_EMPTY = 41, TOK_UNKNOWN = 42,
};

eObjToken classify(const tTokens& tok)
{
    if (tok.empty())
        return TOK_EMPTY;
    static const std::pair<const char*, eObjToken> table[] = {
        {"v", TOK_V},       {"vt", TOK_VT},         {"vn", TOK_VN},         {"vp", TOK_VP},   {"p", TOK_P},
        {"l", TOK_L},       {"f", TOK_F},           {"curv", TOK_CURV},     {"curv2", TOK_CURV2},
        {"surf", TOK_SURF}, {"g", TOK_G},           {"s", TOK_S},           {"usemtl", TOK_USEMTL},
        {"mtllib", TOK_MTLLIB}, {"#", TOK_REMARK},
    };
    for (const auto& [name, kind] : table)
        if (tok[0] == name)
            return kind;
    return TOK_UNKNOWN;
}

// ---- numbers ---------------------------------------------------------------------

// The numbers after the first token, up to the first token that is not one.
std::vector<float> line_numbers(const tTokens& tok)
{
    std::vector<float> out;
    for (size_t i = 1; i < tok.size(); ++i) {
        char* end = nullptr;
        const double v = std::strtod(tok[i].c_str(), &end);
        if (end == tok[i].c_str())
            break;
        out.push_back(float(v));
    }
    return out;
}

// Pads with `fill` or cuts to `count` values, so every record keeps its size.
void append_fixed(std::vector<float>& dst, const std::vector<float>& values, size_t count,
                  const std::vector<float>& fill)
{
    for (size_t i = 0; i < count; ++i)
        dst.push_back(i < values.size() ? values[i] : fill[i]);
}

cObjStatus failure(const std::string& message) { return {-1, message}; }

// The entry points end the process on a failure of the core.
void exit_on_failure(const cObjStatus& status)
{
    if (status.ok())
        return;
    std::cerr << status.message << std::endl;
    fatal_exit(status.exit_code);
}

// A face index part: a decimal number counts from 1, a negative one counts
// back from the last element read so far. Anything else adds nothing.
bool read_index(const std::string& part, size_t count, uint32_t& out)
{
    const bool relative = part.size() > 1 && part[0] == '-' && std::isdigit(static_cast<unsigned char>(part[1]));
    if (!relative && (part.empty() || !std::isdigit(static_cast<unsigned char>(part[0]))))
        return false;
    const uint64_t k = std::min<uint64_t>(std::strtoull(part.c_str() + (relative ? 1 : 0), nullptr, 10), UINT32_MAX);
    // Out-of-range results become UINT32_MAX and are refused at export.
    if (relative)
        out = k <= count ? uint32_t(count - k) : UINT32_MAX;
    else
        out = k == 0 ? UINT32_MAX : uint32_t(k - 1);
    return true;
}

}  // namespace

// ---- file reading ---------------------------------------------------------------

void cObjLoader::load_file(const std::string& path)
{
    const std::string full = cResourcePath::get_fullpath(path);
    if (full.empty()) {
        log_error_at("## ERROR in ", OBJ_SOURCE, " ", ": file was not found in path: " + path, 56);
        fatal_exit(-1);
    }
    std::cout << "-\ncObjLoader::load_file parsing " << full << " ... ";
    size_t slash = full.find_last_of('/');
    if (slash == std::string::npos)
        slash = full.find_last_of('\\');
    if (slash == std::string::npos) {
        log_error_at("# WARNING in ", OBJ_SOURCE, ", ", ": Can't find full path! .mtl might not load!", 33);
        directory.clear();
    } else {
        directory = full.substr(0, slash + 1);
    }
    const cDataFile file = read_data_file(full, MAX_MODEL_BYTES);
    if (!file.read) {
        if (!file.missing)
            std::cerr << "## ERROR: " << file.problem << std::endl;
        std::cout << "File not found: \"" << full << "\" in cObjLoader::load_file(..)" << std::endl;
        fatal_exit(-1);
    }
    std::istringstream text(std::string(file.bytes.begin(), file.bytes.end()));
    exit_on_failure(parse(text));
    std::cout << "done reading obj.\n-" << std::endl;
}

cObjStatus cObjLoader::parse(std::istream& in)
{
    positions.clear();
    normals.clear();
    texcoords.clear();
    faces.clear();
    materials.clear();
    selected = -1;
    flags = 0;
    cObjStatus status;
    std::string line;
    for (int n = 1; std::getline(in, line); ++n)
        if (!parse_line(line, n, status))
            break;
    return status;
}

// False when reading has to stop; `status` says whether that is a failure.
bool cObjLoader::parse_line(const std::string& line, int n, cObjStatus& status)
{
    const tTokens tok = split_tokens(line);
    const eObjToken kind = classify(tok);
    switch (kind) {
    case TOK_V: {
        const std::vector<float> v = line_numbers(tok);
        if (v.size() != 3 && v.size() != 4)
            std::cerr << "## error, " << v.size() << " vertex-coordinates in line: " << n << std::endl;
        append_fixed(positions, v, v.size() == 3 ? 3 : 4, {0, 0, 0, 1});
        if (v.size() == 3)
            positions.push_back(1.0f);
        break;
    }
    case TOK_VT:
        flags |= OBJ_TEXCOORDS;
        append_fixed(texcoords, line_numbers(tok), 2, {0, 0});
        break;
    case TOK_VN: {
        flags |= OBJ_NORMALS;
        const std::vector<float> v = line_numbers(tok);
        if (v.size() != 3)
            std::cerr << "## error, " << v.size() << " normal-coordinates in line: " << n << std::endl;
        append_fixed(normals, v, 3, {0, 0, 0});
        break;
    }
    case TOK_VP:
        std::cerr << "# warning, \"" << tok[0] << "\" in line " << n << " not supported... skipped!\n";
        break;
    case TOK_P: std::cerr << "TOK_P\n"; break;
    case TOK_L: std::cerr << "TOK_L\n"; break;
    case TOK_F: return parse_face(tok, n, status);
    case TOK_CURV:
    case TOK_CURV2:
    case TOK_SURF:
    case TOK_G:
    case TOK_S:
        std::cerr << "# warning: \"" << tok[0] << "\" in line " << n << " not supported... skipped!\n";
        break;
    case TOK_USEMTL: select_material(token_text(tok, 1), n); break;
    case TOK_MTLLIB: read_libraries(tok); break;
    case TOK_REMARK:
    case TOK_EMPTY: break;
    case TOK_UNKNOWN:
        std::cerr << "# warning, unknown token: \"" << tok[0] << "\" in line " << n << "... skipped!" << std::endl;
        break;
    }
    return true;
}

// ---- faces -------------------------------------------------------------------------

// The slashes a corner must have for what the file declared so far: the
// texture part follows slash1, the normal part slash2. Returns 0, or the
// reader's source line that the missing-slash message names.
int cObjLoader::find_slashes(const std::string& corner, size_t& slash1, size_t& slash2) const
{
    slash1 = slash2 = std::string::npos;
    if (flags & OBJ_TEXCOORDS) {
        slash1 = corner.find('/');
        if (slash1 == std::string::npos)
            return 162;
    }
    if (flags & OBJ_NORMALS) {
        if (!(flags & OBJ_TEXCOORDS)) {
            slash1 = corner.find('/');
            if (slash1 == std::string::npos)
                return 172;
        }
        slash2 = corner.find('/', slash1 + 1);
        if (slash2 == std::string::npos)
            return 178;
    }
    return 0;
}

bool cObjLoader::parse_face(const tTokens& tok, int n, cObjStatus& status)
{
    cObjFace face;
    size_t parts = 0;
    for (size_t c = 1; c < tok.size(); ++c) {
        const std::string& corner = tok[c];
        size_t slash1, slash2;
        if (const int source_line = find_slashes(corner, slash1, slash2)) {
            status = failure("## ERROR in " + std::string(OBJ_SOURCE) + ", line #" + std::to_string(source_line) +
                             ", missing / in line: " + std::to_string(n));
            return false;
        }
        const size_t corner_parts = size_t(std::count(corner.begin(), corner.end(), '/')) + 1;
        if (c == 1)
            parts = corner_parts;
        else if (corner_parts != parts) {
            std::cerr << "## Error in line: " << n
                      << " - varying number of elements in face-declaration. Skipping face..." << std::endl;
            return false;
        }
        uint32_t v = 0, vt = 0, vn = 0;
        // A corner without a position cannot be placed; its other parts go too.
        if (!read_index(corner.substr(0, corner.find('/')), positions.size() / 4, v))
            continue;
        face.v.push_back(v);
        if ((flags & OBJ_TEXCOORDS) && read_index(corner.substr(slash1 + 1), texcoords.size() / 2, vt))
            face.vt.push_back(vt);
        if ((flags & OBJ_NORMALS) && read_index(corner.substr(slash2 + 1), normals.size() / 3, vn))
            face.vn.push_back(vn);
    }
    // Indices for only some corners cannot be matched to their corners.
    if (face.vt.size() != face.v.size())
        face.vt.clear();
    if (face.vn.size() != face.v.size())
        face.vn.clear();
    if (face.v.size() > 3)
        flags |= OBJ_POLYGONS;
    face.material = selected;
    faces.push_back(std::move(face));
    return true;
}

// ---- materials ------------------------------------------------------------------------

void cObjLoader::select_material(const std::string& name, int n)
{
    if (materials.empty()) {
        std::cerr << "# warning: No materials defined! \"usemtl " << name << "\" illegal in line " << n
                  << "... skipped!" << std::endl;
        return;
    }
    const auto it = std::find_if(materials.begin(), materials.end(), [&](const cMaterial& m) { return m.name == name; });
    if (it == materials.end())
        std::cerr << "# WARNING: unknown material \"" << name << "\" in line " << n << std::endl;
    selected = int(it - materials.begin());
    flags |= OBJ_MATERIAL;
}

void cObjLoader::read_libraries(const tTokens& tok)
{
    for (size_t i = 1; i < tok.size(); ++i) {
        std::vector<cMaterial> list;
        cMtlLoader().load(directory + tok[i], list);
        materials.insert(materials.end(), list.begin(), list.end());
    }
}

// ---- triangulation -------------------------------------------------------------------

void cObjLoader::triangulate()
{
    const size_t count = faces.size();
    std::vector<bool> malformed(count, false);
    for (size_t f = 0; f < count; ++f) {
        if (faces[f].v.size() < 3) {
            std::cerr << "Malformed face. " << faces[f].v.size() << " vertices in face. Aborting triangulation"
                      << std::endl;
            malformed[f] = true;
            continue;
        }
        while (faces[f].v.size() > 3) {
            const cObjFace& poly = faces[f];
            const size_t k = poly.v.size();
            cObjFace tri;
            tri.v = {poly.v[0], poly.v[k - 2], poly.v[k - 1]};
            if (!poly.vt.empty())
                tri.vt = {poly.vt[0], poly.vt[k - 2], poly.vt[k - 1]};
            if (!poly.vn.empty())
                tri.vn = {poly.vn[0], poly.vn[k - 2], poly.vn[k - 1]};
            tri.material = poly.material;
            faces.push_back(std::move(tri));
            cObjFace& shrunk = faces[f];
            shrunk.v.pop_back();
            if (!shrunk.vt.empty())
                shrunk.vt.pop_back();
            if (!shrunk.vn.empty())
                shrunk.vn.pop_back();
        }
    }
    // Faces too small to draw are dropped so the export sees only triangles.
    size_t kept = 0;
    for (size_t f = 0; f < faces.size(); ++f)
        if (f >= count || !malformed[f]) {
            if (kept != f)
                faces[kept] = std::move(faces[f]);
            ++kept;
        }
    faces.resize(kept);
    flags &= ~OBJ_POLYGONS;
}

// ---- normals -----------------------------------------------------------------------------

// Indexed by position; the faces' indices must have been checked.
cObjStatus cObjLoader::position_normals(std::vector<float>& out) const
{
    out.assign(3 * (positions.size() / 4), 0.0f);
    auto pos = [this](uint32_t v) { return Vec3<float>(positions[4 * v], positions[4 * v + 1], positions[4 * v + 2]); };
    for (const cObjFace& face : faces) {
        if (face.v.size() < 3)
            return failure("Malformed polygon in cObjLoader::smooth_normals - exiting!");
        const Vec3<float> p0 = pos(face.v[0]);
        const Vec3<float> f = (p0 - pos(face.v[1])).cross(p0 - pos(face.v[2]));
        for (uint32_t v : face.v) {
            out[3 * v] += f.x;
            out[3 * v + 1] += f.y;
            out[3 * v + 2] += f.z;
        }
    }
    for (size_t i = 0; i < out.size(); i += 3) {
        const Vec3<float> nv = Vec3<float>(out[i], out[i + 1], out[i + 2]).normalized();
        out[i] = nv.x;
        out[i + 1] = nv.y;
        out[i + 2] = nv.z;
    }
    return {};
}

void cObjLoader::smooth_normals() { exit_on_failure(make_smooth_normals()); }

cObjStatus cObjLoader::make_smooth_normals()
{
    cObjStatus status = check_face_indices();
    if (status.ok())
        status = position_normals(normals);
    if (!status.ok())
        return status;
    for (cObjFace& face : faces)
        face.vn = face.v;  // the new normals are indexed by position
    flags |= OBJ_NORMALS;
    return status;
}

// Faces read before the first "vn" line have no normal indices although the
// file has normals; they get smooth normals per position, appended after the
// file's own.
cObjStatus cObjLoader::complete_normals()
{
    if (std::all_of(faces.begin(), faces.end(), [](const cObjFace& f) { return !f.vn.empty(); }))
        return {};
    const uint32_t base = uint32_t(normals.size() / 3);
    std::vector<float> extra;
    if (cObjStatus status = position_normals(extra); !status.ok())
        return status;
    normals.insert(normals.end(), extra.begin(), extra.end());
    for (cObjFace& face : faces)
        if (face.vn.empty())
            for (uint32_t v : face.v)
                face.vn.push_back(base + v);
    return {};
}

// ---- export --------------------------------------------------------------------------------

// Every index a face refers to must exist; a file that refers past its data
// cannot be drawn and ends the process like any unreadable mesh.
cObjStatus cObjLoader::check_face_indices() const
{
    const size_t np = positions.size() / 4, nn = normals.size() / 3, nt = texcoords.size() / 2;
    for (size_t f = 0; f < faces.size(); ++f) {
        const cObjFace& face = faces[f];
        for (size_t c = 0; c < face.v.size(); ++c) {
            const char* what = nullptr;
            if (face.v[c] >= np)
                what = "vertex";
            else if (!face.vn.empty() && face.vn[c] >= nn)
                what = "normal";
            else if ((flags & OBJ_TEXCOORDS) && (face.vt.empty() ? 0 : face.vt[c]) >= nt)
                what = "texture coordinate";
            if (what)
                return failure("## ERROR in " + std::string(OBJ_SOURCE) + ": face " + std::to_string(f) +
                               " refers to a missing " + what + ". Exiting...");
        }
    }
    return {};
}

// Faces without a valid material draw with material 0.
int cObjLoader::group_material(const cObjFace& face) const
{
    return face.material >= 0 && size_t(face.material) < materials.size() ? face.material : 0;
}

namespace {

struct cCornerKey {
    uint32_t v, vn, vt;  // position, normal and texture index of one corner
    bool operator==(const cCornerKey&) const = default;
};
struct cCornerHash {
    size_t operator()(const cCornerKey& k) const
    {
        return std::hash<uint64_t>()((uint64_t(k.v) << 32 | k.vn) ^ (uint64_t(k.vt) * 0x9E3779B97F4A7C15ull));
    }
};

}  // namespace

void cObjLoader::build_mesh(cMeshObj_data& mesh) { exit_on_failure(export_mesh(mesh)); }

cObjStatus cObjLoader::export_mesh(cMeshObj_data& mesh)
{
    if (std::any_of(faces.begin(), faces.end(), [](const cObjFace& f) { return f.v.size() != 3; }))
        triangulate();
    cObjStatus status = check_face_indices();
    if (status.ok() && !(flags & OBJ_NORMALS)) {
        std::cerr << "warning, created smooth normals..." << std::endl;
        status = make_smooth_normals();
    } else if (status.ok()) {
        status = complete_normals();
    }
    if (!status.ok())
        return status;

    std::vector<size_t> order(faces.size());
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(),
                     [&](size_t a, size_t b) { return group_material(faces[a]) < group_material(faces[b]); });

    mesh.clear();
    std::unordered_map<cCornerKey, uint32_t, cCornerHash> vertex_of;
    const bool textured = flags & OBJ_TEXCOORDS;
    for (size_t f : order) {
        const cObjFace& face = faces[f];
        const int material = group_material(face);
        if (mesh.groups.empty() || mesh.groups.back().material != material)
            mesh.groups.push_back({int(mesh.indices.size()), material});
        for (size_t c = 0; c < 3; ++c) {
            const cCornerKey key{face.v[c], face.vn[c],
                                 textured ? (face.vt.empty() ? 0 : face.vt[c]) : UINT32_MAX};
            const auto [it, added] = vertex_of.try_emplace(key, uint32_t(mesh.vertex_count()));
            if (added) {
                mesh.positions.insert(mesh.positions.end(), &positions[4 * key.v], &positions[4 * key.v] + 3);
                mesh.normals.insert(mesh.normals.end(), &normals[3 * key.vn], &normals[3 * key.vn] + 3);
                if (textured)
                    mesh.texcoords.insert(mesh.texcoords.end(), &texcoords[2 * key.vt], &texcoords[2 * key.vt] + 2);
            }
            mesh.indices.push_back(it->second);
        }
    }
    if (mesh.groups.empty())
        mesh.groups.push_back({0, 0});
    mesh.groups.push_back({int(3 * faces.size()), -1});
    mesh.flags = flags & (MESH_TEXCOORDS | MESH_NORMALS | MESH_GROUPS);
    mesh.materials = materials;
    for (cMaterial& m : mesh.materials)
        m.apply_dissolve();
    return status;
}

void obj_load_by_name(const std::string& name, cMeshObj_data& mesh)
{
    const std::string full = cResourcePath::get_fullpath(name);
    if (full.empty())
        std::cerr << "# ERROR - couldn't find " << name << " from ObjLoader::create" << std::endl;
    cObjLoader loader;
    loader.load_file(full);
    loader.triangulate();
    loader.build_mesh(mesh);
}
