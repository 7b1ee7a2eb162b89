#pragma once
// Geometry of the seven kaleidoscope planes: flat triangle lists in the unit
// square whose texture coordinates fold a picture into mirrored or repeated
// segments. The planes lie in the x-z plane (y = 0, x and z in [0, 1]); the
// kaleidoscope turns them by -90 degrees about x, so z becomes the screen's
// up. Texture coordinates stay in [0, 1]. Pure maths, no GL: the effect
// uploads the triangles once, and the data generator can write the same
// planes as model files.
#include <cstdint>
#include <vector>

// Number of planes; plane indices run from 1 to this.
inline constexpr int32_t KALEIDO_PLANE_COUNT = 7;

// File names of the planes, index 1 to 7 at [index - 1].
extern const char* const KALEIDO_PLANE_FILES[KALEIDO_PLANE_COUNT];

struct cPlaneVertex {
    float x, y, z;  // position in the unit square, y = 0
    float s, t;     // texture coordinates, 0-1
};

// Triangles (three vertices each, counter-clockwise on screen) of plane
// `index` (1-7):
//  1 cylinder mirror   the picture wrapped once round a cylinder seen from
//                      the front: left and right halves mirror each other
//  2 hz mirror         the bottom half mirrored into the top half
//  3 dual mirror       mirrored left-right and top-bottom (four quarters)
//  4 triple mirror     three vertical strips, each mirroring its neighbour
//  5 matrix mirror     4 x 4 tiles, each mirroring its neighbours
//  6 circular repeat   six equal 60-degree sectors around the centre
//  7 mandala circle    eight 45-degree sectors, neighbours mirrored
// Throws std::out_of_range for other indices.
std::vector<cPlaneVertex> kaleido_plane(int32_t index);
