#include "values/var.h"

std::string float_to_str2(float f)
{
    std::ostringstream ss;
    ss << f;
    std::string text = ss.str();
    const size_t dot = text.find('.');
    if (dot == std::string::npos)
        return text;
    // Exponent form: the two-decimal rule applies to the mantissa only.
    const size_t exp = text.find_first_of("eE", dot);
    std::string suffix = exp == std::string::npos ? "" : text.substr(exp);
    std::string mantissa = text.substr(0, exp);
    const size_t decimals = mantissa.size() - dot - 1;
    if (decimals > 2)
        mantissa.resize(dot + 3);
    else
        mantissa.append(2 - decimals, '0');
    return mantissa + suffix;
}

template <>
std::string cVar<Vec3<float>>::to_string()
{
    return "(" + float_to_str2(value->x) + "," + float_to_str2(value->y) + "," +
           float_to_str2(value->z) + ")";
}

iVar* find_var(const std::string& name, const tVarList& vars)
{
    for (const auto& entry : vars)
        if (entry.first && entry.first->get_name() == name)
            return entry.first;
    return nullptr;
}
