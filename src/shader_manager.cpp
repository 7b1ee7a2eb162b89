#include "shader_manager.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <stdexcept>

#include "data_file.h"
#include "gl_error.h"
#include "log.h"
#include "resource_path.h"
#include "shaders/shd_params.h"
#include "shaders/shd_plain.h"
#include "state_manager.h"

namespace {

const char* const kRule = "---------------------------------------------------";  // 51 hyphens

bool read_file(const std::string& path, std::string& text)
{
    if (path.empty())
        return false;
    const cDataFile file = read_data_file(path, MAX_SHADER_BYTES);
    if (!file.read && !file.missing)
        std::cerr << "## ERROR: " << file.problem << std::endl;
    text.assign(file.bytes.begin(), file.bytes.end());
    return file.read;
}

std::string shader_log(GLuint shader)
{
    GLint length = 0;
    glGetShaderiv(shader, GL_INFO_LOG_LENGTH, &length);
    std::string log(length > 0 ? static_cast<size_t>(length) : 0, '\0');
    if (length > 0)
        glGetShaderInfoLog(shader, length, nullptr, log.data());
    return log.c_str();  // drops the terminating zero GL counts in
}

std::string program_log(GLuint program)
{
    GLint length = 0;
    glGetProgramiv(program, GL_INFO_LOG_LENGTH, &length);
    std::string log(length > 0 ? static_cast<size_t>(length) : 0, '\0');
    if (length > 0)
        glGetProgramInfoLog(program, length, nullptr, log.data());
    return log.c_str();
}

void report_failure(const std::string& error, const std::string& log, const std::string& file,
                    const std::string& path)
{
    std::string last = cShaderManager_GLSL::exists() ? cShaderManager_GLSL::get_instance()->current : "";
    std::cerr << shader_error_block(error, log, last);
    std::cerr << "## ERROR: cShader_GLSL::load_from_files() failed on " << file << "( " << path << " )"
              << std::endl;
}

// Compiles one stage; 0 after reporting when the file is missing or broken.
GLuint compile_stage(GLenum kind, const std::string& file, const std::string& path)
{
    std::string source;
    if (!read_file(path, source)) {
        report_failure("GLSL error: cannot read shader source \"" + file + "\"", "", file, path);
        return 0;
    }
    GLuint shader = glCreateShader(kind);
    const char* text = source.c_str();
    glShaderSource(shader, 1, &text, nullptr);
    glCompileShader(shader);
    GLint ok = GL_FALSE;
    glGetShaderiv(shader, GL_COMPILE_STATUS, &ok);
    if (ok != GL_TRUE) {
        report_failure("GLSL error: compiling \"" + file + "\" failed", shader_log(shader), file, path);
        glDeleteShader(shader);
        return 0;
    }
    return shader;
}

// What the fragment programs' fog_mode means for the fog drawing will use:
// the state cache's pending record decides whether fog is on (scenes switch
// it there and apply it when they draw), GL holds the mode.
int current_fog_mode()
{
    const bool on = cStateManager::exists() ? cStateManager::get_instance()->pending.get(gs::FOG) != 0
                                            : glIsEnabled(GL_FOG) == GL_TRUE;
    if (!on)
        return 0;
    GLint mode = GL_EXP;
    glGetIntegerv(GL_FOG_MODE, &mode);
    return mode == GL_LINEAR ? 1 : mode == GL_EXP ? 2 : 3;
}

}  // namespace

// ---- cShader_GLSL -----------------------------------------------------------

cShader_GLSL::~cShader_GLSL()
{
    destroy_programs();
}

void cShader_GLSL::destroy_programs()
{
    if (program)
        glDeleteProgram(program);
    if (vertex_shader)
        glDeleteShader(vertex_shader);
    if (fragment_shader)
        glDeleteShader(fragment_shader);
    program = vertex_shader = fragment_shader = 0;
    loaded = false;
}

bool cShader_GLSL::load_from_files(const std::string& vertex_file, const std::string& fragment_file)
{
    destroy_programs();
    vertex_path = cResourcePath::get_fullpath(vertex_file);
    fragment_path = cResourcePath::get_fullpath(fragment_file);
    if (!build_program(vertex_file, fragment_file, program, vertex_shader, fragment_shader))
        return false;
    finish_link();
    return true;
}

bool cShader_GLSL::rebuild()
{
    GLuint new_program = 0, new_vertex = 0, new_fragment = 0;
    if (!build_program(vertex_path, fragment_path, new_program, new_vertex, new_fragment))
        return false;
    destroy_programs();
    program = new_program;
    vertex_shader = new_vertex;
    fragment_shader = new_fragment;
    finish_link();
    return true;
}

