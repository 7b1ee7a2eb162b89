#pragma once
// The contact sheet: one PNG showing every generated picture and a software
// rendering of every generated model, labelled with the file names, so a
// person can judge the whole set at a glance. Reads the tree back from disk
// (the same files the program loads); no GL.
#include <string>

// Draws the sheet of the tree at `data_dir` into `png_path`; false on failure.
bool write_contact_sheet(const std::string& data_dir, const std::string& png_path);
