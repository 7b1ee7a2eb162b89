#pragma once
// A cGLStateBackend that records each call as text ("glEnable(GL_BLEND)")
// instead of calling GL, so tests can check exactly what an apply sends.
#include <string>
#include <vector>

#include "state_manager.h"

extern std::vector<std::string> recorded_gl_calls;
extern const cGLStateBackend RECORDING_GL_STATE_BACKEND;
