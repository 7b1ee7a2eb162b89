#include "values/var_table.h"

#include "values/gui_var_list.h"

tGuiEntry make_row(const cVarRow& row)
{
    const auto lo = static_cast<float>(row.min), hi = static_cast<float>(row.max);
    return std::visit(
        [&](auto* value) -> tGuiEntry {
            using T = std::remove_pointer_t<decltype(value)>;
            if constexpr (std::is_same_v<T, int>)
                return make_int_var(row.name, value, static_cast<int>(row.min), static_cast<int>(row.max));
            else if constexpr (std::is_same_v<T, float>)
                return make_float_var(row.name, value, lo, hi);
            else if constexpr (std::is_same_v<T, double>)
                return make_double_var(row.name, value, row.min, row.max);
            else
                return make_vec3_var(row.name, value, lo, hi);
        },
        row.field);
}

void add_rows(cGuiVarList* list, const tVarTable& table)
{
    for (const cVarRow& row : table)
        list->adopt(make_row(row));
}

void append_rows(tVarTable& table, const tVarTable& more)
{
    table.insert(table.end(), more.begin(), more.end());
}
