#pragma once
// The choice Save As makes by name: ".gif", ".bmp" and ".png" in any letter
// case write copies in those formats, every other name the program's own
// sketch file.

#include "engine/Paper.h"
#include "io/Archive.h"

#include <string>

enum class FileFormat { Sketch, Gif, Bmp, Png };

FileFormat FormatForName(const std::string& fileName);

// Writes paper in the format that the archive's file name selects. False when
// the archive failed (or the paper is empty).
bool WritePaper(const CPaper& paper, CArchive& ar);
