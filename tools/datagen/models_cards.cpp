// Flat textured cards: the greetings wall and the title card with the logo
// cut into it. Both face -y, towards cameras that look along +y. The title
// camera's up vector is +y, nearly along its view, so the picture's
// orientation on screen comes from the small x and z offsets of its eye and
// from its roll; the card is laid out with the screen axes of the final
// camera position, so that the logo stands upright when the glide ends.
#include <cmath>
#include <filesystem>

#include "card_names.h"
#include "mesh_builder.h"
#include "models.h"
#include "ornament.h"

namespace {

// A rectangle around `centre` spanned by two unit directions of a plane y =
// const; texture (0, 0) at centre - right - up.
cMeshObj_data card(const V3& centre, const V3& right, const V3& up, float half_w, float half_h,
                   const cMaterial& material)
{
    cMeshBuilder b(true);
    b.begin_group(material);
    const V3 r = right * half_w, u = up * half_h;
    // Counter-clockwise in (right, up): the front is right x up, which is -y
    // for both cards (screen right x screen up points back at the camera).
    const V3 normal = right.cross(up);
    const uint32_t p0 = b.vertex(centre - r - u, normal, 0.0f, 0.0f);
    const uint32_t p1 = b.vertex(centre + r - u, normal, 1.0f, 0.0f);
    const uint32_t p2 = b.vertex(centre + r + u, normal, 1.0f, 1.0f);
    const uint32_t p3 = b.vertex(centre - r + u, normal, 0.0f, 1.0f);
    b.triangle(p0, p1, p2);
    b.triangle(p0, p2, p3);
    return b.finish();
}

// ---- greetings ---------------------------------------------------------------------

// The greetings camera looks from y = 0 (sliding back to y = -1500) at
// (0, 5000, 0) with a 45-degree view: at 2200 units the card fills the view
// when the slide starts and sits whole inside it when the slide ends.
cMeshObj_data greetings_card()
{
    return card(V3(0.0f, 2200.0f, 0.0f), V3(1, 0, 0), V3(0, 0, 1), 2400.0f, 1200.0f,
                texture_material("greetings", GREETINGS_TEXTURE));
}

// ---- title ---------------------------------------------------------------------------

constexpr float TITLE_PLANE = 150.0f;  // y of the card

// Screen axes in world space of a camera as the program applies it: the
// eye-space roll turns the picture by -roll degrees about the view axis.
struct cScreenAxes {
    V3 right;  // world direction drawn towards screen right
    V3 up;     // world direction drawn towards screen top
};

cScreenAxes screen_axes(const V3& eye, const V3& centre, const V3& up, float roll_deg)
{
    const V3 f = (centre - eye).normalized();
    const V3 s = f.cross(up).normalized();
    const V3 u = s.cross(f);
    const float b = -roll_deg * PI / 180.0f;
    return {s * std::cos(b) - u * std::sin(b), s * std::sin(b) + u * std::cos(b)};
}

// Drops the y part and makes the two directions orthonormal in the card plane.
cScreenAxes in_card_plane(const cScreenAxes& a)
{
    const V3 right = V3(a.right.x, 0.0f, a.right.z).normalized();
    return {right, right.cross(V3(0, 1, 0))};
}

struct cTitleLayout {
    V3 centre;         // where the final view axis meets the card
    cScreenAxes axes;  // screen axes of the final view, in the card plane
};

cTitleLayout title_layout()
{
    const V3 eye_end(6.0f, 0.0f, -7.28f);
    const V3 look(0.0f, 500.0f, 0.0f);
    const float t = TITLE_PLANE / (look.y - eye_end.y);
    // The title camera keeps the scenes' default up vector, +z: it looks
    // along +y, so +y itself could not serve as up.
    return {eye_end + (look - eye_end) * t, in_card_plane(screen_axes(eye_end, look, V3(0, 0, 1), -30.0f))};
}

cMeshObj_data title_background()
{
    const cTitleLayout l = title_layout();
    return card(l.centre, l.axes.right, l.axes.up, 300.0f, 300.0f, texture_material("intro_card", TITLE_BG_TEXTURE));
}

cMeshObj_data title_logo()
{
    const cTitleLayout l = title_layout();
    // A hair in front of the card, towards the camera.
    return card(l.centre + V3(0.0f, -0.5f, 0.0f), l.axes.right, l.axes.up, 40.0f, 20.0f,
                texture_material("intro_logo", TITLE_LOGO_TEXTURE));
}

}  // namespace

bool write_card_models(const std::string& dir)
{
    const std::string title = dir + "/title";
    std::error_code ec;
    std::filesystem::create_directories(title, ec);
    return !ec && save_model(greetings_card(), dir, "greetings_bg_03.bzobj") &&
           save_model(title_background(), title, "intro_bg.bzobj") && save_model(title_logo(), title, "intro_logo.bzobj");
}
