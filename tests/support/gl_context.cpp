#include "gl_context.h"

#include <string>

#include "gl.h"

namespace {

// Why the context could not be made; reported by every test of the suite
// (a failure inside SetUpTestSuite alone would show as skipped tests).
std::string context_error;

bool open_context(SDL_Window*& window, SDL_GLContext& context)
{
    window = SDL_CreateWindow("quorvane test", 0, 0, 1280, 720, SDL_WINDOW_OPENGL);
    if (!window)
        return false;
    context = SDL_GL_CreateContext(window);
    if (context)
        return true;
    SDL_DestroyWindow(window);
    window = nullptr;
    return false;
}

}  // namespace

void GlTest::SetUpTestSuite()
{
    if (window)
        return;
    if (SDL_Init(SDL_INIT_VIDEO) != 0) {
        context_error = std::string("SDL_Init: ") + SDL_GetError();
        return;
    }
    SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 24);
    SDL_GL_SetAttribute(SDL_GL_STENCIL_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
    // A busy X server occasionally refuses a window; a second try gets one.
    for (int attempt = 0; attempt < 3 && !open_context(window, context); ++attempt)
        SDL_Delay(200);
    if (!context) {
        context_error = std::string("no GL context: ") + SDL_GetError();
        return;
    }
    glewExperimental = GL_TRUE;
    // The tests need GL's entry points, as the program does; GLEW's window
    // system part now and then reports an error on a busy X server while
    // those are all there, and the program ignores that result too.
    const GLenum glew = glewInit();
    if (!glGetString(GL_VERSION) || !glUseProgram || !glBindFramebufferEXT)
        context_error = std::string("glewInit failed: ") + reinterpret_cast<const char*>(glewGetErrorString(glew));
    glGetError();  // GLEW may leave an error behind
}

void GlTest::SetUp()
{
    ASSERT_TRUE(context_error.empty()) << context_error;
    glViewport(0, 0, 1280, 720);
}

void GlTest::TearDown()
{
    if (context_error.empty()) {
        EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR)) << "a GL error was left pending";
    }
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
