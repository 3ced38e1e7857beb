#pragma once
// CPictureSheet: makes a picture of any size, fed one row of 8-bit RGBA at a
// time from the top, into a sheet: gray as a person sees it (luminance),
// transparent areas on white, scaled down by area averaging to fit the
// largest sheet, and widened with white where it is narrower than the
// smallest. It keeps two rows of sums, never the picture, so the command line
// and the program make the same sheet of the same picture. Never throws.

#include "engine/Paper.h"

#include <cstdint>
#include <vector>

// Reading a picture costs time by its pixels even when the sheet is small;
// past this many the file is more likely a trap than a photograph.
constexpr uint64_t kMaxPicturePixels = 200'000'000;

class CPictureSheet {
public:
    // The size the picture takes on the sheet: its own, or scaled down to fit
    // kPaperMaxSize on its longer side, keeping its shape.
    static void FitSize(uint32_t width, uint32_t height, uint32_t& fitWidth, uint32_t& fitHeight);
    // One pixel made gray: luminance of the colour laid over white by alpha.
    // A gray pixel without transparency keeps its value exactly.
    static uint8_t Gray(uint8_t r, uint8_t g, uint8_t b, uint8_t a);

    // Creates paper (white, at least kPaperMinSize on a side) for a picture
    // of width x height; the picture fills it from the top left. False when
    // the picture has no pixels, too many, or memory ran out.
    bool Begin(uint32_t width, uint32_t height, uint32_t roughness, CPaper& paper);
    // The next row of the picture, width RGBA pixels. Rows past the last are
    // ignored.
    void AddRow(const uint8_t* rgba);
    // Every row of the picture has arrived.
    bool IsComplete() const { return m_nextRow == m_height; }

private:
    void FinishRow(uint32_t sheetRow, const std::vector<uint64_t>& sums);

    CPaper* m_pPaper = nullptr;
    uint32_t m_width = 0, m_height = 0;          // the picture
    uint32_t m_fitWidth = 0, m_fitHeight = 0;    // the picture on the sheet
    uint32_t m_nextRow = 0;
    std::vector<uint8_t> m_gray;                 // the row as gray
    std::vector<uint64_t> m_rowSums;             // one picture row at sheet width; empty at 1:1
    std::vector<uint64_t> m_sums, m_nextSums;    // the sheet row under way and the one below
};
