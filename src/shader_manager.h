#pragma once
// GLSL shader programs and their process-wide registry.
// cShaderManager_GLSL owns every shader object from register_shader until
// shutdown() at exit; shaders are never released earlier. The show never
// reloads one; a tool may rebuild a program in place from its files. A shader
// whose sources fail to compile or link stays registered and binding it binds
// "default_shader" instead; the show checks after loading that none failed. "null_shader" is the name of "nothing bound".
// Effects bracket their passes with push_shader()/pop_shader() so the caller's
// binding survives. Binding, the stack and parameter uploads allocate nothing
// once the stack has reached its deepest level, so they are safe per frame.
// All of it runs on the render thread with a GL context.
#include <cstddef>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "gl.h"
#include "singleton.h"

class iVar;

// One uniform a shader class keeps a value for and uploads at every bind:
// a float, a vec2 to vec4, a mat4, or an array of floats.
struct cUniform {
    enum eShape { VECTOR, MATRIX, ARRAY };
    // `line`: where the row is written, for the message when the program
    // lacks the uniform.
    cUniform(const char* name_, float* value_, int32_t floats_, eShape shape_ = VECTOR, int line_ = __builtin_LINE())
        : name(name_), value(value_), floats(floats_), shape(shape_), line(line_) {}

    const char* name;    // in the GLSL source
    float* value;        // the shader object's own floats
    int32_t floats;      // how many
    eShape shape;
    int line;
    GLint location = -1; // in the linked program; -1: missing
};

// One vertex + fragment program pair linked into one program object. The
// concrete classes (src/shaders/) fix the file names, look their uniforms up
// once after linking and upload the stored values at every bind.
class cShader_GLSL {
public:
    cShader_GLSL() = default;
    cShader_GLSL(const cShader_GLSL&) = delete;
    cShader_GLSL& operator=(const cShader_GLSL&) = delete;
    virtual ~cShader_GLSL();

    // Compiles and links both files, found through the resource paths. On
    // failure prints the log block and the "failed on" line and returns false.
    virtual bool load_from_files(const std::string& vertex_file, const std::string& fragment_file);
    // Compiles and links the files found at load time again and swaps the
    // result in; on failure reports as a load does and keeps the program it
    // had. Call it with the shader unbound.
    bool rebuild();
    virtual void bind();    // program in use, then upload_parameters()
    virtual void unbind();  // release_parameters(), then program 0
    virtual bool is_loaded() const { return loaded; }
    virtual void init_parameters() = 0;
    // Copies the value(s) of `value` for the next upload; the base class has
    // no parameters and throws.
    virtual void set_parameter(int id, iVar* value);
    virtual std::string get_vertex_path() const { return vertex_path; }
    virtual std::string get_fragment_path() const { return fragment_path; }
    virtual void upload_parameters() = 0;
    virtual void release_parameters() = 0;

    GLuint program = 0;          // linked program object, 0 while not loaded
    GLuint vertex_shader = 0;    // compiled vertex stage, 0 while not loaded
    GLuint fragment_shader = 0;  // compiled fragment stage, 0 while not loaded
    std::string vertex_path;     // full path of the vertex source ("" when not found)
    std::string fragment_path;   // full path of the fragment source
    bool loaded = false;         // true only when both stages compiled and linked
    // "fog_mode" of the surface programs, -1 for programs without fog; bind()
    // sends 0 while the cached GL state has fog off, else 1 linear, 2 exp,
    // 3 exp2, so that fogged scenes stay fogged with a program bound.
    GLint loc_fog_mode = -1;
    // The class's uniforms, in the order of its parameter ids or of its
    // parameter block; the constructor fills them.
    std::vector<cUniform> uniforms;

protected:
    // Uniform location of `name` in the linked program, -1 when the program
    // lacks it (uploads to -1 are ignored by GL).
    GLint uniform(const char* name) const;
    // Looks every row of `uniforms` up; true when the program has them all.
    // With `source`, each missing one gets an error line naming the source
    // and the row's line.
    bool find_uniforms(const char* source = nullptr);
    void upload_uniforms() const;
    // Fills the rows in order from the floats a cVar<float*> points at (as
    // many as the rows hold together, at most MAX_BLOCK_FLOATS); false, and
    // nothing changed, for any other variable.
    static constexpr size_t MAX_BLOCK_FLOATS = 32;
    bool set_block(iVar* value);
    // Fills one row: one float from a cVar<float>, more from a cVar<float*>.
    bool set_row(size_t row, iVar* value);

private:
    void destroy_programs();
    // Both stages of the paths found at load time, linked; names for the
    // messages. Nothing is left behind on failure.
    bool build_program(const std::string& vertex_file, const std::string& fragment_file, GLuint& linked,
                       GLuint& vertex, GLuint& fragment) const;
    // Sampler units, fog location and the class's uniforms of a new program.
    void finish_link();
    void point_samplers_at_units();
};

// Major/minor pair parsed from the start of a GL or GLSL version string
// ("4.5 (Compatibility Profile) Mesa ..." -> 4, 5; "1.20" -> 1, 20).
// GLSL minors are two digits; a one-digit minor is scaled ("1.2" -> 1, 20)
// when glsl is true. {0, 0} when the text does not start with a version.
struct cGLVersion {
    int major;  // 0 when unparsable
    int minor;  // GL: 0-9, GLSL: 0-99
};
cGLVersion parse_gl_version(const char* text, bool glsl);

// The block printed for a failed compile or link: an empty line, 51 hyphens,
// the error text, the log (when not empty), 51 hyphens, "last-shader: NAME"
// and the closing line. Newline-terminated.
std::string shader_error_block(const std::string& error, const std::string& log, const std::string& last_shader);

class cShaderManager_GLSL : public cSingleton<cShaderManager_GLSL> {
public:
    // Checks for GL 2.0 and GLSL 1.20 (exit(-1) when missing), then registers
    // "default_shader" and leaves nothing bound.
    void init();

    // Constructs and loads T once per name; a failed load stays registered.
    template <typename T>
    void register_shader(const std::string& name)
    {
        if (registry.count(name))
            return;
        auto shader = std::make_unique<T>();
        if (!shader->is_loaded())
            failed.push_back(name);
        registry[name] = std::move(shader);
    }
    // Ends the program (exit -1) naming every registered program that failed
    // to load: the show is not played with stand-ins for its programs.
    void require_loaded() const;

    void bind(std::string_view name);
    void unbind();
    void push_shader();
    void pop_shader();
    void set_shader_parameter(std::string_view name, int id, iVar* value);
    // Releases every program and forgets every name; nothing is bound after.
    void shutdown();

    // nullptr for names never registered.
    cShader_GLSL* find(std::string_view name) const;

    bool ready = false;                   // init() ran and shutdown() did not
    std::string current = "null_shader";  // name of the bound shader
    std::map<std::string, std::unique_ptr<cShader_GLSL>, std::less<>> registry;  // owned shaders by name
    std::vector<std::string> failed;      // names whose programs did not load, in registration order
    // Names saved by push_shader, oldest first; entries at and above depth
    // are spare strings kept for reuse.
    std::vector<std::string> stack;
    size_t depth = 0;  // number of saved names
};
