#pragma once
// How far a captured frame lies from its reference picture, and whether
// that is still the same look. GL-free: it reads and writes PNG files only.
#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

// A picture that cannot be read or written, or two that cannot be compared.
class cCompareError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// 8-bit RGB, top row first.
struct cRgbPicture {
    int32_t width = 0;
    int32_t height = 0;
    std::vector<uint8_t> rgb;  // width * height * 3
};

struct cFrameDifference {
    double mean_levels = 0;   // mean absolute difference over all channels (0..255)
    double mean_beyond = 0;   // the same, less ROUNDING_LEVELS on each channel
    double share_off = 0;     // share of pixels with a channel off by more than OFF_LEVELS (0..1)
    int32_t worst_levels = 0; // largest difference of any channel
};

// Another build of the same code (other compiler flags, fused multiply-add)
// moves a few channels by a level or two and now and then a one-pixel edge
// by more: at most 0.001 levels beyond rounding and 0.002 % of the pixels
// off, measured over the whole set. The smallest change a viewer can just
// tell (an eighth less light on the flower field's wave crests, a broader
// highlight on the statue) gives 0.17 to 0.22 levels beyond rounding and
// 0.4 % to 2.3 % of the pixels off. The limits sit well between the two.
constexpr int32_t ROUNDING_LEVELS = 2;
constexpr int32_t OFF_LEVELS = 8;
constexpr double MAX_MEAN_BEYOND = 0.05;
constexpr double MAX_SHARE_OFF = 0.002;

cRgbPicture read_png(const std::string& path);
void write_png(const cRgbPicture& picture, const std::string& path);

// Throws cCompareError when the sizes differ.
cFrameDifference measure(const cRgbPicture& reference, const cRgbPicture& captured);
bool same_look(const cFrameDifference& d);

// Reference, capture and their difference (amplified eight times) side by
// side, for a reviewer.
cRgbPicture difference_strip(const cRgbPicture& reference, const cRgbPicture& captured);
