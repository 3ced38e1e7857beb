#pragma once
// PNG through libpng. Writing: an 8-bit gray picture with exactly the given
// pixels, compressed, handed to a CArchive so it is saved like every other
// file. Reading: a PNG of any kind made into a sheet by CPictureSheet. libpng
// reports its errors by a jump, which ends in this file's own frames; nothing
// escapes, nothing throws.

#include "engine/Paper.h"
#include "io/Archive.h"

#include <cstddef>
#include <cstdint>
#include <string>

// The sheet as a gray PNG. False when the archive failed (or the paper is empty).
bool WritePng(const CPaper& paper, CArchive& ar);

// width x height gray pixels from topRow, each row rowStep bytes after the
// one above it (negative for a bottom-up raster).
bool WriteGrayPng(const uint8_t* topRow, uint32_t width, uint32_t height, ptrdiff_t rowStep, CArchive& ar);

// The first bytes of a file are a PNG signature.
bool IsPngSignature(const uint8_t* bytes, size_t size);

// Reads a PNG picture from a loading archive into paper as a new sheet of
// the given roughness. False with the reason in plain words in error, and
// paper then left without pixels.
bool ReadPng(CArchive& ar, CPaper& paper, uint32_t roughness, std::string& error);
