#pragma once
// Material records as the model readers produce them: fixed-function colours,
// the illumination model and texture file names. Plain data, copied by value
// into the mesh data; the GL side (cMaterial_GL) derives from it to add the
// texture handles and the apply operations.
#include <array>
#include <string>

using tRGBA = std::array<float, 4>;  // red, green, blue, alpha; 0..1

struct cMaterial {
    explicit cMaterial(const std::string& name_ = "") : name(name_) {}

    // Copies the opacity into the alpha of every colour; the readers do this
    // once all materials of a mesh are read.
    void apply_dissolve();

    std::string name;           // as named by "newmtl" or the binary record
    std::string map_Ka;         // ambient texture file name; empty when none
    std::string map_Kd;         // diffuse texture file name; empty when none
    std::string map_Ks;         // specular texture file name; empty when none
    std::string bump;           // bump map file name (kept, not loaded)
    std::string map_d;          // opacity texture; diffuse map when map_Kd is empty
    tRGBA emission{0, 0, 0, 0}; // emitted colour
    tRGBA Ka{0, 0, 0, 0};       // ambient colour
    tRGBA Kd{0, 0, 0, 0};       // diffuse colour
    tRGBA Ks{0, 0, 0, 0};       // specular colour
    float Ns = 0;               // shininess exponent, 0..128 in GL terms
    int illum = 0;              // illumination model: 0 unlit Kd, 1 no specular, 2/4 full
    float d = 1.0f;             // opacity (dissolve), 0..1
    float Ni = 1.0f;            // optical density; stored, unused
};