bool cShader_GLSL::build_program(const std::string& vertex_file, const std::string& fragment_file,
                                 GLuint& linked, GLuint& vertex, GLuint& fragment) const
{
    vertex = compile_stage(GL_VERTEX_SHADER, vertex_file, vertex_path);
    if (!vertex)
        return false;
    fragment = compile_stage(GL_FRAGMENT_SHADER, fragment_file, fragment_path);
    if (!fragment) {
        glDeleteShader(vertex);
        vertex = 0;
        return false;
    }
    linked = glCreateProgram();
    glAttachShader(linked, vertex);
    glAttachShader(linked, fragment);
    glLinkProgram(linked);
    GLint ok = GL_FALSE;
    glGetProgramiv(linked, GL_LINK_STATUS, &ok);
    if (ok == GL_TRUE)
        return true;
    // A link error belongs to the pair; it is reported on the fragment
    // file, the last one the linker saw.
    report_failure("GLSL error: linking \"" + vertex_file + "\" with \"" + fragment_file + "\" failed",
                   program_log(linked), fragment_file, fragment_path);
    glDeleteProgram(linked);
    glDeleteShader(vertex);
    glDeleteShader(fragment);
    linked = vertex = fragment = 0;
    return false;
}

void cShader_GLSL::finish_link()
{
    point_samplers_at_units();
    loc_fog_mode = uniform("fog_mode");
    init_parameters();
    loaded = true;
}

void cShader_GLSL::point_samplers_at_units()
{
    GLint previous = 0;
    glGetIntegerv(GL_CURRENT_PROGRAM, &previous);
    glUseProgram(program);
    const char* const samplers[] = {"tex0", "tex1", "tex2"};
    for (GLint unit = 0; unit < 3; ++unit) {
        GLint location = glGetUniformLocation(program, samplers[unit]);
        if (location >= 0)
            glUniform1i(location, unit);
    }
    glUseProgram(static_cast<GLuint>(previous));
}

GLint cShader_GLSL::uniform(const char* name) const
{
    return glGetUniformLocation(program, name);
}

bool cShader_GLSL::find_uniforms(const char* source)
{
    bool all = true;
    for (cUniform& u : uniforms) {
        u.location = uniform(u.name);
        if (u.location < 0 && source)
            log_error_at("## ERROR: unable to get shader-parameters in ", source, ", ", "", u.line);
        all = all && u.location >= 0;
    }
    return all;
}

void cShader_GLSL::upload_uniforms() const
{
    for (const cUniform& u : uniforms) {
        if (u.shape == cUniform::MATRIX)
            glUniformMatrix4fv(u.location, 1, GL_FALSE, u.value);
        else if (u.shape == cUniform::ARRAY || u.floats == 1)
            glUniform1fv(u.location, u.floats, u.value);
        else if (u.floats == 2)
            glUniform2fv(u.location, 1, u.value);
        else if (u.floats == 3)
            glUniform3fv(u.location, 1, u.value);
        else
            glUniform4fv(u.location, 1, u.value);
    }
}

bool cShader_GLSL::set_block(iVar* value)
{
    // The effects send their block before every pass: no heap here.
    std::array<float, MAX_BLOCK_FLOATS> block;
    size_t n = 0;
    for (const cUniform& u : uniforms)
        n += static_cast<size_t>(u.floats);
    if (n > block.size() || !var_floats(value, block.data(), n))
        return false;
    const float* next = block.data();
    for (cUniform& u : uniforms) {
        std::copy_n(next, u.floats, u.value);
        next += u.floats;
    }
    return true;
}

bool cShader_GLSL::set_row(size_t row, iVar* value)
{
    if (row >= uniforms.size())
        return false;
    const cUniform& u = uniforms[row];
    return u.floats == 1 ? var_float(value, *u.value) : var_floats(value, u.value, static_cast<size_t>(u.floats));
}

void cShader_GLSL::bind()
{
    glUseProgram(program);
    if (loc_fog_mode >= 0)
        glUniform1i(loc_fog_mode, current_fog_mode());
    upload_parameters();
}

void cShader_GLSL::unbind()
{
    release_parameters();
    glUseProgram(0);
}

void cShader_GLSL::set_parameter(int, iVar*)
{
    throw std::runtime_error("set_parameter not implemented for this shader");
}

// ---- free helpers -------------------------------------------------------------

cGLVersion parse_gl_version(const char* text, bool glsl)
{
    int major = 0;
    int minor = 0;
    int minor_digits_end = 0;
    int minor_digits_start = 0;
    if (!text || std::sscanf(text, "%d.%n%d%n", &major, &minor_digits_start, &minor, &minor_digits_end) != 2)
        return {0, 0};
    if (glsl && minor_digits_end - minor_digits_start == 1)
        minor *= 10;
    return {major, minor};
}

