#include "preview.h"

#include <FreeImage.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <iostream>
#include <limits>
#include <map>
#include <vector>

#include "mesh_builder.h"
#include "mesh_files/bzobj.h"
#include "ornament.h"
#include "pixel_font.h"
#include "textures_show.h"

// Sections: images read back, the rasteriser, views of the models, layout.

namespace fs = std::filesystem;

namespace {

constexpr int TILE = 256;           // picture area of one cell, pixels
constexpr int CELL_W = 288;         // cell width including the gap
constexpr int CELL_H = TILE + 28;   // picture plus its label
constexpr int COLUMNS = 6;
constexpr int HEADER = 64;
constexpr int SUPERSAMPLE = 2;      // models are drawn at twice the size, then averaged

const cColor TILE_BG{0.035f, 0.025f, 0.06f, 1.0f};

// ---- images read back -------------------------------------------------------------

// Straight RGBA, row 0 at the top.
struct cImage {
    int width = 0;               // pixels
    int height = 0;              // pixels
    std::vector<cColor> pixels;  // width * height

    const cColor& at(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }
    // Nearest texel at texture coordinates (v up), repeated or clamped.
    cColor sample(float u, float v, bool repeat) const
    {
        if (repeat) {
            u -= std::floor(u);
            v -= std::floor(v);
        }
        const int x = std::clamp(static_cast<int>(u * static_cast<float>(width)), 0, width - 1);
        const int y = std::clamp(static_cast<int>((1.0f - v) * static_cast<float>(height)), 0, height - 1);
        return at(x, y);
    }
};

// Reads a picture, optionally box-filtered down to w x h first.
cImage read_image(const std::string& path, int w = 0, int h = 0)
{
    cImage image;
    FIBITMAP* loaded = FreeImage_Load(FreeImage_GetFileType(path.c_str()), path.c_str());
    if (!loaded)
        return image;
    FIBITMAP* rgba = FreeImage_ConvertTo32Bits(loaded);
    FreeImage_Unload(loaded);
    if (w > 0 && h > 0) {
        FIBITMAP* scaled = FreeImage_Rescale(rgba, w, h, FILTER_BOX);
        FreeImage_Unload(rgba);
        rgba = scaled;
    }
    image.width = static_cast<int>(FreeImage_GetWidth(rgba));
    image.height = static_cast<int>(FreeImage_GetHeight(rgba));
    image.pixels.resize(static_cast<size_t>(image.width) * image.height);
    for (int y = 0; y < image.height; ++y) {
        const BYTE* row = FreeImage_GetScanLine(rgba, image.height - 1 - y);
        for (int x = 0; x < image.width; ++x) {
            const BYTE* p = row + 4 * x;
            image.pixels[static_cast<size_t>(y) * image.width + x] = {p[FI_RGBA_RED] / 255.0f, p[FI_RGBA_GREEN] / 255.0f,
                                                                      p[FI_RGBA_BLUE] / 255.0f, p[FI_RGBA_ALPHA] / 255.0f};
        }
    }
    FreeImage_Unload(rgba);
    return image;
}

cColor over(const cColor& top, const cColor& bottom)
{
    const float a = top.a;
    return {top.r * a + bottom.r * (1.0f - a), top.g * a + bottom.g * (1.0f - a), top.b * a + bottom.b * (1.0f - a), 1.0f};
}

// A picture fitted into the tile at its own aspect, over a faint checker that
// shows where it is transparent; one-row lookups are stretched into a band.
void draw_picture_tile(cCanvas& sheet, int ox, int oy, const std::string& path)
{
    FIBITMAP* probe = FreeImage_Load(FreeImage_GetFileType(path.c_str()), path.c_str());
    if (!probe)
        return;
    const int w = static_cast<int>(FreeImage_GetWidth(probe)), h = static_cast<int>(FreeImage_GetHeight(probe));
    FreeImage_Unload(probe);
    const float scale = std::min(static_cast<float>(TILE) / w, static_cast<float>(TILE) / h);
    const int tw = std::max(1, static_cast<int>(std::lround(w * scale)));
    const int th = h == 1 ? TILE / 4 : std::max(1, static_cast<int>(std::lround(h * scale)));
    const cImage image = read_image(path, tw, h == 1 ? 1 : th);
    const int x0 = (TILE - tw) / 2, y0 = (TILE - th) / 2;
    for (int y = 0; y < TILE; ++y)
        for (int x = 0; x < TILE; ++x) {
            const bool light = ((x / 16) + (y / 16)) % 2 == 0;
            cColor c = TILE_BG * (light ? 1.6f : 1.0f);
            if (x >= x0 && x < x0 + tw && y >= y0 && y < y0 + th)
                c = over(image.at(x - x0, h == 1 ? 0 : y - y0), c);
            sheet.at(ox + x, oy + y) = c;
        }
}

// ---- rasteriser ---------------------------------------------------------------------

struct cView {
    V3 forward;               // direction the viewer looks
    V3 up;                    // roughly up on the picture
    const cImage* texture;    // painted through the texture coordinates; null: shaded
    bool repeat;              // texture wraps
    cColor tint;              // shaded colour when the mesh has no materials
};

struct cTarget {
    int size = TILE * SUPERSAMPLE;                       // pixels per side
    std::vector<cColor> colour;                         // size * size
    std::vector<float> depth;                           // size * size, nearer is smaller
};

// Colour of one triangle's pixel.
cColor shade(const cMeshObj_data& m, const cView& view, uint32_t tri, const float (&bary)[3], const V3& face_normal,
             const cColor& under)
{
    if (view.texture) {
        float u = 0.0f, v = 0.0f;
        for (int k = 0; k < 3; ++k) {
            const uint32_t i = m.indices[3 * tri + k];
            u += bary[k] * m.texcoords[2 * i];
            v += bary[k] * m.texcoords[2 * i + 1];
        }
        return over(view.texture->sample(u, v, view.repeat), under);
    }
    cColor base = view.tint;
    if (!m.materials.empty()) {
        for (size_t g = 0; g + 1 < m.groups.size(); ++g)
            if (3 * tri >= static_cast<uint32_t>(m.groups[g].first_index)) {
                const tRGBA& kd = m.materials[static_cast<size_t>(m.groups[g].material)].Kd;
                base = {kd[0], kd[1], kd[2], 1.0f};
            }
    }
    const V3 light = (view.forward * -1.0f + view.up * 0.6f).normalized();
    const float facing = std::fabs(dot(face_normal, view.forward));
    const float lambert = std::fabs(dot(face_normal, light));
    const float rim = std::pow(1.0f - facing, 3.0f);
    return base * (0.18f + 0.82f * lambert) + cColor{1.0f, 1.0f, 1.0f, 1.0f} * (0.35f * rim);
}

void rasterise(const cMeshObj_data& m, const cView& view, cTarget& target)
{
    const V3 f = view.forward.normalized();
    const V3 s = f.cross(view.up).normalized();
    const V3 u = s.cross(f);
    const size_t n = m.vertex_count();
    std::vector<float> sx(n), sy(n), sz(n);
    float minx = std::numeric_limits<float>::max(), maxx = -minx, miny = minx, maxy = -minx;
    for (size_t i = 0; i < n; ++i) {
        const V3 p(m.positions[3 * i], m.positions[3 * i + 1], m.positions[3 * i + 2]);
        sx[i] = dot(p, s);
        sy[i] = dot(p, u);
        sz[i] = dot(p, f);
        minx = std::min(minx, sx[i]);
        maxx = std::max(maxx, sx[i]);
        miny = std::min(miny, sy[i]);
        maxy = std::max(maxy, sy[i]);
    }
    const float margin = 0.06f * static_cast<float>(target.size);
    const float scale = (static_cast<float>(target.size) - 2.0f * margin) / std::max(maxx - minx, maxy - miny);
    const float cx = 0.5f * (minx + maxx), cy = 0.5f * (miny + maxy);
    for (size_t i = 0; i < n; ++i) {
        sx[i] = 0.5f * static_cast<float>(target.size) + (sx[i] - cx) * scale;
        sy[i] = 0.5f * static_cast<float>(target.size) - (sy[i] - cy) * scale;  // rows run down
    }
    for (uint32_t t = 0; t < m.indices.size() / 3; ++t) {
        const uint32_t a = m.indices[3 * t], b = m.indices[3 * t + 1], c = m.indices[3 * t + 2];
        const V3 pa(m.positions[3 * a], m.positions[3 * a + 1], m.positions[3 * a + 2]);
        const V3 pb(m.positions[3 * b], m.positions[3 * b + 1], m.positions[3 * b + 2]);
        const V3 pc(m.positions[3 * c], m.positions[3 * c + 1], m.positions[3 * c + 2]);
        const V3 normal = (pb - pa).cross(pc - pa).normalized();
        const float area = (sx[b] - sx[a]) * (sy[c] - sy[a]) - (sx[c] - sx[a]) * (sy[b] - sy[a]);
        if (std::fabs(area) < 1e-9f)
            continue;
        const int x0 = std::max(0, static_cast<int>(std::floor(std::min({sx[a], sx[b], sx[c]}))));
        const int x1 = std::min(target.size - 1, static_cast<int>(std::ceil(std::max({sx[a], sx[b], sx[c]}))));
        const int y0 = std::max(0, static_cast<int>(std::floor(std::min({sy[a], sy[b], sy[c]}))));
        const int y1 = std::min(target.size - 1, static_cast<int>(std::ceil(std::max({sy[a], sy[b], sy[c]}))));
        for (int y = y0; y <= y1; ++y)
            for (int x = x0; x <= x1; ++x) {
                const float px = static_cast<float>(x) + 0.5f, py = static_cast<float>(y) + 0.5f;
                float w[3] = {(sx[b] - px) * (sy[c] - py) - (sx[c] - px) * (sy[b] - py),
                              (sx[c] - px) * (sy[a] - py) - (sx[a] - px) * (sy[c] - py),
                              (sx[a] - px) * (sy[b] - py) - (sx[b] - px) * (sy[a] - py)};
                for (float& k : w)
                    k /= area;
                if (w[0] < 0.0f || w[1] < 0.0f || w[2] < 0.0f)
                    continue;
                const float z = w[0] * sz[a] + w[1] * sz[b] + w[2] * sz[c];
                const size_t at = static_cast<size_t>(y) * target.size + x;
                if (z >= target.depth[at])
                    continue;
                target.depth[at] = z;
                target.colour[at] = shade(m, view, t, w, normal, target.colour[at]);
            }
    }
}

void draw_model_tile(cCanvas& sheet, int ox, int oy, const cMeshObj_data& mesh, const cView& view)
{
    cTarget target;
    const size_t count = static_cast<size_t>(target.size) * target.size;
    target.colour.assign(count, TILE_BG);
    target.depth.assign(count, std::numeric_limits<float>::max());
    rasterise(mesh, view, target);
    for (int y = 0; y < TILE; ++y)
        for (int x = 0; x < TILE; ++x) {
            cColor sum{0.0f, 0.0f, 0.0f, 1.0f};
            for (int dy = 0; dy < SUPERSAMPLE; ++dy)
                for (int dx = 0; dx < SUPERSAMPLE; ++dx)
                    sum += target.colour[static_cast<size_t>(y * SUPERSAMPLE + dy) * target.size + x * SUPERSAMPLE + dx];
            cColor c = sum * (1.0f / (SUPERSAMPLE * SUPERSAMPLE));
            c.r = std::min(c.r, 1.0f);
            c.g = std::min(c.g, 1.0f);
            c.b = std::min(c.b, 1.0f);
            sheet.at(ox + x, oy + y) = c;
        }
}

// ---- views of the models --------------------------------------------------------------

struct cTextures {
    std::string dir;                      // data/textures
    std::map<std::string, cImage> cache;  // name -> picture; nodes stay put while views point at them

