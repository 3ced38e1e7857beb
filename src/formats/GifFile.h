#pragma once
// A GIF89a copy of the sheet: one image, 256 grays as the global color table,
// LZW-coded pixels. GIF files are only written, never read.

#include "engine/Paper.h"
#include "io/Archive.h"

// False when the archive failed (or the paper is empty).
bool WriteGif(const CPaper& paper, CArchive& ar);
