#pragma once
// Shader classes without parameters: each fixes its program pair and nothing
// else. Instances are created and owned by cShaderManager_GLSL
// (register_shader) and live until its shutdown(); set_parameter on any of
// them is a programming error and throws.
#include "shader_manager.h"

// Loads the pair in its constructor; lookups, uploads and releases are empty.
class cShdPlain : public cShader_GLSL {
public:
    void init_parameters() override {}
    void upload_parameters() override {}
    void release_parameters() override {}

protected:
    cShdPlain(const char* vertex_file, const char* fragment_file);
};

// Vertex colour only; the fallback for every shader that failed to load.
class cShdDefault : public cShdPlain {
public:
    cShdDefault();
};

// Post-processing passes over render targets (rectangle textures, units 0/1).
class cShdPostSpillAdd : public cShdPlain {
public:
    cShdPostSpillAdd();
};
class cShdPostColDodge : public cShdPlain {
public:
    cShdPostColDodge();
};
class cShdPostColDodgeMasked : public cShdPlain {
public:
    cShdPostColDodgeMasked();
};
class cShdCorrection : public cShdPlain {
public:
    cShdCorrection();
};

// Layer compositing: bottom on unit 0, top on unit 1, layer opacity in the
// colour's alpha.
class cShdCompOver : public cShdPlain {
public:
    cShdCompOver();
};
class cShdCompAdd : public cShdPlain {
public:
    cShdCompAdd();
};
class cShdCompDodge : public cShdPlain {
public:
    cShdCompDodge();
};
class cShdCompScreen : public cShdPlain {
public:
    cShdCompScreen();
};

// Surface programs for meshes (diffuse map on unit 0, specular on 1,
// ambient on 2, as the materials bind them).
class cShdVCol : public cShdPlain {
public:
    cShdVCol();
};
class cShdSelfIllum : public cShdPlain {
public:
    cShdSelfIllum();
};
class cShdRGBAtex : public cShdPlain {
public:
    cShdRGBAtex();
};
class cShdNotex : public cShdPlain {
public:
    cShdNotex();
};
class cShdGanesh : public cShdPlain {
public:
    cShdGanesh();
};
class cShdRGBAtexFade : public cShdPlain {
public:
    cShdRGBAtexFade();
};
class cShdSrcCol : public cShdPlain {
public:
    cShdSrcCol();
};
class cShdSrcColAdd : public cShdPlain {
public:
    cShdSrcColAdd();
};
class cShdDtex : public cShdPlain {
public:
    cShdDtex();
};
class cShdMasked : public cShdPlain {
public:
    cShdMasked();
};
