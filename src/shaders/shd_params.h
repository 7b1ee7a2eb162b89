#pragma once
// Reading shader parameter values out of named variables. set_parameter
// copies the value at once; a variable of another type than the id expects
// (or none) yields nothing and the stored value stays as it was.
#include <cstddef>

class iVar;

// The float of a cVar<float>; false for any other variable.
bool var_float(iVar* var, float& out);

// Copies n floats from the array a cVar<float*> points at; false for any
// other variable or a null array.
bool var_floats(iVar* var, float* out, size_t n);
