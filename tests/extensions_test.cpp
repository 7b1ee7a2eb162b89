#include <gtest/gtest.h>

#include <iostream>

#include "extensions.h"
#include "support/files.h"

namespace {

const char* const MESA_LIKE =
    "GL_ARB_multitexture GL_ARB_vertex_buffer_object GL_EXT_framebuffer_object GL_ARB_draw_buffers "
    "GL_SGIS_texture_lod GL_SGIS_generate_mipmap GL_ARB_texture_env_add GL_EXT_texture_lod_bias "
    "GL_ARB_texture_float GL_ARB_texture_rectangle GL_ARB_multisample GL_ARB_texture_non_power_of_two "
    "GL_ARB_pixel_buffer_object GL_ARB_point_sprite";

TEST(ExtensionsTest, OnlyWholeTokensMatchAndTheTextureGroupWarnsOnlyForWhatIsMissing)
{
    EXPECT_TRUE(extension_in_list(MESA_LIKE, "GL_ARB_multitexture"));
    EXPECT_TRUE(extension_in_list(MESA_LIKE, "GL_ARB_point_sprite"));  // last token
    EXPECT_FALSE(extension_in_list("GL_ARB_multitexture_extra GL_X", "GL_ARB_multitexture"));
    EXPECT_FALSE(extension_in_list(MESA_LIKE, "GL_ARB_multi"));
    EXPECT_FALSE(extension_in_list(MESA_LIKE, ""));
    EXPECT_FALSE(extension_in_list(nullptr, "GL_ARB_multitexture"));
    EXPECT_TRUE(extension_in_list("  GL_A  GL_B ", "GL_B"));

    const std::string quiet = stderr_of([] { load_texture_extensions(MESA_LIKE); });
    EXPECT_EQ(quiet.find("# WARNING"), std::string::npos) << quiet;

    const std::string err = stderr_of([] { load_texture_extensions("GL_EXT_texture_rectangle GL_ARB_texture_float"); });
    EXPECT_NE(err.find("# WARNING: GL_ARB_texture_rectangle not supported\n"
                       "           GL_EXT_texture_rectangle supported though\n"),
              std::string::npos)
        << err;
    EXPECT_NE(err.find("# WARNING: EXT_texture_lod_bias not supported\n"), std::string::npos);
    EXPECT_NE(err.find("# WARNING: \tGL_ARB_point_sprite not supported! (go bug your hardware-vendor)\n"),
              std::string::npos);
    EXPECT_EQ(err.find("GL_ARB_texture_float"), std::string::npos);

    EXPECT_NE(stderr_of([] { load_texture_extensions(""); })
                  .find("# WARNING: GL_EXT_texture_rectangle not supported\n"),
              std::string::npos);
}

// A real message box would wait for a click wherever an X display answers;
// this one reports what it would show and returns.
void report_box(const char* caption, const char* text)
{
    std::cerr << "box: " << caption << ": " << text << std::endl;
}

TEST(ExtensionsDeathTest, MissingRequiredExtensionsEndTheProcess)
{
    missing_extension_message = report_box;
    EXPECT_EXIT(load_multitexture_extensions("GL_ARB_multitexture_x"), testing::ExitedWithCode(255),
                "# WARNING: GL_ARB_multitexture not supported");
    EXPECT_EXIT(load_vbo_extensions("GL_ARB_multitexture"), testing::ExitedWithCode(255),
                "# WARNING: GL_ARB_vertex_buffer_object not supported\n"
                "box: missing gl-extension: GL_ARB_vertex_buffer_object is missing");
    EXPECT_EXIT(load_fbo_extensions("GL_ARB_vertex_buffer_object"), testing::ExitedWithCode(255),
                "# WARNING: GL_EXT_framebuffer_object not supported\n"
                "box: mvk::slw - missing gl-extension: GL_EXT_framebuffer_object is missing");
}

}  // namespace
