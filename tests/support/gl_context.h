#pragma once
// Test fixture with a real GL context: a 1280x720 SDL window on the test
// X server (Xvfb + Mesa llvmpipe under scripts/run-tests.sh), GLEW
// initialised. One window per test process; ctest runs every test case in a
// process of its own, so the process-wide managers start fresh each time.
// Every test must end with no GL error pending.
#include <gtest/gtest.h>

#include <SDL.h>

#include <cstdint>
#include <vector>

class GlTest : public ::testing::Test {
protected:
    static void SetUpTestSuite();
    void SetUp() override;
    void TearDown() override;

    // RGBA8 pixels of the current read buffer, bottom row first.
    static std::vector<uint8_t> read_pixels(int x, int y, int w, int h);
    static void swap();

    static inline SDL_Window* window = nullptr;
    static inline SDL_GLContext context = nullptr;
};
