#pragma once
// Fixture of the post-processing tests: shaders, textures, state cache and
// render-target pool on the test context, pictures written into and read
// from pooled targets. Every test must end with nothing lent, no target made
// after the warm-up, no performance warning and no GL error.
#include <gmock/gmock.h>

#include <array>
#include <cstdlib>
#include <functional>
#include <iostream>
#include <string>
#include <vector>

#include "gl.h"
#include "render_target.h"
#include "resource_path.h"
#include "state_manager.h"
#include "support/shader_support.h"

using cRgba = std::array<int, 4>;

class PostTest : public ShaderTest {
protected:
    void SetUp() override
    {
        ShaderTest::SetUp();
        cResourcePath::get_instance()->add("../data/textures");
        cResourcePath::get_instance()->add("../data/models");  // the kaleidoscope's planes
        cStateManager::get_instance()->set_defaults();
        testing::internal::CaptureStdout();
        pool = create_render_target_manager();
    }
    void TearDown() override
    {
        EXPECT_EQ(pool->lent, 0u) << "a temporary target is still lent";
        EXPECT_EQ(pool->free_list.size(), 17u) << "targets were made after the warm-up";
        const std::string log = testing::internal::GetCapturedStdout();
        EXPECT_EQ(log.find("performance-warning"), std::string::npos);
        ShaderTest::TearDown();  // no GL error
        if (HasFailure())
            std::cout << log;  // failures were printed into the capture
    }
    cRenderTargetManager* pool = nullptr;
};

// A target's pixels, bottom row first.
struct cPicture {
    int width;
    std::vector<uint8_t> rgba;
    cRgba at(int x, int y) const
    {
        const uint8_t* p = &rgba[(static_cast<size_t>(y) * width + x) * 4];
        return {p[0], p[1], p[2], p[3]};
    }
};

inline cPicture read(const cRenderTarget_fbo& t)
{
    cPicture p{static_cast<int>(t.width), std::vector<uint8_t>(static_cast<size_t>(t.width) * t.height * 4)};
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glBindTexture(t.target, t.texture);
    glGetTexImage(t.target, 0, GL_RGBA, GL_UNSIGNED_BYTE, p.rgba.data());
    glBindTexture(t.target, 0);
    return p;
}

inline void fill(cRenderTarget_fbo& t, const std::function<cRgba(int x, int y)>& colour)
{
    std::vector<uint8_t> data;
    data.reserve(static_cast<size_t>(t.width) * t.height * 4);
    for (uint32_t y = 0; y < t.height; ++y)
        for (uint32_t x = 0; x < t.width; ++x)
            for (int c : colour(static_cast<int>(x), static_cast<int>(y)))
                data.push_back(static_cast<uint8_t>(c));
    glBindTexture(t.target, t.texture);
    glTexSubImage2D(t.target, 0, 0, 0, t.width, t.height, GL_RGBA, GL_UNSIGNED_BYTE, data.data());
    glBindTexture(t.target, 0);
}

inline void fill(cRenderTarget_fbo& t, cRgba colour)
{
    fill(t, [&](int, int) { return colour; });
}

// Runs draw with target bound as destination (not cleared).
inline void into(cRenderTarget_fbo& target, const std::function<void()>& draw)
{
    target.bind(false);
    draw();
    target.unbind();
}

MATCHER_P2(RgbaNear, expected, tolerance, "")
{
    for (int k = 0; k < 4; ++k)
        if (std::abs(arg[k] - expected[k]) > tolerance)
            return false;
    return true;
}
