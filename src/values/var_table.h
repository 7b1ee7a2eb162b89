#pragma once
// Declarative tables of tweakable values. A row names a value that lives
// elsewhere (a scene field, a camera vector, a field of an effect's
// parameter block), its type and its slider range; one table serves both
// views of a scene — the tweak list of register_gui and the published
// (variable, slider) pairs of get_vars — so neither is written by hand.
// A table only points at its values: they must outlive every row, variable
// and slider made from it.
#include <string>
#include <variant>
#include <vector>

#include "values/var.h"
#include "vec3.h"

class cGuiVarList;

// The value a row names; its type picks the variable and slider made for it.
using tVarField = std::variant<int*, float*, double*, Vec3<float>*>;

struct cVarRow {
    std::string name;  // slider label and published variable name
    tVarField field;   // the value; not owned
    double min;        // lower end of the slider (a Vec3 slider: of each component)
    double max;        // upper end
};
using tVarTable = std::vector<cVarRow>;

// The typed variable and slider of one row; the caller owns both.
tGuiEntry make_row(const cVarRow& row);
// One tweak-list row per table row, in table order, owned by the list.
void add_rows(cGuiVarList* list, const tVarTable& table);
// Appends `more` to `table` (tables are joined from parts: the camera's
// controls, a scene's own values, an effect's sliders).
void append_rows(tVarTable& table, const tVarTable& more);
