#pragma once
// The show's running order as two tables: which scene plays in which layer
// and when, and the animators that move the scenes' published variables over
// the show. build_show_timeline turns the tables into the composition's
// layers and animators; the tables themselves are plain constants, so tools
// and tests can read them without building a show.
#include <array>
#include <cstdint>

class cInterpolator;
class cScene;
class cSceneComposition;
class cSceneManager;
class iVar;

struct cLayerRow {
    int32_t key;                                   // stacking order, lower first
    cScene* (*scene)(const cSceneManager& manager);  // the registered scene it shows
    int32_t start, end;                            // active window, ms, both ends included
    int32_t blend_mode;                            // compositor mode
    int32_t fade_in, fade_out;                     // ms; 0 for none
};

// The animator kinds of the timeline; each writes a variable of one type.
enum eAnimKind { SET_INT, SET_FLOAT, LERP_INT, LERP_FLOAT, LERP_DOUBLE, SMOOTH_FLOAT, EASE_OUT_FLOAT };

struct cAnimRow {
    int32_t layer;      // key of the layer whose scene owns the variable
    const char* var;    // published name
    eAnimKind kind;
    int32_t start, end; // window, ms
    double from, to;    // values; a set holds `from`
};

extern const std::array<cLayerRow, 19> SHOW_LAYERS;
extern const std::array<cAnimRow, 79> SHOW_ANIMATORS;

// True when `var` holds the type that animators of `kind` write.
bool var_fits(eAnimKind kind, iVar* var);
// A new animator of the row's kind on `var` (owned by the caller).
cInterpolator* make_animator(const cAnimRow& row, iVar* var);
// Adds every layer of the show to `composition`, each followed by the
// animators of its scene, in table order.
void build_show_timeline(cSceneComposition& composition, const cSceneManager& manager);
