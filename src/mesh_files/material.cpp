#include "mesh_files/material.h"

void cMaterial::apply_dissolve()
{
    emission[3] = d;
    Ka[3] = d;
    Kd[3] = d;
    Ks[3] = d;
}
