#pragma once
// Scenes and their published variables as the command line names them:
// finding a scene by name or position, listing every scene with its
// variables, and setting a variable from text. A scene that publishes no
// variable list is asked for its tweak sliders instead, so that scenes which
// only register GUI rows can still be set.
#include <memory>
#include <ostream>
#include <string>

#include "values/gui_var_list.h"

class cScene;
class cSceneManager;

// The scene the text names: a registered name (the first scene registered
// under it), a position in the registration list, or the name of a scene
// built but not registered (made on the manager's clock and handed to the
// manager). Throws cCaptureError when nothing matches.
cScene* find_scene(cSceneManager& manager, const std::string& name_or_position);

// Every registered scene with its position, then the unregistered ones, each
// with its variables: name, type and slider range.
void print_scene_list(cSceneManager& manager, std::ostream& out);

// Parses `value` by the variable's type and stores it; throws cCaptureError
// for an unknown name, a malformed value or an unsupported type.
void set_scene_var(cScene& scene, const std::string& name, const std::string& value);
