#include "recording_gl_state.h"

#include <map>

std::vector<std::string> recorded_gl_calls;

namespace {

std::string name(GLenum e)
{
    static const std::map<GLenum, std::string> names = {
        {GL_DEPTH_TEST, "GL_DEPTH_TEST"}, {GL_CULL_FACE, "GL_CULL_FACE"}, {GL_MULTISAMPLE, "GL_MULTISAMPLE"},
        {GL_ALPHA_TEST, "GL_ALPHA_TEST"}, {GL_BLEND, "GL_BLEND"}, {GL_FOG, "GL_FOG"},
        {GL_COLOR_MATERIAL, "GL_COLOR_MATERIAL"}, {GL_LIGHTING, "GL_LIGHTING"}, {GL_LIGHT0, "GL_LIGHT0"},
        {GL_LIGHT1, "GL_LIGHT1"}, {GL_LIGHT2, "GL_LIGHT2"}, {GL_LIGHT3, "GL_LIGHT3"}, {GL_LESS, "GL_LESS"},
        {GL_LEQUAL, "GL_LEQUAL"}, {GL_GREATER, "GL_GREATER"}, {GL_EQUAL, "GL_EQUAL"}, {GL_GEQUAL, "GL_GEQUAL"},
        {GL_FILL, "GL_FILL"}, {GL_POINT, "GL_POINT"}, {GL_LINE, "GL_LINE"}, {GL_BACK, "GL_BACK"},
        {GL_FRONT, "GL_FRONT"}, {GL_FRONT_AND_BACK, "GL_FRONT_AND_BACK"}, {GL_CCW, "GL_CCW"}, {GL_CW, "GL_CW"},
        {GL_ZERO, "GL_ZERO"}, {GL_ONE, "GL_ONE"}, {GL_SRC_COLOR, "GL_SRC_COLOR"},
        {GL_ONE_MINUS_SRC_COLOR, "GL_ONE_MINUS_SRC_COLOR"}, {GL_SRC_ALPHA, "GL_SRC_ALPHA"},
        {GL_ONE_MINUS_SRC_ALPHA, "GL_ONE_MINUS_SRC_ALPHA"}, {GL_DST_ALPHA, "GL_DST_ALPHA"},
        {GL_ONE_MINUS_DST_ALPHA, "GL_ONE_MINUS_DST_ALPHA"},
    };
    auto it = names.find(e);
    return it == names.end() ? std::to_string(e) : it->second;
}

void record(const std::string& call)
{
    recorded_gl_calls.push_back(call);
}

}  // namespace

const cGLStateBackend RECORDING_GL_STATE_BACKEND = {
    [](GLenum cap) { record("glEnable(" + name(cap) + ")"); },
    [](GLenum cap) { record("glDisable(" + name(cap) + ")"); },
    [](GLboolean flag) { record(std::string("glDepthMask(") + (flag ? "1" : "0") + ")"); },
    [](GLenum func) { record("glDepthFunc(" + name(func) + ")"); },
    [](GLenum face, GLenum mode) { record("glPolygonMode(" + name(face) + ", " + name(mode) + ")"); },
    [](GLenum face) { record("glCullFace(" + name(face) + ")"); },
    [](GLenum mode) { record("glFrontFace(" + name(mode) + ")"); },
    [](GLenum sr, GLenum dr, GLenum sa, GLenum da) {
        record("glBlendFuncSeparate(" + name(sr) + ", " + name(dr) + ", " + name(sa) + ", " + name(da) + ")");
    },
};
