#pragma once
// The model family of the data tree: every .bzobj the program names, written
// into data/models (and data/models/title for the title card). Each writer
// builds its meshes with cMeshBuilder and reports whether all were saved.
#include <string>

// Writes every model into `dir` (which exists); false on the first failure.
bool write_models(const std::string& dir);

bool write_kaleido_planes(const std::string& dir);  // the seven plane_*.bzobj folds
bool write_mandala_models(const std::string& dir);  // mandala_plane01-05, mandala_circle_wide
bool write_scene_models(const std::string& dir);    // octahedra, spikeball2, hex_tunnel, netsphere
bool write_card_models(const std::string& dir);     // greetings_bg_03, title/intro_bg, title/intro_logo
bool write_flower_models(const std::string& dir);   // flowerpatch_stems, flowerpatch_petals, flowerpatch_closed
bool write_mushroom_models(const std::string& dir); // mushroom_cave, mushrooms_a and _b (the morph pair)
bool write_ganesh_model(const std::string& dir);   // ganesh.bzobj, the seated statue
