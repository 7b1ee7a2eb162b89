#include "shaders/shd_params.h"

#include <algorithm>

#include "values/var.h"

bool var_float(iVar* var, float& out)
{
    auto* typed = dynamic_cast<cVar<float>*>(var);
    if (!typed)
        return false;
    out = *typed->value;
    return true;
}

bool var_floats(iVar* var, float* out, size_t n)
{
    auto* typed = dynamic_cast<cVar<float*>*>(var);
    if (!typed || !*typed->value)
        return false;
    std::copy_n(*typed->value, n, out);
    return true;
}
