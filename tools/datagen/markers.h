#pragma once
// The marker script writer: one "token h:m:s:ms" line per marker, read by the
// demo at start-up into its event queue.
#include <string>
#include <vector>

#include "composition.h"

// The script's text: a comment header, then the markers in the given order.
std::string marker_script(const std::vector<cMarker>& markers);
