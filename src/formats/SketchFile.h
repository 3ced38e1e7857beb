#pragma once
// The program's own file: the 28-byte sketch header, the LZW minimum code size
// and the LZW code stream of the pixels in blocks of up to 255 bytes, each with
// a 16-bit sum. ReadSketch never trusts the file: whatever it holds, reading
// stays inside the paper and the file and ends.

#include "engine/Paper.h"
#include "io/Archive.h"

#include <cstdint>
#include <string>

// Bytes of a block header and trailer around its data: count and checksum.
constexpr uint32_t kSketchBlockOverhead = 3;
constexpr uint8_t kSketchCodeSize = 8;

// Writes paper to a storing archive, header rewritten at the end with the
// final data size. False when the archive failed (or the paper is empty).
bool WriteSketch(const CPaper& paper, CArchive& ar);

// Reads a sketch from a loading archive into paper and basePaper. An invalid
// header leaves paper without pixels. A zero data size or an unknown code
// size gives a white sheet. A missing, short or damaged block, a stream that
// cannot be decoded, or one that ends (or runs out) before the last pixel,
// keeps the pixels decoded before it and leaves basePaper white. False whenever the file was not read whole; what counts
// for callers is paper.HasBits() afterwards.
bool ReadSketch(CPaper& paper, CPaper& basePaper, CArchive& ar);

// What LoadSketchFile found.
enum class SketchLoad {
    NotOpened,  // the file could not be opened; error holds the system's reason
    NotSketch,  // the paper is left without pixels
    Part,       // as ReadSketch reads a damaged file: the rest of the sheet is white
    Whole,
};

// Opens the file at path and reads it into paper as ReadSketch does, for a
// reader that keeps no undo history and so needs no base paper.
SketchLoad LoadSketchFile(const std::string& path, CPaper& paper, std::string& error);

// How reading one block of the code stream went.
enum class SketchBlock { Read, Missing, Empty, Short, BadChecksum };

// Reads one block into data (room for 255 bytes) and checks its sum; count
// is its size once the count byte arrived and was not 0.
SketchBlock ReadSketchBlock(CArchive& ar, uint8_t* data, uint32_t& count);

// The sum of a block's data bytes that follows them in the file.
uint16_t SketchChecksum(const uint8_t* data, uint32_t count);

// Reads the 28 header bytes into h as they are in the file. False when fewer
// arrive.
bool ReadSketchHeader(CArchive& ar, SketchHeader& h);