    const cImage* get(const std::string& name)
    {
        auto found = cache.find(name);
        if (found == cache.end())
            found = cache.emplace(name, read_image(dir + "/" + name)).first;
        return found->second.width > 0 ? &found->second : nullptr;
    }
};

bool starts_with(const std::string& s, const std::string& prefix)
{
    return s.compare(0, prefix.size(), prefix) == 0;
}

// The cube tunnel as its scene draws it: the model in pink and again turned
// half-way about y in light blue, each copy its own material group.
cMeshObj_data with_turned_twin(const cMeshObj_data& mesh)
{
    cMeshObj_data both = mesh;
    const uint32_t offset = static_cast<uint32_t>(mesh.vertex_count());
    for (size_t i = 0; i < mesh.vertex_count(); ++i) {
        both.positions.insert(both.positions.end(), {-mesh.positions[3 * i], mesh.positions[3 * i + 1], -mesh.positions[3 * i + 2]});
        both.normals.insert(both.normals.end(), {-mesh.normals[3 * i], mesh.normals[3 * i + 1], -mesh.normals[3 * i + 2]});
    }
    for (uint32_t index : mesh.indices)
        both.indices.push_back(index + offset);
    both.materials = {colour_material("pink", 239 / 255.0f, 107 / 255.0f, 216 / 255.0f),
                      colour_material("blue", 153 / 255.0f, 230 / 255.0f, 252 / 255.0f)};
    both.groups = {{0, 0}, {static_cast<int>(mesh.indices.size()), 1}, {static_cast<int>(both.indices.size()), -1}};
    return both;
}

// How each model is looked at: flat pieces from the side the scenes see
// them, painted with the picture they carry; solids from three quarters.
cView view_of(const std::string& name, const cMeshObj_data& mesh, cTextures& textures)
{
    const V3 three_quarters = V3(-0.55f, -0.5f, -0.67f).normalized();
    const cColor magenta{0.94f, 0.42f, 0.85f, 1.0f};
    if (starts_with(name, "plane_"))  // kaleidoscope: the loading picture folded
        return {V3(0, 1, 0), V3(0, 0, 1), textures.get("loader.jpg"), false, magenta};
    if (starts_with(name, "mandala_plane"))
        return {V3(0, 0, -1), V3(0, 1, 0), textures.get("Mandala_slices.png"), true, magenta};
    if (name == "mandala_circle_wide.bzobj")
        return {V3(0, 1, 0), V3(0, 0, 1), textures.get("mandala_string.jpg"), true, magenta};
    if (!mesh.materials.empty() && !mesh.materials.front().map_Kd.empty() && mesh.vertex_count() >= 4) {
        // Cards: upright along their own texture's v axis.
        const V3 p0(mesh.positions[0], mesh.positions[1], mesh.positions[2]);
        const V3 p3(mesh.positions[9], mesh.positions[10], mesh.positions[11]);
        return {V3(0, 1, 0), (p3 - p0).normalized(), textures.get(mesh.materials.front().map_Kd), false, magenta};
    }
    if (starts_with(name, "flowerpatch_"))  // the meadow patch, seen low across the field
        return {V3(0.25f, 1.0f, -0.45f).normalized(), V3(0, 0, 1),
                textures.get(name == "flowerpatch_stems.bzobj" ? "flower_stems.png" : "flower_petals.png"), false, magenta};
    if (name == "hex_tunnel.bzobj")
        return {V3(0.3f, 1.0f, -0.25f).normalized(), V3(0, 0, 1), nullptr, false, magenta};
    if (name == "ganesh.bzobj")  // the statue stands on z = 0 and faces -y
        return {V3(0.35f, 1.0f, -0.2f).normalized(), V3(0, 0, 1), nullptr, false, {1.0f, 0.7f, 0.3f, 1.0f}};
    if (name == "netsphere.bzobj")
        return {three_quarters, V3(0, 1, 0), nullptr, false, {0.11f, 0.78f, 0.9f, 1.0f}};
    return {three_quarters, V3(0, 1, 0), nullptr, false, magenta};
}

// ---- layout ------------------------------------------------------------------------------

std::vector<std::string> sorted_files(const fs::path& dir, const std::string& extension)
{
    std::vector<std::string> names;
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator(dir, ec))
        if (entry.is_regular_file() && (extension.empty() || entry.path().extension() == extension))
            names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

void draw_label(cCanvas& sheet, const std::string& text, int x, int y, const cColor& colour)
{
    cLayer layer(CELL_W, 10);
    draw_text(layer, text, 0, 1, {1, 1}, 1.0f);
    for (int dy = 0; dy < layer.height; ++dy)
        for (int dx = 0; dx < layer.width && x + dx < sheet.width; ++dx)
            if (layer.at(dx, dy) > 0.0f)
                sheet.at(x + dx, y + dy) = colour;
}

}  // namespace

