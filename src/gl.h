#pragma once
// The one place that pulls in the GL headers. GLEW must come before GL and
// GLU; every file that issues GL calls includes this header instead.
#include <GL/glew.h>
#include <GL/glu.h>