std::string shader_error_block(const std::string& error, const std::string& log, const std::string& last_shader)
{
    std::string block = "\n";
    block += kRule;
    block += "\n" + error + "\n";
    if (!log.empty()) {
        block += log;
        if (log.back() != '\n')
            block += '\n';
    }
    block += kRule;
    block += "\nlast-shader: " + last_shader + "\nGLSL error, exiting...\n";
    return block;
}

// ---- cShaderManager_GLSL --------------------------------------------------------

void cShaderManager_GLSL::init()
{
    std::cout << "# GLSL: GLSL compiletime version: 120" << std::endl;

    // GL 2.0 brings vertex and fragment shader objects; #version 120 needs
    // GLSL 1.20. Either missing ends the program like a missing profile.
    const char* gl_text = reinterpret_cast<const char*>(glGetString(GL_VERSION));
    cGLVersion gl = parse_gl_version(gl_text, false);
    if (gl.major < 2 || !glCreateShader) {
        std::cout << "## ERROR while initializing GLSL: insufficient vertex-programming capabilities detected - exiting"
                  << std::endl;
        fatal_exit(-1);
    }
    std::cout << "# GLSL: Chose GL version:\t" << gl_text << std::endl;

    const char* glsl_text = reinterpret_cast<const char*>(glGetString(GL_SHADING_LANGUAGE_VERSION));
    cGLVersion glsl = parse_gl_version(glsl_text, true);
    if (glsl.major * 100 + glsl.minor < 120) {
        std::cout << "## ERROR while initializing GLSL: insufficient fragment programming capabilities detected - "
                     "exiting!"
                  << std::endl;
        fatal_exit(-1);
    }
    std::cout << "# GLSL: Chose GLSL version:\t#version 120 (driver offers " << glsl_text << ")" << std::endl;

    ready = true;
    register_shader<cShdDefault>("default_shader");
    unbind();
}

void cShaderManager_GLSL::require_loaded() const
{
    if (failed.empty())
        return;
    std::cerr << "## ERROR: GLSL programs that failed to load:";
    for (const std::string& name : failed)
        std::cerr << " " << name;
    std::cerr << " - exiting!" << std::endl;
    fatal_exit(-1);
}

cShader_GLSL* cShaderManager_GLSL::find(std::string_view name) const
{
    auto it = registry.find(name);
    return it == registry.end() ? nullptr : it->second.get();
}

void cShaderManager_GLSL::bind(std::string_view name)
{
    if (current != "null_shader")
        unbind();
    cShader_GLSL* shader = find(name);
    if (!shader) {
        std::cerr << "#WARNING in " << "cShaderManager_GLSL::bind" << ": trying to bind unknown shader: \"" << name
                  << "\"" << std::endl;
        return;
    }
    current.assign(shader->is_loaded() ? name : std::string_view("default_shader"));
    if (cShader_GLSL* bound = find(current))
        bound->bind();
}

void cShaderManager_GLSL::unbind()
{
    if (!ready) {
        log_error_at("## ERROR in ", "../src/cShaderManager_GLSL", " ", ": no current GLSL-context available!");
        return;
    }
    if (current != "null_shader") {
        if (cShader_GLSL* shader = find(current))
            shader->unbind();
        current = "null_shader";
    }
    glUseProgram(0);
}

void cShaderManager_GLSL::push_shader()
{
    if (depth == stack.size())
        stack.emplace_back();
    stack[depth++].assign(current);
}

void cShaderManager_GLSL::pop_shader()
{
    if (depth == 0) {
        std::cerr << "#WARNING in cShaderManager_GLSL::pop_shader: shader stack is empty" << std::endl;
        return;
    }
    const std::string& name = stack[depth - 1];
    if (name == "null_shader")
        unbind();
    else
        bind(name);
    --depth;
}

void cShaderManager_GLSL::set_shader_parameter(std::string_view name, int id, iVar* value)
{
    cShader_GLSL* shader = find(name);
    if (!shader) {
        std::cerr << "#WARNING in cShaderManager_GLSL::set_shader_parameter: unknown shader: \"" << name << "\""
                  << std::endl;
        return;
    }
    shader->set_parameter(id, value);
    if (name == current)
        shader->upload_parameters();
}

void cShaderManager_GLSL::shutdown()
{
    if (ready)
        glUseProgram(0);
    registry.clear();
    failed.clear();
    stack.clear();
    depth = 0;
    current.clear();
    ready = false;
}
