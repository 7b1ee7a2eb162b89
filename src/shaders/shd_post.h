#pragma once
// Shader classes of the post-processing effects that take parameters:
// radial blur, levels, hue/saturation/brightness and the two separable
// blurs. Registered by the effects' init, owned by cShaderManager_GLSL.
// Each keeps its last values in its uniform table and uploads them at every
// bind; the effects send a fresh copy of their parameter block (id 1)
// before each pass.
#include "shader_manager.h"

class cShdRadialblur : public cShader_GLSL {
public:
    cShdRadialblur();
    void init_parameters() override;
    void set_parameter(int id, iVar* value) override;  // 1: float[6]
    void upload_parameters() override;
    void release_parameters() override {}

    float center[2] = {128.0f, 64.0f};  // pixels of the source texture
    float dist = 100.0f;                 // longest streak, pixels
    float num_samples = 25.0f;           // samples per pixel, 1-100
    float propagation = 1.0f;            // streak length / distance to the centre
    float multiplier = 0.85f;            // brightness of the result
};

class cShdLevels : public cShader_GLSL {
public:
    cShdLevels();
    void init_parameters() override;
    void set_parameter(int id, iVar* value) override;  // 1: float[5]
    void upload_parameters() override;
    void release_parameters() override {}

    float in_black = 200.0f;   // 0-255
    float in_white = 255.0f;   // 0-255
    float gamma = 1.0f;        // above 1 brightens midtones
    float out_black = 0.0f;    // 0-255
    float out_white = 255.0f;  // 0-255
};

class cShdPostHSB : public cShader_GLSL {
public:
    cShdPostHSB();
    void init_parameters() override;
    // Any id: float[3] = hue (degrees), saturation and brightness (percent).
    void set_parameter(int id, iVar* value) override;
    void upload_parameters() override;
    void release_parameters() override {}

    float h_adjust = 0.0f;  // radians, sign inverted from the degrees given
    float s_adjust = 0.0f;  // saturation factor (1 = unchanged)
    float b_adjust = 0.0f;  // added to every channel (0-1 scale)
};

// The stored HSB values for hue (degrees), saturation and brightness
// (percent), computed in double precision.
void hsb_convert(const float in[3], float& h_adjust, float& s_adjust, float& b_adjust);

class cShdBlurTex : public cShader_GLSL {
public:
    cShdBlurTex();
    void init_parameters() override;
    // 1: float[16]: the sample step (pixels, 2), the kernel's radius in
    // taps and its weights from the centre outwards (13)
    void set_parameter(int id, iVar* value) override;
    void upload_parameters() override;
    void release_parameters() override {}

    static constexpr int MAX_RADIUS = 12;  // taps each side of the centre
    static constexpr int BLOCK = 3 + MAX_RADIUS + 1;

    float block[BLOCK] = {1.0f, 0.0f, 0.0f, 1.0f};  // step x, step y, radius, weights

protected:
    cShdBlurTex(const char* vertex_file, const char* fragment_file);
};

// Blurs the colour only; each pixel keeps its own alpha.
class cShdBlurTexNoAlpha : public cShdBlurTex {
public:
    cShdBlurTexNoAlpha();
};
