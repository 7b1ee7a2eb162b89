#pragma once
// The 2D kaleidoscope: draws a picture through one of seven flat plane
// meshes whose texture coordinates fold it into mirrored or repeated
// segments. The planes are model files of the data tree, loaded once by
// init() at load time through the mesh cache, which owns them until exit;
// the one process-wide object holds only pointers to them. apply draws with
// the fixed-function pipeline into the bound destination.
#include <array>
#include <cstdint>

#include "post/post_pass.h"
#include "singleton.h"

class cRenderTarget_fbo;
class iMesh;

// Number of planes; plane indices run from 1 to this.
inline constexpr int32_t KALEIDO_PLANE_COUNT = 7;

// Model files of the planes, index 1 to 7 at [index - 1]. Each is a flat
// mesh in the unit square (x, z in [0, 1], y = 0, facing -y):
//  1 cylinder mirror  left half of the picture, mirrored about the vertical axis
//  2 hz mirror        bottom half, mirrored about the horizontal axis
//  3 dual mirror      bottom-left quarter, mirrored about both axes
//  4 triple mirror    three mirror lines through the centre (six wedges)
//  5 matrix mirror    4 x 4 tiles of the picture's middle, neighbours mirrored
//  6 circular repeat  the picture wrapped round the centre, four mirrored repeats
//  7 mandala circle   sixteen mirrored sector pairs
extern const char* const KALEIDO_PLANE_FILES[KALEIDO_PLANE_COUNT];

struct cKaleidoParams {
    int32_t plane = 0;  // plane index, 0 = off (picture unchanged), 1-7
};
// "kaleido2d" (integer, 0 to the number of planes).
extern const std::array<cSliderSpec, 1> KALEIDO_SLIDERS;

class cPostKaleido2d : public cSingleton<cPostKaleido2d> {
public:
    // Loads the seven planes through the mesh cache (once; again harmless).
    // A plane file that cannot be read ends the process in the reader.
    void init();
    // source folded by plane `index` (0 copies it unchanged) into the bound
    // destination. Indices outside 0-7, and any apply before init, are
    // programming errors and throw.
    void apply(cRenderTarget_fbo& source, int32_t index);

    std::array<iMesh*, KALEIDO_PLANE_COUNT> planes{};  // cached plane meshes, null before init
};
