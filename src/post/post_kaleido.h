#pragma once
// The 2D kaleidoscope: draws a picture through one of seven flat planes
// whose texture coordinates fold it (kaleido_planes.h). The one process-wide
// object is created on first use (at load time); it then uploads all seven
// planes into one vertex buffer, which lives until the process ends.
// apply draws with the fixed-function pipeline into the bound destination.
#include <array>
#include <cstdint>

#include "gl.h"
#include "post/kaleido_planes.h"
#include "post/post_pass.h"
#include "singleton.h"

class cRenderTarget_fbo;

struct cKaleidoParams {
    int32_t plane = 0;  // plane index, 0 = off (picture unchanged), 1-7
};
// "kaleido2d" (integer, 0 to the number of planes).
extern const std::array<cSliderSpec, 1> KALEIDO_SLIDERS;

class cPostKaleido2d : public cSingleton<cPostKaleido2d> {
public:
    cPostKaleido2d();
    ~cPostKaleido2d() override;
    // Uploads the planes (once).
    void init();
    // source folded by plane `index` (0 copies it unchanged) into the bound
    // destination. Indices outside 0-7 are programming errors and throw.
    void apply(cRenderTarget_fbo& source, int32_t index);

    GLuint buffer = 0;                              // vertex buffer of all planes, 0 before init
    std::array<GLint, KALEIDO_PLANE_COUNT> first{};  // first vertex of each plane
    std::array<GLsizei, KALEIDO_PLANE_COUNT> count{};  // vertices of each plane

private:
    void draw_plane(int32_t index) const;
};
