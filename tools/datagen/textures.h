#pragma once
// The texture family of the data tree: every picture the program names,
// written into data/textures. Each writer draws one file and reports whether
// it was saved.
#include <string>

// Writes every texture into `dir` (which exists); false on the first failure.
bool write_textures(const std::string& dir);

bool write_default_textures(const std::string& dir);  // default_white.png, default_black.png
bool write_checker(const std::string& dir);           // checker.jpg
bool write_loader(const std::string& dir);            // loader.jpg
bool write_loadbar(const std::string& dir);           // loadbar.jpg
