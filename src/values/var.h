#pragma once
// Named variables: a name plus the address of a value that lives elsewhere
// (a scene field, a camera vector, a shader parameter). A variable never owns
// its value; the value must outlive it. Whoever creates a variable with new
// owns it (interpolators own the ones they wrap around raw addresses; lists
// of published variables own theirs) and deletes it through iVar.
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "vec3.h"

class iGuiNode;

class iVar {
public:
    virtual ~iVar() = default;
    virtual std::string get_name() = 0;
    virtual std::string to_string() = 0;
    // Copies the value at src, which must be of the variable's own type.
    virtual void set(const void* src) = 0;
    virtual void* get_ptr() = 0;
};

template <typename T>
class cVar : public iVar {
public:
    cVar(const std::string& name_, T* value_) : name(name_), value(value_) {}

    std::string get_name() override { return name; }
    std::string to_string() override
    {
        std::ostringstream ss;
        ss << *value;
        return ss.str();
    }
    void set(const void* src) override { *value = *static_cast<const T*>(src); }
    void* get_ptr() override { return value; }

    std::string name;  // fixed at construction; may be empty
    T* value;          // the named value; not owned
};

template <>
std::string cVar<Vec3<float>>::to_string();

// Default stream formatting cut (not rounded) to two decimals, or padded with
// zeros to two: 3.14159 -> 3.14, 1.5 -> 1.50, 2 -> 2, 1.5e-05 -> 1.50e-05.
std::string float_to_str2(float f);

// A variable with the GUI node that shows it: a row of the tweak list, and
// one published variable of a scene.
using tGuiEntry = std::pair<iVar*, iGuiNode*>;
// A scene's published variables, as its variable-list operation returns them.
using tVarList = std::vector<tGuiEntry>;

// First variable of the list whose name is exactly `name`, or null.
iVar* find_var(const std::string& name, const tVarList& vars);

// The lookup on a scene: asks for its list once and searches it.
template <typename tScene>
iVar* find_var(const std::string& name, tScene* scene)
{
    return find_var(name, scene->get_vars());
}
