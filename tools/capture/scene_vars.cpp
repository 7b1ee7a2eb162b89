#include "scene_vars.h"

#include <charconv>
#include <cmath>
#include <cstdlib>
#include <sstream>

#include "options.h"
#include "scene_manager.h"
#include "scenes/registry.h"
#include "scenes/scene.h"
#include "values/gui_slider.h"

namespace {

// A scene's variables; the fallback list keeps GUI rows alive while in use.
struct cSceneVars {
    cGuiVarList fallback;  // rows of register_gui when get_vars() is empty
    tVarList vars;         // what to search
};

std::unique_ptr<cSceneVars> scene_vars(cScene& scene)
{
    auto result = std::make_unique<cSceneVars>();
    result->vars = scene.get_vars();
    if (result->vars.empty()) {
        scene.register_gui(&result->fallback);
        result->vars = result->fallback.entries;
    }
    return result;
}

const char* type_name(iVar* var)
{
    if (dynamic_cast<cVar<int>*>(var))
        return "int";
    if (dynamic_cast<cVar<float>*>(var))
        return "float";
    if (dynamic_cast<cVar<double>*>(var))
        return "double";
    if (dynamic_cast<cVar<Vec3<float>>*>(var))
        return "vec3";
    return "other";
}

std::string range_text(iGuiNode* node)
{
    std::ostringstream s;
    if (auto* slider = dynamic_cast<cGuiSlider*>(node))
        s << slider->min << " .. " << slider->max;
    else if (auto* vec = dynamic_cast<cGuiVec3Slider*>(node))
        s << vec->min << " .. " << vec->max << " each";
    else
        s << "read-only";
    return s.str();
}

void print_scene(cScene& scene, const std::string& position, const char* note, std::ostream& out)
{
    out << position << "  " << scene.get_name() << note << "\n";
    const auto vars = scene_vars(scene);
    for (const auto& [var, node] : vars->vars)
        out << "      " << var->get_name() << "  " << type_name(var) << "  " << range_text(node) << "\n";
}

bool parse_double(const std::string& text, double& v)
{
    if (text.empty())
        return false;
    char* end = nullptr;
    v = std::strtod(text.c_str(), &end);
    return end == text.c_str() + text.size() && std::isfinite(v);
}

bool parse_vec3(const std::string& text, Vec3<float>& v)
{
    const size_t a = text.find(',');
    const size_t b = a == std::string::npos ? a : text.find(',', a + 1);
    double x = 0, y = 0, z = 0;
    if (b == std::string::npos || !parse_double(text.substr(0, a), x) ||
        !parse_double(text.substr(a + 1, b - a - 1), y) || !parse_double(text.substr(b + 1), z))
        return false;
    v = {static_cast<float>(x), static_cast<float>(y), static_cast<float>(z)};
    return true;
}

bool parse_int(const std::string& text, int& v)
{
    const char* end = text.data() + text.size();
    auto [p, ec] = std::from_chars(text.data(), end, v);
    return ec == std::errc() && p == end;
}

// Parses and stores; false when the text does not fit the type.
bool store(iVar* var, const std::string& text)
{
    if (auto* v = dynamic_cast<cVar<int>*>(var))
        return parse_int(text, *v->value);
    double d = 0;
    if (auto* v = dynamic_cast<cVar<float>*>(var))
        return parse_double(text, d) && (*v->value = static_cast<float>(d), true);
    if (auto* v = dynamic_cast<cVar<double>*>(var))
        return parse_double(text, *v->value);
    if (auto* v = dynamic_cast<cVar<Vec3<float>>*>(var))
        return parse_vec3(text, *v->value);
    throw cCaptureError("--set " + var->get_name() + ": variables of this type cannot be set");
}

}  // namespace

cScene* find_scene(cSceneManager& manager, const std::string& text)
{
    if (auto it = manager.by_name.find(text); it != manager.by_name.end())
        return it->second;
    size_t position = 0;
    const char* end = text.data() + text.size();
    if (auto [p, ec] = std::from_chars(text.data(), end, position); ec == std::errc() && p == end) {
        if (position < manager.scenes.size())
            return manager.scenes[position];
    }
    for (const cSceneMaker& maker : unregistered_scenes())
        if (text == maker.name) {
            cScene* scene = maker.make(&manager.clock);
            manager.scenes.push_back(scene);  // the manager deletes it with the others
            return scene;
        }
    throw cCaptureError("--scene: no scene '" + text + "' (see --list)");
}

void print_scene_list(cSceneManager& manager, std::ostream& out)
{
    for (size_t i = 0; i < manager.scenes.size(); ++i)
        print_scene(*manager.scenes[i], std::to_string(i), "", out);
    for (const cSceneMaker& maker : unregistered_scenes())
        print_scene(*find_scene(manager, maker.name), "-", "  (not in the show)", out);
}

void set_scene_var(cScene& scene, const std::string& name, const std::string& value)
{
    const auto vars = scene_vars(scene);
    iVar* var = find_var(name, vars->vars);
    if (!var)
        throw cCaptureError("--set: scene '" + scene.get_name() + "' has no variable '" + name + "' (see --list)");
    if (!store(var, value))
        throw cCaptureError("--set " + name + ": '" + value + "' is not a " + type_name(var) +
                            (std::string(type_name(var)) == "vec3" ? " (x,y,z)" : ""));
}