bool write_contact_sheet(const std::string& data_dir, const std::string& png_path)
{
    const fs::path root(data_dir);
    const std::vector<std::string> pictures = sorted_files(root / "textures", "");
    std::vector<std::string> models;
    for (const std::string& m : sorted_files(root / "models", ".bzobj"))
        models.push_back(m);
    for (const std::string& m : sorted_files(root / "models" / "title", ".bzobj"))
        models.push_back("title/" + m);

    const int cells = static_cast<int>(pictures.size() + models.size());
    const int rows = (cells + COLUMNS - 1) / COLUMNS;
    cCanvas sheet(COLUMNS * CELL_W + 16, HEADER + rows * CELL_H + 8, 24, {0.012f, 0.008f, 0.025f, 1.0f});
    cLayer title(sheet.width, HEADER);
    draw_text(title, "QUORVANE - generated data", 16, 16, {4, 1}, 1.0f);
    for (int y = 0; y < HEADER; ++y)
        for (int x = 0; x < sheet.width; ++x)
            if (title.at(x, y) > 0.0f)
                sheet.at(x, y) = CYAN;

    cTextures textures{(root / "textures").string(), {}};
    int cell = 0;
    auto origin = [&](int k, int& x, int& y) {
        x = 16 + (k % COLUMNS) * CELL_W;
        y = HEADER + (k / COLUMNS) * CELL_H;
    };
    for (const std::string& name : pictures) {
        int x, y;
        origin(cell++, x, y);
        draw_picture_tile(sheet, x, y, (root / "textures" / name).string());
        draw_label(sheet, name, x, y + TILE + 6, {0.75f, 0.75f, 0.8f, 1.0f});
    }
    for (const std::string& name : models) {
        int x, y;
        origin(cell++, x, y);
        cMeshObj_data mesh;
        bobj_load_compressed((root / "models" / name).string(), mesh);
        const std::string base = fs::path(name).filename().string();
        if (base == "hex_tunnel.bzobj")
            mesh = with_turned_twin(mesh);
        draw_model_tile(sheet, x, y, mesh, view_of(base, mesh, textures));
        draw_label(sheet, name, x, y + TILE + 6, {0.95f, 0.75f, 0.45f, 1.0f});
    }
    if (save_canvas(sheet, png_path, {}))
        return true;
    std::cerr << "quorvane-datagen: cannot write " << png_path << std::endl;
    return false;
}
