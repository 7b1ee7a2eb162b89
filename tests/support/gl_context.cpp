#include "gl_context.h"

#include "gl.h"

void GlTest::SetUpTestSuite()
{
    if (window)
        return;
    ASSERT_EQ(SDL_Init(SDL_INIT_VIDEO), 0) << SDL_GetError();
    SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 24);
    SDL_GL_SetAttribute(SDL_GL_STENCIL_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
    window = SDL_CreateWindow("quorvane test", 0, 0, 1280, 720, SDL_WINDOW_OPENGL);
    ASSERT_NE(window, nullptr) << SDL_GetError();
    context = SDL_GL_CreateContext(window);
    ASSERT_NE(context, nullptr) << SDL_GetError();
    glewExperimental = GL_TRUE;
    ASSERT_EQ(glewInit(), GLEW_OK);
    glGetError();  // GLEW may leave an error behind
}

void GlTest::TearDownTestSuite() {}

void GlTest::SetUp()
{
    ASSERT_NE(context, nullptr) << "no GL context";
    glViewport(0, 0, 1280, 720);
}

std::vector<uint8_t> GlTest::read_pixels(int x, int y, int w, int h)
{
    std::vector<uint8_t> pixels(static_cast<size_t>(w) * h * 4);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(x, y, w, h, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
    return pixels;
}

void GlTest::swap()
{
    SDL_GL_SwapWindow(window);
}
